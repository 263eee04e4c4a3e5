// The language files shipped with the program, read as the program reads
// them: from a Lang/ folder beside the program, in their code pages.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "lang/IniLangEx.h"
#include "lang/MemIniFile.h"
#include "lang/vorlixLangDefault.h"
#include "platform/SystemInfo.h"
#include "support/TestFolders.h"

namespace fs = std::filesystem;

namespace {

const fs::path kShipped = VORLIX_LANGUAGE_SOURCE_DIR;

std::string Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TMemIniFile Shipped(int language) {
    return TMemIniFile((kShipped / (LanguageBaseName(language) + ".ini")).string(), LanguageCodePage(language));
}

class ShippedLanguageFiles : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"English.ini", "Japanese.ini"}) fs::copy_file(kShipped / name, program_.Lang() / name);
    }
    testing_support::ProgramFolder program_{"vorlix-shipped"};
};

}  // namespace

TEST(ShippedLanguageFile, BuildPutsThemBesideThePrograms) {
    for (const char* name : {"English.ini", "Japanese.ini"}) {
        const fs::path built = fs::path(VORLIX_LANGUAGE_DIR) / name;
        ASSERT_TRUE(fs::is_regular_file(built)) << built;
        EXPECT_EQ(Bytes(built), Bytes(kShipped / name)) << name;
    }
}

TEST(ShippedLanguageFile, EveryMessageKeyInBothFiles) {
    for (int language : {1, 2}) {
        const TMemIniFile file = Shipped(language);
        for (const TMessageEntry& entry : MessageTable()) {
            EXPECT_TRUE(file.ValueExists("Misc", entry.Key)) << LanguageBaseName(language) << " " << entry.Key;
            EXPECT_FALSE(DropComment(file.ReadString("Misc", entry.Key, "")).empty()) << entry.Key;
        }
        for (const std::string& key : file.ReadSection("Misc")) {
            bool known = false;
            for (const TMessageEntry& entry : MessageTable()) known = known || key == entry.Key;
            EXPECT_TRUE(known) << "unknown message key " << key;
        }
    }
    // The Japanese file carries the built-in Japanese captions of the save
    // dialog and the character set of its own code page.
    const TMemIniFile japanese = Shipped(2);
    for (const TMessageEntry& entry : MessageTable()) {
        if (!entry.Japanese) continue;
        EXPECT_EQ(japanese.ReadString("Misc", entry.Key, ""), entry.Japanese) << entry.Key;
    }
    EXPECT_EQ(japanese.ReadString("Misc", "MISC_RESAMPLING_SAMPLE_CHARSET", ""), "Shift_JIS");
    EXPECT_EQ(japanese.ReadString("Form1", "Form1.FMOpen.Caption", ""), "開く(&O)...");
}

TEST_F(ShippedLanguageFiles, MessagesOfEachLanguage) {
    LanguageNumber = 1;
    LoadPageTexts();
    EXPECT_EQ(MessageBoxTexts.FileReplaceText, "The file already exists.\r\nDo you want to replace it?");
    EXPECT_EQ(PageTexts.Title, "Vorlix Resampling sample list");
    EXPECT_EQ(PageTexts.Charset, "iso-8859-1");
    EXPECT_EQ(PageTexts.Preprocess, "Preprocessing: Delete high freq element ");
    EXPECT_EQ(PageTexts.SelectedAlgorithm, "Selected algorithm: ");

    // English on a Japanese system: the English file declares the save
    // dialog's texts its own.
    SetDefaultLocaleIdOverride(1041);
    EXPECT_EQ(LookupSaveDialogCaptions()[0], "Option");

    LanguageNumber = 2;
    LoadPageTexts();
    EXPECT_EQ(PageTexts.Charset, "Shift_JIS");
    EXPECT_EQ(PageTexts.Preprocess, "前処理: 高周波成分を削除 ");
    EXPECT_EQ(MessageBoxTexts.FileReplaceText, "同じ名前のファイルがあります。\r\n上書きしますか？");
    EXPECT_EQ(LookupSaveDialogCaptions()[10], "オプションはありません。");
    EXPECT_EQ(LanguageFile, nullptr);
}
