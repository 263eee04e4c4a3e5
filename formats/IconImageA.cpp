#include "formats/IconImageA.h"

#include <algorithm>
#include <vector>

#include "platform/Exceptions.h"

VORLIX_DEFINE_GRAPHIC_CLASS(TIconImageA, TGraphic)

namespace {

constexpr size_t kDirectoryEntrySize = 16;

}  // namespace

TIconImageA::TIconImageA() : TFormatImage(std::make_shared<TIconData>()) {}

void TIconImageA::LoadFromStream(TStream& stream) {
    TMemoryStream in = CopyInput(stream);
    if (in.Size() == 0) throw EInvalidGraphic("Signature err");
    const uint16_t reserved = in.ReadWordLE();
    const uint16_t type = in.ReadWordLE();
    in.ReadWordLE();  // image count: only the first image is read
    if (reserved != 0 || (type != 1 && type != 2)) {
        *bitmap_ = TBitmap();
        data_ = std::make_shared<TIconData>();
        return;
    }
    uint8_t entry[kDirectoryEntrySize];
    in.ReadBuffer(entry, sizeof entry);
    const int64_t dibStart = in.Position();
    const uint32_t headerSize = in.ReadDWordLE();
    in.Seek(8, TSeekOrigin::soCurrent);  // width and height: the entry's count
    in.ReadWordLE();                     // planes
    const uint16_t bitCount = in.ReadWordLE();
    in.SetPosition(dibStart + int64_t{headerSize});

    const int width = IconDimension(entry[0]), height = IconDimension(entry[1]);
    const TPixelFormat format = bitCount == 1 ? pf1bit : bitCount == 4 ? pf4bit : bitCount == 8 ? pf8bit : pf24bit;
    TBitmap picture(width, height, format);
    if (TBitmap::IsIndexed(format)) {
        TPalette palette(size_t{1} << bitCount);
        for (TPaletteEntry& e : palette) {
            uint8_t quad[4];
            in.ReadBuffer(quad, 4);
            e = {quad[2], quad[1], quad[0], 0};
        }
        picture.SetPalette(palette);
    }
    // A 32-bit image keeps its fourth byte beside each pixel; taking its
    // rows as 3-byte pixels would scramble the picture.
    const bool quads = bitCount == 32;
    const size_t storedBits = quads ? 32 : size_t(TBitmap::BitsPerPixel(format));
    const size_t rowSize = (size_t(width) * storedBits + 31) / 32 * 4;
    std::vector<uint8_t> row(rowSize);
    for (int y = height - 1; y >= 0; --y) {
        in.ReadBuffer(row.data(), int64_t(rowSize));
        uint8_t* line = picture.ScanLine(y);
        if (!quads) {
            std::copy_n(row.data(), TBitmap::BytesPerRow(format, width), line);
            continue;
        }
        for (int x = 0; x < width; ++x) std::copy_n(&row[4 * size_t(x)], 3, line + 3 * x);
    }
    *bitmap_ = std::move(picture);
    auto data = std::make_shared<TIconData>();
    data->Stream = std::make_unique<TMemoryStream>(std::move(in));
    data_ = std::move(data);
}

void InitializeIconImageAUnit() { TPicture::RegisterFileFormat("cur", "Cursor", TIconImageA::StaticClass()); }

void FinalizeIconImageAUnit() { TPicture::UnregisterGraphicClass(TIconImageA::StaticClass()); }
