// Speed of every resampler in megapixels of output per second, on a
// photograph-like 24-bit picture: a reduction to a quarter, an enlargement
// to double and a video-sized reduction to two thirds, each on one thread
// and on every core. Each repetition resamples a fresh copy of the source,
// as the resample commands do; only the resampling is timed.
//
// Names read algorithm/SOURCE-to-TARGET/threads:1 or threads:all, so
// --benchmark_filter can pick, say, 'lanczos3/.*/threads:1'.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <exception>
#include <string>

#include "bench/BenchPictures.h"
#include "platform/Bitmap.h"
#include "resample/ResampleEx.h"
#include "resample/ResampleThreads.h"

namespace {

template <int Number>
void ByNumber(TBitmap& picture, int32_t width, int32_t height) {
    ResampleByAlgorithm(picture, Number, width, height);
}

struct BenchAlgorithm {
    const char* Name;  // as vorlix-cli names it
    ResampleRoutine Run;
};

// The thirteen menu algorithms, then the hidden variants. The lifting
// command is a single lifting step for all three sizes measured here.
constexpr std::array<BenchAlgorithm, 17> kAlgorithms{{
    {"lanczos4", ByNumber<0>},
    {"lanczos3", ByNumber<1>},
    {"lanczos2", ByNumber<2>},
    {"mitchell", ByNumber<3>},
    {"lagrange", ByNumber<4>},
    {"hermite", ByNumber<5>},
    {"bell", ByNumber<6>},
    {"bspline", ByNumber<7>},
    {"gauss", ByNumber<8>},
    {"bicubic", ByNumber<9>},
    {"bilinear", ByNumber<10>},
    {"average", ByNumber<11>},
    {"nearest", ByNumber<12>},
    {"test1", Test1Resample},
    {"test2", Test2Resample},
    {"bilinear-v2", BilinearV2Resample},
    {"lifting-bilinear", LiftingBilinearResample},
}};

struct ResampleCase {
    int32_t SourceWidth, SourceHeight, TargetWidth, TargetHeight;
    // Fixed, not time-driven: fresh picture memory costs far more than usual
    // on some virtual machines (about 0.1 s per 36 MB on the development
    // one), so the untimed copy of the source can dwarf a fast resampler and
    // a minimum time would make the fast cases run for half a minute.
    int64_t Iterations;

    std::string Name() const {
        return std::to_string(SourceWidth) + "x" + std::to_string(SourceHeight) + "-to-" +
               std::to_string(TargetWidth) + "x" + std::to_string(TargetHeight);
    }
};

constexpr std::array<ResampleCase, 3> kCases{{
    {4000, 3000, 1000, 750, 8},
    {4000, 3000, 8000, 6000, 3},
    {1920, 1080, 1280, 720, 16},
}};

struct ThreadMode {
    int Count;  // for SetResampleThreads: 0 is every core
    const char* Name;
};

constexpr std::array<ThreadMode, 2> kThreadModes{{{1, "threads:1"}, {0, "threads:all"}}};

using Clock = std::chrono::steady_clock;

void BM_Resample(benchmark::State& state, const BenchAlgorithm& algorithm, const ResampleCase& size,
                 const ThreadMode& threads) {
    SetResampleThreads(threads.Count);
    const TBitmap& source = SharedPhotoLikePicture(size.SourceWidth, size.SourceHeight);
    TBitmap picture;
    double fastest = 0;
    for (auto _ : state) {
        picture = source;
        const auto start = Clock::now();
        try {
            algorithm.Run(picture, size.TargetWidth, size.TargetHeight);
        } catch (const std::exception& error) {
            state.SkipWithError(error.what());
            break;
        }
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(seconds);
        fastest = fastest == 0 ? seconds : std::min(fastest, seconds);
        benchmark::DoNotOptimize(picture.ScanLine(0));
        benchmark::ClobberMemory();
    }
    // A resampler that stopped early or lost the format would make the
    // figure meaningless, so it fails the run instead of reporting one.
    if (!state.error_occurred() && (picture.Width() != size.TargetWidth || picture.Height() != size.TargetHeight ||
                                    picture.PixelFormat() != pf24bit))
        state.SkipWithError("the result has the wrong size or pixel format");
    const double outputPixels = double(size.TargetWidth) * double(size.TargetHeight);
    state.counters["MP/s"] =
        benchmark::Counter(outputPixels * double(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
    // The figure vorlix-cli --repeat prints as "fastest", for comparing runs
    // on a busy machine, where the mean suffers most.
    state.counters["fastest_ms"] = fastest * 1e3;
    state.counters["threads"] = ResampleThreads();
}

void RegisterAll() {
    for (const BenchAlgorithm& algorithm : kAlgorithms)
        for (const ResampleCase& size : kCases)
            for (const ThreadMode& threads : kThreadModes) {
                const std::string name = std::string(algorithm.Name) + "/" + size.Name() + "/" + threads.Name;
                benchmark::RegisterBenchmark(name.c_str(), BM_Resample, algorithm, size, threads)
                    ->UseManualTime()
                    ->Iterations(size.Iterations)
                    ->Unit(benchmark::kMillisecond);
            }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RegisterAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
