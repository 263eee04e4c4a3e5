#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "resample/ResampleEx.h"

namespace {

struct KernelRow {
    const char* name;
    int32_t (*kernel)(double);
    int32_t entries;
    // Entries at k = 0, 64, ..., 512, 640, 768, 896; INT32_MIN where the
    // kernel has no entry there.
    std::vector<int32_t> telling;
    int32_t smallest;
    int32_t smallestAt;  // -1: not checked (several entries share it)
};

constexpr int32_t kNone = INT32_MIN;

const std::vector<KernelRow>& Rows() {
    static const std::vector<KernelRow> rows = {
        {"Lanczos4", Lanczos4Kernel, 1024, {256, 229, 159, 72, 0, -38, -42, -22, 0, 15, 0, -2}, -44, 349},
        {"Lanczos3", Lanczos3Kernel, 768, {256, 228, 156, 69, 0, -33, -34, -16, 0, 6}, -37, 345},
        {"Lanczos2", Lanczos2Kernel, 512, {256, 225, 147, 60, 0, -21, -15, -4}, -21, 318},
        {"Mitchell", MitchellKernel, 512, {228, 200, 137, 66, 14, -5, -8, -3}, -8, 343},
        {"BSpline", BSplineKernel, 512, {171, 157, 123, 81, 43, 18, 5, 1}, 0, -1},
        {"Hermite", HermiteKernel, 256, {256, 216, 128, 40}, 0, -1},
        {"Bell", BellKernel, 384, {192, 176, 128, 72, 32, 8}, 0, -1},
        {"Lagrange", LagrangeKernel, 512, {256, 210, 144, 70, 0, -13, -15, -9}, -15, 337},
        {"Gauss", GaussKernel, 768, {102, 99, 90, 77, 62, 47, 33, 22, 14, 4}, 1, -1},
        {"Bicubic", BicubicKernel, 512, {256, 222, 144, 58, 0, -17, -15, -5}, -18, 327},
        {"Bilinear", BilinearKernel, 256, {256, 192, 128, 64}, 1, -1},
    };
    return rows;
}

std::vector<int32_t> Table(const KernelRow& row) {
    std::vector<int32_t> table(static_cast<size_t>(row.entries));
    for (int32_t k = 0; k < row.entries; ++k) table[size_t(k)] = row.kernel(k / 256.0);
    return table;
}

}  // namespace

TEST(Kernels, TellingEntriesSmallestAndLastEntry) {
    static constexpr int kTellingK[] = {0, 64, 128, 192, 256, 320, 384, 448, 512, 640, 768, 896};
    for (const KernelRow& row : Rows()) {
        SCOPED_TRACE(row.name);
        const std::vector<int32_t> table = Table(row);
        for (size_t i = 0; i < row.telling.size(); ++i) EXPECT_EQ(table[size_t(kTellingK[i])], row.telling[i]) << kTellingK[i];
        const auto smallest = std::min_element(table.begin(), table.end());
        EXPECT_EQ(*smallest, row.smallest);
        if (row.smallestAt >= 0) {
            EXPECT_EQ(smallest - table.begin(), row.smallestAt);
        }
        const int32_t last = table.back();
        EXPECT_EQ(last, (row.kernel == GaussKernel || row.kernel == BilinearKernel) ? 1 : 0);
        EXPECT_EQ(row.kernel(row.entries / 256.0), 0) << "the support radius weighs nothing";
    }
    EXPECT_EQ(Lanczos4Kernel(1.5), -42);  // -42.10 truncates toward zero
}

TEST(Kernels, WholePixelEntriesSumTo256ExceptBSplineAndGauss) {
    for (const KernelRow& row : Rows()) {
        const std::vector<int32_t> table = Table(row);
        int32_t sum = table[0];
        for (int32_t k = 256; k < row.entries; k += 256) sum += 2 * table[size_t(k)];
        const int32_t expected = row.kernel == BSplineKernel ? 257 : row.kernel == GaussKernel ? 254 : 256;
        EXPECT_EQ(sum, expected) << row.name;
    }
}

TEST(Kernels, SetupRoutinesAndNameTables) {
    const struct {
        KernelSetup setup;
        int32_t length;
        int32_t (*kernel)(double);
    } setups[] = {{Lanczos3Setup, 768, Lanczos3Kernel}, {Lanczos2Setup, 512, Lanczos2Kernel},
                  {MitchellSetup, 512, MitchellKernel}, {LagrangeSetup, 512, LagrangeKernel},
                  {HermiteSetup, 256, HermiteKernel},   {BellSetup, 384, BellKernel},
                  {BSplineSetup, 512, BSplineKernel},   {GaussSetup, 768, GaussKernel},
                  {BicubicSetup, 512, BicubicKernel},   {BilinearSetup, 256, BilinearKernel}};
    for (size_t i = 0; i < std::size(setups); ++i) {
        setups[i].setup();
        EXPECT_EQ(KernelTableLength, setups[i].length);
        for (int32_t k = 0; k < KernelTableLength; ++k) ASSERT_EQ(KernelTable[k], setups[i].kernel(k / 256.0));
        EXPECT_EQ(KernelFilterTable[i].Setup, setups[i].setup);
    }
    EXPECT_STREQ(KernelFilterTable[8].DisplayName, "Bicubic （双三次補間）");
    EXPECT_STREQ(KernelFilterTable[9].DisplayName, "Bilinear（線形補間）");
    EXPECT_STREQ(DirectMethodTable[0].EnglishName, "Average");
    EXPECT_STREQ(DirectMethodTable[1].DisplayName, "N-N （最近傍法）");
}
