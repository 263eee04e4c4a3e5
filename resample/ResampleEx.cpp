// The separable resamplers and the dispatch by algorithm number.

#include "resample/ResampleEx.h"

#include "platform/Bitmap.h"
#include "resample/Contributors.h"
#include "resample/Kernels.h"
#include "resample/SeparablePasses.h"

void KernelResample(TBitmap& picture, int32_t width, int32_t height, KernelSetup setup) {
    setup();
    // The passes work from a copy, so the shared table is only read.
    const std::vector<int32_t> table(KernelTable, KernelTable + KernelTableLength);
    SeparableResample(picture, width, height, [&](int32_t s, int32_t d) {
        return BuildKernelContributors(s, d, table.data(), static_cast<int32_t>(table.size()));
    });
}

void Lanczos4Resample(TBitmap& picture, int32_t width, int32_t height) {
    TabulateKernel(Lanczos4Kernel, Lanczos4Table, 1024);
    SeparableResample(picture, width, height,
                      [](int32_t s, int32_t d) { return BuildKernelContributors(s, d, Lanczos4Table, 1024); });
}

void Test1Resample(TBitmap& picture, int32_t width, int32_t height) {
    TabulateKernel(MitchellKernel, TestKernelTable, 512);
    SeparableResample(picture, width, height,
                      [](int32_t s, int32_t d) { return BuildTest1Contributors(s, d, TestKernelTable); });
}

void Test2Resample(TBitmap& picture, int32_t width, int32_t height) {
    TabulateKernel(MitchellKernel, TestKernelTable, 512);
    SeparableResample(picture, width, height,
                      [](int32_t s, int32_t d) { return BuildTest2Contributors(s, d, TestKernelTable); });
}

void ResampleByAlgorithm(TBitmap& picture, int algorithm, int32_t width, int32_t height) {
    static constexpr KernelSetup kSetups[] = {Lanczos3Setup, Lanczos2Setup, MitchellSetup, LagrangeSetup,
                                              HermiteSetup,  BellSetup,     BSplineSetup,  GaussSetup,
                                              BicubicSetup,  BilinearSetup};
    if (algorithm == 0) Lanczos4Resample(picture, width, height);
    else if (algorithm >= 1 && algorithm <= 10) KernelResample(picture, width, height, kSetups[algorithm - 1]);
    else if (algorithm == 12) NearestNeighborResample(picture, width, height);
    else AveragePixelResample(picture, width, height);
}
