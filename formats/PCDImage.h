#pragma once
// Photo CD image packs: only the 384 x 256 base image, converted from the
// disc's luminance/chrominance encoding.

#include "formats/FormatImage.h"

class TPCDData : public TSharedImage {};

class TPCDImage : public TFormatImage {
    VORLIX_GRAPHIC_CLASS();

public:
    TPCDImage();
    // Always 384 x 256, 24-bit; rows beyond the end of a short file stay
    // black. An empty stream raises EInvalidGraphic "Signature err".
    void LoadFromStream(TStream& stream) override;
    int BitDepth() const { return 24; }
};

// One pixel of the base image to blue, green, red.
void PCDPixelToBGR(uint8_t y, uint8_t c1, uint8_t c2, uint8_t bgr[3]);

void InitializePCDImageUnit();
void FinalizePCDImageUnit();
