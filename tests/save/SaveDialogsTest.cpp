// The save dialogs on Qt's offscreen platform: the older dialog's option
// panel, the newer dialog's "Options..." button and options form, and both
// behind the save-dialog component. Modal loops are driven by queued calls.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFontInfo>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <filesystem>
#include <functional>

#include "app/LanguageWidgets.h"
#include "lang/IniLangEx.h"
#include "platform/SystemInfo.h"
#include "save/ItemFileDialog.h"
#include "save/SaveDialogBackends.h"
#include "save/SaveDialogPassport.h"
#include "save/dlgSaveOption.h"
#include "save/novFileSaveDialog.h"
#include "save/novSavePictureDialog.h"
#include "support/TestFolders.h"

namespace fs = std::filesystem;

namespace {

const fs::path kShipped = VORLIX_LANGUAGE_SOURCE_DIR;

TFileTypeItems StandardTypes() {
    TFileTypeItems items;
    for (const TKestruneFileTypeInfo& row : SaveFileTypeTable)
        items.push_back({std::string(row.DisplayName), std::string(row.FileMask)});
    return items;
}

// Runs action on the modal window of type T once it is up; the test fails
// when none comes within a few seconds.
template <class T>
void WhenModal(std::function<void(T&)> action) {
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, action] {
        T* window = qobject_cast<T*>(QApplication::activeModalWidget());
        if (window && window->isVisible()) {
            timer->stop();
            timer->deleteLater();
            action(*window);
        } else if (++*tries > 500) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no modal " << T::staticMetaObject.className();
            if (QWidget* other = QApplication::activeModalWidget()) QMetaObject::invokeMethod(other, "reject");
        }
    });
    timer->start(10);
}

// The focusable controls under root in the order Tab visits them.
std::vector<QWidget*> TabChain(QWidget* root) {
    std::vector<QWidget*> chain;
    for (QWidget* w = root->nextInFocusChain(); w != root; w = w->nextInFocusChain())
        if (root->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus)) chain.push_back(w);
    return chain;
}

QColor TextColour(const QWidget& widget, QPalette::ColorRole role) { return widget.palette().color(role); }

class SaveDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDefaultLocaleIdOverride(1033);
        LanguageNumber = 1;
        InstallSaveDialogBackends();
    }
    void TearDown() override {
        SetOsMajorVersionOverride(std::nullopt);
        SetSaveDialogBackendFactory({});
    }
    void InstallShipped(const char* name) { fs::copy_file(kShipped / name, program_.Lang() / name); }
    // The component as the main window prepares it.
    std::unique_ptr<TSaveDialogPassport> MakeComponent() {
        auto component = std::make_unique<TSaveDialogPassport>();
        component->FileTypes = StandardTypes();
        LoadSaveDialogCaptions(*component);
        component->InitialDir = folder_.Path().string();
        component->JPEGQuality = 75;
        return component;
    }
    // Names the file in the dialog and confirms it.
    static void Confirm(QFileDialog& dialog, const char* name) {
        dialog.selectFile(QString::fromLatin1(name));
        QMetaObject::invokeMethod(&dialog, "accept", Qt::DirectConnection);
    }

    testing_support::ProgramFolder program_{"vorlix_save_dialogs"};
    testing_support::TempFolder folder_{"vorlix_save_target"};
};

// ---------------------------------------------------------------------------
// The older dialog

class LegacyPanelTest : public SaveDialogsTest {
protected:
    void SetUp() override {
        SaveDialogsTest::SetUp();
        TFileTypeItems types = StandardTypes();
        types.push_back({"Delphi resource", "*.dcr"});
        dialog_.SetFilter(BuildSaveFilter(types));
        dialog_.setDirectory(QString::fromStdString(folder_.Path().string()));
        dialog_.GMOption = "Option";
        dialog_.GMQuality = "Quality";
        dialog_.GMProgressiveJPEG = "Progressive";
        dialog_.GMGrayscale = "Grayscale";
        dialog_.GMInterlacedPNG = "Interlaced";
        dialog_.GMReduceTo256Color = "256";
        dialog_.GMPNGTransparent = "PNG transparent";
        dialog_.GMGIFTransparent = "GIF transparent";
        dialog_.GMRLECompression = "RLE";
        dialog_.GMResourceName = "Resource";
        dialog_.GMNoOption = "Nothing";
        dialog_.GMSubSampling = "Sub";
        dialog_.GMSubSampling420 = "420";
        dialog_.GMSubSampling444 = "444";
        dialog_.GMExif = "Exif";
        dialog_.GMExifCopy = "Copy";
        dialog_.GMExifThumbUpdate = "Thumb";
    }
    void TearDown() override {
        dialog_.reject();
        SaveDialogsTest::TearDown();
    }
    void Show(int filterIndex) {
        dialog_.SetFilterIndex(filterIndex);
        dialog_.show();
        QApplication::processEvents();
    }
    void Select(int filterIndex) {
        SelectFileTypeCombo(dialog_, filterIndex);
        QApplication::processEvents();
    }
    const TnovSavePictureDialog::TControls& C() const { return dialog_.Controls(); }

    TnovSavePictureDialog dialog_;
};

TEST_F(LegacyPanelTest, JPEGControlsStandWhereDesignedInTheirTabOrder) {
    dialog_.JPEGSubsampling = 2;
    dialog_.ExifCopy = true;
    Show(1);
    EXPECT_EQ(dialog_.GroupBox->title(), QStringLiteral("Option"));
    EXPECT_EQ(dialog_.GroupBox->height(), 120);
    EXPECT_EQ(dialog_.ExtraPanel->height(), 120);
    EXPECT_EQ(dialog_.height() - dialog_.ExtraPanel->y(), 120) << "the panel fills the 120 pixels the dialog grew";
    EXPECT_GE(dialog_.ExtraPanel->width(), 585);
    EXPECT_EQ(dialog_.ShownIndex(), 1);
    // The face the widths were laid out for, or the texts would not fit.
    EXPECT_EQ(QFontInfo(C().Progressive->font()).family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(C().Progressive->font().pixelSize(), 11);

    const std::pair<QWidget*, QRect> places[] = {
        {C().QualityLabel, QRect(16, 21, C().QualityLabel->width(), C().QualityLabel->height())},
        {C().QualityBar, QRect(84, 21, 150, 28)},
        {C().Minus5, QRect(242, 21, 23, 20)},
        {C().Plus5, QRect(266, 21, 23, 20)},
        {C().Minus1, QRect(242, 43, 23, 20)},
        {C().Plus1, QRect(266, 43, 23, 20)},
        {C().Progressive, QRect(16, 56, 140, 17)},
        {C().Grayscale, QRect(16, 76, 140, 17)},
        {C().SubSampling, QRect(315, 21, 121, 75)},
        {C().SubSampling420, QRect(16, 24, 113, 17)},
        {C().SubSampling444, QRect(16, 47, 113, 17)},
        {C().Exif, QRect(442, 21, 143, 75)},
        {C().ExifCopy, QRect(16, 24, 105, 17)},
        {C().ExifThumbUpdate, QRect(16, 47, 135, 17)},
    };
    for (const auto& [widget, rect] : places) {
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), rect) << widget->metaObject()->className();
        EXPECT_TRUE(widget->isVisible());
    }
    EXPECT_EQ(C().QualityValue->pos(), QPoint(60, 21));
    EXPECT_EQ(C().QualityBar->minimum(), 0);
    EXPECT_EQ(C().QualityBar->maximum(), 100);
    EXPECT_EQ(C().QualityBar->tickInterval(), 10);
    EXPECT_EQ(C().QualityBar->singleStep(), 1);
    EXPECT_EQ(C().QualityBar->value(), 80);
    EXPECT_EQ(TextColour(*C().Minus5, QPalette::ButtonText), QColor(Qt::red));
    EXPECT_EQ(TextColour(*C().Minus1, QPalette::ButtonText), QColor(Qt::red));
    EXPECT_EQ(TextColour(*C().Plus5, QPalette::ButtonText), QColor(Qt::blue));
    EXPECT_EQ(TextColour(*C().Plus1, QPalette::ButtonText), QColor(Qt::blue));
    EXPECT_TRUE(C().SubSampling444->isChecked());
    EXPECT_EQ(C().Progressive->text(), QStringLiteral("Progressive"));
    EXPECT_EQ(C().SubSampling->title(), QStringLiteral("Sub"));

    const std::vector<QWidget*> order = {C().ExifThumbUpdate, C().ExifCopy,    C().SubSampling444, C().SubSampling420,
                                         C().Grayscale,       C().Progressive, C().Plus1,          C().Minus1,
                                         C().Plus5,           C().Minus5,      C().QualityBar};
    EXPECT_EQ(TabChain(dialog_.GroupBox), order);
}

TEST_F(LegacyPanelTest, QualityButtonsBarAndColourRule) {
    dialog_.JPEGQuality = 98;
    Show(1);
    C().Plus5->click();
    EXPECT_EQ(dialog_.JPEGQuality, 100);
    EXPECT_EQ(C().QualityBar->value(), 100);
    EXPECT_EQ(C().QualityValue->text(), QStringLiteral("100"));
    C().QualityBar->setValue(3);
    EXPECT_EQ(dialog_.JPEGQuality, 3);
    C().Minus5->click();
    EXPECT_EQ(dialog_.JPEGQuality, 0);
    EXPECT_EQ(C().QualityValue->text(), QStringLiteral("0"));
    C().Plus1->click();
    C().Plus1->click();
    C().Minus1->click();
    EXPECT_EQ(dialog_.JPEGQuality, 1);

    const std::pair<int, QColor> colours[] = {
        {29, QColor(255, 0, 0)}, {30, QColor(254, 135, 40)}, {64, QColor(254, 135, 40)}, {65, QColor(0, 0, 255)}};
    for (const auto& [quality, colour] : colours) {
        C().QualityBar->setValue(quality);
        EXPECT_EQ(C().QualityValue->text(), QString::number(quality));
        EXPECT_EQ(TextColour(*C().QualityValue, QPalette::WindowText), colour) << quality;
    }
}

TEST_F(LegacyPanelTest, TypeChangeRebuildsFromTheCurrentValues) {
    dialog_.JPEGQuality = 50;
    dialog_.PNGGrayscale = true;
    Show(1);
    const int grown = dialog_.height();
    C().Plus5->click();
    C().Progressive->click();
    EXPECT_TRUE(dialog_.JPEGProgressive);

    QSignalSpy typeChanges(&dialog_, &QFileDialog::filterSelected);
    Select(2);
    EXPECT_EQ(typeChanges.count(), 1);
    EXPECT_EQ(dialog_.ShownIndex(), 2);
    EXPECT_EQ(C().QualityBar, nullptr);
    EXPECT_EQ(C().Transparent->geometry(), QRect(200, 21, 200, 17));
    EXPECT_EQ(C().ReduceTo256Color->geometry(), QRect(16, 61, 155, 17));
    EXPECT_EQ(C().Grayscale->geometry(), QRect(16, 41, 155, 17));
    EXPECT_EQ(C().Interlaced->geometry(), QRect(16, 21, 155, 17));
    EXPECT_EQ(C().Transparent->text(), QStringLiteral("PNG transparent"));
    EXPECT_TRUE(C().Grayscale->isChecked());
    EXPECT_EQ(TabChain(dialog_.GroupBox),
              (std::vector<QWidget*>{C().Transparent, C().ReduceTo256Color, C().Grayscale, C().Interlaced}));
    C().Interlaced->click();
    EXPECT_TRUE(dialog_.PNGInterlaced);
    EXPECT_EQ(dialog_.GroupBox->findChildren<QWidget*>().size(), 4u) << "the JPEG controls are gone";

    Select(1);
    EXPECT_EQ(C().QualityBar->value(), 55) << "the quality changed before the switch survives it";
    EXPECT_TRUE(C().Progressive->isChecked());

    const struct {
        int index;
        const char* text;
        QRect place;
    } single[] = {
        {4, "GIF transparent", QRect(16, 21, 200, 17)}, {5, "RLE", QRect(16, 21, 150, 17)},
        {3, "Nothing", QRect(16, 21, 140, 17)},         {11, "Nothing", QRect(16, 21, 140, 17)},
    };
    for (const auto& s : single) {
        Select(s.index);
        const QList<QWidget*> shown = dialog_.GroupBox->findChildren<QWidget*>();
        ASSERT_EQ(shown.size(), 1) << s.index;
        EXPECT_EQ(shown[0]->geometry(), s.place) << s.index;
        EXPECT_EQ(shown[0]->property("text").toString(), QString::fromLatin1(s.text)) << s.index;
    }
    Select(5);
    C().RLECompression->click();
    EXPECT_TRUE(dialog_.TGARLECompression);
    EXPECT_EQ(dialog_.SelectedFileType(), sftTGA);
    EXPECT_EQ(dialog_.DefaultExtension(), ".tga");
    EXPECT_EQ(dialog_.height(), grown) << "a type change does not grow the window";

    // Closing frees the controls and gives the dialog back its own size.
    dialog_.reject();
    EXPECT_TRUE(dialog_.GroupBox->findChildren<QWidget*>().empty());
    EXPECT_EQ(dialog_.height(), grown - 120);
    EXPECT_EQ(dialog_.FilterIndex(), 5);
}

TEST_F(LegacyPanelTest, ExifThumbnailBoxFollowsTheCopyBoxOnlyWhenOffered) {
    dialog_.ExifCopy = true;
    dialog_.ExifThumbUpdate = true;
    dialog_.ExifThumbUpdateEnabled = false;
    Show(1);
    EXPECT_TRUE(C().ExifCopy->isEnabled());
    EXPECT_FALSE(C().ExifThumbUpdate->isEnabled());
    EXPECT_TRUE(C().ExifThumbUpdate->isChecked());
    C().ExifCopy->click();
    C().ExifCopy->click();
    EXPECT_FALSE(C().ExifThumbUpdate->isEnabled()) << "no thumbnail in the source: stays disabled";

    dialog_.ExifThumbUpdateEnabled = true;
    dialog_.ExifCopyEnabled = false;
    Select(2);
    Select(1);
    EXPECT_FALSE(C().ExifCopy->isEnabled());
    EXPECT_TRUE(C().ExifThumbUpdate->isEnabled());
    C().ExifCopy->click();  // a disabled box ignores clicks
    EXPECT_TRUE(dialog_.ExifCopy);
    dialog_.ExifCopyEnabled = true;
    Select(2);
    Select(1);
    C().ExifCopy->click();
    EXPECT_FALSE(dialog_.ExifCopy);
    EXPECT_FALSE(C().ExifThumbUpdate->isEnabled());
    C().ExifCopy->click();
    EXPECT_TRUE(C().ExifThumbUpdate->isEnabled());
    C().ExifThumbUpdate->click();
    EXPECT_FALSE(dialog_.ExifThumbUpdate);
}

TEST_F(LegacyPanelTest, ResourceNameIsTakenOnlyWhenClosingOnDCR) {
    dialog_.DCRResourceName = "ICON1";
    Show(12);
    EXPECT_EQ(C().ResourceNameLabel->geometry(), QRect(16, 22, 150, 17));
    EXPECT_EQ(C().ResourceName->geometry(), QRect(16, 38, 150, 17));
    EXPECT_EQ(C().ResourceName->text(), QStringLiteral("ICON1"));
    EXPECT_EQ(dialog_.SelectedFileType(), sftDCR);
    C().ResourceName->setText(QStringLiteral("DROPPED"));
    Select(1);
    Select(12);
    EXPECT_EQ(C().ResourceName->text(), QStringLiteral("ICON1"));
    C().ResourceName->setText(QStringLiteral("KEPT"));
    EXPECT_EQ(dialog_.DCRResourceName, "ICON1");
    dialog_.reject();
    EXPECT_EQ(dialog_.DCRResourceName, "KEPT");
}

// ---------------------------------------------------------------------------
// Both dialogs behind the component

TEST_F(SaveDialogsTest, OlderDialogThroughTheVersionOverride) {
    SetOsMajorVersionOverride(5);
    const auto component = MakeComponent();
    ASSERT_FALSE(component->UseVistaDialog());
    component->FileName = "/elsewhere/shot";
    component->ExifThumbUpdateEnabled = false;
    WhenModal<TnovSavePictureDialog>([](TnovSavePictureDialog& dialog) {
        EXPECT_TRUE(dialog.ExtraPanel->isVisible());
        EXPECT_EQ(dialog.GroupBox->title(), QStringLiteral("Option"));
        EXPECT_EQ(dialog.Controls().QualityBar->value(), 75);
        EXPECT_FALSE(dialog.Controls().ExifThumbUpdate->isEnabled());
        EXPECT_EQ(dialog.nameFilters().value(1), QStringLiteral("PNG (*.png) (*.png)"));
        SelectFileTypeCombo(dialog, 2);
        EXPECT_NE(dialog.Controls().Interlaced, nullptr) << "the panel is rebuilt for the new type";
        dialog.Controls().Interlaced->click();
        Confirm(dialog, "shot");
    });
    ASSERT_TRUE(component->Execute());
    EXPECT_EQ(component->FileName, (folder_.Path() / "shot.png").string());
    EXPECT_TRUE(component->PNGInterlaced);
    EXPECT_EQ(component->JPEGQuality, 75);
    EXPECT_EQ(component->SelectedFileType(), sftPNG);

    // The next run starts on the type chosen last; a name with an extension
    // keeps it; a cancelled run changes nothing.
    component->FileName = "shot.old";
    WhenModal<TnovSavePictureDialog>([](TnovSavePictureDialog& dialog) {
        EXPECT_EQ(dialog.FilterIndex(), 2);
        Confirm(dialog, "shot.old");
    });
    ASSERT_TRUE(component->Execute());
    EXPECT_EQ(component->FileName, (folder_.Path() / "shot.old").string());
    WhenModal<TnovSavePictureDialog>([](TnovSavePictureDialog& dialog) {
        dialog.Controls().Interlaced->click();
        dialog.reject();
    });
    EXPECT_FALSE(component->Execute());
    EXPECT_TRUE(component->PNGInterlaced);
    EXPECT_EQ(component->FileName, (folder_.Path() / "shot.old").string());
}

TEST_F(SaveDialogsTest, NewerDialogOptionsButtonFollowsTheTypeAndShowsOnlyItsPage) {
    SetOsMajorVersionOverride(10);
    const auto component = MakeComponent();
    component->FileName = "pic";
    WhenModal<TItemFileDialog>([&](TItemFileDialog& dialog) {
        QPushButton* button = dialog.AddedButton(kOptionButtonId);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), QStringLiteral("Options..."));
        EXPECT_TRUE(button->isEnabled()) << "JPEG, selected at the start, has options";
        SelectFileTypeCombo(dialog, 3);
        EXPECT_FALSE(button->isEnabled()) << "Bitmap";
        EXPECT_TRUE(button->isVisible());
        SelectFileTypeCombo(dialog, 5);
        EXPECT_TRUE(button->isEnabled()) << "Targa";

        WhenModal<TFormSaveOption>([](TFormSaveOption& form) {
            for (int i = 0; i < form.PageControl1->count(); ++i)
                EXPECT_EQ(form.PageControl1->isTabVisible(i), form.PageControl1->widget(i) == form.TabSheet5) << i;
            EXPECT_EQ(form.PageControl1->currentWidget(), form.TabSheet5);
            EXPECT_EQ(form.windowTitle(), QStringLiteral("Save options")) << "English.ini is not installed";
            form.CBTGARLECompression->click();
            form.ButtonOK->click();
        });
        button->click();
        // Cancelling the form takes nothing over.
        WhenModal<TFormSaveOption>([](TFormSaveOption& form) {
            form.CBTGARLECompression->click();
            form.ButtonCancel->click();
        });
        button->click();
        Confirm(dialog, "pic");
    });
    ASSERT_TRUE(component->Execute());
    EXPECT_TRUE(component->TGARLECompression);
    EXPECT_EQ(component->FileName, (folder_.Path() / "pic.tga").string());
    EXPECT_EQ(component->SelectedFileType(), sftTGA);

    // The type list was taken at the first run.
    component->FileTypes.pop_back();
    component->FileName = "shot.";
    WhenModal<TItemFileDialog>([](TItemFileDialog& dialog) {
        EXPECT_EQ(dialog.nameFilters().size(), 11);
        EXPECT_EQ(dialog.FileTypeIndex(), 5) << "starts on the type chosen last";
        SelectFileTypeCombo(dialog, 11);
        Confirm(dialog, "shot.");
    });
    ASSERT_TRUE(component->Execute());
    EXPECT_EQ(component->FileName, (folder_.Path() / "shot.").string());
    EXPECT_EQ(component->SelectedFileType(), sftMAG);
    WhenModal<TItemFileDialog>([](TItemFileDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(component->Execute());
    EXPECT_EQ(component->FileName, (folder_.Path() / "shot.").string());
}

TEST_F(SaveDialogsTest, ButtonCaptionFollowsTheSystemLocale) {
    SetDefaultLocaleIdOverride(1041);
    EXPECT_EQ(TnovFileSaveDialog().GMOption, "オプション...") << "whatever the chosen language";
    SetDefaultLocaleIdOverride(1033);
    const TnovFileSaveDialog dialog;
    EXPECT_EQ(dialog.GMOption, "Options...");
    EXPECT_EQ(dialog.JPEGQuality, 80);
    EXPECT_TRUE(dialog.ExifCopy && dialog.ExifThumbUpdate);
    EXPECT_FALSE(dialog.ExifCopyEnabled || dialog.ExifThumbUpdateEnabled);
    EXPECT_EQ(dialog.SelectedFileType(), sftUNKNOWN) << "no types yet";
}

// ---------------------------------------------------------------------------
// The options form

TEST_F(SaveDialogsTest, OptionFormLoadsValuesAndTakesThemBackOnOK) {
    TSaveDialogOptions values;
    values.JPEGQuality = 42;
    values.JPEGSubsampling = 2;
    values.ExifCopy = true;
    values.ExifThumbUpdate = true;
    values.ExifCopyEnabled = false;
    values.ExifThumbUpdateEnabled = false;
    values.PNGTransparent = true;
    values.DCRResourceName = "ICON1";
    const auto form = PrepareSaveOptionForm(values, "JPEG", nullptr);
    EXPECT_EQ(form->EditJPEGQuality->text(), QStringLiteral("42"));
    EXPECT_TRUE(form->RBSubsampling444->isChecked());
    EXPECT_TRUE(form->CBExifCopy->isChecked() && form->CBExifThumbUpdate->isChecked());
    EXPECT_FALSE(form->CBExifCopy->isEnabled() || form->CBExifThumbUpdate->isEnabled())
        << "a source without Exif: disabled, but still checked";
    EXPECT_TRUE(form->CBPNGTransparent->isChecked());
    EXPECT_EQ(form->EditDCRResourceName->text(), QStringLiteral("ICON1"));
    EXPECT_EQ(form->PageControl1->currentWidget(), form->TabSheet1);

    QSignalSpy accepted(form.get(), &QDialog::accepted);
    for (const char* text : {"abc", "", "8x", "99999999999"}) {
        form->EditJPEGQuality->setText(QString::fromLatin1(text));
        form->ButtonOK->click();
        EXPECT_EQ(accepted.count(), 0) << "'" << text << "' is no whole number: the form stays";
    }
    form->EditJPEGQuality->setText(QStringLiteral("150"));
    form->RBSubsampling420->click();
    form->CBPNGTransparent->click();
    form->ButtonOK->click();
    EXPECT_EQ(accepted.count(), 1);
    TakeSaveOptionForm(*form, values);
    EXPECT_EQ(values.JPEGQuality, 150) << "taken as typed";
    EXPECT_EQ(values.JPEGSubsampling, 0);
    EXPECT_FALSE(values.PNGTransparent);
    EXPECT_TRUE(values.ExifCopy);

    const std::pair<const char*, QWidget*> pages[] = {{"PNG", form->TabSheet2},
                                                      {"GIF", form->TabSheet3},
                                                      {"Targa", form->TabSheet5},
                                                      {"Bitmap", nullptr},
                                                      {"Delphi resource (DCR)", form->TabSheet4}};
    for (const auto& [name, page] : pages) {
        form->ShowPagesFor(QString::fromLatin1(name));
        for (int i = 0; i < form->PageControl1->count(); ++i)
            EXPECT_EQ(form->PageControl1->isTabVisible(i), form->PageControl1->widget(i) == page) << name << " " << i;
    }
}

TEST_F(SaveDialogsTest, OptionFormTextsFromTheFileOrBuiltInJapanese) {
    const TSaveDialogOptions values;
    // A Japanese system whose language file does not declare the texts its
    // own: the built-in Japanese captions and fonts, English chosen or not.
    SetDefaultLocaleIdOverride(1041);
    testing_support::WriteFileText(program_.Lang() / "English.ini",
                                   "[FormSaveOption]\r\nFormSaveOption.ButtonCancel.Caption=Abort\r\n");
    auto form = PrepareSaveOptionForm(values, "JPEG", nullptr);
    EXPECT_EQ(form->windowTitle().toStdString(), "保存オプション");
    EXPECT_EQ(form->ButtonCancel->text().toStdString(), "キャンセル");
    EXPECT_EQ(form->RBSubsampling420->text().toStdString(), "4:2:0（推奨）");
    EXPECT_EQ(form->RBSubsampling444->text().toStdString(), "4:4:4");
    EXPECT_EQ(form->PageControl1->tabText(3).toStdString(), "Targa");
    EXPECT_EQ(form->CBJPEGProgressive->font().family(), QStringLiteral("メイリオ"));
    EXPECT_EQ(form->CBJPEGProgressive->font().pixelSize(), 11);

    // The shipped file declares them: its texts, in the language's font.
    fs::remove(program_.Lang() / "English.ini");
    InstallShipped("English.ini");
    form = PrepareSaveOptionForm(values, "JPEG", nullptr);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Save options"));
    EXPECT_EQ(form->ButtonCancel->text(), QStringLiteral("Cancel"));
    EXPECT_EQ(form->RBSubsampling420->text(), QStringLiteral("4:2:0 (default)"));
    EXPECT_EQ(form->CBJPEGProgressive->font().family(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(LanguageFile, nullptr);

    // Japanese chosen on an English system reads Japanese.ini.
    SetDefaultLocaleIdOverride(1033);
    InstallShipped("Japanese.ini");
    LanguageNumber = 2;
    form = PrepareSaveOptionForm(values, "GIF", nullptr);
    EXPECT_EQ(form->CBGIFTransparent->text().toStdString(), "透過GIF （左下の色を透過）");
    EXPECT_EQ(form->PageControl1->currentWidget(), form->TabSheet3);
}

// Last: the translator stays installed for the rest of the program.
TEST_F(SaveDialogsTest, DialogsOwnTextsFollowTheSystemLanguage) {
    const QString english = QStringLiteral("File &name:");
    InstallPlatformTranslations();
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "File &name:"), english);
    SetDefaultLocaleIdOverride(1041);
    InstallPlatformTranslations();
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "File &name:").toStdString(), "ファイル名(&N):");
}

}  // namespace
