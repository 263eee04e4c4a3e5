#pragma once
// The arithmetic that keeps the width, height and scale edits of the main
// window consistent with each other.

#include <cstdint>

enum class TSizeEdit { Width, Height, Ratio };

struct TCoupledValues {
    int64_t Width = 0;
    int64_t Height = 0;
    int64_t Ratio = 0;
};

// Trunc(x + 0.5) in extended precision.
int64_t RoundHalfUp(long double x);

// The values of the two other edits after the own edit was set to value:
// the ratio r is value / SourceWidth, value / SourceHeight or value / 100
// (a double), and each other edit is Trunc(size * r + 0.5) or
// Trunc(r * 100 + 0.5) computed in extended precision. The field of the own
// edit holds value itself. Raises EZeroDivide when the reference size is 0.
TCoupledValues CoupleSizes(TSizeEdit own, int32_t value, int32_t sourceWidth, int32_t sourceHeight);
