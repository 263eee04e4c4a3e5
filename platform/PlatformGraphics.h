#pragma once
// The platform's own picture classes besides TBitmap: metafiles, which this
// platform cannot render, and the plain icon.

#include <vector>

#include "platform/Bitmap.h"

// A picture class whose whole state is one bitmap and the file bytes it came
// from; the base of the platform icon and the metafile.
class TRasterGraphic : public TGraphic {
public:
    bool Empty() const override { return bitmap_.Empty(); }
    int Width() const override { return bitmap_.Width(); }
    int Height() const override { return bitmap_.Height(); }
    TPalette Palette() const override { return bitmap_.Palette(); }
    void SetWidth(int) override;
    void SetHeight(int) override;
    void Draw(TBitmap& canvas, const TRect& rect) const override { canvas.StretchDraw(rect, bitmap_); }
    void AssignTo(TGraphic& dest) const override { dest.Assign(bitmap_); }
    void SaveToStream(TStream& stream) const override;
    const TBitmap& Bitmap() const { return bitmap_; }

protected:
    TBitmap bitmap_;
    std::vector<uint8_t> bytes_;
};

class TMetafile : public TRasterGraphic {
    VORLIX_GRAPHIC_CLASS();

public:
    // Raises EInvalidGraphic: metafiles cannot be rendered here.
    void LoadFromStream(TStream& stream) override;
};

class TIcon : public TRasterGraphic {
    VORLIX_GRAPHIC_CLASS();

public:
    // The first image of an icon file, with its own colours.
    void LoadFromStream(TStream& stream) override;
};
