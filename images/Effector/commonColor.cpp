#include "images/Effector/commonColor.h"

#include <cmath>
#include <unordered_map>

#include "images/Effector/ColorSpace.h"
#include "platform/Exceptions.h"
#include "platform/Palettes.h"
#include "platform/SystemInfo.h"
#include "save/ZetJPEGImage.h"

namespace {

constexpr size_t kPaletteEntries = 256;

// Replaces picture by replacement, keeping its transparent flag.
void Replace(TBitmap& picture, TBitmap&& replacement) {
    const bool transparent = picture.Transparent();
    picture = std::move(replacement);
    picture.SetTransparent(transparent);
}

uint32_t Key(uint8_t red, uint8_t green, uint8_t blue) {
    return (uint32_t{red} << 16) | (uint32_t{green} << 8) | blue;
}

// picture is 24-bit with at most 256 colours.
void MakeExactPalettePicture(TBitmap& picture) {
    TColourPresence presence;
    presence.AddPicture(picture);
    TPalette palette = presence.GreenRedBlueOrder();
    // The listed colours are distinct, so a colour's place in the list is
    // the first palette entry equal to it (black, when present, comes
    // first, before the black padding).
    std::unordered_map<uint32_t, uint8_t> indexOf;
    for (size_t i = 0; i < palette.size(); ++i)
        indexOf.emplace(Key(palette[i].Red, palette[i].Green, palette[i].Blue), static_cast<uint8_t>(i));
    palette.resize(kPaletteEntries);

    TBitmap indexed(picture.Width(), picture.Height(), pf8bit);
    indexed.SetPalette(palette);
    for (int y = 0; y < picture.Height(); ++y) {
        const uint8_t* from = picture.ScanLine(y);
        uint8_t* to = indexed.ScanLine(y);
        for (int x = 0; x < picture.Width(); ++x, from += 3) to[x] = indexOf.at(Key(from[2], from[1], from[0]));
    }
    Replace(picture, std::move(indexed));
}

void QuantiseThroughJPEG(TBitmap& picture) {
    if (TBitmap::IsIndexed(picture.PixelFormat())) return;
    if (picture.PixelFormat() == pfDevice) {
        if (GetDisplayColourDepth() <= 8) return;
        picture.SetPixelFormat(pf24bit);
    }
    TJPEGImage jpeg;
    jpeg.SetQuality(100);
    jpeg.Assign(picture);
    jpeg.Compress();
    jpeg.SetPaletteOutput(true);
    TBitmap reduced;
    reduced.Assign(jpeg);
    Replace(picture, std::move(reduced));
}

}  // namespace

void ReduceTo256Colours(TBitmap& picture) {
    if (picture.PixelFormat() == pf8bit) return;
    if (CountColours(picture) <= static_cast<int32_t>(kPaletteEntries)) {
        picture.SetPixelFormat(pf24bit);
        MakeExactPalettePicture(picture);
        return;
    }
    QuantiseThroughJPEG(picture);
}

bool FitWithin(int& width, int& height, int boxWidth, int boxHeight) {
    if (boxWidth >= width && height <= boxHeight) return false;
    auto scaled = [](int side, int box, int longer) {
        if (longer == 0) throw EZeroDivide(PlatformMessages::ZeroDivide);
        const double exact = static_cast<double>(int64_t{side} * box) / longer;
        return static_cast<int>(std::nearbyint(exact));
    };
    if (width > height) {
        height = scaled(height, boxHeight, width);
        width = boxWidth;
    } else {
        width = scaled(width, boxWidth, height);
        height = boxHeight;
    }
    return true;
}

void GreyMaskTo8Bit(TBitmap& picture) {
    picture.SetPixelFormat(pf24bit);
    TBitmap grey(picture.Width(), picture.Height(), pf8bit);
    grey.SetPalette(GreyRampPalette());
    for (int y = 0; y < picture.Height(); ++y) {
        const uint8_t* from = picture.ScanLine(y);
        uint8_t* to = grey.ScanLine(y);
        for (int x = 0; x < picture.Width(); ++x) to[x] = from[3 * x];
    }
    Replace(picture, std::move(grey));
}
