#include "formats/PNMImage.h"

#include <algorithm>
#include <cstring>

#include "platform/Exceptions.h"
#include "platform/Palettes.h"
#include "platform/SysUtils.h"

VORLIX_DEFINE_GRAPHIC_CLASS(TPNMImage, TGraphic)

namespace {

constexpr const char* kSignatureError = "Signature Error";
constexpr const char* kReadError = "TPNMImage Read Error";
constexpr size_t kMaxCommentLength = 255;
constexpr int kMaxSampleValue = 65535;

// A header may promise more raster than the file holds (the missing part
// stays unfilled), but only so much more: a picture up to this size is
// always accepted, a larger one needs at least 1/kRasterPerFileByte of its
// pixel memory in the file. A few bytes can then never make us allocate or
// walk through a huge picture.
constexpr uint64_t kAlwaysAcceptedPixelBytes = uint64_t{64} << 20;
constexpr uint64_t kRasterPerFileByte = 16;

bool IsWhiteSpace(uint8_t c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; }
bool IsDigit(uint8_t c) { return c >= '0' && c <= '9'; }

// Reads one file held in memory, header and raster.
class TPnmScanner {
public:
    explicit TPnmScanner(const std::vector<uint8_t>& bytes) : data_(bytes.data()), size_(bytes.size()) {}

    bool AtEnd() const { return pos_ >= size_; }
    size_t Remaining() const { return size_ - pos_; }
    size_t Position() const { return pos_; }
    const uint8_t* Here() const { return data_ + pos_; }
    void Skip(size_t count) { pos_ += std::min(count, Remaining()); }
    uint8_t Next() { return data_[pos_++]; }

    // One header number: white space and comment lines before it are
    // skipped; the single white-space character after it is consumed.
    int32_t HeaderNumber(bool& hasComment, std::string& comment) {
        for (;;) {
            while (!AtEnd() && IsWhiteSpace(data_[pos_])) ++pos_;
            if (AtEnd()) throw EInvalidGraphic(kReadError);
            if (data_[pos_] != '#') break;
            ++pos_;
            std::string text;
            for (;;) {
                if (AtEnd()) throw EInvalidGraphic(kReadError);
                const uint8_t c = data_[pos_];
                if (c == '\n' || c == '\r') break;  // left for the white-space skip
                if (text.size() < kMaxCommentLength) text.push_back(static_cast<char>(c));
                ++pos_;
            }
            hasComment = true;
            comment = std::move(text);
        }
        const size_t start = pos_;
        while (!AtEnd() && !IsWhiteSpace(data_[pos_])) ++pos_;
        const std::string_view token(reinterpret_cast<const char*>(data_ + start), pos_ - start);
        if (!AtEnd()) ++pos_;
        return StrToInt(token);
    }

    // An ASCII raster sample: bytes that are not digits are skipped, the
    // digits are read and the byte after them consumed. False when the data
    // ends before a digit. Values above limit saturate at limit + 1.
    bool AsciiNumber(uint32_t limit, uint32_t& value, bool modulo256) {
        while (!AtEnd() && !IsDigit(data_[pos_])) ++pos_;
        if (AtEnd()) return false;
        uint32_t v = 0;
        while (!AtEnd() && IsDigit(data_[pos_])) {
            const uint32_t digit = data_[pos_++] - '0';
            v = modulo256 ? ((v * 10 + digit) & 0xFF) : std::min(v * 10 + digit, limit + 1);
        }
        if (!AtEnd()) ++pos_;
        value = v;
        return true;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// Takes a sample to 0..255: unchanged for 8-bit files, scaled for wider ones.
class TSampleScale {
public:
    explicit TSampleScale(int maxValue) : wide_(maxValue > 255), max_(static_cast<uint32_t>(maxValue)) {}
    bool Wide() const { return wide_; }
    uint32_t Limit() const { return wide_ ? max_ : 255; }
    uint8_t operator()(uint32_t v) const {
        if (!wide_) return static_cast<uint8_t>(v);
        v = std::min(v, max_);
        return static_cast<uint8_t>((v * 255 + max_ / 2) / max_);
    }

private:
    bool wide_;
    uint32_t max_;
};

void SetBit(uint8_t* row, int x) { row[x >> 3] |= static_cast<uint8_t>(0x80u >> (x & 7)); }

// Every pixel from (x, y) on becomes black (bit set).
void FillBlackFrom(TBitmap& bitmap, int x, int y) {
    const int width = bitmap.Width();
    for (; y < bitmap.Height(); ++y, x = 0) {
        uint8_t* row = bitmap.ScanLine(y);
        for (; x < width && (x & 7); ++x) SetBit(row, x);
        if (x >= width) continue;
        const int fullBytes = (width - x) / 8;
        std::memset(row + x / 8, 0xFF, static_cast<size_t>(fullBytes));
        for (x += fullBytes * 8; x < width; ++x) SetBit(row, x);
    }
}

void ReadPlainBitmap(TPnmScanner& in, TBitmap& bitmap) {
    for (int y = 0; y < bitmap.Height(); ++y) {
        uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x) {
            uint8_t c = 0;
            while (!in.AtEnd() && (c = in.Next()) != '0' && c != '1') {
            }
            if (c != '0' && c != '1') {
                FillBlackFrom(bitmap, x, y);
                return;
            }
            if (c == '1') SetBit(row, x);
        }
    }
}

void ReadPlainSamples(TPnmScanner& in, TBitmap& bitmap, int channels, const TSampleScale& scale) {
    uint32_t v = 0;
    for (int y = 0; y < bitmap.Height(); ++y) {
        uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x) {
            for (int c = 0; c < channels; ++c) {
                // The rest of a picture whose data ran out stays 0.
                if (!in.AsciiNumber(scale.Limit(), v, !scale.Wide())) return;
                // Samples come red, green, blue; pixels hold blue, green, red.
                row[x * channels + (channels - 1 - c)] = scale(v);
            }
        }
    }
}

void ReadRawBitmap(TPnmScanner& in, TBitmap& bitmap) {
    const size_t rowBytes = (static_cast<size_t>(bitmap.Width()) + 7) / 8;
    for (int y = 0; y < bitmap.Height() && !in.AtEnd(); ++y) {
        const size_t count = std::min(rowBytes, in.Remaining());
        std::memcpy(bitmap.ScanLine(y), in.Here(), count);
        in.Skip(count);
    }
}

void ReadRawSamples(TPnmScanner& in, TBitmap& bitmap, int channels, const TSampleScale& scale) {
    const size_t sampleBytes = scale.Wide() ? 2 : 1;
    const size_t pixelBytes = sampleBytes * static_cast<size_t>(channels);
    for (int y = 0; y < bitmap.Height(); ++y) {
        uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x) {
            // Rows cut short by the end of the file leave the rest unfilled.
            if (in.Remaining() < pixelBytes) return;
            const uint8_t* p = in.Here();
            for (int c = 0; c < channels; ++c) {
                const uint32_t v = sampleBytes == 2 ? (uint32_t{p[2 * c]} << 8) | p[2 * c + 1] : p[c];
                row[x * channels + (channels - 1 - c)] = scale(v);
            }
            in.Skip(pixelBytes);
        }
    }
}

// Writer -----------------------------------------------------------------

uint8_t Grey(const uint8_t* bgr) { return static_cast<uint8_t>((77 * bgr[2] + 150 * bgr[1] + 29 * bgr[0]) >> 8); }

bool IsBlack(const uint8_t* bgr) {
    const int luminance = (11 * bgr[0] + 59 * bgr[1] + 30 * bgr[2] + 50) / 100;
    return luminance <= 128;
}

std::string Header(const char* magic, const TBitmap& picture, bool withMaxValue) {
    std::string header = std::string(magic) + "\n# Created by Kestrune\n" + IntToStr(picture.Width()) + " " +
                         IntToStr(picture.Height()) + "\n";
    if (withMaxValue) header += "255\n";
    return header;
}

}  // namespace

TPNMImage::TPNMImage() : TFormatImage(std::make_shared<TPNMData>()) {}

void TPNMImage::LoadFromStream(TStream& stream) {
    TMemoryStream copy = CopyInput(stream);
    const std::vector<uint8_t>& bytes = copy.Bytes();
    if (bytes.size() < 2 || bytes[0] != 'P' || bytes[1] < '1' || bytes[1] > '6')
        throw EInvalidGraphic(kSignatureError);
    const int type = bytes[1] - '0';

    TPnmScanner in(bytes);
    in.Skip(2);
    bool hasComment = false;
    std::string comment;
    const int32_t width = in.HeaderNumber(hasComment, comment);
    const int32_t height = in.HeaderNumber(hasComment, comment);
    const bool bilevel = type == 1 || type == 4;
    const int32_t maxValue = bilevel ? 1 : in.HeaderNumber(hasComment, comment);
    // An empty picture is refused like a broken header: there is nothing to
    // show, and a zero width would still walk through every row.
    if (width <= 0 || height <= 0 || maxValue > kMaxSampleValue) throw EInvalidGraphic(kReadError);

    const bool colour = type == 3 || type == 6;
    const TPixelFormat format = bilevel ? pf1bit : colour ? pf24bit : pf8bit;
    if (!TBitmap::FitsPixelCap(format, width, height)) throw EInvalidGraphic(kReadError);
    const uint64_t rowBytes = (uint64_t(width) * uint64_t(TBitmap::BitsPerPixel(format)) + 31) / 32 * 4;
    const uint64_t pixelBytes = rowBytes * uint64_t(height);
    if (pixelBytes > std::max(kAlwaysAcceptedPixelBytes, kRasterPerFileByte * in.Remaining()))
        throw EInvalidGraphic(kReadError);

    TBitmap picture;
    picture.SetPixelFormat(format);
    picture.SetSize(width, height);
    if (bilevel) picture.SetPalette({{255, 255, 255, 0}, {0, 0, 0, 0}});
    if (format == pf8bit) picture.SetPalette(GreyRampPalette());

    const TSampleScale scale(maxValue);
    const int channels = colour ? 3 : 1;
    switch (type) {
        case 1: ReadPlainBitmap(in, picture); break;
        case 4: ReadRawBitmap(in, picture); break;
        case 2:
        case 3: ReadPlainSamples(in, picture, channels, scale); break;
        default: ReadRawSamples(in, picture, channels, scale); break;
    }

    *bitmap_ = std::move(picture);
    magic_.assign(reinterpret_cast<const char*>(bytes.data()), 2);
    maxValue_ = bilevel ? 0 : maxValue;
    bitDepth_ = bilevel ? 1 : colour ? 24 : 8;
    hasComment_ = hasComment;
    comment_ = std::move(comment);
    auto data = std::make_shared<TPNMData>();
    data->Stream = std::make_unique<TMemoryStream>(std::move(copy));
    data_ = std::move(data);
}

void TPNMImage::SaveToStream(TStream& stream) const {
    const bool ppm = outputFormat_ == "PPM", pgm = outputFormat_ == "PGM", pbm = outputFormat_ == "PBM";
    if (!ppm && !pgm && !pbm) return;
    TBitmap picture(*bitmap_);
    picture.SetPixelFormat(pf24bit);
    const size_t width = static_cast<size_t>(picture.Width());

    std::vector<uint8_t> row;
    if (ppm) row.resize(width * 3);
    if (pgm) row.resize(width);
    if (pbm) row.resize((width + 7) / 8);
    stream.WriteString(Header(ppm ? "P6" : pgm ? "P5" : "P4", picture, !pbm));
    for (int y = 0; y < picture.Height(); ++y) {
        const uint8_t* pixel = picture.ScanLine(y);
        std::fill(row.begin(), row.end(), 0);
        for (size_t x = 0; x < width; ++x, pixel += 3) {
            if (ppm) {
                row[3 * x] = pixel[2];
                row[3 * x + 1] = pixel[1];
                row[3 * x + 2] = pixel[0];
            } else if (pgm) {
                row[x] = Grey(pixel);
            } else if (IsBlack(pixel)) {
                row[x / 8] |= static_cast<uint8_t>(0x80u >> (x % 8));
            }
        }
        stream.WriteBuffer(row.data(), static_cast<int64_t>(row.size()));
    }
}

void InitializePNMImageUnit() {
    for (const char* extension : {"ppm", "pgm", "pbm"})
        TPicture::RegisterFileFormat(extension, extension, TPNMImage::StaticClass());
}

void FinalizePNMImageUnit() { TPicture::UnregisterGraphicClass(TPNMImage::StaticClass()); }
