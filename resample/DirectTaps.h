#pragma once
// Internal: where the bilinear variants take their two taps along one axis,
// shared by the reference and the fast resamplers.

#include <algorithm>
#include <cstdint>

#include "resample/Contributors.h"

namespace DirectTaps {

// The single-precision bilinear variant. Only the named quantities are
// singles; the sums and differences between them are evaluated exactly in
// extended precision, as the x87 does.
struct BilinearTap {
    int32_t First, Second;
    float Fraction;
    bool operator==(const BilinearTap&) const = default;
};

// The variant's step and quarter step along one axis, as singles.
struct BilinearV2Axis {
    float Ratio, Quarter;
};

inline BilinearV2Axis BilinearV2AxisOf(int32_t sourceLength, int32_t targetLength) {
    const auto ratio = static_cast<float>(static_cast<long double>(sourceLength) / targetLength);
    return {ratio, static_cast<float>(static_cast<long double>(ratio) / 4)};
}

inline BilinearTap BilinearV2Tap(int32_t i, float ratio, float quarter, int32_t sourceLength) {
    const float centre = static_cast<float>((static_cast<long double>(i) + 0.5L) * ratio);
    const long double left = static_cast<long double>(centre) - quarter;
    int64_t first = Trunc(left);
    int64_t second = Trunc(static_cast<long double>(centre) + quarter);
    if (first < 0) first = 0;
    if (second >= sourceLength) second = sourceLength - 1;
    float fraction = static_cast<float>(left - first);
    if (fraction < 0) fraction = 0;
    return {static_cast<int32_t>(first), static_cast<int32_t>(second), fraction};
}

// The 8-bit lifting bilinear, in 1/256 of a source pixel.
struct LiftingTap {
    int32_t First, Second, Fraction;
    bool operator==(const LiftingTap&) const = default;
};

// A fraction of 256 or more only occurs where both taps were clamped onto
// the last source pixel, and grows with the distance past it, so its 32-bit
// products would overflow on long enlargements. a * (256 - f) + a * f is
// 256 * a for any f: such taps blend with fraction 0 and give the same bytes.
inline LiftingTap LiftingTapAt(int32_t i, int64_t step, int32_t sourceLength) {
    const int64_t m = Trunc((i + 0.5L) * step + 0.5L) - 128;
    int64_t first = m >= 0 ? m >> 8 : 0;
    int64_t second = first + 1;
    if (first >= sourceLength) first = sourceLength - 1;
    if (second >= sourceLength) second = sourceLength - 1;
    const int64_t fraction = first == second ? 0 : std::max<int64_t>(m - 256 * first, 0);
    return {static_cast<int32_t>(first), static_cast<int32_t>(second), static_cast<int32_t>(fraction)};
}

}  // namespace DirectTaps
