// resample and demo: the engine on a file or on the built-in test card.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "app/SizeCoupling.h"
#include "app/TestCard.h"
#include "cli/Algorithms.h"
#include "cli/CliArguments.h"
#include "cli/Commands.h"
#include "cli/PictureSteps.h"
#include "images/Effector/UpscalePrefilter.h"
#include "platform/SysUtils.h"
#include "resample/ResampleThreads.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kWidthTooSmall = "The width must be at least 1 pixel.";
constexpr const char* kHeightTooSmall = "The height must be at least 1 pixel.";

TCoupledSize CoupledSize(const CliArguments& arguments, int32_t sourceWidth, int32_t sourceHeight) {
    constexpr int32_t kMax = INT32_MAX;
    const auto width = arguments.Integer("width", INT32_MIN, kMax);
    const auto height = arguments.Integer("height", INT32_MIN, kMax);
    const auto scale = arguments.Integer("scale", 1, kMax);
    if (scale && (width || height)) throw UsageError("give --scale alone, or --width and/or --height");
    if (width && *width < 1) throw UsageError(kWidthTooSmall);
    if (height && *height < 1) throw UsageError(kHeightTooSmall);
    if (width && height) return {*width, *height, CoupleFromWidth(*width, sourceWidth, sourceHeight)->Scale};
    if (width) return *CoupleFromWidth(*width, sourceWidth, sourceHeight);
    if (height) return *CoupleFromHeight(*height, sourceWidth, sourceHeight);
    if (scale) return *CoupleFromScale(*scale, sourceWidth, sourceHeight);
    return {sourceWidth, sourceHeight, 100};
}

// A coupled side can round to nothing (width 1 of a wide picture); no
// algorithm can make an empty picture, so that is refused before running.
TCoupledSize TargetSize(const CliArguments& arguments, int32_t sourceWidth, int32_t sourceHeight) {
    const TCoupledSize size = CoupledSize(arguments, sourceWidth, sourceHeight);
    if (size.Width < 1) throw UsageError(kWidthTooSmall);
    if (size.Height < 1) throw UsageError(kHeightTooSmall);
    return size;
}

// Runs the pre-filter (when the main window would) and the algorithm on a
// fresh copy; returns the elapsed time.
double RunOnce(const CliAlgorithm& algorithm, const TBitmap& source, const TCoupledSize& size,
               TUpscalePrefilter prefilter, TBitmap& result) {
    result = source;
    const auto start = Clock::now();
    if (algorithm.UsesPrefilter && UpscalePrefilterApplies(size.Scale)) ApplyUpscalePrefilter(result, prefilter);
    algorithm.Run(result, size.Width, size.Height, size.Scale, prefilter == TUpscalePrefilter::None);
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// --threads N: how many threads the resamplers use (default: every core).
void ApplyThreadsOption(const CliArguments& arguments) {
    SetResampleThreads(arguments.Integer("threads", 1, 1024).value_or(0));
}

std::string Milliseconds(double ms) { return Format("%d[ms] (%.3f ms)", static_cast<int>(ms), ms); }

}  // namespace

int ResampleCommand(const std::vector<std::string>& args) {
    const CliArguments arguments(
        args, Union({kReadValuedOptions, kWriteValuedOptions, {"algorithm", "width", "height", "scale", "repeat", "prefilter", "threads"}}),
        Union({kReadFlagOptions, kWriteFlagOptions, {"time"}}));
    arguments.RequirePositionals(2, "INPUT and OUTPUT");
    const auto name = arguments.Value("algorithm");
    if (!name) throw UsageError("missing --algorithm NAME (see 'vorlix-cli algorithms --all')");
    const CliAlgorithm* algorithm = FindCliAlgorithm(*name);
    if (!algorithm) throw UsageError("unknown algorithm '" + *name + "' (see 'vorlix-cli algorithms --all')");
    const int32_t repeat = arguments.Integer("repeat", 1, 100000).value_or(1);
    ApplyThreadsOption(arguments);
    const auto prefilter = ParseUpscalePrefilter(arguments.Value("prefilter").value_or("none"));
    if (!prefilter) throw UsageError(std::string("--prefilter takes ") + UpscalePrefilterCommandNames);

    const CliWriteOptions writeOptions = WriteOptionsFrom(arguments, arguments.Positionals()[0]);
    CliPicture picture = ReadInput(arguments.Positionals()[0], ReadOptionsFrom(arguments));
    const TCoupledSize size = TargetSize(arguments, picture.Bitmap.Width(), picture.Bitmap.Height());
    std::vector<double> times;
    TBitmap result;
    for (int32_t i = 0; i < repeat; ++i) times.push_back(RunOnce(*algorithm, picture.Bitmap, size, *prefilter, result));
    if (picture.Alpha) algorithm->Run(*picture.Alpha, size.Width, size.Height, size.Scale, true);
    picture.Bitmap = std::move(result);
    WriteOutput(picture, arguments.Positionals()[1], writeOptions);

    if (arguments.Has("repeat")) {
        std::sort(times.begin(), times.end());
        std::cout << "fastest " << Milliseconds(times.front()) << "\n"
                  << "median " << Milliseconds(times[times.size() / 2]) << "\n";
    } else if (arguments.Has("time")) {
        std::cout << Format("%d[ms]", static_cast<int>(times.front())) << "\n";
    }
    return kExitOk;
}

int DemoCommand(const std::vector<std::string>& args) {
    const CliArguments arguments(args, {"threads"}, {});
    ApplyThreadsOption(arguments);
    if (arguments.Positionals().size() > 1) throw UsageError("unexpected argument " + arguments.Positionals()[1]);
    const std::string folder = arguments.Positionals().empty() ? "out" : arguments.Positionals()[0];
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) throw FileError(folder, error.message());

    CliPicture card;
    card.Bitmap = MakeTestCard();
    card.ClassName = "TBitmap";
    const std::string extension = ".png";
    WriteOutput(card, folder + "/testcard" + extension);
    const int32_t w = card.Bitmap.Width(), h = card.Bitmap.Height();
    std::printf("Test card %dx%d -> half %dx%d and double %dx%d, written to %s/\n", w, h, w / 2, h / 2, 2 * w,
                2 * h, folder.c_str());
    for (const CliAlgorithm& algorithm : CliAlgorithms()) {
        std::printf("%-17s", algorithm.Name);
        for (const auto& [label, size] : {std::pair{"half", TCoupledSize{w / 2, h / 2, 50}},
                                          std::pair{"double", TCoupledSize{2 * w, 2 * h, 200}}}) {
            CliPicture result;
            const double ms = RunOnce(algorithm, card.Bitmap, size, TUpscalePrefilter::None, result.Bitmap);
            WriteOutput(result, folder + "/" + algorithm.Name + "-" + label + extension);
            std::printf("  %-6s %8s", label, Format("%d[ms]", static_cast<int>(ms)).c_str());
        }
        std::printf("\n");
    }
    return kExitOk;
}

TCoupledSize CommandTargetSize(const CliArguments& arguments, int32_t sourceWidth, int32_t sourceHeight) {
    return TargetSize(arguments, sourceWidth, sourceHeight);
}
