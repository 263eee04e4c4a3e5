#pragma once
// The one-dimensional passes of the 8 x 8 transforms, written once for any
// element type with double arithmetic: plain double for one block, or a
// vector of doubles that carries several blocks side by side. Every lane of
// a vector goes through exactly the operations of the scalar code, in the
// same order, so both give the same bits. Files that include this must be
// compiled with -ffp-contract=off: a fused multiply-add would round once
// where the transform rounds twice.

#include <cfloat>
#include <cstddef>

static_assert(FLT_EVAL_METHOD == 0, "the transforms need double arithmetic without excess precision");

namespace dct_detail {

// 8 elements at p[0], p[step], ... p[7 * step].
template <typename T>
inline void ForwardPass(T* p, std::ptrdiff_t step) {
    const T tmp0 = p[0 * step] + p[7 * step];
    const T tmp7 = p[0 * step] - p[7 * step];
    const T tmp1 = p[1 * step] + p[6 * step];
    const T tmp6 = p[1 * step] - p[6 * step];
    const T tmp2 = p[2 * step] + p[5 * step];
    const T tmp5 = p[2 * step] - p[5 * step];
    const T tmp3 = p[3 * step] + p[4 * step];
    const T tmp4 = p[3 * step] - p[4 * step];

    // Even part.
    T tmp10 = tmp0 + tmp3;
    const T tmp13 = tmp0 - tmp3;
    T tmp11 = tmp1 + tmp2;
    T tmp12 = tmp1 - tmp2;
    p[0 * step] = tmp10 + tmp11;
    p[4 * step] = tmp10 - tmp11;
    const T z1 = (tmp12 + tmp13) * 0.707106781;
    p[2 * step] = tmp13 + z1;
    p[6 * step] = tmp13 - z1;

    // Odd part.
    tmp10 = tmp4 + tmp5;
    tmp11 = tmp5 + tmp6;
    tmp12 = tmp6 + tmp7;
    const T z5 = (tmp10 - tmp12) * 0.382683433;
    const T z2 = 0.5411961 * tmp10 + z5;
    const T z4 = 1.306562965 * tmp12 + z5;
    const T z3 = tmp11 * 0.707106781;
    const T z11 = tmp7 + z3;
    const T z13 = tmp7 - z3;
    p[5 * step] = z13 + z2;
    p[3 * step] = z13 - z2;
    p[1 * step] = z11 + z4;
    p[7 * step] = z11 - z4;
}

// The inverse pass with the four-digit constants; results in out[0],
// out[step], ... (out may be p).
template <typename T>
inline void InversePass(const T* p, std::ptrdiff_t step, T* out, std::ptrdiff_t outStep) {
    // Even part.
    T tmp0 = p[0 * step];
    T tmp1 = p[2 * step];
    T tmp2 = p[4 * step];
    T tmp3 = p[6 * step];
    T tmp10 = tmp0 + tmp2;
    T tmp11 = tmp0 - tmp2;
    const T tmp13 = tmp1 + tmp3;
    T tmp12 = (tmp1 - tmp3) * 1.414 - tmp13;
    tmp0 = tmp10 + tmp13;
    tmp3 = tmp10 - tmp13;
    tmp1 = tmp11 + tmp12;
    tmp2 = tmp11 - tmp12;

    // Odd part.
    const T tmp4in = p[1 * step];
    const T tmp5in = p[3 * step];
    const T tmp6in = p[5 * step];
    const T tmp7in = p[7 * step];
    const T z13 = tmp6in + tmp5in;
    const T z10 = tmp6in - tmp5in;
    const T z11 = tmp4in + tmp7in;
    const T z12 = tmp4in - tmp7in;
    const T tmp7 = z11 + z13;
    tmp11 = (z11 - z13) * 1.414;
    const T z5 = (z10 + z12) * 1.847;
    tmp10 = 1.082 * z12 - z5;
    tmp12 = -2.613 * z10 + z5;
    const T tmp6 = tmp12 - tmp7;
    const T tmp5 = tmp11 - tmp6;
    const T tmp4 = tmp10 + tmp5;

    out[0 * outStep] = tmp0 + tmp7;
    out[7 * outStep] = tmp0 - tmp7;
    out[1 * outStep] = tmp1 + tmp6;
    out[6 * outStep] = tmp1 - tmp6;
    out[2 * outStep] = tmp2 + tmp5;
    out[5 * outStep] = tmp2 - tmp5;
    out[4 * outStep] = tmp3 + tmp4;
    out[3 * outStep] = tmp3 - tmp4;
}

// Round to nearest, ties to even, for |x| < 2^51: adding 1.5 * 2^52 leaves
// no fraction bits, so the addition itself rounds (the default rounding
// mode), and the subtraction is exact.
// (In place, so that no vector is passed by value across a call boundary.)
template <typename T>
inline void RoundHalfEven(T& x) {
    constexpr double kShift = 6755399441055744.0;
    x = (x + kShift) - kShift;
}

}  // namespace dct_detail
