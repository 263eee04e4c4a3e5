// Lifting bilinear: the horizontal blend of a source row does not depend on
// the output row, so each source row is blended once into 16-bit values and
// output rows mix two blended rows, both in vector loops.

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "platform/Bitmap.h"
#include "resample/DirectTaps.h"
#include "resample/Contributors.h"
#include "resample/FastDirectResamplers.h"
#include "resample/FastLiftingKernels.h"
#include "resample/ResampleReference.h"
#include "resample/ResampleThreads.h"
#include "resample/SeparablePasses.h"

namespace {

using FastLiftingKernels::kPadding;

using DirectTaps::LiftingTap;
using DirectTaps::LiftingTapAt;

struct Columns {
    std::array<std::vector<size_t>, 2> Offsets;  // byte offsets of the two taps per output pixel
    std::vector<uint16_t> Keep, Fraction;       // 256 - fx and fx per output byte
};

// The blended rows of the (at most) two source rows the current output row
// needs.
class BlendedRows {
public:
    BlendedRows(const std::vector<const uint8_t*>& rows, const Columns& columns)
        : rows_(rows), columns_(columns), bytes_(columns.Keep.size() - kPadding), cache_(bytes_ + kPadding) {
        for (std::vector<uint8_t>& taps : taps_) taps.assign(bytes_ + kPadding, 0);
    }

    const uint16_t* Get(int32_t row, int32_t keep) {
        return cache_.Get(row, keep, [&](int32_t r, uint16_t* values) {
            const auto width = static_cast<int32_t>(columns_.Offsets[0].size());
            for (size_t k = 0; k < 2; ++k)
                FastDirect::GatherPixels(rows_[size_t(r)], columns_.Offsets[k].data(), width, taps_[k].data());
            FastLiftingKernels::BlendRow(taps_[0].data(), taps_[1].data(), columns_.Keep.data(),
                                         columns_.Fraction.data(), bytes_, values);
        });
    }

private:
    const std::vector<const uint8_t*>& rows_;
    const Columns& columns_;
    size_t bytes_;
    std::array<std::vector<uint8_t>, 2> taps_;
    FastDirect::TwoRowCache<uint16_t> cache_;
};

}  // namespace

void FastLiftingBilinearResample(TBitmap& picture, int32_t width, int32_t height) {
    if (width > kMaxTabledWidth) {
        ResampleReference::LiftingBilinearResample(picture, width, height);
        return;
    }
    if (picture.Empty()) return;
    PrepareResample(picture, width, height);
    const int32_t sw = picture.Width(), sh = picture.Height();
    const int64_t stepX = Trunc(static_cast<long double>(sw) / width * 256.0L + 0.5L);
    const int64_t stepY = Trunc(static_cast<long double>(sh) / height * 256.0L + 0.5L);
    TBitmap result = TBitmap::ForOverwrite(width, height, pf24bit);
    const std::vector<const uint8_t*> rows = RowStarts(picture);
    const size_t rowBytes = 3 * static_cast<size_t>(width);
    Columns columns;
    for (std::vector<size_t>& offsets : columns.Offsets) offsets.resize(size_t(width));
    columns.Keep.assign(rowBytes + kPadding, 0);
    columns.Fraction.assign(rowBytes + kPadding, 0);
    for (int32_t x = 0; x < width; ++x) {
        const LiftingTap t = LiftingTapAt(x, stepX, sw);
        columns.Offsets[0][size_t(x)] = 3 * size_t(t.First);
        columns.Offsets[1][size_t(x)] = 3 * size_t(t.Second);
        for (size_t c = 0; c < 3; ++c) {
            columns.Keep[3 * size_t(x) + c] = static_cast<uint16_t>(256 - t.Fraction);
            columns.Fraction[3 * size_t(x) + c] = static_cast<uint16_t>(t.Fraction);
        }
    }
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
                FastLiftingKernels::MixRows(upper, lower, static_cast<uint32_t>(ty.Fraction), rowBytes, out);
                previous = ty;
            }
        },
        BandRowsFor(rowBytes));
    picture.Assign(std::move(result));
}
