#pragma once
// The reference resamplers: straightforward loops that follow the fixed-point
// arithmetic one pixel at a time. The public resamplers in ResampleEx.h give
// the same bytes faster; these stay as the yardstick the tests hold them to.
// Failures are the same as those of the public resamplers.

#include <cstdint>

#include "resample/ResampleEx.h"

namespace ResampleReference {

void KernelResample(TBitmap& picture, int32_t width, int32_t height, KernelSetup setup);
void Lanczos4Resample(TBitmap& picture, int32_t width, int32_t height);
void Test1Resample(TBitmap& picture, int32_t width, int32_t height);
void Test2Resample(TBitmap& picture, int32_t width, int32_t height);
void AveragePixelResample(TBitmap& picture, int32_t width, int32_t height);
void NearestNeighborResample(TBitmap& picture, int32_t width, int32_t height);
void BilinearV2Resample(TBitmap& picture, int32_t width, int32_t height);
void LiftingBilinearResample(TBitmap& picture, int32_t width, int32_t height);

}  // namespace ResampleReference
