#include "platform/Palettes.h"

#include <limits>

namespace {
TPalette MakeHalftone() {
    TPalette palette = StandardPalette16();
    static constexpr uint8_t kLevels[6] = {0, 51, 102, 153, 204, 255};
    for (uint8_t r : kLevels)
        for (uint8_t g : kLevels)
            for (uint8_t b : kLevels) palette.push_back({r, g, b, 0});
    // 24 greys that none of the entries above already holds.
    for (int i = 0; palette.size() < 256; ++i) {
        const auto v = static_cast<uint8_t>(5 + 10 * i);
        palette.push_back({v, v, v, 0});
    }
    return palette;
}
}  // namespace

const TPalette& MonochromePalette() {
    static const TPalette palette{{0, 0, 0, 0}, {255, 255, 255, 0}};
    return palette;
}

const TPalette& StandardPalette16() {
    static const TPalette palette{
        {0, 0, 0, 0},       {128, 0, 0, 0},   {0, 128, 0, 0},   {128, 128, 0, 0},
        {0, 0, 128, 0},     {128, 0, 128, 0}, {0, 128, 128, 0}, {192, 192, 192, 0},
        {128, 128, 128, 0}, {255, 0, 0, 0},   {0, 255, 0, 0},   {255, 255, 0, 0},
        {0, 0, 255, 0},     {255, 0, 255, 0}, {0, 255, 255, 0}, {255, 255, 255, 0}};
    return palette;
}

const TPalette& HalftonePalette256() {
    static const TPalette palette = MakeHalftone();
    return palette;
}

const TPalette& StandardPaletteForBits(int bitsPerPixel) {
    if (bitsPerPixel == 1) return MonochromePalette();
    if (bitsPerPixel == 4) return StandardPalette16();
    return HalftonePalette256();
}

TPalette GreyRampPalette() {
    TPalette palette(256);
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<uint8_t>(i);
        palette[static_cast<size_t>(i)] = {v, v, v, 0};
    }
    return palette;
}

uint8_t TNearestColour::Index(uint8_t red, uint8_t green, uint8_t blue) {
    const uint32_t key = uint32_t{red} | (uint32_t{green} << 8) | (uint32_t{blue} << 16);
    if (auto it = cache_.find(key); it != cache_.end()) return it->second;
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (size_t i = 0; i < palette_.size() && i < 256; ++i) {
        const int dr = palette_[i].Red - red;
        const int dg = palette_[i].Green - green;
        const int db = palette_[i].Blue - blue;
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<int>(i);
            if (distance == 0) break;
        }
    }
    cache_.emplace(key, static_cast<uint8_t>(best));
    return static_cast<uint8_t>(best);
}
