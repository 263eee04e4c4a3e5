#include "formats/Mag.h"

#include <algorithm>
#include <cstring>

#include "platform/Exceptions.h"

VORLIX_DEFINE_GRAPHIC_CLASS(TMAGImage, TGraphic)

namespace {

constexpr const char* kDefaultComment = "vun's TMAGImage Ver 1.01";
constexpr const char* kDefaultUserName = ">?\?<";  // the escape keeps "??<" from reading as a trigraph
constexpr const char* kMachineCode = "vunP";
constexpr int kMaxCoordinate = 65535;
constexpr const char* kShortDataWarning = "The MAG data ends before the picture is complete.";

// The flag coding needs at least one flag A bit per flag byte, and a flag
// byte covers 4 bytes of the 16-colour picture or 8 of the 256-colour one
// (two units of 2 bytes, 4 or 2 pixels each): 32 picture bytes per flag A
// byte at best. A picture needing more memory than that for the bytes the
// file has after its header cannot be in the file.
constexpr uint64_t kBestPictureBytesPerFileByte = 32;

// Reads of a MAG body that run past the data give 0, as missing data does.
class TMagSource {
public:
    TMagSource(const std::vector<uint8_t>& bytes, uint64_t flagA, uint64_t flagB, uint64_t pixels)
        : bytes_(bytes), flagA_(flagA), flagB_(flagB), pixels_(pixels) {}

    bool FlagABit() {
        const uint64_t at = flagA_ + (bit_ >> 3);
        const int shift = 7 - int(bit_ & 7);
        ++bit_;
        return (Byte(at) >> shift) & 1;
    }
    uint8_t FlagBByte() { return Byte(flagB_++); }
    void Pixels(uint8_t* unit) {
        unit[0] = Byte(pixels_++);
        unit[1] = Byte(pixels_++);
    }
    bool RanOut() const { return ranOut_; }

private:
    uint8_t Byte(uint64_t at) {
        if (at < bytes_.size()) return bytes_[at];
        ranOut_ = true;
        return 0;
    }

    const std::vector<uint8_t>& bytes_;
    uint64_t flagA_, flagB_, pixels_;
    uint64_t bit_ = 0;
    bool ranOut_ = false;
};

// The picture as MAG stores it: 4-bit or 8-bit, width a unit multiple.
TBitmap Normalised(const TBitmap& source) {
    TBitmap picture(source);
    const TPixelFormat format = picture.PixelFormat();
    if (format == pf1bit) picture.SetPixelFormat(pf4bit);
    else if (format != pf4bit && format != pf8bit) picture.SetPixelFormat(pf8bit);
    const int align = MagPixelAlign(picture.PixelFormat() == pf8bit);
    const int width = (picture.Width() + align - 1) / align * align;
    if (width != picture.Width()) picture.SetSize(width, picture.Height());
    return picture;
}

bool SameUnit(const uint8_t* a, const uint8_t* b) { return a[0] == b[0] && a[1] == b[1]; }

// The picture size a header describes; either may come out 0 or less.
struct TMagSize {
    int Width;
    int Height;
};
TMagSize SizeOf(const TMagHeader& header) {
    const int align = MagPixelAlign(header.Colours256());
    return {header.XEnd / align * align + align - header.XStart / align * align,
            int(header.YEnd) - int(header.YStart) + 1};
}

}  // namespace

TMAGImage::TMAGImage() : TFormatImage(std::make_shared<TMagData>()) {
    bitmap_->SetPixelFormat(pf4bit);
    InitAttributes();
}

void TMAGImage::InitAttributes() {
    colourMode_ = 0;
    comment_ = kDefaultComment;
    userName_ = kDefaultUserName;
    lines200_ = false;
    xStart_ = 0;
    yStart_ = 0;
}

bool TMAGImage::Equals(const TGraphic& other) const {
    const auto* mag = dynamic_cast<const TMAGImage*>(&other);
    return mag && mag->data_ == data_;
}

void TMAGImage::Assign(const TGraphic& source) {
    if (const auto* mag = dynamic_cast<const TMAGImage*>(&source)) {
        if (mag == this) return;
        data_ = mag->data_;
        comment_ = mag->comment_;
        userName_ = mag->userName_;
        colourMode_ = mag->colourMode_;
        lines200_ = mag->lines200_;
        xStart_ = mag->xStart_;
        yStart_ = mag->yStart_;
        *bitmap_ = *mag->bitmap_;
        modified_ = mag->modified_;
        warning_ = mag->warning_;
        return;
    }
    TBitmap picture;
    picture.Assign(source);
    auto data = std::make_shared<TMagData>();
    *bitmap_ = Normalised(picture);
    data_ = std::move(data);
    InitAttributes();
    colourMode_ = bitmap_->PixelFormat() == pf8bit ? 1 : 0;
    modified_ = true;
    warning_.clear();
}

void TMAGImage::SetPalette(const TPalette& palette) {
    bitmap_->SetPalette(palette);
    modified_ = true;
}

void TMAGImage::SetWidth(int width) {
    const int align = MagPixelAlign(bitmap_->PixelFormat() == pf8bit);
    const int64_t rounded = (int64_t(width) + align - 1) / align * align;
    if (rounded + xStart_ > kMaxCoordinate) RaiseInvalidMagOperation(MagText::RangeOver);
    bitmap_->SetSize(static_cast<int>(rounded), bitmap_->Height());
    modified_ = true;
}

void TMAGImage::SetHeight(int height) {
    if (int64_t(height) + yStart_ > kMaxCoordinate) RaiseInvalidMagOperation(MagText::RangeOver);
    bitmap_->SetSize(bitmap_->Width(), height);
    modified_ = true;
}

void TMAGImage::SetComment(std::string comment) {
    comment_ = std::move(comment);
    modified_ = true;
}

void TMAGImage::SetUserName(std::string name) {
    userName_ = std::move(name);
    modified_ = true;
}

void TMAGImage::SetLines200(bool value) {
    lines200_ = value;
    modified_ = true;
}

void TMAGImage::SetStart(int x, int y) {
    if (x < 0 || y < 0 || x > kMaxCoordinate || y > kMaxCoordinate) RaiseInvalidMagOperation(MagText::RangeOver);
    const int align = MagPixelAlign(colourMode_ == 1);
    xStart_ = x / align * align;
    yStart_ = y;
    modified_ = true;
}

// Reading ------------------------------------------------------------------

void TMAGImage::LoadFromStream(TStream& stream) {
    TMemoryStream copy = CopyInput(stream);
    const std::vector<uint8_t>& bytes = copy.Bytes();
    if (bytes.size() < kMagSignatureSize || std::memcmp(bytes.data(), kMagSignature, 8) != 0)
        RaiseMagError(MagText::NotMag);
    const auto end = std::find(bytes.begin() + kMagSignatureSize, bytes.end(), kMagCommentEnd);
    if (end == bytes.end()) RaiseMagError(MagText::NotMag);
    const size_t headerAt = size_t(end - bytes.begin()) + 1;
    if (bytes.size() - headerAt < kMagHeaderSize) RaiseMagError(MagText::NotMag);

    auto data = std::make_shared<TMagData>();
    std::copy_n(bytes.begin(), kMagSignatureSize, data->Signature.begin());
    data->Header = TMagHeader::Parse(bytes.data() + headerAt);
    const TMagHeader& header = data->Header;
    const bool colours256 = header.Colours256();
    const int align = MagPixelAlign(colours256);
    const auto [width, height] = SizeOf(header);
    if (width <= 0 || height <= 0) RaiseMagError(MagText::NotMag);
    const uint64_t pictureBytes = uint64_t(width) * uint64_t(height) / (colours256 ? 1 : 2);
    if (pictureBytes > kBestPictureBytesPerFileByte * (bytes.size() - headerAt)) RaiseMagError(MagText::NotMag);
    data->Width = width;
    data->Height = height;

    std::string userName(bytes.begin() + kMagUserNameOffset,
                         bytes.begin() + kMagUserNameOffset + kMagUserNameLength);
    userName.erase(userName.find_last_not_of(' ') + 1);

    Decode(bytes, headerAt, header, width, height);  // raises before it changes anything
    comment_.assign(bytes.begin() + kMagSignatureSize, end);
    userName_ = std::move(userName);
    colourMode_ = colours256 ? 1 : 0;
    lines200_ = (header.ScreenMode & 1) != 0;
    xStart_ = header.XStart / align * align;
    yStart_ = header.YStart;
    data->Stream = std::make_unique<TMemoryStream>(std::move(copy));
    data_ = std::move(data);
    modified_ = false;
}

void TMAGImage::Decode(const std::vector<uint8_t>& bytes, size_t headerAt, const TMagHeader& header, int width,
                       int height) {
    const bool colours256 = header.Colours256();

    TBitmap picture(width, height, colours256 ? pf8bit : pf4bit);
    const int entries = colours256 ? 256 : 16;
    TPalette palette(static_cast<size_t>(entries));
    for (int i = 0; i < entries; ++i) {
        const size_t at = headerAt + kMagHeaderSize + 3 * size_t(i);
        auto byte = [&](size_t k) { return at + k < bytes.size() ? bytes[at + k] : uint8_t{0}; };
        palette[size_t(i)] = {byte(1), byte(0), byte(2), 0};  // stored green, red, blue
    }
    picture.SetPalette(palette);

    TMagSource source(bytes, headerAt + uint64_t(header.FlagAOffset), headerAt + uint64_t(header.FlagBOffset),
                      headerAt + uint64_t(header.PixelOffset));
    const int units = colours256 ? width / 2 : width / 4;  // per row, 2 bytes each
    const int flagBytes = units / 2;
    std::vector<uint8_t> flags(size_t(flagBytes), 0);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = picture.ScanLine(y);
        for (int j = 0; j < flagBytes; ++j) {
            if (source.FlagABit()) flags[size_t(j)] ^= source.FlagBByte();
            for (int half = 0; half < 2; ++half) {
                const int u = 2 * j + half;
                uint8_t* unit = row + 2 * u;
                const int k = half == 0 ? flags[size_t(j)] >> 4 : flags[size_t(j)] & 0x0F;
                if (k == 0) {
                    source.Pixels(unit);
                    continue;
                }
                const TMagCopy copy = kMagCopyTable[k];
                if (y < copy.Dy || u < copy.Dx) {
                    unit[0] = unit[1] = 0;
                    continue;
                }
                const uint8_t* from = picture.ScanLine(y - copy.Dy) + 2 * (u - copy.Dx);
                unit[0] = from[0];
                unit[1] = from[1];
            }
        }
    }
    *bitmap_ = std::move(picture);
    warning_ = source.RanOut() ? kShortDataWarning : "";
}

// Writing ------------------------------------------------------------------

void TMAGImage::SaveToStream(TStream& stream) const {
    const TStream* kept = data_ ? data_->Stream.get() : nullptr;
    if (kept && !modified_) {
        const auto& bytes = static_cast<const TMemoryStream*>(kept)->Bytes();
        stream.WriteBuffer(bytes.data(), int64_t(bytes.size()));
        return;
    }
    const std::vector<uint8_t> file = Encode();
    stream.WriteBuffer(file.data(), int64_t(file.size()));
}

void TMAGImage::WriteData(TStream& stream) const {
    if (bitmap_->Empty() && !(data_ && data_->Stream)) {
        stream.WriteDWordLE(0);
        return;
    }
    TGraphic::WriteData(stream);
}

std::vector<uint8_t> TMAGImage::Encode() const {
    if (bitmap_->Empty()) RaiseInvalidMagOperation(MagText::NoDib);
    const TBitmap picture = Normalised(*bitmap_);
    const bool colours256 = picture.PixelFormat() == pf8bit;
    const int width = picture.Width(), height = picture.Height();
    const int align = MagPixelAlign(colours256);
    const int xStart = xStart_ / align * align;
    if (int64_t(width) + xStart - 1 > kMaxCoordinate || int64_t(height) + yStart_ - 1 > kMaxCoordinate)
        RaiseInvalidMagOperation(MagText::RangeOver);

    const int units = colours256 ? width / 2 : width / 4;
    const int flagBytes = units / 2;
    const uint64_t flagASize = ((uint64_t(flagBytes) * uint64_t(height) + 7) / 8 + 1) & ~uint64_t{1};
    std::vector<uint8_t> flagA(static_cast<size_t>(flagASize), 0), flagB, pixels;
    std::vector<uint8_t> flags(size_t(flagBytes), 0);
    uint64_t bit = 0;
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = picture.ScanLine(y);
        for (int j = 0; j < flagBytes; ++j, ++bit) {
            int chosen[2];
            for (int half = 0; half < 2; ++half) {
                const int u = 2 * j + half;
                const uint8_t* unit = row + 2 * u;
                auto matches = [&](int k) {
                    const TMagCopy copy = kMagCopyTable[k];
                    return y >= copy.Dy && u >= copy.Dx &&
                           SameUnit(picture.ScanLine(y - copy.Dy) + 2 * (u - copy.Dx), unit);
                };
                const int previous = half == 0 ? flags[size_t(j)] >> 4 : flags[size_t(j)] & 0x0F;
                int k = previous != 0 && matches(previous) ? previous : 0;
                for (int candidate = 1; k == 0 && candidate < 16; ++candidate)
                    if (matches(candidate)) k = candidate;
                if (k == 0) pixels.insert(pixels.end(), unit, unit + 2);
                chosen[half] = k;
            }
            const auto flag = static_cast<uint8_t>(chosen[0] << 4 | chosen[1]);
            if (flag != flags[size_t(j)]) {
                flagA[size_t(bit >> 3)] |= static_cast<uint8_t>(0x80u >> (bit & 7));
                flagB.push_back(flag ^ flags[size_t(j)]);
                flags[size_t(j)] = flag;
            }
        }
    }
    if (flagB.size() % 2) flagB.push_back(0);

    const int entries = colours256 ? 256 : 16;
    std::vector<uint8_t> file;
    file.reserve(kMagSignatureSize + comment_.size() + 2 + kMagHeaderSize + 3 * size_t(entries) + flagA.size() +
                 flagB.size() + pixels.size());
    file.resize(kMagSignatureSize, ' ');
    std::memcpy(file.data(), kMagSignature, 8);
    std::memcpy(file.data() + 8, kMachineCode, 4);
    std::memcpy(file.data() + kMagUserNameOffset, userName_.data(), std::min(userName_.size(), kMagUserNameLength));
    file.insert(file.end(), comment_.begin(), comment_.end());
    // The header starts on an even offset.
    if (comment_.size() % 2 == 0) file.push_back(' ');
    file.push_back(kMagCommentEnd);

    TMagHeader header;
    header.ScreenMode = static_cast<uint8_t>((colours256 ? 0x80 : 0) | (lines200_ ? 1 : 0));
    header.XStart = static_cast<uint16_t>(xStart);
    header.YStart = static_cast<uint16_t>(yStart_);
    header.XEnd = static_cast<uint16_t>(width + xStart - 1);
    header.YEnd = static_cast<uint16_t>(height + yStart_ - 1);
    header.FlagAOffset = static_cast<uint32_t>(kMagHeaderSize + 3 * entries);
    header.FlagBOffset = static_cast<uint32_t>(header.FlagAOffset + flagA.size());
    header.FlagBSize = static_cast<uint32_t>(flagB.size());
    header.PixelOffset = header.FlagBOffset + header.FlagBSize;
    header.PixelSize = static_cast<uint32_t>(pixels.size());
    const auto headerBytes = header.Bytes();
    file.insert(file.end(), headerBytes.begin(), headerBytes.end());

    const TPalette& palette = picture.EffectivePalette();
    for (int i = 0; i < entries; ++i) {
        const TPaletteEntry entry = size_t(i) < palette.size() ? palette[size_t(i)] : TPaletteEntry{};
        file.insert(file.end(), {entry.Green, entry.Red, entry.Blue});
    }
    file.insert(file.end(), flagA.begin(), flagA.end());
    file.insert(file.end(), flagB.begin(), flagB.end());
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

void InitializeMagUnit() { TPicture::RegisterFileFormat("mag", "MAki chan Graphic format", TMAGImage::StaticClass()); }

void FinalizeMagUnit() { TPicture::UnregisterGraphicClass(TMAGImage::StaticClass()); }
