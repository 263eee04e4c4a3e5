#pragma once
// TIFF pictures: the first image of the file. The first directory is parsed
// into the tag tree to choose the decoder: the JPEG class for old-style JPEG
// data, libtiff for everything else.

#include <string>

#include "formats/FormatImage.h"

// Keeps a copy of the file last read.
class TTIFFData : public TSharedImage {};

class TnovTIFFImage : public TFormatImage {
    VORLIX_GRAPHIC_CLASS();

public:
    TnovTIFFImage();

    // 1-, 4- or 8-bit indexed for one sample of up to 8 bits, 32-bit for
    // four 8-bit samples and for what only libtiff's RGBA reader converts
    // (wider samples, odd layouts), 24-bit otherwise and for old-style JPEG.
    // An old-style JPEG file without its offset or length loads empty.
    void LoadFromStream(TStream& stream) override;
    std::string LoadWarning() const override { return warning_; }

    // The bit depth the file was recorded with (0 before a load).
    int BitDepth() const { return bitDepth_; }

private:
    int bitDepth_ = 0;
    std::string warning_;
};

// Unit start-up: creates the tag tree's root and registers tiff and tif.
void InitializenovTIFFImageUnit();
void FinalizenovTIFFImageUnit();
