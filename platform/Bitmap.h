#pragma once
// The in-memory raster picture every unit works on.
//
// Rows are top-down: ScanLine(0) is the top row. Every row is padded to a
// multiple of 4 bytes and RowStride() is the positive distance between rows.
// 24-bit pixels are blue, green, red; 32-bit and device pixels blue, green,
// red, fourth byte; 15-bit pixels are little-endian words with red in bits
// 14-10; 16-bit pixels red in 15-11, green in 10-5, blue in 4-0. Indexed
// pixels pack the leftmost pixel into the most significant bits.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/Graphics.h"

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };

enum class TRasterOp { Copy, And, Or };

class TBitmap : public TGraphic {
    VORLIX_GRAPHIC_CLASS();

public:
    TBitmap() = default;
    TBitmap(int width, int height, TPixelFormat format = pf24bit);
    TBitmap(const TBitmap& other);
    TBitmap(TBitmap&& other) noexcept;
    TBitmap& operator=(const TBitmap& other);
    TBitmap& operator=(TBitmap&& other) noexcept;
    ~TBitmap() override;

    // Size and format ---------------------------------------------------
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    bool Empty() const override { return width_ == 0 || height_ == 0; }
    TPixelFormat PixelFormat() const { return format_; }
    // Converts the existing pixels. Indexed targets keep a fitting palette
    // (at most 2^bits entries) and map to its nearest entry; without one they
    // get the format's standard palette. pfCustom cannot be set.
    void SetPixelFormat(TPixelFormat format);
    // Keeps the top-left area; new pixels are zero.
    void SetSize(int width, int height) override;
    void SetWidth(int width) override { SetSize(width, height_); }
    void SetHeight(int height) override { SetSize(width_, height); }

    static int BitsPerPixel(TPixelFormat format);
    static bool IsIndexed(TPixelFormat format) { return format == pf1bit || format == pf4bit || format == pf8bit; }
    // Padded bytes of one row; raises EOutOfMemory when it does not fit.
    static size_t BytesPerRow(TPixelFormat format, int width);

    // Pixel memory ----------------------------------------------------
    uint8_t* ScanLine(int y);
    const uint8_t* ScanLine(int y) const;
    ptrdiff_t RowStride() const { return static_cast<ptrdiff_t>(stride_); }
    size_t PixelBytes() const { return stride_ * static_cast<size_t>(height_); }
    // Every pixel buffer is followed by this many readable bytes, so vector
    // code may load a little past the end of any row. What it loads there
    // must not affect its result.
    static constexpr size_t kReadSlack = 64;
    // A bitmap whose pixels the caller will all write: only the row padding
    // is cleared, which saves clearing pictures of many megabytes twice.
    static TBitmap ForOverwrite(int width, int height, TPixelFormat format);
    // Tests: fill ForOverwrite's pixels with this byte (-1: leave them), so a
    // pixel the caller forgot shows instead of reused memory's old bytes.
    static void SetOverwriteFill(int byte);

    // Palette ----------------------------------------------------------
    TPalette Palette() const override { return palette_; }
    const TPalette& PaletteEntries() const { return palette_; }
    void SetPalette(const TPalette& palette) override { palette_ = palette; }
    // The palette indexed pixels are read with: the own one, or the
    // format's standard palette while none is set.
    const TPalette& EffectivePalette() const;

    // Copies ----------------------------------------------------------
    void Assign(const TGraphic& source) override;
    void Assign(const TBitmap& source) { *this = source; }
    void Assign(TBitmap&& source) { *this = std::move(source); }
    void AssignTo(TGraphic& dest) const override;
    // Frees the pixels; the format stays.
    void Clear();

    // Single pixels, any format (slow; for tests and odd paths). Indices
    // past the palette read as black.
    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);
    // The palette index of an indexed pixel.
    uint8_t PixelIndex(int x, int y) const;

    // Drawing onto this bitmap (the platform's canvas operations). Pixels
    // outside this bitmap are clipped; colours go through RGB and are mapped
    // to the nearest palette entry on indexed bitmaps. Only pixels inside the
    // target rectangle change; a copy between pictures of one indexed format
    // and palette moves the indices themselves.
    void FillRect(const TRect& rect, TColor color);
    void Draw(int x, int y, const TGraphic& source, TRasterOp op = TRasterOp::Copy);
    void StretchDraw(const TRect& dest, const TGraphic& source, TRasterOp op = TRasterOp::Copy);
    // Nearest-pixel stretch of sourceRect of source onto dest.
    void CopyRect(const TRect& dest, const TBitmap& source, const TRect& sourceRect,
                  TRasterOp op = TRasterOp::Copy);

    // TGraphic ---------------------------------------------------------
    void Draw(TBitmap& canvas, const TRect& rect) const override;
    void LoadFromStream(TStream& stream) override;  // BMP file
    void SaveToStream(TStream& stream) const override;  // BMP file, current format

    // The largest pixel buffer any bitmap may allocate (default 1 GiB).
    static size_t MaxPixelBytes();
    static void SetMaxPixelBytes(size_t bytes);
    // Whether a picture of this size and format stays within the cap, so a
    // reader can refuse a header with its own error before allocating.
    static bool FitsPixelCap(TPixelFormat format, int64_t width, int64_t height);

private:
    // Small buffers come from the heap; large ones are mapped directly
    // (MappedBytes is then their length) so they can use huge pages.
    struct FreeDeleter {
        FreeDeleter() noexcept : MappedBytes(0) {}
        explicit FreeDeleter(size_t mappedBytes) noexcept : MappedBytes(mappedBytes) {}
        void operator()(uint8_t* p) const;
        size_t MappedBytes;
    };
    using Buffer = std::unique_ptr<uint8_t, FreeDeleter>;
    static Buffer Allocate(size_t bytes, bool zeroed = true);
    // The row stride of a bitmap of this size; raises for a negative size
    // and for one whose pixels would pass the cap.
    static size_t CheckedStride(TPixelFormat format, int width, int height);
    void CopyFrom(const TBitmap& other);

    int width_ = 0;
    int height_ = 0;
    TPixelFormat format_ = pf24bit;
    size_t stride_ = 0;
    Buffer pixels_;
    TPalette palette_;
};

// RAII guard that changes the pixel-buffer cap for a scope (tests).
class TPixelBytesCap {
public:
    explicit TPixelBytesCap(size_t bytes) : previous_(TBitmap::MaxPixelBytes()) { TBitmap::SetMaxPixelBytes(bytes); }
    ~TPixelBytesCap() { TBitmap::SetMaxPixelBytes(previous_); }
    TPixelBytesCap(const TPixelBytesCap&) = delete;
    TPixelBytesCap& operator=(const TPixelBytesCap&) = delete;

private:
    size_t previous_;
};
