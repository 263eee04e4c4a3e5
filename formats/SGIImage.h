#pragma once
// Silicon Graphics image files with one byte per channel: grey, RGB or
// RGBA, verbatim or run-length encoded. Written verbatim.

#include <cstdint>
#include <string>
#include <vector>

#include "formats/FormatImage.h"

// Keeps a copy of the file last read.
class TSGIData : public TSharedImage {};

// The fields of the 512-byte header that carry meaning.
struct TSGIHeader {
    uint16_t Magic = 0;
    uint8_t Storage = 0;
    uint8_t BytesPerChannel = 0;
    uint16_t Dimension = 0;
    uint16_t XSize = 0;
    uint16_t YSize = 0;
    uint16_t ZSize = 0;
    uint32_t MinimumPixel = 0;
    uint32_t MaximumPixel = 0;
    uint32_t ColorMapId = 0;
};

class TSGIImage : public TFormatImage {
    VORLIX_GRAPHIC_CLASS();

public:
    TSGIImage();

    // One channel (dimension 1 or 2, or 3 with z size 1) gives an 8-bit
    // grey picture, three a 24-bit and four a 32-bit one (alpha as the
    // fourth byte). Raises "BPC Err" for other than one byte per channel and
    // "Dimension Err" for a dimension outside 1..3 or a channel count other
    // than 1, 3 or 4; a file without the magic number loads nothing,
    // silently.
    void LoadFromStream(TStream& stream) override;
    // Verbatim, three channels (four for a 32-bit picture), pixel values
    // 0 to 255. The own picture is never changed.
    void SaveToStream(TStream& stream) const override;
    std::string LoadWarning() const override { return warning_; }

    // Of the file last read.
    const TSGIHeader& Header() const { return header_; }
    bool RunLength() const { return runLength_; }
    int BitDepth() const { return bitDepth_; }

private:
    TSGIHeader header_;
    bool runLength_ = false;
    int bitDepth_ = 0;
    std::string warning_;
};

void InitializeSGIImageUnit();
void FinalizeSGIImageUnit();
