#pragma once
// IFF pictures: the planar ILBM form and the chunky PBM form, uncompressed
// or ByteRun1, with 1, 2, 4, 7, 8 or 24 bit planes. Read only.

#include <array>
#include <cstdint>

#include "formats/FormatImage.h"

// Keeps a copy of the whole file.
class TILBMData : public TSharedImage {};

struct TILBMHeader {
    uint16_t Width = 0;
    uint16_t Height = 0;
    int16_t X = 0;
    int16_t Y = 0;
    uint8_t Planes = 0;
    uint8_t Masking = 0;
    uint8_t Compression = 0;
    uint8_t Pad = 0;
    uint16_t TransparentColour = 0;
    uint8_t XAspect = 0;
    uint8_t YAspect = 0;
    int16_t PageWidth = 0;
    int16_t PageHeight = 0;
};

class TILBMImage : public TFormatImage {
    VORLIX_GRAPHIC_CLASS();

public:
    TILBMImage();
    // EInvalidGraphic "Header Error" without BMHD and BODY or with an
    // unknown compression, "Plane Error" for a plane count it does not
    // decode. Rows the BODY does not hold stay unfilled.
    void LoadFromStream(TStream& stream) override;

    const TILBMHeader& Header() const { return header_; }
    bool Chunky() const { return chunky_; }
    bool HasColourMap() const { return hasColourMap_; }
    int BitDepth() const { return bitDepth_; }

private:
    TILBMHeader header_;
    bool chunky_ = false;
    bool hasColourMap_ = false;
    std::array<uint8_t, 768> colourMap_{};
    size_t bodyPosition_ = 0;
    size_t bodyLength_ = 0;
    int bitDepth_ = 0;
};

void InitializeILBMImageUnit();
void FinalizeILBMImageUnit();
