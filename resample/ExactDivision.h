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
// Exactness: t < 2^30 when d < 2^22. The single-precision estimate
// float(t) * float(1/d) carries three roundings of at most 2^-24 each, so it
// is within 256 * 3 * 2^-24 < 1 of t / d (which is below 256); its
// truncation q is floor(t / d) - 1, + 0 or + 1, and the remainder
// r = t - q d (|r| < 2 d, no overflow) tells which: q + 1 when r >= d,
// q - 1 when r < 0.

#include <cstdint>
#include <optional>

struct ExactDivisor {
    int32_t Divisor = 1;
    int32_t Limit = 255;  // 256 * Divisor - 1
    float Reciprocal = 1.0f;
    bool NegateWeights = false;
};

// The largest divisor the method above is exact for.
inline constexpr int32_t kMaxExactDivisor = (1 << 22) - 1;

// The divisor of a list whose weights sum to weightSum, or nothing when the
// sum is beyond kMaxExactDivisor.
std::optional<ExactDivisor> MakeExactDivisor(int64_t weightSum);

// The scalar form, for tails and targets without vectors.
inline uint8_t ExactQuotient(int32_t sum, const ExactDivisor& d) {
    const int32_t t = sum <= 0 ? 0 : (sum > d.Limit ? d.Limit : sum);
    int32_t q = static_cast<int32_t>(static_cast<float>(t) * d.Reciprocal);
    const int32_t r = t - q * d.Divisor;
    if (r >= d.Divisor) ++q;
    else if (r < 0) --q;
    return static_cast<uint8_t>(q);
}
