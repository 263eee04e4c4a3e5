#pragma once
// Headerless pixel dumps, recognised by their size alone: a few fixed camera
// and screen dumps, and 24-bit pictures whose two first bytes give the
// powers of two of their sides.

#include "formats/FormatImage.h"

// Keeps a copy of the file last read.
class TRAWData : public TSharedImage {};

class TRawImage : public TFormatImage {
    VORLIX_GRAPHIC_CLASS();

public:
    TRawImage();
    // A size that fits no layout raises EInvalidGraphic "Unsupported RAW
    // format".
    void LoadFromStream(TStream& stream) override;
};

void InitializeRawImageUnit();
void FinalizeRawImageUnit();
