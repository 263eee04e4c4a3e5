#pragma once
// The simple icon reader: one image whose bitmap follows the first
// directory entry directly, as the icon and cursor resources of resource
// files are presented to it. Transparency rows are ignored.

#include "formats/FormatImage.h"

// Keeps a copy of the icon file last read (both icon classes).
class TIconData : public TSharedImage {};

class TIconImageA : public TFormatImage {
    VORLIX_GRAPHIC_CLASS();

public:
    TIconImageA();

    // EInvalidGraphic "Signature err" for an empty stream; a directory with
    // a reserved field other than 0 or a type other than 1 or 2 gives an
    // empty picture. 1/4/8-bit images stay indexed with their palette, all
    // others become 24-bit; rows cut short raise the stream read error.
    void LoadFromStream(TStream& stream) override;
    // Writes nothing: icons are not written.
    void SaveToStream(TStream&) const override {}
};

// The image size a directory entry's width or height byte stands for.
inline int IconDimension(uint8_t stored) { return stored == 0 ? 256 : stored; }

void InitializeIconImageAUnit();
void FinalizeIconImageAUnit();
