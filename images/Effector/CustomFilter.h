#pragma once
// Named convolution filters, and the edge-preserving median pre-filter with
// the small bitmap operations it is built from. Every routine replaces the
// picture it is given in place and keeps no picture of its own. Pixels are
// processed as 24-bit blue, green, red unless a routine says otherwise.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class TBitmap;

// Named filters ------------------------------------------------------------

// Convolves the picture with the kernel, divisor and bias of the named
// filter. Names are compared exactly (case-sensitive). "ColorEmboss" and
// "EdgeEnhance" have no kernel; they, and every name that is not in the
// table, leave the picture unchanged, pixel format included.
void ApplyNamedFilter(TBitmap& picture, const std::string& name);

// Whether the name is in the filter table (also the two without a kernel).
bool IsNamedFilter(const std::string& name);
// The table's names, in table order.
std::vector<std::string> NamedFilterNames();

// Convolution with a 3 x 3 or 5 x 5 kernel (row-major, starting at the
// top-left neighbour): every channel value becomes
// ClampByte((sum div divisor) + bias), div truncating toward zero, with the
// neighbours outside the picture taken from the nearest edge pixel. The
// picture becomes 24-bit. A divisor of 0 raises EZeroDivide before anything
// changes.
void Convolve3x3(TBitmap& picture, const std::array<int16_t, 9>& kernel, int32_t divisor, int32_t bias);
void Convolve5x5(TBitmap& picture, const std::array<int16_t, 25>& kernel, int32_t divisor, int32_t bias);

// Edge-preserving median ---------------------------------------------------

// Blends the picture with its 3 x 3 luma median through an edge mask: near
// edges the picture stays, elsewhere an even mix of picture and median
// remains. On return the picture is 32-bit of the same size; its fourth
// bytes are not written (a 32-bit picture keeps its own, any other starts
// from 0).
void EdgePreservingMedian(TBitmap& picture);

// The building blocks, in the order the median uses them. Luma is
// (77 R + 150 G + 29 B) >> 8.

// Adds a border of n pixels (n >= 1) on every side, each border pixel
// repeating the nearest edge pixel. The picture becomes 24-bit; an empty
// picture, or n < 1, only converts.
void ExtendBorder(TBitmap& picture, int32_t n);
// Sets red, green and blue of every pixel to its luma; 24-bit.
void LumaGrey(TBitmap& picture);
// White where Floor((11 B + 59 G + 30 R) / 100 + 0.5) > threshold (>= 255
// for a threshold of 255), black elsewhere; 24-bit.
void ThresholdMask(TBitmap& picture, int32_t threshold);
// Adds amount to every channel, clamped to 0..255; 24-bit. Amounts of 0 or
// outside -255..255 do nothing, not even the conversion.
void AddBrightness(TBitmap& picture, int32_t amount);
// Every pixel becomes the pixel of its 3 x 3 neighbourhood (edge pixels
// repeated) with the fifth largest luma; among equal lumas the one gathered
// first (row by row, left to right) ranks higher. 24-bit.
void Median3x3(TBitmap& picture);
// Only for a 32-bit target: its fourth bytes become the mask's blue bytes
// (the mask is made 24-bit first). Pixels outside either picture are left.
void SetAlphaFromMask(TBitmap& target, TBitmap& mask);
// Only when top and bottom are both 32-bit: result becomes 32-bit with
// top's size, and its first three bytes
// bottom + floor((top - bottom) * c / 256) with c = (opacity * top's fourth
// byte) >> 8, clamped to 0..255 (which only opacities beyond 256 can need).
// Result's fourth bytes are not written; pixels outside bottom are left.
void AlphaBlend(TBitmap& result, const TBitmap& top, const TBitmap& bottom, int32_t opacity);
