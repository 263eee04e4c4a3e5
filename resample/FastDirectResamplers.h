#pragma once
// Internal: the fast paths of the resamplers without a kernel table. Each
// gives the bytes of its reference in ResampleReference.h, with the same
// failures, and spreads its rows over the resampling threads.

#include <cstddef>
#include <cstdint>
#include <vector>

class TBitmap;

void FastAveragePixelResample(TBitmap& picture, int32_t width, int32_t height);
void FastNearestNeighborResample(TBitmap& picture, int32_t width, int32_t height);
void FastBilinearV2Resample(TBitmap& picture, int32_t width, int32_t height);
void FastLiftingBilinearResample(TBitmap& picture, int32_t width, int32_t height);

// What the four fast paths share.
namespace FastDirect {
// out[3 i .. 3 i + 2] = row[offsets[i] .. offsets[i] + 2] for i < count.
// Each pixel is read as 4 bytes, so the byte after the row's last pixel is
// read too (the row padding or TBitmap::kReadSlack); exactly 3 * count
// bytes are written.
void GatherPixels(const uint8_t* row, const size_t* offsets, int32_t count, uint8_t* out);

}  // namespace FastDirect
