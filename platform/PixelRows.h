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
