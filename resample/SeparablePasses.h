#pragma once
// Internal: the two passes every separable resampler shares, and the
// checks that come before any allocation.

#include <cstdint>
#include <functional>
#include <vector>

#include "resample/Contributors.h"

class TBitmap;

// Converts the picture to 24-bit and raises EZeroDivide for a zero target
// size or an empty picture (a negative size is refused as invalid).
void PrepareResample(TBitmap& picture, int32_t width, int32_t height);

// The start address of every row of a picture.
std::vector<const uint8_t*> RowStarts(const TBitmap& picture);

// The weighted sum of one output pixel: divided by the weight sum unless
// that is 0 or 1, truncated toward zero, clamped to a byte.
void AccumulatePixel(const Contributor* list, int32_t count, const uint8_t* const* sources, uint8_t* out);

using AxisBuilder = std::function<AxisContributors(int32_t sourceLength, int32_t targetLength)>;

// The reference passes: one pixel at a time, exactly as the arithmetic is
// defined. The fast passes are checked against them.
namespace ResampleReference {

// Horizontal pass: every source row through the column lists into an
// image of target width and source height.
void HorizontalPass(const TBitmap& source, TBitmap& intermediate, const AxisContributors& columns);
// Vertical pass: every column of the intermediate through the row lists.
void VerticalPass(const TBitmap& intermediate, TBitmap& result, const AxisContributors& rows);

// The whole kernel resampler around one list builder: checks, both passes
// and the handover of the 24-bit result to the picture. The lists of one
// axis are freed before the next axis is built.
void SeparableResample(TBitmap& picture, int32_t width, int32_t height, const AxisBuilder& build);

}  // namespace ResampleReference
