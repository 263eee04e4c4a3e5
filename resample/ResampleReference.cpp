// The reference kernel resamplers.

#include "resample/ResampleReference.h"

#include "platform/Bitmap.h"
#include "resample/Contributors.h"
#include "resample/Kernels.h"
#include "resample/SeparablePasses.h"

namespace ResampleReference {

void KernelResample(TBitmap& picture, int32_t width, int32_t height, KernelSetup setup) {
    SeparableResample(picture, width, height, KernelBuilder(setup));
}

void Lanczos4Resample(TBitmap& picture, int32_t width, int32_t height) {
    SeparableResample(picture, width, height, Lanczos4Builder());
}

void Test1Resample(TBitmap& picture, int32_t width, int32_t height) {
    SeparableResample(picture, width, height, Test1Builder());
}

void Test2Resample(TBitmap& picture, int32_t width, int32_t height) {
    SeparableResample(picture, width, height, Test2Builder());
}

}  // namespace ResampleReference
