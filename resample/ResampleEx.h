#pragma once
// The resampling engine: kernels and their fixed-point tables, and every
// resampler. Each resampler takes a picture, replaces it in place by a
// 24-bit picture of the target size and returns nothing.
//
// Failures: a target width or height of 0, or an empty picture, raises
// EZeroDivide before anything is allocated (the picture is then already
// 24-bit); a reduction too strong for the kernel's fixed-point stretch
// raises EZeroDivide saying it must be done in two steps; a picture that
// cannot be allocated raises EOutOfMemory. In every case the picture keeps
// its content.

#include <array>
#include <cstdint>

class TBitmap;

using KernelSetup = void (*)();
using ResampleRoutine = void (*)(TBitmap& picture, int32_t width, int32_t height);

// The table KernelSetup routines fill for KernelResample: entry k is the
// kernel at distance k/256 in units of 1/256.
extern int32_t KernelTable[768];
extern int32_t KernelTableLength;
// Private tables of the Lanczos-4 and test resamplers, refilled by every call.
extern int32_t Lanczos4Table[1024];
extern int32_t TestKernelTable[512];

// Kernels: distance in source pixels to Trunc(K(x) * 256 + 0.5).
int32_t Lanczos4Kernel(double x);
int32_t Lanczos3Kernel(double x);
int32_t Lanczos2Kernel(double x);
int32_t MitchellKernel(double x);
int32_t BSplineKernel(double x);
int32_t HermiteKernel(double x);
int32_t BellKernel(double x);
int32_t LagrangeKernel(double x);
int32_t GaussKernel(double x);
int32_t BicubicKernel(double x);
int32_t BilinearKernel(double x);

// Setup routines: fill KernelTable and KernelTableLength.
void Lanczos3Setup();
void Lanczos2Setup();
void MitchellSetup();
void LagrangeSetup();
void HermiteSetup();
void BellSetup();
void BSplineSetup();
void GaussSetup();
void BicubicSetup();
void BilinearSetup();

struct KernelFilterEntry {
    const char* EnglishName;
    const char* DisplayName;
    KernelSetup Setup;
};
struct DirectMethodEntry {
    const char* EnglishName;
    const char* DisplayName;
    ResampleRoutine Routine;
};
extern const std::array<KernelFilterEntry, 10> KernelFilterTable;
extern const std::array<DirectMethodEntry, 2> DirectMethodTable;

uint8_t ClampByte(int32_t value);

void KernelResample(TBitmap& picture, int32_t width, int32_t height, KernelSetup setup);
void Lanczos4Resample(TBitmap& picture, int32_t width, int32_t height);
void Test1Resample(TBitmap& picture, int32_t width, int32_t height);
void Test2Resample(TBitmap& picture, int32_t width, int32_t height);
void AveragePixelResample(TBitmap& picture, int32_t width, int32_t height);
void NearestNeighborResample(TBitmap& picture, int32_t width, int32_t height);
void BilinearV2Resample(TBitmap& picture, int32_t width, int32_t height);
void LiftingBilinearResample(TBitmap& picture, int32_t width, int32_t height);

// The lifting command: one LiftingBilinearResample to (width, height) when
// scalePercent <= 100 or the upscale option "do nothing" is selected;
// otherwise doublings while they stay below the whole factor, then a final
// step to the target when the size still differs.
void LiftingBilinearProcedure(TBitmap& picture, int32_t width, int32_t height, int32_t scalePercent,
                              bool noopUpscaleSelected);

// The thirteen menu algorithms by number (0 Lanczos4 ... 12 nearest
// neighbour); any other number is the average-pixel method.
void ResampleByAlgorithm(TBitmap& picture, int algorithm, int32_t width, int32_t height);
