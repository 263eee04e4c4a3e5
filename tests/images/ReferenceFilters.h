#pragma once
// Straightforward versions of the pre-filters and named filters, written
// step by step from their descriptions with whole-picture work copies and
// no shortcuts. The tests hold the production routines to these byte for
// byte.

#include <array>
#include <cstdint>
#include <string>

#include "platform/Bitmap.h"

namespace reference {

void DCTHighCut(TBitmap& picture, int cut);

void ApplyNamedFilter(TBitmap& picture, const std::string& name);
void Convolve(TBitmap& picture, int radius, const int16_t* kernel, int32_t divisor, int32_t bias);

void EdgePreservingMedian(TBitmap& picture);
void ExtendBorder(TBitmap& picture, int n);
void LumaGrey(TBitmap& picture);
void ThresholdMask(TBitmap& picture, int threshold);
void AddBrightness(TBitmap& picture, int amount);
void Median3x3(TBitmap& picture);
void SetAlphaFromMask(TBitmap& target, TBitmap& mask);
void AlphaBlend(TBitmap& result, TBitmap& top, TBitmap& bottom, int opacity);

}  // namespace reference
