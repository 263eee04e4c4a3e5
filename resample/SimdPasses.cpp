// Compiled once per target through Highway's foreach_target.
#include "resample/SimdPasses.h"

#include <algorithm>
#include <cstring>

#undef HWY_TARGET_INCLUDE
#define HWY_TARGET_INCLUDE "resample/SimdPasses.cpp"
#include "hwy/foreach_target.h"  // IWYU pragma: keep
#include "hwy/highway.h"

HWY_BEFORE_NAMESPACE();
namespace vorlix_simd {
namespace HWY_NAMESPACE {

#if HWY_TARGET == HWY_SCALAR

// Processors without 128-bit vectors: the same arithmetic one lane at a time.
int32_t HorizontalBlocks() { return 1; }

void HorizontalRow(const HorizontalPlan& plan, const uint8_t* source, uint8_t* target) {
    for (int32_t x = 0; x < plan.Width; ++x) {
        const int16_t* weights = plan.Weights.data() + plan.GroupOffset[size_t(x)];
        const int32_t groups = static_cast<int32_t>(plan.GroupOffset[size_t(x) + 1] - plan.GroupOffset[size_t(x)]) / 16;
        const uint8_t* in = source + 3 * size_t(plan.Start[size_t(x)]);
        int32_t sums[3] = {0, 0, 0};
        for (int32_t g = 0; g < groups; ++g, weights += 16, in += 12)
            for (int32_t tap = 0; tap < 4; ++tap)
                for (int c = 0; c < 3; ++c)
                    sums[c] += weights[(tap / 2) * 8 + 2 * c + tap % 2] * in[3 * tap + c];
        ExactDivisor divisor{plan.DivisorLanes[4 * size_t(x)], plan.LimitLanes[4 * size_t(x)],
                             plan.ReciprocalLanes[4 * size_t(x)], false};
        for (int c = 0; c < 3; ++c) target[3 * x + c] = ExactQuotient(sums[c], divisor);
    }
}

void VerticalRow(const uint8_t* const* rows, const int32_t* weights, int32_t taps, const ExactDivisor& divisor,
                 uint8_t* target, size_t bytes) {
    for (size_t i = 0; i < bytes; ++i) {
        int32_t sum = 0;
        for (int32_t k = 0; k < taps; ++k) sum += weights[k] * rows[k][i];
        target[i] = ExactQuotient(sum, divisor);
    }
}

#else

namespace hn = hwy::HWY_NAMESPACE;

// The quotients of ExactDivision.h on whole vectors: the estimate alone
// where every divisor allows it, otherwise corrected by the remainder.
template <bool kCorrect, class D32, class V = hn::VFromD<D32>>
HWY_INLINE V Quotient(D32 d32, V sum, V divisor, V limit, hn::VFromD<hn::RebindToFloat<D32>> reciprocal) {
    const hn::RebindToFloat<D32> df;
    const V zero = hn::Zero(d32);
    const V t = hn::Min(hn::Max(sum, zero), limit);
    V q = hn::ConvertTo(d32, hn::Mul(hn::ConvertTo(df, t), reciprocal));
    if constexpr (kCorrect) {
        const V r = hn::Sub(t, hn::Mul(q, divisor));
        q = hn::Sub(q, hn::VecFromMask(d32, hn::Gt(r, hn::Sub(divisor, hn::Set(d32, 1)))));
        q = hn::Add(q, hn::VecFromMask(d32, hn::Lt(r, zero)));
    }
    return q;
}

#if HWY_TARGET <= HWY_AVX3 && HWY_ARCH_X86
constexpr int32_t kBlocks = 4;
#elif HWY_TARGET <= HWY_AVX2 && HWY_ARCH_X86
constexpr int32_t kBlocks = 2;
#else
constexpr int32_t kBlocks = 1;
#endif

int32_t HorizontalBlocks() { return kBlocks; }

// The 16 source bytes of one tap group of each block's pixel.
template <class D8>
HWY_INLINE hn::VFromD<D8> LoadGroups(D8 d8, const uint8_t* const* at) {
#if HWY_TARGET <= HWY_AVX3 && HWY_ARCH_X86
    const hn::Full128<uint8_t> d128;
    const hn::Full256<uint8_t> d256;
    return hn::Combine(d8, hn::Combine(d256, hn::LoadU(d128, at[3]), hn::LoadU(d128, at[2])),
                       hn::Combine(d256, hn::LoadU(d128, at[1]), hn::LoadU(d128, at[0])));
#elif HWY_TARGET <= HWY_AVX2 && HWY_ARCH_X86
    const hn::Full128<uint8_t> d128;
    return hn::Combine(d8, hn::LoadU(d128, at[1]), hn::LoadU(d128, at[0]));
#else
    return hn::LoadU(d8, at[0]);
#endif
}

// Shuffles of one group: int16 pairs (B0 B1 G0 G1 R0 R1 0 0) and the same
// for taps 2 and 3; 0x80 selects a zero byte.
alignas(16) constexpr uint8_t kPairsA[16] = {0, 0x80, 3, 0x80, 1, 0x80, 4,    0x80,
                                             2, 0x80, 5, 0x80, 0x80, 0x80, 0x80, 0x80};
alignas(16) constexpr uint8_t kPairsB[16] = {6, 0x80, 9, 0x80, 7, 0x80, 10,   0x80,
                                             8, 0x80, 11, 0x80, 0x80, 0x80, 0x80, 0x80};

template <bool kCorrect>
void HorizontalRowWith(const HorizontalPlan& plan, const uint8_t* source, uint8_t* target) {
    const hn::FixedTag<uint8_t, 16 * kBlocks> d8;
    const hn::FixedTag<int16_t, 8 * kBlocks> d16;
    const hn::FixedTag<int32_t, 4 * kBlocks> d32;
    const hn::FixedTag<float, 4 * kBlocks> df;
    const hn::Rebind<uint8_t, decltype(d32)> dBytes;
    const hn::Repartition<uint32_t, decltype(dBytes)> dPixels;
    const auto pairsA = hn::LoadDup128(d8, kPairsA);
    const auto pairsB = hn::LoadDup128(d8, kPairsB);

    // Locals, not the plan's fields: every byte store may alias the plan as
    // far as the compiler knows, and would make it reload them.
    const int32_t width = plan.Width;
    const int32_t pixelGroups = plan.PixelGroups();
    const int32_t* starts = plan.Start.data();
    const uint32_t* offsets = plan.GroupOffset.data();
    const int16_t* allWeights = plan.Weights.data();
    const int32_t* divisors = plan.DivisorLanes.data();
    const int32_t* limits = plan.LimitLanes.data();
    const float* reciprocals = plan.ReciprocalLanes.data();

    for (int32_t p = 0; p < pixelGroups; ++p) {
        const int16_t* weights = allWeights + offsets[p];
        const int16_t* end = allWeights + offsets[p + 1];
        const uint8_t* at[kBlocks];
        for (int32_t b = 0; b < kBlocks; ++b) at[b] = source + 3 * size_t(starts[p * kBlocks + b]);
        auto sum0 = hn::Zero(d32), sum1 = hn::Zero(d32);
        for (; weights != end; weights += 16 * kBlocks) {
            const auto bytes = LoadGroups(d8, at);
            const auto tapsA = hn::BitCast(d16, hn::TableLookupBytesOr0(bytes, pairsA));
            const auto tapsB = hn::BitCast(d16, hn::TableLookupBytesOr0(bytes, pairsB));
            sum0 = hn::ReorderWidenMulAccumulate(d32, tapsA, hn::LoadU(d16, weights), sum0, sum1);
            sum0 = hn::ReorderWidenMulAccumulate(d32, tapsB, hn::LoadU(d16, weights + 8 * kBlocks), sum0, sum1);
            for (int32_t k = 0; k < kBlocks; ++k) at[k] += 12;
        }
        const size_t lanes = size_t(p) * 4 * kBlocks;
        const auto q = Quotient<kCorrect>(d32, hn::RearrangeToOddPlusEven(sum0, sum1), hn::LoadU(d32, divisors + lanes),
                                hn::LoadU(d32, limits + lanes), hn::LoadU(df, reciprocals + lanes));
        // One 32-bit lane a pixel (B G R and a byte for the next pixel to
        // overwrite), stored left to right; the last one's fourth byte lands
        // past the row.
        const auto pixels = hn::BitCast(dPixels, hn::DemoteTo(dBytes, q));
        uint8_t* out = target + 3 * size_t(p) * kBlocks;
        const int32_t count = std::min<int32_t>(kBlocks, width - p * kBlocks);
        for (int32_t b = 0; b < count; ++b) {
            const uint32_t pixel = hn::ExtractLane(pixels, size_t(b));
            std::memcpy(out + 3 * b, &pixel, 4);
        }
    }
}

void HorizontalRow(const HorizontalPlan& plan, const uint8_t* source, uint8_t* target) {
    if (plan.MaxDivisor <= kMaxUncorrectedDivisor) HorizontalRowWith<false>(plan, source, target);
    else HorizontalRowWith<true>(plan, source, target);
}

template <bool kCorrect>
void VerticalRowWith(const uint8_t* const* rows, const int32_t* weights, int32_t taps, const ExactDivisor& divisor,
                     uint8_t* target, size_t bytes) {
    const hn::ScalableTag<int32_t> d32;
    const hn::Rebind<uint8_t, decltype(d32)> d8;
    const hn::RebindToFloat<decltype(d32)> df;
    const size_t n = hn::Lanes(d32);
    const auto dv = hn::Set(d32, divisor.Divisor);
    const auto limit = hn::Set(d32, divisor.Limit);
    const auto reciprocal = hn::Set(df, divisor.Reciprocal);
    size_t i = 0;
    // Four vectors per pass over the taps keep the row pointers' cost low.
    for (; i + 4 * n <= bytes; i += 4 * n) {
        auto s0 = hn::Zero(d32), s1 = hn::Zero(d32), s2 = hn::Zero(d32), s3 = hn::Zero(d32);
        for (int32_t k = 0; k < taps; ++k) {
            const uint8_t* row = rows[k] + i;
            const auto w = hn::Set(d32, weights[k]);
            s0 = hn::Add(s0, hn::Mul(hn::PromoteTo(d32, hn::LoadU(d8, row)), w));
            s1 = hn::Add(s1, hn::Mul(hn::PromoteTo(d32, hn::LoadU(d8, row + n)), w));
            s2 = hn::Add(s2, hn::Mul(hn::PromoteTo(d32, hn::LoadU(d8, row + 2 * n)), w));
            s3 = hn::Add(s3, hn::Mul(hn::PromoteTo(d32, hn::LoadU(d8, row + 3 * n)), w));
        }
        hn::StoreU(hn::DemoteTo(d8, Quotient<kCorrect>(d32, s0, dv, limit, reciprocal)), d8, target + i);
        hn::StoreU(hn::DemoteTo(d8, Quotient<kCorrect>(d32, s1, dv, limit, reciprocal)), d8, target + i + n);
        hn::StoreU(hn::DemoteTo(d8, Quotient<kCorrect>(d32, s2, dv, limit, reciprocal)), d8, target + i + 2 * n);
        hn::StoreU(hn::DemoteTo(d8, Quotient<kCorrect>(d32, s3, dv, limit, reciprocal)), d8, target + i + 3 * n);
    }
    // The tail: loads may run into the slack after the row, stores go
    // through a buffer so nothing past the row is written.
    alignas(64) uint8_t tail[HWY_MAX_BYTES / 4 + 1];
    for (; i < bytes; i += n) {
        auto s = hn::Zero(d32);
        for (int32_t k = 0; k < taps; ++k)
            s = hn::Add(s, hn::Mul(hn::PromoteTo(d32, hn::LoadU(d8, rows[k] + i)), hn::Set(d32, weights[k])));
        hn::StoreU(hn::DemoteTo(d8, Quotient<kCorrect>(d32, s, dv, limit, reciprocal)), d8, tail);
        std::memcpy(target + i, tail, std::min(n, bytes - i));
    }
}

void VerticalRow(const uint8_t* const* rows, const int32_t* weights, int32_t taps, const ExactDivisor& divisor,
                 uint8_t* target, size_t bytes) {
    if (divisor.Divisor <= kMaxUncorrectedDivisor) VerticalRowWith<false>(rows, weights, taps, divisor, target, bytes);
    else VerticalRowWith<true>(rows, weights, taps, divisor, target, bytes);
}

#endif

}  // namespace HWY_NAMESPACE
}  // namespace vorlix_simd
HWY_AFTER_NAMESPACE();

#if HWY_ONCE
namespace vorlix_simd {
HWY_EXPORT(HorizontalBlocks);
HWY_EXPORT(HorizontalRow);
HWY_EXPORT(VerticalRow);
}  // namespace vorlix_simd

int32_t SimdHorizontalBlocks() { return HWY_DYNAMIC_DISPATCH(vorlix_simd::HorizontalBlocks)(); }

void SimdHorizontalRow(const HorizontalPlan& plan, const uint8_t* source, uint8_t* target) {
    HWY_DYNAMIC_DISPATCH(vorlix_simd::HorizontalRow)(plan, source, target);
}

void SimdVerticalRow(const uint8_t* const* rows, const int32_t* weights, int32_t taps, const ExactDivisor& divisor,
                     uint8_t* target, size_t bytes) {
    HWY_DYNAMIC_DISPATCH(vorlix_simd::VerticalRow)(rows, weights, taps, divisor, target, bytes);
}
#endif
