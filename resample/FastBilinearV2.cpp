// The single-precision bilinear variant. Its value is evaluated in the same
// 80-bit extended operations, in the same order, as the reference; what is
// saved is the tap placement per pixel and, where a fraction is exactly 0,
// the terms that then cannot change the value (1 * v and v + 0 * w are v).

#include <cmath>
#include <cstring>
#include <vector>

#include "platform/Bitmap.h"
#include "resample/FastDirectResamplers.h"
#include "resample/ResampleThreads.h"
#include "resample/SeparablePasses.h"

namespace {

int64_t Trunc(long double value) { return static_cast<int64_t>(value); }

// Only the named quantities are singles; the sums and differences between
// them are exact in extended precision.
struct BilinearTap {
    int32_t First, Second;
    float Fraction;
    bool operator==(const BilinearTap&) const = default;
};

BilinearTap BilinearV2Tap(int32_t i, float ratio, float quarter, int32_t sourceLength) {
    const float centre = static_cast<float>((static_cast<long double>(i) + 0.5L) * ratio);
    const long double left = static_cast<long double>(centre) - quarter;
    int64_t first = Trunc(left);
    int64_t second = Trunc(static_cast<long double>(centre) + quarter);
    if (first < 0) first = 0;
    if (second >= sourceLength) second = sourceLength - 1;
    float fraction = static_cast<float>(left - first);
    if (fraction < 0) fraction = 0;
    return {static_cast<int32_t>(first), static_cast<int32_t>(second), fraction};
}

struct ColumnTap {
    size_t First, Second;  // byte offsets
    long double Fraction, Keep;  // fx and 1 - fx
};

uint8_t Rounded(long double value) { return static_cast<uint8_t>(std::llrint(value)); }

// One output row from one source row: the vertical fraction is 0.
void HorizontalRow(const uint8_t* in, const std::vector<ColumnTap>& columns, uint8_t* out) {
    for (size_t x = 0; x < columns.size(); ++x) {
        const ColumnTap& t = columns[x];
        if (t.Fraction == 0) {
            std::memcpy(out + 3 * x, in + t.First, 3);
            continue;
        }
        for (size_t c = 0; c < 3; ++c) out[3 * x + c] = Rounded(t.Keep * in[t.First + c] + t.Fraction * in[t.Second + c]);
    }
}

void BlendedRow(const uint8_t* top, const uint8_t* bottom, long double fy, const std::vector<ColumnTap>& columns,
                uint8_t* out) {
    const long double ky = 1 - fy;
    for (size_t x = 0; x < columns.size(); ++x) {
        const ColumnTap& t = columns[x];
        if (t.Fraction == 0) {
            for (size_t c = 0; c < 3; ++c) out[3 * x + c] = Rounded(ky * top[t.First + c] + fy * bottom[t.First + c]);
            continue;
        }
        for (size_t c = 0; c < 3; ++c)
            out[3 * x + c] = Rounded(ky * (t.Keep * top[t.First + c] + t.Fraction * top[t.Second + c]) +
                                     fy * (t.Keep * bottom[t.First + c] + t.Fraction * bottom[t.Second + c]));
    }
}

}  // namespace

void FastBilinearV2Resample(TBitmap& picture, int32_t width, int32_t height) {
    PrepareResample(picture, width, height);
    const int32_t sw = picture.Width(), sh = picture.Height();
    const auto ratioX = static_cast<float>(static_cast<long double>(sw) / width);
    const auto ratioY = static_cast<float>(static_cast<long double>(sh) / height);
    const auto quarterX = static_cast<float>(static_cast<long double>(ratioX) / 4);
    const auto quarterY = static_cast<float>(static_cast<long double>(ratioY) / 4);
    TBitmap result(width, height, pf24bit);
    const std::vector<const uint8_t*> rows = FastDirect::RowStarts(picture);
    std::vector<ColumnTap> columns(static_cast<size_t>(width));
    for (int32_t x = 0; x < width; ++x) {
        const BilinearTap t = BilinearV2Tap(x, ratioX, quarterX, sw);
        const long double fx = t.Fraction;
        columns[size_t(x)] = {3 * size_t(t.First), 3 * size_t(t.Second), fx, 1 - fx};
    }
    const size_t rowBytes = 3 * static_cast<size_t>(width);
    ParallelBands(
        height,
        [&](int32_t begin, int32_t end) {
            BilinearTap previous{-1, -1, 0};
            for (int32_t y = begin; y < end; ++y) {
                const BilinearTap ty = BilinearV2Tap(y, ratioY, quarterY, sh);
                uint8_t* out = result.ScanLine(y);
                if (ty == previous) std::memcpy(out, result.ScanLine(y - 1), rowBytes);
                else if (ty.Fraction == 0) HorizontalRow(rows[size_t(ty.First)], columns, out);
                else BlendedRow(rows[size_t(ty.First)], rows[size_t(ty.Second)], ty.Fraction, columns, out);
                previous = ty;
            }
        },
        FastDirect::MinBandRows(rowBytes));
    picture.Assign(std::move(result));
}
