#include "formats/PSPImage.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "platform/Exceptions.h"
#include "save/ZetJPEGImage.h"

VORLIX_DEFINE_GRAPHIC_CLASS(TPSPImage, TGraphic)

namespace {

constexpr char kSignature[32] = "Paint Shop Pro Image File\n\x1a";  // zero-padded to 32
constexpr uint8_t kBlockMagic[4] = {0x7E, 0x42, 0x4B, 0x00};
constexpr uint16_t kGeneralAttributes = 0, kPalette = 2, kLayerBank = 3, kLayer = 4, kChannel = 5,
                   kCompositeBank = 16, kJpegComposite = 18, kCompositeScanEnd = 9;
constexpr uint8_t kLayerTypeThatNeedsComposite = 3;
constexpr uint16_t kCompressionRle = 1, kCompressionLz77 = 2;
constexpr size_t kLayerInfoBytes = 115;
constexpr const char* kCutWarning = "The file ends before the picture is complete";
constexpr const char* kSizeError = "Invalid image size";

// A header may promise more picture than the file holds, but only so much
// more: up to this size always, beyond it the file must hold 1/ratio of the
// pixel memory (RLE turns 2 bytes into 127, deflate 1 into about 1032).
constexpr uint64_t kAlwaysAcceptedPixelBytes = uint64_t{64} << 20;
constexpr uint64_t kRatioNone = 16, kRatioRle = 64, kRatioLz77 = 1032;
// Clearing the picture and drawing layers costs pixel memory each time; a
// file of many tiny layer banks over a large picture must not make that
// work unbounded, so all of it together is held to a few times what the
// file justifies.
constexpr uint64_t kWorkPerJustifiedByte = 4;

struct TBlock {
    uint16_t Id = 0;
    uint64_t Start = 0;  // of the data, after the header
    uint64_t End = 0;    // Start + length; may lie past the end of the file
};

TPixelFormat FormatOfDepth(int depth) {
    switch (depth) {
        case 1: return pf1bit;
        case 4: return pf4bit;
        case 8: return pf8bit;
        default: return pf24bit;
    }
}

TPalette GreyPalette(int bits) {
    const int entries = 1 << bits;
    TPalette palette(static_cast<size_t>(entries));
    for (int i = 0; i < entries; ++i) {
        const uint8_t v = uint8_t(i * 255 / (entries - 1));
        palette[size_t(i)] = {v, v, v, 0};
    }
    return palette;
}

TBitmap MakeBitmap(int64_t width, int64_t height, TPixelFormat format, uint64_t fileBytes, uint64_t ratio) {
    if (width < 0 || height < 0 || width > std::numeric_limits<int>::max() || height > std::numeric_limits<int>::max())
        throw EInvalidGraphic(kSizeError);
    const uint64_t pixelBytes = TBitmap::BytesPerRow(format, int(width)) * uint64_t(height);
    if (pixelBytes > std::max(kAlwaysAcceptedPixelBytes, ratio * fileBytes)) throw EInvalidGraphic(kSizeError);
    return TBitmap(int(width), int(height), format);
}

void SetIndex(TBitmap& bitmap, int x, int y, uint8_t index) {
    uint8_t* row = bitmap.ScanLine(y);
    switch (bitmap.PixelFormat()) {
        case pf1bit: {
            const uint8_t mask = uint8_t(0x80u >> (x & 7));
            row[x >> 3] = index & 1 ? row[x >> 3] | mask : row[x >> 3] & ~mask;
            break;
        }
        case pf4bit: {
            const int shift = (x & 1) ? 0 : 4;
            row[x >> 1] = uint8_t((row[x >> 1] & ~(0x0F << shift)) | ((index & 0x0F) << shift));
            break;
        }
        default: row[x] = index;
    }
}

}  // namespace

// Walks one file held in memory; reads never leave it.
class TPspReader {
public:
    TPspReader(const std::vector<uint8_t>& file, TPSPImage& image) : file_(file), image_(image) {}

    TBitmap Read() {
        if (file_.size() < 36 || std::memcmp(file_.data(), kSignature, 32) != 0)
            throw EInvalidGraphic("Invalid signature");
        major_ = Word(32);
        if (major_ < 3 || major_ > 10) throw EInvalidGraphic("Unsupported PSP version");

        TBlock attributes;
        if (!ReadBlockHeader(36, attributes)) throw EInvalidGraphic("Can not find block");
        if (attributes.Id != kGeneralAttributes) throw EInvalidGraphic("Can not find \"General Image Attributes\"");
        ReadAttributes(attributes.Start);

        uint64_t pos = attributes.End;
        TBlock block;
        while (!image_.fallback_ && pos < file_.size() && ReadBlockHeader(pos, block)) {
            if (block.Id == kPalette) ReadPalette(block, pos);
            if (block.Id == kLayerBank) ReadLayerBank(block);
            if (block.Id == kCompositeBank) ReadCompositeBank(block);
            pos = block.End;
        }
        if (image_.fallback_) ShowComposite();
        return std::move(main_);
    }

    bool Cut() const { return cut_; }

private:
    bool Has(uint64_t at, uint64_t count) const { return at <= file_.size() && count <= file_.size() - at; }
    void Need(uint64_t at, uint64_t count) const {
        if (!Has(at, count)) throw EReadError(PlatformMessages::ReadError);
    }
    uint8_t Byte(uint64_t at) const {
        Need(at, 1);
        return file_[at];
    }
    uint16_t Word(uint64_t at) const {
        Need(at, 2);
        return uint16_t(file_[at] | file_[at + 1] << 8);
    }
    uint32_t DWord(uint64_t at) const {
        Need(at, 4);
        return uint32_t(Word(at)) | uint32_t(Word(at + 2)) << 16;
    }
    int32_t Long(uint64_t at) const { return static_cast<int32_t>(DWord(at)); }
    uint64_t HeaderBytes() const { return major_ == 3 ? 14 : 10; }

    bool ReadBlockHeader(uint64_t at, TBlock& block) const {
        if (!Has(at, HeaderBytes()) || std::memcmp(file_.data() + at, kBlockMagic, 4) != 0) return false;
        block.Id = Word(at + 4);
        // Version 3 follows the length with the total length, which counts.
        const uint32_t length = DWord(at + (major_ == 3 ? 10 : 6));
        block.Start = at + HeaderBytes();
        block.End = block.Start + length;
        return true;
    }

    void ReadAttributes(uint64_t at) {
        if (major_ > 3) at += 4;  // chunk size
        const int32_t width = Long(at), height = Long(at + 4);
        compression_ = Word(at + 17);
        const int depth = Word(at + 19);
        const bool grey = Byte(at + 27) != 0;
        if (depth != 1 && depth != 4 && depth != 8 && depth != 24) throw EInvalidGraphic("BitDepth error");
        depth_ = depth;
        // The composite may stand in for the layers, so the picture is judged
        // by the best ratio of any data the file can hold.
        main_ = MakeBitmap(width, height, FormatOfDepth(depth), file_.size(), kRatioLz77);
        if (grey && depth <= 8) main_.SetPalette(GreyPalette(depth));
        workLeft_ = kWorkPerJustifiedByte * std::max(kAlwaysAcceptedPixelBytes, RatioOfCompression() * file_.size());
        image_.majorVersion_ = major_;
        image_.compression_ = compression_;
        image_.bitDepth_ = depth;
    }

    void ReadPalette(const TBlock& block, uint64_t blockPosition) {
        const uint32_t count = DWord(block.Start);
        TPalette palette;
        for (uint32_t i = 0; i < std::min<uint32_t>(count, 256); ++i) {
            const uint64_t entry = block.Start + 4 + 4 * uint64_t{i};
            if (!Has(entry, 4)) break;
            palette.push_back({file_[entry + 2], file_[entry + 1], file_[entry], 0});
        }
        palette_ = palette;
        if (depth_ <= 8) main_.SetPalette(palette);
        image_.paletteBlock_ = blockPosition;
    }

    void ReadCompositeBank(const TBlock& bank) {
        const uint32_t images = DWord(bank.Start);
        image_.compositeImages_ = images;
        uint64_t pos = bank.Start + 4;
        TBlock sub;
        for (uint32_t i = 0; i < images && ReadBlockHeader(pos, sub); ++i) pos = sub.Start + 24;
        uint32_t found = 0;
        while (found < images && ReadBlockHeader(pos, sub) && sub.Id != kCompositeScanEnd) {
            if (sub.Id == kJpegComposite) {
                const uint64_t dataAt = sub.Start + 14;
                if (image_.firstJpeg_ == 0) image_.firstJpeg_ = dataAt;
                image_.lastJpeg_ = dataAt;
                image_.jpegSize_ = Has(sub.Start + 4, 4) ? DWord(sub.Start + 4) : 0;
                ++found;
            }
            pos = sub.End;
        }
    }

    void ShowComposite() {
        const uint64_t at = image_.compositeImages_ > 1 ? image_.lastJpeg_ : image_.firstJpeg_;
        if (at == 0) return;
        const uint64_t start = std::min<uint64_t>(at, file_.size());
        const uint64_t count = std::min<uint64_t>(image_.jpegSize_, file_.size() - start);
        TMemoryStream bytes(std::vector<uint8_t>(file_.begin() + ptrdiff_t(start), file_.begin() + ptrdiff_t(start + count)));
        TJPEGImage jpeg;
        jpeg.LoadFromStream(bytes);
        main_.Assign(jpeg);
    }

    void ReadLayerBank(const TBlock& bank) {
        TBlock layer;
        if (!ReadBlockHeader(bank.Start, layer) || layer.Id != kLayer) return;
        if (layer.End - layer.Start + 10 + (major_ == 3 ? 4 : 0) != bank.End - bank.Start) {
            image_.fallback_ = true;  // more than one layer
            return;
        }
        uint64_t pos = layer.Start;
        pos += major_ == 3 ? 256 : 2 + uint64_t{Word(pos)};  // the name
        Charge(main_.PixelBytes());
        if (main_.PixelFormat() == pf24bit) {
            for (int y = 0; y < main_.Height(); ++y) std::memset(main_.ScanLine(y), 0, size_t(main_.RowStride()));
        } else {
            main_.FillRect(Rect(0, 0, main_.Width(), main_.Height()), clBlack);
        }

        Need(pos, kLayerInfoBytes);
        TLayerInfo info;
        info.LayerType = Byte(pos);
        info.ImageRect = Rect(Long(pos + 1), Long(pos + 5), Long(pos + 9), Long(pos + 13));
        info.SavedRect = Rect(Long(pos + 17), Long(pos + 21), Long(pos + 25), Long(pos + 29));
        pos += kLayerInfoBytes;
        if (info.LayerType == kLayerTypeThatNeedsComposite) {
            image_.fallback_ = true;
            image_.layers_.push_back(info);
            return;
        }
        if (major_ > 5) pos += 5;
        TBlock skipped;
        if (major_ > 9 && ReadBlockHeader(pos, skipped)) pos = skipped.End;
        int channels;
        if (major_ == 3) {
            pos += 4;
            channels = depth_ > 23 ? 3 : 1;
        } else {
            channels = Word(pos + 6);
            pos += 8;
        }
        info.Channels = channels;
        image_.layers_.push_back(info);

        const int64_t width = int64_t{info.SavedRect.Right} - info.SavedRect.Left;
        const int64_t height = int64_t{info.SavedRect.Bottom} - info.SavedRect.Top;
        if (width <= 0 || height <= 0) return;
        const bool withAlpha = channels == 4;
        const TPixelFormat format = withAlpha ? pf32bit : main_.PixelFormat();
        TBitmap picture = MakeBitmap(width, height, format, file_.size(), RatioOfCompression());
        Charge(2 * picture.PixelBytes());  // decoding and drawing
        if (!withAlpha && depth_ <= 8 && !palette_.empty()) picture.SetPalette(palette_);
        else if (!withAlpha && depth_ <= 8) picture.SetPalette(main_.EffectivePalette());

        ReadChannels(pos, channels, picture);
        const int64_t left = int64_t{info.ImageRect.Left} + info.SavedRect.Left;
        const int64_t top = int64_t{info.ImageRect.Top} + info.SavedRect.Top;
        Place(picture, left, top);
    }

    uint64_t RatioOfCompression() const {
        return compression_ == kCompressionLz77 ? kRatioLz77 : compression_ == kCompressionRle ? kRatioRle : kRatioNone;
    }

    void Charge(uint64_t bytes) {
        if (bytes > workLeft_) throw EInvalidGraphic(kSizeError);
        workLeft_ -= bytes;
    }

    void ReadChannels(uint64_t pos, int channels, TBitmap& picture) {
        const bool packed = TBitmap::IsIndexed(picture.PixelFormat());
        // 1- and 4-bit rows are stored padded to 32 bits, as the bitmap holds
        // them; 8-bit rows and colour channels with one byte per pixel.
        const bool padded = picture.PixelFormat() == pf1bit || picture.PixelFormat() == pf4bit;
        const size_t rowBytes = padded ? size_t(picture.RowStride()) : size_t(picture.Width());
        const size_t rows = size_t(picture.Height());
        const size_t step = picture.PixelFormat() == pf32bit ? 4 : 3;
        std::vector<uint8_t> plane(rowBytes * rows);
        TBlock channel;
        for (int c = 0; c < channels && ReadBlockHeader(pos, channel) && channel.Id == kChannel; ++c) {
            pos = channel.End;
            if (packed ? c > 0 : c >= int(step)) continue;  // nowhere to put it
            if (!Has(channel.Start, 16)) {
                cut_ = true;
                break;
            }
            const uint64_t dataAt = channel.Start + 16;
            const uint64_t end = std::min<uint64_t>(channel.End, file_.size());
            const uint64_t available = end > dataAt ? end - dataAt : 0;
            const uint64_t compressed = DWord(channel.Start + 4);
            const uint8_t* data = file_.data() + std::min<uint64_t>(dataAt, file_.size());
            std::fill(plane.begin(), plane.end(), 0);
            if (compression_ == kCompressionLz77)
                Inflate(data, std::min(compressed, available), plane);
            else if (compression_ == kCompressionRle)
                ExpandRle(data, available, plane, rowBytes);
            else
                CopyRows(data, available, plane);
            for (size_t y = 0; y < rows; ++y) {
                uint8_t* row = picture.ScanLine(int(y));
                const uint8_t* source = plane.data() + y * rowBytes;
                if (packed) {
                    std::memcpy(row, source, rowBytes);
                    continue;
                }
                const size_t offset = c < 3 ? size_t(2 - c) : 3;
                for (size_t x = 0; x < rowBytes; ++x) row[x * step + offset] = source[x];
            }
        }
    }

    void CopyRows(const uint8_t* data, uint64_t available, std::vector<uint8_t>& plane) {
        if (available < plane.size()) cut_ = true;
        std::memcpy(plane.data(), data, size_t(std::min<uint64_t>(available, plane.size())));
    }

    void ExpandRle(const uint8_t* data, uint64_t available, std::vector<uint8_t>& plane, size_t rowBytes) {
        uint64_t i = 0;
        for (size_t rowStart = 0; rowStart < plane.size(); rowStart += rowBytes) {
            size_t o = 0;
            while (o < rowBytes) {
                if (i >= available) {
                    cut_ = true;
                    return;
                }
                const uint8_t b = data[i++];
                if (b == 128) continue;
                if (b > 128) {
                    if (i >= available) {
                        cut_ = true;
                        return;
                    }
                    const size_t run = std::min<size_t>(b - 128, rowBytes - o);
                    std::memset(plane.data() + rowStart + o, data[i++], run);
                    o += run;
                } else {
                    const size_t run = size_t(std::min<uint64_t>({uint64_t{b}, rowBytes - o, available - i}));
                    std::memcpy(plane.data() + rowStart + o, data + i, run);
                    o += run;
                    i += b;
                }
            }
        }
    }

    void Inflate(const uint8_t* data, uint64_t count, std::vector<uint8_t>& plane) {
        z_stream z{};
        if (inflateInit(&z) != Z_OK) throw EInvalidGraphic("Zlib inflate init error");
        z.next_in = const_cast<Bytef*>(data);
        z.avail_in = uInt(std::min<uint64_t>(count, std::numeric_limits<uInt>::max()));
        z.next_out = plane.data();
        z.avail_out = uInt(std::min<size_t>(plane.size(), std::numeric_limits<uInt>::max()));
        int status = Z_OK;
        while (status == Z_OK && z.avail_out > 0 && z.avail_in > 0) status = inflate(&z, Z_NO_FLUSH);
        // A stream that breaks off or goes wrong leaves the rest of the rows as they were.
        if (z.avail_out > 0 && status != Z_STREAM_END) cut_ = true;
        inflateEnd(&z);
    }

    void Place(const TBitmap& picture, int64_t left, int64_t top) {
        const int64_t x0 = std::max<int64_t>(0, left), y0 = std::max<int64_t>(0, top);
        const int64_t x1 = std::min<int64_t>(main_.Width(), left + picture.Width());
        const int64_t y1 = std::min<int64_t>(main_.Height(), top + picture.Height());
        for (int64_t y = y0; y < y1; ++y) {
            const int sy = int(y - top);
            for (int64_t x = x0; x < x1; ++x) {
                const int sx = int(x - left);
                if (picture.PixelFormat() == pf32bit) {
                    const uint8_t* l = picture.ScanLine(sy) + 4 * sx;
                    const TColor back = main_.Pixel(int(x), int(y));
                    const auto blend = [&](int layer, int background) {
                        return uint8_t(background + ((l[3] * (layer - background)) >> 8));
                    };
                    main_.SetPixel(int(x), int(y), RGBColor(blend(l[2], GetRValue(back)), blend(l[1], GetGValue(back)),
                                                            blend(l[0], GetBValue(back))));
                } else if (TBitmap::IsIndexed(picture.PixelFormat())) {
                    SetIndex(main_, int(x), int(y), picture.PixelIndex(sx, sy));
                } else {
                    std::memcpy(main_.ScanLine(int(y)) + 3 * x, picture.ScanLine(sy) + 3 * sx, 3);
                }
            }
        }
    }

    const std::vector<uint8_t>& file_;
    TPSPImage& image_;
    int major_ = 0;
    int compression_ = 0;
    int depth_ = 0;
    TBitmap main_;
    TPalette palette_;
    bool cut_ = false;
    uint64_t workLeft_ = 0;
};

TPSPImage::TPSPImage() : TFormatImage(std::make_shared<TPSPData>()) {}

void TPSPImage::LoadFromStream(TStream& stream) {
    auto data = std::make_shared<TPSPData>();
    data->Stream = std::make_unique<TMemoryStream>(CopyInput(stream));
    const std::vector<uint8_t>& file = static_cast<TMemoryStream&>(*data->Stream).Bytes();

    TPSPImage fields;  // filled by the reader; taken over only when it succeeds
    TPspReader reader(file, fields);
    TBitmap picture = reader.Read();

    *bitmap_ = std::move(picture);
    majorVersion_ = fields.majorVersion_;
    compression_ = fields.compression_;
    bitDepth_ = fields.bitDepth_;
    paletteBlock_ = fields.paletteBlock_;
    firstJpeg_ = fields.firstJpeg_;
    lastJpeg_ = fields.lastJpeg_;
    jpegSize_ = fields.jpegSize_;
    compositeImages_ = fields.compositeImages_;
    fallback_ = fields.fallback_;
    layers_ = std::move(fields.layers_);
    warning_ = reader.Cut() ? kCutWarning : "";
    data_ = std::move(data);
}

void InitializePSPImageUnit() {
    for (const char* extension : {"psp", "jsl", "pfr", "tub", "pspimage"})
        TPicture::RegisterFileFormat(extension, "psp", TPSPImage::StaticClass());
}

void FinalizePSPImageUnit() { TPicture::UnregisterGraphicClass(TPSPImage::StaticClass()); }
