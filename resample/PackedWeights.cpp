#include "resample/PackedWeights.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace {

constexpr int32_t kTapsPerGroup = 4;
constexpr int32_t kLanesPerHalf = 8;  // int16 lanes of one block

struct Window {
    int32_t First = 0;
    int32_t Length = 0;  // taps from First to the last contributor
};

Window WindowOf(const AxisContributors& axis, int32_t i) {
    const int32_t count = axis.Count(i);
    if (count == 0) return {};
    const Contributor* list = axis.List(i);
    return {list[0].Index, list[count - 1].Index - list[0].Index + 1};
}

// Sums of 8-bit samples stay within 32 bits whatever the samples are.
bool SumsFit(const AxisContributors& axis, int32_t i) {
    int64_t magnitude = 0;
    for (int32_t k = 0; k < axis.Count(i); ++k) magnitude += std::abs(int64_t{axis.List(i)[k].Weight});
    return magnitude * 255 <= std::numeric_limits<int32_t>::max();
}

int32_t TapGroups(int32_t taps) { return (taps + kTapsPerGroup - 1) / kTapsPerGroup; }

}  // namespace

std::optional<HorizontalPlan> PlanHorizontal(const AxisContributors& columns, int32_t sourceWidth, int32_t blocks) {
    HorizontalPlan plan;
    plan.Blocks = blocks;
    plan.SourceWidth = sourceWidth;
    plan.Width = static_cast<int32_t>(columns.Start.size()) - 1;
    const int32_t pixelGroups = (plan.Width + blocks - 1) / blocks;
    const int32_t padded = pixelGroups * blocks;
    plan.Start.assign(size_t(padded), 0);
    plan.DivisorLanes.assign(size_t(padded) * 4, 1);
    plan.LimitLanes.assign(size_t(padded) * 4, 255);
    plan.ReciprocalLanes.assign(size_t(padded) * 4, 1.0f);
    plan.GroupOffset.reserve(size_t(pixelGroups) + 1);

    for (int32_t p = 0; p < pixelGroups; ++p) {
        // Padding pixels past the last one repeat it; their results are dropped.
        auto pixel = [&](int32_t b) { return std::min(p * blocks + b, plan.Width - 1); };
        int32_t groups = 0;
        for (int32_t b = 0; b < blocks; ++b) groups = std::max(groups, TapGroups(WindowOf(columns, pixel(b)).Length));
        plan.GroupOffset.push_back(static_cast<uint32_t>(plan.Weights.size()));
        const size_t base = plan.Weights.size();
        plan.Weights.resize(base + size_t(groups) * 2 * size_t(blocks) * kLanesPerHalf, 0);
        for (int32_t b = 0; b < blocks; ++b) {
            const int32_t x = pixel(b);
            const Window window = WindowOf(columns, x);
            // A window moved left (over zero weights) keeps every load of
            // the group within 13 bytes past the row's end, whatever the
            // other pixels of the group need.
            const int32_t start = std::min(window.First, std::max(0, sourceWidth + 3 - kTapsPerGroup * groups));
            plan.Start[size_t(p * blocks + b)] = start;
            int64_t sum = 0;
            for (int32_t k = 0; k < columns.Count(x); ++k) sum += columns.List(x)[k].Weight;
            const std::optional<ExactDivisor> divisor = MakeExactDivisor(sum);
            if (!divisor || !SumsFit(columns, x)) return std::nullopt;
            plan.MaxDivisor = std::max(plan.MaxDivisor, divisor->Divisor);
            for (int32_t k = 0; k < columns.Count(x); ++k) {
                const Contributor& c = columns.List(x)[k];
                const int32_t weight = divisor->NegateWeights ? -c.Weight : c.Weight;
                if (weight < std::numeric_limits<int16_t>::min() || weight > std::numeric_limits<int16_t>::max())
                    return std::nullopt;
                const int32_t tap = c.Index - start;
                const int32_t group = tap / kTapsPerGroup, inGroup = tap % kTapsPerGroup;
                // A holds taps 0 and 1 of a group, B taps 2 and 3; within a
                // half, pair (even, odd) repeats for B, G and R.
                const size_t half = base + (size_t(group) * 2 + size_t(inGroup / 2)) * size_t(blocks) * kLanesPerHalf +
                                    size_t(b) * kLanesPerHalf;
                for (int channel = 0; channel < 3; ++channel)
                    plan.Weights[half + size_t(2 * channel + inGroup % 2)] = static_cast<int16_t>(weight);
            }
            for (int lane = 0; lane < 4; ++lane) {
                const size_t at = size_t(p * blocks + b) * 4 + size_t(lane);
                plan.DivisorLanes[at] = divisor->Divisor;
                plan.LimitLanes[at] = divisor->Limit;
                plan.ReciprocalLanes[at] = divisor->Reciprocal;
            }
        }
    }
    plan.GroupOffset.push_back(static_cast<uint32_t>(plan.Weights.size()));
    return plan;
}

std::optional<VerticalPlan> PlanVertical(AxisContributors rows) {
    VerticalPlan plan;
    const int32_t count = static_cast<int32_t>(rows.Start.size()) - 1;
    plan.Divisors.reserve(size_t(count));
    plan.Weights.reserve(rows.Entries.size());
    for (int32_t y = 0; y < count; ++y) {
        const Contributor* list = rows.List(y);
        int64_t sum = 0;
        for (int32_t k = 0; k < rows.Count(y); ++k) sum += list[k].Weight;
        const std::optional<ExactDivisor> divisor = MakeExactDivisor(sum);
        if (!divisor || !SumsFit(rows, y)) return std::nullopt;
        for (int32_t k = 0; k < rows.Count(y); ++k)
            plan.Weights.push_back(divisor->NegateWeights ? -list[k].Weight : list[k].Weight);
        if (rows.Count(y) > 0) plan.Span = std::max(plan.Span, list[rows.Count(y) - 1].Index - list[0].Index + 1);
        plan.Divisors.push_back(*divisor);
    }
    plan.Rows = std::move(rows);
    return plan;
}
