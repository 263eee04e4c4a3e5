#pragma once
// Standard palettes and nearest-colour lookup for indexed bitmaps.

#include <cstdint>
#include <unordered_map>

#include "platform/Graphics.h"

// Black and white.
const TPalette& MonochromePalette();
// The 16 standard colours in their usual order (black, maroon, green, olive,
// navy, purple, teal, silver, grey, red, lime, yellow, blue, fuchsia, aqua,
// white).
const TPalette& StandardPalette16();
// A 256-entry halftone palette: the 16 standard colours, a 6x6x6 colour cube
// and a ramp of greys.
const TPalette& HalftonePalette256();
// The palette an indexed bitmap of that many bits uses while it has none:
// monochrome, the 16 standard colours, or the halftone palette.
const TPalette& StandardPaletteForBits(int bitsPerPixel);
// index i = (i, i, i) for i in 0..255.
TPalette GreyRampPalette();

// Nearest palette entry by squared RGB distance, the lowest index on ties.
// Remembers earlier answers, so mapping a whole picture stays cheap.
class TNearestColour {
public:
    explicit TNearestColour(const TPalette& palette) : palette_(palette) {}
    uint8_t Index(uint8_t red, uint8_t green, uint8_t blue);

private:
    const TPalette& palette_;
    std::unordered_map<uint32_t, uint8_t> cache_;
};
