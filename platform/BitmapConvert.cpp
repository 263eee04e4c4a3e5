// Pixel-format changes of TBitmap: every format goes through a row of
// blue-green-red-x quads, with direct paths where that would only cost time.

#include <cstring>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Exceptions.h"
#include "platform/Palettes.h"
#include "platform/PixelRows.h"

void DecodeRow(const uint8_t* row, int width, TPixelFormat format, const TPalette& palette, uint8_t* quads) {
    auto fromPalette = [&](int x, unsigned index) {
        uint8_t* q = quads + 4 * x;
        if (index < palette.size()) {
            q[0] = palette[index].Blue;
            q[1] = palette[index].Green;
            q[2] = palette[index].Red;
        } else {
            q[0] = q[1] = q[2] = 0;
        }
        q[3] = 0;
    };
    for (int x = 0; x < width; ++x) {
        uint8_t* q = quads + 4 * x;
        switch (format) {
            case pf1bit: fromPalette(x, (row[x >> 3] >> (7 - (x & 7))) & 1); break;
            case pf4bit: fromPalette(x, (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4)); break;
            case pf8bit: fromPalette(x, row[x]); break;
            case pf15bit: {
                const unsigned v = row[2 * x] | (row[2 * x + 1] << 8);
                q[0] = uint8_t((v & 31) << 3);
                q[1] = uint8_t(((v >> 5) & 31) << 3);
                q[2] = uint8_t(((v >> 10) & 31) << 3);
                q[3] = 0;
                break;
            }
            case pf16bit: {
                const unsigned v = row[2 * x] | (row[2 * x + 1] << 8);
                q[0] = uint8_t((v & 31) << 3);
                q[1] = uint8_t(((v >> 5) & 63) << 2);
                q[2] = uint8_t(((v >> 11) & 31) << 3);
                q[3] = 0;
                break;
            }
            case pf24bit:
                q[0] = row[3 * x];
                q[1] = row[3 * x + 1];
                q[2] = row[3 * x + 2];
                q[3] = 0;
                break;
            default: std::memcpy(q, row + 4 * x, 4); break;
        }
    }
}

void EncodeRow(const uint8_t* quads, int width, TPixelFormat format, TNearestColour* nearest, uint8_t* row) {
    EncodeRowSpan(quads, 0, width, format, nearest, row);
}

unsigned RowIndex(const uint8_t* row, int x, TPixelFormat format) {
    if (format == pf1bit) return (row[x >> 3] >> (7 - (x & 7))) & 1;
    if (format == pf4bit) return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
    return row[x];
}

void SetRowIndex(uint8_t* row, int x, TPixelFormat format, unsigned index) {
    if (format == pf1bit) {
        const auto mask = uint8_t(0x80 >> (x & 7));
        row[x >> 3] = (index & 1) ? uint8_t(row[x >> 3] | mask) : uint8_t(row[x >> 3] & ~mask);
    } else if (format == pf4bit) {
        uint8_t& cell = row[x >> 1];
        cell = (x & 1) ? uint8_t((cell & 0xF0) | (index & 0x0F)) : uint8_t((cell & 0x0F) | ((index & 0x0F) << 4));
    } else {
        row[x] = uint8_t(index);
    }
}

void EncodeRowSpan(const uint8_t* quads, int left, int right, TPixelFormat format, TNearestColour* nearest,
                   uint8_t* row) {
    for (int x = left; x < right; ++x) {
        const uint8_t* q = quads + 4 * x;
        switch (format) {
            case pf1bit: {
                const auto mask = uint8_t(0x80 >> (x & 7));
                if (nearest->Index(q[2], q[1], q[0]) & 1) row[x >> 3] |= mask;
                else row[x >> 3] &= uint8_t(~mask);
                break;
            }
            case pf4bit: {
                const uint8_t index = nearest->Index(q[2], q[1], q[0]) & 0x0F;
                uint8_t& cell = row[x >> 1];
                cell = (x & 1) ? uint8_t((cell & 0xF0) | index) : uint8_t((cell & 0x0F) | (index << 4));
                break;
            }
            case pf8bit: row[x] = nearest->Index(q[2], q[1], q[0]); break;
            case pf15bit: {
                const unsigned v = ((q[2] >> 3) << 10) | ((q[1] >> 3) << 5) | (q[0] >> 3);
                row[2 * x] = uint8_t(v);
                row[2 * x + 1] = uint8_t(v >> 8);
                break;
            }
            case pf16bit: {
                const unsigned v = ((q[2] >> 3) << 11) | ((q[1] >> 2) << 5) | (q[0] >> 3);
                row[2 * x] = uint8_t(v);
                row[2 * x + 1] = uint8_t(v >> 8);
                break;
            }
            case pf24bit:
                row[3 * x] = q[0];
                row[3 * x + 1] = q[1];
                row[3 * x + 2] = q[2];
                break;
            default: std::memcpy(row + 4 * x, q, 4); break;
        }
    }
}

namespace {

void CopyIndices(const uint8_t* from, TPixelFormat fromFormat, int width, TPixelFormat toFormat, uint8_t* to) {
    for (int x = 0; x < width; ++x) {
        unsigned index = 0;
        if (fromFormat == pf1bit) index = (from[x >> 3] >> (7 - (x & 7))) & 1;
        else if (fromFormat == pf4bit) index = (x & 1) ? (from[x >> 1] & 0x0F) : (from[x >> 1] >> 4);
        else index = from[x];
        if (toFormat == pf1bit) {
            if (index & 1) to[x >> 3] |= uint8_t(0x80 >> (x & 7));
        } else if (toFormat == pf4bit) {
            to[x >> 1] |= (x & 1) ? uint8_t(index & 0x0F) : uint8_t((index & 0x0F) << 4);
        } else {
            to[x] = uint8_t(index);
        }
    }
}

bool SameLayout(TPixelFormat a, TPixelFormat b) {
    const bool quadA = a == pf32bit || a == pfDevice;
    const bool quadB = b == pf32bit || b == pfDevice;
    return a == b || (quadA && quadB);
}

}  // namespace

void TBitmap::SetPixelFormat(TPixelFormat format) {
    if (format == pfCustom) throw EInvalidGraphicOperation("Invalid pixel format");
    if (format == format_) return;
    if (SameLayout(format_, format)) {
        format_ = format;
        return;
    }

    const int targetBits = BitsPerPixel(format);
    TPalette targetPalette;
    bool keepIndices = false;
    if (IsIndexed(format)) {
        const size_t capacity = size_t{1} << targetBits;
        if (!palette_.empty() && palette_.size() <= capacity) {
            targetPalette = palette_;
            keepIndices = IsIndexed(format_);
        } else {
            targetPalette = StandardPaletteForBits(targetBits);
        }
    }

    TBitmap converted(0, 0, format);
    converted.SetSize(width_, height_);
    converted.palette_ = targetPalette;
    if (!Empty()) {
        const TPalette& sourcePalette = EffectivePalette();
        TNearestColour nearest(converted.palette_);
        std::vector<uint8_t> quads(size_t(width_) * 4);
        for (int y = 0; y < height_; ++y) {
            const uint8_t* from = ScanLine(y);
            uint8_t* to = converted.ScanLine(y);
            if (keepIndices) {
                CopyIndices(from, format_, width_, format, to);
                continue;
            }
            if (format_ == pf24bit && (format == pf32bit || format == pfDevice)) {
                for (int x = 0; x < width_; ++x) {
                    to[4 * x] = from[3 * x];
                    to[4 * x + 1] = from[3 * x + 1];
                    to[4 * x + 2] = from[3 * x + 2];
                }
                continue;
            }
            if ((format_ == pf32bit || format_ == pfDevice) && format == pf24bit) {
                for (int x = 0; x < width_; ++x) {
                    to[3 * x] = from[4 * x];
                    to[3 * x + 1] = from[4 * x + 1];
                    to[3 * x + 2] = from[4 * x + 2];
                }
                continue;
            }
            DecodeRow(from, width_, format_, sourcePalette, quads.data());
            EncodeRow(quads.data(), width_, format, &nearest, to);
        }
    }
    converted.SetTransparent(Transparent());
    *this = std::move(converted);
}
