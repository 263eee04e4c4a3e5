// The vector loops of the fast lifting bilinear (see FastLiftingKernels.h),
// once per Highway target; the dispatcher picks the best the CPU runs.

#include "resample/FastLiftingKernels.h"

#include <cstring>

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "resample/FastLiftingKernels.cpp"
#include <hwy/foreach_target.h>  // IWYU pragma: keep
#include <hwy/highway.h>

HWY_BEFORE_NAMESPACE();
namespace FastLiftingKernels {
namespace HWY_NAMESPACE {
namespace hn = hwy::HWY_NAMESPACE;

void BlendRowImpl(const uint8_t* first, const uint8_t* second, const uint16_t* keep, const uint16_t* fraction,
                  size_t count, uint16_t* out) {
    const hn::ScalableTag<uint16_t> d;
    const hn::Rebind<uint8_t, decltype(d)> d8;
    const size_t n = hn::Lanes(d);
    auto blend = [&](size_t i) HWY_ATTR {
        return hn::Add(hn::Mul(hn::PromoteTo(d, hn::LoadU(d8, first + i)), hn::LoadU(d, keep + i)),
                       hn::Mul(hn::PromoteTo(d, hn::LoadU(d8, second + i)), hn::LoadU(d, fraction + i)));
    };
    size_t i = 0;
    for (; i + n <= count; i += n) hn::StoreU(blend(i), d, out + i);
    if (i < count) {
        HWY_ALIGN uint16_t tail[HWY_MAX_BYTES / sizeof(uint16_t)];
        hn::StoreU(blend(i), d, tail);
        std::memcpy(out + i, tail, (count - i) * sizeof(uint16_t));
    }
}

void MixRowsImpl(const uint16_t* upper, const uint16_t* lower, uint32_t fraction, size_t count, uint8_t* out) {
    const hn::ScalableTag<uint32_t> d;
    const hn::RebindToSigned<decltype(d)> di;
    const hn::Rebind<uint16_t, decltype(d)> d16;
    const hn::Rebind<uint8_t, decltype(d)> d8;
    const size_t n = hn::Lanes(d);
    const auto keep = hn::Set(d, 256 - fraction), share = hn::Set(d, fraction);
    auto mix = [&](size_t i) HWY_ATTR {
        const auto sum = hn::Add(hn::Mul(hn::PromoteTo(d, hn::LoadU(d16, upper + i)), keep),
                                 hn::Mul(hn::PromoteTo(d, hn::LoadU(d16, lower + i)), share));
        return hn::DemoteTo(d8, hn::BitCast(di, hn::ShiftRight<16>(sum)));
    };
    size_t i = 0;
    for (; i + n <= count; i += n) hn::StoreU(mix(i), d8, out + i);
    if (i < count) {
        // The output row's neighbours may belong to another thread: the
        // last partial vector goes through a buffer.
        HWY_ALIGN uint8_t tail[HWY_MAX_BYTES];
        hn::StoreU(mix(i), d8, tail);
        std::memcpy(out + i, tail, count - i);
    }
}

}  // namespace HWY_NAMESPACE
}  // namespace FastLiftingKernels
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace FastLiftingKernels {

HWY_EXPORT(BlendRowImpl);
HWY_EXPORT(MixRowsImpl);

void BlendRow(const uint8_t* first, const uint8_t* second, const uint16_t* keep, const uint16_t* fraction,
              size_t count, uint16_t* out) {
    HWY_DYNAMIC_DISPATCH(BlendRowImpl)(first, second, keep, fraction, count, out);
}

void MixRows(const uint16_t* upper, const uint16_t* lower, uint32_t fraction, size_t count, uint8_t* out) {
    HWY_DYNAMIC_DISPATCH(MixRowsImpl)(upper, lower, fraction, count, out);
}

}  // namespace FastLiftingKernels
#endif  // HWY_ONCE
