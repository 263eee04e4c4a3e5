#include "formats/ILBMImage.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/Exceptions.h"

VORLIX_DEFINE_GRAPHIC_CLASS(TILBMImage, TGraphic)

namespace {

constexpr const char* kHeaderError = "Header Error";
constexpr const char* kPlaneError = "Plane Error";
constexpr uint64_t kAlwaysAcceptedBytes = uint64_t{64} << 20;

uint32_t BigEndian32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }
uint16_t BigEndian16(const uint8_t* p) { return uint16_t(p[0] << 8 | p[1]); }

bool IsId(const uint8_t* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

// Reads the BODY row by row; a compressed row is ByteRun1-decoded on its
// own. Returns false once the data has run out.
class TBodyReader {
public:
    TBodyReader(const uint8_t* data, size_t size, bool compressed)
        : data_(data), size_(size), compressed_(compressed) {}

    bool Row(uint8_t* out, size_t count) {
        if (!compressed_) {
            if (size_ - pos_ < count) return false;
            std::memcpy(out, data_ + pos_, count);
            pos_ += count;
            return true;
        }
        size_t filled = 0;
        while (filled < count) {
            if (pos_ >= size_) return false;
            const uint8_t b = data_[pos_++];
            if (b == 128) continue;
            if (b > 128) {
                if (pos_ >= size_) return false;
                const uint8_t value = data_[pos_++];
                const size_t n = std::min<size_t>(257 - b, count - filled);
                std::memset(out + filled, value, n);
                filled += n;
            } else {
                const size_t n = size_t(b) + 1;
                if (size_ - pos_ < n) return false;
                // A literal that crosses the row's end is cut there.
                const size_t kept = std::min(n, count - filled);
                std::memcpy(out + filled, data_ + pos_, kept);
                pos_ += n;
                filled += kept;
            }
        }
        return true;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool compressed_;
};

TPixelFormat FormatForPlanes(int planes) {
    switch (planes) {
        case 1: return pf1bit;
        case 2:
        case 4: return pf4bit;
        case 7:
        case 8: return pf8bit;
        case 24: return pf24bit;
        default: throw EInvalidGraphic(kPlaneError);
    }
}

}  // namespace

TILBMImage::TILBMImage() : TFormatImage(std::make_shared<TILBMData>()) {}

void TILBMImage::LoadFromStream(TStream& stream) {
    TMemoryStream copy = CopyInput(stream);
    const std::vector<uint8_t>& bytes = copy.Bytes();
    const uint8_t* p = bytes.data();
    const size_t size = bytes.size();

    if (size < 12 || !IsId(p, "FORM")) throw EInvalidGraphic(kHeaderError);
    bool chunky;
    if (IsId(p + 8, "PBM ")) chunky = true;
    else if (IsId(p + 8, "ILBM")) chunky = false;
    else throw EInvalidGraphic(kHeaderError);

    TILBMHeader header;
    bool hasHeader = false, hasBody = false, hasColourMap = false;
    std::array<uint8_t, 768> colourMap{};
    size_t bodyPosition = 0, bodyLength = 0;
    // Every chunk moves the position forward by at least its 8-byte head,
    // so the scan ends.
    size_t at = 12;
    while (at + 8 <= size) {
        const uint8_t* chunk = p + at;
        const uint64_t length = BigEndian32(chunk + 4);
        const size_t dataAt = at + 8;
        const size_t available = size - dataAt;
        if (IsId(chunk, "BMHD")) {
            if (length < 20 || available < 20) break;
            const uint8_t* h = p + dataAt;
            header.Width = BigEndian16(h);
            header.Height = BigEndian16(h + 2);
            header.X = int16_t(BigEndian16(h + 4));
            header.Y = int16_t(BigEndian16(h + 6));
            header.Planes = h[8];
            header.Masking = h[9];
            header.Compression = h[10];
            header.Pad = h[11];
            header.TransparentColour = BigEndian16(h + 12);
            header.XAspect = h[14];
            header.YAspect = h[15];
            header.PageWidth = int16_t(BigEndian16(h + 16));
            header.PageHeight = int16_t(BigEndian16(h + 18));
            hasHeader = true;
        } else if (IsId(chunk, "CMAP")) {
            const size_t kept = size_t(std::min<uint64_t>({length, 768, available}));
            std::memcpy(colourMap.data(), p + dataAt, kept);
            hasColourMap = true;
        } else if (IsId(chunk, "BODY")) {
            bodyPosition = dataAt;
            // A BODY that claims more than the file holds is read as far as
            // the file goes.
            bodyLength = size_t(std::min<uint64_t>(length, available));
            hasBody = true;
            break;
        }
        const uint64_t next = uint64_t(dataAt) + length + (length & 1);
        if (next > size) break;
        at = size_t(next);
    }
    if (!hasHeader || !hasBody || header.Compression > 1) throw EInvalidGraphic(kHeaderError);
    // A picture without columns or rows has nothing to show.
    if (header.Width == 0 || header.Height == 0) throw EInvalidGraphic(kHeaderError);

    const int planes = header.Planes;
    const TPixelFormat format = FormatForPlanes(planes);
    const int width = header.Width;
    const int height = header.Height;
    const size_t planeRow = (size_t(width) + 15) / 16 * 2;
    const size_t fileRow = chunky ? 8 * planeRow : planeRow * size_t(chunky ? 1 : planes);

    // A truncated BODY still shows what it holds, but a few bytes must not
    // make us allocate a huge picture: beyond a size that is always
    // accepted, the BODY must hold a sixteenth of what its rows need at
    // ByteRun1's best ratio (a two-byte run for 128 bytes).
    const uint64_t rowsBytes = uint64_t(fileRow) * uint64_t(height);
    const uint64_t leastBody = header.Compression == 1 ? rowsBytes / 64 : rowsBytes;
    if (rowsBytes > kAlwaysAcceptedBytes && uint64_t(bodyLength) * 16 < leastBody)
        throw EInvalidGraphic(kHeaderError);

    TBitmap picture;
    picture.SetPixelFormat(format);
    picture.SetSize(width, height);
    if (hasColourMap && planes != 24) {
        TPalette palette(size_t(1) << planes);
        for (size_t i = 0; i < palette.size() && 3 * i + 2 < colourMap.size(); ++i)
            palette[i] = {colourMap[3 * i], colourMap[3 * i + 1], colourMap[3 * i + 2], 0};
        picture.SetPalette(palette);
    }

    TBodyReader body(p + bodyPosition, bodyLength, header.Compression == 1);
    std::vector<uint8_t> rowBuffer(fileRow);
    for (int y = 0; y < height; ++y) {
        uint8_t* out = picture.ScanLine(y);
        if (chunky) {
            if (!body.Row(rowBuffer.data(), fileRow)) break;
            std::memcpy(out, rowBuffer.data(), std::min<size_t>(size_t(width), fileRow));
            continue;
        }
        bool complete = true;
        for (int k = 0; k < planes && complete; ++k)
            complete = body.Row(rowBuffer.data() + size_t(k) * planeRow, planeRow);
        if (!complete) break;
        if (planes == 1) {
            std::memcpy(out, rowBuffer.data(), (size_t(width) + 7) / 8);
            continue;
        }
        for (int x = 0; x < width; ++x) {
            const size_t byte = size_t(x) / 8;
            const int bit = 7 - x % 8;
            uint32_t value = 0;
            for (int k = 0; k < planes; ++k)
                value |= uint32_t((rowBuffer[size_t(k) * planeRow + byte] >> bit) & 1) << k;
            switch (format) {
                case pf4bit:
                    if (x % 2 == 0) out[x / 2] = uint8_t(value << 4);
                    else out[x / 2] |= uint8_t(value);
                    break;
                case pf8bit: out[x] = uint8_t(value); break;
                default:
                    out[3 * x] = uint8_t(value >> 16);     // blue from planes 16-23
                    out[3 * x + 1] = uint8_t(value >> 8);  // green from 8-15
                    out[3 * x + 2] = uint8_t(value);       // red from 0-7
                    break;
            }
        }
    }

    *bitmap_ = std::move(picture);
    header_ = header;
    chunky_ = chunky;
    hasColourMap_ = hasColourMap;
    colourMap_ = colourMap;
    bodyPosition_ = bodyPosition;
    bodyLength_ = bodyLength;
    bitDepth_ = planes;
    auto data = std::make_shared<TILBMData>();
    data->Stream = std::make_unique<TMemoryStream>(std::move(copy));
    data_ = std::move(data);
}

void InitializeILBMImageUnit() {
    TPicture::RegisterFileFormat("iff", "iff", TILBMImage::StaticClass());
    TPicture::RegisterFileFormat("lbm", "ilbm", TILBMImage::StaticClass());
}
void FinalizeILBMImageUnit() { TPicture::UnregisterGraphicClass(TILBMImage::StaticClass()); }
