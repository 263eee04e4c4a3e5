// The reference kernel resamplers and the reference dispatch by number.

#include "resample/ResampleReference.h"

#include "platform/Bitmap.h"
#include "resample/Contributors.h"
#include "resample/Kernels.h"
#include "resample/SeparablePasses.h"

namespace ResampleReference {

void KernelResample(TBitmap& picture, int32_t width, int32_t height, KernelSetup setup) {
    const std::vector<int32_t> table = KernelTableSnapshot(setup);
    SeparableResample(picture, width, height, [&](int32_t s, int32_t d) {
        return BuildKernelContributors(s, d, table.data(), static_cast<int32_t>(table.size()));
    });
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

void ResampleByAlgorithm(TBitmap& picture, int algorithm, int32_t width, int32_t height) {
    if (algorithm == 0) ResampleReference::Lanczos4Resample(picture, width, height);
    else if (algorithm >= 1 && algorithm <= 10) ResampleReference::KernelResample(picture, width, height, MenuKernelSetups[algorithm - 1]);
    else if (algorithm == 12) ResampleReference::NearestNeighborResample(picture, width, height);
    else ResampleReference::AveragePixelResample(picture, width, height);
}

}  // namespace ResampleReference
