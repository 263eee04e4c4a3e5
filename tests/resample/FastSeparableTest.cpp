// The fast separable resamplers against the reference, byte for byte, on
// every instruction set this processor runs and with several thread counts.

#include <gtest/gtest.h>

#include <hwy/targets.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "resample/ResampleReference.h"
#include "resample/ResampleThreads.h"
#include "support/TestPictures.h"
#include "resample/EngineTest.h"

namespace {

using testing_support::RandomBitmap;

struct Algorithm {
    std::string Name;
    std::function<void(TBitmap&, int32_t, int32_t)> Fast, Reference;
};

std::vector<Algorithm> KernelAlgorithms() {
    std::vector<Algorithm> algorithms;
    for (const KernelFilterEntry& entry : KernelFilterTable)
        algorithms.push_back({entry.EnglishName,
                              [s = entry.Setup](TBitmap& b, int32_t w, int32_t h) { KernelResample(b, w, h, s); },
                              [s = entry.Setup](TBitmap& b, int32_t w, int32_t h) {
                                  ResampleReference::KernelResample(b, w, h, s);
                              }});
    algorithms.push_back({"Lanczos4", Lanczos4Resample, ResampleReference::Lanczos4Resample});
    algorithms.push_back({"Test1", Test1Resample, ResampleReference::Test1Resample});
    algorithms.push_back({"Test2", Test2Resample, ResampleReference::Test2Resample});
    return algorithms;
}

// Up, down, equal, single rows and columns, widths around the vector
// widths, and extreme ratios both ways.
std::vector<std::array<int32_t, 4>> SizeCases() {
    std::vector<std::array<int32_t, 4>> cases = {
        {1, 1, 1, 1},     {1, 1, 9, 2},    {9, 2, 1, 1},     {2, 1, 3, 1},     {31, 17, 31, 17},
        {3, 3, 1000, 2},  {1000, 2, 3, 3}, {2, 700, 1, 5},   {500, 1, 1, 700}, {511, 4, 1, 3},
        {17, 19, 33, 35}, {64, 48, 21, 15}, {33, 7, 32, 9},  {5, 40, 6, 41},   {200, 150, 37, 29},
        // Large enough to be split into bands: rows of one band start a
        // ring of intermediate rows of their own.
        {320, 240, 160, 500}, {300, 900, 700, 150}, {900, 300, 100, 700}};
    std::mt19937 random(77);
    std::uniform_int_distribution<int32_t> size(1, 90);
    for (int i = 0; i < 12; ++i) cases.push_back({size(random), size(random), size(random), size(random)});
    return cases;
}

class FastSeparable : public EngineTest {};

TEST_F(FastSeparable, MatchesTheReferenceOnEveryTargetAndThreadCount) {
    const std::vector<Algorithm> algorithms = KernelAlgorithms();
    struct Expected {
        TBitmap Source;
        std::vector<std::vector<uint8_t>> Bytes;  // per algorithm
    };
    const std::vector<std::array<int32_t, 4>> sizes = SizeCases();
    std::vector<Expected> expected;
    uint32_t seed = 1;
    for (const auto& [sw, sh, dw, dh] : sizes) {
        Expected e{RandomBitmap(sw, sh, seed++), {}};
        for (const Algorithm& algorithm : algorithms) {
            TBitmap reference = e.Source;
            algorithm.Reference(reference, dw, dh);
            e.Bytes.push_back(testing_support::PixelBytes(reference));
        }
        expected.push_back(std::move(e));
    }
    for (const int64_t target : hwy::SupportedAndGeneratedTargets()) {
        hwy::SetSupportedTargetsForTest(target);
        for (const int threads : {1, 2, 3}) {
            SetResampleThreads(threads);
            for (size_t c = 0; c < sizes.size(); ++c) {
                const auto& [sw, sh, dw, dh] = sizes[c];
                for (size_t a = 0; a < algorithms.size(); ++a) {
                    TBitmap fast = expected[c].Source;
                    algorithms[a].Fast(fast, dw, dh);
                    ASSERT_EQ(testing_support::PixelBytes(fast), expected[c].Bytes[a])
                        << hwy::TargetName(target) << ", " << threads << " threads, " << algorithms[a].Name << " "
                        << sw << "x" << sh << " -> " << dw << "x" << dh;
                }
            }
        }
    }
}

// Saturated pictures drive the sums to the clamps at both ends, where an
// inexact quotient would show first.
TEST_F(FastSeparable, ExtremeSamplesClampLikeTheReference) {
    for (const uint8_t level : {uint8_t{0}, uint8_t{255}}) {
        TBitmap source = RandomBitmap(50, 40, 5);
        for (int32_t y = 0; y < source.Height(); ++y)
            for (int32_t x = 0; x < 3 * source.Width(); ++x)
                if ((x / 3 + y) % 3 != 0) source.ScanLine(y)[x] = level;
        for (const Algorithm& algorithm : KernelAlgorithms())
            for (const auto& [dw, dh] : {std::pair{13, 9}, std::pair{171, 133}}) {
                TBitmap fast = source, reference = source;
                algorithm.Fast(fast, dw, dh);
                algorithm.Reference(reference, dw, dh);
                ASSERT_EQ(testing_support::PixelBytes(fast), testing_support::PixelBytes(reference)) << algorithm.Name;
            }
    }
}

}  // namespace
