#pragma once
// The alpha plane of a PNG picture on its way into a saved file: whether a
// save keeps it, and bringing it to the size of the resampled picture with
// the algorithm the picture itself went through last.

#include <cstdint>

#include "platform/Bitmap.h"
#include "save/KestruneFileTypes.h"

// The plane is kept for a PNG save that neither reduces to 256 colours nor
// makes a colour transparent (both need a palette file without alpha).
bool TakesAlphaPath(bool hasAlpha, TFileType4Save type, const TSaveOptionValues& options);

// Resamples picture with the routine of the resample command numbered
// algorithm: 0 Lanczos 4, 1-10 the kernels from Lanczos 3 to bilinear, 11
// the average-pixel method, 12 nearest neighbour; any other number the
// average-pixel method.
void ResampleByAlgorithm(TBitmap& picture, int32_t width, int32_t height, uint8_t algorithm);

// scratch := alpha, resampled to width x height by algorithm when its size
// differs.
void PrepareAlphaPlane(const TBitmap& alpha, TBitmap& scratch, int32_t width, int32_t height, uint8_t algorithm);
