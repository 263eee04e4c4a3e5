#pragma once
// Internal: the vector loops of the fast area average, compiled for every
// instruction set Highway supports and chosen at run time.

#include <cstddef>
#include <cstdint>

#include "resample/FastAverageRows.h"

namespace FastAverageKernels {

// Elements past the end that the loops below may read or, in buffers of
// their own, write: arrays handed to them are this much longer than count.
inline constexpr size_t kPadding = 64;

// sums[i] = the sum of rows[r][i] over r < rowCount, for i < count.
// Reads up to kPadding - 1 bytes past count in every row (TBitmap rows
// have that much slack) and writes sums up to count + kPadding - 1.
void SumRows(const uint8_t* const* rows, size_t rowCount, size_t count, uint32_t* sums);

// One output row of an area average where every output pixel has at most
// two column taps and two row taps, given per output byte i: the source
// bytes of the column taps in the upper row (Top0[i], Top1[i]) and the
// lower row (Bottom0[i], Bottom1[i]) and the column coverages (Cover0[i],
// Cover1[i]); TopCover and BottomCover are the row coverages (BottomCover
// 0 for a single row). Every weight is (column * row coverage) >> 10.
struct TwoTapRow {
    const uint32_t* Cover0;
    const uint32_t* Cover1;
    const uint8_t* Top0;
    const uint8_t* Top1;
    const uint8_t* Bottom0;
    const uint8_t* Bottom1;
    uint32_t TopCover;
    uint32_t BottomCover;
};

// Writes exactly count bytes to out; reads the arrays of row up to
// count + kPadding - 1. The weight sum of a pixel must stay below 65536,
// which bounds the weighted sums below 2^24 so that single-precision
// division gives the exact integer quotient.
void AverageTwoTapRow(const TwoTapRow& row, size_t count, uint8_t* out);

// FastAverageRows::AverageRow for sums that fit in 32 bits, with the three
// channels of a pixel in one vector. Reads WholeSums up to kPadding
// elements past the last source byte and one byte past each part pixel.
void AverageRow32(const FastAverageRows::RowSources& rows, const FastAverageRows::ColumnLists& columns,
                  uint8_t* out);

}  // namespace FastAverageKernels
