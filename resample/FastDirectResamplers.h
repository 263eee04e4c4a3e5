#pragma once
// Internal: the fast paths of the resamplers without a kernel table. Each
// gives the bytes of its reference in ResampleReference.h, with the same
// failures, and spreads its rows over the resampling threads.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

class TBitmap;

void FastAveragePixelResample(TBitmap& picture, int32_t width, int32_t height);
void FastNearestNeighborResample(TBitmap& picture, int32_t width, int32_t height);
void FastBilinearV2Resample(TBitmap& picture, int32_t width, int32_t height);
void FastLiftingBilinearResample(TBitmap& picture, int32_t width, int32_t height);

// What the four fast paths share.
namespace FastDirect {

// Values made from the (at most) two source rows the current output row
// needs: a row is made once and kept while the next output row shares it.
template <class T>
class TwoRowCache {
public:
    explicit TwoRowCache(size_t values) {
        for (Slot& slot : slots_) slot.Values.assign(values, T{});
    }

    // The values of `row`, made by make(row, values) unless held already;
    // the row `keep` is never the one replaced.
    template <class Make>
    const T* Get(int32_t row, int32_t keep, Make&& make) {
        for (Slot& slot : slots_)
            if (slot.Row == row) return slot.Values.data();
        Slot& slot = slots_[0].Row == keep ? slots_[1] : slots_[0];
        make(row, slot.Values.data());
        slot.Row = row;
        return slot.Values.data();
    }

private:
    struct Slot {
        int32_t Row = -1;
        std::vector<T> Values;
    };
    std::array<Slot, 2> slots_;
};
// out[3 i .. 3 i + 2] = row[offsets[i] .. offsets[i] + 2] for i < count.
// Each pixel is read as 4 bytes, so the byte after the row's last pixel is
// read too (the row padding or TBitmap::kReadSlack); exactly 3 * count
// bytes are written.
void GatherPixels(const uint8_t* row, const size_t* offsets, int32_t count, uint8_t* out);

}  // namespace FastDirect
