#include <gtest/gtest.h>
#include <unistd.h>

#include <QActionGroup>
#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/CommandGuard.h"
#include "app/EvtScroll.h"
#include "app/ImageControl.h"
#include "app/NumEdit.h"
#include "app/OpenPictureDialog.h"
#include "app/TestCard.h"
#include "app/Unit1.h"
#include "app/StartUp.h"
#include "formats/GLDPNGImage.h"
#include "images/Effector/CustomFilter.h"
#include "images/Effector/DCTUtils.h"
#include "lang/IniLangEx.h"
#include "platform/Exceptions.h"
#include "platform/IniService.h"
#include "platform/SystemInfo.h"
#include "resample/ResampleEx.h"
#include "support/TestPictures.h"
#include "support/TestFolders.h"

namespace {

using testing_support::PixelBytes;
using testing_support::RandomBitmap;

// "N[ms]" with a decimal N.
bool IsTimingText(const QString& text) {
    if (!text.endsWith(QStringLiteral("[ms]")) || text.size() < 5) return false;
    for (qsizetype i = 0; i + 4 < text.size(); ++i)
        if (!text[i].isDigit()) return false;
    return true;
}

bool SamePicture(const TBitmap& a, const TBitmap& b) {
    return a.Width() == b.Width() && a.Height() == b.Height() && a.PixelFormat() == b.PixelFormat() &&
           PixelBytes(a) == PixelBytes(b);
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(folder_ / "prog");
        settings_ = (folder_ / "vorlix.ini").string();
        // A program folder without language files: the built-in texts stay.
        SetProgramPathOverride((folder_ / "prog" / "vorlix").string());
        SetDefaultLocaleIdOverride(1033);
        SetErrorPresenter([this](QWidget*, const QString& message) { errors_.push_back(message.toStdString()); });
        InitializeProgramUnits();
    }
    void TearDown() override {
        SetErrorPresenter({});
        SetDefaultLocaleIdOverride(std::nullopt);
        SetProgramPathOverride(std::nullopt);
    }

    std::string Picture(const std::string& name, const TBitmap& bitmap) {
        const std::string path = (folder_ / name).string();
        bitmap.SaveToFile(path);
        return path;
    }
    std::unique_ptr<TForm1> MakeForm(std::vector<std::string> arguments = {}) {
        TForm1Options options;
        options.ProgramPath = (folder_ / "prog" / "vorlix").string();
        options.Arguments = std::move(arguments);
        options.SettingsFile = settings_;
        return std::make_unique<TForm1>(options);
    }
    static void Type(TNumEdit* edit, const char* text) { edit->setText(QString::fromUtf8(text)); }
    static std::vector<std::string> Edits(const TForm1& form) {
        return {form.EditWidth->text().toStdString(), form.EditHeight->text().toStdString(),
                form.EditRatio->text().toStdString()};
    }
    std::string ReadSettingsText() const { return testing_support::ReadFileText(settings_); }

    testing_support::TempFolder temp_{"vorlix_gui"};
    const std::filesystem::path& folder_ = temp_.Path();
    std::string settings_;
    std::vector<std::string> errors_;
};

TEST_F(MainWindowTest, StartsWithTheDesignedComponentsCaptionsAndStates) {
    const auto form = MakeForm();
    EXPECT_EQ(form->objectName(), QStringLiteral("Form1"));
    EXPECT_TRUE(form->windowTitle().startsWith(QStringLiteral("Vorlix ")));

    // Every component is named, once, in creation order.
    std::vector<std::string> names;
    for (QObject* component : form->Components()) names.push_back(component->objectName().toStdString());
    const std::vector<std::string> leading = {"PanelTop", "LOutput", "LWidth", "EditWidth", "LHeight", "EditHeight",
                                              "LScale", "EditRatio", "Label5", "ScrollBox1", "Image1", "StatusBar1",
                                              "OpenPictureDialog1", "MainMenu1", "FMFile", "FMOpen"};
    ASSERT_GE(names.size(), leading.size());
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + static_cast<long>(leading.size())), leading);
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
    EXPECT_EQ(names.back(), "FMMedianFilter");
    EXPECT_EQ(names.size(), 57u);

    const struct {
        QAction* action;
        const char* caption;
    } captions[] = {{form->FMOpen, "開く(&O)..."},
                    {form->FMReOpen, "リロード"},
                    {form->FMSaveAs, "指定形式で保存(&A)..."},
                    {form->FMEnglish, "英語"},
                    {form->FMExit, "終了(&X)"},
                    {form->FMBicubic, "Bi&cubic （双３次補間）"},
                    {form->FMAveragePixel, "平均画素法(&A)"},
                    {form->FMNearestNeighbor, "&Nearest Neighbor （最近傍法）"},
                    {form->FMTestEdgeMask, "Test エッジマスク"},
                    {form->FMBuildHTMLSample, "リサンプル一覧の作成（HTMLファイル） 1列"},
                    {form->FMCol5, "5列"},
                    {form->FMLPF_DCTCut7, "高周波成分を削除 DCT cut7"},
                    {form->FMMedianFilter, "メディアンフィルター"}};
    for (const auto& c : captions) EXPECT_EQ(c.action->text().toStdString(), c.caption);
    EXPECT_EQ(form->FMFile->title().toStdString(), "ファイル(&F)");
    EXPECT_EQ(form->FMResample->title().toStdString(), "リサンプル(&R)");
    EXPECT_EQ(form->FMExtra->title().toStdString(), "おまけ(&E)");
    EXPECT_EQ(form->FMUpscaleOption->title().toStdString(), "拡大時オプション(&U)");
    EXPECT_EQ(form->LOutput->text().toStdString(), "出力サイズ");
    EXPECT_EQ(form->LHeight->text().toStdString(), "x 高さ");
    EXPECT_EQ(form->LScale->text().toStdString(), "スケール");
    EXPECT_EQ(form->Label5->text().toStdString(), "[%]");

    EXPECT_EQ(form->FMOpen->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    EXPECT_EQ(form->FMReOpen->shortcut(), QKeySequence(QStringLiteral("Ctrl+R")));
    for (QAction* hidden : {form->FMSampleLoad, form->FMTest1, form->FMTest2, form->FMTestEdgeMask,
                            form->FMLiftingBilinear, form->FMBilinearV2, form->FMFileNameRule})
        EXPECT_FALSE(hidden->isVisible()) << hidden->objectName().toStdString();
    EXPECT_FALSE(form->FMReOpen->isEnabled());
    EXPECT_FALSE(form->FMSaveAs->isEnabled());
    for (TNumEdit* edit : {form->EditWidth, form->EditHeight, form->EditRatio}) {
        EXPECT_FALSE(edit->isEnabled());
        EXPECT_EQ(edit->width(), 57);
    }
    EXPECT_TRUE(form->FMEnglish->isChecked()) << "locale 1033 without settings chooses English";
    EXPECT_TRUE(form->FMCol2->isChecked());
    EXPECT_EQ(form->FMCol4->data().toInt(), 4);
    EXPECT_TRUE(form->FMNoopUpscale->isChecked());
    for (QAction* radio : {form->FMLPF_DCTCut7, form->FMMedianFilter, form->FMCol3, form->FMJapanese}) {
        EXPECT_TRUE(radio->isCheckable());
        EXPECT_TRUE(radio->actionGroup() && radio->actionGroup()->isExclusive());
    }
    EXPECT_NE(form->FMLPF_DCTCut7->actionGroup(), form->FMCol3->actionGroup());

    form->show();
    QApplication::processEvents();
    EXPECT_EQ(form->PanelTop->height(), 41);
    // English without language files: the built-in texts stay, the layout
    // is the English one.
    EXPECT_EQ(form->EditWidth->x(), 120);
    EXPECT_EQ(form->EditHeight->x(), 242);
    EXPECT_EQ(form->EditRatio->x(), 384);
    EXPECT_EQ(form->width(), 589);
    EXPECT_EQ(form->centralWidget()->height() + form->StatusBar1->height(), 362) << "client area below the menu";
    std::vector<int> panels;
    for (QLabel* label : form->StatusBar1->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) panels.push_back(label->width());
    EXPECT_EQ(panels, (std::vector<int>{200, 200, 50}));
    ASSERT_EQ(form->SaveDialog1->FileTypes.size(), 11u);
    EXPECT_EQ(form->SaveDialog1->FileTypes[6].DisplayName, "ZSoft Paintbrush");
    EXPECT_EQ(form->SaveDialog1->FileTypes[6].FileMask, "*.pcx");
    EXPECT_EQ(LanguageFolder, "Lang/");
    EXPECT_TRUE(errors_.empty());
    form->hide();
}

TEST_F(MainWindowTest, JapaneseLocaleChoosesJapaneseWhenNothingIsStored) {
    SetDefaultLocaleIdOverride(1041);
    const auto form = MakeForm();
    EXPECT_EQ(LanguageNumber, 2);
    EXPECT_TRUE(form->FMJapanese->isChecked());
    EXPECT_FALSE(form->FMEnglish->isChecked());
    EXPECT_EQ(form->EditWidth->x(), 96);
    EXPECT_EQ(form->EditHeight->x(), 194);
    EXPECT_EQ(form->EditRatio->x(), 328);
}

TEST_F(MainWindowTest, OpeningFillsTheEditsAndTheyCoupleRoundingHalfUp) {
    const auto form = MakeForm();
    form->OpenPicture(Picture("a.bmp", TBitmap(640, 480)), false);
    EXPECT_EQ(Edits(*form), (std::vector<std::string>{"640", "480", "100"}));
    EXPECT_TRUE(form->EditWidth->isEnabled());
    EXPECT_TRUE(form->FMReOpen->isEnabled());
    EXPECT_TRUE(form->FMSaveAs->isEnabled());
    Type(form->EditWidth, "100");
    EXPECT_EQ(Edits(*form), (std::vector<std::string>{"100", "75", "16"}));
    Type(form->EditHeight, "240");
    EXPECT_EQ(Edits(*form), (std::vector<std::string>{"320", "240", "50"}));
    Type(form->EditWidth, "");
    EXPECT_EQ(Edits(*form), (std::vector<std::string>{"", "240", "50"}));
    Type(form->EditHeight, "0");
    EXPECT_EQ(Edits(*form), (std::vector<std::string>{"", "0", "50"}));

    form->OpenPicture(Picture("b.bmp", TBitmap(641, 481)), false);
    Type(form->EditRatio, "50");
    EXPECT_EQ(Edits(*form), (std::vector<std::string>{"321", "241", "50"}));
    EXPECT_TRUE(errors_.empty());
}

TEST_F(MainWindowTest, CommandLinePictureOpensAtStartAndMissingFilesAreIgnored) {
    const TBitmap picture = RandomBitmap(12, 9, 1);
    const std::string path = Picture("start.bmp", picture);
    const auto form = MakeForm({path});
    EXPECT_EQ(form->FileName, path);
    EXPECT_TRUE(SamePicture(form->WorkBitmap, picture));
    EXPECT_TRUE(SamePicture(form->LoadedBitmap, picture));
    EXPECT_EQ(form->SourceWidth, 12);
    EXPECT_EQ(Edits(*form), (std::vector<std::string>{"12", "9", "100"}));
    EXPECT_EQ(form->Image1->size(), QSize(12, 9));

    const auto none = MakeForm({(folder_ / "missing.bmp").string()});
    EXPECT_TRUE(none->WorkBitmap.Empty());
    EXPECT_TRUE(none->FileName.empty());
    EXPECT_TRUE(errors_.empty());
}

TEST_F(MainWindowTest, PictureIsShownOneToOneFromItsOwnRows) {
    const auto form = MakeForm();
    const TBitmap picture = RandomBitmap(33, 17, 5);
    form->OpenPicture(Picture("p.bmp", picture), false);
    const QImage& shown = form->Image1->Image();
    ASSERT_EQ(shown.size(), QSize(33, 17));
    EXPECT_EQ(shown.constBits(), form->Image1->Picture().ScanLine(0)) << "the rows are wrapped, not copied";
    for (int y = 0; y < 17; y += 4)
        for (int x = 0; x < 33; x += 5) {
            const TColor c = picture.Pixel(x, y);
            EXPECT_EQ(shown.pixel(x, y), qRgb(GetRValue(c), GetGValue(c), GetBValue(c)));
        }
    // Pictures of the palette formats show through their palette.
    TBitmap indexed = RandomBitmap(9, 4, 6, pf4bit);
    QImage four = WrapBitmap(indexed);
    EXPECT_EQ(four.format(), QImage::Format_Indexed8);
    const TColor c = indexed.Pixel(3, 2);
    EXPECT_EQ(four.pixel(3, 2), qRgb(GetRValue(c), GetGValue(c), GetBValue(c)));
}

TEST_F(MainWindowTest, PngPictureBringsItsAlphaPlane) {
    const auto form = MakeForm();
    const std::string withAlpha = testing_support::DataPath("formats/png_rgba8.png");
    form->OpenPicture(withAlpha, false);
    TGLDPNG decoded;
    decoded.LoadFromFile(withAlpha);
    ASSERT_TRUE(decoded.HasAlpha());
    EXPECT_TRUE(form->HasAlpha);
    EXPECT_TRUE(SamePicture(form->AlphaBitmap, decoded.AlphaBitmap()));
    EXPECT_EQ(form->WorkBitmap.Width(), decoded.Width());

    form->OpenPicture(testing_support::DataPath("formats/png_rgb8.png"), false);
    EXPECT_FALSE(form->HasAlpha);
    form->OpenPicture(withAlpha, false);
    form->OpenPicture(Picture("plain.bmp", RandomBitmap(4, 4, 15)), false);
    EXPECT_FALSE(form->HasAlpha);
    EXPECT_TRUE(errors_.empty());
}

TEST_F(MainWindowTest, PictureThatDoesNotDecodeKeepsTheStateButItsPath) {
    const auto form = MakeForm();
    form->show();  // drops are taken once the window is shown
    QApplication::processEvents();
    ASSERT_TRUE(form->acceptDrops());
    const TBitmap picture = RandomBitmap(20, 10, 2);
    const std::string good = Picture("good.bmp", picture);
    form->OpenPicture(good, false);
    Type(form->EditWidth, "10");
    const std::string bad = (folder_ / "bad.bmp").string();
    std::ofstream(bad, std::ios::binary) << "not a bitmap";
    // Through the interface, so the default error handler reports it.
    std::vector<QUrl> urls{QUrl::fromLocalFile(QString::fromStdString(bad))};
    auto* data = new QMimeData;
    data->setUrls(QList<QUrl>(urls.begin(), urls.end()));
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &enter);
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &drop);
    delete data;
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_EQ(errors_[0], "Bitmap image is not valid\n" + bad) << "the box names the file on a line of its own";
    EXPECT_TRUE(SamePicture(form->WorkBitmap, picture));
    EXPECT_TRUE(SamePicture(form->LoadedBitmap, picture));
    EXPECT_EQ(Edits(*form), (std::vector<std::string>{"10", "5", "50"}));
    EXPECT_EQ(form->FileName, bad) << "a later Reload tries the failed file again";
    EXPECT_THROW(form->FMReOpenClick(), EInvalidGraphic);
}

TEST_F(MainWindowTest, ResampleCommandsRunTheirAlgorithmAndReportTheTime) {
    const auto form = MakeForm();
    const TBitmap picture = RandomBitmap(40, 30, 3);
    form->OpenPicture(Picture("r.bmp", picture), false);
    Type(form->EditRatio, "50");
    const auto kernel = [](KernelSetup setup) {
        return [setup](TBitmap& p, int32_t w, int32_t h) { KernelResample(p, w, h, setup); };
    };
    const struct {
        QAction* TForm1::*item;
        std::function<void(TBitmap&, int32_t, int32_t)> routine;
        int index;  // -1: records nothing
    } cases[] = {
        {&TForm1::FMLanczos4, Lanczos4Resample, 0},   {&TForm1::FMLanczos3, kernel(Lanczos3Setup), 1},
        {&TForm1::FMLanczos2, kernel(Lanczos2Setup), 2}, {&TForm1::FMMitchell, kernel(MitchellSetup), 3},
        {&TForm1::FMLagrange, kernel(LagrangeSetup), 4}, {&TForm1::FMHermite, kernel(HermiteSetup), 5},
        {&TForm1::FMBell, kernel(BellSetup), 6},         {&TForm1::FMBSpline, kernel(BSplineSetup), 7},
        {&TForm1::FMGauss, kernel(GaussSetup), 8},       {&TForm1::FMBicubic, kernel(BicubicSetup), 9},
        {&TForm1::FMBilinear, kernel(BilinearSetup), 10}, {&TForm1::FMAveragePixel, AveragePixelResample, 11},
        {&TForm1::FMNearestNeighbor, NearestNeighborResample, 12},
        {&TForm1::FMBilinearV2, BilinearV2Resample, -1},
        {&TForm1::FMTest1, Test1Resample, -1},           {&TForm1::FMTest2, Test2Resample, -1},
    };
    for (const auto& c : cases) {
        form->FMReOpen->trigger();
        form->LastAlgorithm = 99;
        form->StatusBar1->findChildren<QLabel*>().front()->clear();
        TBitmap expected = picture;
        c.routine(expected, 20, 15);
        (form.get()->*c.item)->trigger();
        const std::string name = (form.get()->*c.item)->objectName().toStdString();
        EXPECT_TRUE(SamePicture(form->WorkBitmap, expected)) << name;
        EXPECT_TRUE(SamePicture(form->Image1->Picture(), expected)) << name;
        EXPECT_EQ(form->LastAlgorithm, c.index < 0 ? 99 : c.index) << name;
        EXPECT_TRUE(IsTimingText(form->StatusText(0))) << name << ": " << form->StatusText(0).toStdString();
        EXPECT_TRUE(SamePicture(form->LoadedBitmap, picture)) << name;
    }
    EXPECT_EQ(form->TargetWidth, 20);
    EXPECT_EQ(form->TargetHeight, 15);
    EXPECT_TRUE(form->StatusText(1).isEmpty());
    EXPECT_TRUE(form->StatusText(2).isEmpty());
    EXPECT_TRUE(errors_.empty()) << errors_.front();
}

TEST_F(MainWindowTest, PrefilterRunsOnlyWhenTheScaleIsAbove100) {
    const auto form = MakeForm();
    const TBitmap picture = RandomBitmap(24, 16, 4);
    form->OpenPicture(Picture("u.bmp", picture), false);
    const auto run = [&](const char* scale, QAction* option) {
        form->FMReOpen->trigger();
        Type(form->EditRatio, scale);
        option->trigger();
        form->FMBilinear->trigger();
        return form->WorkBitmap;
    };
    const auto expect = [&](const char* scale, const std::function<void(TBitmap&)>& prefilter) {
        TBitmap expected = picture;
        if (prefilter) prefilter(expected);
        const int32_t s = std::atoi(scale);
        KernelResample(expected, (24 * s + 50) / 100, (16 * s + 50) / 100, BilinearSetup);
        return expected;
    };
    const auto dct = [](int cut) { return [cut](TBitmap& p) { DCTHighCut(p, cut); }; };
    EXPECT_TRUE(SamePicture(run("101", form->FMLPF_DCTCut7), expect("101", dct(7))));
    EXPECT_FALSE(SamePicture(run("101", form->FMLPF_DCTCut7), expect("101", nullptr)));
    EXPECT_TRUE(SamePicture(run("100", form->FMLPF_DCTCut7), expect("100", nullptr)));
    EXPECT_TRUE(SamePicture(run("150", form->FMLPF_DCTCut6), expect("150", dct(6))));
    EXPECT_TRUE(SamePicture(run("150", form->FMLPF_DCTCut5), expect("150", dct(5))));
    EXPECT_TRUE(SamePicture(run("150", form->FMMedianFilter), expect("150", EdgePreservingMedian)));
    EXPECT_TRUE(SamePicture(run("150", form->FMNoopUpscale), expect("150", nullptr)));
    EXPECT_TRUE(form->FMNoopUpscale->isChecked());
    EXPECT_FALSE(form->FMMedianFilter->isChecked());

    // The scale edit alone decides: width and height edited down still
    // pre-filter.
    form->FMReOpen->trigger();
    Type(form->EditRatio, "200");
    form->FMLPF_DCTCut7->trigger();
    {
        const QSignalBlocker a(form->EditWidth), b(form->EditHeight);
        form->EditWidth->setText(QStringLiteral("12"));
        form->EditHeight->setText(QStringLiteral("8"));
    }
    form->FMBilinear->trigger();
    TBitmap expected = picture;
    DCTHighCut(expected, 7);
    KernelResample(expected, 12, 8, BilinearSetup);
    EXPECT_TRUE(SamePicture(form->WorkBitmap, expected));
    EXPECT_TRUE(errors_.empty());
}

TEST_F(MainWindowTest, EditThatIsNotAnIntegerFailsTheCommandWithTheConversionMessage) {
    const auto form = MakeForm();
    const TBitmap picture = RandomBitmap(10, 10, 7);
    form->OpenPicture(Picture("n.bmp", picture), false);
    Type(form->EditWidth, "12a");
    ASSERT_EQ(errors_.size(), 1u) << "the coupling reports it first";
    EXPECT_EQ(errors_[0], "'12a' は整数ではありません");
    form->FMLanczos3->trigger();
    ASSERT_EQ(errors_.size(), 2u);
    EXPECT_EQ(errors_[1], "'12a' は整数ではありません");
    EXPECT_TRUE(SamePicture(form->WorkBitmap, picture));
    EXPECT_TRUE(form->StatusText(0).isEmpty());

    // A size below 1 is refused and leaves the picture.
    Type(form->EditWidth, "5");
    {
        const QSignalBlocker block(form->EditHeight);
        form->EditHeight->setText(QStringLiteral("0"));
    }
    form->FMLanczos3->trigger();
    EXPECT_EQ(errors_.size(), 3u);
    EXPECT_TRUE(SamePicture(form->WorkBitmap, picture));
}

TEST_F(MainWindowTest, ResampleMenuEnablesTheAverageItemOnlyUpTo100) {
    const auto form = MakeForm();
    form->OpenPicture(Picture("m.bmp", TBitmap(30, 20)), false);
    Type(form->EditRatio, "150");
    emit form->FMResample->aboutToShow();
    EXPECT_FALSE(form->FMAveragePixel->isEnabled());
    Type(form->EditRatio, "100");
    emit form->FMResample->aboutToShow();
    EXPECT_TRUE(form->FMAveragePixel->isEnabled());
    Type(form->EditRatio, "101");
    Type(form->EditRatio, "");
    emit form->FMResample->aboutToShow();
    EXPECT_TRUE(form->FMAveragePixel->isEnabled()) << "an empty scale leaves the item as it was";
}

TEST_F(MainWindowTest, DropOfThreeFilesOpensOnlyTheFirst) {
    const auto form = MakeForm();
    form->show();
    QApplication::processEvents();
    EXPECT_TRUE(form->acceptDrops());
    const std::string first = Picture("1.bmp", RandomBitmap(7, 5, 8));
    Picture("2.bmp", RandomBitmap(9, 9, 9));
    Picture("3.bmp", RandomBitmap(3, 3, 10));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(first)),
                  QUrl::fromLocalFile(QString::fromStdString((folder_ / "2.bmp").string())),
                  QUrl::fromLocalFile(QString::fromStdString((folder_ / "3.bmp").string()))});
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form.get(), &drop);
    EXPECT_EQ(form->FileName, first);
    EXPECT_EQ(form->WorkBitmap.Width(), 7);
    EXPECT_EQ(Edits(*form), (std::vector<std::string>{"7", "5", "100"}));
    form->hide();
}

TEST_F(MainWindowTest, ReloadAfterTwoReductionsShowsTheFileAndKeepsTheEdits) {
    const auto form = MakeForm();
    const TBitmap picture = RandomBitmap(64, 48, 11);
    form->OpenPicture(Picture("z.bmp", picture), false);
    Type(form->EditWidth, "40");
    form->FMLanczos3->trigger();
    Type(form->EditWidth, "20");
    form->FMLanczos3->trigger();
    EXPECT_EQ(form->WorkBitmap.Width(), 20);
    EXPECT_EQ(form->WorkBitmap.Height(), 15);
    form->FMReOpen->trigger();
    EXPECT_TRUE(SamePicture(form->WorkBitmap, picture));
    EXPECT_TRUE(SamePicture(form->Image1->Picture(), picture));
    EXPECT_EQ(Edits(*form), (std::vector<std::string>{"20", "15", "31"}));
    EXPECT_EQ(form->SourceWidth, 64);

    // Reload follows the file.
    Picture("z.bmp", RandomBitmap(10, 8, 12));
    form->FMReOpen->trigger();
    EXPECT_EQ(form->SourceWidth, 10);
    EXPECT_EQ(Edits(*form), (std::vector<std::string>{"20", "15", "31"}));
}

TEST_F(MainWindowTest, HiddenCommands) {
    const auto form = MakeForm();
    const TBitmap picture = RandomBitmap(30, 20, 13);
    form->OpenPicture(Picture("h.bmp", picture), false);

    form->FMSampleLoad->trigger();
    EXPECT_TRUE(SamePicture(form->WorkBitmap, MakeZonePlate()));
    EXPECT_TRUE(SamePicture(form->LoadedBitmap, picture));
    EXPECT_EQ(form->SourceWidth, 30);
    EXPECT_EQ(Edits(*form), (std::vector<std::string>{"30", "20", "100"}));

    form->FMTestEdgeMask->trigger();
    TBitmap masked = picture;
    EdgePreservingMedian(masked);
    EXPECT_TRUE(SamePicture(form->WorkBitmap, masked));

    form->FMReOpen->trigger();
    Type(form->EditRatio, "250");
    form->FMLPF_DCTCut7->trigger();
    form->FMLiftingBilinear->trigger();
    TBitmap lifted = picture;
    LiftingBilinearProcedure(lifted, 75, 50, 250, false);
    EXPECT_TRUE(SamePicture(form->WorkBitmap, lifted));
    EXPECT_FALSE(form->StatusText(0).isEmpty());
    EXPECT_TRUE(errors_.empty());
}

TEST_F(MainWindowTest, WheelMovesTheViewTwentyPixelsPerNotch) {
    const auto form = MakeForm();
    form->show();
    form->OpenPicture(Picture("big.bmp", TBitmap(1500, 1500)), false);
    QApplication::processEvents();
    QScrollBar* bar = form->ScrollBox1->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 100);
    const auto wheel = [&](QWidget* target, int delta) {
        QWheelEvent event(QPointF(20, 20), target->mapToGlobal(QPointF(20, 20)), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    };
    wheel(form->ScrollBox1->viewport(), -120);
    EXPECT_EQ(bar->value(), 20);
    wheel(form->ScrollBox1->viewport(), -240);
    EXPECT_EQ(bar->value(), 60);
    wheel(form->ScrollBox1->viewport(), 120);
    EXPECT_EQ(bar->value(), 40);
    // A click on the picture makes the box the active control again.
    form->EditWidth->setFocus();
    form->Image1->OnClick(form->Image1);
    EXPECT_TRUE(form->ScrollBox1->hasFocus() || QApplication::focusWidget() == nullptr);
    form->hide();
}

TEST_F(MainWindowTest, SettingsAreReadAtStartAndWrittenAtExit) {
    {
        std::ofstream(settings_, std::ios::binary)
            << "[General]\nLeft=30\nTop=40\nWidth=640\nHeight=420\nLanguage=1\n[Encoder]\nQuality=9\n"
               "[TestSample]\nSampleFormat=jpeg444\nSampleJPEGQuality=70\n"
               "[SaveOptions4JPEG]\nQuality=60\nProgressive=5\nSubsampling=2\n[SaveOptions4GIF]\nTransparent=1\n";
    }
    auto form = MakeForm();
    EXPECT_EQ(form->pos(), QPoint(30, 40));
    EXPECT_EQ(form->size(), QSize(640, 420));
    EXPECT_EQ(LanguageNumber, 1);
    EXPECT_EQ(form->SampleFormat, SampleFormatJPEG420);
    EXPECT_EQ(form->SampleJPEGQuality, 70);
    EXPECT_EQ(form->SaveOptionValues.JPEGQuality, 60);
    EXPECT_TRUE(form->SaveOptionValues.JPEGProgressive);
    EXPECT_EQ(form->SaveOptionValues.JPEGSubsampling, jss444);
    EXPECT_TRUE(form->SaveOptionValues.GIFTransparent);
    EXPECT_FALSE(TIniFile(settings_).SectionExists("Encoder"));

    form->FMJapanese->trigger();
    form->SampleFormat = SampleFormatJPEG444;
    form->SaveOptionValues.PNGInterlaced = true;
    form->move(50, 60);
    form->resize(700, 500);
    form->FMExit->trigger();
    const std::string text = ReadSettingsText();
    for (const char* line : {"Left=50", "Top=60", "Width=700", "Height=500", "Language=2", "SampleFormat=JPEG444",
                             "SampleJPEGQuality=70", "Quality=60", "Progressive=1", "Grayscale=0", "Subsampling=2",
                             "ExifCopy=0", "ExifThumbUpdate=0", "Interlaced=1", "ReduceTo256Color=0",
                             "Transparent=1", "Transparent=0", "RLECompression=0"})
        EXPECT_NE(text.find(std::string("\n") + line + "\n"), std::string::npos) << line;
    form.reset();

    const auto again = MakeForm();
    EXPECT_EQ(again->pos(), QPoint(50, 60));
    EXPECT_EQ(LanguageNumber, 2);
    EXPECT_TRUE(again->FMJapanese->isChecked());
    EXPECT_EQ(again->SampleFormat, SampleFormatJPEG444);
    EXPECT_TRUE(again->SaveOptionValues.PNGInterlaced);
    EXPECT_TRUE(errors_.empty());
}

TEST_F(MainWindowTest, SettingsWriteFailureIsReported) {
    std::ofstream(folder_ / "file", std::ios::binary) << "x";
    TForm1Options options;
    options.SettingsFile = (folder_ / "file" / "vorlix.ini").string();
    TForm1 form(options);
    form.close();
    ASSERT_EQ(errors_.size(), 1u);
    EXPECT_EQ(errors_[0], options.SettingsFile + " に書き込めません");
}

TEST_F(MainWindowTest, OpenCommandRunsThePictureDialog) {
    const auto form = MakeForm();
    const std::string path = Picture("chosen.bmp", RandomBitmap(6, 4, 14));
    QTimer::singleShot(0, form->OpenPictureDialog1, [&] {
        form->OpenPictureDialog1->selectFile(QString::fromStdString(path));
        QMetaObject::invokeMethod(form->OpenPictureDialog1, "accept");
    });
    form->FMOpen->trigger();
    EXPECT_EQ(form->FileName, path);
    EXPECT_EQ(form->WorkBitmap.Width(), 6);
    EXPECT_FALSE(form->OpenPictureDialog1->nameFilters().isEmpty());
    EXPECT_TRUE(form->OpenPictureDialog1->testOption(QFileDialog::DontUseNativeDialog));

    QTimer::singleShot(0, form->OpenPictureDialog1, [&] { form->OpenPictureDialog1->reject(); });
    form->FMOpen->trigger();
    EXPECT_EQ(form->FileName, path);
}
}  // namespace
