#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/Exceptions.h"
#include "platform/IniService.h"
#include "support/TestFolders.h"

namespace {

class IniServiceTest : public ::testing::Test {
protected:
    void WriteText(const std::string& text) { testing_support::WriteFileText(path_, text); }
    std::string ReadText() const { return testing_support::ReadFileText(path_); }

    testing_support::TempFolder temp_{"vorlix_ini"};
    const std::filesystem::path& folder_ = temp_.Path();
    std::string path_ = (folder_ / "vorlix.ini").string();
};

TEST_F(IniServiceTest, MissingFileSectionOrKeyGivesTheDefault) {
    const TIniFile ini(path_);
    EXPECT_EQ(ini.ReadString("General", "Left", "x"), "x");
    EXPECT_EQ(ini.ReadInteger("General", "Left", -1), -1);
    WriteText("[General]\nTop=5\n");
    EXPECT_EQ(ini.ReadInteger("General", "Left", -1), -1);
    EXPECT_EQ(ini.ReadInteger("Other", "Top", 7), 7);
    EXPECT_EQ(ini.ReadInteger("General", "Top", 7), 5);
    EXPECT_FALSE(std::filesystem::exists(folder_ / "missing.ini"));
}

TEST_F(IniServiceTest, NamesIgnoreCaseAndValuesAreTrimmedAndUnquoted) {
    WriteText("; comment\r\n[general]\r\n  LEFT =  12  \r\nName=\"  a b \"\r\nBad=12x\r\nFlag=5\r\n[Next]\r\nLeft=3\r\n");
    const TIniFile ini(path_);
    EXPECT_EQ(ini.ReadInteger("General", "left", 0), 12);
    EXPECT_EQ(ini.ReadString("GENERAL", "name", ""), "  a b ");
    EXPECT_EQ(ini.ReadInteger("General", "Bad", 9), 9) << "a value that is not an integer reads as the default";
    EXPECT_TRUE(ini.ReadBool("General", "Flag", false));
    EXPECT_EQ(ini.ReadInteger("next", "Left", 0), 3);
}

TEST_F(IniServiceTest, WritesCreateFileSectionAndKeyAndKeepEverythingElse) {
    const TIniFile ini(path_);
    ini.WriteInteger("General", "Left", 10);
    ini.WriteBool("General", "On", true);
    ini.WriteBool("Other", "Off", false);
    EXPECT_EQ(ReadText(), "[General]\nLeft=10\nOn=1\n[Other]\nOff=0\n");

    WriteText("; keep me\r\n[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
    ini.WriteString("a", "X", "9");
    ini.WriteString("A", "z", "3");
    EXPECT_EQ(ReadText(), "; keep me\r\n[A]\r\nX=9\r\nz=3\r\n\r\n[B]\r\ny=2\r\n");
}

TEST_F(IniServiceTest, EraseSectionRemovesOnlyThatSection) {
    WriteText("[General]\nLeft=1\n[Encoder]\nq=5\nr=6\n[TestSample]\nSampleFormat=PNG\n");
    const TIniFile ini(path_);
    EXPECT_TRUE(ini.SectionExists("encoder"));
    ini.EraseSection("ENCODER");
    EXPECT_EQ(ReadText(), "[General]\nLeft=1\n[TestSample]\nSampleFormat=PNG\n");
    const auto before = std::filesystem::last_write_time(path_);
    ini.EraseSection("Encoder");  // not there: the file is not rewritten
    EXPECT_EQ(std::filesystem::last_write_time(path_), before);
    TIniFile(path_ + ".none").EraseSection("Encoder");
    EXPECT_FALSE(std::filesystem::exists(path_ + ".none"));
}

TEST_F(IniServiceTest, FailedWriteRaisesWithThePath) {
    // A folder in the way of the file: nothing can be created there.
    WriteText("not a folder");
    const std::string blocked = path_ + "/vorlix.ini";
    try {
        TIniFile(blocked).WriteInteger("General", "Left", 2);
        FAIL() << "the write did not fail";
    } catch (const EIniFileException& e) {
        EXPECT_EQ(std::string(e.what()), blocked + " に書き込めません");
    }
    EXPECT_EQ(ReadText(), "not a folder");
    // A name that cannot be read as a file is refused, not replaced.
    const std::string folderName = (folder_ / "sub.ini").string();
    std::filesystem::create_directory(folderName);
    EXPECT_THROW(TIniFile(folderName).WriteInteger("General", "Left", 2), EIniFileException);
    EXPECT_TRUE(std::filesystem::is_directory(folderName));
}

TEST_F(IniServiceTest, ReadOnlyFileIsNotReplaced) {
    if (geteuid() == 0) GTEST_SKIP() << "file permissions do not bind root";
    WriteText("[General]\nLeft=1\n");
    chmod(path_.c_str(), 0444);
    EXPECT_THROW(TIniFile(path_).WriteInteger("General", "Left", 2), EIniFileException);
    EXPECT_EQ(ReadText(), "[General]\nLeft=1\n");
}
}  // namespace
