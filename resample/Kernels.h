#pragma once
// Internal: how the kernel tables are filled. The public declarations are
// in ResampleEx.h.

#include <cstdint>

// Fills table[0..entries-1] with kernel(k / 256).
void TabulateKernel(int32_t (*kernel)(double), int32_t* table, int32_t entries);
