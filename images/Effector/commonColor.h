#pragma once
// Picture helpers of the save side: the reduction to a 256-colour palette
// picture, the thumbnail box fit and the grey mask to 8 bits.

#include "platform/Bitmap.h"

// Makes picture 8 bits per pixel with a palette. Up to 256 distinct colours
// are kept exactly (palette in ascending order of green, red, blue, padded
// with black to 256 entries); more go through a JPEG at quality 100 decoded
// to 236 colours. An 8-bit picture stays as it is.
void ReduceTo256Colours(TBitmap& picture);

// When width x height does not fit into the box, scales it to fit (the
// longer side becomes the box side, the other is rounded to the nearest,
// ties to even) and returns true; otherwise leaves both and returns false.
bool FitWithin(int& width, int& height, int boxWidth, int boxHeight);

// A grey 24-bit picture to 8 bits: palette entry i is (i, i, i) and each
// pixel's index is its blue byte.
void GreyMaskTo8Bit(TBitmap& picture);
