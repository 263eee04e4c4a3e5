// Languages on the windows: the property mapping onto Qt, the shipped
// language files against every window's components, the start in a
// language and switching at run time.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QTabWidget>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "app/CommandGuard.h"
#include "app/FormatType.h"
#include "app/LanguageWidgets.h"
#include "app/NumEdit.h"
#include "app/OpenPictureDialog.h"
#include "app/StartUp.h"
#include "app/Unit1.h"
#include "app/dlgPrefix.h"
#include "app/dlgSampleOutputFormat.h"
#include "lang/IniLangEx.h"
#include "lang/MemIniFile.h"
#include "lang/vorlixLangDefault.h"
#include "platform/SystemInfo.h"
#include "save/dlgSaveOption.h"
#include "support/TestFolders.h"

namespace fs = std::filesystem;

namespace {

const fs::path kShipped = VORLIX_LANGUAGE_SOURCE_DIR;

std::string Utf8(const QString& text) { return text.toStdString(); }

TEST(QtTextMapping, EachWidgetClassHasItsProperty) {
    QMainWindow window;
    QDialog dialog;
    QTabWidget tabs;
    auto* page = new QWidget;
    tabs.addTab(page, QStringLiteral("page"));
    QLabel label;
    QPushButton button;
    QCheckBox check;
    QRadioButton radio;
    QGroupBox group;
    QMenu menu;
    QAction action(nullptr);
    QLineEdit edit;
    QStatusBar status;
    QMenuBar bar;
    QScrollArea scroll;
    QFileDialog fileDialog;
    QWidget panel(&window);

    const struct {
        QObject* object;
        TQtTextSlot caption;
        std::function<QString()> shown;
    } cases[] = {
        {&window, TQtTextSlot::WindowTitle, [&] { return window.windowTitle(); }},
        {&dialog, TQtTextSlot::WindowTitle, [&] { return dialog.windowTitle(); }},
        {page, TQtTextSlot::TabText, [&] { return tabs.tabText(0); }},
        {&label, TQtTextSlot::Text, [&] { return label.text(); }},
        {&button, TQtTextSlot::Text, [&] { return button.text(); }},
        {&check, TQtTextSlot::Text, [&] { return check.text(); }},
        {&radio, TQtTextSlot::Text, [&] { return radio.text(); }},
        {&group, TQtTextSlot::Title, [&] { return group.title(); }},
        {&menu, TQtTextSlot::Title, [&] { return menu.menuAction()->text(); }},
        {&action, TQtTextSlot::Text, [&] { return action.text(); }},
        {&edit, TQtTextSlot::None, [&] { return edit.text(); }},
        {&status, TQtTextSlot::None, [&] { return status.currentMessage(); }},
        {&bar, TQtTextSlot::None, [&] { return bar.windowTitle(); }},
        {&scroll, TQtTextSlot::None, [&] { return scroll.windowTitle(); }},
        {&fileDialog, TQtTextSlot::None, [&] { return fileDialog.windowTitle(); }},
        {&panel, TQtTextSlot::None, [&] { return panel.windowTitle(); }},
    };
    for (const auto& c : cases) {
        const std::string name = c.object->metaObject()->className();
        EXPECT_EQ(QtTextSlot(*c.object, "Caption"), c.caption) << name;
        const QString before = c.shown();
        EXPECT_EQ(SetQtText(*c.object, "Caption", QStringLiteral("&Open...")), c.caption != TQtTextSlot::None) << name;
        if (c.caption == TQtTextSlot::None) {
            EXPECT_EQ(c.shown(), before) << name;
            EXPECT_FALSE(QtText(*c.object, "Caption").has_value()) << name;
        } else {
            EXPECT_EQ(c.shown(), QStringLiteral("&Open...")) << name;
            EXPECT_EQ(QtText(*c.object, "Caption"), QStringLiteral("&Open...")) << name;
        }
        EXPECT_EQ(QtTextSlot(*c.object, "Text"), TQtTextSlot::None) << "only the published names are mapped";
    }

    EXPECT_TRUE(SetQtText(label, "Hint", QStringLiteral("tip")));
    EXPECT_EQ(label.toolTip(), QStringLiteral("tip"));
    EXPECT_EQ(QtText(action, "Hint"), QString()) << "the text Qt shows as a tip is no hint";
    EXPECT_TRUE(SetQtText(action, "Hint", QStringLiteral("item tip")));
    EXPECT_EQ(action.toolTip(), QStringLiteral("item tip"));
    EXPECT_EQ(QtText(action, "Hint"), QStringLiteral("item tip"));
    EXPECT_TRUE(SetQtText(edit, "Hint", QStringLiteral("edit tip")));
    EXPECT_FALSE(SetQtText(fileDialog, "Hint", QStringLiteral("x")));

    EXPECT_TRUE(HasQtFont(action));
    EXPECT_TRUE(HasQtFont(status));
    EXPECT_FALSE(HasQtFont(fileDialog));
}

TEST(QtFontMapping, FaceCharsetAndPixelHeight) {
    QLabel label;
    QFont designed = DesignedDialogFont();
    label.setFont(designed);
    ASSERT_TRUE(SetQtFont(label, {"Times New Roman", 1, false, 0}));
    EXPECT_EQ(label.font().family(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(label.font().pixelSize(), 12) << "the height stays unless the language sets it";
    EXPECT_EQ(QtFontCharset(label), 1);
    QAction action(nullptr);
    ASSERT_TRUE(SetQtFont(action, {"メイリオ", 128, true, -11}));
    EXPECT_EQ(action.font().family(), QStringLiteral("メイリオ"));
    EXPECT_EQ(action.font().pixelSize(), 11);
    EXPECT_EQ(QtFontCharset(action), 128);
    QFileDialog dialog;
    EXPECT_FALSE(SetQtFont(dialog, {"メイリオ", 128, true, -11}));
    EXPECT_FALSE(QtFontCharset(dialog).has_value());

    // The face names resolve to installed fonts that can show the texts.
    EXPECT_EQ(QFontInfo(QFont(QStringLiteral("メイリオ"))).family(), QStringLiteral("Noto Sans CJK JP"));
    EXPECT_EQ(QFontInfo(QFont(QStringLiteral("ＭＳ Ｐゴシック"))).family(), QStringLiteral("Noto Sans CJK JP"));
    EXPECT_EQ(QFontInfo(QFont(QStringLiteral("Times New Roman"))).family(), QStringLiteral("Liberation Serif"));
}

// A program folder of its own, with or without the shipped language files.
class LanguageWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings_ = (prog_ / "vorlix.ini").string();
        SetDefaultLocaleIdOverride(1033);
        SetErrorPresenter([this](QWidget*, const QString& message) { errors_.push_back(Utf8(message)); });
        InitializeProgramUnits();
        LanguageNumber = 0;
    }
    void TearDown() override { SetErrorPresenter({}); }
    void InstallShipped(const char* name) { fs::copy_file(kShipped / name, prog_ / "Lang" / name); }
    void InstallBoth() {
        InstallShipped("English.ini");
        InstallShipped("Japanese.ini");
    }
    void WriteLanguage(const char* name, const std::string& bytes) {
        std::ofstream(prog_ / "Lang" / name, std::ios::binary) << bytes;
    }
    std::unique_ptr<TForm1> MakeForm() {
        TForm1Options options;
        options.ProgramPath = (prog_ / "vorlix").string();
        options.SettingsFile = settings_;
        return std::make_unique<TForm1>(options);
    }
    static TMemIniFile Shipped(int language) {
        return TMemIniFile((kShipped / (LanguageBaseName(language) + ".ini")).string(), LanguageCodePage(language));
    }
    // Every component of form whose caption the file gives reads the file's
    // text; returns how many were compared.
    static int ExpectCaptionsOf(const TMemIniFile& file, const std::string& window, const TComponentList& form) {
        int compared = 0;
        for (QObject* component : form.Components()) {
            const std::optional<QString> shown = QtText(*component, "Caption");
            if (!shown) continue;
            const std::string key = window + "." + Utf8(component->objectName()) + ".Caption";
            EXPECT_EQ(Utf8(*shown), DropComment(file.ReadString(window, key, "<missing>"))) << key;
            ++compared;
        }
        return compared;
    }
    static std::vector<std::string> FileTypeTexts(TOpenPictureDialog& dialog) {
        std::vector<std::string> texts;
        if (auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
            for (int i = 0; i < combo->count(); ++i) texts.push_back(Utf8(combo->itemText(i)));
        return texts;
    }
    static std::vector<std::string> DisplayTexts(const std::string& filter) {
        std::vector<std::string> texts;
        size_t start = 0;
        for (bool text = true;; text = !text) {
            const size_t bar = filter.find('|', start);
            if (bar == std::string::npos) break;
            if (text) texts.push_back(filter.substr(start, bar - start));
            start = bar + 1;
        }
        return texts;
    }
    static std::vector<int> Lefts(const TForm1& form) {
        return {form.LWidth->x(), form.EditWidth->x(), form.LHeight->x(), form.EditHeight->x(),
                form.LScale->x(), form.EditRatio->x(), form.Label5->x()};
    }
    static std::vector<int> LabelWidths(const TForm1& form) {
        return {form.LWidth->width(), form.LHeight->width(), form.LScale->width()};
    }

    testing_support::ProgramFolder program_{"vorlix_lang_gui"};
    const fs::path& prog_ = program_.Root();
    std::string settings_;
    std::vector<std::string> errors_;
};

// Every window that shows captions, built as its creator builds it, before
// any language is applied. A window added to the program belongs here.
struct TWindowUnderTest {
    const char* Name;
    std::function<std::pair<std::unique_ptr<QWidget>, const TComponentList*>()> Make;
    bool CaptionFromFile;  // the main window's caption is the name and version
};

TEST_F(LanguageWindowTest, ShippedFilesCoverEveryCaptionOfEveryWindow) {
    // No language file beside the program: the windows keep their built-in
    // captions, against which the Japanese file is compared.
    TForm1Options options;
    options.SettingsFile = settings_;
    const TWindowUnderTest windows[] = {
        {"Form1",
         [&] {
             auto form = std::make_unique<TForm1>(options);
             const TComponentList* list = form.get();
             return std::pair<std::unique_ptr<QWidget>, const TComponentList*>(std::move(form), list);
         },
         false},
        {"FormPrefix",
         [] {
             auto dialog = std::make_unique<TFormPrefix>(nullptr);
             const TComponentList* list = dialog.get();
             return std::pair<std::unique_ptr<QWidget>, const TComponentList*>(std::move(dialog), list);
         },
         true},
        {"FormSampleOutputFormat",
         [] {
             auto dialog = std::make_unique<TFormSampleOutputFormat>(nullptr);
             const TComponentList* list = dialog.get();
             return std::pair<std::unique_ptr<QWidget>, const TComponentList*>(std::move(dialog), list);
         },
         true},
        // Designed in English; its built-in Japanese captions are set by
        // whoever opens it, and those are what Japanese.ini must repeat.
        {"FormSaveOption",
         [] {
             auto dialog = std::make_unique<TFormSaveOption>(nullptr);
             dialog->SetJapaneseCaptions();
             const TComponentList* list = dialog.get();
             return std::pair<std::unique_ptr<QWidget>, const TComponentList*>(std::move(dialog), list);
         },
         true},
    };
    const TMemIniFile english = Shipped(1);
    const TMemIniFile japanese = Shipped(2);
    for (const TWindowUnderTest& w : windows) {
        const auto [window, components] = w.Make();
        ASSERT_EQ(Utf8(window->objectName()), w.Name);
        std::set<std::string> known;
        const std::string title = std::string(w.Name) + ".Caption";
        if (w.CaptionFromFile) {
            known.insert(title);
            EXPECT_EQ(DropComment(japanese.ReadString(w.Name, title, "")), Utf8(window->windowTitle()));
            EXPECT_FALSE(DropComment(english.ReadString(w.Name, title, "")).empty()) << title;
        } else {
            EXPECT_FALSE(english.ValueExists(w.Name, title));
            EXPECT_FALSE(japanese.ValueExists(w.Name, title));
        }
        for (QObject* component : components->Components()) {
            const std::string prefix = std::string(w.Name) + "." + Utf8(component->objectName());
            if (const std::optional<QString> caption = QtText(*component, "Caption")) {
                const std::string key = prefix + ".Caption";
                known.insert(key);
                EXPECT_FALSE(DropComment(english.ReadString(w.Name, key, "")).empty()) << "English.ini lacks " << key;
                EXPECT_EQ(DropComment(japanese.ReadString(w.Name, key, "")), Utf8(*caption))
                    << "Japanese.ini: " << key;
            }
            if (const std::optional<QString> hint = QtText(*component, "Hint"); hint && !hint->isEmpty()) {
                const std::string key = prefix + ".Hint";
                known.insert(key);
                EXPECT_FALSE(DropComment(english.ReadString(w.Name, key, "")).empty()) << "English.ini lacks " << key;
                EXPECT_EQ(DropComment(japanese.ReadString(w.Name, key, "")), Utf8(*hint)) << "Japanese.ini: " << key;
            }
        }
        // A key that names no component would never be applied.
        for (const TMemIniFile* file : {&english, &japanese})
            for (const std::string& key : file->ReadSection(w.Name))
                EXPECT_TRUE(known.count(key)) << "stray key " << key;
    }
    // Every section of the files is a window above, or the messages.
    for (const TMemIniFile* file : {&english, &japanese})
        for (const std::string& section : file->ReadSections())
            EXPECT_TRUE(section == "Misc" || std::any_of(std::begin(windows), std::end(windows),
                                                         [&](const TWindowUnderTest& w) { return section == w.Name; }))
                << "section " << section;
    EXPECT_TRUE(errors_.empty());
}

TEST_F(LanguageWindowTest, EnglishStartReadsEnglishEverywhere) {
    InstallBoth();
    const auto form = MakeForm();
    EXPECT_EQ(LanguageNumber, 1);
    EXPECT_TRUE(form->FMEnglish->isChecked());
    const TMemIniFile english = Shipped(1);
    EXPECT_EQ(ExpectCaptionsOf(english, "Form1", *form), 48);
    EXPECT_EQ(Utf8(form->FMFile->title()), "&File");
    EXPECT_EQ(Utf8(form->FMOpen->text()), "&Open...");
    EXPECT_EQ(Utf8(form->LWidth->text()), "Width");
    EXPECT_TRUE(form->windowTitle().startsWith(QStringLiteral("Vorlix ")));
    EXPECT_EQ(form->font().family(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(form->FMOpen->font().family(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(form->LWidth->font().pixelSize(), 12);
    EXPECT_EQ(Lefts(*form), (std::vector<int>{80, 120, 192, 242, 328, 384, 444}));
    EXPECT_EQ(LabelWidths(*form), (std::vector<int>{32, 43, 55}));
    EXPECT_EQ(form->EditWidth->width(), 57);
    EXPECT_EQ(form->SaveDialog1->GMOption, "Option");
    EXPECT_EQ(form->SaveDialog1->GMSubSampling420, "4:2:0 (default)");
    EXPECT_EQ(PageTexts.Title, "Vorlix Resampling sample list");

    // The open dialog lists the display texts of the filter as they are.
    const std::vector<std::string> types = FileTypeTexts(*form->OpenPictureDialog1);
    ASSERT_EQ(types.size(), 19u);
    EXPECT_EQ(types, DisplayTexts(BuildOpenFilter()));
    EXPECT_EQ(types[0], "Image files");
    EXPECT_EQ(types[1], "JPEG (*.jpg;*.jpeg;*.jpe)");
    EXPECT_EQ(types[18], "Delphi resource (*.dcr)");

    // The output-format dialog takes the language when it is made; the
    // naming-rule dialog keeps its built-in texts.
    const auto output = CreateFormSampleOutputFormat(form.get());
    EXPECT_EQ(Utf8(output->windowTitle()), "Output format");
    EXPECT_EQ(ExpectCaptionsOf(english, "FormSampleOutputFormat", *output), 6);
    EXPECT_EQ(output->RBPNG->font().family(), QStringLiteral("Times New Roman"));
    TFormPrefix prefix(form.get());
    EXPECT_EQ(Utf8(prefix.ButtonCancel->text()), "キャンセル");
    EXPECT_TRUE(errors_.empty());
}

TEST_F(LanguageWindowTest, SwitchingChangesMenusLabelsAndLayoutAtOnce) {
    InstallBoth();
    const auto form = MakeForm();
    form->show();
    QApplication::processEvents();
    const std::vector<std::string> filter = FileTypeTexts(*form->OpenPictureDialog1);

    form->FMJapanese->trigger();
    EXPECT_EQ(LanguageNumber, 2);
    EXPECT_TRUE(form->FMJapanese->isChecked());
    EXPECT_FALSE(form->FMEnglish->isChecked());
    EXPECT_EQ(ExpectCaptionsOf(Shipped(2), "Form1", *form), 48);
    EXPECT_EQ(Utf8(form->FMFile->title()), "ファイル(&F)");
    EXPECT_EQ(Utf8(form->LScale->text()), "スケール");
    EXPECT_EQ(Lefts(*form), (std::vector<int>{80, 96, 160, 194, 280, 328, 388}));
    EXPECT_EQ(LabelWidths(*form), (std::vector<int>{12, 31, 46}));
    EXPECT_EQ(form->EditWidth->width(), 57);
    EXPECT_EQ(form->FMOpen->font().family(), QStringLiteral("メイリオ"));
    EXPECT_EQ(form->LWidth->font().pixelSize(), 11);
    EXPECT_EQ(form->font().pixelSize(), 12) << "the window keeps its own height";
    EXPECT_EQ(QtFontCharset(*form->LWidth), 128);
    EXPECT_EQ(form->SaveDialog1->GMOption, "オプション");
    EXPECT_EQ(PageTexts.Charset, "Shift_JIS");
    EXPECT_EQ(FileTypeTexts(*form->OpenPictureDialog1), filter) << "the filter stays until the next start";

    form->FMEnglish->trigger();
    EXPECT_EQ(LanguageNumber, 1);
    EXPECT_EQ(ExpectCaptionsOf(Shipped(1), "Form1", *form), 48);
    EXPECT_EQ(Utf8(form->FMFile->title()), "&File");
    EXPECT_EQ(form->EditWidth->x(), 120);
    EXPECT_EQ(form->FMOpen->font().family(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(form->SaveDialog1->GMOption, "Option");
    EXPECT_EQ(FileTypeTexts(*form->OpenPictureDialog1), filter);
    EXPECT_TRUE(errors_.empty());
    form->hide();
}

TEST_F(LanguageWindowTest, SwitchOverwritesOnlyWhatTheNewFileSupplies) {
    InstallShipped("English.ini");
    const auto form = MakeForm();
    ASSERT_EQ(Utf8(form->FMOpen->text()), "&Open...");

    // No Japanese file: the English captions stay; fonts, layout and
    // messages follow at once.
    form->FMJapanese->trigger();
    EXPECT_EQ(Utf8(form->FMOpen->text()), "&Open...");
    EXPECT_EQ(Utf8(form->LWidth->text()), "Width");
    EXPECT_EQ(form->EditWidth->x(), 96);
    EXPECT_EQ(form->FMOpen->font().family(), QStringLiteral("メイリオ"));
    EXPECT_EQ(PageTexts.Charset, "iso-8859-1");
    EXPECT_EQ(form->SaveDialog1->GMOption, "Option") << "no file on an English system: the English defaults";

    // A file that supplies only some texts changes only those; an empty
    // value or one that is only a comment changes nothing.
    WriteLanguage("Japanese.ini",
                  "[form1]\r\nForm1.FMOpen.Caption=\x8A\x4A\x82\xAD(&O)... // \x83\x81\x83\x6A\x83\x85\x81\x5B\r\n"
                  "Form1.FMExit.Caption=// \x8F\x49\x97\xB9\r\nForm1.LWidth.Caption=\r\n");
    form->FMJapanese->trigger();
    EXPECT_EQ(Utf8(form->FMOpen->text()), "開く(&O)... ");
    EXPECT_EQ(Utf8(form->FMExit->text()), "E&xit");
    EXPECT_EQ(Utf8(form->LWidth->text()), "Width");
    EXPECT_EQ(Utf8(form->FMReOpen->text()), "Reload");
    EXPECT_TRUE(errors_.empty());
}

TEST_F(LanguageWindowTest, JapaneseLocaleFirstStartIsJapanese) {
    InstallBoth();
    SetDefaultLocaleIdOverride(1041);
    ASSERT_FALSE(fs::exists(settings_));
    auto form = MakeForm();
    EXPECT_EQ(LanguageNumber, 2);
    EXPECT_TRUE(form->FMJapanese->isChecked());
    EXPECT_EQ(ExpectCaptionsOf(Shipped(2), "Form1", *form), 48);
    EXPECT_EQ(form->EditWidth->x(), 96);
    EXPECT_EQ(form->FMOpen->font().family(), QStringLiteral("メイリオ"));
    EXPECT_EQ(FileTypeTexts(*form->OpenPictureDialog1).front(), "画像ファイル");
    EXPECT_EQ(form->SaveDialog1->GMExifCopy, "Exifをコピー");
    form->close();
    form.reset();

    // The choice is stored, so the next start does not choose again.
    SetDefaultLocaleIdOverride(1033);
    form = MakeForm();
    EXPECT_EQ(LanguageNumber, 2);
    EXPECT_EQ(Utf8(form->FMFile->title()), "ファイル(&F)");

    // English chosen on a Japanese system: the English file declares the
    // save dialog's texts its own. Without that flag the dialog would stay
    // Japanese while the menus are English.
    form->FMEnglish->trigger();
    form->close();
    form.reset();
    SetDefaultLocaleIdOverride(1041);
    form = MakeForm();
    EXPECT_EQ(LanguageNumber, 1);
    EXPECT_EQ(Utf8(form->FMFile->title()), "&File");
    EXPECT_EQ(form->SaveDialog1->GMOption, "Option");
    WriteLanguage("English.ini", "[Form1]\r\nForm1.FMFile.Caption=&File\r\n");
    form->FMEnglish->trigger();
    EXPECT_EQ(form->SaveDialog1->GMOption, "オプション");
    EXPECT_EQ(Utf8(form->FMFile->title()), "&File");
    EXPECT_TRUE(errors_.empty());
}

}  // namespace
