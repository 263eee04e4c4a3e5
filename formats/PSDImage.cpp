#include "formats/PSDImage.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/Exceptions.h"

VORLIX_DEFINE_GRAPHIC_CLASS(TPSDImage, TGraphic)

namespace {

constexpr uint8_t kSignature[4] = {'8', 'B', 'P', 'S'};
constexpr size_t kMacHeader = 128;
constexpr uint16_t kModeGrey = 1, kModeIndexed = 2, kModeCmyk = 4, kModeDuotone = 8;
constexpr const char* kCutWarning = "The file ends before the picture is complete";

// A header may promise more picture than the file holds (the rest stays
// blank), but only so much more: up to this size always, beyond it the file
// must hold 1/ratio of the pixel memory. PackBits turns 2 bytes into at
// most 128.
constexpr uint64_t kAlwaysAcceptedPixelBytes = uint64_t{64} << 20;
constexpr uint64_t kRawPixelsPerFileByte = 16;
constexpr uint64_t kPackBitsPixelsPerFileByte = 128;

// Big-endian reads from the file copy; a read past its end raises the
// stream read error, as the header reads of the format do.
class TPsdReader {
public:
    explicit TPsdReader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    size_t Position() const { return pos_; }
    size_t Size() const { return bytes_.size(); }
    const uint8_t* Data() const { return bytes_.data(); }
    void Need(uint64_t count) const {
        if (count > bytes_.size() - pos_) throw EReadError(PlatformMessages::ReadError);
    }
    void Skip(uint64_t count) {
        Need(count);
        pos_ += size_t(count);
    }
    uint16_t Word() {
        Need(2);
        const uint8_t* p = bytes_.data() + pos_;
        pos_ += 2;
        return uint16_t(p[0] << 8 | p[1]);
    }
    uint32_t DWord() {
        const uint32_t high = Word();
        return high << 16 | Word();
    }

private:
    const std::vector<uint8_t>& bytes_;
    size_t pos_ = 0;
};

int ResultDepth(int channels, int depth, int mode) {
    if (channels < 5) return channels * depth;
    // Only 8-bit channels have a form of ours when extra channels are left out.
    if (depth != 8) return 0;
    if (mode == kModeGrey || mode == kModeIndexed || mode == kModeDuotone) return 8;
    return mode == kModeCmyk ? 32 : 24;
}

// Where channel c's samples go: the byte of the pixel and the step to the next.
struct TChannelPlace {
    size_t Offset;
    size_t Step;
};

TChannelPlace PlaceOf(int bitDepth, int channel) {
    if (bitDepth == 24) return {size_t(2 - channel), 3};
    if (bitDepth == 32) return {channel < 3 ? size_t(2 - channel) : 3, 4};
    return {0, 1};
}

void PutRow(TBitmap& picture, int y, TChannelPlace place, const uint8_t* samples, size_t count) {
    uint8_t* row = picture.ScanLine(y);
    if (place.Step == 1) {
        std::memcpy(row, samples, count);
        return;
    }
    for (size_t x = 0; x < count; ++x) row[place.Offset + x * place.Step] = samples[x];
}

// False when the file ended before every used channel was read.
bool ReadRaw(const std::vector<uint8_t>& file, size_t start, int channels, size_t rowBytes, TBitmap& picture,
             int bitDepth) {
    size_t pos = start;
    for (int c = 0; c < channels; ++c) {
        const TChannelPlace place = PlaceOf(bitDepth, c);
        for (int y = 0; y < picture.Height(); ++y) {
            const size_t count = std::min(rowBytes, file.size() - pos);
            PutRow(picture, y, place, file.data() + pos, count);
            pos += count;
            if (count < rowBytes) return false;
        }
    }
    return true;
}

// Expands one row's PackBits bytes; runs are clipped at the row's end.
void UnpackRow(const uint8_t* in, size_t inCount, uint8_t* out, size_t outCount) {
    size_t i = 0, o = 0;
    while (i < inCount && o < outCount) {
        const uint8_t b = in[i++];
        if (b == 128) continue;
        if (b > 128) {
            if (i >= inCount) break;
            const size_t run = std::min<size_t>(257 - b, outCount - o);
            std::memset(out + o, in[i++], run);
            o += run;
        } else {
            const size_t run = std::min<size_t>({size_t(b) + 1, outCount - o, inCount - i});
            std::memcpy(out + o, in + i, run);
            o += run;
            i += size_t(b) + 1;
        }
    }
}

bool ReadPackBits(const std::vector<uint8_t>& file, size_t start, int channels, int allChannels, size_t rowBytes,
                  TBitmap& picture, int bitDepth) {
    const uint64_t rows = uint64_t(picture.Height());
    const uint64_t tableBytes = 2 * rows * uint64_t(allChannels);
    if (tableBytes > file.size() - start) return false;
    uint64_t pos = start + tableBytes;
    std::vector<uint8_t> row(rowBytes);
    for (int c = 0; c < channels; ++c) {
        const TChannelPlace place = PlaceOf(bitDepth, c);
        for (uint64_t y = 0; y < rows; ++y) {
            const uint8_t* entry = file.data() + start + 2 * (uint64_t(c) * rows + y);
            const uint64_t count = uint64_t(entry[0] << 8 | entry[1]);
            const bool cut = count > file.size() - pos;
            std::fill(row.begin(), row.end(), 0);
            UnpackRow(file.data() + pos, cut ? file.size() - pos : count, row.data(), rowBytes);
            PutRow(picture, int(y), place, row.data(), rowBytes);
            if (cut) return false;
            pos += count;
        }
    }
    return true;
}

}  // namespace

TPSDImage::TPSDImage() : TFormatImage(std::make_shared<TPSDData>()) {}

void TPSDImage::LoadFromStream(TStream& stream) {
    auto data = std::make_shared<TPSDData>();
    data->Stream = std::make_unique<TMemoryStream>(CopyInput(stream));
    const std::vector<uint8_t>& file = static_cast<TMemoryStream&>(*data->Stream).Bytes();

    const auto signedAt = [&](size_t at) {
        return file.size() >= at + 4 && std::memcmp(file.data() + at, kSignature, 4) == 0;
    };
    if (!signedAt(0)) throw EInvalidGraphic(signedAt(kMacHeader) ? "with Macintosh resource" : "Invalid signature");
    TPsdReader in(file);
    in.Skip(4);
    if (in.Word() != 1) throw EInvalidGraphic("Version error");
    in.Skip(6);
    const uint16_t channels = in.Word();
    const uint32_t height = in.DWord();
    const uint32_t width = in.DWord();
    const uint16_t depth = in.Word();
    const uint16_t mode = in.Word();

    std::array<uint8_t, 768> table{};
    const uint32_t colourBytes = in.DWord();
    if (mode == kModeIndexed || colourBytes != 0) {
        const uint32_t kept = std::min<uint32_t>(colourBytes, 768);
        in.Need(kept);
        std::memcpy(table.data(), file.data() + in.Position(), kept);
        in.Skip(colourBytes);
    }
    if (mode == kModeGrey || mode == kModeDuotone)
        for (int i = 0; i < 256; ++i) table[size_t(i)] = table[size_t(256 + i)] = table[size_t(512 + i)] = uint8_t(i);
    in.Skip(in.DWord());  // image resources
    in.Skip(in.DWord());  // layer and mask section
    const uint16_t compression = in.Word();

    const int bitDepth = ResultDepth(channels, depth, mode);
    const int used = bitDepth == 32 ? 4 : bitDepth == 24 ? 3 : 1;
    TBitmap picture;
    bool complete = true;
    if ((bitDepth == 1 || bitDepth == 8 || bitDepth == 24 || bitDepth == 32) && compression <= 1) {
        if (width > uint32_t(std::numeric_limits<int>::max()) || height > uint32_t(std::numeric_limits<int>::max()))
            throw EInvalidGraphic("Invalid image size");
        const TPixelFormat format = bitDepth == 1 ? pf1bit : bitDepth == 8 ? pf8bit : bitDepth == 24 ? pf24bit : pf32bit;
        const uint64_t pixelBytes = TBitmap::BytesPerRow(format, int(width)) * uint64_t(height);
        const uint64_t ratio = compression == 0 ? kRawPixelsPerFileByte : kPackBitsPixelsPerFileByte;
        if (pixelBytes > std::max(kAlwaysAcceptedPixelBytes, ratio * (file.size() - in.Position())))
            throw EInvalidGraphic("Invalid image size");
        picture = TBitmap(int(width), int(height), format);
        if (bitDepth == 1) picture.SetPalette({{255, 255, 255, 0}, {0, 0, 0, 0}});
        if (bitDepth == 8) {
            TPalette palette(256);
            for (size_t i = 0; i < 256; ++i) palette[i] = {table[i], table[256 + i], table[512 + i], 0};
            picture.SetPalette(palette);
        }
        const size_t rowBytes = bitDepth == 1 ? (size_t(width) + 7) / 8 : size_t(width);
        complete = compression == 0 ? ReadRaw(file, in.Position(), used, rowBytes, picture, bitDepth)
                                    : ReadPackBits(file, in.Position(), used, channels, rowBytes, picture, bitDepth);
    }

    *bitmap_ = std::move(picture);
    channels_ = channels;
    height_ = height;
    width_ = width;
    depth_ = depth;
    colourMode_ = mode;
    compression_ = compression;
    channelsUsed_ = used;
    bitDepth_ = bitDepth;
    colourTable_ = table;
    warning_ = complete ? std::string() : kCutWarning;
    data_ = std::move(data);
}

void InitializePSDImageUnit() { TPicture::RegisterFileFormat("psd", "PhotoShop", TPSDImage::StaticClass()); }

void FinalizePSDImageUnit() { TPicture::UnregisterGraphicClass(TPSDImage::StaticClass()); }
