#pragma once
// Rows of any pixel format to and from blue-green-red-x quads; the common
// ground of format conversion and drawing.

#include <cstdint>

#include "platform/Bitmap.h"

class TNearestColour;

// width pixels of row (in format) into 4 * width bytes of quads.
void DecodeRow(const uint8_t* row, int width, TPixelFormat format, const TPalette& palette, uint8_t* quads);
// quads into row, leaving the bits of other pixels alone; nearest maps
// colours to the row's palette.
void EncodeRow(const uint8_t* quads, int width, TPixelFormat format, TNearestColour* nearest, uint8_t* row);
// Only pixels left..right-1 of quads (indexed from the row's start) into
// row; every other pixel of the row keeps its bits.
void EncodeRowSpan(const uint8_t* quads, int left, int right, TPixelFormat format, TNearestColour* nearest,
                   uint8_t* row);
// The palette index of pixel x of an indexed row, and writing one.
unsigned RowIndex(const uint8_t* row, int x, TPixelFormat format);
void SetRowIndex(uint8_t* row, int x, TPixelFormat format, unsigned index);
