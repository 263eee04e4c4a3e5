#pragma once
// Internal: the fast paths of the resamplers without a kernel table. Each
// gives the bytes of its reference in ResampleReference.h, with the same
// failures, and spreads its rows over the resampling threads.

#include <cstdint>

class TBitmap;

void FastAveragePixelResample(TBitmap& picture, int32_t width, int32_t height);
void FastNearestNeighborResample(TBitmap& picture, int32_t width, int32_t height);
void FastBilinearV2Resample(TBitmap& picture, int32_t width, int32_t height);
void FastLiftingBilinearResample(TBitmap& picture, int32_t width, int32_t height);
