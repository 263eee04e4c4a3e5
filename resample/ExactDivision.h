#pragma once
// Internal: the division that ends every weighted sum, done without a
// division instruction.
//
// The reference result of a sum s over weights summing to w is
// ClampByte(s div w), with no division when w is 0 or 1. Negating all
// weights of a list whose sum is negative turns this into a quotient by a
// positive divisor d (1 when w is 0, 1 or -1):
//     result = floor(t / d)  with  t = min(max(s, 0), 256 d - 1),
// since s <= 0 gives 0 and s >= 256 d gives 255 either way.
//
// The estimate: e = trunc(float(t) * r), r the least float >= 1/d.
//
// Without correction, for d <= 2^14: t < 2^22 is exact as a float. With
// k = floor(t / d), t * r >= t / d >= k, and rounding keeps the product >= k.
// And t / d <= k + 1 - 1/d, r <= (1/d)(1 + 2^-23), so
// t * r <= k + 1 - 1/d + 256 * 2^-23 <= k + 1 - 2^-15; floats below 256 lie
// at most 2^-16 apart, so the rounded product stays below k + 1. e = k.
//
// With correction, for any d < 2^22: t < 2^30; float(t), r and the product
// each carry a relative error below 2^-23, so e is within
// 256 * 3 * 2^-23 < 1 of t / d (< 256): k - 1 <= e <= k + 1, and the
// remainder t - e d (|.| < 2 d, no overflow) tells which.

#include <cstdint>
#include <optional>

struct ExactDivisor {
    int32_t Divisor = 1;
    int32_t Limit = 255;  // 256 * Divisor - 1
    float Reciprocal = 1.0f;
    bool NegateWeights = false;
};

// The largest divisor the corrected estimate is exact for.
inline constexpr int32_t kMaxExactDivisor = (1 << 22) - 1;
// The largest divisor the estimate alone is exact for.
inline constexpr int32_t kMaxUncorrectedDivisor = 1 << 14;

// The divisor of a list whose weights sum to weightSum, or nothing when the
// sum is beyond kMaxExactDivisor.
std::optional<ExactDivisor> MakeExactDivisor(int64_t weightSum);

inline int32_t ClampedSum(int32_t sum, const ExactDivisor& d) { return sum <= 0 ? 0 : (sum > d.Limit ? d.Limit : sum); }

inline int32_t EstimatedQuotient(int32_t t, const ExactDivisor& d) {
    return static_cast<int32_t>(static_cast<float>(t) * d.Reciprocal);
}

// The corrected form, exact for every divisor; for tails and scalar targets.
inline uint8_t ExactQuotient(int32_t sum, const ExactDivisor& d) {
    const int32_t t = ClampedSum(sum, d);
    int32_t q = EstimatedQuotient(t, d);
    const int32_t r = t - q * d.Divisor;
    if (r >= d.Divisor) ++q;
    else if (r < 0) --q;
    return static_cast<uint8_t>(q);
}
