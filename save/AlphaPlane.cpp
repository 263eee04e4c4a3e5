#include "save/AlphaPlane.h"

#include <array>

#include "resample/ResampleEx.h"

bool TakesAlphaPath(bool hasAlpha, TFileType4Save type, const TSaveOptionValues& options) {
    return hasAlpha && type == sftPNG && !options.PNGReduceTo256Color && !options.PNGTransparent;
}

void ResampleByAlgorithm(TBitmap& picture, int32_t width, int32_t height, uint8_t algorithm) {
    // Numbers 1 to 10, in the order of the resample menu.
    static constexpr std::array<KernelSetup, 10> kKernels = {
        Lanczos3Setup, Lanczos2Setup, MitchellSetup, LagrangeSetup, HermiteSetup,
        BellSetup,     BSplineSetup,  GaussSetup,    BicubicSetup,  BilinearSetup,
    };
    if (algorithm == 0)
        Lanczos4Resample(picture, width, height);
    else if (algorithm <= kKernels.size())
        KernelResample(picture, width, height, kKernels[algorithm - 1]);
    else if (algorithm == 12)
        NearestNeighborResample(picture, width, height);
    else
        AveragePixelResample(picture, width, height);
}

void PrepareAlphaPlane(const TBitmap& alpha, TBitmap& scratch, int32_t width, int32_t height, uint8_t algorithm) {
    scratch = alpha;
    if (scratch.Width() != width || scratch.Height() != height) ResampleByAlgorithm(scratch, width, height, algorithm);
}
