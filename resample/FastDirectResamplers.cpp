#include "resample/FastDirectResamplers.h"

#include <algorithm>
#include <cstring>

#include "platform/Bitmap.h"

namespace FastDirect {

void GatherPixels(const uint8_t* row, const size_t* offsets, int32_t count, uint8_t* out) {
    if (count <= 0) return;
    // Whole 4-byte moves: the fourth byte lands where the next pixel is
    // written right after, except for the last pixel, which moves 3 bytes.
    const int32_t last = count - 1;
    int32_t i = 0;
    for (; i + 4 <= last; i += 4) {
        uint32_t a, b, c, d;
        std::memcpy(&a, row + offsets[i], 4);
        std::memcpy(&b, row + offsets[i + 1], 4);
        std::memcpy(&c, row + offsets[i + 2], 4);
        std::memcpy(&d, row + offsets[i + 3], 4);
        std::memcpy(out + 3 * size_t(i), &a, 4);
        std::memcpy(out + 3 * size_t(i) + 3, &b, 4);
        std::memcpy(out + 3 * size_t(i) + 6, &c, 4);
        std::memcpy(out + 3 * size_t(i) + 9, &d, 4);
    }
    for (; i < last; ++i) {
        uint32_t a;
        std::memcpy(&a, row + offsets[i], 4);
        std::memcpy(out + 3 * size_t(i), &a, 4);
    }
    std::memcpy(out + 3 * size_t(last), row + offsets[last], 3);
}

}  // namespace FastDirect
