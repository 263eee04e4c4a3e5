#pragma once
// Which colours a picture uses.

#include <bitset>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/Bitmap.h"

// For every (red, green) pair a set of 256 bits, one per blue value,
// created when the pair first occurs (2 MB of bits at most).
class TColourPresence {
public:
    TColourPresence();
    void Add(uint8_t red, uint8_t green, uint8_t blue);
    bool Contains(uint8_t red, uint8_t green, uint8_t blue) const;
    // Every pixel of a 24-bit picture.
    void AddPicture(const TBitmap& picture);
    int32_t Count() const;
    // The present colours in ascending order of green, then red, then blue.
    TPalette GreenRedBlueOrder() const;

private:
    using BlueSet = std::bitset<256>;
    // Indexed green * 256 + red, so index order is the listing order.
    std::vector<std::unique_ptr<BlueSet>> sets_;
};

// The number of distinct colours; the picture itself is not changed.
int32_t CountColours(const TBitmap& picture);
