#include "app/SizeCoupling.h"

#include <cmath>
#include <limits>

// Typed sizes far beyond any picture would not fit the result; they stay
// at the ends of the range instead of wrapping to nonsense.
int32_t RoundHalfUp(long double value) {
    const long double rounded = std::trunc(value + 0.5L);
    if (!(rounded >= std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
    if (rounded > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(rounded);
}

std::optional<TCoupledSize> CoupleFromWidth(int32_t width, int32_t sourceWidth, int32_t sourceHeight) {
    if (width == 0) return std::nullopt;
    const double ratio = static_cast<double>(static_cast<long double>(width) / sourceWidth);
    return TCoupledSize{width, RoundHalfUp(static_cast<long double>(sourceHeight) * ratio),
                        RoundHalfUp(static_cast<long double>(ratio) * 100)};
}

std::optional<TCoupledSize> CoupleFromHeight(int32_t height, int32_t sourceWidth, int32_t sourceHeight) {
    if (height == 0) return std::nullopt;
    const double ratio = static_cast<double>(static_cast<long double>(height) / sourceHeight);
    return TCoupledSize{RoundHalfUp(static_cast<long double>(sourceWidth) * ratio), height,
                        RoundHalfUp(static_cast<long double>(ratio) * 100)};
}

std::optional<TCoupledSize> CoupleFromScale(int32_t scale, int32_t sourceWidth, int32_t sourceHeight) {
    if (scale == 0) return std::nullopt;
    const double ratio = static_cast<double>(static_cast<long double>(scale) / 100);
    return TCoupledSize{RoundHalfUp(static_cast<long double>(sourceWidth) * ratio),
                        RoundHalfUp(static_cast<long double>(sourceHeight) * ratio), scale};
}
