// The public resamplers: the fast paths, and the dispatch by algorithm number.

#include "resample/ResampleEx.h"

#include "platform/Bitmap.h"
#include "resample/Contributors.h"
#include "resample/FastDirectResamplers.h"
#include "resample/FastSeparable.h"
#include "resample/Kernels.h"

void KernelResample(TBitmap& picture, int32_t width, int32_t height, KernelSetup setup) {
    FastSeparableResample(picture, width, height, KernelBuilder(setup));
}

void Lanczos4Resample(TBitmap& picture, int32_t width, int32_t height) {
    FastSeparableResample(picture, width, height, Lanczos4Builder());
}

void Test1Resample(TBitmap& picture, int32_t width, int32_t height) {
    FastSeparableResample(picture, width, height, Test1Builder());
}

void Test2Resample(TBitmap& picture, int32_t width, int32_t height) {
    FastSeparableResample(picture, width, height, Test2Builder());
}

void AveragePixelResample(TBitmap& picture, int32_t width, int32_t height) {
    FastAveragePixelResample(picture, width, height);
}

void NearestNeighborResample(TBitmap& picture, int32_t width, int32_t height) {
    FastNearestNeighborResample(picture, width, height);
}

void BilinearV2Resample(TBitmap& picture, int32_t width, int32_t height) {
    FastBilinearV2Resample(picture, width, height);
}

void LiftingBilinearResample(TBitmap& picture, int32_t width, int32_t height) {
    FastLiftingBilinearResample(picture, width, height);
}

void LiftingBilinearProcedure(TBitmap& picture, int32_t width, int32_t height, int32_t scalePercent,
                              bool noopUpscaleSelected) {
    const int64_t factor = Trunc(static_cast<long double>(scalePercent) / 100 + 0.5L);
    if (scalePercent <= 100 || noopUpscaleSelected) {
        LiftingBilinearResample(picture, width, height);
        return;
    }
    for (int64_t d = 2; d < factor; d *= 2) LiftingBilinearResample(picture, 2 * picture.Width(), 2 * picture.Height());
    if (picture.Width() != width || picture.Height() != height) LiftingBilinearResample(picture, width, height);
}

void ResampleByAlgorithm(TBitmap& picture, int algorithm, int32_t width, int32_t height) {
    if (algorithm == 0) Lanczos4Resample(picture, width, height);
    else if (algorithm >= 1 && algorithm <= 10) KernelResample(picture, width, height, MenuKernelSetups[algorithm - 1]);
    else if (algorithm == 12) NearestNeighborResample(picture, width, height);
    else AveragePixelResample(picture, width, height);
}
