// The reference resamplers without a kernel table: area average, nearest neighbour,
// the single-precision bilinear variant and the 8-bit lifting bilinear.

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Exceptions.h"
#include "resample/Contributors.h"
#include "resample/DirectTaps.h"
#include "resample/ResampleEx.h"
#include "resample/SeparablePasses.h"

namespace ResampleReference {

void AveragePixelResample(TBitmap& picture, int32_t width, int32_t height) {
    PrepareResample(picture, width, height);
    TBitmap result(width, height, pf24bit);
    const std::vector<const uint8_t*> rows = RowStarts(picture);
    const AxisContributors columns = BuildAverageContributors(picture.Width(), width);
    const AxisContributors rowLists = BuildAverageContributors(picture.Height(), height);
    for (int32_t y = 0; y < height; ++y) {
        const Contributor* rowList = rowLists.List(y);
        const int32_t rowCount = rowLists.Count(y);
        uint8_t* out = result.ScanLine(y);
        for (int32_t x = 0; x < width; ++x) {
            const Contributor* columnList = columns.List(x);
            const int32_t columnCount = columns.Count(x);
            // 64-bit sums: 32 bits overflow from a reduction of about 91 x 91.
            int64_t w = 0, r = 0, g = 0, b = 0;
            for (int32_t i = 0; i < rowCount; ++i) {
                const uint8_t* line = rows[size_t(rowList[i].Index)];
                for (int32_t k = 0; k < columnCount; ++k) {
                    const int64_t weight = (int64_t{columnList[k].Weight} * rowList[i].Weight) >> 10;
                    const uint8_t* p = line + 3 * size_t(columnList[k].Index);
                    w += weight;
                    b += weight * p[0];
                    g += weight * p[1];
                    r += weight * p[2];
                }
            }
            if (w != 0 && w != 1) {
                r /= w;
                g /= w;
                b /= w;
            }
            out[3 * x] = ClampByte(static_cast<int32_t>(std::clamp<int64_t>(b, 0, 255)));
            out[3 * x + 1] = ClampByte(static_cast<int32_t>(std::clamp<int64_t>(g, 0, 255)));
            out[3 * x + 2] = ClampByte(static_cast<int32_t>(std::clamp<int64_t>(r, 0, 255)));
        }
    }
    picture.Assign(std::move(result));
}

void NearestNeighborResample(TBitmap& picture, int32_t width, int32_t height) {
    PrepareResample(picture, width, height);
    const int32_t sw = picture.Width(), sh = picture.Height();
    const int64_t stepX = Trunc(static_cast<long double>(sw) / width * 65536.0L + 0.5L);
    const int64_t stepY = Trunc(static_cast<long double>(sh) / height * 65536.0L + 0.5L);
    const int64_t offsetX = Trunc(static_cast<long double>(sw) / width * 128.0L + 0.5L);
    TBitmap result(width, height, pf24bit);
    const std::vector<const uint8_t*> rows = RowStarts(picture);
    // 64-bit positions: identical to 16.16 in 32 bits below 32768 pixels.
    std::vector<int32_t> columns(static_cast<size_t>(width));
    for (int32_t x = 0; x < width; ++x)
        columns[size_t(x)] = static_cast<int32_t>(std::min<int64_t>((x * stepX + offsetX) >> 16, sw - 1));
    for (int32_t y = 0; y < height; ++y) {
        const int64_t row = std::min<int64_t>(Trunc((y + 0.5L) * stepY + 0.5L) >> 16, sh - 1);
        const uint8_t* in = rows[size_t(row)];
        uint8_t* out = result.ScanLine(y);
        for (int32_t x = 0; x < width; ++x) {
            const uint8_t* p = in + 3 * size_t(columns[size_t(x)]);
            out[3 * x] = p[0];
            out[3 * x + 1] = p[1];
            out[3 * x + 2] = p[2];
        }
    }
    picture.Assign(std::move(result));
}

using DirectTaps::BilinearTap;
using DirectTaps::BilinearV2Tap;

void BilinearV2Resample(TBitmap& picture, int32_t width, int32_t height) {
    PrepareResample(picture, width, height);
    const int32_t sw = picture.Width(), sh = picture.Height();
    const auto [ratioX, quarterX] = DirectTaps::BilinearV2AxisOf(sw, width);
    const auto [ratioY, quarterY] = DirectTaps::BilinearV2AxisOf(sh, height);
    TBitmap result(width, height, pf24bit);
    const std::vector<const uint8_t*> rows = RowStarts(picture);
    std::vector<BilinearTap> columns(static_cast<size_t>(width));
    for (int32_t x = 0; x < width; ++x) columns[size_t(x)] = BilinearV2Tap(x, ratioX, quarterX, sw);
    for (int32_t y = 0; y < height; ++y) {
        const BilinearTap ty = BilinearV2Tap(y, ratioY, quarterY, sh);
        const uint8_t* top = rows[size_t(ty.First)];
        const uint8_t* bottom = rows[size_t(ty.Second)];
        const long double fy = ty.Fraction;
        uint8_t* out = result.ScanLine(y);
        for (int32_t x = 0; x < width; ++x) {
            const BilinearTap& tx = columns[size_t(x)];
            const long double fx = tx.Fraction;
            for (int c = 0; c < 3; ++c) {
                const long double value =
                    (1 - fy) * ((1 - fx) * top[3 * tx.First + c] + fx * top[3 * tx.Second + c]) +
                    fy * ((1 - fx) * bottom[3 * tx.First + c] + fx * bottom[3 * tx.Second + c]);
                out[3 * x + c] = static_cast<uint8_t>(std::llrint(value));
            }
        }
    }
    picture.Assign(std::move(result));
}

using DirectTaps::LiftingTap;
using DirectTaps::LiftingTapAt;

void LiftingBilinearResample(TBitmap& picture, int32_t width, int32_t height) {
    if (picture.Empty()) return;
    PrepareResample(picture, width, height);
    const int32_t sw = picture.Width(), sh = picture.Height();
    const int64_t stepX = Trunc(static_cast<long double>(sw) / width * 256.0L + 0.5L);
    const int64_t stepY = Trunc(static_cast<long double>(sh) / height * 256.0L + 0.5L);
    TBitmap result(width, height, pf24bit);
    const std::vector<const uint8_t*> rows = RowStarts(picture);
    std::vector<LiftingTap> columns(static_cast<size_t>(width));
    for (int32_t x = 0; x < width; ++x) columns[size_t(x)] = LiftingTapAt(x, stepX, sw);
    for (int32_t y = 0; y < height; ++y) {
        const LiftingTap ty = LiftingTapAt(y, stepY, sh);
        const uint8_t* top = rows[size_t(ty.First)];
        const uint8_t* bottom = rows[size_t(ty.Second)];
        uint8_t* out = result.ScanLine(y);
        for (int32_t x = 0; x < width; ++x) {
            const LiftingTap& tx = columns[size_t(x)];
            for (int c = 0; c < 3; ++c) {
                const int32_t upper = top[3 * tx.First + c] * (256 - tx.Fraction) + top[3 * tx.Second + c] * tx.Fraction;
                const int32_t lower = bottom[3 * tx.First + c] * (256 - tx.Fraction) + bottom[3 * tx.Second + c] * tx.Fraction;
                out[3 * x + c] = static_cast<uint8_t>((upper * (256 - ty.Fraction) + lower * ty.Fraction) >> 16);
            }
        }
    }
    picture.Assign(std::move(result));
}

}  // namespace ResampleReference
