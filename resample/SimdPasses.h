#pragma once
// Internal: the vector loops of the separable passes, compiled for every
// instruction set Highway targets here and chosen at run time. Every target
// gives the same bytes.

#include <cstddef>
#include <cstdint>

#include "resample/ExactDivision.h"
#include "resample/PackedWeights.h"

// Output pixels per vector of the horizontal loop on this processor: the
// Blocks value a HorizontalPlan for SimdHorizontalRow must have.
int32_t SimdHorizontalBlocks();

// One row through the plan: source holds plan.SourceWidth pixels (followed
// by readable slack), target receives plan.Width pixels and must have one
// writable byte after them, which is left undefined.
void SimdHorizontalRow(const HorizontalPlan& plan, const uint8_t* source, uint8_t* target);

// One output row of the vertical pass over bytes: target[i] is the quotient
// of the sum over k of weights[k] * rows[k][i], for i < bytes.
void SimdVerticalRow(const uint8_t* const* rows, const int32_t* weights, int32_t taps, const ExactDivisor& divisor,
                     uint8_t* target, size_t bytes);
