#pragma once
// ZSoft Paintbrush pictures: 1, 2, 3 or 4 bit planes, packed 4-bit, 8-bit
// with a palette, 24- and 32-bit in three or four byte planes, run-length
// encoded or raw. Written run-length encoded as 8-bit with a palette or as
// three 8-bit planes.

#include <cstdint>
#include <string>

#include "formats/FormatImage.h"

// Keeps a copy of the file last read.
class TPCXData : public TSharedImage {};

// The 128-byte file header, field by field in file order.
struct TPCXHeader {
    uint8_t Manufacturer = 0;
    uint8_t Version = 0;
    uint8_t Encoding = 0;
    uint8_t BitsPerPixel = 0;
    uint16_t XMin = 0;
    uint16_t YMin = 0;
    uint16_t XMax = 0;
    uint16_t YMax = 0;
    uint16_t HorizontalResolution = 0;
    uint16_t VerticalResolution = 0;
    uint8_t Palette[48] = {};
    uint8_t Reserved = 0;
    uint8_t Planes = 0;
    uint16_t BytesPerLine = 0;
    uint16_t PaletteInfo = 0;
    uint16_t HorizontalScreenSize = 0;
    uint16_t VerticalScreenSize = 0;
    uint8_t Filler[54] = {};
};

class TPCXImage : public TFormatImage {
    VORLIX_GRAPHIC_CLASS();

public:
    TPCXImage();

    // Bit planes become a 1-bit picture (one plane) or a 4-bit one (two to
    // four planes) with the header palette, packed 4-bit stays 4-bit, 8-bit
    // takes the palette after the 0x0C byte at the end of the file, three
    // and four byte planes become 24- and 32-bit. Other layouts load
    // without error as an unfilled picture.
    void LoadFromStream(TStream& stream) override;
    // Always run-length encoded: 8-bit pictures (1-bit ones widened to
    // 8-bit) with their palette, everything else as 24-bit. The own
    // picture is never changed.
    void SaveToStream(TStream& stream) const override;
    std::string LoadWarning() const override { return warning_; }

    // Of the file last read.
    const TPCXHeader& Header() const { return header_; }
    int BitDepth() const { return bitDepth_; }

private:
    TPCXHeader header_;
    int bitDepth_ = 0;
    std::string warning_;
};

void InitializePCXImageUnit();
void FinalizePCXImageUnit();
