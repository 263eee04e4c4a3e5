#include "formats/IconImageB.h"

#include <algorithm>

#include "platform/Exceptions.h"
#include "platform/PlatformGraphics.h"

VORLIX_DEFINE_GRAPHIC_CLASS(TIconImageB, TGraphic)

namespace {

constexpr size_t kDibHeaderSize = 40;

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

size_t PaddedRow(int width, int bits) { return (size_t(width) * size_t(bits) + 31) / 32 * 4; }

}  // namespace

TIconImageB::TIconImageB() : TFormatImage(std::make_shared<TIconData>()) {}

void TIconImageB::LoadFromStream(TStream& stream) {
    TMemoryStream in = CopyInput(stream);
    const auto fileSize = static_cast<uint64_t>(in.Size());
    if (fileSize == 0) throw EInvalidGraphic("Signature err");
    if (in.ReadWordLE() != 0) throw EInvalidGraphic("Reserved error");
    const uint16_t type = in.ReadWordLE();
    if (type != 1 && type != 2) throw EInvalidGraphic("Resource type error");
    const uint16_t count = in.ReadWordLE();
    if (count == 0) throw EInvalidGraphic("Signature err");

    // Each entry is read from the file, so the count is bounded by its size.
    std::vector<TIconDirectoryEntry> entries;
    for (uint16_t i = 0; i < count; ++i) {
        uint8_t raw[16];
        in.ReadBuffer(raw, sizeof raw);
        TIconDirectoryEntry e;
        e.Width = IconDimension(raw[0]);
        e.Height = IconDimension(raw[1]);
        e.ColourCount = raw[2];
        e.ImageSize = uint32_t{U16(raw + 8)} | (uint32_t{U16(raw + 10)} << 16);
        e.ImageOffset = uint32_t{U16(raw + 12)} | (uint32_t{U16(raw + 14)} << 16);
        entries.push_back(e);
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        // An image that lies before its predecessor cannot end it.
        const bool next = i + 1 < entries.size() && entries[i + 1].ImageOffset > entries[i].ImageOffset;
        entries[i].ImageEnd = next ? std::min<uint64_t>(entries[i + 1].ImageOffset, fileSize) : fileSize;
    }

    const TIconDirectoryEntry& image = entries[0];
    in.SetPosition(image.ImageOffset);
    uint8_t header[kDibHeaderSize];
    in.ReadBuffer(header, sizeof header);
    const int bitCount = U16(header + 14);
    TPixelFormat format;
    if (image.ColourCount == 2 && bitCount == 1) format = pf1bit;
    else if (image.ColourCount == 16 && bitCount == 4) format = pf4bit;
    else if (image.ColourCount == 0 && bitCount == 8) format = pf8bit;
    else if (image.ColourCount == 0 && bitCount == 24) format = pf24bit;
    else throw EInvalidGraphic("Zero BitCount");

    const int width = image.Width, height = image.Height;
    TBitmap colour(width, height, format);
    const size_t paletteEntries = bitCount <= 8 ? size_t{1} << bitCount : 0;
    if (paletteEntries) {
        TPalette palette(paletteEntries);
        for (TPaletteEntry& e : palette) {
            uint8_t quad[4];
            in.ReadBuffer(quad, 4);
            e = {quad[2], quad[1], quad[0], 0};
        }
        colour.SetPalette(palette);
    }
    const size_t rowSize = PaddedRow(width, bitCount);
    for (int y = height - 1; y >= 0; --y) in.ReadBuffer(colour.ScanLine(y), int64_t(rowSize));

    const uint64_t withoutMask = kDibHeaderSize + 4 * paletteEntries + uint64_t(height) * rowSize;
    TBitmap mask;
    const bool hasMask = image.ImageSize != withoutMask;
    if (paletteEntries && !hasMask) {
        *bitmap_ = std::move(colour);
    } else {
        if (hasMask && readMask_) {
            mask = TBitmap(width, height, pf1bit);
            mask.SetPalette({{0, 0, 0, 0}, {255, 255, 255, 0}});
            const size_t maskRow = PaddedRow(width, 1);
            const uint64_t position = uint64_t(in.Position());
            uint64_t available = image.ImageEnd > position ? image.ImageEnd - position : 0;
            // Whole rows while they fit, then what remains of the next one.
            for (int y = height - 1; y >= 0 && available > 0; --y) {
                const auto bytes = static_cast<size_t>(std::min<uint64_t>(maskRow, available));
                in.ReadBuffer(mask.ScanLine(y), int64_t(bytes));
                available -= bytes;
            }
        }
        TBitmap result(width, height, pf24bit);
        if (!mask.Empty()) result.Draw(0, 0, mask, TRasterOp::And);
        result.Draw(0, 0, colour, TRasterOp::Or);
        *bitmap_ = std::move(result);
    }
    mask_ = std::move(mask);
    entries_ = std::move(entries);
    auto data = std::make_shared<TIconData>();
    data->Stream = std::make_unique<TMemoryStream>(std::move(in));
    data_ = std::move(data);
}

void InitializeIconImageBUnit() {
    TPicture::UnregisterGraphicClass(TIcon::StaticClass());
    TPicture::RegisterFileFormat("ico", "Icon", TIconImageB::StaticClass());
    TPicture::RegisterFileFormat("cur", "Cursor", TIconImageB::StaticClass());
}

void FinalizeIconImageBUnit() {
    TPicture::UnregisterGraphicClass(TIconImageB::StaticClass());
    // Hand "ico" back to the platform's own class.
    TPicture::RegisterFileFormat("ico", "Icons", TIcon::StaticClass());
}
