#pragma once
// Folders of a test's own under the system's temporary folder, and the
// small file helpers the tests use on them.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

#include "lang/IniLangEx.h"
#include "platform/SystemInfo.h"

namespace testing_support {

inline std::string ReadFileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteFileText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// An empty folder named after the prefix, the process and the running test;
// removed with all it holds (read-only entries too) when it goes.
class TempFolder {
public:
    explicit TempFolder(const std::string& prefix)
        : path_(std::filesystem::temp_directory_path() /
                (prefix + "_" + std::to_string(::getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add,
                                     ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// A program folder of the test's own with an empty Lang/ folder: the
// program path points into it and the language look-ups go to Lang/. The
// program path, the locale and the chosen language are put back when it goes.
class ProgramFolder {
public:
    explicit ProgramFolder(const std::string& prefix) : folder_(prefix) {
        std::filesystem::create_directories(Lang());
        SetProgramPathOverride((Root() / "vorlix").string());
        LanguageFolder = "Lang/";
    }
    ~ProgramFolder() {
        SetProgramPathOverride(std::nullopt);
        SetDefaultLocaleIdOverride(std::nullopt);
        LanguageNumber = 0;
    }

    const std::filesystem::path& Root() const { return folder_.Path(); }
    std::filesystem::path Lang() const { return Root() / "Lang"; }

private:
    TempFolder folder_;
};

}  // namespace testing_support
