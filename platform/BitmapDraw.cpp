// The canvas operations of TBitmap: fill, draw and nearest-pixel stretch
// with the copy, AND and OR raster operations.

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Palettes.h"
#include "platform/PixelRows.h"

namespace {

void Combine(const uint8_t* source, uint8_t* dest, int count, TRasterOp op) {
    const int n = count * 4;
    switch (op) {
        case TRasterOp::Copy: std::memcpy(dest, source, size_t(n)); break;
        case TRasterOp::And:
            for (int i = 0; i < n; ++i) dest[i] &= source[i];
            break;
        case TRasterOp::Or:
            for (int i = 0; i < n; ++i) dest[i] |= source[i];
            break;
    }
}

}  // namespace

void TBitmap::FillRect(const TRect& rect, TColor color) {
    const int left = std::max(rect.Left, 0), right = std::min(rect.Right, width_);
    const int top = std::max(rect.Top, 0), bottom = std::min(rect.Bottom, height_);
    if (left >= right || top >= bottom) return;
    const int count = right - left;
    std::vector<uint8_t> quads(size_t(width_) * 4);
    for (int x = left; x < right; ++x) {
        quads[4 * size_t(x)] = GetBValue(color);
        quads[4 * size_t(x) + 1] = GetGValue(color);
        quads[4 * size_t(x) + 2] = GetRValue(color);
    }
    TNearestColour nearest(EffectivePalette());
    std::vector<uint8_t> current(size_t(width_) * 4);
    for (int y = top; y < bottom; ++y) {
        uint8_t* line = ScanLine(y);
        DecodeRow(line, width_, format_, EffectivePalette(), current.data());
        std::memcpy(current.data() + 4 * size_t(left), quads.data() + 4 * size_t(left), size_t(count) * 4);
        EncodeRowSpan(current.data(), left, right, format_, &nearest, line);
    }
}

void TBitmap::CopyRect(const TRect& dest, const TBitmap& source, const TRect& sourceRect, TRasterOp op) {
    const int dw = dest.Width(), dh = dest.Height();
    const int sw = sourceRect.Width(), sh = sourceRect.Height();
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0 || source.Empty() || Empty()) return;
    const int left = std::max(dest.Left, 0), right = std::min(dest.Right, width_);
    const int top = std::max(dest.Top, 0), bottom = std::min(dest.Bottom, height_);
    if (left >= right || top >= bottom) return;

    // Each destination pixel takes the source pixel under its centre.
    auto sourceIndex = [](int d, int destStart, int destLength, int sourceStart, int sourceLength) {
        const int64_t offset = (int64_t(2 * (d - destStart) + 1) * sourceLength) / (int64_t(2) * destLength);
        return sourceStart + static_cast<int>(offset);
    };
    std::vector<int> columns(size_t(right - left));
    for (int x = left; x < right; ++x) columns[size_t(x - left)] = sourceIndex(x, dest.Left, dw, sourceRect.Left, sw);

    const bool direct = op == TRasterOp::Copy && format_ == pf24bit && source.format_ == pf24bit && dw == sw;
    // Between pictures of one indexed format and palette a copy moves the
    // indices themselves: going through colours would turn duplicate
    // entries into the first of them.
    const bool indices = op == TRasterOp::Copy && IsIndexed(format_) && source.format_ == format_ &&
                         source.EffectivePalette() == EffectivePalette();
    TNearestColour nearest(EffectivePalette());
    std::vector<uint8_t> sourceQuads(size_t(source.width_) * 4);
    std::vector<uint8_t> picked(size_t(right - left) * 4);
    std::vector<uint8_t> destQuads(size_t(width_) * 4);
    int decodedRow = -1;
    for (int y = top; y < bottom; ++y) {
        const int sy = sourceIndex(y, dest.Top, dh, sourceRect.Top, sh);
        if (sy < 0 || sy >= source.height_) continue;
        uint8_t* line = ScanLine(y);
        if (direct && columns.front() >= 0 && columns.back() < source.width_) {
            std::memcpy(line + 3 * size_t(left), source.ScanLine(sy) + 3 * size_t(columns.front()),
                        3 * size_t(right - left));
            continue;
        }
        if (indices) {
            const uint8_t* from = source.ScanLine(sy);
            for (int x = left; x < right; ++x) {
                const int sx = columns[size_t(x - left)];
                if (sx >= 0 && sx < source.width_) SetRowIndex(line, x, format_, RowIndex(from, sx, format_));
            }
            continue;
        }
        if (sy != decodedRow) {
            DecodeRow(source.ScanLine(sy), source.width_, source.format_, source.EffectivePalette(),
                      sourceQuads.data());
            decodedRow = sy;
        }
        DecodeRow(line, width_, format_, EffectivePalette(), destQuads.data());
        for (int x = left; x < right; ++x) {
            const int sx = columns[size_t(x - left)];
            if (sx < 0 || sx >= source.width_) {
                std::memcpy(picked.data() + 4 * size_t(x - left), destQuads.data() + 4 * size_t(x), 4);
                continue;
            }
            std::memcpy(picked.data() + 4 * size_t(x - left), sourceQuads.data() + 4 * size_t(sx), 4);
        }
        Combine(picked.data(), destQuads.data() + 4 * size_t(left), right - left, op);
        EncodeRowSpan(destQuads.data(), left, right, format_, &nearest, line);
    }
}

void TBitmap::Draw(int x, int y, const TGraphic& source, TRasterOp op) {
    StretchDraw(Rect(x, y, x + source.Width(), y + source.Height()), source, op);
}

void TBitmap::StretchDraw(const TRect& dest, const TGraphic& source, TRasterOp op) {
    if (const auto* bitmap = dynamic_cast<const TBitmap*>(&source)) {
        CopyRect(dest, *bitmap, Rect(0, 0, bitmap->width_, bitmap->height_), op);
        return;
    }
    if (op == TRasterOp::Copy) {
        source.Draw(*this, dest);
        return;
    }
    TBitmap picture;
    picture.Assign(source);
    CopyRect(dest, picture, Rect(0, 0, picture.width_, picture.height_), op);
}

void TBitmap::Draw(TBitmap& canvas, const TRect& rect) const {
    canvas.CopyRect(rect, *this, Rect(0, 0, width_, height_));
}
