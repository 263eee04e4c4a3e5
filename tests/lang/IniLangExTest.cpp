#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "lang/IniLangEx.h"
#include "lang/vorlixLangDefault.h"
#include "platform/SystemInfo.h"
#include "support/TestFolders.h"

namespace fs = std::filesystem;

namespace {

// A window of named components that records what the engine sets.
struct FakeComponent : TLanguageComponent {
    explicit FakeComponent(std::string name, bool hasCaption = true) : name_(std::move(name)), hasCaption_(hasCaption) {}
    std::string Name() const override { return name_; }
    void SetTextProperty(const std::string& property, const std::string& value) override {
        if (property == "Caption" && !hasCaption_) return;
        properties[property] = value;
    }
    void SetFont(const TLanguageFont& f) override { font = f; }
    std::map<std::string, std::string> properties;
    TLanguageFont font;
    std::string name_;
    bool hasCaption_;
};

struct FakeWindow : TLanguageWindow {
    explicit FakeWindow(std::string name) : self(std::move(name)) {}
    std::string Name() const override { return self.Name(); }
    void SetTextProperty(const std::string& p, const std::string& v) override { self.SetTextProperty(p, v); }
    void SetFont(const TLanguageFont& f) override { self.SetFont(f); }
    std::vector<TLanguageComponent*> Components() override {
        std::vector<TLanguageComponent*> list;
        for (auto& c : components) list.push_back(&c);
        return list;
    }
    FakeComponent self;
    std::vector<FakeComponent> components;
};

// A program folder of its own with a Lang/ folder, for the file look-ups.
class LanguageFolderTest : public ::testing::Test {
protected:
    void WriteLanguage(const std::string& base, const std::string& text) {
        testing_support::WriteFileText(program_.Lang() / (base + ".ini"), text);
    }
    testing_support::ProgramFolder program_{"vorlix-lang"};
    const fs::path& root_ = program_.Root();
};

}  // namespace

TEST_F(LanguageFolderTest, FileNamesAndMissingFiles) {
    EXPECT_EQ(LanguageFileName(2), (root_ / "Lang" / "Japanese.ini").string());
    EXPECT_EQ(LanguageFileName(99), (root_ / "Lang" / ".ini").string());
    EXPECT_EQ(LanguageBaseName(13), "Serbian_L");
    EXPECT_EQ(OpenLanguageFile(1), nullptr);

    // German without a file: texts stay, the fonts still change.
    FakeWindow window("Form1");
    window.components.emplace_back("FMOpen");
    window.components[0].properties["Caption"] = "開く(&O)...";
    LanguageNumber = 7;
    ApplyLanguage({&window});
    EXPECT_EQ(window.components[0].properties["Caption"], "開く(&O)...");
    EXPECT_EQ(window.self.font.Face, "Times New Roman");
    EXPECT_EQ(window.components[0].font.Face, "Times New Roman");
    LanguageNumber = 2;
    ApplyLanguage({&window});
    EXPECT_EQ(window.components[0].font.Face, "メイリオ");
    EXPECT_TRUE(window.components[0].font.SetHeight);
    EXPECT_EQ(window.components[0].font.Height, -11);
    EXPECT_FALSE(window.self.font.SetHeight);
}

TEST_F(LanguageFolderTest, CaptionsAndHintsByComponentName) {
    WriteLanguage("English",
                  "[FormSaveOption]\r\nFormSaveOption.Caption=Save options\r\n"
                  "FormSaveOption.CBExifCopy.Caption=Copy Exif // check box\r\n"
                  "FormSaveOption.CBExifCopy.Hint=Copies the source's Exif block\r\n"
                  "FormSaveOption.EditQuality.Caption=ignored\r\n"
                  "FormSaveOption.RBJPEG444.Caption=\r\n");
    FakeWindow window("FormSaveOption_1");
    window.components.emplace_back("CBExifCopy");
    window.components.emplace_back("EditQuality", false);
    window.components.emplace_back("RBJPEG444");
    window.components[2].properties["Caption"] = "4:4:4";
    LanguageNumber = 1;
    ApplyLanguage({&window});
    EXPECT_EQ(window.self.properties["Caption"], "Save options");
    EXPECT_EQ(window.components[0].properties["Caption"], "Copy Exif ");
    EXPECT_EQ(window.components[0].properties["Hint"], "Copies the source's Exif block");
    EXPECT_TRUE(window.components[1].properties.empty());
    EXPECT_EQ(window.components[2].properties["Caption"], "4:4:4");
}

TEST_F(LanguageFolderTest, MessagesSplitAndDefault) {
    WriteLanguage("English",
                  "[Misc]\nMISC_A=A*|*B\nMISC_B=A*|*\nMISC_C=*|*B\nMISC_D=*|*A*|*B\nMISC_E=one*|*two*|*three\n"
                  "MISC_MBT_CONVERTERR=\nMISC_RESAMPLING_SAMPLE_TITLE=Samples // title\n");
    LanguageNumber = 1;
    EXPECT_EQ(LookupMessage("default", "MISC_A"), "default");  // no file open
    LanguageFile = OpenLanguageFile(1);
    ASSERT_NE(LanguageFile, nullptr);
    const struct {
        const char* key;
        const char* expected;
    } cases[] = {{"MISC_A", "A\r\nB"},   {"MISC_B", "A\r\n"},     {"MISC_C", "\r\nB"},
                 {"MISC_D", "A\r\nB"},   {"MISC_E", "one\r\ntwo\r\nthree"}, {"MISC_MISSING", "default"}};
    for (const auto& c : cases) EXPECT_EQ(LookupMessage("default", c.key), c.expected) << c.key;
    LanguageFile.reset();

    LoadPageTexts();
    EXPECT_EQ(MessageBoxTexts.ConvertErrorTitle, "");  // an empty value is used as it is
    EXPECT_EQ(MessageBoxTexts.FileReplaceTitle, "Confirm File Replace");
    EXPECT_EQ(PageTexts.Title, "Samples ");
    EXPECT_EQ(PageTexts.Charset, "iso-8859-1");
    EXPECT_EQ(LanguageFile, nullptr);
}

TEST_F(LanguageFolderTest, SaveDialogCaptionsFollowLocaleAndFlag) {
    LanguageNumber = 1;
    SetDefaultLocaleIdOverride(1033);
    EXPECT_EQ(LookupSaveDialogCaptions()[0], "Option");  // no file anywhere: English defaults
    SetDefaultLocaleIdOverride(1041);
    EXPECT_EQ(LookupSaveDialogCaptions()[0], "オプション");
    WriteLanguage("English", "[Misc]\nMISC_OPTION=Options\n");
    EXPECT_EQ(LookupSaveDialogCaptions()[0], "オプション");  // a Japanese system without the flag
    WriteLanguage("English", "[Misc]\nMISC_LANGINI_ENABLED=1\nMISC_OPTION=Options\n");
    const auto captions = LookupSaveDialogCaptions();
    EXPECT_EQ(captions[0], "Options");
    EXPECT_EQ(captions[10], "Nothing");  // GMNoOption, in published order
    EXPECT_EQ(captions[16], "Update exif thumbnail");
}

TEST_F(LanguageFolderTest, SectionNamesIgnoreCaseAndCommentsKeepTheBuiltInText) {
    WriteLanguage("English",
                  "[form1]\r\nForm1.FMOpen.Caption=&Open... // menu\r\nForm1.FMExit.Caption=// E&xit\r\n"
                  "Form1.Caption=   \r\n");
    FakeWindow window("Form1");
    window.self.properties["Caption"] = "Vorlix 1.0.0";
    window.components.emplace_back("FMOpen");
    window.components.emplace_back("FMExit");
    window.components[1].properties["Caption"] = "終了(&X)";
    LanguageNumber = 1;
    ApplyLanguage({&window});
    EXPECT_EQ(window.components[0].properties["Caption"], "&Open... ");
    EXPECT_EQ(window.components[1].properties["Caption"], "終了(&X)");
    EXPECT_EQ(window.self.properties["Caption"], "Vorlix 1.0.0");
    EXPECT_EQ(window.components[0].font.Face, "Times New Roman");
}
