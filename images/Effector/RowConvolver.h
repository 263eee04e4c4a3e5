#pragma once
// Integer convolution of a plane of pixels, one result row at a time.
//
// Each channel is convolved on its own with a (2r + 1) x (2r + 1) kernel;
// a neighbour outside the plane is the nearest edge pixel. A result value is
// ClampByte((sum div divisor) + bias) with div truncating toward zero.
//
// The source rows a result row needs are copied (with their edge pixels
// repeated) into a ring of 2r + 1 rows when they are first needed. Result
// row y needs source rows up to y + r only, and those above it are already
// in the ring, so the caller may write result row y back into the source
// plane before asking for row y + 1: the filter still reads only unfiltered
// pixels. Kernels whose sums stay within 16 bits are summed in 16-bit lanes
// and mapped to bytes through a table; the others in 32 bits with a
// division per value. Both give the same values.

#include <cstddef>
#include <cstdint>
#include <vector>

struct TPixelPlane {
    const uint8_t* Base = nullptr;
    ptrdiff_t Stride = 0;
    int Width = 0;
    int Height = 0;
    int Channels = 1;  // bytes per pixel
    const uint8_t* Row(int y) const { return Base + Stride * y; }
};

struct TIntegerKernel {
    int Radius = 1;
    const int16_t* Weights = nullptr;  // (2r + 1)^2, row-major from the top-left neighbour
    int32_t Divisor = 1;               // not 0
    int32_t Bias = 0;
};

class TRowConvolver {
public:
    TRowConvolver(const TPixelPlane& source, const TIntegerKernel& kernel);
    // Result row y (Width * Channels bytes); rows must be asked for in
    // increasing order. Valid until the next call.
    const uint8_t* Row(int y);

private:
    void LoadSourceRow(int y);
    const uint8_t* RingRow(int y) const;
    template <typename Sum>
    void Accumulate(int y, Sum* sums);

    TPixelPlane source_;
    int radius_;
    int taps_;  // 2r + 1
    std::vector<int16_t> weights_;
    int32_t divisor_;
    int32_t bias_;
    size_t rowBytes_;     // Width * Channels
    size_t paddedBytes_;  // (Width + 2r) * Channels
    std::vector<uint8_t> ring_;
    int loadedRows_ = 0;
    bool narrow_;
    int32_t minimumSum_ = 0;
    std::vector<uint8_t> table_;  // narrow: result byte of sum minimumSum_ + i
    std::vector<int16_t> narrowSums_;
    std::vector<int32_t> wideSums_;
    std::vector<uint8_t> result_;
};
