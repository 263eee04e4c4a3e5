#include "formats/RawImage.h"

#include <cstring>

#include "platform/Exceptions.h"
#include "platform/Palettes.h"

VORLIX_DEFINE_GRAPHIC_CLASS(TRawImage, TGraphic)

namespace {

constexpr const char* kUnsupported = "Unsupported RAW format";

struct TFixedLayout {
    int64_t FileSize;
    int Width;
    int Height;
    TPixelFormat Format;
};

// Dumps known by their exact size; their rows are stored top row first.
constexpr TFixedLayout kFixedLayouts[] = {
    {64000, 320, 200, pf8bit},
    {14720, 115, 32, pf32bit},
    {5984, 136, 11, pf32bit},
    {3968, 32, 31, pf32bit},
};

// 2^(digit - '0'); an exponent of 0 or below gives 1. Exponents that would
// not fit a picture side give 0, which no file size can match.
int64_t SideFromDigit(uint8_t byte) {
    const int exponent = int(byte) - 48;
    if (exponent <= 0) return 1;
    if (exponent > 30) return 0;
    return int64_t{1} << exponent;
}

}  // namespace

TRawImage::TRawImage() : TFormatImage(std::make_shared<TRAWData>()) {}

void TRawImage::LoadFromStream(TStream& stream) {
    TMemoryStream copy = CopyInput(stream);
    const std::vector<uint8_t>& bytes = copy.Bytes();
    const auto size = static_cast<int64_t>(bytes.size());

    TBitmap picture;
    bool known = false;
    for (const TFixedLayout& layout : kFixedLayouts) {
        if (size != layout.FileSize) continue;
        picture.SetPixelFormat(layout.Format);
        picture.SetSize(layout.Width, layout.Height);
        if (layout.Format == pf8bit) picture.SetPalette(GreyRampPalette());
        const size_t rowBytes = size_t(layout.Width) * (layout.Format == pf8bit ? 1 : 4);
        for (int y = 0; y < layout.Height; ++y)
            std::memcpy(picture.ScanLine(y), bytes.data() + size_t(y) * rowBytes, rowBytes);
        known = true;
        break;
    }
    if (!known) {
        if (size < 2) throw EInvalidGraphic(kUnsupported);
        const int64_t width = SideFromDigit(bytes[0]);
        const int64_t height = SideFromDigit(bytes[1]);
        // The size must match exactly, so the sides are bounded by the file.
        if (width == 0 || height == 0 || width > size || height > size || width * height * 3 + 2 != size)
            throw EInvalidGraphic(kUnsupported);
        picture.SetPixelFormat(pf24bit);
        picture.SetSize(int(width), int(height));
        const size_t rowBytes = size_t(width) * 3;
        for (int64_t row = 0; row < height; ++row)
            std::memcpy(picture.ScanLine(int(height - 1 - row)), bytes.data() + 2 + size_t(row) * rowBytes, rowBytes);
    }

    *bitmap_ = std::move(picture);
    auto data = std::make_shared<TRAWData>();
    data->Stream = std::make_unique<TMemoryStream>(std::move(copy));
    data_ = std::move(data);
}

void InitializeRawImageUnit() { TPicture::RegisterFileFormat("raw", "raw", TRawImage::StaticClass()); }
void FinalizeRawImageUnit() { TPicture::UnregisterGraphicClass(TRawImage::StaticClass()); }
