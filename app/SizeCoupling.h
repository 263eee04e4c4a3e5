#pragma once
// The coupling of the width, height and scale edits: setting one of them
// sets the other two from the picture's size, each rounded half up.

#include <cstdint>
#include <optional>

struct TCoupledSize {
    int32_t Width = 0;
    int32_t Height = 0;
    int32_t Scale = 0;  // percent
};

// Trunc(x + 0.5) of an extended-precision product.
int32_t RoundHalfUp(long double value);

// The size that follows from a new value of one edit, or nothing when the
// value is 0 (the edits then keep theirs). The ratio is v / source (width,
// height) or v / 100 (scale), held as a double; the products are extended.
std::optional<TCoupledSize> CoupleFromWidth(int32_t width, int32_t sourceWidth, int32_t sourceHeight);
std::optional<TCoupledSize> CoupleFromHeight(int32_t height, int32_t sourceWidth, int32_t sourceHeight);
std::optional<TCoupledSize> CoupleFromScale(int32_t scale, int32_t sourceWidth, int32_t sourceHeight);
