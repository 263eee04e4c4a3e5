#pragma once
// Internal: the contributor lists of one axis (which source pixels feed
// each target pixel, with which fixed-point weight) and the exact integer
// and extended-precision arithmetic that places them.

#include <cstddef>
#include <cstdint>
#include <vector>

// Trunc of an extended value, as the 64-bit integer the engine works in.
inline int64_t Trunc(long double value) { return static_cast<int64_t>(value); }

// Beyond this many output columns the fast paths' per-column tables (some
// 20 to 120 bytes each) would outgrow the reference's lists (12 bytes), so
// the fast paths hand such pictures to the reference.
inline constexpr int32_t kMaxTabledWidth = 1 << 21;

struct Contributor {
    int32_t Weight;  // 1/256 units (1/1024 for the area method), never 0
    int32_t Index;   // source column or row
};

// All lists of one axis in one block: list i is Entries[Start[i]] up to
// Entries[Start[i + 1]], in increasing source index.
struct AxisContributors {
    std::vector<uint32_t> Start;
    std::vector<Contributor> Entries;
    int32_t MaxCount = 0;

    int32_t Count(int32_t i) const { return static_cast<int32_t>(Start[size_t(i) + 1] - Start[size_t(i)]); }
    const Contributor* List(int32_t i) const { return Entries.data() + Start[size_t(i)]; }
};

// The kernel's stretch q = Trunc(D / S * 256 + 0.5), capped at 256. A
// reduction below 1/512 makes q zero; that raises EZeroDivide, because the
// window r = L * 256 / q would divide by it.
int32_t KernelStretch(int32_t sourceLength, int32_t targetLength);

// The sampling centre of target position i in 1/256 source pixel:
// Trunc((i + 0.5) * scale * 256 + 0.5) in extended precision, with the
// scale S / D held as a double.
int64_t KernelCentre(int32_t i, double scale);

// Lists of the separable kernel resampler for a table of tableLength
// entries (support radius tableLength / 256).
AxisContributors BuildKernelContributors(int32_t sourceLength, int32_t targetLength, const int32_t* table,
                                         int32_t tableLength);
// The first test variant: the kernel resampler's centres and window, but
// only sources closer than 2 pixels (d < 512) contribute.
AxisContributors BuildTest1Contributors(int32_t sourceLength, int32_t targetLength, const int32_t* table512);
// The second test variant: centres placed by an integer step.
AxisContributors BuildTest2Contributors(int32_t sourceLength, int32_t targetLength, const int32_t* table512);
// The area method: coverages in 1/1024 of a source pixel of footprints of
// step = Trunc(S / D * 1024 + 0.5).
AxisContributors BuildAverageContributors(int32_t sourceLength, int32_t targetLength);
