#include "formats/SGIImage.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "formats/ByteCursor.h"
#include "formats/PictureBound.h"
#include "platform/Exceptions.h"
#include "platform/Palettes.h"

VORLIX_DEFINE_GRAPHIC_CLASS(TSGIImage, TGraphic)

namespace {

constexpr const char* kSignatureError = "Signature err";
constexpr const char* kBytesPerChannelError = "BPC Err";
constexpr const char* kDimensionError = "Dimension Err";
constexpr uint16_t kMagic = 474;
constexpr size_t kHeaderSize = 512;
// A two-byte repeat packet gives at most 127 bytes.
constexpr uint64_t kBestRunRatio = 64;

TSGIHeader ParseHeader(const uint8_t* p) {
    TSGIHeader h;
    h.Magic = BE16(p);
    h.Storage = p[2];
    h.BytesPerChannel = p[3];
    h.Dimension = BE16(p + 4);
    h.XSize = BE16(p + 6);
    h.YSize = BE16(p + 8);
    h.ZSize = BE16(p + 10);
    h.MinimumPixel = BE32(p + 12);
    h.MaximumPixel = BE32(p + 16);
    h.ColorMapId = BE32(p + 104);
    return h;
}

// The run-length rows, each found through the start and length tables
// after the header; entries the file does not hold give rows without data.
class TRowTables {
public:
    TRowTables(const TByteCursor& file, size_t rows, size_t channels)
        : file_(file), rows_(rows), count_(rows * channels) {}

    // The stored bytes of channel c, stored row r, cut to what the file holds.
    std::pair<const uint8_t*, size_t> Row(size_t c, size_t r) const {
        const size_t index = c * rows_ + r;
        const uint8_t* start = file_.At(kHeaderSize + 4 * index, 4);
        const uint8_t* length = file_.At(kHeaderSize + 4 * (count_ + index), 4);
        if (!start || !length) return {nullptr, 0};
        const uint64_t offset = BE32(start);
        if (offset >= file_.Size()) return {nullptr, 0};
        const size_t available = std::min<uint64_t>(BE32(length), file_.Size() - offset);
        return {file_.At(offset, available), available};
    }

private:
    const TByteCursor& file_;
    size_t rows_;
    size_t count_;
};

// Decodes one row; false when its data ended before width bytes came.
bool DecodeRow(const uint8_t* data, size_t size, uint8_t* out, size_t width) {
    size_t at = 0, done = 0;
    while (at < size && done < width) {
        const uint8_t b = data[at++];
        const size_t n = b & 0x7Fu;
        if (n == 0) break;
        const size_t take = std::min(n, width - done);
        if (b & 0x80) {
            const size_t copy = std::min(take, size - at);
            std::memcpy(out + done, data + at, copy);
            done += copy;
            at += n;
        } else {
            if (at >= size) break;
            std::memset(out + done, data[at++], take);
            done += take;
        }
    }
    return done >= width;
}

void StoreRow(const std::vector<std::vector<uint8_t>>& channels, size_t width, uint8_t* row) {
    if (channels.size() == 1) {
        std::memcpy(row, channels[0].data(), width);
        return;
    }
    const size_t pixelBytes = channels.size() == 4 ? 4 : 3;
    for (size_t x = 0; x < width; ++x, row += pixelBytes) {
        row[0] = channels[2][x];
        row[1] = channels[1][x];
        row[2] = channels[0][x];
        if (pixelBytes == 4) row[3] = channels[3][x];
    }
}

void PutBE16(uint8_t* p, unsigned value) {
    p[0] = static_cast<uint8_t>(value >> 8);
    p[1] = static_cast<uint8_t>(value);
}

}  // namespace

TSGIImage::TSGIImage() : TFormatImage(std::make_shared<TSGIData>()) {}

void TSGIImage::LoadFromStream(TStream& stream) {
    TMemoryStream copy = CopyInput(stream);
    const std::vector<uint8_t>& bytes = copy.Bytes();
    if (bytes.empty()) throw EInvalidGraphic(kSignatureError);
    // A file shorter than the header reads as if the rest were zeros; its
    // rows have no data and stay unfilled.
    uint8_t headerBytes[kHeaderSize] = {};
    std::memcpy(headerBytes, bytes.data(), std::min(bytes.size(), kHeaderSize));
    const TSGIHeader h = ParseHeader(headerBytes);
    if (h.Magic != kMagic) {
        warning_ = "no SGI magic number; nothing was loaded";
        return;
    }
    if (h.BytesPerChannel != 1) throw EInvalidGraphic(kBytesPerChannelError);
    // Grey pictures are commonly stored with dimension 2 (one channel,
    // whatever the z size says), single rows with dimension 1.
    if (h.Dimension < 1 || h.Dimension > 3) throw EInvalidGraphic(kDimensionError);
    const size_t channels = h.Dimension == 3 ? h.ZSize : 1;
    if (channels != 1 && channels != 3 && channels != 4) throw EInvalidGraphic(kDimensionError);

    const TPixelFormat format = channels == 1 ? pf8bit : channels == 3 ? pf24bit : pf32bit;
    const size_t width = h.XSize, height = h.Dimension == 1 ? 1 : h.YSize;
    const bool runLength = h.Storage == 1;
    const TByteCursor file(bytes);
    const TRowTables tables(file, height, channels);
    const uint64_t pictureBytes = uint64_t{width} * height * channels;
    uint64_t fillable = 0;
    if (runLength) {
        for (size_t c = 0; c < channels; ++c)
            for (size_t r = 0; r < height; ++r) fillable += std::min<uint64_t>(width, kBestRunRatio * tables.Row(c, r).second);
    } else {
        fillable = bytes.size() > kHeaderSize ? bytes.size() - kHeaderSize : 0;
    }
    RequirePictureWithinData(pictureBytes, kTruncatedRowsSlack * fillable);

    TBitmap picture(static_cast<int>(width), static_cast<int>(height), format);
    if (format == pf8bit) picture.SetPalette(GreyRampPalette());
    std::vector<std::vector<uint8_t>> rows(channels, std::vector<uint8_t>(width));
    bool complete = true;
    for (size_t r = 0; r < height && width > 0; ++r) {
        for (size_t c = 0; c < channels; ++c) {
            std::vector<uint8_t>& row = rows[c];
            std::fill(row.begin(), row.end(), 0);
            if (runLength) {
                const auto [data, size] = tables.Row(c, r);
                complete &= DecodeRow(data, size, row.data(), width);
            } else {
                const uint64_t offset = kHeaderSize + (uint64_t{c} * height + r) * width;
                const size_t available = offset < bytes.size() ? std::min<uint64_t>(width, bytes.size() - offset) : 0;
                if (available) std::memcpy(row.data(), bytes.data() + offset, available);
                complete &= available == width;
            }
        }
        StoreRow(rows, width, picture.ScanLine(static_cast<int>(height - 1 - r)));
    }

    *bitmap_ = std::move(picture);
    header_ = h;
    runLength_ = runLength;
    bitDepth_ = static_cast<int>(8 * channels);
    warning_ = complete ? "" : kFileEndsEarlyWarning;
    auto holder = std::make_shared<TSGIData>();
    holder->Stream = std::make_unique<TMemoryStream>(std::move(copy));
    data_ = std::move(holder);
}

void TSGIImage::SaveToStream(TStream& stream) const {
    const TBitmap& own = *bitmap_;
    if (own.Width() > 0xFFFF || own.Height() > 0xFFFF)
        throw EInvalidGraphic("SGI pictures are at most 65535 x 65535 pixels");
    std::optional<TBitmap> converted;
    if (own.PixelFormat() != pf32bit && own.PixelFormat() != pf24bit) {
        converted.emplace(own);
        converted->SetPixelFormat(pf24bit);
    }
    const TBitmap& picture = converted ? *converted : own;
    const size_t channels = picture.PixelFormat() == pf32bit ? 4 : 3;
    const size_t width = static_cast<size_t>(picture.Width());

    uint8_t header[kHeaderSize] = {};
    PutBE16(header, kMagic);
    header[3] = 1;
    PutBE16(header + 4, 3);
    PutBE16(header + 6, static_cast<unsigned>(picture.Width()));
    PutBE16(header + 8, static_cast<unsigned>(picture.Height()));
    PutBE16(header + 10, static_cast<unsigned>(channels));
    // The largest value a byte channel can hold: readers that check the
    // range (netpbm's among them) refuse a maximum of 0.
    header[19] = 255;
    stream.WriteBuffer(header, kHeaderSize);

    // Channel 0 is red, 1 green, 2 blue, 3 the fourth byte; pixels hold
    // blue, green, red, fourth byte.
    static constexpr size_t kPixelByteOfChannel[] = {2, 1, 0, 3};
    std::vector<uint8_t> row(width);
    for (size_t c = 0; c < channels; ++c) {
        for (int y = picture.Height() - 1; y >= 0; --y) {
            const uint8_t* pixel = picture.ScanLine(y) + kPixelByteOfChannel[c];
            for (size_t x = 0; x < width; ++x, pixel += channels) row[x] = *pixel;
            stream.WriteBuffer(row.data(), static_cast<int64_t>(width));
        }
    }
}

void InitializeSGIImageUnit() {
    for (const char* extension : {"sgi", "rgb", "rgba"})
        TPicture::RegisterFileFormat(extension, "SGI", TSGIImage::StaticClass());
}

void FinalizeSGIImageUnit() { TPicture::UnregisterGraphicClass(TSGIImage::StaticClass()); }
