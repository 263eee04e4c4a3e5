// The sample page commands of the main window.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTimer>
#include <filesystem>

#include "app/CommandGuard.h"
#include "app/ImageControl.h"
#include "app/NumEdit.h"
#include "app/StartUp.h"
#include "app/Unit1.h"
#include "app/dlgPrefix.h"
#include "app/dlgSampleOutputFormat.h"
#include "platform/SystemInfo.h"
#include "support/TestFolders.h"
#include "support/TestPictures.h"

namespace {

using testing_support::PixelBytes;
using testing_support::RandomBitmap;
namespace fs = std::filesystem;

class SamplePageWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("VORLIX_NO_BROWSER", "1", 1);
        fs::create_directories(folder_ / "prog");
        SetProgramPathOverride((folder_ / "prog" / "vorlix").string());
        SetDefaultLocaleIdOverride(1033);
        SetErrorPresenter([this](QWidget*, const QString& message) { errors_.push_back(message.toStdString()); });
        InitializeProgramUnits();
        TForm1Options options;
        options.ProgramPath = (folder_ / "prog" / "vorlix").string();
        options.SettingsFile = (folder_ / "vorlix.ini").string();
        form_ = std::make_unique<TForm1>(options);
    }
    void TearDown() override {
        form_.reset();
        SetErrorPresenter({});
        SetDefaultLocaleIdOverride(std::nullopt);
        SetProgramPathOverride(std::nullopt);
    }
    // Runs command while the modal dialog it opens is handled by answer.
    template <class Dialog>
    void WithDialog(QAction* command, const std::function<void(Dialog&)>& answer) {
        QTimer::singleShot(0, [&] {
            auto* dialog = dynamic_cast<Dialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            answer(*dialog);
        });
        command->trigger();
    }

    testing_support::TempFolder temp_{"vorlix_sample_gui"};
    const fs::path& folder_ = temp_.Path();
    std::unique_ptr<TForm1> form_;
    std::vector<std::string> errors_;
};

TEST_F(SamplePageWindowTest, BuildsFromTheOpenedPictureAndLeavesItAsTheWorkingPicture) {
    form_->FMBuildHTMLSample->trigger();
    EXPECT_FALSE(fs::exists(folder_ / "prog" / "sample.html")) << "no picture open: nothing written";

    const TBitmap picture = RandomBitmap(40, 20, 9);
    const std::string path = (folder_ / "p.bmp").string();
    picture.SaveToFile(path);
    form_->OpenPicture(path, false);
    form_->EditRatio->setText("50");
    form_->FMLanczos3->trigger();  // the page starts from the picture as opened, not from this
    const TBitmap shown = form_->Image1->Picture();
    form_->FMCol3->trigger();
    EXPECT_EQ(form_->SampleColumns, 3);
    EXPECT_TRUE(form_->FMCol3->isChecked());
    EXPECT_FALSE(form_->FMCol2->isChecked());
    form_->FMBuildHTMLSample2->trigger();
    ASSERT_TRUE(errors_.empty()) << errors_.front();

    const std::string page = testing_support::ReadFileText(folder_ / "prog" / "sample.html");
    EXPECT_EQ(std::count(page.begin(), page.end(), '\n'), 9 + 13 * 4 + 4 * 3 + 9 + 5) << page;
    EXPECT_TRUE(fs::is_regular_file(folder_ / "prog" / "samples" / "flt_nearestneighbor.png"));
    EXPECT_EQ(PixelBytes(form_->WorkBitmap), PixelBytes(form_->LoadedBitmap));
    EXPECT_EQ(PixelBytes(form_->Image1->Picture()), PixelBytes(shown)) << "the image control is not refreshed";
    EXPECT_EQ(form_->ScratchBitmap.Width(), 40);
    EXPECT_TRUE(form_->StatusText(0).endsWith("[ms]"));
    EXPECT_TRUE(form_->StatusText(1).toStdString().find("sample.html") != std::string::npos);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "the busy cursor goes with the build";
}

TEST_F(SamplePageWindowTest, OutputOptionsKeepQualityWithinRangeAndCancelChangesNothing) {
    const struct {
        const char* typed;
        bool ok;
        int quality;
        uint8_t format;
    } cases[] = {{"150", true, 100, SampleFormatJPEG444}, {"-5", true, 0, SampleFormatJPEG444},
                 {"42", false, 0, SampleFormatJPEG444}, {"77", true, 77, SampleFormatJPEG420}};
    for (const auto& c : cases) {
        const uint8_t format = c.format;
        WithDialog<TFormSampleOutputFormat>(form_->FMCustomizeOutput, [&](TFormSampleOutputFormat& d) {
            d.EditJPEGQuality->setText(c.typed);
            (format == SampleFormatJPEG444 ? d.RBJPEG444 : d.RBJPEG420)->setChecked(true);
            (c.ok ? d.ButtonOK->click() : d.reject());
        });
        EXPECT_EQ(form_->SampleJPEGQuality, c.quality) << c.typed;
        EXPECT_EQ(form_->SampleFormat, c.ok ? c.format : SampleFormatJPEG444) << c.typed;
    }
    WithDialog<TFormSampleOutputFormat>(form_->FMCustomizeOutput, [&](TFormSampleOutputFormat& d) {
        EXPECT_EQ(d.EditJPEGQuality->text(), "77");
        EXPECT_TRUE(d.RBJPEG420->isChecked());
        d.EditJPEGQuality->setText("");
        d.ButtonOK->click();
    });
    EXPECT_EQ(errors_.size(), 1u) << "an empty quality reaches the error handler";
    EXPECT_EQ(form_->SampleJPEGQuality, 77);
}

TEST_F(SamplePageWindowTest, NamingRuleIsCopiedOnOkOnly) {
    WithDialog<TFormPrefix>(form_->FMFileNameRule, [](TFormPrefix& d) {
        d.CBPrefix->setChecked(true);
        d.EditPrefix->setText("a_");
        d.EditSuffix->setText("_b");
        d.ButtonOK->click();
    });
    EXPECT_TRUE(form_->UsePrefix);
    EXPECT_FALSE(form_->UseSuffix);
    EXPECT_EQ(form_->Prefix, "a_");
    EXPECT_EQ(form_->Suffix, "_b");
    WithDialog<TFormPrefix>(form_->FMFileNameRule, [](TFormPrefix& d) {
        EXPECT_TRUE(d.CBPrefix->isChecked());
        EXPECT_EQ(d.EditSuffix->text(), "_b");
        d.CBPrefix->setChecked(false);
        d.ButtonCancel->click();
    });
    EXPECT_TRUE(form_->UsePrefix);
}

}  // namespace
