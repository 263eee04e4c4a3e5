#include "images/Effector/DCTUtils.h"

#include <algorithm>
#include <cstring>

#include "images/Effector/DCTCoreUnit.h"
#include "images/Effector/DCTTransforms.h"
#include "platform/Bitmap.h"

// Blocks do not overlap and each is read before it is written, so blocks
// are independent: they are processed four at a time, one block per lane of
// a vector, which repeats the scalar transform lane by lane. The pixels
// beyond the right and bottom edge are the edge pixels repeated, so they are
// read by clamping the coordinates instead of extending the picture; what
// the transform returns for them is dropped.

namespace {

constexpr int kLanes = 4;
using Lanes = double __attribute__((vector_size(kLanes * sizeof(double))));
using IntLanes = int32_t __attribute__((vector_size(kLanes * sizeof(int32_t))));

constexpr int kSpan = 8 * kLanes;  // pixel columns of one group of blocks

uint8_t Clamp(int32_t v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

struct BlockGroup {
    Lanes samples[64];  // element 8 * row + column of every lane's block
    // Per block row i and pixel k of the strip of kSpan columns: the red and
    // blue differences to the luma, then the filtered luma.
    int16_t redDiff[8][kSpan];
    int16_t blueDiff[8][kSpan];
    int16_t luma[8][kSpan];
};

// The strip of kSpan pixels of a row from column left on, with the last
// pixel repeated where the strip or the last lane's block reaches past the
// picture. Lanes past the last block repeat that block; their results are
// dropped.
void ReadStrip(const uint8_t* row, int left, int width, uint8_t strip[3 * kSpan]) {
    if (left + kSpan <= width) {
        std::memcpy(strip, row + 3 * left, 3 * kSpan);
        return;
    }
    const int lastBlockLeft = (width - 1) & ~7;
    for (int k = 0; k < kSpan; ++k) {
        const int blockLeft = std::min(left + (k & ~7), lastBlockLeft);
        const int x = std::min(blockLeft + (k & 7), width - 1);
        std::memcpy(strip + 3 * k, row + 3 * x, 3);
    }
}

void Gather(const uint8_t* const rows[8], int left, int width, BlockGroup& group) {
    for (int i = 0; i < 8; ++i) {
        uint8_t strip[3 * kSpan];
        ReadStrip(rows[i], left, width, strip);
        int16_t y[kSpan];
        for (int k = 0; k < kSpan; ++k) {
            const int32_t b = strip[3 * k], g = strip[3 * k + 1], r = strip[3 * k + 2];
            const auto l = static_cast<int16_t>((77 * r + 150 * g + 29 * b) >> 8);
            y[k] = l;
            group.redDiff[i][k] = static_cast<int16_t>(r - l);
            group.blueDiff[i][k] = static_cast<int16_t>(b - l);
        }
        for (int j = 0; j < 8; ++j)
            for (int lane = 0; lane < kLanes; ++lane)
                group.samples[8 * i + j][lane] = static_cast<double>(y[8 * lane + j] - 128);
    }
}

void Filter(BlockGroup& group, int cut, const uint8_t* range) {
    Lanes* s = group.samples;
    for (int row = 0; row < 8; ++row) dct_detail::ForwardPass(s + 8 * row, 1);
    // Columns of horizontal frequency cut and above are dropped entirely, so
    // their column pass can be skipped.
    for (int u = 0; u < cut; ++u) dct_detail::ForwardPass(s + u, 8);
    for (int v = 0; v < 8; ++v)
        for (int u = 0; u < 8; ++u) {
            Lanes& c = s[8 * v + u];
            if (u < cut && v < cut) c = c / 8.0;
            else c = Lanes{};
        }
    // An all-zero column comes back as zeros, so only the kept columns pass.
    Lanes work[64];
    for (int u = 0; u < cut; ++u) dct_detail::InversePass(s + u, 8, work + u, 8);
    for (int u = cut; u < 8; ++u)
        for (int i = 0; i < 8; ++i) work[8 * i + u] = Lanes{};
    for (int i = 0; i < 8; ++i) {
        Lanes values[8];
        dct_detail::InversePass(work + 8 * i, 1, values, 1);
        for (int j = 0; j < 8; ++j) {
            dct_detail::RoundHalfEven(values[j]);
            const IntLanes n = __builtin_convertvector(values[j], IntLanes);
            const IntLanes index = ((n + 4) >> 3) & 1023;
            for (int lane = 0; lane < kLanes; ++lane) group.luma[i][8 * lane + j] = range[index[lane]];
        }
    }
}

void Scatter(const BlockGroup& group, uint8_t* const rows[8], int rowCount, int left, int width) {
    const int count = std::min(kSpan, width - left);
    for (int i = 0; i < rowCount; ++i) {
        uint8_t strip[3 * kSpan];
        for (int k = 0; k < kSpan; ++k) {
            // |77 dR + 29 dB| stays below 2^15.
            const int16_t y = group.luma[i][k], dr = group.redDiff[i][k], db = group.blueDiff[i][k];
            const auto t = static_cast<int16_t>(77 * dr + 29 * db);
            strip[3 * k] = Clamp(y + db);
            strip[3 * k + 1] = Clamp(y - t / 150);
            strip[3 * k + 2] = Clamp(y + dr);
        }
        std::memcpy(rows[i] + 3 * left, strip, 3 * size_t(count));
    }
}

}  // namespace

void DCTHighCut(TBitmap& picture, int32_t cut) {
    if (cut < 1 || cut > 7) return;
    picture.SetPixelFormat(pf24bit);
    if (picture.Empty()) return;
    if (!DCTRangeLimit) InitializeDCTCoreUnit();
    const uint8_t* range = DCTRangeLimit + DCTRangeLimitCentre;

    const int width = picture.Width(), height = picture.Height();
    BlockGroup group;
    for (int top = 0; top < height; top += 8) {
        uint8_t* rows[8];
        for (int i = 0; i < 8; ++i) rows[i] = picture.ScanLine(std::min(top + i, height - 1));
        const int rowCount = std::min(8, height - top);
        for (int left = 0; left < width; left += kSpan) {
            Gather(rows, left, width, group);
            Filter(group, cut, range);
            Scatter(group, rows, rowCount, left, width);
        }
    }
}
