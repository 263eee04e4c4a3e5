#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "platform/Exceptions.h"
#include "resample/Contributors.h"
#include "resample/ResampleEx.h"

namespace {

using Pairs = std::vector<std::pair<int32_t, int32_t>>;  // (weight, source index)

Pairs ListOf(const AxisContributors& axis, int32_t i) {
    Pairs pairs;
    for (int32_t k = 0; k < axis.Count(i); ++k) pairs.emplace_back(axis.List(i)[k].Weight, axis.List(i)[k].Index);
    return pairs;
}

}  // namespace

TEST(Contributors, HalvingWithLanczos3) {
    Lanczos3Setup();
    const AxisContributors axis = BuildKernelContributors(100, 50, KernelTable, KernelTableLength);
    EXPECT_EQ(ListOf(axis, 0), (Pairs{{228, 0}, {228, 1}, {69, 2}, {-33, 3}, {-16, 4}, {8, 5}, {2, 6}}));
    EXPECT_EQ(ListOf(axis, 1),
              (Pairs{{-33, 0}, {69, 1}, {228, 2}, {228, 3}, {69, 4}, {-33, 5}, {-16, 6}, {8, 7}, {2, 8}}));
    EXPECT_EQ(ListOf(axis, 49), (Pairs{{2, 93}, {8, 94}, {-16, 95}, {-33, 96}, {69, 97}, {228, 98}, {228, 99}}));
}

TEST(Contributors, DoublingWithBilinear) {
    BilinearSetup();
    const AxisContributors axis = BuildKernelContributors(10, 20, KernelTable, KernelTableLength);
    EXPECT_EQ(ListOf(axis, 0), (Pairs{{192, 0}}));
    EXPECT_EQ(ListOf(axis, 1), (Pairs{{192, 0}, {64, 1}}));
    EXPECT_EQ(ListOf(axis, 2), (Pairs{{64, 0}, {192, 1}}));
    EXPECT_EQ(ListOf(axis, 19), (Pairs{{192, 9}}));
}

TEST(Contributors, CentresAreComputedInExtendedPrecision) {
    // (502 + 0.5) * (3 / 1280) * 256 + 0.5 is 301.9999... in extended and
    // rounds up to 302 in double.
    EXPECT_EQ(KernelCentre(502, 3.0 / 1280.0), 301);
    const double doubleCentre = (502 + 0.5) * (3.0 / 1280.0) * 256 + 0.5;
    EXPECT_EQ(static_cast<int64_t>(doubleCentre), 302);
}

TEST(Contributors, TestVariantsReachAndPlacement) {
    MitchellSetup();
    std::vector<int32_t> mitchell(KernelTable, KernelTable + 512);
    // Enlarging: Test1 and Test2 lists equal the kernel resampler's where
    // the centres agree.
    for (auto [s, d] : {std::pair{7, 19}, std::pair{100, 100}, std::pair{3, 8}}) {
        const AxisContributors kernel = BuildKernelContributors(s, d, mitchell.data(), 512);
        const AxisContributors test1 = BuildTest1Contributors(s, d, mitchell.data());
        for (int32_t i = 0; i < d; ++i) EXPECT_EQ(ListOf(test1, i), ListOf(kernel, i)) << s << "->" << d;
    }
    // Halving: only sources closer than 2 pixels count (3 or 4 taps).
    const AxisContributors halving = BuildTest1Contributors(100, 50, mitchell.data());
    for (int32_t i = 1; i < 49; ++i) {
        EXPECT_GE(halving.Count(i), 3);
        EXPECT_LE(halving.Count(i), 4);
    }
    EXPECT_EQ(BuildKernelContributors(100, 50, mitchell.data(), 512).MaxCount, 8);

    // Test2 halving places centres at 256, 768, ... like the kernel resampler.
    const AxisContributors test2 = BuildTest2Contributors(100, 50, mitchell.data());
    const AxisContributors kernel = BuildKernelContributors(100, 50, mitchell.data(), 512);
    for (int32_t i = 0; i < 50; ++i) EXPECT_EQ(ListOf(test2, i), ListOf(kernel, i));
    // 100 -> 30: the integer step 853 drifts from 853.33 until a tap shifts.
    const AxisContributors drift = BuildTest2Contributors(100, 30, mitchell.data());
    const AxisContributors exact = BuildKernelContributors(100, 30, mitchell.data(), 512);
    bool differs = false;
    for (int32_t i = 0; i < 30; ++i) differs |= ListOf(drift, i) != ListOf(exact, i);
    EXPECT_TRUE(differs);
}

TEST(Contributors, AreaCoverages) {
    EXPECT_EQ(ListOf(BuildAverageContributors(4, 2), 1), (Pairs{{1024, 2}, {1024, 3}}));
    const AxisContributors threeToTwo = BuildAverageContributors(3, 2);
    EXPECT_EQ(ListOf(threeToTwo, 0), (Pairs{{1024, 0}, {512, 1}}));
    EXPECT_EQ(ListOf(threeToTwo, 1), (Pairs{{512, 1}, {1024, 2}}));
    EXPECT_EQ(ListOf(BuildAverageContributors(2, 4), 1), (Pairs{{512, 0}}));
    EXPECT_EQ(ListOf(BuildAverageContributors(2, 3), 1), (Pairs{{341, 0}, {342, 1}}));
    EXPECT_EQ(ListOf(BuildAverageContributors(5, 5), 3), (Pairs{{1024, 3}}));
}

TEST(Contributors, ReductionsBeyondTheFixedPointStretchAskForTwoSteps) {
    EXPECT_EQ(KernelStretch(512, 1), 1);  // 0.5 + 0.5 truncates to 1
    try {
        KernelStretch(1025, 2);
        FAIL();
    } catch (const EZeroDivide& e) {
        EXPECT_NE(std::string(e.what()).find("two steps"), std::string::npos);
    }
}
