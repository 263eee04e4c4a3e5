// Nearest neighbour: one gather of whole pixels per output row, and a copy
// of the row above where both take the same source row.

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/Bitmap.h"
#include "resample/Contributors.h"
#include "resample/FastDirectResamplers.h"
#include "resample/ResampleReference.h"
#include "resample/ResampleThreads.h"
#include "resample/SeparablePasses.h"


void FastNearestNeighborResample(TBitmap& picture, int32_t width, int32_t height) {
    if (width > kMaxTabledWidth) {
        ResampleReference::NearestNeighborResample(picture, width, height);
        return;
    }
    PrepareResample(picture, width, height);
    const int32_t sw = picture.Width(), sh = picture.Height();
    const int64_t stepX = Trunc(static_cast<long double>(sw) / width * 65536.0L + 0.5L);
    const int64_t stepY = Trunc(static_cast<long double>(sh) / height * 65536.0L + 0.5L);
    const int64_t offsetX = Trunc(static_cast<long double>(sw) / width * 128.0L + 0.5L);
    TBitmap result = TBitmap::ForOverwrite(width, height, pf24bit);
    const std::vector<const uint8_t*> rows = RowStarts(picture);
    std::vector<size_t> offsets(static_cast<size_t>(width));
    for (int32_t x = 0; x < width; ++x)
        offsets[size_t(x)] = 3 * static_cast<size_t>(std::min<int64_t>((x * stepX + offsetX) >> 16, sw - 1));
    const size_t rowBytes = 3 * static_cast<size_t>(width);
    ParallelBands(
        height,
        [&](int32_t begin, int32_t end) {
            int64_t previous = -1;
            for (int32_t y = begin; y < end; ++y) {
                const int64_t row = std::min<int64_t>(Trunc((y + 0.5L) * stepY + 0.5L) >> 16, sh - 1);
                uint8_t* out = result.ScanLine(y);
                // Enlarging repeats source rows; the previous output row of
                // this band already holds the bytes.
                if (row == previous) std::memcpy(out, result.ScanLine(y - 1), rowBytes);
                else FastDirect::GatherPixels(rows[size_t(row)], offsets.data(), width, out);
                previous = row;
            }
        },
        BandRowsFor(rowBytes));
    picture.Assign(std::move(result));
}
