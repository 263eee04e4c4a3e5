#pragma once
// Internal: the fast separable resampler. The same checks, passes and bytes
// as ResampleReference::SeparableResample, with vector arithmetic and the
// rows spread over the resampling threads.

#include <cstdint>

#include "resample/SeparablePasses.h"

class TBitmap;

void FastSeparableResample(TBitmap& picture, int32_t width, int32_t height, const AxisBuilder& build);
