#pragma once
// The two counts the run-length writers decide each packet by, over pixels
// of a fixed number of bytes compared as whole values.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

// Pixels before the first one that equals its right-hand neighbour; when
// no such pair comes, all but the last pixel (which is left for the next
// packet); 1 when only one pixel is left. Never more than limit, and only
// as far as limit is looked at, so long literals cost linear time.
inline size_t LiteralCount(const uint8_t* pixels, size_t n, size_t pixelBytes, size_t limit) {
    if (n <= 1) return n;
    const size_t last = std::min(n - 1, limit);
    for (size_t i = 0; i < last; ++i)
        if (std::memcmp(pixels + i * pixelBytes, pixels + (i + 1) * pixelBytes, pixelBytes) == 0) return i;
    return last;
}

// Consecutive pixels equal to the first (at least 1 when n > 0), at most limit.
inline size_t RepeatCount(const uint8_t* pixels, size_t n, size_t pixelBytes, size_t limit) {
    const size_t last = std::min(n, limit);
    size_t count = last ? 1 : 0;
    while (count < last && std::memcmp(pixels, pixels + count * pixelBytes, pixelBytes) == 0) ++count;
    return count;
}
