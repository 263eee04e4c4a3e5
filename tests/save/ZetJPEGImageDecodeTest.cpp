// Decoded pixels against libjpeg-turbo's djpeg with the same settings
// (tests/data/make_jpeg_fixtures.sh).

#include <gtest/gtest.h>

#include <string>

#include "save/JPEGTestSupport.h"

using namespace jpeg_testing;
using testing_support::Colours;
using testing_support::PpmColours;

namespace {

struct DecodeCase {
    const char* file;
    const char* reference;  // .ppm: 24-bit colours; .bmp: indices and colour map
    uint8_t scaleShift = 0;
    bool grayscale = false;
    bool paletteOutput = false;
    bool fastDecode = false;
    bool incrementalDisplay = false;
};

std::string Name(const DecodeCase& c) {
    std::string name = std::string(c.file) + "_as_" + c.reference;
    if (c.grayscale) name += "_grayscale";
    if (c.paletteOutput) name += "_palette";
    if (c.fastDecode) name += "_fast";
    if (c.incrementalDisplay) name += "_incremental";
    for (char& ch : name)
        if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return name;
}

class Decode : public testing::TestWithParam<DecodeCase> {};

TEST_P(Decode, EqualsDjpeg) {
    const DecodeCase& c = GetParam();
    TJPEGImage jpeg;
    jpeg.LoadFromFile(Fixture(c.file));
    jpeg.SetScaleShift(c.scaleShift);
    jpeg.SetGrayscale(c.grayscale);
    jpeg.SetPaletteOutput(c.paletteOutput);
    jpeg.SetFastDecode(c.fastDecode);
    jpeg.SetIncrementalDisplay(c.incrementalDisplay);
    const int reportedWidth = jpeg.Width(), reportedHeight = jpeg.Height();
    const TBitmap decoded = Decoded(jpeg);
    // The size reported before decoding is the size decoded.
    EXPECT_EQ(decoded.Width(), reportedWidth);
    EXPECT_EQ(decoded.Height(), reportedHeight);

    const std::string reference = c.reference;
    if (reference.ends_with(".ppm")) {
        EXPECT_EQ(decoded.PixelFormat(), pf24bit);
        int width = 0, height = 0;
        const auto expected = PpmColours(Fixture(reference), &width, &height);
        ASSERT_EQ(decoded.Width(), width);
        ASSERT_EQ(decoded.Height(), height);
        EXPECT_EQ(Colours(decoded), expected);
    } else {
        ExpectSameIndexedPicture(decoded, LoadBmp(reference));
    }
}

const DecodeCase kDecodeCases[] = {
    // Written by cjpeg and by ImageMagick: 4:2:0, 4:4:4, 4:2:2, progressive,
    // arithmetic coding with restart markers.
    {"c420.jpg", "c420.ppm"},
    {"c444.jpg", "c444.ppm"},
    {"im422.jpg", "im422.ppm"},
    {"cprog.jpg", "cprog.ppm"},
    {"im_prog.jpg", "im_prog.ppm"},
    {"carith.jpg", "carith.ppm"},
    // Scaled output.
    {"c420.jpg", "c420_s2.ppm", 1},
    {"c420.jpg", "c420_s4.ppm", 2},
    {"c420.jpg", "c420_s8.ppm", 3},
    {"cprog.jpg", "cprog_s2.ppm", 1},
    {"cprog.jpg", "cprog_s4.ppm", 2},
    {"cprog.jpg", "cprog_s8.ppm", 3},
    {"im422.jpg", "im422_s2.ppm", 1},
    {"im422.jpg", "im422_s4.ppm", 2},
    {"im422.jpg", "im422_s8.ppm", 3},
    // Grey output is 8-bit: 236 grey levels, Floyd-Steinberg dithered; a
    // grayscale file decodes the same way without asking.
    {"c420.jpg", "c420_grey.bmp", 0, true},
    {"cprog.jpg", "cprog_grey.bmp", 0, true},
    {"cgrey.jpg", "cgrey_grey.bmp"},
    {"cgrey.jpg", "cgrey_grey.bmp", 0, true},
    // 236 colours by the two-pass quantiser.
    {"c420.jpg", "c420_pal.bmp", 0, false, true},
    {"c444.jpg", "c444_pal.bmp", 0, false, true},
    {"cprog.jpg", "cprog_pal.bmp", 0, false, true},
    {"im422.jpg", "im422_pal.bmp", 0, false, true},
    {"c420.jpg", "c420_pal_s2.bmp", 1, false, true},
    // Fast decoding: the fast integer transform; one-pass, ordered dither.
    {"c420.jpg", "c420_fast.ppm", 0, false, false, true},
    {"c420.jpg", "c420_fast_pal.bmp", 0, false, true, true},
    // Buffered-image mode ends with a pass at the picture's own settings.
    {"cprog.jpg", "cprog.ppm", 0, false, false, false, true},
    {"im_prog.jpg", "im_prog.ppm", 0, false, false, false, true},
    {"cprog.jpg", "cprog_pal.bmp", 0, false, true, false, true},
    {"cprog.jpg", "cprog_grey.bmp", 0, true, false, false, true},
    {"cprog.jpg", "cprog_s4.ppm", 2, false, false, false, true},
};

INSTANTIATE_TEST_SUITE_P(Fixtures, Decode, testing::ValuesIn(kDecodeCases),
                         [](const testing::TestParamInfo<DecodeCase>& param) { return Name(param.param); });

}  // namespace

TEST(DecodeOwnPalette, IsTheQuantiserColourMap) {
    const TBitmap map = LoadPpm("map16.ppm");
    TPalette palette;
    for (int x = 0; x < map.Width(); ++x) {
        const TColor c = map.Pixel(x, 0);
        palette.push_back({GetRValue(c), GetGValue(c), GetBValue(c), 0});
    }
    TJPEGImage jpeg;
    jpeg.LoadFromFile(Fixture("c420.jpg"));
    jpeg.SetPaletteOutput(true);
    jpeg.SetPalette(palette);
    const TBitmap decoded = Decoded(jpeg);
    EXPECT_EQ(decoded.PaletteEntries(), palette);
    ExpectSameIndexedPicture(decoded, LoadBmp("c420_map16.bmp"));
}

TEST(DecodeOwnPalette, IsDroppedWithoutPaletteOutput) {
    TJPEGImage jpeg;
    jpeg.LoadFromFile(Fixture("c420.jpg"));
    jpeg.SetPalette({{1, 2, 3, 0}, {4, 5, 6, 0}});
    const TBitmap decoded = Decoded(jpeg);
    EXPECT_EQ(decoded.PixelFormat(), pf24bit);
    EXPECT_TRUE(decoded.PaletteEntries().empty());
    EXPECT_TRUE(jpeg.Palette().empty());
}

TEST(DecodeCmyk, InvertedInksBecomeColours) {
    // Cyan, magenta, yellow and grey blocks written by ImageMagick as an
    // Adobe CMYK file.
    TJPEGImage jpeg;
    jpeg.LoadFromFile(Fixture("im_cmyk.jpg"));
    jpeg.SetPaletteOutput(true);  // no quantised CMYK: always full colour
    const TBitmap decoded = Decoded(jpeg);
    ASSERT_EQ(decoded.PixelFormat(), pf24bit);
    ASSERT_EQ(decoded.Width(), 32);
    const TBitmap source = LoadPpm("blocks.ppm");
    for (int y : {4, 27})
        for (int x : {4, 27}) {
            const TColor got = decoded.Pixel(x, y), want = source.Pixel(x, y);
            EXPECT_NEAR(GetRValue(got), GetRValue(want), 3) << x << "," << y;
            EXPECT_NEAR(GetGValue(got), GetGValue(want), 3) << x << "," << y;
            EXPECT_NEAR(GetBValue(got), GetBValue(want), 3) << x << "," << y;
        }
}

TEST(DecodeCmyk, GrayscaleConvertsTheColoursToGrey) {
    // libjpeg has no ink-to-grey conversion; the colours are made grey.
    TJPEGImage colour, grey;
    colour.LoadFromFile(Fixture("im_cmyk.jpg"));
    grey.LoadFromFile(Fixture("im_cmyk.jpg"));
    grey.SetGrayscale(true);
    const TBitmap inks = Decoded(colour), levels = Decoded(grey);
    ASSERT_EQ(levels.PixelFormat(), pf8bit);
    for (int y = 0; y < inks.Height(); y += 5)
        for (int x = 0; x < inks.Width(); x += 5) {
            const TColor c = inks.Pixel(x, y);
            const auto luma = uint8_t((77 * GetRValue(c) + 150 * GetGValue(c) + 29 * GetBValue(c)) >> 8);
            EXPECT_EQ(levels.Pixel(x, y), RGBColor(luma, luma, luma)) << x << "," << y;
        }
}

TEST(DecodeBlockSmoothing, OnlyTouchesAnUnfinishedProgressivePicture) {
    // djpeg has no switch for it: libjpeg smooths blocks whose coefficients
    // have not all arrived, which only the passes an incremental display
    // shows before the last scan have.
    const int previousInterval = TJPEGImage::ProgressIntervalMs;
    TJPEGImage::ProgressIntervalMs = 0;
    auto decode = [](bool smoothing, std::vector<std::vector<TColor>>& passes) {
        TJPEGImage jpeg;
        jpeg.SetIncrementalDisplay(true);
        jpeg.LoadFromFile(Fixture("cprog.jpg"));
        jpeg.SetBlockSmoothing(smoothing);
        jpeg.OnProgress = [&](TGraphic& sender, TProgressStage stage, uint8_t) {
            if (stage != TProgressStage::psRunning) return;
            TBitmap shown;
            shown.Assign(sender);
            passes.push_back(Colours(shown));
        };
        return Colours(Decoded(jpeg));
    };
    std::vector<std::vector<TColor>> smoothed, plain;
    const auto smoothedFinal = decode(true, smoothed);
    const auto plainFinal = decode(false, plain);
    TJPEGImage::ProgressIntervalMs = previousInterval;
    EXPECT_EQ(plainFinal, PpmColours(Fixture("cprog.ppm")));
    EXPECT_EQ(smoothedFinal, plainFinal);
    ASSERT_EQ(smoothed.size(), plain.size());
    EXPECT_NE(smoothed, plain);
}
