#include "formats/PCDImage.h"

#include <cmath>

#include "platform/Exceptions.h"

VORLIX_DEFINE_GRAPHIC_CLASS(TPCDImage, TGraphic)

namespace {

constexpr size_t kBaseImageOffset = 0xB800;
constexpr int kWidth = 384;
constexpr int kHeight = 256;
constexpr size_t kLine = 384;
constexpr size_t kGroup = 3 * kLine;  // two luminance lines, one shared chrominance line

uint8_t Limit(double value) {
    const double v = std::floor(value + 0.5);
    if (v < 0) return 0;
    if (v >= 255) return 255;
    return static_cast<uint8_t>(v);
}

}  // namespace

void PCDPixelToBGR(uint8_t y, uint8_t c1, uint8_t c2, uint8_t bgr[3]) {
    // volatile keeps each product rounded to double, whatever the compiler
    // would otherwise fuse or keep in wider registers.
    volatile double l = y * 1.3584;
    volatile double cb = (int(c1) - 156) * 2.2179;
    volatile double cr = (int(c2) - 137) * 1.8215;
    bgr[2] = Limit(l + cr);
    bgr[1] = Limit(l - 0.194 * cb - 0.509 * cr);
    bgr[0] = Limit(l + cb);
}

TPCDImage::TPCDImage() : TFormatImage(std::make_shared<TPCDData>()) {}

void TPCDImage::LoadFromStream(TStream& stream) {
    TMemoryStream copy = CopyInput(stream);
    const std::vector<uint8_t>& bytes = copy.Bytes();
    if (bytes.empty()) throw EInvalidGraphic("Signature err");

    TBitmap picture;
    picture.SetPixelFormat(pf24bit);
    picture.SetSize(kWidth, kHeight);
    for (int g = 0; g < kHeight / 2; ++g) {
        const size_t at = kBaseImageOffset + size_t(g) * kGroup;
        if (at + kGroup > bytes.size()) break;  // a short file leaves the rest unfilled
        const uint8_t* chroma = bytes.data() + at + 2 * kLine;
        for (int half = 0; half < 2; ++half) {
            const uint8_t* luma = bytes.data() + at + size_t(half) * kLine;
            uint8_t* row = picture.ScanLine(2 * g + half);
            for (int x = 0; x < kWidth; ++x)
                PCDPixelToBGR(luma[x], chroma[x / 2], chroma[kLine / 2 + x / 2], row + 3 * x);
        }
    }
    *bitmap_ = std::move(picture);
    data_ = std::make_shared<TPCDData>();
}

void InitializePCDImageUnit() { TPicture::RegisterFileFormat("pcd", "Kodak photo-cd", TPCDImage::StaticClass()); }
void FinalizePCDImageUnit() { TPicture::UnregisterGraphicClass(TPCDImage::StaticClass()); }
