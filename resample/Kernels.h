#pragma once
// Internal: how the kernel tables are filled and handed to the passes. The
// public declarations are in ResampleEx.h.

#include <array>
#include <cstdint>
#include <vector>

#include "resample/ResampleEx.h"
#include "resample/SeparablePasses.h"

// Fills table[0..entries-1] with kernel(k / 256).
void TabulateKernel(int32_t (*kernel)(double), int32_t* table, int32_t entries);

// Runs the setup routine and returns a copy of the table it filled, so the
// passes only ever read a private table.
std::vector<int32_t> KernelTableSnapshot(KernelSetup setup);

// The kernel setups of menu algorithms 1 to 10, in menu order.
extern const std::array<KernelSetup, 10> MenuKernelSetups;

// The contributor builder of a table kernel: it runs the setup routine and
// keeps its own copy of the table, so the passes only ever read a private one.
AxisBuilder KernelBuilder(KernelSetup setup);

// Contributor builders of the Lanczos-4 and test resamplers. Each fills its
// private table first, as every call of those resamplers does.
AxisBuilder Lanczos4Builder();
AxisBuilder Test1Builder();
AxisBuilder Test2Builder();
