// The main window's save command, with a scripted save dialog in place of
// the platform's and the warning boxes answered by the test.

#include <gtest/gtest.h>

#include <QApplication>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>

#include "app/CommandGuard.h"
#include "app/NumEdit.h"
#include "app/SaveFlowMessages.h"
#include "app/StartUp.h"
#include "app/Unit1.h"
#include "formats/GLDPNGImage.h"
#include "platform/Palettes.h"
#include "platform/Streams.h"
#include "platform/SystemInfo.h"
#include "resample/ResampleEx.h"
#include "support/TestFolders.h"
#include "support/TestPictures.h"

namespace fs = std::filesystem;
using testing_support::PixelBytes;
using testing_support::RandomBitmap;

namespace {

// What the user does in the dialog, and what the component handed to it.
struct TDialogScript {
    bool Confirm = true;
    std::string ChosenPath;
    TFileType4Save ChosenType = sftUNKNOWN;
    std::function<void(TSaveDialogPassport&)> Edit;  // option changes before confirming

    int Runs = 0;
    std::string HandedName;
    int32_t HandedQuality = -1;
    bool HandedExifCopyEnabled = true;
    bool HandedThumbUpdateEnabled = true;
};

class TScriptedDialog : public TSaveDialogBackend {
public:
    explicit TScriptedDialog(TDialogScript& script) : script_(script) {}
    bool Execute(TSaveDialogPassport& component) override {
        ++script_.Runs;
        script_.HandedName = component.FileName;
        script_.HandedQuality = component.JPEGQuality;
        script_.HandedExifCopyEnabled = component.ExifCopyEnabled;
        script_.HandedThumbUpdateEnabled = component.ExifThumbUpdateEnabled;
        if (!script_.Confirm) return false;
        if (script_.Edit) script_.Edit(component);
        component.FileName = script_.ChosenPath;
        return true;
    }
    TFileType4Save SelectedFileType() const override { return script_.ChosenType; }

private:
    TDialogScript& script_;
};

struct TWarning {
    std::string Caption, Text;
    bool WithCancel;
};

std::string FileBytes(const fs::path& path) {
    const std::vector<uint8_t> b = testing_support::ReadFileBytes(path.string());
    return std::string(b.begin(), b.end());
}

class SaveFlowTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(folder_ / "prog");
        SetProgramPathOverride((folder_ / "prog" / "vorlix").string());
        SetDefaultLocaleIdOverride(1033);
        SetErrorPresenter([this](QWidget*, const QString& message) { errors_.push_back(message.toStdString()); });
        SetWarningPresenter([this](QWidget*, const QString& caption, const QString& text, bool withCancel) {
            warnings_.push_back({caption.toStdString(), text.toStdString(), withCancel});
            return answerOk_;
        });
        SetSaveDialogBackendFactory([this](bool) { return std::make_unique<TScriptedDialog>(script_); });
        InitializeProgramUnits();
    }
    void TearDown() override {
        SetSaveDialogBackendFactory({});
        SetWarningPresenter({});
        SetErrorPresenter({});
        SetDefaultLocaleIdOverride(std::nullopt);
        SetProgramPathOverride(std::nullopt);
    }

    std::unique_ptr<TForm1> MakeForm() {
        TForm1Options options;
        options.ProgramPath = (folder_ / "prog" / "vorlix").string();
        options.SettingsFile = (folder_ / "vorlix.ini").string();
        return std::make_unique<TForm1>(options);
    }
    std::unique_ptr<TForm1> FormWith(const std::string& name, const TBitmap& picture) {
        picture.SaveToFile((folder_ / name).string());
        auto form = MakeForm();
        form->OpenPicture((folder_ / name).string(), false);
        return form;
    }
    void Choose(TFileType4Save type, const std::string& name) {
        script_.ChosenType = type;
        script_.ChosenPath = (folder_ / name).string();
    }

    testing_support::TempFolder temp_{"vorlix_save_flow"};
    const fs::path& folder_ = temp_.Path();
    TDialogScript script_;
    bool answerOk_ = true;
    std::vector<TWarning> warnings_;
    std::vector<std::string> errors_;
};

}  // namespace

TEST_F(SaveFlowTest, DialogGetsTheSuggestedNameAndOptionsAndTheChosenTypeDecidesTheBytes) {
    const TBitmap picture = RandomBitmap(10, 6, 3);
    const auto form = FormWith("photo.bmp", picture);
    ASSERT_TRUE(form->FMSaveAs->isEnabled());
    form->SaveOptionValues.JPEGQuality = 77;
    Choose(sftPNG, "out.jpg");
    form->FMSaveAs->trigger();

    EXPECT_EQ(script_.Runs, 1);
    EXPECT_EQ(script_.HandedName, "photo");
    EXPECT_EQ(script_.HandedQuality, 77);
    // A bitmap file has no Exif block to copy.
    EXPECT_FALSE(script_.HandedExifCopyEnabled);
    EXPECT_FALSE(script_.HandedThumbUpdateEnabled);
    EXPECT_EQ(FileBytes(folder_ / "out.jpg").substr(0, 4), "\x89PNG");
    EXPECT_EQ(PixelBytes(form->WorkBitmap), PixelBytes(picture));
    EXPECT_TRUE(warnings_.empty());
    EXPECT_TRUE(errors_.empty());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(SaveFlowTest, CancelledDialogWritesNothingAndKeepsTheOptions) {
    const auto form = FormWith("a.bmp", RandomBitmap(4, 4, 1));
    const TSaveOptionValues before = form->SaveOptionValues;
    script_.Confirm = false;
    script_.Edit = [](TSaveDialogPassport& d) { d.JPEGQuality = 5; };
    Choose(sftJPG, "never.jpg");
    form->FMSaveAsClick();
    EXPECT_EQ(form->SaveOptionValues, before);
    EXPECT_FALSE(fs::exists(folder_ / "never.jpg"));
    EXPECT_TRUE(warnings_.empty());
}

TEST_F(SaveFlowTest, ReplaceQuestionCancelKeepsTheFileAndTheNewOptionsOkResetsReadOnly) {
    auto form = FormWith("a.bmp", RandomBitmap(8, 8, 2));
    const fs::path target = folder_ / "old.jpg";
    testing_support::WriteFileText(target, "precious");
    fs::permissions(target, fs::perms::owner_read | fs::perms::group_read);
    script_.Edit = [](TSaveDialogPassport& d) { d.JPEGQuality = 42; };
    Choose(sftJPG, "old.jpg");

    answerOk_ = false;
    form->FMSaveAs->trigger();
    ASSERT_EQ(warnings_.size(), 1u);
    EXPECT_EQ(warnings_[0].Caption, "Confirm File Replace");
    EXPECT_EQ(warnings_[0].Text, "A file already exist, would you like to replace the existing file ?");
    EXPECT_TRUE(warnings_[0].WithCancel);
    EXPECT_EQ(testing_support::ReadFileText(target), "precious");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::owner_write, fs::perms::none);
    EXPECT_EQ(form->SaveOptionValues.JPEGQuality, 42);

    answerOk_ = true;
    form->FMSaveAs->trigger();
    EXPECT_EQ(warnings_.size(), 2u);
    EXPECT_EQ(FileBytes(target).substr(0, 2), "\xFF\xD8");
    EXPECT_NE(fs::status(target).permissions() & fs::perms::owner_write, fs::perms::none);
    EXPECT_TRUE(errors_.empty());

    form->FMExit->trigger();
    EXPECT_NE(testing_support::ReadFileText(folder_ / "vorlix.ini").find("\nQuality=42\n"), std::string::npos);
}

TEST_F(SaveFlowTest, AlphaPlaneIsResampledByTheLastAlgorithmUnlessAPaletteIsAsked) {
    TBitmap picture = RandomBitmap(40, 30, 4), alpha(40, 30, pf8bit);
    alpha.SetPalette(GreyRampPalette());
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) alpha.ScanLine(y)[x] = static_cast<uint8_t>((x * 6 + y * 3) % 256);
    {
        TFileStream out((folder_ / "in.png").string(), fmCreate);
        WritePNG(picture, out, {}, &alpha);
    }
    const auto form = MakeForm();
    form->OpenPicture((folder_ / "in.png").string(), false);
    ASSERT_TRUE(form->HasAlpha);
    form->EditWidth->setText(QStringLiteral("20"));
    form->FMMitchell->trigger();
    ASSERT_EQ(form->WorkBitmap.Width(), 20);
    ASSERT_EQ(form->WorkBitmap.Height(), 15);

    Choose(sftPNG, "alpha.png");
    form->FMSaveAs->trigger();
    TBitmap expected = form->AlphaBitmap;
    KernelResample(expected, 20, 15, MitchellSetup);
    TGLDPNG written;
    written.LoadFromFile((folder_ / "alpha.png").string());
    ASSERT_TRUE(written.HasAlpha());
    ASSERT_EQ(written.AlphaBitmap().Width(), 20);
    for (int y = 0; y < 15; ++y)
        for (int x = 0; x < 20; ++x) ASSERT_EQ(written.AlphaBitmap().PixelIndex(x, y), expected.ScanLine(y)[3 * x]);
    EXPECT_EQ(form->AlphaScratch.PixelFormat(), pf8bit);

    script_.Edit = [](TSaveDialogPassport& d) { d.PNGReduceTo256Color = true; };
    Choose(sftPNG, "reduced.png");
    form->FMSaveAs->trigger();
    TGLDPNG reduced;
    reduced.LoadFromFile((folder_ / "reduced.png").string());
    EXPECT_FALSE(reduced.HasAlpha());
    EXPECT_EQ(reduced.Bitmap().PixelFormat(), pf8bit);
    EXPECT_TRUE(errors_.empty());
}

TEST_F(SaveFlowTest, FailuresGiveOneMessageAndKeepTheTarget) {
    const auto form = FormWith("a.bmp", RandomBitmap(6, 6, 5));
    // A flagged writer's failure, and a type without a writer: the box.
    for (auto [type, name] : {std::pair{sftGIF, "missing/x.gif"}, std::pair{sftUNKNOWN, "x.bin"}}) {
        warnings_.clear();
        Choose(type, name);
        form->FMSaveAs->trigger();
        ASSERT_EQ(warnings_.size(), 1u) << name;
        EXPECT_EQ(warnings_[0].Caption, "Convert error");
        EXPECT_EQ(warnings_[0].Text, "UNKOWN file format");
        EXPECT_FALSE(warnings_[0].WithCancel);
        EXPECT_FALSE(fs::exists(folder_ / name));
    }
    EXPECT_TRUE(errors_.empty());

    // The bitmap writer raises: the default error report, not the box.
    warnings_.clear();
    Choose(sftBMP, "missing/x.bmp");
    form->FMSaveAs->trigger();
    EXPECT_TRUE(warnings_.empty());
    EXPECT_EQ(errors_.size(), 1u);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The file-size limit makes every write fail part-way, even for a
// privileged user, as a full disk does.
TEST_F(SaveFlowTest, SaveThatFailsPartWayKeepsTheReplacedFileAndShowsOneMessage) {
    const auto form = FormWith("a.bmp", RandomBitmap(300, 300, 6));
    struct sigaction ignore {}, previous {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &previous);
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    for (auto [type, name, box] : {std::tuple{sftPNG, "old.png", true}, std::tuple{sftBMP, "old.bmp", false}}) {
        SCOPED_TRACE(name);
        testing_support::WriteFileText(folder_ / name, "precious");
        warnings_.clear();
        errors_.clear();
        Choose(type, name);
        rlimit limit = saved;
        limit.rlim_cur = 4096;
        setrlimit(RLIMIT_FSIZE, &limit);
        form->FMSaveAs->trigger();
        setrlimit(RLIMIT_FSIZE, &saved);
        // The replace question, then exactly one report of the failure.
        ASSERT_EQ(warnings_.size(), box ? 2u : 1u);
        EXPECT_EQ(warnings_[0].Caption, "Confirm File Replace");
        if (box) {
            EXPECT_EQ(warnings_[1].Caption, "Convert error");
        }
        EXPECT_EQ(errors_.size(), box ? 0u : 1u);
        EXPECT_EQ(testing_support::ReadFileText(folder_ / name), "precious");
    }
    sigaction(SIGXFSZ, &previous, nullptr);
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder_)) ++entries;
    EXPECT_EQ(entries, 4u);  // a.bmp, old.png, old.bmp and the program folder: no temporary file
}
