#include <gtest/gtest.h>

#include "FilterTestPictures.h"
#include "ReferenceFilters.h"
#include "images/Effector/CustomFilter.h"
#include "support/TestPictures.h"

using filter_tests::ExpectSamePicture;
using filter_tests::Filled;
using filter_tests::PatchyBitmap;
using testing_support::RandomBitmap;

namespace {

// Nine different colours of luma 100, one per pixel of a 3 x 3 picture.
TBitmap EqualLumaColours() {
    const TColor colours[9] = {RGBColor(100, 100, 100), RGBColor(0, 171, 0),  RGBColor(23, 152, 37),
                               RGBColor(46, 133, 74),   RGBColor(69, 114, 111), RGBColor(92, 95, 148),
                               RGBColor(115, 84, 148),  RGBColor(0, 128, 222),  RGBColor(46, 105, 222)};
    TBitmap bitmap(3, 3, pf24bit);
    for (int i = 0; i < 9; ++i) bitmap.SetPixel(i % 3, i / 3, colours[i]);
    return bitmap;
}

int LumaOf(TColor c) { return (77 * GetRValue(c) + 150 * GetGValue(c) + 29 * GetBValue(c)) >> 8; }

}  // namespace

TEST(EdgePreservingMedian, MatchesTheStepByStepFilterOnPicturesOfEverySize) {
    uint32_t seed = 20;
    for (const auto& [w, h] : filter_tests::OddSizes())
        for (const TBitmap& original : {RandomBitmap(w, h, ++seed), PatchyBitmap(w, h, ++seed),
                                        PatchyBitmap(w, h, ++seed, 0), PatchyBitmap(w, h, ++seed, 40)}) {
            TBitmap expected = original, actual = original;
            reference::EdgePreservingMedian(expected);
            EdgePreservingMedian(actual);
            SCOPED_TRACE(testing::Message() << w << "x" << h);
            ExpectSamePicture(actual, expected);
        }
}

TEST(EdgePreservingMedian, LargePictureAndOtherFormatsMatchTheStepByStepFilter) {
    // A 32-bit picture keeps its own fourth bytes; the others get zeros.
    const struct {
        int w, h;
        TPixelFormat format;
    } cases[] = {{389, 263, pf24bit}, {45, 31, pf32bit}, {45, 31, pfDevice}, {30, 20, pf8bit}, {23, 9, pf15bit},
                 {17, 13, pf4bit}};
    uint32_t seed = 300;
    for (const auto& c : cases) {
        const TBitmap original = RandomBitmap(c.w, c.h, ++seed, c.format);
        TBitmap expected = original, actual = original;
        reference::EdgePreservingMedian(expected);
        EdgePreservingMedian(actual);
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " format " << c.format);
        EXPECT_EQ(actual.PixelFormat(), pf32bit);
        ExpectSamePicture(actual, expected);
    }
}

TEST(EdgePreservingMedian, UniformPictureComesBackUnchangedAsThirtyTwoBit) {
    TBitmap picture = Filled(12, 7, 30, 140, 250);
    EdgePreservingMedian(picture);
    EXPECT_EQ(picture.PixelFormat(), pf32bit);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 12; ++x) {
            ASSERT_EQ(picture.Pixel(x, y), RGBColor(30, 140, 250));
            ASSERT_EQ(picture.ScanLine(y)[4 * x + 3], 0);
        }
}

TEST(EdgePreservingMedian, ABrightDotIsDroppedByTheMedianAndKeptByTheMask) {
    TBitmap dot = Filled(9, 9, 20, 20, 20);
    dot.SetPixel(4, 4, clWhite);
    TBitmap median = dot;
    Median3x3(median);
    EXPECT_EQ(median.Pixel(4, 4), RGBColor(20, 20, 20));

    // The dot is an edge, so the mask keeps more of it than the even mix of
    // a flat area would (20 + floor(235 * 127 / 256) = 136); the dark
    // surroundings far from it are flat and stay as they are.
    EdgePreservingMedian(dot);
    const uint8_t kept = GetRValue(dot.Pixel(4, 4));
    EXPECT_GT(kept, 136);
    EXPECT_LT(kept, 255);
    EXPECT_EQ(dot.Pixel(4, 4), RGBColor(kept, kept, kept));
    EXPECT_EQ(dot.Pixel(0, 0), RGBColor(20, 20, 20));
}

TEST(EdgePreservingMedian, EmptyPictureKeepsItsSizeAndBecomesThirtyTwoBit) {
    TBitmap picture(0, 4, pf8bit);
    EdgePreservingMedian(picture);
    EXPECT_EQ(picture.PixelFormat(), pf32bit);
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_EQ(picture.Height(), 4);
}

TEST(Median3x3, MatchesTheBubblePassesIncludingTheirOrderOfEqualLumas) {
    uint32_t seed = 40;
    for (const auto& [w, h] : filter_tests::OddSizes())
        for (const TBitmap& original : {RandomBitmap(w, h, ++seed), PatchyBitmap(w, h, ++seed, 1)}) {
            TBitmap expected = original, actual = original;
            reference::Median3x3(expected);
            Median3x3(actual);
            SCOPED_TRACE(testing::Message() << w << "x" << h);
            ExpectSamePicture(actual, expected);
        }
}

TEST(Median3x3, AmongNineEqualLumasTheFifthGatheredWins) {
    TBitmap picture = EqualLumaColours();
    for (int i = 0; i < 9; ++i) ASSERT_EQ(LumaOf(picture.Pixel(i % 3, i / 3)), 100) << i;
    const TColor centre = picture.Pixel(1, 1);
    Median3x3(picture);
    EXPECT_EQ(picture.Pixel(1, 1), centre);
}

TEST(Median3x3, EqualLumasAfterLargerOnesKeepTheirGatheringOrder) {
    // Centre window: lumas 200, 100a, 100b / 100c, 250, 100d / 100e, 0, 0. Two
    // larger values come first, so the third of the equal ones (100c) wins.
    TBitmap picture = EqualLumaColours();
    picture.SetPixel(0, 0, RGBColor(200, 200, 200));
    picture.SetPixel(1, 1, RGBColor(250, 250, 250));
    picture.SetPixel(1, 2, clBlack);
    picture.SetPixel(2, 2, clBlack);
    const TColor third = picture.Pixel(0, 1);
    Median3x3(picture);
    EXPECT_EQ(picture.Pixel(1, 1), third);
}

TEST(MedianBuildingBlocks, ExtendBorderRepeatsTheNearestEdgePixel) {
    for (int n : {1, 2, 5}) {
        const TBitmap original = RandomBitmap(3, 2, 7);
        TBitmap expected = original, actual = original;
        reference::ExtendBorder(expected, n);
        ExtendBorder(actual, n);
        ASSERT_EQ(actual.Width(), 3 + 2 * n);
        ExpectSamePicture(actual, expected);
        EXPECT_EQ(actual.Pixel(0, 0), original.Pixel(0, 0));
        EXPECT_EQ(actual.Pixel(2 + 2 * n, 1 + 2 * n), original.Pixel(2, 1));
    }
}

TEST(MedianBuildingBlocks, ThresholdMaskRoundsTheWeightedSum) {
    const struct {
        uint8_t r, g, b;
        int threshold;
        bool white;
    } cases[] = {
        {30, 33, 40, 32, true},      // (440 + 1947 + 900) / 100 = 32.87 -> 33
        {33, 32, 30, 32, false},     // 32.08 -> 32
        {32, 32, 32, 32, false},
        {0, 0, 50, 5, true},         // 550 / 100 = 5.5, halfway: up to 6
        {0, 0, 50, 6, false},
        {255, 255, 255, 255, true},  // a threshold of 255 tests >= 255
        {250, 255, 255, 255, false},  // 253.5 -> 254
        {0, 0, 0, -1, true},
    };
    for (const auto& c : cases) {
        TBitmap picture = Filled(2, 1, c.r, c.g, c.b);
        ThresholdMask(picture, c.threshold);
        EXPECT_EQ(picture.Pixel(1, 0), c.white ? clWhite : clBlack)
            << int(c.r) << "," << int(c.g) << "," << int(c.b) << " threshold " << c.threshold;
    }
    uint32_t seed = 3;
    for (int threshold : {0, 32, 128, 254, 255}) {
        const TBitmap original = RandomBitmap(40, 30, ++seed);
        TBitmap expected = original, actual = original;
        reference::ThresholdMask(expected, threshold);
        ThresholdMask(actual, threshold);
        ExpectSamePicture(actual, expected);
    }
}

TEST(MedianBuildingBlocks, AddBrightnessClampsAndIgnoresAmountsOutOfRange) {
    const TBitmap original = RandomBitmap(5, 3, 9, pf8bit);
    for (int amount : {0, 256, -256, -300, 1000}) {
        TBitmap picture = original;
        AddBrightness(picture, amount);
        ExpectSamePicture(picture, original);
    }
    TBitmap picture(3, 1, pf24bit);
    picture.SetPixel(0, 0, RGBColor(0, 0, 0));
    picture.SetPixel(1, 0, RGBColor(126, 127, 200));
    picture.SetPixel(2, 0, RGBColor(5, 6, 7));
    AddBrightness(picture, 128);
    EXPECT_EQ(picture.Pixel(0, 0), RGBColor(128, 128, 128));
    EXPECT_EQ(picture.Pixel(1, 0), RGBColor(254, 255, 255));
    AddBrightness(picture, -255);
    EXPECT_EQ(picture.Pixel(2, 0), RGBColor(0, 0, 0));
}

TEST(MedianBuildingBlocks, LumaGreyUsesTheIntegerLuma) {
    TBitmap picture = Filled(1, 1, 99, 200, 12, pf32bit);
    LumaGrey(picture);
    EXPECT_EQ(picture.PixelFormat(), pf24bit);
    EXPECT_EQ(picture.Pixel(0, 0), RGBColor(148, 148, 148));
}

TEST(MedianBuildingBlocks, AlphaFromMaskAndBlendNeedThirtyTwoBitPictures) {
    TBitmap top = Filled(2, 1, 0, 100, 255, pf32bit);
    TBitmap bottom = Filled(2, 1, 255, 100, 0, pf32bit);
    TBitmap mask = Filled(2, 1, 0, 0, 255, pf8bit);  // blue byte 255
    mask.SetPixel(1, 0, RGBColor(0, 0, 128));

    TBitmap top24 = Filled(2, 1, 1, 2, 3);
    TBitmap untouched = mask;
    SetAlphaFromMask(top24, untouched);  // not 32-bit: nothing happens
    EXPECT_EQ(untouched.PixelFormat(), pf8bit);

    SetAlphaFromMask(top, mask);
    EXPECT_EQ(mask.PixelFormat(), pf24bit);
    EXPECT_EQ(top.ScanLine(0)[3], 255);
    EXPECT_EQ(top.ScanLine(0)[7], 128);

    TBitmap result(1, 1, pf8bit);
    AlphaBlend(result, top24, bottom, 255);  // top not 32-bit: nothing happens
    EXPECT_EQ(result.PixelFormat(), pf8bit);

    AlphaBlend(result, top, bottom, 255);
    EXPECT_EQ(result.PixelFormat(), pf32bit);
    ASSERT_EQ(result.Width(), 2);
    // c = 254 and 127; negative differences are floored:
    // 255 + floor(-255 * 254 / 256) = 1, 0 + floor(255 * 254 / 256) = 253.
    EXPECT_EQ(result.Pixel(0, 0), RGBColor(1, 100, 253));
    EXPECT_EQ(result.Pixel(1, 0), RGBColor(255 - 127, 100, 126));

    TBitmap expected(1, 1, pf8bit);
    reference::AlphaBlend(expected, top, bottom, 255);
    ExpectSamePicture(result, expected);
}
