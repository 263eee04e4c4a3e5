// The area average. Its weight (column coverage * row coverage) >> 10 is
// the product itself wherever one of the two coverages is a whole 1024, so
// rows of whole coverage are summed first and weighted by the columns once;
// only the fractional rows (the first and last of a footprint) go through
// the floored products. Two special shapes skip the sums altogether: one
// tap per axis, a pixel copy, and at most two per axis, a vector blend.

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "platform/Bitmap.h"
#include "resample/Contributors.h"
#include "resample/FastAverageKernels.h"
#include "resample/FastDirectResamplers.h"
#include "resample/ResampleReference.h"
#include "resample/ResampleThreads.h"
#include "resample/SeparablePasses.h"

namespace {

using FastAverageKernels::kPadding;

constexpr int32_t kWhole = 1024;

struct Source {
    const std::vector<const uint8_t*>& Rows;
    int32_t Width;
};

// The largest coverage sum of any list of an axis.
uint64_t LargestSum(const AxisContributors& axis, int32_t count) {
    uint64_t largest = 0;
    for (int32_t i = 0; i < count; ++i) {
        uint64_t sum = 0;
        for (int32_t k = 0; k < axis.Count(i); ++k) sum += uint64_t(axis.List(i)[k].Weight);
        largest = std::max(largest, sum);
    }
    return largest;
}

bool SameList(const AxisContributors& axis, int32_t a, int32_t b) {
    return axis.Count(a) == axis.Count(b) &&
           std::equal(axis.List(a), axis.List(a) + axis.Count(a), axis.List(b),
                      [](const Contributor& l, const Contributor& r) { return l.Weight == r.Weight && l.Index == r.Index; });
}

// One tap per axis: the weight sum w of a pixel is a single product, its
// weighted sum w * p, so the pixel is p, or 0 where the product floors to 0.
void SingleTapAverage(const Source& source, const AxisContributors& columns, const AxisContributors& rowLists,
                      TBitmap& result) {
    const int32_t width = result.Width(), height = result.Height();
    std::vector<size_t> offsets(size_t(width), 0);
    std::vector<int32_t> covers(size_t(width), 0);
    int32_t smallest = kWhole;
    for (int32_t x = 0; x < width; ++x) {
        if (columns.Count(x) == 1) {
            offsets[size_t(x)] = 3 * size_t(columns.List(x)[0].Index);
            covers[size_t(x)] = columns.List(x)[0].Weight;
        }
        smallest = std::min(smallest, covers[size_t(x)]);
    }
    const size_t rowBytes = 3 * size_t(width);
    ParallelBands(
        height,
        [&](int32_t begin, int32_t end) {
            for (int32_t y = begin; y < end; ++y) {
                uint8_t* out = result.ScanLine(y);
                if (rowLists.Count(y) == 0) {
                    std::memset(out, 0, rowBytes);
                    continue;
                }
                if (y > begin && SameList(rowLists, y, y - 1)) {
                    std::memcpy(out, result.ScanLine(y - 1), rowBytes);
                    continue;
                }
                const Contributor row = rowLists.List(y)[0];
                FastDirect::GatherPixels(source.Rows[size_t(row.Index)], offsets.data(), width, out);
                if ((smallest * row.Weight) >> 10 != 0) continue;
                for (int32_t x = 0; x < width; ++x)
                    if ((covers[size_t(x)] * row.Weight) >> 10 == 0) std::memset(out + 3 * size_t(x), 0, 3);
            }
        },
        BandRowsFor(rowBytes));
}

// At most two taps per axis, as when enlarging: the source pixels of both
// column taps are gathered once per source row into output order, and each
// output row is a vector blend of those gathered rows.
class TwoTapAverage {
public:
    TwoTapAverage(const Source& source, const AxisContributors& columns, const AxisContributors& rowLists,
                  int32_t width)
        : source_(source), rowLists_(rowLists), bytes_(3 * size_t(width)) {
        offsets_[0].assign(size_t(width), 0);
        offsets_[1].assign(size_t(width), 0);
        covers_[0].assign(bytes_ + kPadding, 0);
        covers_[1].assign(bytes_ + kPadding, 0);
        for (size_t x = 0; x < size_t(width); ++x) {
            const auto count = static_cast<size_t>(columns.Count(int32_t(x)));
            const Contributor* list = columns.List(int32_t(x));
            for (size_t k = 0; k < count; ++k) {
                offsets_[k][x] = 3 * size_t(list[k].Index);
                std::fill_n(covers_[k].begin() + std::ptrdiff_t(3 * x), 3, uint32_t(list[k].Weight));
            }
            // A missing second tap reads the first with coverage 0.
            if (count == 1) offsets_[1][x] = offsets_[0][x];
        }
    }

    void Run(TBitmap& result) const {
        const int32_t height = result.Height();
        ParallelBands(
            height,
            [&](int32_t begin, int32_t end) {
                GatheredRows gathered(*this);
                for (int32_t y = begin; y < end; ++y) {
                    uint8_t* out = result.ScanLine(y);
                    const int32_t count = rowLists_.Count(y);
                    if (count == 0) {
                        std::memset(out, 0, bytes_);
                        continue;
                    }
                    if (y > begin && SameList(rowLists_, y, y - 1)) {
                        std::memcpy(out, result.ScanLine(y - 1), bytes_);
                        continue;
                    }
                    const Contributor* list = rowLists_.List(y);
                    const int32_t topRow = list[0].Index, bottomRow = count > 1 ? list[1].Index : topRow;
                    const Gathered& top = gathered.Get(topRow, bottomRow);
                    const Gathered& bottom = gathered.Get(bottomRow, topRow);
                    const FastAverageKernels::TwoTapRow row{covers_[0].data(),  covers_[1].data(),
                                                            top[0].data(),      top[1].data(),
                                                            bottom[0].data(),   bottom[1].data(),
                                                            uint32_t(list[0].Weight),
                                                            count > 1 ? uint32_t(list[1].Weight) : 0};
                    FastAverageKernels::AverageTwoTapRow(row, bytes_, out);
                }
            },
            BandRowsFor(bytes_));
    }

private:
    using Gathered = std::array<std::vector<uint8_t>, 2>;

    // The gathered taps of the (at most) two source rows in use.
    class GatheredRows {
    public:
        explicit GatheredRows(const TwoTapAverage& owner) : owner_(owner) {
            for (Slot& slot : slots_)
                for (std::vector<uint8_t>& taps : slot.Taps) taps.assign(owner.bytes_ + kPadding, 0);
        }

        const Gathered& Get(int32_t row, int32_t keep) {
            for (Slot& slot : slots_)
                if (slot.Row == row) return slot.Taps;
            Slot& slot = slots_[0].Row == keep ? slots_[1] : slots_[0];
            const int32_t width = static_cast<int32_t>(owner_.offsets_[0].size());
            for (size_t k = 0; k < 2; ++k)
                FastDirect::GatherPixels(owner_.source_.Rows[size_t(row)], owner_.offsets_[k].data(), width,
                                         slot.Taps[k].data());
            slot.Row = row;
            return slot.Taps;
        }

    private:
        struct Slot {
            int32_t Row = -1;
            Gathered Taps;
        };
        const TwoTapAverage& owner_;
        std::array<Slot, 2> slots_;
    };

    const Source& source_;
    const AxisContributors& rowLists_;
    size_t bytes_;
    std::array<std::vector<size_t>, 2> offsets_;
    std::array<std::vector<uint32_t>, 2> covers_;
};

template <typename Sum>
void SeparatedAverage(const Source& source, const AxisContributors& columns, const AxisContributors& rowLists,
                      TBitmap& result) {
    const int32_t width = result.Width(), height = result.Height();
    std::vector<uint64_t> coverSums(size_t(width), 0);
    for (int32_t x = 0; x < width; ++x)
        for (int32_t k = 0; k < columns.Count(x); ++k) coverSums[size_t(x)] += uint64_t(columns.List(x)[k].Weight);
    const FastAverageRows::ColumnLists columnLists{&columns, coverSums.data(), width};
    const size_t sourceBytes = 3 * size_t(source.Width);
    ParallelBands(
        height,
        [&](int32_t begin, int32_t end) {
            std::vector<uint32_t> wholeSums(sourceBytes + kPadding);
            std::vector<const uint8_t*> wholeRows, partRows;
            std::vector<int32_t> partCovers;
            for (int32_t y = begin; y < end; ++y) {
                wholeRows.clear();
                partRows.clear();
                partCovers.clear();
                for (int32_t i = 0; i < rowLists.Count(y); ++i) {
                    const Contributor& row = rowLists.List(y)[i];
                    if (row.Weight == kWhole) {
                        wholeRows.push_back(source.Rows[size_t(row.Index)]);
                    } else {
                        partRows.push_back(source.Rows[size_t(row.Index)]);
                        partCovers.push_back(row.Weight);
                    }
                }
                if (!wholeRows.empty())
                    FastAverageKernels::SumRows(wholeRows.data(), wholeRows.size(), sourceBytes, wholeSums.data());
                const FastAverageRows::RowSources rows{wholeSums.data(), uint32_t(wholeRows.size()), partRows.data(),
                                                       partCovers.data(), partRows.size()};
                uint8_t* out = result.ScanLine(y);
                if constexpr (sizeof(Sum) == 4) FastAverageKernels::AverageRow32(rows, columnLists, out);
                else FastAverageRows::AverageRow<uint64_t, FastAverageRows::Divide64>(rows, columnLists, out);
            }
        },
        BandRowsFor(sourceBytes));
}

}  // namespace

void FastAveragePixelResample(TBitmap& picture, int32_t width, int32_t height) {
    if (width > kMaxTabledWidth || picture.Width() > kMaxTabledWidth) {
        ResampleReference::AveragePixelResample(picture, width, height);
        return;
    }
    PrepareResample(picture, width, height);
    TBitmap result = TBitmap::ForOverwrite(width, height, pf24bit);
    const std::vector<const uint8_t*> rows = RowStarts(picture);
    const AxisContributors columns = BuildAverageContributors(picture.Width(), width);
    const AxisContributors rowLists = BuildAverageContributors(picture.Height(), height);
    const Source source{rows, picture.Width()};
    // A pixel's weight sum is at most the product of its two coverage sums
    // / 1024 and its weighted sums 255 times that.
    const uint64_t sumX = LargestSum(columns, width), sumY = LargestSum(rowLists, height);
    const bool fitsIn32 = sumX < (1u << 31) && sumY < (1u << 31) && sumX * sumY / 1024 * 255 < (uint64_t(1) << 32);
    if (columns.MaxCount <= 1 && rowLists.MaxCount <= 1) SingleTapAverage(source, columns, rowLists, result);
    else if (columns.MaxCount <= 2 && rowLists.MaxCount <= 2 && sumX * sumY / 1024 < 65536)
        TwoTapAverage(source, columns, rowLists, width).Run(result);
    else if (fitsIn32) SeparatedAverage<uint32_t>(source, columns, rowLists, result);
    else SeparatedAverage<uint64_t>(source, columns, rowLists, result);
    picture.Assign(std::move(result));
}
