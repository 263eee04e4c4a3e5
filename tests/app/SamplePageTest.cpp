#include "app/SamplePage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "formats/GLDPNGImage.h"
#include "platform/Exceptions.h"
#include "platform/Streams.h"
#include "resample/ResampleEx.h"
#include "save/AlphaPlane.h"
#include "save/ZetJPEGSubsampling.h"
#include "support/TestFolders.h"
#include "support/TestPictures.h"

namespace {

using namespace testing_support;
namespace fs = std::filesystem;

const char* const kFiles[] = {"flt_lanczos4", "flt_lanczos3", "flt_lanczos2", "flt_mitchell", "flt_lagrange",
                              "flt_hermite",  "flt_bell",     "flt_b-spline", "flt_gauss",    "flt_bicubic",
                              "flt_bilinear", "flt_average",  "flt_nearestneighbor"};
const char* const kLabels[] = {"Lanczos4", "Lanczos3", "Lanczos2", "Mitchell", "Lagrange", "Hermite",        "Bell",
                               "B-Spline", "Gauss",    "Bicubic",  "Bilinear", "Average",  "NearestNeighbor"};

class SamplePageTest : public ::testing::Test {
protected:
    TempFolder folder_{"vorlix_sample"};
    TBitmap base_ = RandomBitmap(200, 100, 7);
    TBitmap scratch_, work_, alphaScratch_;

    TSamplePageInput Input(int32_t columns = 2) {
        TSamplePageInput input;
        input.Base = &base_;
        input.TargetWidth = 100;
        input.TargetHeight = 50;
        input.Scale = 50;
        input.Columns = columns;
        input.Texts = {"Vorlix Resampling sample list", "iso-8859-1", "Preprocessing: Delete high freq element ",
                       "Selected algorithm: "};
        input.OutputFolder = folder_.Path().string() + "/";
        return input;
    }
    TSamplePageResult Build(const TSamplePageInput& input, const TSamplePageProgress& progress = {}) {
        return BuildSamplePage(input, {scratch_, work_, alphaScratch_}, progress);
    }
    std::string Page() const { return ReadFileText(folder_.Path() / "sample.html"); }
    // The page with every time shown as "T[ms]", split at CR LF.
    std::vector<std::string> MaskedLines() const {
        const std::string text = std::regex_replace(Page(), std::regex("[0-9]+\\[ms\\]"), "T[ms]");
        std::vector<std::string> lines;
        size_t at = 0;
        for (size_t end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
            lines.push_back(text.substr(at, end - at));
        EXPECT_EQ(at, text.size()) << "every line ends with CR LF";
        return lines;
    }
};

std::vector<std::string> Cell(int row, const std::string& extension = ".png") {
    return {std::string(kLabels[row]) + "<BR>", std::string("<IMG src=\"samples/") + kFiles[row] + extension + "\"><BR>",
            "T[ms]<BR><BR>", "</TD>"};
}

TEST_F(SamplePageTest, ExamplePageTwoColumnsLineForLine) {
    const TSamplePageResult result = Build(Input());
    EXPECT_EQ(result.PagePath, folder_.Path().string() + "/sample.html");
    std::vector<std::string> expected = {"<HTML>", "<HEAD>", "<TITLE>Vorlix Resampling sample list</TITLE>",
                                         "<META http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">",
                                         "</HEAD>", "<BODY>", "<TABLE border=\"0\">", "<TR>", "<TD>"};
    for (int row = 0; row < 13; ++row) {
        for (const std::string& line : Cell(row)) expected.push_back(line);
        if (row % 2 == 0)
            expected.push_back("<TD>");
        else
            expected.insert(expected.end(), {"</TR>", "<TR>", "<TD>"});
    }
    expected.insert(expected.end(), {"</TD>", "</TR>", "</TABLE>", "</BODY>", "</HTML>"});
    EXPECT_EQ(MaskedLines(), expected);
    for (const char* file : kFiles) EXPECT_TRUE(fs::is_regular_file(folder_.Path() / "samples" / (std::string(file) + ".png"))) << file;
}

// The lines after the table's last image cell, and how rows break.
TEST_F(SamplePageTest, RowsBreakEveryNCellsAndEvenCountsGetAFiller) {
    struct Case {
        int32_t columns;
        int32_t scale;
        TUpscalePrefilter prefilter;
        int images;
        std::vector<std::string> tail;  // after the last image's "</TD>"
    };
    const Case cases[] = {
        {1, 50, TUpscalePrefilter::None, 13, {"</TR>", "<TR>", "<TD>", "</TD>", "</TR>", "</TABLE>", "</BODY>", "</HTML>"}},
        {3, 50, TUpscalePrefilter::None, 13, {"<TD>", "</TD>", "</TR>", "</TABLE>", "</BODY>", "</HTML>"}},
        {2, 200, TUpscalePrefilter::DCTCut7, 12,
         {"</TR>", "<TR>", "<TD>", "</TD>", "<TD></TD>", "</TR>", "</TABLE>", "</BODY>", "</HTML>"}},
        {5, 200, TUpscalePrefilter::None, 12, {"<TD>", "</TD>", "<TD></TD>", "</TR>", "</TABLE>", "</BODY>", "</HTML>"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "columns " << c.columns << " scale " << c.scale);
        fs::remove_all(folder_.Path() / "samples");
        TSamplePageInput input = Input(c.columns);
        base_ = RandomBitmap(20, 10, 3);
        input.TargetWidth = c.scale == 50 ? 10 : 40;
        input.TargetHeight = c.scale == 50 ? 5 : 20;
        input.Scale = c.scale;
        input.Prefilter = c.prefilter;
        const TSamplePageResult result = Build(input);
        ASSERT_EQ(result.Images.size(), size_t(c.images));
        EXPECT_EQ(fs::exists(folder_.Path() / "samples/flt_average.png"), c.images == 13);
        const std::vector<std::string> lines = MaskedLines();
        std::vector<size_t> cellEnds;
        for (size_t i = 0; i < lines.size(); ++i)
            if (lines[i] == "T[ms]<BR><BR>") cellEnds.push_back(i + 1);
        ASSERT_EQ(cellEnds.size(), size_t(c.images));
        for (size_t k = 1; k <= cellEnds.size(); ++k) {
            const bool rowEnds = k % size_t(c.columns) == 0;
            EXPECT_EQ(lines[cellEnds[k - 1] + 1], rowEnds ? "</TR>" : "<TD>") << "after image " << k;
        }
        EXPECT_EQ(std::vector<std::string>(lines.begin() + long(cellEnds.back()) + 1, lines.end()), c.tail);
        const std::vector<std::string> head(lines.begin() + 7, lines.begin() + 9);
        if (c.prefilter == TUpscalePrefilter::None) {
            EXPECT_EQ(lines[9], "Lanczos4<BR>");
        } else {
            const std::vector<std::string> row(lines.begin() + 7, lines.begin() + 16);
            EXPECT_EQ(row, (std::vector<std::string>{"<TR>", "<TD colspan=2>",
                                                     "Preprocessing: Delete high freq element  T[ms]<BR>",
                                                     "Selected algorithm:  DCT cut7<BR><BR>", "</TD>", "</TR>",
                                                     "<TR>", "<TD>", "Lanczos4<BR>"}));
        }
        EXPECT_EQ(head, (std::vector<std::string>{"<TR>", c.prefilter == TUpscalePrefilter::None ? "<TD>" : "<TD colspan=2>"}));
    }
}

TEST_F(SamplePageTest, JapaneseLabelsAreShiftJisBytesWithEnglishFileNames) {
    TSamplePageInput input = Input();
    input.Language = 2;
    input.Texts.Charset = "Shift_JIS";
    Build(input);
    const std::string page = Page();
    EXPECT_NE(page.find("\r\nN-N \x81\x69\x8D\xC5\x8B\xDF\x96\x54\x96\x40\x81\x6A<BR>\r\n"
                        "<IMG src=\"samples/flt_nearestneighbor.png\"><BR>\r\n"),
              std::string::npos);
    EXPECT_NE(page.find("\r\n\x95\xBD\x8B\xCF\x89\xE6\x91\x66\x96\x40<BR>\r\n<IMG src=\"samples/flt_average.png\">"),
              std::string::npos);
    EXPECT_NE(page.find("\r\nLanczos4<BR>\r\n"), std::string::npos);
    EXPECT_NE(page.find("charset=Shift_JIS\">"), std::string::npos);
}

TEST_F(SamplePageTest, NamingRuleShapesFileNamesAndImageLinks) {
    struct Case {
        bool usePrefix, useSuffix;
        const char* gauss;
    };
    for (const Case& c : {Case{true, true, "a_flt_gauss_b.png"}, Case{true, false, "a_flt_gauss.png"},
                          Case{false, true, "flt_gauss_b.png"}}) {
        fs::remove_all(folder_.Path() / "samples");
        TSamplePageInput input = Input();
        input.UsePrefix = c.usePrefix;
        input.Prefix = "a_";
        input.UseSuffix = c.useSuffix;
        input.Suffix = "_b";
        Build(input);
        EXPECT_TRUE(fs::is_regular_file(folder_.Path() / "samples" / c.gauss)) << c.gauss;
        EXPECT_NE(Page().find(std::string("<IMG src=\"samples/") + c.gauss + "\">"), std::string::npos) << c.gauss;
    }
}

TBitmap LoadPng(const fs::path& path, TBitmap* alpha = nullptr) {
    TGLDPNG png;
    png.LoadFromFile(path.string());
    if (alpha) {
        EXPECT_TRUE(png.HasAlpha()) << path;
        if (png.HasAlpha()) *alpha = png.AlphaBitmap();
    }
    TBitmap picture;
    picture.Assign(png);
    return picture;
}

// The page's images are what the resample commands give, algorithm by
// algorithm, and the alpha plane is resampled with the same routine.
TEST_F(SamplePageTest, PngImagesEqualTheResamplersResultsWithTheirAlphaPlanes) {
    TBitmap alpha = RandomBitmap(200, 100, 11);
    TSamplePageInput input = Input();
    input.Alpha = &alpha;
    Build(input);
    for (uint8_t algorithm = 0; algorithm < 13; ++algorithm) {
        SCOPED_TRACE(kFiles[algorithm]);
        TBitmap expected = base_, expectedAlpha = alpha;
        ResampleByAlgorithm(expected, 100, 50, algorithm);
        ResampleByAlgorithm(expectedAlpha, 100, 50, algorithm);
        TBitmap storedAlpha;
        const TBitmap stored = LoadPng(folder_.Path() / "samples" / (std::string(kFiles[algorithm]) + ".png"), &storedAlpha);
        expected.SetPixelFormat(pf24bit);
        EXPECT_EQ(Colours(stored), Colours(expected));
        ASSERT_EQ(storedAlpha.Width(), 100);
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 100; ++x)
                ASSERT_EQ(storedAlpha.ScanLine(y)[x], expectedAlpha.ScanLine(y)[3 * x]) << x << "," << y;
    }
}

TEST_F(SamplePageTest, JpegImagesAreTheEncodersOutputForTheResampledPixels) {
    TBitmap alpha = RandomBitmap(200, 100, 11);
    for (uint8_t format : {SampleFormatJPEG420, SampleFormatJPEG444}) {
        SCOPED_TRACE(int(format));
        TSamplePageInput input = Input();
        input.Alpha = &alpha;  // not used for JPEG
        input.Format = format;
        input.Quality = 75;
        Build(input);
        EXPECT_NE(Page().find("<IMG src=\"samples/flt_bell.jpg\">"), std::string::npos);
        for (uint8_t algorithm : {0, 6, 11, 12}) {
            TBitmap expected = base_;
            ResampleByAlgorithm(expected, 100, 50, algorithm);
            TMemoryStream encoded;
            if (format == SampleFormatJPEG420)
                ASSERT_TRUE(SaveJPEG420ToStream(expected, encoded, false, false, 75));
            else
                EncodeJPEG444(expected, encoded, false, false, 75);
            EXPECT_EQ(ReadFileBytes((folder_.Path() / "samples" / (std::string(kFiles[algorithm]) + ".jpg")).string()),
                      encoded.Bytes())
                << kFiles[algorithm];
        }
    }
}

// A plain PNG or 4:2:0 image that cannot be written leaves the page
// standing, its cell saying so; a 4:4:4 or alpha image aborts the page.
TEST_F(SamplePageTest, WriteFailuresMarkTheCellOrAbortThePage) {
    fs::create_directories(folder_.Path() / "samples/flt_bell.png");  // no file can take its place
    std::vector<std::string> failed;
    TSamplePageProgress progress;
    progress.ImageFailed = [&](const std::string& path, const std::string&) { failed.push_back(path); };
    const TSamplePageResult result = Build(Input(), progress);
    EXPECT_EQ(failed, std::vector<std::string>{folder_.Path().string() + "/samples/flt_bell.png"});
    EXPECT_FALSE(result.Images[6].Written);
    const std::string page = std::regex_replace(Page(), std::regex("[0-9]+\\[ms\\]"), "T");
    EXPECT_NE(page.find("Bell<BR>\r\n<IMG src=\"samples/flt_bell.png\"><BR>\r\nT (not written)<BR><BR>\r\n"),
              std::string::npos);
    EXPECT_EQ(std::count(page.begin(), page.end(), '('), 1) << "only the failed cell is marked";

    fs::remove(folder_.Path() / "sample.html");
    fs::create_directories(folder_.Path() / "samples/flt_bell.jpg");
    TSamplePageInput jpeg444 = Input();
    jpeg444.Format = SampleFormatJPEG444;
    EXPECT_THROW(Build(jpeg444), Exception);
    EXPECT_FALSE(fs::exists(folder_.Path() / "sample.html"));

    TBitmap alpha = RandomBitmap(200, 100, 5);
    TSamplePageInput withAlpha = Input();
    withAlpha.Alpha = &alpha;
    EXPECT_THROW(Build(withAlpha), Exception);
    EXPECT_FALSE(fs::exists(folder_.Path() / "sample.html"));

    TSamplePageInput noFolder = Input();
    WriteFileText(folder_.Path() / "plain", "x");
    noFolder.OutputFolder = (folder_.Path() / "plain").string() + "/";
    EXPECT_THROW(Build(noFolder), Exception);
}

}  // namespace
