#include "bench/BenchPictures.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <random>
#include <utility>
#include <vector>

namespace {

// Channel c (0 red, 1 green, 2 blue) of pixel x in a blue-green-red row.
uint8_t& Channel(uint8_t* row, int x, int c) { return row[3 * size_t(x) + size_t(2 - c)]; }

uint8_t Clamped(int value) { return uint8_t(std::clamp(value, 0, 255)); }

// Broad shading: a vertical sky-like ramp, a horizontal light fall-off and a
// few long waves, built from per-row and per-column terms so it stays cheap.
void PaintShading(TBitmap& picture, std::mt19937& random) {
    const int w = picture.Width(), h = picture.Height();
    std::uniform_real_distribution<double> phase(0, 2 * std::numbers::pi);
    std::uniform_real_distribution<double> waves(0.5, 2.5);
    std::vector<double> column(static_cast<size_t>(w)), row(static_cast<size_t>(h));
    for (int c = 0; c < 3; ++c) {
        const double px = phase(random), py = phase(random), fx = waves(random), fy = waves(random);
        for (int x = 0; x < w; ++x) column[size_t(x)] = std::sin(2 * std::numbers::pi * fx * x / w + px);
        for (int y = 0; y < h; ++y) row[size_t(y)] = std::cos(2 * std::numbers::pi * fy * y / h + py);
        for (int y = 0; y < h; ++y) {
            uint8_t* line = picture.ScanLine(y);
            const double ramp = 70.0 * y / h;
            for (int x = 0; x < w; ++x) {
                const double falloff = 40.0 * std::abs(2.0 * x / w - 1.0);
                Channel(line, x, c) = Clamped(int(95 + 20 * c + 55 * column[size_t(x)] * row[size_t(y)] + ramp - falloff));
            }
        }
    }
}

// Hard-edged discs and rectangles; inside, the shading shows through at half
// strength so large shapes are not flat.
void PaintShapes(TBitmap& picture, std::mt19937& random) {
    const int w = picture.Width(), h = picture.Height();
    const int shortSide = std::min(w, h);
    std::uniform_int_distribution<int> colour(0, 255);
    std::uniform_int_distribution<int> extent(std::max(2, shortSide / 100), std::max(3, shortSide / 14));
    std::uniform_int_distribution<int> centreX(0, w - 1), centreY(0, h - 1);
    for (int shape = 0; shape < 90; ++shape) {
        const int fill[3] = {colour(random), colour(random), colour(random)};
        const int cx = centreX(random), cy = centreY(random), r = extent(random);
        const bool disc = shape % 2 == 0;
        const int rx = r, ry = disc ? r : extent(random);
        for (int y = std::max(0, cy - ry); y <= std::min(h - 1, cy + ry); ++y) {
            uint8_t* line = picture.ScanLine(y);
            for (int x = std::max(0, cx - rx); x <= std::min(w - 1, cx + rx); ++x) {
                const long dx = x - cx, dy = y - cy;
                if (disc && dx * dx + dy * dy > long(r) * r) continue;
                for (int c = 0; c < 3; ++c) {
                    uint8_t& value = Channel(line, x, c);
                    value = Clamped((value + fill[c]) / 2 + fill[c] / 4);
                }
            }
        }
    }
}

// Fine slanted stripes, like fabric or foliage: detail near the pixel
// pitch, where reductions alias and enlargements ring.
void PaintTexture(TBitmap& picture) {
    const int w = picture.Width(), h = picture.Height();
    for (int y = h * 3 / 5; y < h * 9 / 10; ++y) {
        uint8_t* line = picture.ScanLine(y);
        for (int x = w * 3 / 5; x < w * 9 / 10; ++x) {
            const int stripe = int(90 * std::sin(0.9 * x + 0.4 * y));
            for (int c = 0; c < 3; ++c) Channel(line, x, c) = Clamped(120 + stripe / (c + 1));
        }
    }
}

// Grain with a roughly bell-shaped spread of up to +-6 levels.
void AddGrain(TBitmap& picture, std::mt19937& random) {
    std::uniform_int_distribution<int> half(-3, 3);
    for (int y = 0; y < picture.Height(); ++y) {
        uint8_t* line = picture.ScanLine(y);
        for (size_t i = 0; i < 3 * size_t(picture.Width()); ++i)
            line[i] = Clamped(line[i] + half(random) + half(random));
    }
}

}  // namespace

TBitmap MakePhotoLikePicture(int width, int height, uint32_t seed) {
    std::mt19937 random(seed);
    TBitmap picture(width, height, pf24bit);
    PaintShading(picture, random);
    PaintShapes(picture, random);
    PaintTexture(picture);
    AddGrain(picture, random);
    return picture;
}

const TBitmap& SharedPhotoLikePicture(int width, int height) {
    static std::map<std::pair<int, int>, TBitmap> pictures;
    auto found = pictures.find({width, height});
    if (found == pictures.end())
        found = pictures.emplace(std::pair{width, height}, MakePhotoLikePicture(width, height)).first;
    return found->second;
}
