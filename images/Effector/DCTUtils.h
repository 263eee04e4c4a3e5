#pragma once
// The DCT high-frequency cut: the low-pass pre-filter run before an
// enlargement. Only the brightness detail of each 8 x 8 block is removed;
// colour rides along as per-pixel differences to the luma.

#include <cstdint>

class TBitmap;

// Keeps the cut x cut lowest frequencies of the luma of every 8 x 8 block
// and transforms back; the picture becomes 24-bit and keeps its size. A
// picture whose size is not a multiple of 8 is processed as if its last
// column and row were repeated up to the next multiple. Cut values outside
// 1..7 return at once, without any change.
void DCTHighCut(TBitmap& picture, int32_t cut);
