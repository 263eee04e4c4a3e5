#include <gtest/gtest.h>

#include "platform/Exceptions.h"
#include "resample/Contributors.h"
#include "resample/ResampleEx.h"
#include "support/TestPictures.h"

using testing_support::PixelBytes;
using testing_support::RandomBitmap;

namespace {

TBitmap Resampled(const TBitmap& source, int32_t w, int32_t h, KernelSetup setup) {
    TBitmap picture = source;
    KernelResample(picture, w, h, setup);
    return picture;
}

}  // namespace

TEST(KernelResample, SameSizeIsTheIdentityForInterpolatingKernels) {
    const TBitmap source = RandomBitmap(17, 9, 1);
    for (KernelSetup setup : {Lanczos3Setup, Lanczos2Setup, HermiteSetup, LagrangeSetup, BicubicSetup, BilinearSetup})
        EXPECT_EQ(PixelBytes(Resampled(source, 17, 9, setup)), PixelBytes(source));
}

TEST(KernelResample, SameSizeMitchellBlurs) {
    TBitmap source(4, 1, pf24bit);
    const uint8_t values[4] = {10, 200, 30, 250};
    for (int x = 0; x < 4; ++x) source.ScanLine(0)[3 * x] = values[x];
    const TBitmap result = Resampled(source, 4, 1, MitchellSetup);
    // The vertical pass of a one-row picture divides 228 * v by 228.
    EXPECT_EQ(result.ScanLine(0)[0], (228 * 10 + 14 * 200) / 242);
    EXPECT_EQ(result.ScanLine(0)[3], (14 * 10 + 228 * 200 + 14 * 30) / 256);
    EXPECT_EQ(result.ScanLine(0)[6], (14 * 200 + 228 * 30 + 14 * 250) / 256);
    EXPECT_EQ(result.ScanLine(0)[9], (14 * 30 + 228 * 250) / 242);
}

TEST(KernelResample, OnePixelSourcesRepeatAndOneRowTargetsWork) {
    const TBitmap column = RandomBitmap(1, 5, 2);
    const TBitmap wide = Resampled(column, 9, 5, Lanczos3Setup);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 9; ++x) EXPECT_EQ(wide.Pixel(x, y), column.Pixel(0, y));
    const TBitmap row = RandomBitmap(6, 1, 3);
    const TBitmap tall = Resampled(row, 6, 4, BicubicSetup);
    for (int y = 0; y < 4; ++y) EXPECT_EQ(tall.Pixel(2, y), row.Pixel(2, 0));
    const TBitmap flat = Resampled(RandomBitmap(8, 8, 4), 3, 1, MitchellSetup);
    EXPECT_EQ(flat.Width(), 3);
    EXPECT_EQ(flat.Height(), 1);
}

TEST(KernelResample, SumsOutsideTheByteRangeClamp) {
    // A step edge makes the Lanczos lobes overshoot on both sides.
    const std::vector<uint8_t> values = {0, 0, 0, 255, 255, 255};
    TBitmap source(6, 1, pf24bit);
    for (int x = 0; x < 6; ++x) source.ScanLine(0)[3 * x] = values[size_t(x)];
    const TBitmap result = Resampled(source, 17, 1, Lanczos3Setup);
    Lanczos3Setup();
    const AxisContributors axis = BuildKernelContributors(6, 17, KernelTable, KernelTableLength);
    int below = 0, above = 0;
    for (int x = 0; x < 17; ++x) {
        int32_t w = 0, sum = 0;
        for (int32_t k = 0; k < axis.Count(x); ++k) {
            w += axis.List(x)[k].Weight;
            sum += axis.List(x)[k].Weight * values[size_t(axis.List(x)[k].Index)];
        }
        const int32_t raw = sum / w;
        const uint8_t stored = result.ScanLine(0)[3 * x];
        below += raw < 0;
        above += raw > 255;
        EXPECT_EQ(stored, raw < 0 ? 0 : raw > 255 ? 255 : raw) << x;
    }
    EXPECT_GT(below, 0);
    EXPECT_GT(above, 0);
}

TEST(KernelResample, ExtendedPrecisionCentresShowInThePixels) {
    // 3 -> 1280: target pixel 502 has centre 301, so with Bilinear it
    // weighs source 0 with 83 and source 1 with 173 (a centre of 302 would
    // give 82 and 174, and the value 173).
    TBitmap source(3, 1, pf24bit);
    source.SetPixel(0, 0, RGBColor(0, 0, 0));
    source.SetPixel(1, 0, RGBColor(0, 0, 255));
    source.SetPixel(2, 0, RGBColor(0, 0, 0));
    const TBitmap result = Resampled(source, 1280, 1, BilinearSetup);
    EXPECT_EQ(result.ScanLine(0)[3 * 502], 173 * 255 / 256);
}

TEST(TestResamplers, Test1EnlargingEqualsMitchell) {
    const TBitmap source = RandomBitmap(9, 6, 6);
    TBitmap test1 = source;
    Test1Resample(test1, 20, 13);
    EXPECT_EQ(PixelBytes(test1), PixelBytes(Resampled(source, 20, 13, MitchellSetup)));
    TBitmap test2 = RandomBitmap(100, 4, 7);
    const TBitmap expected = Resampled(test2, 50, 4, MitchellSetup);
    Test2Resample(test2, 50, 4);
    EXPECT_EQ(PixelBytes(test2), PixelBytes(expected));
}

TEST(Resamplers, ZeroSizesAndEmptyPicturesDivideByZeroAndKeepThePicture) {
    const TBitmap original = RandomBitmap(5, 4, 8, pf32bit);
    const ResampleRoutine routines[] = {Lanczos4Resample,        Test1Resample,       Test2Resample,
                                        AveragePixelResample,    NearestNeighborResample, BilinearV2Resample,
                                        LiftingBilinearResample};
    for (ResampleRoutine routine : routines) {
        for (auto [w, h] : {std::pair{0, 4}, std::pair{3, 0}}) {
            TBitmap picture = original;
            EXPECT_THROW(routine(picture, w, h), EZeroDivide);
            EXPECT_EQ(picture.PixelFormat(), pf24bit);
            EXPECT_EQ(picture.Width(), 5);
            EXPECT_EQ(picture.Pixel(4, 3), original.Pixel(4, 3));
        }
    }
    TBitmap picture = original;
    EXPECT_THROW(KernelResample(picture, 0, 2, GaussSetup), EZeroDivide);
    TBitmap empty;
    EXPECT_THROW(KernelResample(empty, 2, 2, GaussSetup), EZeroDivide);
    EXPECT_THROW(AveragePixelResample(empty, 2, 2), EZeroDivide);
    LiftingBilinearResample(empty, 2, 2);  // an empty picture is left alone
    EXPECT_TRUE(empty.Empty());
}

TEST(Resamplers, StrongReductionsAskForTwoStepsInsteadOfCrashing) {
    const TBitmap picture = RandomBitmap(1100, 2, 9);
    for (ResampleRoutine routine : {Lanczos4Resample, Test1Resample, Test2Resample}) {
        TBitmap copy = picture;
        EXPECT_THROW(routine(copy, 2, 2), EZeroDivide);
        EXPECT_EQ(copy.Width(), 1100);
    }
    TBitmap copy = picture;
    EXPECT_THROW(KernelResample(copy, 2, 2, BilinearSetup), EZeroDivide);
    TBitmap justEnough = RandomBitmap(1024, 2, 9);  // exactly 1/512 still works
    KernelResample(justEnough, 2, 2, BilinearSetup);
    EXPECT_EQ(justEnough.Width(), 2);
}
