#include "formats/PCXImage.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "formats/ByteCursor.h"
#include "formats/PictureBound.h"
#include "formats/RunLengthScan.h"
#include "platform/Exceptions.h"
#include "platform/SysUtils.h"

VORLIX_DEFINE_GRAPHIC_CLASS(TPCXImage, TGraphic)

namespace {

constexpr const char* kSignatureError = "Signature err";
constexpr size_t kHeaderSize = 128;
constexpr uint8_t kManufacturer = 10;
constexpr uint8_t kPaletteTag = 0x0C;
constexpr size_t kTailPaletteBytes = 1 + 256 * 3;
constexpr uint8_t kRunFlags = 0xC0;
constexpr size_t kMaxRun = 63;
// A two-byte run gives at most 63 bytes.
constexpr uint64_t kBestRunRatio = 32;

TPCXHeader ParseHeader(const uint8_t* p) {
    TPCXHeader h;
    h.Manufacturer = p[0];
    h.Version = p[1];
    h.Encoding = p[2];
    h.BitsPerPixel = p[3];
    h.XMin = LE16(p + 4);
    h.YMin = LE16(p + 6);
    h.XMax = LE16(p + 8);
    h.YMax = LE16(p + 10);
    h.HorizontalResolution = LE16(p + 12);
    h.VerticalResolution = LE16(p + 14);
    std::memcpy(h.Palette, p + 16, sizeof h.Palette);
    h.Reserved = p[64];
    h.Planes = p[65];
    h.BytesPerLine = LE16(p + 66);
    h.PaletteInfo = LE16(p + 68);
    h.HorizontalScreenSize = LE16(p + 70);
    h.VerticalScreenSize = LE16(p + 72);
    std::memcpy(h.Filler, p + 74, sizeof h.Filler);
    return h;
}

enum class TLayout { Unknown, Monochrome, BitPlanes, Packed4, Indexed8, RGB, RGBA };

TLayout LayoutOf(const TPCXHeader& h) {
    if (h.Planes == 0) return TLayout::Unknown;
    switch (h.BitsPerPixel) {
        case 1: return h.Planes >= 2 && h.Planes <= 4 ? TLayout::BitPlanes : TLayout::Monochrome;
        case 4: return TLayout::Packed4;
        case 8: return h.Planes == 1 ? TLayout::Indexed8 : h.Planes == 3 ? TLayout::RGB : h.Planes == 4 ? TLayout::RGBA : TLayout::Unknown;
        default: return TLayout::Unknown;
    }
}

TPixelFormat FormatOf(TLayout layout) {
    switch (layout) {
        case TLayout::Monochrome: return pf1bit;
        case TLayout::BitPlanes:
        case TLayout::Packed4: return pf4bit;
        case TLayout::Indexed8: return pf8bit;
        case TLayout::RGBA: return pf32bit;
        default: return pf24bit;  // RGB, and the format a new bitmap has
    }
}

TPalette HeaderPalette(const TPCXHeader& h, TLayout layout) {
    TPalette palette(16);
    for (size_t i = 0; i < palette.size(); ++i)
        palette[i] = {h.Palette[3 * i], h.Palette[3 * i + 1], h.Palette[3 * i + 2], 0};
    // Monochrome files are often written with a header palette that does
    // not tell the two colours apart (all zeros, or black for both); the
    // format's convention for them is black and white.
    if (layout == TLayout::Monochrome && palette[0] == palette[1]) {
        palette[0] = {0, 0, 0, 0};
        palette[1] = {255, 255, 255, 0};
    }
    return palette;
}

// The pixel data, as one run of bytes whose runs may cross rows and planes.
class TPcxData {
public:
    TPcxData(TByteCursor& in, bool runLength) : in_(in), runLength_(runLength) {}

    // Fills out with count bytes; returns how many the data had.
    size_t Fill(uint8_t* out, size_t count) {
        if (!runLength_) {
            const size_t n = std::min(count, in_.Remaining());
            std::memcpy(out, in_.Here(), n);
            in_.Skip(n);
            return n;
        }
        size_t done = 0;
        while (done < count) {
            if (pending_) {
                const size_t n = std::min(pending_, count - done);
                std::memset(out + done, value_, n);
                done += n;
                pending_ -= n;
                continue;
            }
            if (in_.AtEnd()) break;
            const uint8_t b = in_.Next();
            if (b < kRunFlags) {
                out[done++] = b;
                continue;
            }
            if (in_.AtEnd()) break;
            value_ = in_.Next();
            pending_ = b & 0x3Fu;
        }
        return done;
    }

private:
    TByteCursor& in_;
    bool runLength_;
    size_t pending_ = 0;
    uint8_t value_ = 0;
};

// One file row (its planes one after the other) into a bitmap row.
void StoreRow(TLayout layout, const uint8_t* data, size_t bytesPerLine, size_t planes, int width, uint8_t* row) {
    const size_t w = static_cast<size_t>(width);
    switch (layout) {
        case TLayout::Monochrome:
        case TLayout::Packed4:
        case TLayout::Indexed8: {
            const size_t bits = layout == TLayout::Monochrome ? 1 : layout == TLayout::Packed4 ? 4 : 8;
            const size_t used = (w * bits + 7) / 8;
            const size_t n = std::min(bytesPerLine, used);
            std::memcpy(row, data, n);
            // Bits past the last pixel stay clear, as in every bitmap row.
            if (n == used && (w * bits) % 8) row[used - 1] &= static_cast<uint8_t>(0xFF00u >> ((w * bits) % 8));
            break;
        }
        case TLayout::BitPlanes:
            for (size_t x = 0; x < w && x / 8 < bytesPerLine; ++x) {
                const unsigned shift = 7 - static_cast<unsigned>(x % 8);
                unsigned value = 0;
                for (size_t p = 0; p < planes; ++p) value |= ((data[p * bytesPerLine + x / 8] >> shift) & 1u) << p;
                row[x / 2] |= static_cast<uint8_t>(x % 2 ? value : value << 4);
            }
            break;
        case TLayout::RGB:
        case TLayout::RGBA: {
            const size_t channels = layout == TLayout::RGB ? 3 : 4;
            const uint8_t* red = data;
            const uint8_t* green = data + bytesPerLine;
            const uint8_t* blue = data + 2 * bytesPerLine;
            const uint8_t* fourth = data + 3 * bytesPerLine;
            for (size_t x = 0; x < w && x < bytesPerLine; ++x, row += channels) {
                row[0] = blue[x];
                row[1] = green[x];
                row[2] = red[x];
                if (channels == 4) row[3] = fourth[x];
            }
            break;
        }
        case TLayout::Unknown: break;
    }
}

int DepthOf(TLayout layout) {
    switch (layout) {
        case TLayout::Monochrome: return 1;
        case TLayout::BitPlanes:
        case TLayout::Packed4: return 4;
        case TLayout::Indexed8: return 8;
        case TLayout::RGB: return 24;
        case TLayout::RGBA: return 32;
        case TLayout::Unknown: break;
    }
    return 0;
}

// Writer -----------------------------------------------------------------

void EncodePlane(const uint8_t* plane, size_t n, std::vector<uint8_t>& out) {
    size_t at = 0;
    while (at < n) {
        const size_t literal = LiteralCount(plane + at, n - at, 1, n);
        if (literal > 0) {
            for (size_t i = 0; i < literal; ++i) {
                const uint8_t b = plane[at + i];
                // A byte that looks like a run count goes out as a run of one.
                if (b >= kRunFlags) out.push_back(kRunFlags | 1);
                out.push_back(b);
            }
            at += literal;
            continue;
        }
        const size_t repeat = RepeatCount(plane + at, n - at, 1, kMaxRun);
        out.push_back(static_cast<uint8_t>(kRunFlags | repeat));
        out.push_back(plane[at]);
        at += repeat;
    }
}

void PutLE16(uint8_t* p, unsigned value) {
    p[0] = static_cast<uint8_t>(value);
    p[1] = static_cast<uint8_t>(value >> 8);
}

}  // namespace

TPCXImage::TPCXImage() : TFormatImage(std::make_shared<TPCXData>()) {}

void TPCXImage::LoadFromStream(TStream& stream) {
    TMemoryStream copy = CopyInput(stream);
    const std::vector<uint8_t>& bytes = copy.Bytes();
    if (bytes.empty() || bytes[0] != kManufacturer) throw EInvalidGraphic(kSignatureError);
    TByteCursor in(bytes);
    const uint8_t* headerBytes = in.Take(kHeaderSize);
    if (!headerBytes) throw EReadError(PlatformMessages::ReadError);
    const TPCXHeader h = ParseHeader(headerBytes);

    const TLayout layout = LayoutOf(h);
    const TPixelFormat format = FormatOf(layout);
    const int width = std::max(0, int{h.XMax} - int{h.XMin} + 1);
    const int height = std::max(0, int{h.YMax} - int{h.YMin} + 1);
    const size_t planes = h.Planes, bytesPerLine = h.BytesPerLine;
    const bool runLength = h.Encoding == 1;
    const uint64_t dataBytes = uint64_t(height) * planes * bytesPerLine;
    const bool readable = layout != TLayout::Unknown && bytesPerLine > 0;
    if (!runLength && readable && dataBytes > in.Remaining())
        throw EReadError(PlatformMessages::ReadError);
    const uint64_t pictureBytes = (uint64_t(width) * TBitmap::BitsPerPixel(format) + 7) / 8 * uint64_t(height);
    RequirePictureWithinData(pictureBytes, readable ? kBestRunRatio * in.Remaining() : 0);

    TBitmap picture(width, height, format);
    std::string warning;
    if (layout == TLayout::Indexed8) {
        if (bytes.size() >= kHeaderSize + kTailPaletteBytes && bytes[bytes.size() - kTailPaletteBytes] == kPaletteTag) {
            const uint8_t* p = bytes.data() + bytes.size() - kTailPaletteBytes + 1;
            TPalette palette(256);
            for (size_t i = 0; i < palette.size(); ++i) palette[i] = {p[3 * i], p[3 * i + 1], p[3 * i + 2], 0};
            picture.SetPalette(palette);
        }
    } else if (format == pf1bit || format == pf4bit) {
        picture.SetPalette(HeaderPalette(h, layout));
    }

    if (layout == TLayout::Unknown) {
        warning = Format("PCX pictures of %d bits per pixel in %d planes cannot be read; the picture is left empty",
                         h.BitsPerPixel, h.Planes);
    } else if (!readable) {
        warning = "the rows have no bytes; the picture is left empty";
    } else if (width > 0) {
        TPcxData data(in, runLength);
        std::vector<uint8_t> row(planes * bytesPerLine);
        for (int y = 0; y < height; ++y) {
            const size_t filled = data.Fill(row.data(), row.size());
            std::fill(row.begin() + static_cast<ptrdiff_t>(filled), row.end(), 0);
            StoreRow(layout, row.data(), bytesPerLine, planes, width, picture.ScanLine(y));
            if (filled < row.size()) {
                warning = kFileEndsEarlyWarning;
                break;
            }
        }
    }

    *bitmap_ = std::move(picture);
    header_ = h;
    bitDepth_ = DepthOf(layout);
    warning_ = std::move(warning);
    auto holder = std::make_shared<TPCXData>();
    holder->Stream = std::make_unique<TMemoryStream>(std::move(copy));
    data_ = std::move(holder);
}

void TPCXImage::SaveToStream(TStream& stream) const {
    const TBitmap& own = *bitmap_;
    // Xmax holds width - 1 and the even bytes per line must fit 16 bits.
    if (own.Width() > 0xFFFE || own.Height() > 0x10000)
        throw EInvalidGraphic("PCX pictures are at most 65534 x 65536 pixels");
    std::optional<TBitmap> converted;
    if (own.PixelFormat() != pf8bit && own.PixelFormat() != pf24bit) {
        converted.emplace(own);
        converted->SetPixelFormat(own.PixelFormat() == pf1bit ? pf8bit : pf24bit);
    }
    const TBitmap& picture = converted ? *converted : own;
    const bool indexed = picture.PixelFormat() == pf8bit;
    const size_t width = static_cast<size_t>(picture.Width());
    const size_t bytesPerLine = width + (width & 1);

    uint8_t header[kHeaderSize] = {};
    header[0] = kManufacturer;
    header[1] = 5;
    header[2] = 1;
    header[3] = 8;
    PutLE16(header + 8, static_cast<unsigned>(picture.Width() - 1));
    PutLE16(header + 10, static_cast<unsigned>(picture.Height() - 1));
    header[65] = indexed ? 1 : 3;
    PutLE16(header + 66, static_cast<unsigned>(bytesPerLine));
    PutLE16(header + 68, 1);
    stream.WriteBuffer(header, kHeaderSize);

    std::vector<uint8_t> planes(indexed ? 0 : 3 * bytesPerLine, 0);
    std::vector<uint8_t> out;
    for (int y = 0; y < picture.Height(); ++y) {
        const uint8_t* row = picture.ScanLine(y);
        out.clear();
        if (indexed) {
            // An odd width takes one byte of the row's padding (always 0).
            EncodePlane(row, bytesPerLine, out);
        } else {
            for (size_t x = 0; x < width; ++x) {
                planes[x] = row[3 * x + 2];
                planes[bytesPerLine + x] = row[3 * x + 1];
                planes[2 * bytesPerLine + x] = row[3 * x];
            }
            for (size_t p = 0; p < 3; ++p) EncodePlane(planes.data() + p * bytesPerLine, bytesPerLine, out);
        }
        stream.WriteBuffer(out.data(), static_cast<int64_t>(out.size()));
    }

    if (indexed) {
        const TPalette& palette = picture.EffectivePalette();
        std::vector<uint8_t> tail(kTailPaletteBytes, 0);
        tail[0] = kPaletteTag;
        for (size_t i = 0; i < palette.size() && i < 256; ++i) {
            tail[1 + 3 * i] = palette[i].Red;
            tail[2 + 3 * i] = palette[i].Green;
            tail[3 + 3 * i] = palette[i].Blue;
        }
        stream.WriteBuffer(tail.data(), static_cast<int64_t>(tail.size()));
    }
}

void InitializePCXImageUnit() { TPicture::RegisterFileFormat("pcx", "ZSoft Paintbrush", TPCXImage::StaticClass()); }

void FinalizePCXImageUnit() { TPicture::UnregisterGraphicClass(TPCXImage::StaticClass()); }
