#include "cli/Algorithms.h"

#include "resample/ResampleEx.h"

namespace {

template <int Number>
void ByNumber(TBitmap& picture, int32_t width, int32_t height, int32_t, bool) {
    ResampleByAlgorithm(picture, Number, width, height);
}

template <ResampleRoutine Routine>
void Plain(TBitmap& picture, int32_t width, int32_t height, int32_t, bool) {
    Routine(picture, width, height);
}

void Lifting(TBitmap& picture, int32_t width, int32_t height, int32_t scale, bool noPrefilter) {
    LiftingBilinearProcedure(picture, width, height, scale, noPrefilter);
}

}  // namespace

const std::vector<CliAlgorithm>& CliAlgorithms() {
    static const std::vector<CliAlgorithm> algorithms = {
        {"lanczos4", false, true, ByNumber<0>},
        {"lanczos3", false, true, ByNumber<1>},
        {"lanczos2", false, true, ByNumber<2>},
        {"mitchell", false, true, ByNumber<3>},
        {"lagrange", false, true, ByNumber<4>},
        {"hermite", false, true, ByNumber<5>},
        {"bell", false, true, ByNumber<6>},
        {"bspline", false, true, ByNumber<7>},
        {"gauss", false, true, ByNumber<8>},
        {"bicubic", false, true, ByNumber<9>},
        {"bilinear", false, true, ByNumber<10>},
        {"average", false, true, ByNumber<11>},
        {"nearest", false, true, ByNumber<12>},
        {"test1", true, false, Plain<Test1Resample>},
        {"test2", true, false, Plain<Test2Resample>},
        {"bilinear-v2", true, true, Plain<BilinearV2Resample>},
        {"lifting-bilinear", true, false, Lifting},
    };
    return algorithms;
}

const CliAlgorithm* FindCliAlgorithm(const std::string& name) {
    for (const CliAlgorithm& algorithm : CliAlgorithms())
        if (name == algorithm.Name) return &algorithm;
    return nullptr;
}
