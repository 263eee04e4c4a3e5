#include "formats/TGAImage.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "formats/ByteCursor.h"
#include "formats/PictureBound.h"
#include "formats/RunLengthScan.h"
#include "platform/Exceptions.h"
#include "platform/Palettes.h"
#include "platform/SysUtils.h"

VORLIX_DEFINE_GRAPHIC_CLASS(TTGAImage, TGraphic)

namespace {

constexpr const char* kSignatureError = "Signature err";
constexpr size_t kHeaderSize = 18;
constexpr uint8_t kTopDownBit = 0x20;
constexpr size_t kMaxPacketPixels = 128;

TTGAHeader ParseHeader(const uint8_t* p) {
    TTGAHeader h;
    h.IDLength = p[0];
    h.ColorMapType = p[1];
    h.ImageType = p[2];
    h.FirstColorMapEntry = LE16(p + 3);
    h.ColorMapLength = LE16(p + 5);
    h.ColorMapEntrySize = p[7];
    h.XOrigin = LE16(p + 8);
    h.YOrigin = LE16(p + 10);
    h.Width = LE16(p + 12);
    h.Height = LE16(p + 14);
    h.PixelDepth = p[16];
    h.ImageDescriptor = p[17];
    return h;
}

size_t BytesPerEntry(uint8_t bits) { return (size_t{bits} + 7) / 8; }

// A 5-5-5 value as blue, green, red; bit 15 is not used.
void Expand555(const uint8_t* p, uint8_t* bgr) {
    const unsigned v = LE16(p);
    bgr[0] = static_cast<uint8_t>((v & 0x1F) << 3);
    bgr[1] = static_cast<uint8_t>(((v >> 5) & 0x1F) << 3);
    bgr[2] = static_cast<uint8_t>(((v >> 10) & 0x1F) << 3);
}

// The colour map as a 256-entry palette. Map entry k describes pixel value
// first + k, so entries before `first` stay black as do the ones the file
// does not define; values past 255 cannot occur in 8-bit pixels.
TPalette ReadColorMap(TByteCursor& in, const TTGAHeader& h, bool& cutShort) {
    TPalette palette(256);
    const size_t entryBytes = BytesPerEntry(h.ColorMapEntrySize);
    for (size_t k = 0; k < h.ColorMapLength; ++k) {
        const uint8_t* e = in.Take(entryBytes);
        if (!e) {
            cutShort = true;
            in.Seek(in.Size());
            break;
        }
        const size_t index = h.FirstColorMapEntry + k;
        if (index >= palette.size()) continue;
        uint8_t bgr[3] = {0, 0, 0};
        switch (h.ColorMapEntrySize) {
            case 15:
            case 16: Expand555(e, bgr); break;
            case 24:
            case 32: std::memcpy(bgr, e, 3); break;
            default: continue;  // no colour we could tell
        }
        palette[index] = {bgr[2], bgr[1], bgr[0], 0};
    }
    return palette;
}

// Where decoded pixels go: pixel i of the file is column i mod width of
// stored row i div width, and stored rows run down or up the picture.
class TPixelSink {
public:
    TPixelSink(TBitmap& picture, bool topDown, size_t pixelBytes)
        : picture_(picture), topDown_(topDown), pixelBytes_(pixelBytes),
          width_(static_cast<size_t>(picture.Width())),
          total_(width_ * static_cast<size_t>(picture.Height())) {
        if (total_) SelectRow();
    }

    size_t Left() const { return total_ - done_; }
    void Put(const uint8_t* value) {
        std::memcpy(row_ + x_ * pixelBytes_, value, pixelBytes_);
        ++done_;
        if (++x_ == width_ && done_ < total_) {
            x_ = 0;
            ++storedRow_;
            SelectRow();
        }
    }

private:
    void SelectRow() {
        row_ = picture_.ScanLine(topDown_ ? storedRow_ : picture_.Height() - 1 - storedRow_);
    }

    TBitmap& picture_;
    bool topDown_;
    size_t pixelBytes_;
    size_t width_;
    size_t total_;
    size_t done_ = 0;
    size_t x_ = 0;
    int storedRow_ = 0;
    uint8_t* row_ = nullptr;
};

// One file pixel (1 to 4 bytes) as the bitmap stores it.
class TPixelReader {
public:
    explicit TPixelReader(uint8_t depth) : fileBytes_(BytesPerEntry(depth)), expand_(depth == 15 || depth == 16) {}
    size_t FileBytes() const { return fileBytes_; }
    size_t BitmapBytes() const { return expand_ ? 3 : fileBytes_; }
    const uint8_t* operator()(const uint8_t* p) {
        if (!expand_) return p;
        Expand555(p, value_);
        return value_;
    }

private:
    size_t fileBytes_;
    bool expand_;
    uint8_t value_[4] = {};
};

// False when the data ended first.
bool ReadPlain(TByteCursor& in, TPixelSink& sink, TPixelReader& pixel) {
    while (sink.Left()) {
        const uint8_t* p = in.Take(pixel.FileBytes());
        if (!p) return false;
        sink.Put(pixel(p));
    }
    return true;
}

// Packets run on across row ends; one that passes the end of the picture
// is cut to the pixels that remain. A raw packet of 1-, 3- or 4-byte
// pixels that the data cannot complete is a read error; any other end of
// the data leaves the rest unfilled (false).
bool ReadRunLength(TByteCursor& in, TPixelSink& sink, TPixelReader& pixel) {
    const size_t size = pixel.FileBytes();
    while (sink.Left()) {
        if (in.AtEnd()) return false;
        const uint8_t header = in.Next();
        const size_t count = std::min<size_t>((header & 0x7Fu) + 1u, sink.Left());
        if (header & 0x80) {
            const uint8_t* p = in.Take(size);
            if (!p) return false;
            const uint8_t* value = pixel(p);
            for (size_t i = 0; i < count; ++i) sink.Put(value);
            continue;
        }
        if (size != 2 && in.Remaining() < count * size) throw EReadError(PlatformMessages::ReadError);
        for (size_t i = 0; i < count; ++i) {
            const uint8_t* p = in.Take(size);
            if (!p) return false;
            sink.Put(pixel(p));
        }
    }
    return true;
}

TPixelFormat FormatForDepth(uint8_t depth, bool& known) {
    known = true;
    switch (depth) {
        case 8: return pf8bit;
        case 15:
        case 16:
        case 24: return pf24bit;
        case 32: return pf32bit;
        default: known = false; return pf24bit;
    }
}

// The picture bytes the data after the header could fill at best.
uint64_t FillableBytes(const TTGAHeader& h, bool readable, bool runLength, uint64_t dataBytes) {
    if (!readable) return 0;
    const TPixelReader pixel(h.PixelDepth);
    if (!runLength) return kTruncatedRowsSlack * dataBytes / pixel.FileBytes() * pixel.BitmapBytes();
    // A run packet: one header byte and one pixel for 128 pixels.
    return (dataBytes / (1 + pixel.FileBytes()) + 1) * kMaxPacketPixels * pixel.BitmapBytes();
}

// Writer -----------------------------------------------------------------

void WriteRunLengthRow(const uint8_t* row, size_t width, size_t pixelBytes, std::vector<uint8_t>& out) {
    size_t at = 0;
    while (at < width) {
        const uint8_t* here = row + at * pixelBytes;
        const size_t left = width - at;
        const size_t literal = LiteralCount(here, left, pixelBytes, kMaxPacketPixels);
        if (literal > 0) {
            out.push_back(static_cast<uint8_t>(literal - 1));
            out.insert(out.end(), here, here + literal * pixelBytes);
            at += literal;
            continue;
        }
        const size_t repeat = RepeatCount(here, left, pixelBytes, kMaxPacketPixels);
        out.push_back(static_cast<uint8_t>(0x80 | (repeat - 1)));
        out.insert(out.end(), here, here + pixelBytes);
        at += repeat;
    }
}

void PutLE16(uint8_t* p, unsigned value) {
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}

}  // namespace

TTGAImage::TTGAImage() : TFormatImage(std::make_shared<TTGAData>()) {}

void TTGAImage::LoadFromStream(TStream& stream) {
    TMemoryStream copy = CopyInput(stream);
    const std::vector<uint8_t>& bytes = copy.Bytes();
    if (bytes.empty()) throw EInvalidGraphic(kSignatureError);
    TByteCursor in(bytes);
    const uint8_t* headerBytes = in.Take(kHeaderSize);
    if (!headerBytes) throw EReadError(PlatformMessages::ReadError);
    const TTGAHeader h = ParseHeader(headerBytes);
    const bool topDown = (h.ImageDescriptor & kTopDownBit) != 0;
    const bool runLength = h.ImageType >= 9 && h.ImageType <= 11;
    const int kind = runLength ? h.ImageType - 8 : h.ImageType;  // 1 mapped, 2 true colour, 3 grey

    bool knownDepth = false;
    const TPixelFormat format = FormatForDepth(h.PixelDepth, knownDepth);
    std::string warning;
    std::optional<TBitmap> picture;
    if (knownDepth) {
        in.Skip(h.IDLength);
        const bool mapped = kind == 1;
        const uint64_t mapBytes = uint64_t{h.ColorMapLength} * BytesPerEntry(h.ColorMapEntrySize);
        if (h.ColorMapType == 1 && !mapped) in.Skip(mapBytes);
        const bool readable = (kind == 1 || kind == 3) ? format == pf8bit : kind == 2 && format != pf8bit;
        const uint64_t pictureBytes = uint64_t{h.Width} * h.Height * (TBitmap::BitsPerPixel(format) / 8);
        const uint64_t dataBytes = in.Remaining() - (mapped ? std::min<uint64_t>(mapBytes, in.Remaining()) : 0);
        RequirePictureWithinData(pictureBytes, FillableBytes(h, readable, runLength, dataBytes));

        picture.emplace(h.Width, h.Height, format);
        bool cutShort = false;
        if (readable) {
            if (kind == 1) picture->SetPalette(ReadColorMap(in, h, cutShort));
            if (kind == 3) picture->SetPalette(GreyRampPalette());
            TPixelReader pixel(h.PixelDepth);
            TPixelSink sink(*picture, topDown, pixel.BitmapBytes());
            cutShort |= !(runLength ? ReadRunLength(in, sink, pixel) : ReadPlain(in, sink, pixel));
            if (cutShort) warning = kFileEndsEarlyWarning;
        } else {
            warning = Format("Targa type %d with %d bits per pixel cannot be read; the picture is left empty",
                             h.ImageType, h.PixelDepth);
        }
    } else {
        warning = Format("Targa pictures of %d bits per pixel cannot be read; nothing was loaded", h.PixelDepth);
    }

    if (picture) *bitmap_ = std::move(*picture);
    header_ = h;
    topDown_ = topDown;
    runLength_ = runLength;
    warning_ = std::move(warning);
    auto data = std::make_shared<TTGAData>();
    data->Stream = std::make_unique<TMemoryStream>(std::move(copy));
    data_ = std::move(data);
}

void TTGAImage::SaveToStream(TStream& stream) const {
    const TBitmap& own = *bitmap_;
    const bool mapped = own.PixelFormat() == pf8bit && !own.PaletteEntries().empty();
    if (own.Width() > 0xFFFF || own.Height() > 0xFFFF)
        throw EInvalidGraphic("Targa pictures are at most 65535 x 65535 pixels");
    std::optional<TBitmap> converted;
    if (!mapped && own.PixelFormat() != pf24bit) {
        converted.emplace(own);
        converted->SetPixelFormat(pf24bit);
    }
    const TBitmap& picture = converted ? *converted : own;

    uint8_t header[kHeaderSize] = {};
    header[1] = mapped ? 1 : 0;
    header[2] = static_cast<uint8_t>((mapped ? 1 : 2) + (rle_ ? 8 : 0));
    PutLE16(header + 5, mapped ? 256 : 0);
    header[7] = mapped ? 24 : 0;
    PutLE16(header + 12, static_cast<unsigned>(picture.Width()));
    PutLE16(header + 14, static_cast<unsigned>(picture.Height()));
    header[16] = mapped ? 8 : 24;
    stream.WriteBuffer(header, kHeaderSize);

    if (mapped) {
        const TPalette& palette = picture.PaletteEntries();
        std::vector<uint8_t> map(256 * 3, 0);
        for (size_t i = 0; i < palette.size() && i < 256; ++i) {
            map[3 * i] = palette[i].Blue;
            map[3 * i + 1] = palette[i].Green;
            map[3 * i + 2] = palette[i].Red;
        }
        stream.WriteBuffer(map.data(), static_cast<int64_t>(map.size()));
    }

    const size_t pixelBytes = mapped ? 1 : 3;
    const size_t width = static_cast<size_t>(picture.Width());
    std::vector<uint8_t> packets;
    for (int y = picture.Height() - 1; y >= 0; --y) {
        const uint8_t* row = picture.ScanLine(y);
        if (!rle_) {
            stream.WriteBuffer(row, static_cast<int64_t>(width * pixelBytes));
            continue;
        }
        packets.clear();
        WriteRunLengthRow(row, width, pixelBytes, packets);
        stream.WriteBuffer(packets.data(), static_cast<int64_t>(packets.size()));
    }
}

void InitializeTGAImageUnit() {
    for (const char* extension : {"tga", "vst", "icb", "vda"})
        TPicture::RegisterFileFormat(extension, "targa", TTGAImage::StaticClass());
}

void FinalizeTGAImageUnit() { TPicture::UnregisterGraphicClass(TTGAImage::StaticClass()); }
