#pragma once
// Pictures the program makes itself.

#include "platform/Bitmap.h"

// The 512 x 512 grey zone plate of the hidden sample command:
// grey = Round(128 * sin(pi / 512 * ((x - 256)^2 + (y - 256)^2))) + 128.
TBitmap MakeZonePlate();

// The default picture, 768 x 512, 24-bit: a zone plate, line pairs of 1 to 4
// pixels in both directions, hard-edged colour bars with a diagonal edge,
// and smooth grey and colour gradients: what tells resamplers apart
// (aliasing, ringing, blur and banding).
TBitmap MakeTestCard();
