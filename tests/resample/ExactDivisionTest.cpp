#include <gtest/gtest.h>

#include <random>

#include "resample/ExactDivision.h"
#include "resample/ResampleEx.h"

namespace {

// The reference: truncating division unless the weight sum is 0 or 1.
uint8_t Reference(int32_t sum, int32_t weightSum) {
    return ClampByte(weightSum == 0 || weightSum == 1 ? sum : sum / weightSum);
}

TEST(ExactDivision, AgreesWithTruncatingDivisionOverTheWholeRange) {
    std::mt19937 random(3);
    std::vector<int32_t> weightSums = {0, 1, -1, 2, -2, 3, 7, 255, 256, 257, 1000, 1023, 65535, 65536, -4099,
                                       kMaxUncorrectedDivisor, kMaxUncorrectedDivisor - 1, 12345, 16383, 9999,
                                       kMaxExactDivisor, -kMaxExactDivisor, kMaxExactDivisor - 1};
    for (int i = 0; i < 200; ++i) weightSums.push_back(std::uniform_int_distribution<int32_t>(-kMaxExactDivisor, kMaxExactDivisor)(random));
    for (const int32_t w : weightSums) {
        const ExactDivisor divisor = *MakeExactDivisor(w);
        const int64_t d = w < 0 ? -int64_t{w} : w;
        std::vector<int64_t> sums = {0, 1, -1, d - 1, d, d + 1, 255 * d - 1, 255 * d, 255 * d + 1, 256 * d - 1, 256 * d};
        for (int64_t k = 0; k < 256; ++k) sums.insert(sums.end(), {k * d - 1, k * d, k * d + 1});
        for (int i = 0; i < 300; ++i) sums.push_back(std::uniform_int_distribution<int64_t>(-300 * d, 300 * d)(random));
        for (int64_t s : sums) {
            if (s > INT32_MAX / 2 || s < -INT32_MAX / 2) continue;
            const auto sum = static_cast<int32_t>(s);
            // The fast path negates the weights, and so the sum, for a negative weight sum.
            const int32_t seen = divisor.NegateWeights ? -sum : sum;
            ASSERT_EQ(ExactQuotient(seen, divisor), Reference(sum, w)) << sum << " / " << w;
            if (divisor.Divisor <= kMaxUncorrectedDivisor) {
                ASSERT_EQ(EstimatedQuotient(ClampedSum(seen, divisor), divisor), Reference(sum, w)) << sum << " / " << w;
            }
        }
    }
    EXPECT_FALSE(MakeExactDivisor(int64_t{kMaxExactDivisor} + 1));
}

}  // namespace

namespace {

// The uncorrected estimate at every divisor it is used for, on both sides
// of every quotient step, where rounding would go wrong first.
TEST(ExactDivision, EstimateAloneIsExactUpToItsLimit) {
    for (int32_t w = 2; w <= kMaxUncorrectedDivisor; ++w) {
        const ExactDivisor divisor = *MakeExactDivisor(w);
        for (int32_t k = 0; k < 256; ++k)
            for (const int32_t t : {k * w - 1, k * w, k * w + w - 1}) {
                if (t < 0) continue;
                ASSERT_EQ(EstimatedQuotient(t, divisor), t / w) << t << " / " << w;
            }
    }
}

}  // namespace
