// Lifting bilinear: the horizontal blend of a source row does not depend on
// the output row, so each source row is blended once into 16-bit values and
// output rows mix two blended rows.

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "platform/Bitmap.h"
#include "resample/FastDirectResamplers.h"
#include "resample/ResampleThreads.h"
#include "resample/SeparablePasses.h"

namespace {

int64_t Trunc(long double value) { return static_cast<int64_t>(value); }

struct LiftingTap {
    int32_t First, Second, Fraction;
    bool operator==(const LiftingTap&) const = default;
};

LiftingTap LiftingTapAt(int32_t i, int64_t step, int32_t sourceLength) {
    const int64_t m = Trunc((i + 0.5L) * step + 0.5L) - 128;
    int64_t first = m >= 0 ? m >> 8 : 0;
    int64_t second = first + 1;
    if (first >= sourceLength) first = sourceLength - 1;
    if (second >= sourceLength) second = sourceLength - 1;
    const int64_t fraction = std::max<int64_t>(m - 256 * first, 0);
    return {static_cast<int32_t>(first), static_cast<int32_t>(second), static_cast<int32_t>(fraction)};
}

// A fraction above 256 only occurs where both taps were clamped onto the
// last source pixel, so a * (256 - f) + b * f is 256 * a and every blend
// fits in 16 bits. Unsigned arithmetic gives that value without the
// intermediate negative product.
struct ColumnTap {
    size_t First, Second;
    uint32_t Fraction;
};

void BlendRow(const uint8_t* in, const std::vector<ColumnTap>& columns, uint16_t* out) {
    for (size_t x = 0; x < columns.size(); ++x) {
        const ColumnTap& t = columns[x];
        const uint32_t keep = 256 - t.Fraction;
        for (size_t c = 0; c < 3; ++c)
            out[3 * x + c] = static_cast<uint16_t>(in[t.First + c] * keep + in[t.Second + c] * t.Fraction);
    }
}

void MixRows(const uint16_t* upper, const uint16_t* lower, uint32_t fraction, size_t count, uint8_t* out) {
    const uint32_t keep = 256 - fraction;
    for (size_t i = 0; i < count; ++i)
        out[i] = static_cast<uint8_t>((upper[i] * keep + lower[i] * fraction) >> 16);
}

// The blended rows of the two source rows the current output row needs.
class BlendedRows {
public:
    BlendedRows(const std::vector<const uint8_t*>& rows, const std::vector<ColumnTap>& columns)
        : rows_(rows), columns_(columns) {
        for (Slot& slot : slots_) slot.Values.resize(3 * columns.size());
    }

    const uint16_t* Get(int32_t row, int32_t keep) {
        for (Slot& slot : slots_)
            if (slot.Row == row) return slot.Values.data();
        Slot& slot = slots_[0].Row == keep ? slots_[1] : slots_[0];
        BlendRow(rows_[size_t(row)], columns_, slot.Values.data());
        slot.Row = row;
        return slot.Values.data();
    }

private:
    struct Slot {
        int32_t Row = -1;
        std::vector<uint16_t> Values;
    };
    const std::vector<const uint8_t*>& rows_;
    const std::vector<ColumnTap>& columns_;
    std::array<Slot, 2> slots_;
};

}  // namespace

void FastLiftingBilinearResample(TBitmap& picture, int32_t width, int32_t height) {
    if (picture.Empty()) return;
    PrepareResample(picture, width, height);
    const int32_t sw = picture.Width(), sh = picture.Height();
    const int64_t stepX = Trunc(static_cast<long double>(sw) / width * 256.0L + 0.5L);
    const int64_t stepY = Trunc(static_cast<long double>(sh) / height * 256.0L + 0.5L);
    TBitmap result = TBitmap::ForOverwrite(width, height, pf24bit);
    const std::vector<const uint8_t*> rows = FastDirect::RowStarts(picture);
    std::vector<ColumnTap> columns(static_cast<size_t>(width));
    for (int32_t x = 0; x < width; ++x) {
        const LiftingTap t = LiftingTapAt(x, stepX, sw);
        columns[size_t(x)] = {3 * size_t(t.First), 3 * size_t(t.Second), static_cast<uint32_t>(t.Fraction)};
    }
    const size_t rowBytes = 3 * static_cast<size_t>(width);
    ParallelBands(
        height,
        [&](int32_t begin, int32_t end) {
            BlendedRows blended(rows, columns);
            LiftingTap previous{-1, -1, -1};
            for (int32_t y = begin; y < end; ++y) {
                const LiftingTap ty = LiftingTapAt(y, stepY, sh);
                uint8_t* out = result.ScanLine(y);
                if (ty == previous) {
                    std::memcpy(out, result.ScanLine(y - 1), rowBytes);
                    continue;
                }
                const uint16_t* upper = blended.Get(ty.First, ty.Second);
                const uint16_t* lower = blended.Get(ty.Second, ty.First);
                MixRows(upper, lower, static_cast<uint32_t>(ty.Fraction), rowBytes, out);
                previous = ty;
            }
        },
        FastDirect::MinBandRows(rowBytes));
    picture.Assign(std::move(result));
}
