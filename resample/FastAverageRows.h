#pragma once
// Internal: one output row of the area average from the row sums of its
// whole-coverage source rows and its fractional rows, in scalar code: for
// sums that need 64 bits, and for processors without vector units. The
// vector form for 32-bit sums is in FastAverageKernels.h.

#include <cstddef>
#include <cstdint>

#include "resample/Contributors.h"

namespace FastAverageRows {

// The source side of one output row. WholeSums[i] is the sum of byte i of
// the WholeRows rows of coverage 1024 (unused when WholeRows is 0); each
// part is a row of fractional coverage PartCovers[p].
struct RowSources {
    const uint32_t* WholeSums;
    uint32_t WholeRows;
    const uint8_t* const* PartRows;
    const int32_t* PartCovers;
    size_t PartCount;
};

// The column lists and their coverage sums.
struct ColumnLists {
    const AxisContributors* Lists;
    const uint64_t* CoverSums;
    int32_t Width;
};

__extension__ typedef unsigned __int128 Uint128;

// floor(n / d) for n < 2^32 and 2 <= d < 2^32 by a multiplication: with
// m = floor(2^64 / d) + 1 (2^64 / d for a power of two), n * m / 2^64
// exceeds n / d by less than n / 2^64 < 1 / d, the least distance from a
// fractional quotient to the next integer. Below 2 there is no division.
class Reciprocal32 {
public:
    void Use(uint64_t divisor) {
        if (divisor == divisor_) return;
        divisor_ = divisor;
        magic_ = divisor > 1 ? UINT64_MAX / divisor + 1 : 0;
    }
    bool Divides() const { return divisor_ > 1; }
    // Only while Divides().
    uint64_t Quotient(uint64_t n) const { return uint64_t((Uint128(n) * magic_) >> 64); }

private:
    uint64_t divisor_ = 0, magic_ = 0;
};

class Divide64 {
public:
    void Use(uint64_t divisor) { divisor_ = divisor; }
    bool Divides() const { return divisor_ > 1; }
    uint64_t Quotient(uint64_t n) const { return n / divisor_; }

private:
    uint64_t divisor_ = 0;
};

// The bytes of one pixel from its weighted sums and weight sum. Weighted
// sums are at most 255 times the weight sum, so the quotients (and the
// sums themselves where the weight sum is 0 or 1) are bytes already.
template <typename Divider, typename Sum>
void StorePixel(Divider& divider, uint64_t weight, const Sum* sums, uint8_t* out) {
    divider.Use(weight);
    if (divider.Divides())
        for (size_t c = 0; c < 3; ++c) out[c] = uint8_t(divider.Quotient(sums[c]));
    else
        for (size_t c = 0; c < 3; ++c) out[c] = uint8_t(sums[c]);
}

// Every weight is (column coverage * row coverage) >> 10, which is the
// column coverage itself for the whole rows: their share is the column
// weights applied once to WholeSums.
template <typename Sum, typename Divider>
void AverageRow(const RowSources& rows, const ColumnLists& columns, uint8_t* out) {
    Divider divider;
    for (int32_t x = 0; x < columns.Width; ++x) {
        const Contributor* list = columns.Lists->List(x);
        const int32_t count = columns.Lists->Count(x);
        Sum w = Sum(rows.WholeRows) * Sum(columns.CoverSums[x]), sums[3] = {0, 0, 0};
        if (rows.WholeRows != 0)
            for (int32_t k = 0; k < count; ++k) {
                const Sum cover = Sum(list[k].Weight);
                const uint32_t* p = rows.WholeSums + 3 * size_t(list[k].Index);
                for (size_t c = 0; c < 3; ++c) sums[c] += cover * p[c];
            }
        for (size_t part = 0; part < rows.PartCount; ++part)
            for (int32_t k = 0; k < count; ++k) {
                const Sum weight = Sum((list[k].Weight * rows.PartCovers[part]) >> 10);
                const uint8_t* p = rows.PartRows[part] + 3 * size_t(list[k].Index);
                w += weight;
                for (size_t c = 0; c < 3; ++c) sums[c] += weight * p[c];
            }
        StorePixel(divider, w, sums, out + 3 * size_t(x));
    }
}

}  // namespace FastAverageRows
