// The interpolation kernels and their fixed-point tables.
//
// Each kernel is evaluated in extended precision, held as a double, and
// scaled to 1/256 units with Trunc(K * 256 + 0.5), which truncates toward
// zero, so negative lobes move toward 0 (-42.1 gives -42).

#include "resample/Kernels.h"

#include <cmath>

#include "resample/Contributors.h"
#include "resample/ResampleEx.h"

int32_t KernelTable[768];
int32_t KernelTableLength = 0;
int32_t Lanczos4Table[1024];
int32_t TestKernelTable[512];

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;

int32_t ToFixed(double value) { return static_cast<int32_t>(static_cast<long double>(value) * 256.0L + 0.5L); }

double Lanczos(double x, int a) {
    const double y = static_cast<double>(kPi * x);
    const long double ly = y;
    return static_cast<double>(a * sinl(ly) * sinl(ly / a) / (ly * ly));
}

}  // namespace

int32_t Lanczos4Kernel(double x) {
    if (x == 0) return 256;
    return x < 4 ? ToFixed(Lanczos(x, 4)) : 0;
}

int32_t Lanczos3Kernel(double x) {
    if (x == 0) return 256;
    return x < 3 ? ToFixed(Lanczos(x, 3)) : 0;
}

int32_t Lanczos2Kernel(double x) {
    if (x == 0) return 256;
    return x < 2 ? ToFixed(Lanczos(x, 2)) : 0;
}

int32_t MitchellKernel(double x) {
    const long double t = x;
    if (x < 1) return ToFixed(static_cast<double>(7.0L / 6.0L * t * t * t - 2.0L * t * t + 8.0L / 9.0L));
    if (x < 2) return ToFixed(static_cast<double>(2.0L * t * t - 10.0L / 3.0L * t - 7.0L / 18.0L * t * t * t + 16.0L / 9.0L));
    return 0;
}

int32_t BSplineKernel(double x) {
    const long double t = x;
    if (x < 1) return ToFixed(static_cast<double>((3.0L * t * t * t - 6.0L * t * t + 4.0L) / 6.0L));
    if (x < 2) return ToFixed(static_cast<double>((-t * t * t + 6.0L * t * t - 12.0L * t + 8.0L) / 6.0L));
    return 0;
}

int32_t HermiteKernel(double x) {
    const long double t = x;
    return x < 1 ? ToFixed(static_cast<double>((2.0L * t - 3.0L) * t * t + 1.0L)) : 0;
}

int32_t BellKernel(double x) {
    const long double t = x;
    if (x < 0.5) return ToFixed(static_cast<double>(0.75L - t * t));
    if (x < 1.5) return ToFixed(static_cast<double>((t - 1.5L) * (t - 1.5L) / 2.0L));
    return 0;
}

int32_t LagrangeKernel(double x) {
    const long double t = x;
    if (x < 1) return ToFixed(static_cast<double>((t - 2.0L) * 0.5L * (t + 1.0L) * (t - 1.0L)));
    if (x < 2) return ToFixed(static_cast<double>((t - 3.0L) * (-1.0L / 6.0L) * (t - 2.0L) * (t - 1.0L)));
    return 0;
}

int32_t GaussKernel(double x) {
    const long double t = x;
    return x < 3 ? ToFixed(static_cast<double>(expl(-t * t / 2.0L) / sqrtl(2.0L * kPi))) : 0;
}

int32_t BicubicKernel(double x) {
    const long double t = x;
    if (x == 0) return ToFixed(1.0);
    if (x < 1) return ToFixed(static_cast<double>(1.5L * t * t * t - 2.5L * t * t + 1.0L));
    if (x < 2) return ToFixed(static_cast<double>(-0.5L * t * t * t + 2.5L * t * t - 4.0L * t + 2.0L));
    return 0;
}

int32_t BilinearKernel(double x) {
    if (x == 0) return 256;
    return x < 1 ? ToFixed(1.0 - x) : 0;
}

void TabulateKernel(int32_t (*kernel)(double), int32_t* table, int32_t entries) {
    for (int32_t k = 0; k < entries; ++k) table[k] = kernel(static_cast<double>(k) / 256.0);
}

namespace {
void Setup(int32_t (*kernel)(double), int32_t entries) {
    KernelTableLength = entries;
    TabulateKernel(kernel, KernelTable, entries);
}
}  // namespace

void Lanczos3Setup() { Setup(Lanczos3Kernel, 768); }
void Lanczos2Setup() { Setup(Lanczos2Kernel, 512); }
void MitchellSetup() { Setup(MitchellKernel, 512); }
void LagrangeSetup() { Setup(LagrangeKernel, 512); }
void HermiteSetup() { Setup(HermiteKernel, 256); }
void BellSetup() { Setup(BellKernel, 384); }
void BSplineSetup() { Setup(BSplineKernel, 512); }
void GaussSetup() { Setup(GaussKernel, 768); }
void BicubicSetup() { Setup(BicubicKernel, 512); }
void BilinearSetup() { Setup(BilinearKernel, 256); }

const std::array<KernelFilterEntry, 10> KernelFilterTable = {{
    {"Lanczos3", "Lanczos3", Lanczos3Setup},
    {"Lanczos2", "Lanczos2", Lanczos2Setup},
    {"Mitchell", "Mitchell", MitchellSetup},
    {"Lagrange", "Lagrange", LagrangeSetup},
    {"Hermite", "Hermite", HermiteSetup},
    {"Bell", "Bell", BellSetup},
    {"B-Spline", "B-Spline", BSplineSetup},
    {"Gauss", "Gauss", GaussSetup},
    {"Bicubic", "Bicubic （双三次補間）", BicubicSetup},
    {"Bilinear", "Bilinear（線形補間）", BilinearSetup},
}};

const std::array<DirectMethodEntry, 2> DirectMethodTable = {{
    {"Average", "平均画素法", AveragePixelResample},
    {"NearestNeighbor", "N-N （最近傍法）", NearestNeighborResample},
}};

const std::array<KernelSetup, 10> MenuKernelSetups = {Lanczos3Setup, Lanczos2Setup, MitchellSetup, LagrangeSetup,
                                                      HermiteSetup,  BellSetup,     BSplineSetup,  GaussSetup,
                                                      BicubicSetup,  BilinearSetup};

std::vector<int32_t> KernelTableSnapshot(KernelSetup setup) {
    setup();
    return std::vector<int32_t>(KernelTable, KernelTable + KernelTableLength);
}

AxisBuilder KernelBuilder(KernelSetup setup) {
    return [table = KernelTableSnapshot(setup)](int32_t s, int32_t d) {
        return BuildKernelContributors(s, d, table.data(), static_cast<int32_t>(table.size()));
    };
}

AxisBuilder Lanczos4Builder() {
    TabulateKernel(Lanczos4Kernel, Lanczos4Table, 1024);
    return [](int32_t s, int32_t d) { return BuildKernelContributors(s, d, Lanczos4Table, 1024); };
}

AxisBuilder Test1Builder() {
    TabulateKernel(MitchellKernel, TestKernelTable, 512);
    return [](int32_t s, int32_t d) { return BuildTest1Contributors(s, d, TestKernelTable); };
}

AxisBuilder Test2Builder() {
    TabulateKernel(MitchellKernel, TestKernelTable, 512);
    return [](int32_t s, int32_t d) { return BuildTest2Contributors(s, d, TestKernelTable); };
}
