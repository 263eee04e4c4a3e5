#include <gtest/gtest.h>

#include <filesystem>

#include "lang/IniLangEx.h"
#include "lang/MemIniFile.h"
#include "platform/CodePages.h"
#include "platform/Streams.h"

TEST(MemIniFile, FileFormatRules) {
    const TMemIniFile file = TMemIniFile::FromText(
        "Ignored=before any section\r\n"
        "  [ form1 ]  \r\n"
        "; a comment line\r\n"
        "\r\n"
        "  Form1.FMOpen.Caption =  &Open... // menu  \r\n"
        "Form1.FMExit.Caption=//not translated\n"
        "Form1.FMOpen.Caption=second wins not\n"
        "novalue\n"
        "[Misc]\n"
        "MISC_A=x=y\n");
    EXPECT_EQ(file.ReadString("FORM1", "form1.fmopen.caption", "?"), "&Open... // menu");
    EXPECT_EQ(DropComment(file.ReadString("Form1", "Form1.FMOpen.Caption", "")), "&Open... ");
    EXPECT_EQ(DropComment(file.ReadString("Form1", "Form1.FMExit.Caption", "")), "");
    EXPECT_EQ(file.ReadString("Form1", "Ignored", "default"), "default");
    EXPECT_EQ(file.ReadString("Misc", "MISC_A", ""), "x=y");
    EXPECT_FALSE(file.ValueExists("Form1", "novalue"));
    EXPECT_TRUE(file.SectionExists("MISC"));
    EXPECT_EQ(file.ReadSections(), (std::vector<std::string>{"form1", "Misc"}));
    EXPECT_EQ(file.ReadSection("FORM1"),
              (std::vector<std::string>{"Form1.FMOpen.Caption", "Form1.FMExit.Caption", "Form1.FMOpen.Caption"}));
}

TEST(MemIniFile, ReadsEightBitTextInItsCodePage) {
    const auto path = std::filesystem::temp_directory_path() / "vorlix-lang-cp932.ini";
    // "[Form1]" / "Form1.FMOpen.Caption=開く" in Shift_JIS.
    const std::string sjis = "[Form1]\r\nForm1.FMOpen.Caption=\x8A\x4A\x82\xAD\r\n";
    TMemoryStream(std::vector<uint8_t>(sjis.begin(), sjis.end())).SaveToFile(path.string());
    const TMemIniFile file(path.string(), "CP932");
    EXPECT_EQ(file.ReadString("Form1", "Form1.FMOpen.Caption", ""), "開く");
    std::filesystem::remove(path);
    EXPECT_EQ(CodePageToUtf8("caf\xE9", "CP1252"), "café");
    EXPECT_EQ(CodePageToUtf8("a\x81", "CP932"), "a\xEF\xBF\xBD");  // a lead byte without its trail
    EXPECT_EQ(Utf8ToCodePage("画像", "CP932"), "\x89\xE6\x91\x9C");
    EXPECT_EQ(Utf8ToCodePage("a→b", "CP1252"), "a?b");
}
