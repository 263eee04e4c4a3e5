// The public resamplers without a kernel table against their references:
// the same bytes for every picture and size pair, on every instruction set
// this processor runs and at any thread count, and the same failures.

#include <gtest/gtest.h>

#include <hwy/targets.h>

#include <array>
#include <random>
#include <string>
#include <typeinfo>
#include <vector>

#include "platform/Exceptions.h"
#include "resample/ResampleEx.h"
#include "resample/ResampleReference.h"
#include "resample/ResampleThreads.h"
#include "support/TestPictures.h"
#include "resample/EngineTest.h"

using testing_support::PixelBytes;
using testing_support::RandomBitmap;

namespace {

struct Resampler {
    const char* Name;
    ResampleRoutine Fast;
    ResampleRoutine Reference;
};

const std::array<Resampler, 4> kResamplers = {{
    {"Average", AveragePixelResample, ResampleReference::AveragePixelResample},
    {"Nearest", NearestNeighborResample, ResampleReference::NearestNeighborResample},
    {"BilinearV2", BilinearV2Resample, ResampleReference::BilinearV2Resample},
    {"Lifting", LiftingBilinearResample, ResampleReference::LiftingBilinearResample},
}};

enum class Fill { Random, White };

struct SizeCase {
    int32_t SourceWidth, SourceHeight, Width, Height;
    Fill Pixels = Fill::Random;
    TPixelFormat Format = pf24bit;
};

std::vector<SizeCase> SizeCases() {
    std::vector<SizeCase> cases = {
        // Same size, and whole enlargements: one tap per axis.
        {1, 1, 1, 1}, {7, 5, 7, 5}, {2, 2, 4, 4}, {4, 3, 16, 12}, {5, 7, 10, 7},
        // Non-integer enlargements: two taps per axis.
        {10, 6, 15, 9}, {5, 4, 8, 7}, {37, 11, 53, 17}, {67, 5, 129, 3},
        // Reductions, whole and not.
        {64, 48, 16, 12}, {64, 48, 32, 24}, {100, 75, 33, 25}, {257, 259, 2, 3}, {41, 29, 17, 13},
        // One axis up, the other down.
        {40, 5, 13, 30}, {5, 40, 30, 13},
        // Fractional coverages whose product is 1023 modulo 1024: the floor matters.
        {2, 5, 26, 3}, {5, 2, 3, 26}, {2, 8, 10, 6}, {3, 5, 39, 3},
        // One-pixel rows and columns.
        {9, 1, 4, 1}, {1, 9, 1, 20}, {1, 1, 7, 3}, {7, 3, 1, 1}, {1, 1, 150, 150},
        // Extreme ratios; 3 -> 1000 has coverages of 1 and 2 whose products floor to 0.
        {3, 1, 1000, 1}, {1000, 1, 3, 1}, {1, 3, 1, 1000}, {1, 1000, 1, 3}, {3, 3, 1000, 400}, {333, 1, 1, 1},
        // Weighted sums of white just inside and beyond 32 bits, and far beyond.
        {128, 128, 1, 1, Fill::White}, {129, 129, 1, 1, Fill::White}, {300, 300, 1, 1, Fill::White},
        {300, 300, 1, 1}, {250, 260, 2, 1, Fill::White},
        // Enough output rows for several bands per thread.
        {50, 300, 100, 900}, {300, 1200, 100, 600}, {120, 400, 100, 1000}, {700, 90, 1400, 181},
        // Pictures converted to 24 bits first.
        {9, 7, 4, 5, Fill::Random, pf8bit}, {9, 7, 13, 11, Fill::Random, pf32bit}, {17, 5, 6, 9, Fill::Random, pf1bit},
    };
    std::mt19937 random(77);
    std::uniform_int_distribution<int32_t> size(1, 90);
    for (int i = 0; i < 16; ++i) cases.push_back({size(random), size(random), size(random), size(random)});
    return cases;
}

TBitmap SourcePicture(const SizeCase& c, uint32_t seed) {
    TBitmap picture = RandomBitmap(c.SourceWidth, c.SourceHeight, seed, c.Format);
    if (c.Pixels == Fill::White) picture.FillRect(Rect(0, 0, c.SourceWidth, c.SourceHeight), clWhite);
    return picture;
}

std::string Describe(const Resampler& resampler, const SizeCase& c) {
    return std::string(resampler.Name) + " " + std::to_string(c.SourceWidth) + "x" + std::to_string(c.SourceHeight) +
           " -> " + std::to_string(c.Width) + "x" + std::to_string(c.Height);
}

// Where two 24-bit pictures of the same size first differ, or "" if nowhere.
std::string FirstDifference(const TBitmap& actual, const TBitmap& expected) {
    for (int y = 0; y < actual.Height(); ++y)
        for (int i = 0; i < 3 * actual.Width(); ++i)
            if (actual.ScanLine(y)[i] != expected.ScanLine(y)[i])
                return "x " + std::to_string(i / 3) + " y " + std::to_string(y) + " byte " + std::to_string(i % 3) +
                       ": " + std::to_string(actual.ScanLine(y)[i]) + " instead of " +
                       std::to_string(expected.ScanLine(y)[i]);
    return "";
}

// What a call leaves behind: the exception it raised, and the picture.
struct Outcome {
    std::string Error;
    TPixelFormat Format;
    int Width, Height;
    std::vector<uint8_t> Bytes;
    bool operator==(const Outcome&) const = default;
};

Outcome Attempt(ResampleRoutine routine, TBitmap picture, int32_t width, int32_t height) {
    std::string error;
    try {
        routine(picture, width, height);
    } catch (const std::exception& e) {
        error = std::string(typeid(e).name()) + ": " + e.what();
    }
    return {error, picture.PixelFormat(), picture.Width(), picture.Height(), PixelBytes(picture)};
}

class FastDirectResamplers : public EngineTest {};

}  // namespace

TEST_F(FastDirectResamplers, SameBytesAsTheReferenceOnEveryTargetAndThreadCount) {
    const std::vector<int64_t> targets = hwy::SupportedAndGeneratedTargets();
    uint32_t seed = 1;
    for (const SizeCase& c : SizeCases()) {
        const TBitmap source = SourcePicture(c, seed++);
        for (const Resampler& resampler : kResamplers) {
            SCOPED_TRACE(Describe(resampler, c));
            TBitmap expected = source;
            resampler.Reference(expected, c.Width, c.Height);
            for (const int64_t target : targets) {
                hwy::SetSupportedTargetsForTest(target);
                for (const int threads : {1, 2, 3}) {
                    SetResampleThreads(threads);
                    TBitmap picture = source;
                    resampler.Fast(picture, c.Width, c.Height);
                    ASSERT_EQ(picture.PixelFormat(), pf24bit);
                    ASSERT_EQ(picture.Width(), c.Width);
                    ASSERT_EQ(picture.Height(), c.Height);
                    ASSERT_EQ(FirstDifference(picture, expected), "")
                        << hwy::TargetName(target) << ", " << threads << " threads";
                }
            }
        }
    }
}

TEST_F(FastDirectResamplers, VeryWideSourcesAndTargetsMatchTheReference) {
    const int32_t wide = (1 << 21) + 5;
    const std::vector<SizeCase> cases = {{3, 2, wide, 1}, {wide, 1, 4, 1}};
    uint32_t seed = 500;
    for (const SizeCase& c : cases) {
        const TBitmap source = SourcePicture(c, seed++);
        for (const Resampler& resampler : kResamplers) {
            SCOPED_TRACE(Describe(resampler, c));
            TBitmap expected = source, picture = source;
            resampler.Reference(expected, c.Width, c.Height);
            resampler.Fast(picture, c.Width, c.Height);
            ASSERT_EQ(FirstDifference(picture, expected), "");
        }
    }
}

TEST_F(FastDirectResamplers, FailSameWayAsTheReference) {
    struct FailureCase {
        const char* Name;
        TBitmap Picture;
        int32_t Width, Height;
        size_t PixelBytesCap;
    };
    const std::vector<FailureCase> cases = {
        {"zero width", RandomBitmap(5, 4, 1, pf8bit), 0, 3, 0},
        {"zero height", RandomBitmap(5, 4, 2, pf32bit), 3, 0, 0},
        {"negative width", RandomBitmap(5, 4, 3, pf8bit), -2, 3, 0},
        {"negative height", RandomBitmap(5, 4, 4), 3, -1, 0},
        {"empty picture", TBitmap(0, 4, pf32bit), 5, 5, 0},
        {"result too large", RandomBitmap(8, 8, 5, pf8bit), 300, 200, 4096},
    };
    for (const FailureCase& c : cases)
        for (const Resampler& resampler : kResamplers) {
            SCOPED_TRACE(std::string(resampler.Name) + ", " + c.Name);
            const size_t cap = c.PixelBytesCap != 0 ? c.PixelBytesCap : TBitmap::MaxPixelBytes();
            const TPixelBytesCap limit(cap);
            const Outcome expected = Attempt(resampler.Reference, c.Picture, c.Width, c.Height);
            // The lifting resampler leaves an empty picture alone; every
            // other case is an error.
            const bool liftingEmpty = std::string(resampler.Name) == "Lifting" && c.Picture.Empty();
            EXPECT_NE(expected.Error.empty(), !liftingEmpty) << expected.Error;
            for (int threads : {1, 3}) {
                SetResampleThreads(threads);
                EXPECT_EQ(Attempt(resampler.Fast, c.Picture, c.Width, c.Height), expected) << threads << " threads";
            }
        }
}
