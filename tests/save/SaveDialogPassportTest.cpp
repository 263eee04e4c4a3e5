#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "lang/IniLangEx.h"
#include "lang/vorlixLangDefault.h"
#include "platform/SystemInfo.h"
#include "save/SaveDialogPassport.h"
#include "support/TestFolders.h"

namespace fs = std::filesystem;

namespace {

std::array<std::string, 17> Captions(const TSaveDialogPassport& dialog) {
    std::array<std::string, 17> captions;
    for (size_t i = 0; i < captions.size(); ++i) captions[i] = dialog.*TSaveDialogPassport::CaptionMembers()[i];
    return captions;
}

class SaveDialogPassportTest : public ::testing::Test {
protected:
    void SetUp() override { LanguageNumber = 1; }
    void TearDown() override { SetOsMajorVersionOverride(std::nullopt); }
    void WriteEnglish(const std::string& text) { testing_support::WriteFileText(program_.Lang() / "English.ini", text); }
    testing_support::ProgramFolder program_{"vorlix-passport"};
};

}  // namespace

TEST_F(SaveDialogPassportTest, ConstructionValues) {
    SetOsMajorVersionOverride(10);
    const TSaveDialogPassport dialog;
    EXPECT_TRUE(dialog.FileName.empty());
    EXPECT_TRUE(dialog.InitialDir.empty());
    EXPECT_TRUE(dialog.FileTypes.empty());
    EXPECT_EQ(dialog.FilterIndex, 0);
    EXPECT_EQ(dialog.JPEGQuality, 0);
    for (bool flag : {dialog.JPEGProgressive, dialog.JPEGGrayscale, dialog.PNGInterlaced, dialog.PNGGrayscale,
                      dialog.PNGReduceTo256Color, dialog.PNGTransparent, dialog.GIFTransparent,
                      dialog.TGARLECompression, dialog.ExifCopy, dialog.ExifThumbUpdate})
        EXPECT_FALSE(flag);
    EXPECT_TRUE(dialog.DCRResourceName.empty());
    EXPECT_EQ(dialog.JPEGSubsampling, jss420);
    EXPECT_TRUE(dialog.ExifCopyEnabled);
    EXPECT_TRUE(dialog.ExifThumbUpdateEnabled);
    for (const std::string& caption : Captions(dialog)) EXPECT_TRUE(caption.empty());
    EXPECT_EQ(dialog.SelectedFileType(), sftUNKNOWN);
    EXPECT_TRUE(dialog.UseVistaDialog());

    // The variant is fixed when the component is made.
    SetOsMajorVersionOverride(6);
    EXPECT_TRUE(TSaveDialogPassport().UseVistaDialog());
    SetOsMajorVersionOverride(5);
    const TSaveDialogPassport older;
    EXPECT_FALSE(older.UseVistaDialog());
    SetOsMajorVersionOverride(10);
    EXPECT_FALSE(older.UseVistaDialog());
}

TEST_F(SaveDialogPassportTest, CaptionsFollowTheLocaleAndTheLanguageFileFlag) {
    TSaveDialogPassport dialog;
    std::array<std::string, 17> japanese;
    std::array<std::string, 17> english;
    for (size_t i = 0; i < japanese.size(); ++i) {
        japanese[i] = Message(SaveDialogCaptionKeys()[i]).Japanese;
        english[i] = Message(SaveDialogCaptionKeys()[i]).Default;
    }

    // No language file: the English defaults, or the Japanese texts on a
    // Japanese system.
    SetDefaultLocaleIdOverride(1033);
    LoadSaveDialogCaptions(dialog);
    EXPECT_EQ(Captions(dialog), english);
    SetDefaultLocaleIdOverride(1041);
    LoadSaveDialogCaptions(dialog);
    EXPECT_EQ(Captions(dialog), japanese);
    EXPECT_EQ(dialog.GMNoOption, "オプションはありません。");

    // A file whose every value names its key shows which caption reads
    // which key.
    std::string misc = "[Misc]\r\n";
    for (const char* key : SaveDialogCaptionKeys()) misc += std::string(key) + "=" + key + "\r\n";
    WriteEnglish(misc);
    LoadSaveDialogCaptions(dialog);
    EXPECT_EQ(Captions(dialog), japanese) << "a Japanese system without MISC_LANGINI_ENABLED";
    SetDefaultLocaleIdOverride(1033);
    LoadSaveDialogCaptions(dialog);
    EXPECT_EQ(dialog.GMOption, "MISC_OPTION");
    EXPECT_EQ(dialog.GMGIFTransparent, "MISC_GIFTRANSPARENT");
    EXPECT_EQ(dialog.GMPNGTransparent, "MISC_PNGTRANSPARENT");
    EXPECT_EQ(dialog.GMNoOption, "MISC_NOOPTION");
    EXPECT_EQ(dialog.GMSubSampling420, "MISC_SUBSAMPLING420");
    EXPECT_EQ(dialog.GMExifThumbUpdate, "MISC_EXIFTHUMBUPDATE");
    for (size_t i = 0; i < 17; ++i) EXPECT_EQ(Captions(dialog)[i], SaveDialogCaptionKeys()[i]);

    WriteEnglish(misc + "MISC_LANGINI_ENABLED=1\r\n");
    SetDefaultLocaleIdOverride(1041);
    LoadSaveDialogCaptions(dialog);
    EXPECT_EQ(dialog.GMResourceName, "MISC_RESOURCENAME");
    EXPECT_EQ(LanguageFile, nullptr) << "the file is released after the look-ups";
}
