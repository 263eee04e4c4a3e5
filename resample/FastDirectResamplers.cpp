// Work in progress: forwards to the reference until the fast paths land.
#include "resample/FastDirectResamplers.h"

#include "resample/ResampleReference.h"

void FastAveragePixelResample(TBitmap& p, int32_t w, int32_t h) { ResampleReference::AveragePixelResample(p, w, h); }
void FastNearestNeighborResample(TBitmap& p, int32_t w, int32_t h) { ResampleReference::NearestNeighborResample(p, w, h); }
void FastBilinearV2Resample(TBitmap& p, int32_t w, int32_t h) { ResampleReference::BilinearV2Resample(p, w, h); }
void FastLiftingBilinearResample(TBitmap& p, int32_t w, int32_t h) { ResampleReference::LiftingBilinearResample(p, w, h); }
