#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "resample/NaiveReference.h"
#include "resample/ResampleEx.h"
#include "resample/ResampleThreads.h"
#include "support/TestPictures.h"
#include "resample/EngineTest.h"

namespace {

naive::Image ToImage(const TBitmap& bitmap) {
    naive::Image image{bitmap.Width(), bitmap.Height(), {}};
    image.bgr.resize(size_t(image.w) * size_t(image.h) * 3);
    for (int y = 0; y < image.h; ++y) std::memcpy(image.At(0, y), bitmap.ScanLine(y), size_t(image.w) * 3);
    return image;
}

std::vector<int32_t> Tabulate(int32_t (*kernel)(double), int entries) {
    std::vector<int32_t> table(static_cast<size_t>(entries));
    for (int k = 0; k < entries; ++k) table[size_t(k)] = kernel(k / 256.0);
    return table;
}

// Size pairs up, down, equal, odd and even, one-pixel rows and columns, a
// few extreme ratios, and two large enough for the engine to split into bands.
std::vector<std::array<int, 4>> SizeCases() {
    std::vector<std::array<int, 4>> cases = {{1, 1, 1, 1},  {1, 1, 7, 3},    {7, 3, 1, 1},   {5, 5, 5, 5},
                                             {9, 1, 4, 1},  {1, 9, 1, 20},   {3, 2, 400, 3}, {400, 3, 3, 2},
                                             {64, 48, 32, 24}, {17, 13, 41, 29}, {33, 31, 10, 9},
                                             {320, 240, 160, 500}, {200, 400, 400, 300}};  // split into bands
    std::mt19937 random(2024);
    for (int i = 0; i < 14; ++i) {
        std::uniform_int_distribution<int> size(1, 60);
        cases.push_back({size(random), size(random), size(random), size(random)});
    }
    return cases;
}

class NaiveReference : public EngineTest {};

}  // namespace

TEST_F(NaiveReference, KernelResamplersMatchForManySizes) {
    struct Kernel {
        const char* name;
        std::vector<int32_t> table;
        std::function<void(TBitmap&, int, int)> run;
        naive::Placement placement;
    };
    std::vector<Kernel> kernels;
    for (const KernelFilterEntry& entry : KernelFilterTable) {
        entry.Setup();
        kernels.push_back({entry.EnglishName, std::vector<int32_t>(KernelTable, KernelTable + KernelTableLength),
                           [setup = entry.Setup](TBitmap& b, int w, int h) { KernelResample(b, w, h, setup); },
                           naive::Placement::Kernel});
    }
    kernels.push_back({"Lanczos4", Tabulate(Lanczos4Kernel, 1024), Lanczos4Resample, naive::Placement::Kernel});
    kernels.push_back({"Test1", Tabulate(MitchellKernel, 512), Test1Resample, naive::Placement::Test1});
    kernels.push_back({"Test2", Tabulate(MitchellKernel, 512), Test2Resample, naive::Placement::Test2});

    for (const int threads : {1, 2, 5}) {
        SetResampleThreads(threads);
        uint32_t seed = 1;
        for (const auto& [sw, sh, dw, dh] : SizeCases()) {
            const TBitmap source = testing_support::RandomBitmap(sw, sh, seed++);
            for (const Kernel& kernel : kernels) {
                TBitmap picture = source;
                kernel.run(picture, dw, dh);
                const naive::Image expected = naive::Separable(ToImage(source), dw, dh, kernel.table, kernel.placement);
                ASSERT_EQ(ToImage(picture).bgr, expected.bgr)
                    << kernel.name << " " << sw << "x" << sh << " -> " << dw << "x" << dh << ", " << threads << " threads";
            }
        }
    }
}

TEST_F(NaiveReference, AverageAndNearestMatchForManySizes) {
    for (const int threads : {1, 2, 5}) {
        SetResampleThreads(threads);
        uint32_t seed = 100;
        for (const auto& [sw, sh, dw, dh] : SizeCases()) {
            const TBitmap source = testing_support::RandomBitmap(sw, sh, seed++);
            TBitmap average = source, nearest = source;
            AveragePixelResample(average, dw, dh);
            NearestNeighborResample(nearest, dw, dh);
            ASSERT_EQ(ToImage(average).bgr, naive::Average(ToImage(source), dw, dh).bgr)
                << sw << "x" << sh << " -> " << dw << "x" << dh << ", " << threads << " threads";
            ASSERT_EQ(ToImage(nearest).bgr, naive::Nearest(ToImage(source), dw, dh).bgr)
                << sw << "x" << sh << " -> " << dw << "x" << dh << ", " << threads << " threads";
        }
    }
}
