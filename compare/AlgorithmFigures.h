#pragma once
// The objective figures of one algorithm at one scale, and the pictures a
// comparison shows. Shared by the command line's report and the compare
// window; nothing here needs a display.

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <vector>

#include "platform/Bitmap.h"

// Raised between steps when the caller's Cancelled() answers true.
class ECompareCancelled : public std::runtime_error {
public:
    ECompareCancelled() : std::runtime_error("Comparison cancelled") {}
};

struct TFigureRequest {
    const TBitmap* Source = nullptr;  // any format; read as 24-bit
    int32_t TargetWidth = 0;
    int32_t TargetHeight = 0;
    int Algorithm = 0;                // index into CompareAlgorithms()
    int Reference = 1;                // index of the reference (lanczos3)
    int TimingRuns = 5;               // runs per thread setting; the median counts
    int Threads = 0;                  // "every core" runs: 0 = all cores, else this many
    // Polled between steps; true raises ECompareCancelled.
    std::function<bool()> Cancelled;
    // Called with a fraction 0..1 of this algorithm's work done.
    std::function<void(double)> Progress;
};

struct TKernelPoint {
    double Offset;  // source pixel centre minus the sampling centre, in source pixels
    double Weight;  // normalised so the list sums to 1
};

struct TAlgorithmFigures {
    double MsOneThread = 0;    // median wall time of one resample, one thread
    double MsAllThreads = 0;   // the same on every core (or Threads)
    double PsnrDb = 0;         // round trip against the source; +inf when identical
    double Ssim = 0;           // round trip against the source, 1 when identical
    int32_t Overshoot = 0;     // levels above the bright level of the step edge
    int32_t Undershoot = 0;    // levels below its dark level
    double AliasingShare = 0;  // 0..1, the zone plate's energy beyond the Nyquist limit
    std::vector<TKernelPoint> Kernel;  // one output pixel's contributor list
    TBitmap Result;            // the source resampled to the target size (24-bit)
    TBitmap ZonePlate;         // the zone plate resampled at the same scale
};

// Every figure and picture of one algorithm. Raises EZeroDivide and the
// engine's other errors as the resample itself does.
TAlgorithmFigures ComputeAlgorithmFigures(const TFigureRequest& request);

// |a - b| per channel times gain, clamped to 255, as a 24-bit picture of
// the common size (pixels outside either picture count as black).
TBitmap AmplifiedDifference(const TBitmap& a, const TBitmap& b, int gain = 8);
