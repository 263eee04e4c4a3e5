#include "platform/ProgramPlaces.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/SystemInfo.h"
#include "support/TestFolders.h"

namespace {

namespace fs = std::filesystem;

// Puts back an environment variable when it goes.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value) ::setenv(name, value, 1);
        else ::unsetenv(name);
    }
    ~ScopedEnv() {
        if (old_) ::setenv(name_, old_->c_str(), 1);
        else ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

class ProgramPlaces : public ::testing::Test {
protected:
    ProgramPlaces() : home_(root_.Path() / "home") { fs::create_directories(home_); }
    ~ProgramPlaces() override { SetProgramPathOverride(std::nullopt); }

    std::string At(const std::string& relative) const { return (root_.Path() / relative).string(); }

    testing_support::TempFolder root_{"vorlix_places"};
    fs::path home_;
    ScopedEnv homeEnv_{"HOME", home_.c_str()};
    ScopedEnv configEnv_{"XDG_CONFIG_HOME", nullptr};
    ScopedEnv dataEnv_{"XDG_DATA_HOME", nullptr};
};

TEST_F(ProgramPlaces, InstalledProgramUsesSharedDataAndTheUsersFolders) {
    fs::create_directories(At("usr/bin"));
    fs::create_directories(At("usr/share/vorlix/Lang"));
    SetProgramPathOverride(At("usr/bin/vorlix"));

    EXPECT_TRUE(IsInstalledProgram());
    EXPECT_EQ(InstalledDataFolder(), At("usr/share/vorlix/"));
    EXPECT_EQ(LanguageBaseFolder(), At("usr/share/vorlix/"));
    // Even where the program folder is writable (root), the user's files
    // never go into it.
    EXPECT_EQ(SettingsFilePath(), home_.string() + "/.config/vorlix/vorlix.ini");
    EXPECT_EQ(SampleOutputFolder(), home_.string() + "/.local/share/vorlix/");

    ScopedEnv config("XDG_CONFIG_HOME", At("cfg").c_str());
    ScopedEnv data("XDG_DATA_HOME", "relative/ignored");
    EXPECT_EQ(SettingsFilePath(), At("cfg") + "/vorlix/vorlix.ini");
    EXPECT_EQ(UserDataFolder(), home_.string() + "/.local/share/vorlix/");
}

TEST_F(ProgramPlaces, PortableProgramKeepsEverythingBesideItself) {
    // A build folder: Lang/ beside the program, even when an installation
    // exists at the place an installed program would look.
    fs::create_directories(At("build/Lang"));
    fs::create_directories(At("share/vorlix/Lang"));
    SetProgramPathOverride(At("build/vorlix"));

    EXPECT_FALSE(IsInstalledProgram());
    EXPECT_EQ(LanguageBaseFolder(), At("build/"));
    EXPECT_EQ(SettingsFilePath(), At("build/vorlix.ini"));
    EXPECT_EQ(SampleOutputFolder(), At("build/"));
}

TEST_F(ProgramPlaces, ReadOnlyPortableFolderFallsBackToTheUsersFolders) {
    if (::geteuid() == 0) GTEST_SKIP() << "root can write a read-only folder";
    fs::create_directories(At("ro/Lang"));
    SetProgramPathOverride(At("ro/vorlix"));
    fs::permissions(At("ro"), fs::perms::owner_write, fs::perm_options::remove);

    EXPECT_EQ(LanguageBaseFolder(), At("ro/"));
    EXPECT_EQ(SettingsFilePath(), home_.string() + "/.config/vorlix/vorlix.ini");
    EXPECT_EQ(SampleOutputFolder(), home_.string() + "/.local/share/vorlix/");
    fs::permissions(At("ro"), fs::perms::owner_write, fs::perm_options::add);
}

TEST_F(ProgramPlaces, EnsureFolderMakesParents) {
    EXPECT_TRUE(EnsureFolder(At("a/b/c/")));
    EXPECT_TRUE(fs::is_directory(At("a/b/c")));
    testing_support::WriteFileText(At("file"), "x");
    EXPECT_FALSE(EnsureFolder(At("file/sub")));
}

}  // namespace
