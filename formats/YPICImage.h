#pragma once
// PIC pictures of the 15/16-bit kind: run lengths, a 128-entry colour cache
// and vertical colour chains. Read only; delivered as 15-bit pictures.

#include "formats/FormatImage.h"

class TYPICData : public TSharedImage {};

class TYPICImage : public TFormatImage {
    VORLIX_GRAPHIC_CLASS();

public:
    TYPICImage();
    // Header faults raise EInvalidGraphic "Header Error: " with the reason;
    // data that ends early leaves the rest in the last colour.
    void LoadFromStream(TStream& stream) override;

    int ColourBits() const { return colourBits_; }
    int RowsDecoded() const { return rowsDecoded_; }

private:
    int colourBits_ = 0;
    int rowsDecoded_ = 0;
};

void InitializeYPICImageUnit();
void FinalizeYPICImageUnit();
