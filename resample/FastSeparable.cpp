#include "resample/FastSeparable.h"

void FastSeparableResample(TBitmap& picture, int32_t width, int32_t height, const AxisBuilder& build) {
    ResampleReference::SeparableResample(picture, width, height, build);
}
