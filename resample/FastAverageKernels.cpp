// The vector loops of the fast area average (see FastAverageKernels.h),
// once per Highway target; the dispatcher picks the best the CPU runs.

#include "resample/FastAverageKernels.h"

#include <cstring>

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "resample/FastAverageKernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

HWY_BEFORE_NAMESPACE();
namespace FastAverageKernels {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

using D32 = hn::ScalableTag<uint32_t>;
using DI32 = hn::RebindToSigned<D32>;
using DF32 = hn::RebindToFloat<D32>;
using D8 = hn::Rebind<uint8_t, D32>;
using V32 = hn::Vec<D32>;

void SumRowsImpl(const uint8_t* const* rows, size_t rowCount, size_t count, uint32_t* sums) {
    const D32 d;
    const D8 d8;
    const size_t n = hn::Lanes(d);
    // Four vectors per row visit: each source byte is loaded once and each
    // sum stored once, whatever the number of rows.
    for (size_t i = 0; i < count; i += 4 * n) {
        V32 s0 = hn::Zero(d), s1 = hn::Zero(d), s2 = hn::Zero(d), s3 = hn::Zero(d);
        for (size_t r = 0; r < rowCount; ++r) {
            const uint8_t* p = rows[r] + i;
            s0 = hn::Add(s0, hn::PromoteTo(d, hn::LoadU(d8, p)));
            s1 = hn::Add(s1, hn::PromoteTo(d, hn::LoadU(d8, p + n)));
            s2 = hn::Add(s2, hn::PromoteTo(d, hn::LoadU(d8, p + 2 * n)));
            s3 = hn::Add(s3, hn::PromoteTo(d, hn::LoadU(d8, p + 3 * n)));
        }
        hn::StoreU(s0, d, sums + i);
        hn::StoreU(s1, d, sums + i + n);
        hn::StoreU(s2, d, sums + i + 2 * n);
        hn::StoreU(s3, d, sums + i + 3 * n);
    }
}

// The weighted sum and weight sum of one row's two column taps.
HWY_INLINE void AddRow(const uint32_t* cover0, const uint32_t* cover1, const uint8_t* tap0, const uint8_t* tap1,
                       uint32_t rowCover, size_t i, V32& sum, V32& weight) {
    const D32 d;
    const D8 d8;
    const V32 cy = hn::Set(d, rowCover);
    const V32 w0 = hn::ShiftRight<10>(hn::Mul(hn::LoadU(d, cover0 + i), cy));
    const V32 w1 = hn::ShiftRight<10>(hn::Mul(hn::LoadU(d, cover1 + i), cy));
    sum = hn::Add(sum, hn::Add(hn::Mul(w0, hn::PromoteTo(d, hn::LoadU(d8, tap0 + i))),
                               hn::Mul(w1, hn::PromoteTo(d, hn::LoadU(d8, tap1 + i)))));
    weight = hn::Add(weight, hn::Add(w0, w1));
}

HWY_INLINE hn::Vec<D8> TwoTapPixels(const TwoTapRow& row, bool twoRows, size_t i) {
    const D32 d;
    const DI32 di;
    const DF32 df;
    const D8 d8;
    V32 sum = hn::Zero(d), weight = hn::Zero(d);
    AddRow(row.Cover0, row.Cover1, row.Top0, row.Top1, row.TopCover, i, sum, weight);
    if (twoRows) AddRow(row.Cover0, row.Cover1, row.Bottom0, row.Bottom1, row.BottomCover, i, sum, weight);
    // A weight of 0 comes with a sum of 0 and a weight of 1 means no
    // division: dividing by max(weight, 1) covers both.
    const auto quotient = hn::Div(hn::ConvertTo(df, hn::BitCast(di, sum)),
                                  hn::ConvertTo(df, hn::BitCast(di, hn::Max(weight, hn::Set(d, 1u)))));
    return hn::DemoteTo(d8, hn::ConvertTo(di, quotient));
}

void AverageTwoTapRowImpl(const TwoTapRow& row, size_t count, uint8_t* out) {
    const D8 d8;
    const size_t n = hn::Lanes(D32());
    const bool twoRows = row.BottomCover != 0;
    size_t i = 0;
    for (; i + n <= count; i += n) hn::StoreU(TwoTapPixels(row, twoRows, i), d8, out + i);
    if (i < count) {
        // The output row's neighbours may belong to another thread: the
        // last partial vector goes through a buffer.
        HWY_ALIGN uint8_t tail[HWY_MAX_BYTES];
        hn::StoreU(TwoTapPixels(row, twoRows, i), d8, tail);
        std::memcpy(out + i, tail, count - i);
    }
}

#if HWY_TARGET == HWY_SCALAR
void AverageRow32Impl(const FastAverageRows::RowSources& rows, const FastAverageRows::ColumnLists& columns,
                      uint8_t* out) {
    FastAverageRows::AverageRow<uint32_t, FastAverageRows::Reciprocal32>(rows, columns, out);
}
#else
void AverageRow32Impl(const FastAverageRows::RowSources& rows, const FastAverageRows::ColumnLists& columns,
                      uint8_t* out) {
    const hn::FixedTag<uint32_t, 4> d;
    const hn::FixedTag<uint8_t, 4> d8;
    FastAverageRows::Reciprocal32 divider;
    HWY_ALIGN uint32_t sums[4];
    for (int32_t x = 0; x < columns.Width; ++x) {
        const Contributor* list = columns.Lists->List(x);
        const int32_t count = columns.Lists->Count(x);
        // The fourth lane carries the next pixel's first byte and is dropped.
        auto sum = hn::Zero(d);
        uint32_t w = rows.WholeRows * uint32_t(columns.CoverSums[x]);
        if (rows.WholeRows != 0)
            for (int32_t k = 0; k < count; ++k)
                sum = hn::Add(sum, hn::Mul(hn::Set(d, uint32_t(list[k].Weight)),
                                           hn::LoadU(d, rows.WholeSums + 3 * size_t(list[k].Index))));
        for (size_t part = 0; part < rows.PartCount; ++part)
            for (int32_t k = 0; k < count; ++k) {
                const auto weight = uint32_t((list[k].Weight * rows.PartCovers[part]) >> 10);
                w += weight;
                const uint8_t* p = rows.PartRows[part] + 3 * size_t(list[k].Index);
                sum = hn::Add(sum, hn::Mul(hn::Set(d, weight), hn::PromoteTo(d, hn::LoadU(d8, p))));
            }
        hn::Store(sum, d, sums);
        FastAverageRows::StorePixel(divider, w, sums, out + 3 * size_t(x));
    }
}
#endif

}  // namespace HWY_NAMESPACE
}  // namespace FastAverageKernels
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace FastAverageKernels {

HWY_EXPORT(SumRowsImpl);
HWY_EXPORT(AverageTwoTapRowImpl);
HWY_EXPORT(AverageRow32Impl);

void SumRows(const uint8_t* const* rows, size_t rowCount, size_t count, uint32_t* sums) {
    HWY_DYNAMIC_DISPATCH(SumRowsImpl)(rows, rowCount, count, sums);
}

void AverageTwoTapRow(const TwoTapRow& row, size_t count, uint8_t* out) {
    HWY_DYNAMIC_DISPATCH(AverageTwoTapRowImpl)(row, count, out);
}

void AverageRow32(const FastAverageRows::RowSources& rows, const FastAverageRows::ColumnLists& columns,
                  uint8_t* out) {
    HWY_DYNAMIC_DISPATCH(AverageRow32Impl)(rows, columns, out);
}

}  // namespace FastAverageKernels
#endif  // HWY_ONCE
