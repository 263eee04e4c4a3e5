#include "resample/Contributors.h"

#include <algorithm>
#include <cstdlib>

#include "platform/Exceptions.h"

namespace {

constexpr const char* kTwoSteps =
    "A reduction to less than 1/512 of the size along one axis must be done in two steps";

// Appends the window [first, end) of one target position.
template <typename WeightOf>
void AppendWindow(AxisContributors& axis, int64_t centre, int64_t radius, int32_t sourceLength, WeightOf weightOf) {
    const int64_t first = centre > radius ? (centre - radius + 128) >> 8 : 0;
    const int64_t end = std::min<int64_t>((centre + radius + 128) >> 8, sourceLength);
    for (int64_t j = first; j < end; ++j) {
        const int64_t distance = std::abs(256 * j + 128 - centre);
        const int32_t weight = weightOf(distance);
        if (weight != 0) axis.Entries.push_back({weight, static_cast<int32_t>(j)});
    }
}

void CloseList(AxisContributors& axis) {
    axis.Start.push_back(static_cast<uint32_t>(axis.Entries.size()));
    const size_t n = axis.Start.size();
    axis.MaxCount = std::max(axis.MaxCount, static_cast<int32_t>(axis.Start[n - 1] - axis.Start[n - 2]));
}

AxisContributors Begin(int32_t targetLength) {
    AxisContributors axis;
    axis.Start.reserve(size_t(targetLength) + 1);
    axis.Start.push_back(0);
    return axis;
}

}  // namespace

int32_t KernelStretch(int32_t sourceLength, int32_t targetLength) {
    const int64_t q = Trunc(static_cast<long double>(targetLength) / sourceLength * 256.0L + 0.5L);
    if (q == 0) throw EZeroDivide(kTwoSteps);
    return static_cast<int32_t>(std::min<int64_t>(q, 256));
}

int64_t KernelCentre(int32_t i, double scale) {
    long double centre = (static_cast<long double>(i) + 0.5L) * static_cast<long double>(scale);
    centre = centre * 256.0L;
    return Trunc(centre + 0.5L);
}

AxisContributors BuildKernelContributors(int32_t sourceLength, int32_t targetLength, const int32_t* table,
                                         int32_t tableLength) {
    const double scale = static_cast<double>(static_cast<long double>(sourceLength) / targetLength);
    const int32_t q = KernelStretch(sourceLength, targetLength);
    const int64_t limit = Trunc(static_cast<long double>(tableLength) * 256.0L / q + 0.5L);
    const int64_t radius = (int64_t{tableLength} * 256) / q;
    AxisContributors axis = Begin(targetLength);
    for (int32_t i = 0; i < targetLength; ++i) {
        AppendWindow(axis, KernelCentre(i, scale), radius, sourceLength, [&](int64_t d) -> int32_t {
            if (d >= limit) return 0;
            const int64_t index = (d * q) >> 8;
            return index < tableLength ? table[index] : 0;
        });
        CloseList(axis);
    }
    return axis;
}

AxisContributors BuildTest1Contributors(int32_t sourceLength, int32_t targetLength, const int32_t* table512) {
    const double scale = static_cast<double>(static_cast<long double>(sourceLength) / targetLength);
    const int32_t q = KernelStretch(sourceLength, targetLength);
    const int64_t radius = 131072 / q;
    AxisContributors axis = Begin(targetLength);
    for (int32_t i = 0; i < targetLength; ++i) {
        AppendWindow(axis, KernelCentre(i, scale), radius, sourceLength,
                     [&](int64_t d) -> int32_t { return d < 512 ? table512[(d * q) >> 8] : 0; });
        CloseList(axis);
    }
    return axis;
}

AxisContributors BuildTest2Contributors(int32_t sourceLength, int32_t targetLength, const int32_t* table512) {
    const int64_t step = Trunc(static_cast<long double>(sourceLength) / targetLength * 256.0L + 0.5L);
    const int64_t half = step / 2;
    const int32_t q = KernelStretch(sourceLength, targetLength);
    const int64_t radius = 131072 / q;
    AxisContributors axis = Begin(targetLength);
    for (int32_t i = 0; i < targetLength; ++i) {
        AppendWindow(axis, i * step + half, radius, sourceLength, [&](int64_t d) -> int32_t {
            const int64_t index = (d * q) >> 8;
            return index < 512 ? table512[index] : 0;
        });
        CloseList(axis);
    }
    return axis;
}

AxisContributors BuildAverageContributors(int32_t sourceLength, int32_t targetLength) {
    // 64-bit positions: the same as 32-bit ones wherever those do not wrap.
    const uint64_t step = static_cast<uint64_t>(Trunc(static_cast<long double>(sourceLength) / targetLength * 1024.0L + 0.5L));
    AxisContributors axis = Begin(targetLength);
    for (int32_t x = 0; x < targetLength; ++x) {
        const uint64_t u = uint64_t(x) * step, v = uint64_t(x + 1) * step;
        const uint64_t first = u >> 10, last = v >> 10;
        const uint64_t n = last - first + 1;
        for (uint64_t i = 0; i < n; ++i) {
            const uint64_t source = first + i;
            if (source > uint64_t(sourceLength - 1)) continue;
            int32_t coverage = 1024;
            if (i == 0) coverage = static_cast<int32_t>(1024 - (u & 1023));
            else if (i == n - 1) coverage = static_cast<int32_t>(v & 1023);
            if (coverage != 0) axis.Entries.push_back({coverage, static_cast<int32_t>(source)});
        }
        CloseList(axis);
    }
    return axis;
}
