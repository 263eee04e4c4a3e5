#pragma once
// Source pictures for the benchmarks: 24-bit and photograph-like (broad
// smooth shading, hard-edged shapes, a patch of fine texture and sensor-like
// grain), so the resamplers meet what they meet in real use. The same size
// and seed give the same bytes on every run (with one standard library: its
// random distributions may differ from another's).

#include <cstdint>

#include "platform/Bitmap.h"

TBitmap MakePhotoLikePicture(int width, int height, uint32_t seed = 1);

// The picture of this size with seed 1, made on first use and kept for the
// life of the program, so every benchmark of a size reads the same source.
const TBitmap& SharedPhotoLikePicture(int width, int height);
