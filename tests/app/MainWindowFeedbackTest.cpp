// What the main window tells the user around its commands: sizes it
// refuses, the file an error or a warning concerns, where the open dialog
// starts, Qt's own texts in the interface language, and the state shown
// while a long command runs.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QLabel>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "app/CommandGuard.h"
#include "app/ImageControl.h"
#include "app/NumEdit.h"
#include "app/OpenPictureDialog.h"
#include "app/StartUp.h"
#include "app/Unit1.h"
#include "lang/IniLangEx.h"
#include "platform/Exceptions.h"
#include "platform/SystemInfo.h"
#include "support/TestFolders.h"
#include "support/TestPictures.h"

namespace fs = std::filesystem;

namespace {

using testing_support::PixelBytes;
using testing_support::RandomBitmap;

const fs::path kShipped = VORLIX_LANGUAGE_SOURCE_DIR;

std::string Utf8(const QString& text) { return text.toStdString(); }

bool SamePicture(const TBitmap& a, const TBitmap& b) {
    return a.Width() == b.Width() && a.Height() == b.Height() && PixelBytes(a) == PixelBytes(b);
}

// A reader that decodes a bitmap file whole and still has something to say.
std::string gWarning;
class TWarningTestGraphic : public TBitmap {
    VORLIX_GRAPHIC_CLASS();

public:
    std::string LoadWarning() const override { return gWarning; }
};
VORLIX_DEFINE_GRAPHIC_CLASS(TWarningTestGraphic, TBitmap)

class MainWindowFeedbackTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"English.ini", "Japanese.ini"}) fs::copy_file(kShipped / name, program_.Lang() / name);
        SetDefaultLocaleIdOverride(1033);
        SetErrorPresenter([this](QWidget*, const QString& message) { errors_.push_back(Utf8(message)); });
        SetWarningPresenter([this](QWidget*, const QString& message) {
            warnings_.push_back(Utf8(message));
            shownWhenWarned_ = form_ ? form_->Image1->Picture() : TBitmap();
        });
        InitializeProgramUnits();
    }
    void TearDown() override {
        form_.reset();
        SetErrorPresenter({});
        SetWarningPresenter({});
    }

    TForm1& MakeForm(std::vector<std::string> arguments = {}) {
        TForm1Options options;
        options.ProgramPath = (program_.Root() / "vorlix").string();
        options.Arguments = std::move(arguments);
        options.SettingsFile = (program_.Root() / "vorlix.ini").string();
        form_ = std::make_unique<TForm1>(options);
        return *form_;
    }
    std::string Picture(const fs::path& relative, const TBitmap& bitmap) {
        const fs::path path = program_.Root() / relative;
        fs::create_directories(path.parent_path());
        bitmap.SaveToFile(path.string());
        return path.string();
    }
    static void Type(TNumEdit* edit, const char* text) { edit->setText(QString::fromUtf8(text)); }
    // The folder the open dialog shows when the Open command runs it.
    static std::string OpenDialogFolder(TForm1& form) {
        std::string folder;
        QTimer::singleShot(0, form.OpenPictureDialog1, [&] {
            folder = Utf8(form.OpenPictureDialog1->directory().absolutePath());
            form.OpenPictureDialog1->reject();
        });
        form.FMOpen->trigger();
        return folder;
    }

    testing_support::ProgramFolder program_{"vorlix_feedback"};
    std::unique_ptr<TForm1> form_;
    std::vector<std::string> errors_;
    std::vector<std::string> warnings_;
    TBitmap shownWhenWarned_;
};

TEST_F(MainWindowFeedbackTest, SizeBelowOnePixelIsRefusedByEveryCommandNamingTheEdit) {
    TForm1& form = MakeForm();
    const TBitmap picture = RandomBitmap(640, 100, 5);
    form.OpenPicture(Picture("wide.bmp", picture), false);
    QAction* const commands[] = {form.FMLanczos4, form.FMLanczos3,    form.FMLanczos2,        form.FMMitchell,
                                 form.FMLagrange, form.FMHermite,     form.FMBell,            form.FMBSpline,
                                 form.FMGauss,    form.FMBicubic,     form.FMBilinear,        form.FMAveragePixel,
                                 form.FMNearestNeighbor, form.FMTest1, form.FMTest2,          form.FMLiftingBilinear,
                                 form.FMBilinearV2};
    const struct {
        const char* what;
        TNumEdit* TForm1::*edit;
        const char* typed;
        const char* message;
    } cases[] = {
        {"width 1 couples the height to 0", &TForm1::EditWidth, "1", "The height must be at least 1 pixel."},
        {"width 0 typed", &TForm1::EditWidth, "0", "The width must be at least 1 pixel."},
        {"height 0 typed", &TForm1::EditHeight, "0", "The height must be at least 1 pixel."},
    };
    for (const auto& c : cases) {
        form.FMReOpen->trigger();
        Type(form.EditWidth, "640");
        Type(form.*c.edit, c.typed);
        for (QAction* command : commands) {
            errors_.clear();
            command->trigger();
            const std::string name = Utf8(command->objectName());
            ASSERT_EQ(errors_.size(), 1u) << c.what << ", " << name;
            EXPECT_EQ(errors_[0], c.message) << c.what << ", " << name;
            EXPECT_TRUE(SamePicture(form.WorkBitmap, picture)) << c.what << ", " << name;
            EXPECT_TRUE(form.StatusText(0).isEmpty()) << c.what << ", " << name;
        }
    }
    EXPECT_EQ(Utf8(form.EditHeight->text()), "0");

    form.FMJapanese->trigger();
    Type(form.EditWidth, "1");
    errors_.clear();
    form.FMLanczos3->trigger();
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_EQ(errors_[0], "高さは 1 ピクセル以上にしてください。");
    Type(form.EditWidth, "0");
    form.FMLanczos3->trigger();
    ASSERT_EQ(errors_.size(), 2u);
    EXPECT_EQ(errors_[1], "幅は 1 ピクセル以上にしてください。");
    EXPECT_TRUE(SamePicture(form.WorkBitmap, picture));
}

TEST_F(MainWindowFeedbackTest, ErrorAboutAFileNamesItOnALineOfItsOwn) {
    const std::string bad = (program_.Root() / "broken.bmp").string();
    std::ofstream(bad, std::ios::binary) << "not a bitmap";
    TForm1& form = MakeForm({bad});
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_EQ(errors_[0], "Bitmap image is not valid\n" + bad);
    // Called directly, the reader's own exception still leaves the command.
    EXPECT_THROW(form.OpenPicture(bad, false), EInvalidGraphic);

    // A message that names the file already gets no second copy; an error
    // not about a file gets none at all.
    RunCommand(&form, [] { AboutFile("/no/such.bmp", [] { throw EFOpenError("Cannot open file \"/no/such.bmp\"."); }); });
    RunCommand(&form, [] {
        try {
            AboutFile("/a.bmp", [] { throw EReadError("Stream read error"); });
        } catch (const EReadError&) {
        }
        throw EConvertError("later");
    });
    ASSERT_EQ(errors_.size(), 3u);
    EXPECT_EQ(errors_[1], "Cannot open file \"/no/such.bmp\".");
    EXPECT_EQ(errors_[2], "later");
}

TEST_F(MainWindowFeedbackTest, OpenDialogStartsInTheFolderOfTheLastPicture) {
    TForm1& form = MakeForm();
    ASSERT_NE(fs::current_path(), program_.Root() / "first");
    form.OpenPicture(Picture("first/a.bmp", RandomBitmap(4, 4, 1)), false);
    EXPECT_EQ(OpenDialogFolder(form), (program_.Root() / "first").string());
    // Also when the picture came another way (dropped, command line) and
    // did not decode: it is the one a Reload would try.
    const std::string bad = (program_.Root() / "second" / "b.bmp").string();
    fs::create_directories(program_.Root() / "second");
    std::ofstream(bad, std::ios::binary) << "x";
    RunCommand(&form, [&] { form.FilesDropped({bad}); });
    EXPECT_EQ(OpenDialogFolder(form), (program_.Root() / "second").string());
}

TEST_F(MainWindowFeedbackTest, QtOwnDialogTextsFollowTheInterfaceLanguage) {
    TForm1& form = MakeForm();
    const auto label = [&](const char* name) {
        QApplication::processEvents();  // windows retranslate on a posted event
        const auto* found = form.OpenPictureDialog1->findChild<QLabel*>(QString::fromLatin1(name));
        return found ? Utf8(found->text()) : std::string("<no label>");
    };
    EXPECT_EQ(label("lookInLabel"), "Look in:");
    EXPECT_EQ(label("fileNameLabel"), "File &name:");
    form.FMJapanese->trigger();
    EXPECT_EQ(label("lookInLabel"), "アドレス:");
    EXPECT_EQ(label("fileNameLabel"), "ファイル名(&N):");
    form.FMEnglish->trigger();
    EXPECT_EQ(label("lookInLabel"), "Look in:");
    EXPECT_TRUE(errors_.empty());
}

TEST_F(MainWindowFeedbackTest, LongCommandShowsItsAlgorithmAndTheBusyCursorBeforeTheWork) {
    TForm1& form = MakeForm();
    const TBitmap picture = RandomBitmap(40, 30, 8);
    form.OpenPicture(Picture("long.bmp", picture), false);
    Type(form.EditRatio, "50");
    struct TSeen {
        std::string status;
        bool busy = false;
        int width = 0;
    };
    // What the window shows once the command has started, before its work.
    const auto run = [&](QAction* command) {
        TSeen seen;
        QTimer::singleShot(0, &form, [&] {
            seen.status = Utf8(form.StatusText(0));
            seen.busy = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
            seen.width = form.WorkBitmap.Width();
        });
        command->trigger();
        return seen;
    };
    const struct {
        bool japanese;
        QAction* TForm1::*command;
        const char* status;
    } cases[] = {
        {false, &TForm1::FMLanczos3, "Running Lanczos3..."},
        {false, &TForm1::FMAveragePixel, "Running Average pixel..."},
        {false, &TForm1::FMLiftingBilinear, "Running Lifting bilinear..."},
        {true, &TForm1::FMBicubic, "Bicubic を実行中..."},
        {true, &TForm1::FMAveragePixel, "平均画素法 を実行中..."},
    };
    for (const auto& c : cases) {
        (c.japanese ? form.FMJapanese : form.FMEnglish)->trigger();
        form.FMReOpen->trigger();
        const TSeen seen = run(form.*c.command);
        EXPECT_EQ(seen.status, c.status);
        EXPECT_TRUE(seen.busy) << c.status;
        EXPECT_EQ(seen.width, 40) << "the work had not started: " << c.status;
        EXPECT_EQ(form.WorkBitmap.Width(), 20) << c.status;
        EXPECT_TRUE(form.StatusText(0).endsWith(QStringLiteral("[ms]"))) << c.status;
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << c.status;
    }

    // A command that fails puts the status back as it was.
    const QString before = form.StatusText(0);
    {
        const QSignalBlocker a(form.EditWidth), b(form.EditHeight);
        Type(form.EditWidth, "200000");
        Type(form.EditHeight, "200000");
    }
    EXPECT_EQ(run(form.FMLanczos3).status, "Lanczos3 を実行中...");
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_EQ(form.StatusText(0), before);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(MainWindowFeedbackTest, PictureThatLoadsWithAWarningIsShownAndTheWarningNamesTheFile) {
    struct TRegistered {
        TRegistered() { TPicture::RegisterFileFormat("wrn", "warning test", TWarningTestGraphic::StaticClass()); }
        ~TRegistered() {
            TPicture::UnregisterGraphicClass(TWarningTestGraphic::StaticClass());
            gWarning.clear();
        }
    } registered;
    TForm1& form = MakeForm();
    const TBitmap picture = RandomBitmap(12, 9, 3);
    const std::string path = Picture("cut.wrn", picture);
    const struct {
        bool japanese;
        const char* warning;
        std::string expected;
    } cases[] = {
        {false, "ends early; the rest of the picture is missing",
         "The file ends early; the rest of the picture is missing.\n" + path},
        {false, "odd trailer", "The picture was opened with a warning: odd trailer\n" + path},
        {true, "ends early; the rest of the picture is missing",
         "ファイルが途中で終わっています。画像の残りの部分はありません。\n" + path},
    };
    for (const auto& c : cases) {
        (c.japanese ? form.FMJapanese : form.FMEnglish)->trigger();
        form.FMSampleLoad->trigger();  // something else on show
        warnings_.clear();
        gWarning = c.warning;
        form.OpenPicture(path, false);
        ASSERT_EQ(warnings_.size(), 1u) << c.warning;
        EXPECT_EQ(warnings_[0], c.expected);
        EXPECT_TRUE(SamePicture(shownWhenWarned_, picture)) << "the picture is on show behind the warning";
        EXPECT_TRUE(SamePicture(form.LoadedBitmap, picture));
        EXPECT_EQ(Utf8(form.EditWidth->text()), "12");
    }
    gWarning.clear();
    warnings_.clear();
    form.FMReOpen->trigger();
    EXPECT_TRUE(warnings_.empty()) << "a whole picture opens without a word";
    EXPECT_TRUE(errors_.empty());
}

}  // namespace
