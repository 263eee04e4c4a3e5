#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/Settings.h"
#include "platform/Exceptions.h"
#include "platform/IniService.h"
#include "platform/SystemInfo.h"
#include "support/TestFolders.h"

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void WriteText(const std::string& text) { testing_support::WriteFileText(path_, text); }
    std::string ReadText() const { return testing_support::ReadFileText(path_); }

    testing_support::TempFolder temp_{"vorlix_set"};
    std::string path_ = (temp_.Path() / "vorlix.ini").string();
};

TEST_F(SettingsTest, FirstRunWithoutAFileGivesTheDefaults) {
    const TSettings s = LoadSettings(TIniFile(path_));
    EXPECT_FALSE(s.HasPlacement());
    EXPECT_EQ(s.Width, -1);
    EXPECT_EQ(s.Language, 0);
    EXPECT_EQ(s.SampleFormat, SampleFormatPNG);
    EXPECT_EQ(s.SampleJPEGQuality, 90);
    EXPECT_EQ(s.SaveOptions, TSaveOptionValues{});
    EXPECT_EQ(s.SaveOptions.JPEGQuality, 80);
    EXPECT_FALSE(std::filesystem::exists(path_)) << "reading must not create the file";
}

TEST_F(SettingsTest, EveryKeyRoundTripsInTheDocumentedOrder) {
    TSettings s;
    s.Left = 10;
    s.Top = 20;
    s.Width = 600;
    s.Height = 400;
    s.Language = 1;
    s.SampleFormat = SampleFormatJPEG420;
    s.SampleJPEGQuality = 75;
    TSaveOptionValues& o = s.SaveOptions;
    o.JPEGQuality = 55;
    o.JPEGProgressive = true;
    o.JPEGSubsampling = jss444;
    o.ExifThumbUpdate = true;
    o.PNGGrayscale = true;
    o.PNGTransparent = true;
    o.TGARLECompression = true;
    SaveSettings(TIniFile(path_), s);
    EXPECT_EQ(ReadText(),
              "[General]\nLeft=10\nTop=20\nWidth=600\nHeight=400\nLanguage=1\n"
              "[TestSample]\nSampleFormat=JPEG422\nSampleJPEGQuality=75\n"
              "[SaveOptions4JPEG]\nQuality=55\nProgressive=1\nGrayscale=0\nSubsampling=2\nExifCopy=0\n"
              "ExifThumbUpdate=1\n"
              "[SaveOptions4PNG]\nInterlaced=0\nGrayscale=1\nReduceTo256Color=0\nTransparent=1\n"
              "[SaveOptions4GIF]\nTransparent=0\n"
              "[SaveOptions4TGA]\nRLECompression=1\n");
    const TSettings back = LoadSettings(TIniFile(path_));
    EXPECT_TRUE(back.HasPlacement());
    EXPECT_EQ(back.Left, 10);
    EXPECT_EQ(back.Top, 20);
    EXPECT_EQ(back.Width, 600);
    EXPECT_EQ(back.Height, 400);
    EXPECT_EQ(back.Language, 1);
    EXPECT_EQ(back.SampleFormat, SampleFormatJPEG420);
    EXPECT_EQ(back.SampleJPEGQuality, 75);
    EXPECT_EQ(back.SaveOptions, s.SaveOptions);
}

TEST_F(SettingsTest, HandEditedValuesReadByTheirRules) {
    WriteText("[General]\nLeft=-1\nTop=5\nLanguage=258\n[Encoder]\nQuality=3\n"
              "[TestSample]\nSampleFormat=jpeg444\nSampleJPEGQuality=abc\n"
              "[SaveOptions4JPEG]\nProgressive=5\nSubsampling=514\nQuality=x\n");
    TSettings s = LoadSettings(TIniFile(path_));
    EXPECT_FALSE(s.HasPlacement()) << "Left -1 keeps the default placement";
    EXPECT_EQ(s.Language, 2) << "low 8 bits of 258";
    EXPECT_EQ(s.SampleFormat, SampleFormatJPEG420) << "lower-case jpeg444 is not JPEG444";
    EXPECT_EQ(s.SampleJPEGQuality, 90);
    EXPECT_TRUE(s.SaveOptions.JPEGProgressive);
    EXPECT_EQ(s.SaveOptions.JPEGSubsampling, jss444);
    EXPECT_EQ(s.SaveOptions.JPEGQuality, 80);
    EXPECT_FALSE(TIniFile(path_).SectionExists("Encoder"));
    EXPECT_TRUE(TIniFile(path_).SectionExists("SaveOptions4JPEG"));

    SaveSettings(TIniFile(path_), s);
    EXPECT_EQ(TIniFile(path_).ReadString("SaveOptions4JPEG", "Progressive", ""), "1");
    EXPECT_EQ(TIniFile(path_).ReadString("TestSample", "SampleFormat", ""), "JPEG422");
}

TEST_F(SettingsTest, SampleFormatTexts) {
    EXPECT_EQ(SampleFormatFromText("JPEG444"), SampleFormatJPEG444);
    EXPECT_EQ(SampleFormatFromText("PNG"), SampleFormatPNG);
    EXPECT_EQ(SampleFormatFromText("JPEG422"), SampleFormatJPEG420);
    EXPECT_EQ(SampleFormatFromText("png"), SampleFormatJPEG420);
    EXPECT_EQ(SampleFormatText(SampleFormatJPEG444), "JPEG444");
    EXPECT_EQ(SampleFormatText(SampleFormatPNG), "PNG");
    EXPECT_EQ(SampleFormatText(SampleFormatJPEG420), "JPEG422");
    EXPECT_EQ(SampleFormatText(7), "JPEG422");
}

TEST_F(SettingsTest, WriteFailureRaisesAndStopsAtTheFailingKey) {
    WriteText("x");
    try {
        SaveSettings(TIniFile(path_ + "/vorlix.ini"), TSettings{});
        FAIL();
    } catch (const EIniFileException& e) {
        EXPECT_EQ(std::string(e.what()), path_ + "/vorlix.ini に書き込めません");
    }
}

TEST(SettingsFile, IsTheProgramPathWithIniBesideAPortableProgram) {
    testing_support::TempFolder folder("vorlix_settings_name");
    std::filesystem::create_directories(folder.Path() / "Lang");
    SetProgramPathOverride((folder.Path() / "vorlix").string());
    EXPECT_EQ(SettingsFileName(), (folder.Path() / "vorlix.ini").string());
    SetProgramPathOverride((folder.Path() / "resample.bin").string());
    EXPECT_EQ(SettingsFileName(), (folder.Path() / "resample.ini").string());
    SetProgramPathOverride(std::nullopt);
}
}  // namespace
