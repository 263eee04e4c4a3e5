#include <gtest/gtest.h>

#include "FilterTestPictures.h"
#include "ReferenceFilters.h"
#include "images/Effector/CustomFilter.h"
#include "platform/Exceptions.h"
#include "support/TestPictures.h"

using filter_tests::ExpectSamePicture;
using filter_tests::Filled;
using testing_support::RandomBitmap;

namespace {

const std::vector<std::string> kTableNames = {
    "Blur",       "BlurMore",   "BlurSmall", "BlurEdge",   "Sharpen",  "POSTER",      "ColorEmboss",
    "ColorEmboss2", "ColorEmbossDeko", "ColorEmbossBoko", "Laplacian8", "Laplacian4", "Soften",
    "FindEdge",   "Hipass",     "EdgeEnhance", "SoftenLess", "Bure",    "Test"};

// Top rows of one grey value, bottom rows of another.
TBitmap HorizontalBoundary(int width, int brightRows, int darkRows, uint8_t bright, uint8_t dark) {
    TBitmap bitmap = Filled(width, brightRows + darkRows, dark, dark, dark);
    bitmap.FillRect(Rect(0, 0, width, brightRows), RGBColor(bright, bright, bright));
    return bitmap;
}

}  // namespace

TEST(NamedFilters, TheTableHoldsEveryNameInOrder) {
    EXPECT_EQ(NamedFilterNames(), kTableNames);
    for (const std::string& name : kTableNames) EXPECT_TRUE(IsNamedFilter(name)) << name;
    EXPECT_FALSE(IsNamedFilter("blur"));
}

TEST(NamedFilters, EveryFilterMatchesTheStepByStepConvolution) {
    uint32_t seed = 1;
    for (const std::string& name : kTableNames)
        for (const auto& [w, h] : filter_tests::OddSizes()) {
            const TBitmap original = RandomBitmap(w, h, ++seed);
            TBitmap expected = original, actual = original;
            reference::ApplyNamedFilter(expected, name);
            ApplyNamedFilter(actual, name);
            SCOPED_TRACE(testing::Message() << name << " " << w << "x" << h);
            ExpectSamePicture(actual, expected);
        }
}

TEST(NamedFilters, OtherFormatsAreConvertedAndFilteredAsTwentyFourBit) {
    uint32_t seed = 500;
    for (TPixelFormat format : {pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf32bit, pfDevice})
        for (const char* name : {"FindEdge", "Test"}) {
            const TBitmap original = RandomBitmap(19, 11, ++seed, format);
            TBitmap expected = original, actual = original;
            reference::ApplyNamedFilter(expected, name);
            ApplyNamedFilter(actual, name);
            SCOPED_TRACE(testing::Message() << name << " format " << format);
            EXPECT_EQ(actual.PixelFormat(), pf24bit);
            ExpectSamePicture(actual, expected);
        }
}

TEST(NamedFilters, NamesWithoutKernelAndUnknownNamesLeaveThePictureAlone) {
    const TBitmap original = RandomBitmap(6, 5, 3, pf8bit);
    for (const char* name : {"ColorEmboss", "EdgeEnhance", "blur", "BLURMORE", "findedge", "", "Blur ", "Unknown"}) {
        TBitmap picture = original;
        ApplyNamedFilter(picture, name);
        SCOPED_TRACE(name);
        ExpectSamePicture(picture, original);
    }
}

TEST(NamedFilters, UniformPictures) {
    const struct {
        const char* name;
        uint8_t expected;  // of a picture filled with 77
    } cases[] = {{"Blur", 77}, {"BlurMore", 77}, {"FindEdge", 0}, {"Laplacian8", 0}, {"Laplacian4", 0}};
    for (const auto& c : cases) {
        TBitmap picture = Filled(9, 7, 77, 77, 77);
        ApplyNamedFilter(picture, c.name);
        SCOPED_TRACE(c.name);
        ExpectSamePicture(picture, Filled(9, 7, c.expected, c.expected, c.expected));
    }
}

TEST(NamedFilters, FindEdgeMarksBothSidesOfAHorizontalBoundary) {
    TBitmap picture = HorizontalBoundary(4, 3, 3, 200, 50);
    ApplyNamedFilter(picture, "FindEdge");
    const uint8_t expectedRows[] = {0, 0, 255, 255, 0, 0};
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 4; ++x) {
            const uint8_t v = expectedRows[y];
            ASSERT_EQ(picture.Pixel(x, y), RGBColor(v, v, v)) << x << "," << y;
        }
}

TEST(NamedFilters, DivisionTruncatesBeforeTheBiasAndTheResultIsClamped) {
    // Sharpen: a black centre among white neighbours sums to -2040, -102 after
    // the division, stored as 0.
    TBitmap sharpen = Filled(3, 3, 255, 255, 255);
    sharpen.SetPixel(1, 1, clBlack);
    ApplyNamedFilter(sharpen, "Sharpen");
    EXPECT_EQ(sharpen.Pixel(1, 1), clBlack);

    // Test adds 290 after dividing: black becomes white.
    TBitmap test = Filled(4, 4, 0, 0, 0);
    ApplyNamedFilter(test, "Test");
    ExpectSamePicture(test, Filled(4, 4, 255, 255, 255));

    // Soften of a single bright pixel on black: each neighbour gets 2 * 100 / 16
    // = 12.5, truncated to 12; the centre itself (weight 0) stays 0.
    TBitmap soften = Filled(3, 3, 0, 0, 0);
    soften.SetPixel(1, 1, RGBColor(100, 100, 100));
    ApplyNamedFilter(soften, "Soften");
    EXPECT_EQ(soften.Pixel(0, 0), RGBColor(12, 12, 12));
    EXPECT_EQ(soften.Pixel(1, 1), clBlack);
}

TEST(NamedFilters, ASinglePixelRepeatsItselfAsEveryNeighbour) {
    TBitmap picture = Filled(1, 1, 10, 20, 30);
    ApplyNamedFilter(picture, "Blur");
    EXPECT_EQ(picture.Pixel(0, 0), RGBColor(10, 20, 30));
}

TEST(Convolve, KernelsTooLargeForSixteenBitSumsGiveTheSameBytes) {
    // Weights whose sums leave the 16-bit range, negative divisors and biases
    // far outside a byte.
    const struct {
        std::array<int16_t, 9> kernel;
        int32_t divisor, bias;
    } cases[] = {
        {{32767, -32768, 1000, -5, 7, 300, -300, 2, 1}, 977, -3},
        {{-1, -2, -3, 4, 100, 4, -3, -2, -1}, -7, 300},
        {{1, 1, 1, 1, 1, 1, 1, 1, 1}, 9, -2147483647},
        {{0, 0, 0, 0, 1, 0, 0, 0, 0}, 1, 2147483647},
    };
    uint32_t seed = 70;
    for (const auto& c : cases)
        for (const auto& [w, h] : {std::pair{1, 1}, std::pair{5, 3}, std::pair{23, 17}}) {
            const TBitmap original = RandomBitmap(w, h, ++seed);
            TBitmap expected = original, actual = original;
            reference::Convolve(expected, 1, c.kernel.data(), c.divisor, c.bias);
            Convolve3x3(actual, c.kernel, c.divisor, c.bias);
            ExpectSamePicture(actual, expected);
        }
}

TEST(Convolve, FiveByFiveKernelsMatchTheStepByStepConvolution) {
    std::mt19937 random(5);
    for (int round = 0; round < 6; ++round) {
        std::array<int16_t, 25> kernel{};
        const int range = round < 3 ? 9 : 3000;  // 16-bit sums, then 32-bit ones
        for (auto& w : kernel) w = static_cast<int16_t>(int(random() % unsigned(2 * range + 1)) - range);
        const int32_t divisor = int32_t(random() % 40) + 1;
        for (const auto& [w, h] : {std::pair{1, 1}, std::pair{3, 2}, std::pair{4, 6}, std::pair{37, 29}}) {
            const TBitmap original = RandomBitmap(w, h, random());
            TBitmap expected = original, actual = original;
            reference::Convolve(expected, 2, kernel.data(), divisor, 5);
            Convolve5x5(actual, kernel, divisor, 5);
            ExpectSamePicture(actual, expected);
        }
    }
}

TEST(Convolve, ADivisorOfZeroRaisesBeforeAnythingChanges) {
    const TBitmap original = RandomBitmap(4, 4, 8, pf8bit);
    TBitmap picture = original;
    EXPECT_THROW(Convolve3x3(picture, {1, 1, 1, 1, 1, 1, 1, 1, 1}, 0, 0), EZeroDivide);
    ExpectSamePicture(picture, original);
}

TEST(Convolve, EmptyPictureIsOnlyConverted) {
    TBitmap picture(0, 3, pf8bit);
    ApplyNamedFilter(picture, "Blur");
    EXPECT_EQ(picture.PixelFormat(), pf24bit);
    EXPECT_EQ(picture.Height(), 3);
}
