#pragma once
// Internal: the vector loops of the fast lifting bilinear, compiled for
// every instruction set Highway supports and chosen at run time.

#include <cstddef>
#include <cstdint>

namespace FastLiftingKernels {

// Elements past count the loops may read: arrays handed to them are this
// much longer.
inline constexpr size_t kPadding = 64;

// out[i] = first[i] * keep[i] + second[i] * fraction[i] for i < count,
// where keep[i] + fraction[i] = 256, so every value fits in 16 bits.
void BlendRow(const uint8_t* first, const uint8_t* second, const uint16_t* keep, const uint16_t* fraction,
              size_t count, uint16_t* out);

// out[i] = (upper[i] * (256 - fraction) + lower[i] * fraction) >> 16 for
// i < count, with fraction below 256. Writes exactly count bytes.
void MixRows(const uint16_t* upper, const uint16_t* lower, uint32_t fraction, size_t count, uint8_t* out);

}  // namespace FastLiftingKernels
