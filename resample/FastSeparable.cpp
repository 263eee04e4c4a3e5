#include "resample/FastSeparable.h"

#include <algorithm>
#include <vector>

#include "platform/Bitmap.h"
#include "resample/Contributors.h"
#include "resample/PackedWeights.h"
#include "resample/ResampleThreads.h"
#include "resample/SimdPasses.h"

namespace {

// The intermediate rows one band of output rows needs, computed on demand.
// Row r lives in slot r % slots; the rows of any one output list span at
// most `slots` rows, so they never share a slot, and consecutive lists reuse
// most of them. The rows stay in cache, and no intermediate picture of the
// whole height is written and read back.
class IntermediateRows {
public:
    IntermediateRows(const HorizontalPlan& plan, const TBitmap& source, int32_t slots)
        : plan_(plan), source_(source), stride_(3 * size_t(plan.Width) + TBitmap::kReadSlack),
          rows_(size_t(slots), -1), pixels_(stride_ * size_t(slots)) {}

    const uint8_t* Row(int32_t r) {
        const size_t slot = size_t(r) % rows_.size();
        uint8_t* row = pixels_.data() + slot * stride_;
        if (rows_[slot] != r) {
            SimdHorizontalRow(plan_, source_.ScanLine(r), row);
            rows_[slot] = r;
        }
        return row;
    }

private:
    const HorizontalPlan& plan_;
    const TBitmap& source_;
    size_t stride_;
    std::vector<int32_t> rows_;
    std::vector<uint8_t> pixels_;
};

void FusedPasses(const TBitmap& source, TBitmap& result, const HorizontalPlan& columns, const VerticalPlan& rows) {
    const size_t bytes = 3 * size_t(result.Width());
    ParallelBands(
        result.Height(),
        [&](int32_t begin, int32_t end) {
            IntermediateRows intermediate(columns, source, rows.Span);
            std::vector<const uint8_t*> taps(size_t(rows.Rows.MaxCount));
            for (int32_t y = begin; y < end; ++y) {
                const Contributor* list = rows.Rows.List(y);
                const int32_t count = rows.Rows.Count(y);
                for (int32_t k = 0; k < count; ++k) taps[size_t(k)] = intermediate.Row(list[k].Index);
                SimdVerticalRow(taps.data(), rows.WeightsOf(y), count, rows.Divisors[size_t(y)], result.ScanLine(y),
                                bytes);
            }
        },
        BandRowsFor(bytes));
}

}  // namespace

void FastSeparableResample(TBitmap& picture, int32_t width, int32_t height, const AxisBuilder& build) {
    PrepareResample(picture, width, height);
    KernelStretch(picture.Width(), width);
    KernelStretch(picture.Height(), height);
    // First: the bitmap refuses sizes beyond the cap before any list is built.
    TBitmap result = TBitmap::ForOverwrite(width, height, pf24bit);
    std::optional<HorizontalPlan> columns;
    if (width <= kMaxTabledWidth)
        columns = PlanHorizontal(build(picture.Width(), width), picture.Width(), SimdHorizontalBlocks());
    std::optional<VerticalPlan> rows;
    if (columns) rows = PlanVertical(build(picture.Height(), height));
    if (!columns || !rows) {
        // Weights beyond the vector arithmetic's range, or a width whose
        // plan would be too large: the reference passes.
        result = TBitmap();  // the reference allocates its own
        ResampleReference::SeparableResample(picture, width, height, build);
        return;
    }
    FusedPasses(picture, result, *columns, *rows);
    picture.Assign(std::move(result));
}
