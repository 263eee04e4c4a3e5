#include "save/PNGGIFWriters.h"

#include "formats/GIFImage.h"
#include "formats/GLDPNGImage.h"
#include "images/Effector/commonColor.h"
#include "save/WriterGuard.h"

TColor BottomLeftColor(TBitmap& picture) {
    if (picture.Empty()) return 0xFFFFFF;
    picture.SetPixelFormat(pf24bit);
    const uint8_t* pixel = picture.ScanLine(picture.Height() - 1);
    return RGBColor(pixel[2], pixel[1], pixel[0]);
}

bool SaveAsPNG(TBitmap& picture, const std::string& path, bool interlaced, bool grayscale, bool reduce256,
               bool transparent) {
    return GuardWriter([&] {
        if (picture.PixelFormat() == pfDevice) picture.SetPixelFormat(pf24bit);
        if (reduce256 || transparent) ReduceTo256Colours(picture);
        if (transparent) picture.SetTransparent(true);
        TGLDPNG png;
        png.Assign(picture);
        // The encoder holds its own copy by now, so reading the colour may
        // widen the picture without changing what is written.
        if (transparent) png.WriteOptions().TransparentColor = BottomLeftColor(picture);
        png.WriteOptions().Interlaced = interlaced;
        png.WriteOptions().Grayscale = grayscale;
        png.SaveToFile(path);
    });
}

void SaveAsPNGWithAlpha(const TBitmap& picture, const std::string& path, bool interlaced, bool grayscale,
                        TBitmap& alpha) {
    TGLDPNG png;
    png.Assign(picture);
    png.WriteOptions().Interlaced = interlaced;
    png.WriteOptions().Grayscale = grayscale;
    GreyMaskTo8Bit(alpha);
    png.SetAlphaBitmap(alpha);
    png.SaveToFile(path);
}

bool SaveAsGIF(TBitmap& picture, const std::string& path, bool transparent) {
    return GuardWriter([&] {
        ReduceTo256Colours(picture);
        // The option alone decides: a picture read from a transparent GIF
        // carries the flag, and its bottom-left index need not be the one
        // that file made transparent.
        picture.SetTransparent(transparent);
        TGIFImage gif;
        gif.Assign(picture);
        gif.SaveToFile(path);
    });
}
