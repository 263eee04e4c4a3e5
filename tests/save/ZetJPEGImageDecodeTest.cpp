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

TEST(DecodeBlockSmoothing, OnlyTouchesAnUnfinishedProgressivePicture) {
    // djpeg has no switch for it: libjpeg smooths blocks whose coefficients
    // have not all arrived, which in a complete file none are.
    auto decode = [](const std::vector<uint8_t>& bytes, bool smoothing) {
        TJPEGImage jpeg;
        TMemoryStream stream(bytes);
        jpeg.LoadFromStream(stream);
        jpeg.SetBlockSmoothing(smoothing);
        return Colours(Decoded(jpeg));
    };
    const std::vector<uint8_t> file = testing_support::ReadFileBytes(Fixture("cprog.jpg"));
    EXPECT_EQ(decode(file, false), PpmColours(Fixture("cprog.ppm")));
    const std::vector<uint8_t> firstScans(file.begin(), file.begin() + 900);
    EXPECT_NE(decode(firstScans, false), decode(firstScans, true));
}
