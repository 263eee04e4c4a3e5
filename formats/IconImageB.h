#pragma once
// Icon (.ico) and cursor (.cur) files: the first image of the directory.

#include <vector>

#include "formats/IconImageA.h"

struct TIconDirectoryEntry {
    int Width = 0;
    int Height = 0;
    int ColourCount = 0;
    uint32_t ImageSize = 0;
    uint32_t ImageOffset = 0;
    uint64_t ImageEnd = 0;  // the next image's offset, or the file size for the last one
};

class TIconImageB : public TFormatImage {
    VORLIX_GRAPHIC_CLASS();

public:
    TIconImageB();

    // EInvalidGraphic "Signature err" (empty stream or no image), "Reserved
    // error", "Resource type error", "Zero BitCount" (an image that is not
    // 2- or 16-colour, nor 8- or 24-bit: 32-bit images among them); a file
    // cut inside the directory or the colour rows raises the stream read
    // error. An indexed image stored without transparency rows stays
    // indexed; every other is delivered as 24-bit.
    void LoadFromStream(TStream& stream) override;
    // Writes nothing: icons are not written.
    void SaveToStream(TStream&) const override {}

    const std::vector<TIconDirectoryEntry>& Entries() const { return entries_; }
    // The transparency rows of the image last read (1-bit: index 0 black,
    // 1 white); empty when the image had none.
    const TBitmap& Mask() const { return mask_; }

private:
    std::vector<TIconDirectoryEntry> entries_;
    TBitmap mask_;
    bool readMask_ = true;
};

void InitializeIconImageBUnit();
void FinalizeIconImageBUnit();
