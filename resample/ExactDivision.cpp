#include "resample/ExactDivision.h"

std::optional<ExactDivisor> MakeExactDivisor(int64_t weightSum) {
    ExactDivisor d;
    d.NegateWeights = weightSum < 0;
    const int64_t magnitude = weightSum < 0 ? -weightSum : weightSum;
    if (magnitude > kMaxExactDivisor) return std::nullopt;
    d.Divisor = magnitude <= 1 ? 1 : static_cast<int32_t>(magnitude);
    d.Limit = 256 * d.Divisor - 1;
    d.Reciprocal = 1.0f / static_cast<float>(d.Divisor);
    return d;
}
