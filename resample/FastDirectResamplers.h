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

// Their tables take some 20 to 120 bytes per output column (the average's
// row sums 12 per source column); beyond this width the reference, with
// its 12 bytes per column, is the safer choice.
inline constexpr int32_t kMaxTabledWidth = 1 << 21;

// The start address of every row of a picture.
std::vector<const uint8_t*> RowStarts(const TBitmap& picture);

// out[3 i .. 3 i + 2] = row[offsets[i] .. offsets[i] + 2] for i < count.
// Each pixel is read as 4 bytes, so the byte after the row's last pixel is
// read too (the row padding or TBitmap::kReadSlack); exactly 3 * count
// bytes are written.
void GatherPixels(const uint8_t* row, const size_t* offsets, int32_t count, uint8_t* out);

// The fewest output rows of rowBytes worth handing to a thread.
int32_t MinBandRows(size_t rowBytes);

}  // namespace FastDirect
