#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "app/ComLineEX.h"
#include "platform/Exceptions.h"

namespace {

using Strings = std::vector<std::string>;

// A program folder inside a stand-in for the program's file system, so the
// drive-root and program-folder look-ups can both be exercised.
class ComLineEXTest : public ::testing::Test {
protected:
    void SetUp() override {
        drive_ = (std::filesystem::temp_directory_path() /
                  ("vorlix_cl_" + std::to_string(getpid()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name()))
                     .string();
        std::filesystem::create_directories(drive_ + "/prog");
        folder_ = drive_ + "/prog/";
        program_ = folder_ + "vorlix";
    }
    void TearDown() override { std::filesystem::remove_all(drive_); }
    void Touch(const std::string& path, const std::string& text = "") { std::ofstream(path, std::ios::binary) << text; }
    TComLineEX Parse(const Strings& arguments) { return TComLineEX(program_, arguments, drive_); }

    std::string drive_, folder_, program_;
};

TEST_F(ComLineEXTest, SplitsArgumentsIntoFilesMusicOptionsAndColour) {
    const struct {
        Strings arguments;
        Strings files;
        Strings music;
        Strings params;
    } cases[] = {
        {{}, {}, {}, {}},
        {{"photo.jpg"}, {"photo.jpg"}, {}, {"photo.jpg"}},
        {{"My Pictures/a b.jpg"}, {"My Pictures/a b.jpg"}, {}, {"My Pictures/a b.jpg"}},
        {{"song.mp3"}, {}, {"song.mp3"}, {"song.mp3"}},
        {{"/tmp/My", "Pictures/a", "b.jpg", "-x"}, {"/tmp/My Pictures/a b.jpg"}, {}, {"/tmp/My Pictures/a b.jpg", "-x"}},
        {{"/a/1.jpg", "/b/2.jpg", "x.MP3", "#00ff00"},
         {"/a/1.jpg"}, {"/b/2.jpg x.MP3"}, {"/a/1.jpg", "/b/2.jpg x.MP3", "#00ff00"}},
        {{"-v", "/a b", "-w"}, {"/a b"}, {}, {"-v", "/a b", "-w"}},
    };
    for (const auto& c : cases) {
        const TComLineEX line = Parse(c.arguments);
        EXPECT_EQ(line.Files, c.files) << ::testing::PrintToString(c.arguments);
        EXPECT_EQ(line.MusicFiles, c.music) << ::testing::PrintToString(c.arguments);
        EXPECT_EQ(line.Params, c.params) << ::testing::PrintToString(c.arguments);
        EXPECT_TRUE(line.ListFile.empty());
        EXPECT_FALSE(line.UncMode);
    }
}

TEST_F(ComLineEXTest, RelativePiecesJoinUnderTheDriveRootElseTheProgramFolder) {
    EXPECT_EQ(Parse({"a.jpg", "b.jpg"}).Files, Strings{folder_ + "a.jpg b.jpg"});
    Touch(drive_ + "/a.jpg b.jpg");
    EXPECT_EQ(Parse({"a.jpg", "b.jpg"}).Files, Strings{drive_ + "/a.jpg b.jpg"});
    EXPECT_EQ(Parse({"a", "-o", "b"}).Files, (Strings{folder_ + "a", folder_ + "b"}));
}

TEST_F(ComLineEXTest, DrivePlaceholderNamesTheProgramsFileSystem) {
    EXPECT_EQ(Parse({"$(DRV):/Pics/a.jpg"}).Files, Strings{drive_ + "/Pics/a.jpg"});
    EXPECT_EQ(Parse({"$(DRV):/My", "Pics/a.jpg", "$(DRV):/b.jpg"}).Files,
              (Strings{drive_ + "/My Pics/a.jpg", drive_ + "/b.jpg"}));
    EXPECT_EQ(TComLineEX(program_, {"$(DRV):/a.jpg"}, "").Files, Strings{"/a.jpg"});
    EXPECT_EQ(Parse({"$(drv):/a.jpg"}).Files, Strings{"$(drv):/a.jpg"}) << "the placeholder is case-sensitive";
}

TEST_F(ComLineEXTest, ColourNeedsExactlySixCharactersAndIsReadLeniently) {
    const struct {
        const char* entry;
        bool given;
        int32_t colour;
    } cases[] = {{"#FF8000", true, 0xFF8000}, {"#00ff0a", true, 0x00FF0A}, {"#12345", false, 0},
                 {"#1234567", false, 0},      {"#z00000", true, 35 << 20}, {"#!00000", true, -15 << 20}};
    for (const auto& c : cases) {
        const TComLineEX line = Parse({c.entry});
        EXPECT_EQ(line.ColorGiven, c.given) << c.entry;
        EXPECT_EQ(line.Color, c.colour) << c.entry;
        EXPECT_TRUE(line.Files.empty());
    }
}

TEST_F(ComLineEXTest, ListFileAddsEntriesRelativeToTheProgramFolder) {
    Touch(folder_ + "list.kls",
          "# pictures\r\n  pics/a.jpg  \r\n\r\n$(DRV):/b.png\r\n/abs/c.bmp\r\ntune.ogg\r\n-opt#0000ff\r\n-plain\n");
    // Two relative arguments join into one entry, here one that names no file.
    EXPECT_EQ(Parse({"given.jpg", "list.kls"}).ListFile, folder_ + "given.jpg list.kls");
    EXPECT_TRUE(Parse({"given.jpg", "list.kls"}).Files.empty());
    const TComLineEX listed = Parse({"list.kls"});
    EXPECT_EQ(listed.ListFile, folder_ + "list.kls");
    EXPECT_EQ(listed.Files, (Strings{folder_ + "pics/a.jpg", drive_ + "/b.png", "/abs/c.bmp"}));
    EXPECT_EQ(listed.MusicFiles, Strings{folder_ + "tune.ogg"});
    EXPECT_EQ(listed.Params, (Strings{folder_ + "list.kls", "-opt", "-plain"}));
    EXPECT_TRUE(listed.ColorGiven);
    EXPECT_EQ(listed.Color, 0x0000FF);

    // Found at the drive root first.
    Touch(drive_ + "/list.kls", "root.jpg\n");
    EXPECT_EQ(Parse({"list.kls"}).ListFile, drive_ + "/list.kls");
    // A list file that is not there adds nothing.
    EXPECT_TRUE(Parse({"/none/x.kls"}).Files.empty());
    EXPECT_EQ(Parse({"/none/x.kls"}).ListFile, "/none/x.kls");
}

TEST(ComLineEXMount, MountPointOfTheRootFileSystemIsEmpty) {
    EXPECT_EQ(MountPointOf("/"), "");
    const std::string proc = MountPointOf("/proc/self");
    EXPECT_EQ(proc, "/proc");
}
}  // namespace
