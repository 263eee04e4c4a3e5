#include "formats/TiffDecodeUtils.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>

#include "platform/Exceptions.h"
#include "platform/Palettes.h"
#include "platform/Streams.h"
#include "platform/SysUtils.h"
#include "save/ZetJPEGImage.h"

namespace {

constexpr const char* kOpenError = "LibTiff TIFFOpenStream() error";
constexpr const char* kBufferError = "Unable to create TBitmap buffer";
constexpr const char* kRgbaError = "LibTiff TIFFReadRGBAImage() error";

// A header may promise a picture far larger than its data, and compressed
// data can promise a lot: a picture up to this size is always made, a larger
// one needs a file of at least 1/ratio of its pixel memory. The ratios are
// generous for what the codecs reach on real pictures, yet keep a few bytes
// from making us allocate and walk through gigabytes.
constexpr uint64_t kAlwaysAcceptedPixelBytes = uint64_t{64} << 20;
constexpr uint64_t kUncompressedPixelsPerFileByte = 16;
constexpr uint64_t kCompressedPixelsPerFileByte = 4096;

TTiffColourMap gColourMap{};
std::mutex gColourMapMutex;

// Reads numbers of either byte order from the file; nothing outside it.
class TTiffBytes {
public:
    TTiffBytes(const std::vector<uint8_t>& file, bool littleEndian) : file_(file), little_(littleEndian) {}

    bool Has(uint64_t offset, uint64_t count) const { return offset <= file_.size() && count <= file_.size() - offset; }
    uint16_t Word(const uint8_t* p) const { return little_ ? uint16_t(p[0] | p[1] << 8) : uint16_t(p[0] << 8 | p[1]); }
    uint32_t DWord(const uint8_t* p) const {
        return little_ ? uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24
                       : uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
    }
    const uint8_t* At(uint64_t offset) const { return file_.data() + offset; }
    // One value of size bytes (1, 2 or 4) at offset, when the file holds it.
    bool Value(uint64_t offset, uint32_t size, uint32_t& value) const {
        if (!Has(offset, size)) return false;
        value = size == 1 ? *At(offset) : size == 2 ? Word(At(offset)) : DWord(At(offset));
        return true;
    }

private:
    const std::vector<uint8_t>& file_;
    bool little_;
};

bool LittleEndianFile(const std::vector<uint8_t>& file) { return file.size() >= 2 && file[0] == 'I'; }

void ReadColourMap(const TTiffBytes& in, const TTiffTagNode& node) {
    std::lock_guard lock(gColourMapMutex);
    const uint32_t entries = std::min<uint32_t>(node.Count / 3, 256);
    const uint64_t base = node.Value;
    const uint64_t plane = uint64_t{node.Count / 3} * 2;
    for (uint32_t i = 0; i < entries; ++i) {
        uint32_t red = 0, green = 0, blue = 0;
        // An entry cut off by the end of the file stays black.
        if (!in.Value(base + 2 * i, 2, red) || !in.Value(base + plane + 2 * i, 2, green) ||
            !in.Value(base + 2 * plane + 2 * i, 2, blue))
            break;
        gColourMap[i] = {uint8_t(blue >> 8), uint8_t(green >> 8), uint8_t(red >> 8)};
    }
}

// libtiff reads through these over the bytes in memory.
struct TMemoryTiff {
    const std::vector<uint8_t>* File;
    uint64_t Position = 0;
    std::string FirstError;
    int Errors = 0;
};

tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t count) {
    auto& m = *static_cast<TMemoryTiff*>(handle);
    const uint64_t size = m.File->size();
    if (count <= 0 || m.Position >= size) return 0;
    const uint64_t moved = std::min<uint64_t>(uint64_t(count), size - m.Position);
    std::memcpy(buffer, m.File->data() + m.Position, moved);
    m.Position += moved;
    return tmsize_t(moved);
}

tmsize_t WriteProc(thandle_t, void*, tmsize_t) { return 0; }

toff_t SeekProc(thandle_t handle, toff_t offset, int whence) {
    auto& m = *static_cast<TMemoryTiff*>(handle);
    const uint64_t base = whence == SEEK_CUR ? m.Position : whence == SEEK_END ? m.File->size() : 0;
    if (offset > std::numeric_limits<uint64_t>::max() - base) return toff_t(-1);
    m.Position = base + offset;
    return m.Position;
}

int CloseProc(thandle_t) { return 0; }
toff_t SizeProc(thandle_t handle) { return static_cast<TMemoryTiff*>(handle)->File->size(); }
// libtiff reads mapped data in place and only ever reads it (files are
// mapped read-only); it also needs the map: without it libtiff 4.5 rejects
// uncompressed tiles that it reads fine from a mapped file.
int MapProc(thandle_t handle, void** base, toff_t* size) {
    const auto& m = *static_cast<TMemoryTiff*>(handle);
    *base = const_cast<uint8_t*>(m.File->data());
    *size = m.File->size();
    return 1;
}
void UnmapProc(thandle_t, void*, toff_t) {}

int ErrorHandler(TIFF*, void* user, const char*, const char* format, va_list args) {
    auto& m = *static_cast<TMemoryTiff*>(user);
    if (m.Errors++ == 0) {
        char text[512];
        std::vsnprintf(text, sizeof text, format, args);
        m.FirstError = text;
    }
    return 1;  // handled: nothing reaches the terminal
}

int WarningHandler(TIFF*, void*, const char*, const char*, va_list) { return 1; }

// Messages libtiff gives without a handle would go to the terminal.
void SilenceGlobalHandlers() {
    static std::once_flag once;
    std::call_once(once, [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
    });
}

std::string WithReason(const char* text, const TMemoryTiff& m) {
    return m.FirstError.empty() ? std::string(text) : std::string(text) + ": " + m.FirstError;
}

struct TTiffCloser {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};
struct TOptionsFreer {
    void operator()(TIFFOpenOptions* options) const { TIFFOpenOptionsFree(options); }
};

TPalette ScanlinePalette(int bits, uint16_t photometric) {
    const int entries = 1 << bits;
    TPalette palette(static_cast<size_t>(entries));
    if (photometric == PHOTOMETRIC_PALETTE) {
        std::lock_guard lock(gColourMapMutex);
        for (int i = 0; i < entries; ++i)
            palette[size_t(i)] = {gColourMap[size_t(i)].Red, gColourMap[size_t(i)].Green, gColourMap[size_t(i)].Blue, 0};
        return palette;
    }
    const bool minIsWhite = photometric == PHOTOMETRIC_MINISWHITE;
    for (int i = 0; i < entries; ++i) {
        uint8_t grey = 0;
        if (bits == 8) grey = uint8_t(minIsWhite ? 255 - i : i);
        if (bits == 4) grey = uint8_t(minIsWhite ? 255 - 16 * i : 16 * i + 15);
        if (bits == 1) grey = uint8_t((photometric == PHOTOMETRIC_MINISBLACK) == (i == 1) ? 255 : 0);
        palette[size_t(i)] = {grey, grey, grey, 0};
    }
    return palette;
}

TBitmap MakeBitmap(uint32_t width, uint32_t height, TPixelFormat format, uint64_t limit) {
    if (width > uint32_t(std::numeric_limits<int>::max()) || height > uint32_t(std::numeric_limits<int>::max()))
        throw Exception(kBufferError);
    const uint64_t rowBytes = (uint64_t(width) * uint64_t(TBitmap::BitsPerPixel(format)) + 31) / 32 * 4;
    if (rowBytes * height > limit) throw Exception(kBufferError);
    try {
        return TBitmap(int(width), int(height), format);
    } catch (const EOutOfMemory&) {
        throw Exception(kBufferError);
    } catch (const std::bad_alloc&) {
        throw Exception(kBufferError);
    }
}

void ReadThroughRgba(TIFF* tif, TMemoryTiff& m, TBitmap& picture, TLibTiffResult& result) {
    const int before = m.Errors;
    const int w = picture.Width(), h = picture.Height();
    // The bitmap's rows are contiguous 32-bit pixels, top row first, which is
    // the raster libtiff fills when asked for top-left orientation.
    auto* raster = reinterpret_cast<uint32_t*>(picture.ScanLine(0));
    if (!TIFFReadRGBAImageOriented(tif, uint32_t(w), uint32_t(h), raster, ORIENTATION_TOPLEFT, 0))
        throw Exception(WithReason(kRgbaError, m));
    for (int y = 0; y < h; ++y) {
        uint8_t* p = picture.ScanLine(y);
        for (int x = 0; x < w; ++x, p += 4) std::swap(p[0], p[2]);
    }
    if (m.Errors > before) result.Warning = m.FirstError;
}

// libtiff refuses a whole uncompressed strip that the file cuts short; its
// rows that are there are taken from the file as they are.
void CopyUncompressedRows(TIFF* tif, const std::vector<uint8_t>& file, TBitmap& picture, int from, size_t lineBytes) {
    uint32_t rowsPerStrip = 0;
    TIFFGetFieldDefaulted(tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    uint16_t fillOrder = FILLORDER_MSB2LSB;
    TIFFGetFieldDefaulted(tif, TIFFTAG_FILLORDER, &fillOrder);
    rowsPerStrip = std::max<uint32_t>(1, std::min<uint32_t>(rowsPerStrip, uint32_t(picture.Height())));
    const size_t copied = std::min(lineBytes, static_cast<size_t>(picture.RowStride()));
    for (int y = from; y < picture.Height(); ++y) {
        const uint32_t strip = uint32_t(y) / rowsPerStrip;
        if (strip >= TIFFNumberOfStrips(tif)) return;
        const uint64_t at = TIFFGetStrileOffset(tif, strip) + uint64_t(uint32_t(y) % rowsPerStrip) * lineBytes;
        if (at > file.size() || copied > file.size() - at) continue;
        uint8_t* row = picture.ScanLine(y);
        std::memcpy(row, file.data() + at, copied);
        if (fillOrder == FILLORDER_LSB2MSB) TIFFReverseBits(row, tmsize_t(copied));
    }
}

void ReadThroughScanlines(TIFF* tif, TMemoryTiff& m, TBitmap& picture, uint16_t compression,
                          TLibTiffResult& result) {
    const tmsize_t lineBytes = TIFFScanlineSize(tif);
    if (lineBytes <= 0) throw Exception(WithReason(kBufferError, m));
    std::vector<uint8_t> line(static_cast<size_t>(lineBytes));
    const size_t copied = std::min(line.size(), static_cast<size_t>(picture.RowStride()));
    for (int y = 0; y < picture.Height(); ++y) {
        if (TIFFReadScanline(tif, line.data(), uint32_t(y), 0) < 0) {
            result.Warning = m.FirstError.empty() ? Format("row %d could not be decoded", y) : m.FirstError;
            // Compressed rows past this one cannot be reached; they stay blank.
            if (compression == COMPRESSION_NONE) CopyUncompressedRows(tif, *m.File, picture, y, line.size());
            return;
        }
        std::memcpy(picture.ScanLine(y), line.data(), copied);
    }
}

}  // namespace

TTiffColourMap& TiffColourMap() { return gColourMap; }

void ParseTiffDirectory(const std::vector<uint8_t>& file, TNode& root) {
    if (file.size() < 2 || !((file[0] == 'I' && file[1] == 'I') || (file[0] == 'M' && file[1] == 'M')))
        throw EInvalidGraphic("Byte order error");
    const TTiffBytes in(file, LittleEndianFile(file));
    uint32_t version = 0, ifd = 0;
    if (!in.Value(2, 2, version) || version != 42) throw EInvalidGraphic("TIFF version error");
    {
        std::lock_guard lock(gColourMapMutex);
        gColourMap = {};
    }
    uint32_t entries = 0;
    if (!in.Value(4, 4, ifd) || !in.Value(ifd, 2, entries)) return;
    for (uint32_t i = 0; i < entries; ++i) {
        const uint64_t at = uint64_t{ifd} + 2 + 12 * uint64_t{i};
        if (!in.Has(at, 12)) break;
        const uint16_t tag = in.Word(in.At(at));
        const uint16_t type = in.Word(in.At(at + 2));
        auto node = std::make_unique<TTiffTagNode>(TiffTagName(tag));
        node->TypeName = TiffTypeName(type);
        node->Count = in.DWord(in.At(at + 4));
        node->ValueSize = TiffValueSize(type);
        if (uint64_t{node->ValueSize} * node->Count <= 4) {
            for (uint32_t k = 0; k < node->Count; ++k) in.Value(at + 8 + k * node->ValueSize, node->ValueSize, node->Value);
            node->ResolvedValue = node->Value;
        } else {
            node->IsOffset = true;
            node->Value = in.DWord(in.At(at + 8));
            node->ResolvedValue = -1;
            uint32_t first = 0;
            if ((node->Name == "StripOffsets" || node->Name == "BitsPerSample") &&
                in.Value(node->Value, node->ValueSize, first))
                node->ResolvedValue = first;
            if (node->Name == "ColorMap") ReadColourMap(in, *node);
        }
        root.Add(std::move(node));
    }
}

bool TiffFirstValue(const std::vector<uint8_t>& file, const TNode& root, const char* name, uint32_t& value) {
    const auto* node = dynamic_cast<const TTiffTagNode*>(root.Find(name));
    if (!node) return false;
    if (!node->IsOffset) {
        value = node->Value;
        return true;
    }
    if (node->ResolvedValue >= 0) {
        value = uint32_t(node->ResolvedValue);
        return true;
    }
    return TTiffBytes(file, LittleEndianFile(file)).Value(node->Value, node->ValueSize, value);
}

bool DecodeOldStyleJpeg(const std::vector<uint8_t>& file, const TNode& root, TBitmap& picture) {
    uint32_t offset = 0, length = 0;
    const bool interchange = root.Find("JpegInterchangeFormat") != nullptr;
    if (interchange) {
        if (!TiffFirstValue(file, root, "JpegInterchangeFormat", offset) ||
            !TiffFirstValue(file, root, "JpegInterchangeFormatLength", length))
            return false;
    } else if (!TiffFirstValue(file, root, "StripOffsets", offset) ||
               !TiffFirstValue(file, root, "StripByteCounts", length)) {
        return false;
    }
    // Only what the file holds is handed on; a cut stream is the JPEG
    // decoder's to judge.
    const size_t start = std::min<size_t>(offset, file.size());
    const size_t count = std::min<size_t>(length, file.size() - start);
    TMemoryStream jpegBytes(std::vector<uint8_t>(file.begin() + ptrdiff_t(start), file.begin() + ptrdiff_t(start + count)));
    TJPEGImage jpeg;
    jpeg.LoadFromStream(jpegBytes);
    TBitmap decoded;
    decoded.Assign(jpeg);
    decoded.SetPixelFormat(pf24bit);
    picture = std::move(decoded);
    return true;
}

TLibTiffResult DecodeWithLibTiff(const std::vector<uint8_t>& file, bool tiled, TBitmap& picture) {
    SilenceGlobalHandlers();
    TMemoryTiff memory{&file, 0, {}, 0};
    std::unique_ptr<TIFFOpenOptions, TOptionsFreer> options(TIFFOpenOptionsAlloc());
    if (!options) throw Exception(kOpenError);
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), ErrorHandler, &memory);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), WarningHandler, &memory);

    const uint64_t fileBytes = file.size();
    const uint64_t compressedLimit = std::max(kAlwaysAcceptedPixelBytes, kCompressedPixelsPerFileByte * fileBytes);
    const uint64_t cap = std::min<uint64_t>(TBitmap::MaxPixelBytes(), compressedLimit);
    // libtiff's own buffers (strips, tiles) never need more than the picture.
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), tmsize_t(std::min<uint64_t>(2 * cap, std::numeric_limits<tmsize_t>::max())));

    std::unique_ptr<TIFF, TTiffCloser> tif(TIFFClientOpenExt("TIFF", "r", &memory, ReadProc, WriteProc, SeekProc,
                                                             CloseProc, SizeProc, MapProc, UnmapProc, options.get()));
    if (!tif) throw Exception(WithReason(kOpenError, memory));

    uint16_t bits = 1, photometric = 0, samples = 1, compression = COMPRESSION_NONE;
    uint32_t width = 0, height = 0;
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetField(tif.get(), TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_COMPRESSION, &compression);

    int depth = 0;  // 0: no indexed or packed form of ours
    if (bits == 1) depth = samples == 1 ? 1 : 24;
    if (bits == 4) depth = samples == 1 ? 4 : 24;
    if (bits == 8) depth = samples == 1 ? 8 : samples == 4 ? 32 : 24;

    TLibTiffResult result;
    result.BitDepth = depth != 0 ? depth : bits > 8 ? 8 * samples : samples == 1 ? bits : samples == 3 ? 3 * bits : bits * samples;
    const uint64_t ratio = compression == COMPRESSION_NONE ? kUncompressedPixelsPerFileByte : kCompressedPixelsPerFileByte;
    const uint64_t limit = std::min<uint64_t>(cap, std::max(kAlwaysAcceptedPixelBytes, ratio * fileBytes));

    const bool rgba = depth == 24 || depth == 32 || depth == 0 || bits > 8 || photometric == PHOTOMETRIC_YCBCR || tiled;
    if (rgba) {
        TBitmap raster = MakeBitmap(width, height, pf32bit, limit);
        if (!raster.Empty()) ReadThroughRgba(tif.get(), memory, raster, result);
        if (depth == 24) raster.SetPixelFormat(pf24bit);
        picture = std::move(raster);
    } else {
        const TPixelFormat format = depth == 1 ? pf1bit : depth == 4 ? pf4bit : pf8bit;
        TBitmap indexed = MakeBitmap(width, height, format, limit);
        indexed.SetPalette(ScanlinePalette(depth, photometric));
        if (!indexed.Empty()) ReadThroughScanlines(tif.get(), memory, indexed, compression, result);
        picture = std::move(indexed);
    }
    return result;
}
