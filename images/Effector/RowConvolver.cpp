#include "images/Effector/RowConvolver.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "images/Effector/WorkBuffer.h"

namespace {

uint8_t ClampToByte(int64_t v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

}  // namespace

TRowConvolver::TRowConvolver(const TPixelPlane& source, const TIntegerKernel& kernel)
    : source_(source),
      radius_(kernel.Radius),
      taps_(2 * kernel.Radius + 1),
      weights_(kernel.Weights, kernel.Weights + taps_ * taps_),
      divisor_(kernel.Divisor),
      bias_(kernel.Bias),
      rowBytes_(size_t(source.Width) * size_t(source.Channels)),
      paddedBytes_(size_t(source.Width + 2 * kernel.Radius) * size_t(source.Channels)) {
    int64_t negative = 0, positive = 0;
    for (int16_t w : weights_) (w < 0 ? negative : positive) += w;
    // Every partial sum lies between 255 * negative and 255 * positive.
    narrow_ = 255 * positive <= std::numeric_limits<int16_t>::max() &&
              255 * negative >= -std::numeric_limits<int16_t>::max();
    ring_ = MakeWorkBuffer<uint8_t>(paddedBytes_ * size_t(taps_));
    result_ = MakeWorkBuffer<uint8_t>(rowBytes_);
    if (narrow_) {
        minimumSum_ = static_cast<int32_t>(255 * negative);
        const int32_t maximumSum = static_cast<int32_t>(255 * positive);
        table_.resize(size_t(maximumSum - minimumSum_) + 1);
        for (int32_t s = minimumSum_; s <= maximumSum; ++s)
            table_[size_t(s - minimumSum_)] = ClampToByte(int64_t{s / divisor_} + bias_);
        narrowSums_ = MakeWorkBuffer<int16_t>(rowBytes_);
    } else {
        wideSums_ = MakeWorkBuffer<int32_t>(rowBytes_);
    }
}

void TRowConvolver::LoadSourceRow(int y) {
    uint8_t* to = ring_.data() + paddedBytes_ * size_t(y % taps_);
    const uint8_t* from = source_.Row(y);
    const size_t pixel = size_t(source_.Channels);
    const size_t border = size_t(radius_) * pixel;
    std::memcpy(to + border, from, rowBytes_);
    for (int i = 0; i < radius_; ++i) {
        std::memcpy(to + size_t(i) * pixel, from, pixel);
        std::memcpy(to + border + rowBytes_ + size_t(i) * pixel, from + rowBytes_ - pixel, pixel);
    }
}

const uint8_t* TRowConvolver::RingRow(int y) const {
    y = std::clamp(y, 0, source_.Height - 1);
    return ring_.data() + paddedBytes_ * size_t(y % taps_);
}

template <typename Sum>
void TRowConvolver::Accumulate(int y, Sum* __restrict sums) {
    const size_t n = rowBytes_;
    std::fill(sums, sums + n, Sum{0});
    for (int ky = 0; ky < taps_; ++ky) {
        const uint8_t* row = RingRow(y + ky - radius_);
        for (int kx = 0; kx < taps_; ++kx) {
            const int32_t w = weights_[size_t(ky * taps_ + kx)];
            if (w == 0) continue;  // adds nothing
            const uint8_t* __restrict from = row + size_t(kx) * size_t(source_.Channels);
            for (size_t i = 0; i < n; ++i) sums[i] = static_cast<Sum>(sums[i] + w * from[i]);
        }
    }
}

const uint8_t* TRowConvolver::Row(int y) {
    const int needed = std::min(source_.Height, y + radius_ + 1);
    for (; loadedRows_ < needed; ++loadedRows_) LoadSourceRow(loadedRows_);
    uint8_t* out = result_.data();
    if (narrow_) {
        int16_t* sums = narrowSums_.data();
        Accumulate(y, sums);
        const uint8_t* table = table_.data();
        const int32_t offset = minimumSum_;
        for (size_t i = 0; i < rowBytes_; ++i) out[i] = table[sums[i] - offset];
    } else {
        int32_t* sums = wideSums_.data();
        Accumulate(y, sums);
        for (size_t i = 0; i < rowBytes_; ++i) out[i] = ClampToByte(int64_t{sums[i] / divisor_} + bias_);
    }
    return out;
}
