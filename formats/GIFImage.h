#pragma once
// GIF pictures through giflib: the first frame as an 8-bit indexed picture,
// and the 256-colour writer of the save flow.

#include <optional>

#include "formats/FormatImage.h"

// Encodes an indexed picture as a single-frame GIF file into stream. A
// non-indexed picture goes through the platform's 8-bit conversion first;
// the palette is padded with black to a power of two. transparentIndex, when
// given, is written in a graphic control extension. Raises EInvalidGraphic
// (a picture giflib cannot hold, an encoder fault) or passes on the stream's
// own error.
void WriteGIF(const TBitmap& picture, TStream& stream, std::optional<uint8_t> transparentIndex = std::nullopt);

class TGIFData : public TSharedImage {};

class TGIFImage : public TFormatImage {
    VORLIX_GRAPHIC_CLASS();

public:
    TGIFImage();

    // The first frame, 8-bit indexed with its colour map (the local one
    // before the global one), placed on the logical screen as a viewer shows
    // it. A transparent index sets the transparent flag of this object and
    // of the bitmap.
    void LoadFromStream(TStream& stream) override;
    // WriteGIF of the own picture. The transparent index is the one read or
    // set here; failing that, a bitmap whose transparent flag is set makes
    // its bottom-left pixel's index transparent.
    void SaveToStream(TStream& stream) const override;
    // A bitmap replaces the picture; the transparency then follows the
    // bitmap's transparent flag alone.
    void Assign(const TGraphic& source) override;

    // The palette index a graphic control extension made transparent.
    std::optional<uint8_t> TransparentIndex() const { return transparentIndex_; }
    void SetTransparentIndex(std::optional<uint8_t> index);

private:
    std::optional<uint8_t> transparentIndex_;
};

void InitializeGIFImageUnit();
void FinalizeGIFImageUnit();
