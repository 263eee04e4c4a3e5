#include <gtest/gtest.h>

#include "FilterTestPictures.h"
#include "ReferenceFilters.h"
#include "images/Effector/DCTCoreUnit.h"
#include "images/Effector/DCTUtils.h"
#include "support/TestPictures.h"

using filter_tests::ExpectSamePicture;
using filter_tests::Filled;
using testing_support::RandomBitmap;

namespace {

// Grey picture whose columns cycle through the given values.
TBitmap GreyColumns(int width, int height, const std::vector<uint8_t>& values) {
    TBitmap bitmap(width, height, pf24bit);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint8_t v = values[size_t(x) % values.size()];
            bitmap.SetPixel(x, y, RGBColor(v, v, v));
        }
    return bitmap;
}

}  // namespace

TEST(DCTCoreUnit, RangeLimitTableHasTheSampleLayoutAndLivesBetweenStartAndShutDown) {
    FinalizeDCTCoreUnit();
    EXPECT_EQ(DCTRangeLimit, nullptr);
    InitializeDCTCoreUnit();
    const uint8_t* first = DCTRangeLimit;
    ASSERT_NE(first, nullptr);
    InitializeDCTCoreUnit();  // a second start-up keeps the table
    EXPECT_EQ(DCTRangeLimit, first);
    for (int i = 0; i < DCTRangeLimitEntries; ++i) {
        int expected = 0;
        if (i >= 256 && i < 512) expected = i - 256;
        else if (i >= 512 && i < 896) expected = 255;
        else if (i >= 1280) expected = i - 1280;
        ASSERT_EQ(DCTRangeLimit[i], expected) << i;
    }
    for (int x = -512; x <= 511; ++x)
        ASSERT_EQ(DCTRangeLimit[DCTRangeLimitCentre + (x & 1023)], std::clamp(x + 128, 0, 255)) << x;
}

TEST(DCTCoreUnit, ForwardTransformOfAFlatBlockIsItsSumAlone) {
    double block[64];
    std::fill(block, block + 64, -3.0);
    ForwardDCTFloat(block);
    EXPECT_EQ(block[0], -192.0);
    for (int i = 1; i < 64; ++i) EXPECT_EQ(block[i], 0.0) << i;
}

TEST(DCTCoreUnit, InverseRoundsTiesToEvenAndWrapsThroughTheRangeTable) {
    // A block with only a DC value d comes back as d in every element, so
    // each case shows the last step alone: n = d rounded (ties to even), then
    // DCTRangeLimit[384 + ((n + 4) >> 3 & 1023)].
    const struct {
        double dc;
        int expected;
    } cases[] = {
        {3.7, 129},     // 4: truncating to 3 would give 128
        {3.4, 128},
        {-4.5, 128},    // -4: rounding half away from zero (-5) would give 127
        {-5.5, 127},
        {1000, 253},    // 125 + 128
        {4000, 255},    // 500: clamped
        {4096, 0},      // 512 wraps to the table's low end
        {-1016, 1},     // -127
        {-1024, 0},     // -128
        {-1030, 0},     // -129: clamped
        {-4100, 0},     // -512
    };
    for (const auto& c : cases) {
        double block[64] = {};
        block[0] = c.dc;
        InverseDCTFloat(block);
        for (int i = 0; i < 64; ++i) ASSERT_EQ(block[i], c.expected) << "dc " << c.dc << " element " << i;
    }
}

TEST(DCTHighCut, GreyStepBlockGivesTheKnownRows) {
    const struct {
        int cut;
        std::vector<int> row;
    } cases[] = {
        {7, {46, 61, 34, 69, 181, 216, 189, 204}},
        {6, {46, 61, 34, 69, 181, 216, 189, 204}},
        {5, {59, 39, 39, 88, 162, 212, 211, 191}},
    };
    for (const auto& c : cases) {
        TBitmap picture = GreyColumns(8, 8, {50, 50, 50, 50, 200, 200, 200, 200});
        DCTHighCut(picture, c.cut);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const auto v = uint8_t(c.row[size_t(x)]);
                ASSERT_EQ(picture.Pixel(x, y), RGBColor(v, v, v)) << "cut " << c.cut << " at " << x << "," << y;
            }
    }
}

TEST(DCTHighCut, CutValuesOutsideOneToSevenChangeNothingNotEvenTheFormat) {
    const TBitmap original = RandomBitmap(13, 9, 4, pf8bit);
    for (int cut : {0, 8, 9, -1, 1000}) {
        TBitmap picture = original;
        DCTHighCut(picture, cut);
        ExpectSamePicture(picture, original);
    }
}

TEST(DCTHighCut, FlatBlocksKeepRedAndBlueAndGreyButNotAlwaysGreen) {
    // The colour step does not invert the luma exactly: green of a flat
    // (99, 200, 12) comes back one lower.
    const struct {
        uint8_t r, g, b;
        uint8_t expectedGreen;
    } cases[] = {{99, 200, 12, 199}, {128, 128, 128, 128}, {0, 0, 0, 0}, {255, 255, 255, 255}, {255, 0, 0, 0}};
    for (const auto& c : cases)
        for (int cut = 1; cut <= 7; ++cut)
            for (int size : {1, 8, 11}) {
                TBitmap picture = Filled(size, size, c.r, c.g, c.b);
                DCTHighCut(picture, cut);
                ASSERT_EQ(picture.Width(), size);
                for (int y = 0; y < size; ++y)
                    for (int x = 0; x < size; ++x)
                        ASSERT_EQ(picture.Pixel(x, y), RGBColor(c.r, c.expectedGreen, c.b))
                            << int(c.r) << "," << int(c.g) << "," << int(c.b) << " cut " << cut << " size " << size;
            }
}

TEST(DCTHighCut, MatchesTheStepByStepCutOnPicturesOfEverySize) {
    uint32_t seed = 10;
    for (const auto& [w, h] : filter_tests::OddSizes())
        for (int cut = 1; cut <= 7; ++cut) {
            for (const TBitmap& original : {RandomBitmap(w, h, ++seed), filter_tests::PatchyBitmap(w, h, ++seed)}) {
                TBitmap expected = original, actual = original;
                reference::DCTHighCut(expected, cut);
                DCTHighCut(actual, cut);
                SCOPED_TRACE(testing::Message() << w << "x" << h << " cut " << cut);
                ExpectSamePicture(actual, expected);
            }
        }
}

TEST(DCTHighCut, LargePictureAndOtherFormatsMatchTheStepByStepCut) {
    const struct {
        int w, h;
        TPixelFormat format;
    } cases[] = {{517, 383, pf24bit}, {61, 29, pf32bit}, {33, 17, pf8bit}, {20, 12, pf16bit}, {9, 9, pf1bit}};
    uint32_t seed = 99;
    for (const auto& c : cases)
        for (int cut : {7, 6, 5}) {
            const TBitmap original = RandomBitmap(c.w, c.h, ++seed, c.format);
            TBitmap expected = original, actual = original;
            reference::DCTHighCut(expected, cut);
            DCTHighCut(actual, cut);
            SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " format " << c.format << " cut " << cut);
            EXPECT_EQ(actual.PixelFormat(), pf24bit);
            ExpectSamePicture(actual, expected);
        }
}

TEST(DCTHighCut, TheRepeatedBorderReachesIntoTheLastBlocks) {
    // 10 x 10: the blocks of the last row and column are filled from column
    // and row 9; changing only those pixels changes what the cut gives for
    // the pixels beside them.
    TBitmap a = GreyColumns(10, 10, {10, 240, 30, 220, 50, 200, 70, 180, 90, 160});
    TBitmap b = a;
    for (int y = 0; y < 10; ++y) b.SetPixel(9, y, RGBColor(0, 0, 0));
    DCTHighCut(a, 5);
    DCTHighCut(b, 5);
    EXPECT_NE(a.Pixel(8, 0), b.Pixel(8, 0));
    EXPECT_EQ(a.Pixel(7, 0), b.Pixel(7, 0));  // another block
    EXPECT_EQ(a.Width(), 10);
    EXPECT_EQ(a.Height(), 10);
}

TEST(DCTHighCut, EmptyPictureIsOnlyConverted) {
    TBitmap picture(0, 5, pf8bit);
    DCTHighCut(picture, 7);
    EXPECT_EQ(picture.PixelFormat(), pf24bit);
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_EQ(picture.Height(), 5);
}
