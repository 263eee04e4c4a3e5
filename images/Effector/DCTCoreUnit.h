#pragma once
// The floating-point 8 x 8 transforms of the high-frequency cut (the
// Arai-Agui-Nakajima factorisation) and the sample range-limit table.
//
// Blocks are 64 doubles, row-major: element 8 * row + column, or for
// coefficients 8 * v + u with v the vertical and u the horizontal frequency.

#include <cstdint>

// Entries of DCTRangeLimit, and the entry the inverse transform indexes from:
// DCTRangeLimit[DCTRangeLimitCentre + (x & 1023)] is x + 128 clamped to
// 0..255 for every x from -512 to 511.
inline constexpr int DCTRangeLimitEntries = 1408;
inline constexpr int DCTRangeLimitCentre = 384;

// The process-wide range-limit table: entries 0-255 are 0, 256-511 are
// 0..255, 512-895 are 255, 896-1279 are 0 and 1280-1407 are 0..127. Null
// before InitializeDCTCoreUnit and after FinalizeDCTCoreUnit.
extern const uint8_t* DCTRangeLimit;

// Start-up and shut-down of the unit: build and release DCTRangeLimit. A
// second initialisation, or a finalisation without one, does nothing.
void InitializeDCTCoreUnit();
void FinalizeDCTCoreUnit();

// Forward transform in place, rows first, then columns. The outputs are the
// DCT coefficients multiplied by 8 and by the scale factors of their row and
// column.
void ForwardDCTFloat(double block[64]);

// Inverse transform in place, columns first, then rows, of coefficients
// scaled as the forward output divided by 8. Every result is a byte value
// (0..255, held as a double): the output divided by 8, rounded, plus 128,
// clamped. Needs DCTRangeLimit.
void InverseDCTFloat(double block[64]);
