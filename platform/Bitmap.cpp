#include "platform/Bitmap.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <mutex>
#include <utility>

#include <sys/mman.h>

#include "platform/BmpCodec.h"
#include "platform/Exceptions.h"
#include "platform/Palettes.h"
#include "platform/SysUtils.h"

namespace {
std::atomic<size_t> gMaxPixelBytes{size_t{1} << 30};
std::atomic<int> gOverwriteFill{-1};
}

VORLIX_DEFINE_GRAPHIC_CLASS(TBitmap, TGraphic)

size_t TBitmap::MaxPixelBytes() { return gMaxPixelBytes.load(); }
void TBitmap::SetMaxPixelBytes(size_t bytes) { gMaxPixelBytes.store(bytes); }

namespace {

// Pictures of many megabytes are written once, page by page; with 4 KiB
// pages the page faults can cost more than the pixels themselves (most of
// all in a virtual machine). Huge pages cut them 512-fold.
constexpr size_t kHugePage = size_t{2} << 20;
constexpr size_t kMapFrom = 4 * kHugePage;

uint8_t* MapZeroed(size_t bytes) {
    void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return nullptr;
    madvise(p, bytes, MADV_HUGEPAGE);  // advice only: without huge pages the buffer works all the same
    return static_cast<uint8_t*>(p);
}

// The most recently freed mapped buffer, kept for the next picture of about
// its size: a workbench replaces pictures of one size again and again, and
// fresh pages must be cleared by the system first. An allocation that does
// not fit it releases it before mapping anything, so keeping it never adds
// to the peak of the pictures alive at once. Its mutex and fields are
// trivially destructible, so bitmaps freed during exit still find it.
struct KeptBuffer {
    std::mutex Lock;
    uint8_t* Pixels = nullptr;
    size_t Bytes = 0;

    // A kept buffer of at least `bytes` and not a quarter larger, or nothing.
    std::pair<uint8_t*, size_t> Take(size_t bytes) {
        std::lock_guard<std::mutex> guard(Lock);
        std::pair<uint8_t*, size_t> taken{std::exchange(Pixels, nullptr), std::exchange(Bytes, 0)};
        if (taken.first && (taken.second < bytes || taken.second - bytes > bytes / 4)) {
            munmap(taken.first, taken.second);
            return {nullptr, 0};
        }
        return taken;
    }

    void Keep(uint8_t* pixels, size_t bytes) {
        std::pair<uint8_t*, size_t> released;
        {
            std::lock_guard<std::mutex> guard(Lock);
            released = {std::exchange(Pixels, pixels), std::exchange(Bytes, bytes)};
        }
        if (released.first) munmap(released.first, released.second);
    }
};
constinit KeptBuffer gKeptBuffer;

}  // namespace

void TBitmap::FreeDeleter::operator()(uint8_t* p) const {
    if (MappedBytes != 0) gKeptBuffer.Keep(p, MappedBytes);
    else std::free(p);
}

TBitmap::Buffer TBitmap::Allocate(size_t bytes, bool zeroed) {
    if (bytes > MaxPixelBytes()) throw EOutOfMemory(PlatformMessages::OutOfMemory);
    if (bytes == 0) return Buffer();
    const size_t total = bytes + kReadSlack;
    if (total >= kMapFrom) {
        const size_t mapped = (total + kHugePage - 1) / kHugePage * kHugePage;
        if (auto [kept, keptBytes] = gKeptBuffer.Take(mapped); kept) {
            std::memset(kept + (zeroed ? 0 : bytes), 0, zeroed ? keptBytes : keptBytes - bytes);
            return Buffer(kept, FreeDeleter{keptBytes});
        }
        uint8_t* p = MapZeroed(mapped);
        if (!p) throw EOutOfMemory(PlatformMessages::OutOfMemory);
        return Buffer(p, FreeDeleter{mapped});
    }
    auto* p = static_cast<uint8_t*>(zeroed ? std::calloc(total, 1) : std::malloc(total));
    if (!p) throw EOutOfMemory(PlatformMessages::OutOfMemory);
    if (!zeroed) std::memset(p + bytes, 0, kReadSlack);
    return Buffer(p);
}

void TBitmap::SetOverwriteFill(int byte) { gOverwriteFill.store(byte); }

TBitmap TBitmap::ForOverwrite(int width, int height, TPixelFormat format) {
    TBitmap bitmap(0, 0, format);
    const size_t stride = CheckedStride(format, width, height);
    bitmap.pixels_ = Allocate(stride * static_cast<size_t>(height), false);
    bitmap.width_ = width;
    bitmap.height_ = height;
    bitmap.stride_ = stride;
    if (const int fill = gOverwriteFill.load(); fill >= 0 && bitmap.pixels_)
        std::memset(bitmap.pixels_.get(), fill, bitmap.PixelBytes());
    // Row padding reaches files; it stays zero as in every other bitmap.
    const size_t used = (size_t(width) * size_t(BitsPerPixel(format)) + 7) / 8;
    if (used < stride)
        for (int y = 0; y < height; ++y) std::memset(bitmap.pixels_.get() + size_t(y) * stride + used, 0, stride - used);
    return bitmap;
}

int TBitmap::BitsPerPixel(TPixelFormat format) {
    switch (format) {
        case pf1bit: return 1;
        case pf4bit: return 4;
        case pf8bit: return 8;
        case pf15bit:
        case pf16bit: return 16;
        case pf24bit: return 24;
        case pf32bit:
        case pfDevice:
        case pfCustom: return 32;
    }
    return 32;
}

bool TBitmap::FitsPixelCap(TPixelFormat format, int64_t width, int64_t height) {
    if (width < 0 || height < 0 || width > INT32_MAX || height > INT32_MAX) return false;
    const uint64_t rowBytes = (uint64_t(width) * uint64_t(BitsPerPixel(format)) + 31) / 32 * 4;
    return height == 0 || rowBytes <= MaxPixelBytes() / uint64_t(height);
}

size_t TBitmap::BytesPerRow(TPixelFormat format, int width) {
    if (width < 0) throw EInvalidGraphicOperation("Invalid bitmap size");
    const uint64_t bits = uint64_t(width) * uint64_t(BitsPerPixel(format));
    const uint64_t bytes = (bits + 31) / 32 * 4;
    if (bytes > MaxPixelBytes()) throw EOutOfMemory(PlatformMessages::OutOfMemory);
    return static_cast<size_t>(bytes);
}

TBitmap::TBitmap(int width, int height, TPixelFormat format) : format_(format) {
    if (format == pfCustom) throw EInvalidGraphicOperation("Invalid pixel format");
    SetSize(width, height);
}

TBitmap::TBitmap(const TBitmap& other) : TGraphic() { CopyFrom(other); }

// Copies take the picture, never the event handlers of the source.
TBitmap::TBitmap(TBitmap&& other) noexcept
    : TGraphic(),
      width_(other.width_),
      height_(other.height_),
      format_(other.format_),
      stride_(other.stride_),
      pixels_(std::move(other.pixels_)),
      palette_(std::move(other.palette_)) {
    SetTransparent(other.Transparent());
    other.width_ = other.height_ = 0;
    other.stride_ = 0;
}

TBitmap& TBitmap::operator=(const TBitmap& other) {
    if (this != &other) CopyFrom(other);
    return *this;
}

TBitmap& TBitmap::operator=(TBitmap&& other) noexcept {
    if (this != &other) {
        SetTransparent(other.Transparent());
        width_ = other.width_;
        height_ = other.height_;
        format_ = other.format_;
        stride_ = other.stride_;
        pixels_ = std::move(other.pixels_);
        palette_ = std::move(other.palette_);
        other.width_ = other.height_ = 0;
        other.stride_ = 0;
    }
    return *this;
}

TBitmap::~TBitmap() = default;

void TBitmap::CopyFrom(const TBitmap& other) {
    Buffer copy = Allocate(other.PixelBytes(), false);
    if (other.PixelBytes()) std::memcpy(copy.get(), other.pixels_.get(), other.PixelBytes());
    TPalette palette = other.palette_;
    width_ = other.width_;
    height_ = other.height_;
    format_ = other.format_;
    stride_ = other.stride_;
    pixels_ = std::move(copy);
    palette_ = std::move(palette);
    SetTransparent(other.Transparent());
}

const TPalette& TBitmap::EffectivePalette() const {
    return palette_.empty() ? StandardPaletteForBits(BitsPerPixel(format_)) : palette_;
}

void TBitmap::Clear() {
    pixels_.reset();
    width_ = height_ = 0;
    stride_ = 0;
}

size_t TBitmap::CheckedStride(TPixelFormat format, int width, int height) {
    if (width < 0 || height < 0) throw EInvalidGraphicOperation("Invalid bitmap size");
    const size_t stride = BytesPerRow(format, width);
    if (height > 0 && stride > MaxPixelBytes() / static_cast<size_t>(height))
        throw EOutOfMemory(PlatformMessages::OutOfMemory);
    return stride;
}

void TBitmap::SetSize(int width, int height) {
    if (width == width_ && height == height_) return;  // a negative size never matches
    const size_t stride = CheckedStride(format_, width, height);
    Buffer pixels = Allocate(stride * static_cast<size_t>(height));
    const int keepRows = std::min(height, height_);
    const size_t keepBits = size_t(std::min(width, width_)) * size_t(BitsPerPixel(format_));
    const size_t keepBytes = keepBits / 8;
    const unsigned tailBits = static_cast<unsigned>(keepBits % 8);
    for (int y = 0; y < keepRows; ++y) {
        const uint8_t* from = pixels_.get() + stride_ * size_t(y);
        uint8_t* to = pixels.get() + stride * size_t(y);
        std::memcpy(to, from, keepBytes);
        if (tailBits) to[keepBytes] = static_cast<uint8_t>(from[keepBytes] & (0xFF00u >> tailBits));
    }
    width_ = width;
    height_ = height;
    stride_ = stride;
    pixels_ = std::move(pixels);
}

uint8_t* TBitmap::ScanLine(int y) {
    if (y < 0 || y >= height_) throw EInvalidGraphicOperation(Format("Scan line index out of range (%d)", y));
    return pixels_.get() + stride_ * static_cast<size_t>(y);
}

const uint8_t* TBitmap::ScanLine(int y) const {
    if (y < 0 || y >= height_) throw EInvalidGraphicOperation(Format("Scan line index out of range (%d)", y));
    return pixels_.get() + stride_ * static_cast<size_t>(y);
}

void TBitmap::Assign(const TGraphic& source) {
    if (const auto* bitmap = dynamic_cast<const TBitmap*>(&source)) {
        *this = *bitmap;
        return;
    }
    source.AssignTo(*this);
}

void TBitmap::AssignTo(TGraphic& dest) const {
    if (auto* bitmap = dynamic_cast<TBitmap*>(&dest)) {
        *bitmap = *this;
        return;
    }
    dest.Assign(*this);
}

uint8_t TBitmap::PixelIndex(int x, int y) const {
    const uint8_t* row = ScanLine(y);
    switch (format_) {
        case pf1bit: return (row[x >> 3] >> (7 - (x & 7))) & 1;
        case pf4bit: return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
        case pf8bit: return row[x];
        default: return 0;
    }
}

TColor TBitmap::Pixel(int x, int y) const {
    if (x < 0 || x >= width_) throw EInvalidGraphicOperation("Pixel index out of range");
    const uint8_t* row = ScanLine(y);
    switch (format_) {
        case pf1bit:
        case pf4bit:
        case pf8bit: {
            const uint8_t index = PixelIndex(x, y);
            const TPalette& palette = EffectivePalette();
            if (index >= palette.size()) return clBlack;
            const TPaletteEntry& e = palette[index];
            return RGBColor(e.Red, e.Green, e.Blue);
        }
        case pf15bit: {
            const unsigned v = row[2 * x] | (row[2 * x + 1] << 8);
            return RGBColor(uint8_t(((v >> 10) & 31) << 3), uint8_t(((v >> 5) & 31) << 3), uint8_t((v & 31) << 3));
        }
        case pf16bit: {
            const unsigned v = row[2 * x] | (row[2 * x + 1] << 8);
            return RGBColor(uint8_t(((v >> 11) & 31) << 3), uint8_t(((v >> 5) & 63) << 2), uint8_t((v & 31) << 3));
        }
        case pf24bit: return RGBColor(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
        default: return RGBColor(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
    }
}

void TBitmap::SetPixel(int x, int y, TColor color) {
    if (x < 0 || x >= width_) throw EInvalidGraphicOperation("Pixel index out of range");
    uint8_t* row = ScanLine(y);
    const uint8_t r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
    switch (format_) {
        case pf1bit:
        case pf4bit:
        case pf8bit: {
            TNearestColour lookup(EffectivePalette());
            const uint8_t index = lookup.Index(r, g, b);
            if (format_ == pf8bit) row[x] = index;
            else if (format_ == pf4bit)
                row[x >> 1] = (x & 1) ? uint8_t((row[x >> 1] & 0xF0) | index) : uint8_t((row[x >> 1] & 0x0F) | (index << 4));
            else {
                const uint8_t mask = uint8_t(0x80 >> (x & 7));
                row[x >> 3] = index ? uint8_t(row[x >> 3] | mask) : uint8_t(row[x >> 3] & ~mask);
            }
            break;
        }
        case pf15bit: {
            const unsigned v = ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
            row[2 * x] = uint8_t(v);
            row[2 * x + 1] = uint8_t(v >> 8);
            break;
        }
        case pf16bit: {
            const unsigned v = ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
            row[2 * x] = uint8_t(v);
            row[2 * x + 1] = uint8_t(v >> 8);
            break;
        }
        case pf24bit:
            row[3 * x] = b;
            row[3 * x + 1] = g;
            row[3 * x + 2] = r;
            break;
        default:
            row[4 * x] = b;
            row[4 * x + 1] = g;
            row[4 * x + 2] = r;
            break;
    }
}

void TBitmap::LoadFromStream(TStream& stream) { *this = ReadBmpFile(stream); }

void TBitmap::SaveToStream(TStream& stream) const { WriteBmpFile(*this, stream); }
