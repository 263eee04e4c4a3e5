#include "platform/BmpCodec.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "platform/Exceptions.h"
#include "platform/Palettes.h"
#include "platform/Streams.h"

namespace {

// Run-length pictures up to this much pixel memory load whatever codes they
// use; larger ones must bring runs enough to paint themselves.
constexpr size_t kRleUnboundedBytes = size_t{64} << 20;

[[noreturn]] void Invalid() { throw EInvalidGraphic(PlatformMessages::InvalidBitmap); }

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) {
    return uint32_t{p[0]} | (uint32_t{p[1]} << 8) | (uint32_t{p[2]} << 16) | (uint32_t{p[3]} << 24);
}

// A bounds-checked view of the DIB's bytes.
struct Bytes {
    const uint8_t* data;
    size_t size;
    const uint8_t* At(size_t offset, size_t count) const {
        if (offset > size || count > size - offset) Invalid();
        return data + offset;
    }
};

// One channel of a bit-field pixel scaled to 0..255.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    uint32_t maximum = 0;
    explicit Channel(uint32_t m) : mask(m) {
        if (!m) return;
        shift = std::countr_zero(m);
        maximum = m >> shift;
    }
    uint8_t Of(uint32_t pixel) const {
        if (!mask) return 0;
        const uint64_t v = (pixel & mask) >> shift;
        return static_cast<uint8_t>((v * 255 + maximum / 2) / maximum);
    }
};

void DecodeBitFields(const TDibLayout& layout, Bytes bytes, size_t bitsOffset, TBitmap& bitmap) {
    const Channel red(layout.Masks[0]), green(layout.Masks[1]), blue(layout.Masks[2]), alpha(layout.Masks[3]);
    const bool quad = bitmap.PixelFormat() == pf32bit;
    const int bytesPerPixel = layout.BitCount / 8;
    for (int row = 0; row < layout.Height; ++row) {
        const uint8_t* from = bytes.At(bitsOffset + layout.RowBytes * size_t(row), size_t(layout.Width) * size_t(bytesPerPixel));
        uint8_t* to = bitmap.ScanLine(layout.TopDown ? row : layout.Height - 1 - row);
        for (int x = 0; x < layout.Width; ++x) {
            const uint32_t pixel = bytesPerPixel == 2 ? U16(from + 2 * x) : U32(from + 4 * x);
            uint8_t* p = to + (quad ? 4 : 3) * x;
            p[0] = blue.Of(pixel);
            p[1] = green.Of(pixel);
            p[2] = red.Of(pixel);
            if (quad) p[3] = alpha.Of(pixel);
        }
    }
}

// Run-length rows, bottom-up. Pixels the runs skip stay 0. The column never
// passes the width: whatever a run or a delta puts beyond the row's end is
// dropped, so no number of codes can carry the position out of the row.
void DecodeRle(const TDibLayout& layout, Bytes bytes, size_t bitsOffset, TBitmap& bitmap) {
    const bool four = layout.Compression == BI_RLE4;
    const int width = layout.Width;
    size_t at = bitsOffset;
    int x = 0, y = 0;  // y counts from the bottom row
    auto put = [&](unsigned index) {
        uint8_t* row = bitmap.ScanLine(layout.Height - 1 - y);
        if (four) row[x >> 1] = (x & 1) ? uint8_t((row[x >> 1] & 0xF0) | (index & 0x0F))
                                        : uint8_t((row[x >> 1] & 0x0F) | (index << 4));
        else row[x] = uint8_t(index);
        ++x;
    };
    auto fits = [&](unsigned count) { return std::min(count, static_cast<unsigned>(width - x)); };
    while (y < layout.Height) {
        const uint8_t* pair = bytes.At(at, 2);
        at += 2;
        const unsigned count = pair[0], value = pair[1];
        if (count > 0) {
            const unsigned shown = fits(count);
            for (unsigned i = 0; i < shown; ++i) put(four ? ((i & 1) ? (value & 0x0F) : (value >> 4)) : value);
            continue;
        }
        if (value == 0) {  // end of line
            x = 0;
            ++y;
        } else if (value == 1) {  // end of bitmap
            break;
        } else if (value == 2) {  // delta; one past the last row ends the picture
            const uint8_t* delta = bytes.At(at, 2);
            at += 2;
            x = std::min(width, x + delta[0]);
            y += delta[1];
        } else {  // absolute run of value pixels, padded to a word
            const size_t stored = four ? (value + 1) / 2 : value;
            const uint8_t* run = bytes.At(at, stored);
            at += (stored + 1) & ~size_t{1};
            const unsigned shown = fits(value);
            for (unsigned i = 0; i < shown; ++i)
                put(four ? ((i & 1) ? (run[i / 2] & 0x0F) : (run[i / 2] >> 4)) : run[i]);
        }
    }
}

TPixelFormat FormatFor(const TDibLayout& layout) {
    switch (layout.BitCount) {
        case 1: return pf1bit;
        case 4: return pf4bit;
        case 8: return pf8bit;
        case 16: {
            if (layout.Masks[3] != 0) return pf32bit;
            if (layout.Masks[0] == 0x7C00 && layout.Masks[1] == 0x03E0 && layout.Masks[2] == 0x001F) return pf15bit;
            if (layout.Masks[0] == 0xF800 && layout.Masks[1] == 0x07E0 && layout.Masks[2] == 0x001F) return pf16bit;
            return pf24bit;
        }
        case 24: return pf24bit;
        default: return pf32bit;
    }
}

bool IsDirectCopy(const TDibLayout& layout, TPixelFormat format) {
    if (layout.Compression == BI_RGB) return true;
    if (format == pf15bit || format == pf16bit) return true;
    return layout.BitCount == 32 && layout.Masks[0] == 0xFF0000 && layout.Masks[1] == 0xFF00 &&
           layout.Masks[2] == 0xFF && (layout.Masks[3] == 0 || layout.Masks[3] == 0xFF000000u);
}

}  // namespace

TDibLayout ParseDibLayout(const uint8_t* data, size_t size, bool halfHeight) {
    const Bytes bytes{data, size};
    TDibLayout layout;
    layout.HeaderSize = U32(bytes.At(0, 4));
    int64_t height = 0;
    uint32_t colourCount = 0;
    if (layout.HeaderSize == 12) {
        const uint8_t* h = bytes.At(0, 12);
        layout.Width = U16(h + 4);
        height = U16(h + 6);
        layout.BitCount = U16(h + 10);
        layout.PaletteEntrySize = 3;
    } else if (layout.HeaderSize >= 16 && layout.HeaderSize <= 124) {
        const uint8_t* h = bytes.At(0, layout.HeaderSize);
        layout.Width = static_cast<int32_t>(U32(h + 4));
        height = static_cast<int32_t>(U32(h + 8));
        layout.BitCount = U16(h + 14);
        if (layout.HeaderSize >= 20) layout.Compression = U32(h + 16);
        if (layout.HeaderSize >= 36) colourCount = U32(h + 32);
        if (layout.HeaderSize >= 52)
            for (int i = 0; i < 3; ++i) layout.Masks[i] = U32(h + 40 + 4 * i);
        if (layout.HeaderSize >= 56) layout.Masks[3] = U32(h + 52);
        // Two-dimensional OS/2 headers number their compressions differently.
        if (layout.HeaderSize == 64 && layout.Compression > BI_RLE4) Invalid();
    } else {
        Invalid();
    }
    if (layout.Width < 0 || height < -int64_t{0x7FFFFFFF} || height > 0x7FFFFFFF) Invalid();
    layout.TopDown = height < 0;
    height = height < 0 ? -height : height;
    if (halfHeight) height /= 2;
    layout.Height = static_cast<int32_t>(height);

    size_t offset = layout.HeaderSize;
    switch (layout.BitCount) {
        case 1:
        case 4:
        case 8: {
            const uint32_t capacity = 1u << layout.BitCount;
            layout.PaletteCount = (colourCount == 0 || colourCount > capacity) ? capacity : colourCount;
            if (layout.Compression == BI_RLE8 && layout.BitCount != 8) Invalid();
            if (layout.Compression == BI_RLE4 && layout.BitCount != 4) Invalid();
            if (layout.Compression != BI_RGB && layout.Compression != BI_RLE8 && layout.Compression != BI_RLE4) Invalid();
            break;
        }
        case 16:
        case 24:
        case 32:
            if (layout.Compression == BI_BITFIELDS || layout.Compression == BI_ALPHABITFIELDS) {
                if (layout.BitCount == 24) Invalid();
                if (layout.HeaderSize < 52) {
                    const int count = layout.Compression == BI_ALPHABITFIELDS ? 4 : 3;
                    const uint8_t* m = bytes.At(offset, size_t(count) * 4);
                    for (int i = 0; i < count; ++i) layout.Masks[i] = U32(m + 4 * i);
                    offset += size_t(count) * 4;
                }
            } else if (layout.Compression == BI_RGB) {
                layout.Masks[3] = 0;
                if (layout.BitCount == 16) {
                    layout.Masks[0] = 0x7C00;
                    layout.Masks[1] = 0x03E0;
                    layout.Masks[2] = 0x001F;
                }
            } else {
                Invalid();
            }
            // A colour table may follow for the display's sake; it is skipped.
            layout.PaletteCount = 0;
            if (colourCount > 0 && colourCount <= 256) offset += size_t(colourCount) * 4;
            break;
        default: Invalid();
    }
    layout.PaletteOffset = offset;
    layout.BitsOffset = offset + size_t(layout.PaletteCount) * layout.PaletteEntrySize;
    layout.RowBytes = (size_t(layout.Width) * layout.BitCount + 31) / 32 * 4;
    return layout;
}

TBitmap ReadDib(const uint8_t* data, size_t size, size_t bitsOffset, bool halfHeight) {
    const Bytes bytes{data, size};
    const TDibLayout layout = ParseDibLayout(data, size, halfHeight);
    if (bitsOffset == 0) bitsOffset = layout.BitsOffset;
    const TPixelFormat format = FormatFor(layout);

    TPalette palette;
    if (layout.PaletteCount) {
        const uint8_t* p = bytes.At(layout.PaletteOffset, size_t(layout.PaletteCount) * layout.PaletteEntrySize);
        palette.resize(layout.PaletteCount);
        for (uint32_t i = 0; i < layout.PaletteCount; ++i) {
            const uint8_t* e = p + size_t(i) * layout.PaletteEntrySize;
            palette[i] = {e[2], e[1], e[0], 0};
        }
    }

    // An empty picture is no picture: nothing downstream can show or
    // process it.
    if (layout.Width == 0 || layout.Height == 0) Invalid();
    if (!TBitmap::FitsPixelCap(format, layout.Width, layout.Height)) Invalid();
    const bool compressed = layout.Compression == BI_RLE8 || layout.Compression == BI_RLE4;
    if (!compressed) {
        // The stored rows must be present before the picture is allocated.
        const size_t lastRow = (size_t(layout.Width) * layout.BitCount + 7) / 8;
        bytes.At(bitsOffset + layout.RowBytes * size_t(layout.Height - 1), lastRow);
    } else if (layout.RowBytes * size_t(layout.Height) > kRleUnboundedBytes) {
        // A run covers at most 255 pixels in two bytes. A large picture that
        // skips most of itself with end-of-line and delta codes is no real
        // file; a few bytes must not buy gigabytes.
        const uint64_t pixels = uint64_t(layout.Width) * uint64_t(layout.Height);
        if (bitsOffset > size || (size - bitsOffset) < pixels / 128) Invalid();
    }

    TBitmap bitmap(0, 0, format);
    bitmap.SetSize(layout.Width, layout.Height);
    bitmap.SetPalette(palette);

    if (compressed) {
        if (layout.TopDown) Invalid();
        DecodeRle(layout, bytes, bitsOffset, bitmap);
    } else if (IsDirectCopy(layout, format)) {
        const size_t rowBytes = std::min<size_t>(layout.RowBytes, size_t(bitmap.RowStride()));
        for (int row = 0; row < layout.Height; ++row) {
            const size_t start = bitsOffset + layout.RowBytes * size_t(row);
            const size_t available = std::min(rowBytes, size - start);
            uint8_t* to = bitmap.ScanLine(layout.TopDown ? row : layout.Height - 1 - row);
            std::memcpy(to, bytes.At(start, available), available);
        }
    } else {
        DecodeBitFields(layout, bytes, bitsOffset, bitmap);
    }
    return bitmap;
}

TBitmap ReadBmpFile(TStream& stream) {
    TMemoryStream copy;
    copy.LoadFromStream(stream);
    const uint8_t* data = copy.Memory();
    const size_t size = static_cast<size_t>(copy.Size());
    if (size < 14 + 12 || data[0] != 'B' || data[1] != 'M') Invalid();
    const uint32_t offBits = U32(data + 10);
    const TDibLayout layout = ParseDibLayout(data + 14, size - 14);
    // An offset inside the headers is a writer's slip; the bits then follow
    // the colour table.
    size_t bitsOffset = layout.BitsOffset;
    if (offBits >= 14 + layout.BitsOffset && offBits <= size) bitsOffset = offBits - 14;
    return ReadDib(data + 14, size - 14, bitsOffset);
}

std::vector<uint8_t> EncodeDib(const TBitmap& bitmap) {
    const TPixelFormat format = bitmap.PixelFormat();
    uint16_t bitCount = 0;
    uint32_t compression = BI_RGB;
    switch (format) {
        case pf1bit: bitCount = 1; break;
        case pf4bit: bitCount = 4; break;
        case pf8bit: bitCount = 8; break;
        case pf15bit: bitCount = 16; break;
        case pf16bit:
            bitCount = 16;
            compression = BI_BITFIELDS;
            break;
        case pf24bit: bitCount = 24; break;
        default: bitCount = 32; break;
    }
    const TPalette& palette = bitmap.EffectivePalette();
    const uint32_t capacity = TBitmap::IsIndexed(format) ? (1u << bitCount) : 0;
    const uint32_t colours = capacity ? static_cast<uint32_t>(std::min<size_t>(palette.size(), capacity)) : 0;
    const size_t rowBytes = (size_t(bitmap.Width()) * bitCount + 31) / 32 * 4;
    const size_t imageBytes = rowBytes * size_t(bitmap.Height());
    const size_t masksBytes = compression == BI_BITFIELDS ? 12 : 0;

    std::vector<uint8_t> dib(40 + masksBytes + size_t(colours) * 4 + imageBytes);
    uint8_t* h = dib.data();
    auto put32 = [](uint8_t* p, uint32_t v) {
        p[0] = uint8_t(v);
        p[1] = uint8_t(v >> 8);
        p[2] = uint8_t(v >> 16);
        p[3] = uint8_t(v >> 24);
    };
    put32(h, 40);
    put32(h + 4, static_cast<uint32_t>(bitmap.Width()));
    put32(h + 8, static_cast<uint32_t>(bitmap.Height()));
    h[12] = 1;
    h[14] = static_cast<uint8_t>(bitCount);
    put32(h + 16, compression);
    put32(h + 20, static_cast<uint32_t>(imageBytes));
    put32(h + 32, colours == capacity ? 0 : colours);
    uint8_t* p = h + 40;
    if (masksBytes) {
        put32(p, 0xF800);
        put32(p + 4, 0x07E0);
        put32(p + 8, 0x001F);
        p += 12;
    }
    for (uint32_t i = 0; i < colours; ++i, p += 4) {
        p[0] = palette[i].Blue;
        p[1] = palette[i].Green;
        p[2] = palette[i].Red;
    }
    if (rowBytes == 0) return dib;
    for (int row = 0; row < bitmap.Height(); ++row)
        std::memcpy(p + rowBytes * size_t(bitmap.Height() - 1 - row), bitmap.ScanLine(row), rowBytes);
    return dib;
}

void WriteBmpFile(const TBitmap& bitmap, TStream& stream) {
    const std::vector<uint8_t> dib = EncodeDib(bitmap);
    const uint32_t fileHeader = 14;
    const uint32_t imageBytes = U32(dib.data() + 20);
    stream.WriteByte('B');
    stream.WriteByte('M');
    stream.WriteDWordLE(static_cast<uint32_t>(fileHeader + dib.size()));
    stream.WriteDWordLE(0);
    stream.WriteDWordLE(static_cast<uint32_t>(fileHeader + dib.size() - imageBytes));
    stream.WriteBuffer(dib.data(), static_cast<int64_t>(dib.size()));
}
