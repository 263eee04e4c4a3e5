// The single-precision bilinear variant, evaluated exactly in integers.
//
// The reference value is
//     V = (1 - fy) * ((1 - fx) * a + fx * b) + fy * ((1 - fx) * c + fx * d)
// in 80-bit extended operations (64-bit significands), rounded to the
// nearest integer with ties to even; fx and fy are singles in [0, 1), a to
// d bytes. Write fx = Nx / 2^Sx and fy = Ny / 2^Sy with the least shifts.
// Then 1 - fx is a multiple of 2^-Sx no larger than 1, both products and
// their sum U are multiples of 2^-Sx no larger than 255, and (1 - fy) * U,
// fy * L and V are multiples of 2^-(Sx + Sy) no larger than 255. Every one
// of these needs at most 8 + Sx + Sy significant bits, so while
// Sx + Sy <= 56 no operation rounds and V is the exact rational value.
// Scaled by 2^(Sx + Sy) it is the integer
//     (2^Sy - Ny) * ((2^Sx - Nx) a + Nx b) + Ny * ((2^Sx - Nx) c + Nx d)
// below 255 * 2^56, and rounding it to even after the shift gives the
// reference byte. Fractions with longer expansions (below about 2^-5 with
// all significand bits set) keep the extended evaluation.
//
// The horizontal blend of a source row does not depend on the output row,
// so it is computed once per source row and column.

#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/Bitmap.h"
#include "resample/DirectTaps.h"
#include "resample/Contributors.h"
#include "resample/FastDirectResamplers.h"
#include "resample/ResampleReference.h"
#include "resample/ResampleThreads.h"
#include "resample/SeparablePasses.h"

namespace {

using DirectTaps::BilinearTap;
using DirectTaps::BilinearV2Tap;

constexpr int32_t kMaxShift = 56;
constexpr int32_t kInexact = kMaxShift + 1;

// A fraction as N / 2^S with the least S, or S = kInexact beyond kMaxShift.
struct Dyadic {
    uint64_t Numerator = 0, Complement = 1;  // N and 2^S - N
    int32_t Shift = 0;
};

Dyadic DyadicOf(float fraction) {
    for (int32_t shift = 0; shift <= kMaxShift; ++shift) {
        const double scaled = std::ldexp(static_cast<double>(fraction), shift);
        if (scaled == std::floor(scaled)) {
            const auto numerator = static_cast<uint64_t>(scaled);
            return {numerator, (uint64_t(1) << shift) - numerator, shift};
        }
    }
    return {0, 0, kInexact};
}

// value / 2^shift to the nearest integer, ties to even, for shift >= 1:
// adding 2^(shift - 1) - 1, and 1 more when the quotient is odd, carries
// into the quotient exactly when the rest is above one half, or equal to
// it with an odd quotient. value stays below 255 * 2^56, so nothing wraps.
uint8_t RoundedShift(uint64_t value, int32_t shift) {
    const uint64_t bias = (uint64_t(1) << (shift - 1)) - 1 + ((value >> shift) & 1);
    return static_cast<uint8_t>((value + bias) >> shift);
}

struct ColumnTap {
    size_t First, Second;  // byte offsets
    long double Fraction, Keep;  // fx and 1 - fx, for the extended evaluation
    Dyadic Exact;
};

uint8_t Extended(long double fy, long double ky, const ColumnTap& t, const uint8_t* top, const uint8_t* bottom,
                 size_t c) {
    return static_cast<uint8_t>(std::llrint(ky * (t.Keep * top[t.First + c] + t.Fraction * top[t.Second + c]) +
                                            fy * (t.Keep * bottom[t.First + c] + t.Fraction * bottom[t.Second + c])));
}

// The scaled horizontal blends (2^Sx - Nx) a + Nx b of the (at most) two
// source rows the current output row needs.
class BlendedRows {
public:
    BlendedRows(const std::vector<const uint8_t*>& rows, const std::vector<ColumnTap>& columns)
        : rows_(rows), columns_(columns), cache_(3 * columns.size()) {}

    const uint64_t* Get(int32_t row, int32_t keep) {
        return cache_.Get(row, keep, [&](int32_t r, uint64_t* values) {
            const uint8_t* in = rows_[size_t(r)];
            for (size_t x = 0; x < columns_.size(); ++x) {
                const ColumnTap& t = columns_[x];
                if (t.Exact.Shift > kMaxShift) continue;
                for (size_t c = 0; c < 3; ++c)
                    values[3 * x + c] = t.Exact.Complement * in[t.First + c] + t.Exact.Numerator * in[t.Second + c];
            }
        });
    }

private:
    const std::vector<const uint8_t*>& rows_;
    const std::vector<ColumnTap>& columns_;
    FastDirect::TwoRowCache<uint64_t> cache_;
};

// A vertical fraction of 0 leaves U: one source row, no vertical blend.
void SingleRow(const uint8_t* in, const std::vector<ColumnTap>& columns, uint8_t* out) {
    for (size_t x = 0; x < columns.size(); ++x) {
        const ColumnTap& t = columns[x];
        if (t.Exact.Shift == 0) {
            std::memcpy(out + 3 * x, in + t.First, 3);
        } else if (t.Exact.Shift <= kMaxShift) {
            for (size_t c = 0; c < 3; ++c)
                out[3 * x + c] = RoundedShift(t.Exact.Complement * in[t.First + c] + t.Exact.Numerator * in[t.Second + c],
                                              t.Exact.Shift);
        } else {
            for (size_t c = 0; c < 3; ++c) out[3 * x + c] = Extended(0, 1, t, in, in, c);
        }
    }
}

void TwoRows(const BilinearTap& ty, const std::vector<const uint8_t*>& rows, const std::vector<ColumnTap>& columns,
             BlendedRows& blended, uint8_t* out) {
    const uint8_t* top = rows[size_t(ty.First)];
    const uint8_t* bottom = rows[size_t(ty.Second)];
    const long double fy = ty.Fraction, ky = 1 - fy;
    const Dyadic dy = DyadicOf(ty.Fraction);
    const uint64_t* upper = nullptr;
    const uint64_t* lower = nullptr;
    if (dy.Shift <= kMaxShift) {
        upper = blended.Get(ty.First, ty.Second);
        lower = blended.Get(ty.Second, ty.First);
    }
    for (size_t x = 0; x < columns.size(); ++x) {
        const ColumnTap& t = columns[x];
        const int32_t shift = t.Exact.Shift + dy.Shift;
        if (shift <= kMaxShift) {
            for (size_t c = 0; c < 3; ++c)
                out[3 * x + c] = RoundedShift(dy.Complement * upper[3 * x + c] + dy.Numerator * lower[3 * x + c], shift);
        } else {
            for (size_t c = 0; c < 3; ++c) out[3 * x + c] = Extended(fy, ky, t, top, bottom, c);
        }
    }
}

}  // namespace

void FastBilinearV2Resample(TBitmap& picture, int32_t width, int32_t height) {
    if (width > kMaxTabledWidth) {
        ResampleReference::BilinearV2Resample(picture, width, height);
        return;
    }
    PrepareResample(picture, width, height);
    const int32_t sw = picture.Width(), sh = picture.Height();
    const DirectTaps::BilinearV2Axis axisX = DirectTaps::BilinearV2AxisOf(sw, width);
    const DirectTaps::BilinearV2Axis axisY = DirectTaps::BilinearV2AxisOf(sh, height);
    TBitmap result = TBitmap::ForOverwrite(width, height, pf24bit);
    const std::vector<const uint8_t*> rows = RowStarts(picture);
    std::vector<ColumnTap> columns(static_cast<size_t>(width));
    for (int32_t x = 0; x < width; ++x) {
        const BilinearTap t = BilinearV2Tap(x, axisX.Ratio, axisX.Quarter, sw);
        const long double fx = t.Fraction;
        columns[size_t(x)] = {3 * size_t(t.First), 3 * size_t(t.Second), fx, 1 - fx, DyadicOf(t.Fraction)};
    }
    const size_t rowBytes = 3 * static_cast<size_t>(width);
    ParallelBands(
        height,
        [&](int32_t begin, int32_t end) {
            BlendedRows blended(rows, columns);
            BilinearTap previous{-1, -1, 0};
            for (int32_t y = begin; y < end; ++y) {
                const BilinearTap ty = BilinearV2Tap(y, axisY.Ratio, axisY.Quarter, sh);
                uint8_t* out = result.ScanLine(y);
                if (ty == previous) std::memcpy(out, result.ScanLine(y - 1), rowBytes);
                else if (ty.Fraction == 0) SingleRow(rows[size_t(ty.First)], columns, out);
                else TwoRows(ty, rows, columns, blended, out);
                previous = ty;
            }
        },
        BandRowsFor(rowBytes));
    picture.Assign(std::move(result));
}
