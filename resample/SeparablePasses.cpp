#include "resample/SeparablePasses.h"

#include "platform/Bitmap.h"
#include "platform/Exceptions.h"
#include "resample/ResampleEx.h"

uint8_t ClampByte(int32_t value) {
    if (value >= 255) return 255;
    if (value <= 0) return 0;
    return static_cast<uint8_t>(value);
}

void PrepareResample(TBitmap& picture, int32_t width, int32_t height) {
    picture.SetPixelFormat(pf24bit);
    if (width < 0 || height < 0) throw EInvalidGraphicOperation("Invalid target size");
    if (width == 0 || height == 0 || picture.Empty()) throw EZeroDivide(PlatformMessages::ZeroDivide);
}

std::vector<const uint8_t*> RowStarts(const TBitmap& picture) {
    std::vector<const uint8_t*> rows(size_t(picture.Height()));
    for (int32_t y = 0; y < picture.Height(); ++y) rows[size_t(y)] = picture.ScanLine(y);
    return rows;
}

void AccumulatePixel(const Contributor* list, int32_t count, const uint8_t* const* sources, uint8_t* out) {
    // Bounds: at most 2 * 1024 * 256 / 256 + 1 contributors of |weight| <=
    // 256 over bytes, so every sum stays far inside 32 bits.
    int32_t w = 0, r = 0, g = 0, b = 0;
    for (int32_t k = 0; k < count; ++k) {
        const int32_t weight = list[k].Weight;
        const uint8_t* p = sources[k];
        w += weight;
        b += weight * p[0];
        g += weight * p[1];
        r += weight * p[2];
    }
    if (w != 0 && w != 1) {
        r /= w;
        g /= w;
        b /= w;
    }
    out[0] = ClampByte(b);
    out[1] = ClampByte(g);
    out[2] = ClampByte(r);
}

namespace ResampleReference {

void HorizontalPass(const TBitmap& source, TBitmap& intermediate, const AxisContributors& columns) {
    std::vector<const uint8_t*> taps(size_t(columns.MaxCount));
    for (int32_t y = 0; y < source.Height(); ++y) {
        const uint8_t* in = source.ScanLine(y);
        uint8_t* out = intermediate.ScanLine(y);
        for (int32_t x = 0; x < intermediate.Width(); ++x) {
            const Contributor* list = columns.List(x);
            const int32_t count = columns.Count(x);
            for (int32_t k = 0; k < count; ++k) taps[size_t(k)] = in + 3 * size_t(list[k].Index);
            AccumulatePixel(list, count, taps.data(), out + 3 * size_t(x));
        }
    }
}

void VerticalPass(const TBitmap& intermediate, TBitmap& result, const AxisContributors& rows) {
    // Row by row rather than column by column: every output pixel is
    // independent, so the order changes nothing but the cache traffic.
    std::vector<const uint8_t*> taps(size_t(rows.MaxCount));
    std::vector<const uint8_t*> lines(size_t(rows.MaxCount));
    for (int32_t y = 0; y < result.Height(); ++y) {
        const Contributor* list = rows.List(y);
        const int32_t count = rows.Count(y);
        uint8_t* out = result.ScanLine(y);
        for (int32_t k = 0; k < count; ++k) lines[size_t(k)] = intermediate.ScanLine(list[k].Index);
        for (int32_t x = 0; x < result.Width(); ++x) {
            for (int32_t k = 0; k < count; ++k) taps[size_t(k)] = lines[size_t(k)] + 3 * size_t(x);
            AccumulatePixel(list, count, taps.data(), out + 3 * size_t(x));
        }
    }
}

void SeparableResample(TBitmap& picture, int32_t width, int32_t height, const AxisBuilder& build) {
    PrepareResample(picture, width, height);
    KernelStretch(picture.Width(), width);
    KernelStretch(picture.Height(), height);
    TBitmap result(width, height, pf24bit);
    TBitmap intermediate(width, picture.Height(), pf24bit);
    HorizontalPass(picture, intermediate, build(picture.Width(), width));
    VerticalPass(intermediate, result, build(picture.Height(), height));
    picture.Assign(std::move(result));
}

}  // namespace ResampleReference
