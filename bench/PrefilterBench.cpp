// Speed of the upscale pre-filters on a 4000 x 3000 picture, single thread,
// in megapixels per second. "peak_buffers" is the resident memory the filter
// needed at its peak, counting the picture itself, in 24-bit picture sizes.

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <random>
#include <string>

#include "images/Effector/CustomFilter.h"
#include "images/Effector/DCTCoreUnit.h"
#include "images/Effector/DCTUtils.h"
#include "platform/Bitmap.h"

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;

// Smooth gradients with noise and hard-edged patches: like a photograph in
// what the filters meet (edges, flat parts, equal lumas), reproducible.
TBitmap TestPicture() {
    TBitmap picture(kWidth, kHeight, pf24bit);
    std::mt19937 random(1);
    for (int y = 0; y < kHeight; ++y) {
        uint8_t* row = picture.ScanLine(y);
        for (int x = 0; x < kWidth; ++x) {
            const int patch = ((x / 37) + (y / 23)) % 5 == 0 ? 90 : 0;
            const int noise = int(random() % 9) - 4;
            row[3 * x] = uint8_t(std::clamp((x * 255) / kWidth + noise + patch, 0, 255));
            row[3 * x + 1] = uint8_t(std::clamp((y * 255) / kHeight + noise, 0, 255));
            row[3 * x + 2] = uint8_t(std::clamp(((x + y) * 127) / (kWidth + kHeight) + noise + patch, 0, 255));
        }
    }
    return picture;
}

long StatusKiB(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0) return std::stol(line.substr(line.find(':') + 1));
    return -1;
}

// Resident memory at the peak of one run of filter, counting the picture.
template <typename Filter>
double PeakBuffers(Filter filter) {
    const long before = StatusKiB("VmRSS:");
    TBitmap picture = TestPicture();
    std::ofstream("/proc/self/clear_refs") << "5";  // restart the high-water mark
    filter(picture);
    const long peak = StatusKiB("VmHWM:");
    if (before < 0 || peak < 0) return -1;
    return double(peak - before) * 1024.0 / (double(kWidth) * kHeight * 3);
}

void SetCounters(benchmark::State& state, double peakBuffers) {
    state.counters["MP/s"] =
        benchmark::Counter(double(kWidth) * kHeight * double(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
    state.counters["peak_buffers"] = peakBuffers;
}

void BM_DCTHighCut(benchmark::State& state) {
    InitializeDCTCoreUnit();
    const int cut = int(state.range(0));
    const double peak = PeakBuffers([cut](TBitmap& p) { DCTHighCut(p, cut); });
    TBitmap picture = TestPicture();
    for (auto _ : state) {
        // The cut works in place at the same speed whatever the content, so
        // the picture is not restored between runs.
        DCTHighCut(picture, cut);
        benchmark::DoNotOptimize(picture.ScanLine(0));
    }
    SetCounters(state, peak);
}
BENCHMARK(BM_DCTHighCut)->Arg(7)->Arg(6)->Arg(5)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EdgePreservingMedian(benchmark::State& state) {
    const double peak = PeakBuffers([](TBitmap& p) { EdgePreservingMedian(p); });
    const TBitmap original = TestPicture();
    TBitmap picture;
    for (auto _ : state) {
        state.PauseTiming();
        picture = original;
        state.ResumeTiming();
        EdgePreservingMedian(picture);
        benchmark::DoNotOptimize(picture.ScanLine(0));
    }
    SetCounters(state, peak);
}
BENCHMARK(BM_EdgePreservingMedian)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_NamedFilter(benchmark::State& state, const char* name) {
    TBitmap picture = TestPicture();
    for (auto _ : state) {
        ApplyNamedFilter(picture, name);
        benchmark::DoNotOptimize(picture.ScanLine(0));
    }
    SetCounters(state, PeakBuffers([name](TBitmap& p) { ApplyNamedFilter(p, name); }));
}
BENCHMARK_CAPTURE(BM_NamedFilter, FindEdge, "FindEdge")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_NamedFilter, Test5x5, "Test")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    // Fixed thresholds: every large buffer is mapped on allocation and
    // returned on release, so the high-water mark shows what a run needs
    // rather than what earlier runs left in the heap.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 20);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
