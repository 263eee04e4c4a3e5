#pragma once
// Internal: the contributor lists of one axis rearranged for the vector
// passes.
//
// Horizontal pass: each list becomes a window of consecutive source pixels
// (zero weights fill the gaps, which adds nothing to a sum) in groups of
// four taps. One group is read as one 16-byte load at the window's pixel and
// two byte shuffles make the 16-bit pairs (B0 B1 G0 G1 R0 R1 0 0) and
// (B2 B3 G2 G3 R2 R3 0 0); a pairwise multiply-add with the weights
// (w0 w1 w0 w1 w0 w1 0 0) and (w2 w3 ...) leaves the channel sums in lanes 0
// to 2. A vector of Blocks 128-bit blocks works on Blocks output pixels at
// once, so their weights are interleaved block by block.

#include <cstdint>
#include <optional>
#include <vector>

#include "resample/Contributors.h"
#include "resample/ExactDivision.h"

struct HorizontalPlan {
    int32_t Blocks = 1;        // output pixels per vector
    int32_t Width = 0;         // output pixels (the plan is padded to a multiple of Blocks)
    int32_t SourceWidth = 0;
    int32_t MaxDivisor = 1;   // the largest of the lists' divisors
    std::vector<int32_t> Start;         // per output pixel: first pixel of its window
    std::vector<uint32_t> GroupOffset;  // per pixel group: first int16 of its weights; one more at the end
    std::vector<int16_t> Weights;       // per pixel group and tap group: A then B, Blocks * 8 each
    std::vector<int32_t> DivisorLanes;  // per output pixel: 4 lanes each, as the quotient reads them
    std::vector<int32_t> LimitLanes;
    std::vector<float> ReciprocalLanes;

    int32_t PixelGroups() const { return static_cast<int32_t>(GroupOffset.size()) - 1; }
};

// Nothing when a weight does not fit 16 bits or a weight sum is too large
// for the exact division; the caller then keeps to the reference pass.
std::optional<HorizontalPlan> PlanHorizontal(const AxisContributors& columns, int32_t sourceWidth, int32_t blocks);

// Vertical pass: each output row is a list of source rows with 32-bit
// weights (negated where the sum is negative) and its divisor.
struct VerticalPlan {
    AxisContributors Rows;
    std::vector<int32_t> Weights;  // of Rows.Entries, in the same order
    std::vector<ExactDivisor> Divisors;
    int32_t Span = 1;              // the most source rows one list spans

    const int32_t* WeightsOf(int32_t y) const { return Weights.data() + Rows.Start[size_t(y)]; }
};

std::optional<VerticalPlan> PlanVertical(AxisContributors rows);
