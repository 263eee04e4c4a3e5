#pragma once
// How many threads the resamplers use, and the bands of rows they split
// their work into. Every output row is computed from read-only inputs and
// written once, so the bytes never depend on the number of threads.

#include <cstddef>
#include <cstdint>
#include <functional>

// 0 selects every core (the default); 1 keeps all work on the calling thread,
// which is the mode to measure single-thread speed in.
void SetResampleThreads(int count);
// The number of threads a call uses now, at least 1.
int ResampleThreads();

// The fewest output rows of rowBytes each worth handing to a thread: about
// 64 KiB of output keeps the hand-over cost negligible.
int32_t BandRowsFor(size_t rowBytes);

using BandBody = std::function<void(int32_t begin, int32_t end)>;

// Calls body(begin, end) on consecutive bands that together cover
// [0, count), in parallel on the pool, and returns when all are done. Bands
// hold at least minBand items. The first exception a band raises is
// rethrown here once every band has finished. A call from inside a band
// runs its bands on the calling thread.
void ParallelBands(int32_t count, const BandBody& body, int32_t minBand = 1);
