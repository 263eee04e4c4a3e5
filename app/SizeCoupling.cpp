#include "app/SizeCoupling.h"

int32_t RoundHalfUp(long double value) { return static_cast<int32_t>(value + 0.5L); }

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
