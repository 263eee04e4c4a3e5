#include "resample/ExactDivision.h"

#include <cmath>

std::optional<ExactDivisor> MakeExactDivisor(int64_t weightSum) {
    ExactDivisor d;
    d.NegateWeights = weightSum < 0;
    const int64_t magnitude = weightSum < 0 ? -weightSum : weightSum;
    if (magnitude > kMaxExactDivisor) return std::nullopt;
    d.Divisor = magnitude <= 1 ? 1 : static_cast<int32_t>(magnitude);
    d.Limit = 256 * d.Divisor - 1;
    // Rounded up: r * d is exact in double (24 + 22 bits), so the test is too.
    float r = 1.0f / static_cast<float>(d.Divisor);
    if (static_cast<double>(r) * d.Divisor < 1.0) r = std::nextafter(r, 2.0f);
    d.Reciprocal = r;
    return d;
}
