#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "resample/ResampleEx.h"
#include "resample/ResampleReference.h"
#include "support/TestPictures.h"

using testing_support::PixelBytes;
using testing_support::RandomBitmap;

namespace {

// A one-row picture whose blue bytes are the given values (green and red 0).
TBitmap Row(const std::vector<uint8_t>& values) {
    TBitmap bitmap(static_cast<int>(values.size()), 1, pf24bit);
    for (size_t x = 0; x < values.size(); ++x) bitmap.ScanLine(0)[3 * x] = values[x];
    return bitmap;
}

std::vector<uint8_t> Blues(const TBitmap& bitmap, int y = 0) {
    std::vector<uint8_t> values;
    for (int x = 0; x < bitmap.Width(); ++x) values.push_back(bitmap.ScanLine(y)[3 * x]);
    return values;
}

std::vector<uint8_t> RunOnRow(ResampleRoutine routine, const std::vector<uint8_t>& values, int32_t width) {
    TBitmap picture = Row(values);
    routine(picture, width, 1);
    return Blues(picture);
}

// Labels each pixel with its column (blue) and row (green), to see which
// source pixel a target pixel copies.
TBitmap Coordinates(int w, int h) {
    TBitmap bitmap(w, h, pf24bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            bitmap.ScanLine(y)[3 * x] = uint8_t(x);
            bitmap.ScanLine(y)[3 * x + 1] = uint8_t(y);
        }
    return bitmap;
}

}  // namespace

TEST(AveragePixelResample, BoxMeansTruncated) {
    TBitmap block(2, 2, pf24bit);
    block.ScanLine(1)[3] = 1;  // values 0, 0, 0, 1
    block.ScanLine(0)[1] = 3;
    block.ScanLine(1)[4] = 2;  // green 3, 0, 0, 2
    AveragePixelResample(block, 1, 1);
    EXPECT_EQ(block.ScanLine(0)[0], 0);
    EXPECT_EQ(block.ScanLine(0)[1], 1);
    EXPECT_EQ(RunOnRow(AveragePixelResample, {10, 40, 70}, 2), (std::vector<uint8_t>{20, 60}));  // 3 -> 2
    EXPECT_EQ(RunOnRow(AveragePixelResample, {10, 40}, 4), (std::vector<uint8_t>{10, 10, 40, 40}));
    EXPECT_EQ(RunOnRow(AveragePixelResample, {10, 40}, 3), (std::vector<uint8_t>{10, (341 * 10 + 342 * 40) / 683, 40}));
    const TBitmap source = RandomBitmap(7, 5, 1);
    TBitmap same = source;
    AveragePixelResample(same, 7, 5);
    EXPECT_EQ(PixelBytes(same), PixelBytes(source));
}

TEST(AveragePixelResample, LargeReductionsDoNotOverflow) {
    // 200 x 200 white pixels into one: 40000 * 1024 * 255 needs more than 32 bits.
    TBitmap white(200, 200, pf24bit);
    white.FillRect(Rect(0, 0, 200, 200), clWhite);
    AveragePixelResample(white, 1, 1);
    EXPECT_EQ(white.Pixel(0, 0), clWhite);
}

TEST(NearestNeighborResample, ColumnsFromTheLeftEdgeRowsFromTheCentre) {
    TBitmap up = Coordinates(2, 2);
    NearestNeighborResample(up, 4, 4);
    EXPECT_EQ(Blues(up), (std::vector<uint8_t>{0, 0, 1, 1}));
    for (int y = 0; y < 4; ++y) EXPECT_EQ(up.ScanLine(y)[1], y / 2);
    TBitmap down = Coordinates(4, 4);
    NearestNeighborResample(down, 2, 2);
    EXPECT_EQ(Blues(down), (std::vector<uint8_t>{0, 2}));
    EXPECT_EQ(down.ScanLine(0)[1], 1);
    EXPECT_EQ(down.ScanLine(1)[1], 3);
}

TEST(NearestNeighborResample, WideSourcesKeepTheirPositions) {
    // 70000 columns: 16.16 positions in 32 bits would wrap.
    TBitmap wide(70000, 1, pf24bit);
    for (int x = 0; x < 70000; ++x) wide.ScanLine(0)[3 * x] = uint8_t(x / 17500 + 1);
    NearestNeighborResample(wide, 4, 1);
    EXPECT_EQ(Blues(wide), (std::vector<uint8_t>{1, 2, 3, 4}));
}

TEST(BilinearV2Resample, SinglePrecisionTaps) {
    EXPECT_EQ(RunOnRow(BilinearV2Resample, {0, 1, 1, 2}, 2), (std::vector<uint8_t>{0, 2}));  // ties to even
    EXPECT_EQ(RunOnRow(BilinearV2Resample, {40, 0, 80}, 1), (std::vector<uint8_t>{70}));  // 0.25 P0 + 0.75 P2
    EXPECT_EQ(RunOnRow(BilinearV2Resample, {9, 50, 7, 3}, 1), (std::vector<uint8_t>{50}));  // P1 alone
    EXPECT_EQ(RunOnRow(BilinearV2Resample, {5, 90}, 4), (std::vector<uint8_t>{5, 5, 90, 90}));
    // 1.5x: column 1 mixes with single-precision fractions; (255, 0) gives
    // 43, where rounding in single precision would give 42.
    EXPECT_EQ(RunOnRow(BilinearV2Resample, {255, 0}, 3), (std::vector<uint8_t>{255, 43, 0}));
    // 4 -> 5, column 3: cx + quarter is just below 3 in single precision, so
    // the right tap is column 2 and the value copies it.
    EXPECT_EQ(RunOnRow(BilinearV2Resample, {0, 0, 100, 200}, 5)[3], 100);
}

TEST(LiftingBilinearResample, FixedPointTaps) {
    // 2 -> 4: (x0, x1, fx) = (0,1,0), (0,1,64), (0,1,192), (1,1,64).
    EXPECT_EQ(RunOnRow(LiftingBilinearResample, {0, 200}, 4),
              (std::vector<uint8_t>{0, 200 * 64 * 256 >> 16, 200 * 192 * 256 >> 16, 200}));
    const TBitmap source = RandomBitmap(9, 4, 2);
    TBitmap same = source;
    LiftingBilinearResample(same, 9, 4);
    EXPECT_EQ(PixelBytes(same), PixelBytes(source));
    TBitmap zeroWide(0, 3, pf32bit);
    LiftingBilinearResample(zeroWide, 5, 5);
    EXPECT_EQ(zeroWide.PixelFormat(), pf32bit);
}

// Past the last source row both taps are that row and the fraction keeps
// growing; a long enlargement must still give that row, not an overflow.
TEST(LiftingBilinearResample, LongEnlargementsKeepTheLastRow) {
    TBitmap source = RandomBitmap(2, 130, 4);
    std::fill_n(source.ScanLine(129), 6, uint8_t{255});  // the largest products
    for (auto resample : {LiftingBilinearResample, ResampleReference::LiftingBilinearResample}) {
        TBitmap tall = source;
        resample(tall, 2, 66500);  // a step of 1/256 source row
        for (int c = 0; c < 6; ++c) EXPECT_EQ(tall.ScanLine(66499)[c], 255);
    }
}

TEST(LiftingBilinearProcedure, DoublesWhileBelowTheWholeFactor) {
    const TBitmap source = RandomBitmap(10, 6, 3);
    auto stepwise = [&](std::vector<std::pair<int, int>> steps) {
        TBitmap picture = source;
        for (auto [w, h] : steps) LiftingBilinearResample(picture, w, h);
        return PixelBytes(picture);
    };
    auto procedure = [&](int w, int h, int percent, bool noop) {
        TBitmap picture = source;
        LiftingBilinearProcedure(picture, w, h, percent, noop);
        return PixelBytes(picture);
    };
    EXPECT_EQ(procedure(30, 18, 300, false), stepwise({{20, 12}, {30, 18}}));
    EXPECT_EQ(procedure(40, 24, 400, false), stepwise({{20, 12}, {40, 24}}));
    EXPECT_EQ(procedure(80, 48, 800, false), stepwise({{20, 12}, {40, 24}, {80, 48}}));
    EXPECT_EQ(procedure(15, 9, 150, false), stepwise({{15, 9}}));
    EXPECT_EQ(procedure(20, 12, 200, false), stepwise({{20, 12}}));
    EXPECT_EQ(procedure(30, 18, 300, true), stepwise({{30, 18}}));
    EXPECT_EQ(procedure(5, 3, 50, false), stepwise({{5, 3}}));
}
