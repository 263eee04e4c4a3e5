#include <gtest/gtest.h>

#include "images/Effector/commonColor.h"
#include "platform/Exceptions.h"
#include "platform/Palettes.h"
#include "support/TestPictures.h"

using testing_support::Colours;

namespace {

TBitmap FromPpm(const std::string& name) {
    int width = 0, height = 0;
    const auto colours = testing_support::PpmColours(testing_support::DataPath(name), &width, &height);
    TBitmap picture(width, height, pf24bit);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) picture.SetPixel(x, y, colours[size_t(y) * width + x]);
    return picture;
}

std::vector<uint8_t> Indices(const TBitmap& picture) {
    std::vector<uint8_t> indices;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) indices.push_back(picture.PixelIndex(x, y));
    return indices;
}

}  // namespace

TEST(ReduceTo256Colours, UpTo256ColoursAreKeptExactlyInGreenRedBlueOrder) {
    TBitmap picture(32, 8, pf24bit);
    for (int i = 0; i < 256; ++i) picture.SetPixel(i % 32, i / 32, RGBColor(uint8_t(255 - i), uint8_t(i / 16), uint8_t(i * 7)));
    const auto colours = Colours(picture);
    ReduceTo256Colours(picture);
    ASSERT_EQ(picture.PixelFormat(), pf8bit);
    EXPECT_EQ(Colours(picture), colours);
    const TPalette& palette = picture.PaletteEntries();
    ASSERT_EQ(palette.size(), 256u);
    for (size_t i = 1; i < palette.size(); ++i) {
        const auto key = [](const TPaletteEntry& e) { return std::make_tuple(e.Green, e.Red, e.Blue); };
        EXPECT_LT(key(palette[i - 1]), key(palette[i])) << i;
    }
}

TEST(ReduceTo256Colours, PaletteOrderAndPadding) {
    struct Case {
        std::vector<TColor> pixels;
        TPalette leading;
    };
    const Case cases[] = {
        // Green 0 before green 255; within green 0, red 0 before red 255.
        {{RGBColor(0, 0, 255), RGBColor(255, 0, 0), RGBColor(0, 255, 0)},
         {{0, 0, 255, 0}, {255, 0, 0, 0}, {0, 255, 0, 0}}},
        {{clWhite, clBlack, clWhite, clWhite}, {{0, 0, 0, 0}, {255, 255, 255, 0}}},
        {{RGBColor(9, 9, 9)}, {{9, 9, 9, 0}}},
    };
    for (const Case& c : cases) {
        TBitmap picture(int(c.pixels.size()), 1, pf24bit);
        for (size_t x = 0; x < c.pixels.size(); ++x) picture.SetPixel(int(x), 0, c.pixels[x]);
        ReduceTo256Colours(picture);
        TPalette expected = c.leading;
        expected.resize(256);  // padded with (0, 0, 0, 0)
        EXPECT_EQ(picture.PaletteEntries(), expected);
        EXPECT_EQ(Colours(picture), c.pixels);
    }
}

TEST(ReduceTo256Colours, MoreColoursGoThroughTheJPEGRoundTrip) {
    // Reference: cjpeg -quality 100 -baseline, then djpeg -colors 236.
    TBitmap picture = FromPpm("colour/colours257.ppm");
    picture.SetTransparent(true);
    ReduceTo256Colours(picture);
    TBitmap expected;
    expected.LoadFromFile(testing_support::DataPath("colour/colours257_reduced.bmp"));
    ASSERT_EQ(picture.PixelFormat(), pf8bit);
    ASSERT_EQ(picture.PaletteEntries().size(), 236u);
    for (size_t i = 0; i < 236; ++i) {
        const TPaletteEntry got = picture.PaletteEntries()[i], want = expected.PaletteEntries()[i];
        EXPECT_EQ(std::make_tuple(got.Red, got.Green, got.Blue), std::make_tuple(want.Red, want.Green, want.Blue)) << i;
    }
    EXPECT_EQ(Indices(picture), Indices(expected));
    EXPECT_TRUE(picture.Transparent());
}

TEST(ReduceTo256Colours, EightBitPicturesStayAsTheyAre) {
    TBitmap picture = testing_support::RandomBitmap(13, 7, 3, pf8bit);
    const TPalette odd = {{1, 2, 3, 0}, {200, 100, 50, 0}};
    picture.SetPalette(odd);
    const auto before = testing_support::PixelBytes(picture);
    ReduceTo256Colours(picture);
    EXPECT_EQ(picture.PaletteEntries(), odd);
    EXPECT_EQ(testing_support::PixelBytes(picture), before);
}

TEST(ReduceTo256Colours, FewColouredFormatsBecomeExactEightBit) {
    for (TPixelFormat format : {pf1bit, pf4bit, pf16bit, pf32bit}) {
        TBitmap picture = testing_support::RandomBitmap(10, 6, 5, pf4bit);
        picture.SetPixelFormat(format);
        const auto colours = Colours(picture);
        ReduceTo256Colours(picture);
        EXPECT_EQ(picture.PixelFormat(), pf8bit) << format;
        EXPECT_EQ(Colours(picture), colours) << format;
    }
}

TEST(FitWithin, ThumbnailBox) {
    struct Case {
        int width, height;
        bool changed;
        int fittedWidth, fittedHeight;
    };
    const Case cases[] = {
        {1600, 1200, true, 160, 120}, {1200, 1600, true, 120, 160}, {100, 50, false, 100, 50},
        {160, 160, false, 160, 160},  {1000, 1000, true, 160, 160}, {333, 1000, true, 53, 160},
        {161, 10, true, 160, 10},     {1600, 15, true, 160, 2},     // 1.5 rounds to even
        {1600, 25, true, 160, 2},     // 2.5 rounds to even
        {1000, 3, true, 160, 0},      {50, 161, true, 50, 160},
    };
    for (const Case& c : cases) {
        int width = c.width, height = c.height;
        EXPECT_EQ(FitWithin(width, height, 160, 160), c.changed) << c.width << "x" << c.height;
        EXPECT_EQ(width, c.fittedWidth) << c.width << "x" << c.height;
        EXPECT_EQ(height, c.fittedHeight) << c.width << "x" << c.height;
    }
    int width = 0, height = 0;
    EXPECT_THROW(FitWithin(width, height, -1, -1), EZeroDivide);
}

TEST(GreyMaskTo8Bit, TheBlueByteBecomesTheIndexIntoAGreyRamp) {
    TBitmap mask(3, 2, pf24bit);
    mask.SetPixel(0, 0, RGBColor(30, 20, 10));  // blue, green, red bytes 10, 20, 30
    mask.SetPixel(2, 1, RGBColor(255, 255, 255));
    mask.SetPixelFormat(pf32bit);
    mask.SetTransparent(true);
    GreyMaskTo8Bit(mask);
    ASSERT_EQ(mask.PixelFormat(), pf8bit);
    EXPECT_EQ(mask.PaletteEntries(), GreyRampPalette());
    EXPECT_EQ(mask.PixelIndex(0, 0), 10);
    EXPECT_EQ(mask.PixelIndex(1, 0), 0);
    EXPECT_EQ(mask.PixelIndex(2, 1), 255);
    EXPECT_TRUE(mask.Transparent());
}
