#pragma once
// PNG pictures through libpng: the picture, its alpha plane, and the writer
// the save flow and the sample page use.

#include <optional>

#include "formats/FormatImage.h"

// How WritePNG encodes a picture.
struct TPNGWriteOptions {
    // Adam7 interlacing.
    bool Interlaced = false;
    // Grey output: each pixel becomes (77 R + 150 G + 29 B) >> 8.
    bool Grayscale = false;
    // Pixels of this colour become fully transparent (0x00BBGGRR). An
    // indexed picture marks every palette entry of this colour; a grey or
    // colour file gets the single-colour transparency of its type. Ignored
    // when an alpha plane is written.
    std::optional<TColor> TransparentColor;
};

// Encodes picture as a PNG file into stream.
// - 1-, 4- and 8-bit pictures become palette files of the same bit depth
//   (grey files when Grayscale is set, except that a transparent colour keeps
//   the palette, with grey entries, so exactly that colour stays transparent);
//   every other pixel format becomes 8-bit RGB (or grey).
// - alpha, when given, must have the picture's size; the grey level of each
//   of its pixels is the opacity (255 opaque) and the file gets 8-bit RGBA or
//   grey-alpha samples.
// Raises EInvalidGraphic (a libpng complaint, a wrong alpha size) or passes
// on the stream's own error; what reached the stream is then incomplete.
void WritePNG(const TBitmap& picture, TStream& stream, const TPNGWriteOptions& options = {},
              const TBitmap* alpha = nullptr);

class TGLDPNGData : public TSharedImage {};

class TGLDPNG : public TFormatImage {
    VORLIX_GRAPHIC_CLASS();

public:
    TGLDPNG();

    // Palette and grey files become 8-bit indexed (grey files with a grey
    // ramp; 1/2/4-bit grey levels spread over 0..255), colour files 24-bit;
    // 16-bit samples are scaled to 8 bits. An alpha channel or a tRNS chunk
    // becomes the alpha plane.
    void LoadFromStream(TStream& stream) override;
    // WritePNG of the own picture with WriteOptions(), and the alpha plane
    // when there is one.
    void SaveToStream(TStream& stream) const override;
    // A bitmap replaces the picture and drops the alpha plane; another
    // TGLDPNG also lends its alpha plane and options.
    void Assign(const TGraphic& source) override;

    bool HasAlpha() const { return hasAlpha_; }
    // Same size as the picture, 8-bit with a grey ramp: index = alpha.
    const TBitmap& AlphaBitmap() const { return alpha_; }
    // Takes a grey picture of the picture's size as the alpha plane.
    void SetAlphaBitmap(const TBitmap& alpha);
    void ClearAlpha();

    TPNGWriteOptions& WriteOptions() { return options_; }
    const TPNGWriteOptions& WriteOptions() const { return options_; }

private:
    TBitmap alpha_;
    bool hasAlpha_ = false;
    TPNGWriteOptions options_;
};

void InitializeGLDPNGImageUnit();
void FinalizeGLDPNGImageUnit();
