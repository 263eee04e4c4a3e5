#include "platform/ShellIcons.h"

#include <algorithm>
#include <mutex>

namespace {

std::mutex gMutex;
TAssociatedIconProvider gProvider;
std::optional<TColor> gButtonFace;

// The light grey of buttons on the common desktops.
constexpr TColor kDefaultButtonFace = 0xF0F0F0;

// A sheet with a folded corner, for files whose type has no icon here.
TBitmap PlainFileIcon() {
    TBitmap icon(32, 32, pf32bit);
    for (int y = 0; y < 32; ++y) {
        uint8_t* row = icon.ScanLine(y);
        for (int x = 0; x < 32; ++x) {
            uint8_t* p = row + 4 * x;
            const bool inside = x >= 6 && x <= 25 && y >= 2 && y <= 29 && !(x > 17 && y < 2 + (x - 17));
            if (!inside) continue;
            const bool edge = x == 6 || x == 25 || y == 2 || y == 29 || (x > 17 && y == 2 + (x - 17)) ||
                              (x == 17 && y <= 10) || (y == 10 && x >= 17);
            const uint8_t level = edge ? 96 : 255;
            p[0] = p[1] = p[2] = level;
            p[3] = 255;
        }
    }
    return icon;
}

}  // namespace

void SetAssociatedIconProvider(TAssociatedIconProvider provider) {
    std::lock_guard lock(gMutex);
    gProvider = std::move(provider);
}

TBitmap AssociatedIcon(const std::string& fileName) {
    TAssociatedIconProvider provider;
    {
        std::lock_guard lock(gMutex);
        provider = gProvider;
    }
    if (provider) {
        if (std::optional<TBitmap> icon = provider(fileName)) {
            if (icon->PixelFormat() != pf32bit) icon->SetPixelFormat(pf32bit);
            return std::move(*icon);
        }
    }
    return PlainFileIcon();
}

TColor ButtonFaceColour() {
    std::lock_guard lock(gMutex);
    return gButtonFace.value_or(kDefaultButtonFace);
}

void SetButtonFaceColour(std::optional<TColor> colour) {
    std::lock_guard lock(gMutex);
    gButtonFace = colour;
}

void DrawIcon(TBitmap& canvas, int x, int y, const TBitmap& icon) {
    if (canvas.PixelFormat() != pf24bit || icon.PixelFormat() != pf32bit) return;
    for (int iy = 0; iy < icon.Height(); ++iy) {
        const int cy = y + iy;
        if (cy < 0 || cy >= canvas.Height()) continue;
        const uint8_t* src = icon.ScanLine(iy);
        uint8_t* dst = canvas.ScanLine(cy);
        for (int ix = 0; ix < icon.Width(); ++ix) {
            const int cx = x + ix;
            if (cx < 0 || cx >= canvas.Width()) continue;
            const uint8_t* s = src + 4 * ix;
            uint8_t* d = dst + 3 * cx;
            const int a = s[3];
            for (int c = 0; c < 3; ++c) d[c] = uint8_t((s[c] * a + d[c] * (255 - a) + 127) / 255);
        }
    }
}
