#pragma once
// Truevision Targa pictures: colour-mapped, true colour and grey, plain or
// run-length encoded, rows stored either way up. Written colour-mapped
// (8-bit pictures with a palette) or as 24-bit true colour, optionally
// run-length encoded.

#include <cstdint>
#include <string>

#include "formats/FormatImage.h"

// Keeps a copy of the file last read.
class TTGAData : public TSharedImage {};

// The 18-byte file header, field by field in file order.
struct TTGAHeader {
    uint8_t IDLength = 0;
    uint8_t ColorMapType = 0;
    uint8_t ImageType = 0;
    uint16_t FirstColorMapEntry = 0;
    uint16_t ColorMapLength = 0;
    uint8_t ColorMapEntrySize = 0;
    uint16_t XOrigin = 0;
    uint16_t YOrigin = 0;
    uint16_t Width = 0;
    uint16_t Height = 0;
    uint8_t PixelDepth = 0;
    uint8_t ImageDescriptor = 0;
};

class TTGAImage : public TFormatImage {
    VORLIX_GRAPHIC_CLASS();

public:
    TTGAImage();

    // Depth 8 gives an 8-bit picture (colour map or grey ramp as palette),
    // 15/16/24 a 24-bit one, 32 a 32-bit one that keeps the alpha bytes.
    // A depth, type or combination it does not read loads without error
    // and leaves the picture unfilled (LoadWarning says so).
    void LoadFromStream(TStream& stream) override;
    // Type 1 (or 9 with RLE) for an 8-bit picture with a palette, else type
    // 2 (10) with the picture taken as 24-bit; rows bottom-up. The own
    // picture is never changed.
    void SaveToStream(TStream& stream) const override;
    std::string LoadWarning() const override { return warning_; }

    bool RLE() const { return rle_; }
    void SetRLE(bool rle) { rle_ = rle; }

    // Of the file last read.
    const TTGAHeader& Header() const { return header_; }
    bool TopDown() const { return topDown_; }
    bool RunLength() const { return runLength_; }

private:
    bool rle_ = false;
    TTGAHeader header_;
    bool topDown_ = false;
    bool runLength_ = false;
    std::string warning_;
};

void InitializeTGAImageUnit();
void FinalizeTGAImageUnit();
