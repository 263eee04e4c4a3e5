// The edge-preserving median and its building blocks.
//
// EdgePreservingMedian gives the bytes of the plain sequence (a mask copy
// through FindEdge, LumaGrey, BlurMore, ThresholdMask, AddBrightness and
// BlurMore; a copy through Median3x3; both copies made 32-bit; the mask set
// as alpha; the blend) without its five picture copies. After LumaGrey the
// mask is grey, and every later mask step treats the three channels alike,
// so the mask is kept as one byte a pixel; the three mask filters run row by
// row back into that one plane, and the median is blended in as each of its
// rows is made.

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "images/Effector/CustomFilter.h"
#include "images/Effector/RowConvolver.h"
#include "images/Effector/WorkBuffer.h"
#include "platform/Bitmap.h"
#include "platform/Exceptions.h"

namespace {

uint8_t Luma(uint8_t r, uint8_t g, uint8_t b) { return static_cast<uint8_t>((77 * r + 150 * g + 29 * b) >> 8); }

uint8_t ClampToByte(int64_t v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

// Replaces the picture's pixels and size by those of a new image; the
// picture stays the same picture otherwise.
void ReplacePicture(TBitmap& picture, TBitmap&& image) {
    const bool transparent = picture.Transparent();
    picture = std::move(image);
    picture.SetTransparent(transparent);
}

bool ThresholdIsWhite(uint8_t r, uint8_t g, uint8_t b, int32_t threshold) {
    const double c = std::floor((11 * b + 59 * g + 30 * r) / 100.0 + 0.5);
    return threshold == 255 ? c >= 255 : c > threshold;
}

// Median records, sorted by luma ----------------------------------------

inline void Order(uint8_t& a, uint8_t& b) {
    const uint8_t low = std::min(a, b);
    b = std::max(a, b);
    a = low;
}

// The fifth of nine values in sorted order (a 19-exchange network).
inline uint8_t MedianOfNine(uint8_t p0, uint8_t p1, uint8_t p2, uint8_t p3, uint8_t p4, uint8_t p5, uint8_t p6,
                            uint8_t p7, uint8_t p8) {
    Order(p1, p2), Order(p4, p5), Order(p7, p8);
    Order(p0, p1), Order(p3, p4), Order(p6, p7);
    Order(p1, p2), Order(p4, p5), Order(p7, p8);
    Order(p0, p3), Order(p5, p8), Order(p4, p7);
    Order(p3, p6), Order(p1, p4), Order(p2, p5);
    Order(p4, p7), Order(p4, p2), Order(p6, p4);
    Order(p4, p2);
    return p4;
}

// Median3x3 one result row at a time over a 24-bit picture. The bubble
// passes of the sort are stable and bring the largest remaining luma
// forward, so record 4 after five passes is the fifth record of the nine
// stably sorted by falling luma: a record of the median luma m, namely the
// (4 - g)-th of those (counted from 0, in gathering order), where g records
// have a luma above m. Rows are copied into a ring with their edge pixels
// repeated when first needed, so result rows may be written back into the
// picture as they come.
class TMedianRows {
public:
    explicit TMedianRows(const TBitmap& picture)
        : picture_(picture),
          width_(picture.Width()),
          height_(picture.Height()),
          paddedWidth_(size_t(width_) + 2),
          pixels_(MakeWorkBuffer<uint8_t>(3 * 3 * paddedWidth_)),
          lumas_(MakeWorkBuffer<uint8_t>(3 * paddedWidth_)),
          medians_(MakeWorkBuffer<uint8_t>(size_t(width_))),
          picks_(MakeWorkBuffer<uint8_t>(size_t(width_))),
          result_(MakeWorkBuffer<uint8_t>(3 * size_t(width_))) {}

    // Result row y (3 * width bytes); rows in increasing order.
    const uint8_t* Row(int y) {
        for (const int needed = std::min(height_, y + 2); loaded_ < needed; ++loaded_) Load(loaded_);
        const uint8_t* l[3];
        const uint8_t* p[3];
        for (int i = 0; i < 3; ++i) {
            const size_t slot = size_t(std::clamp(y - 1 + i, 0, height_ - 1) % 3);
            l[i] = lumas_.data() + slot * paddedWidth_;
            p[i] = pixels_.data() + slot * 3 * paddedWidth_;
        }
        const size_t w = size_t(width_);
        uint8_t* __restrict medians = medians_.data();
        for (size_t x = 0; x < w; ++x)
            medians[x] = MedianOfNine(l[0][x], l[0][x + 1], l[0][x + 2], l[1][x], l[1][x + 1], l[1][x + 2], l[2][x],
                                      l[2][x + 1], l[2][x + 2]);
        uint8_t* __restrict picks = picks_.data();
        for (size_t x = 0; x < w; ++x) {
            const uint8_t v[9] = {l[0][x], l[0][x + 1], l[0][x + 2], l[1][x],    l[1][x + 1],
                                  l[1][x + 2], l[2][x], l[2][x + 1], l[2][x + 2]};
            const uint8_t m = medians[x];
            int above = 0;
            for (int k = 0; k < 9; ++k) above += v[k] > m;
            const int wanted = 4 - above;
            int seen = 0, pick = 0;
            for (int k = 0; k < 9; ++k) {
                const bool equal = v[k] == m;
                pick = (equal && seen == wanted) ? k : pick;
                seen += equal;
            }
            picks[x] = static_cast<uint8_t>(pick);
        }
        uint8_t* out = result_.data();
        for (size_t x = 0; x < w; ++x) {
            const int k = picks[x];
            const uint8_t* from = p[k / 3] + 3 * (x + size_t(k % 3));
            out[3 * x] = from[0];
            out[3 * x + 1] = from[1];
            out[3 * x + 2] = from[2];
        }
        return out;
    }

private:
    void Load(int y) {
        const size_t slot = size_t(y % 3);
        uint8_t* to = pixels_.data() + slot * 3 * paddedWidth_;
        const uint8_t* from = picture_.ScanLine(y);
        const size_t w = size_t(width_);
        std::memcpy(to + 3, from, 3 * w);
        std::memcpy(to, from, 3);
        std::memcpy(to + 3 * (w + 1), from + 3 * (w - 1), 3);
        uint8_t* luma = lumas_.data() + slot * paddedWidth_;
        for (size_t x = 0; x < paddedWidth_; ++x) luma[x] = Luma(to[3 * x + 2], to[3 * x + 1], to[3 * x]);
    }

    const TBitmap& picture_;
    int width_, height_;
    size_t paddedWidth_;
    std::vector<uint8_t> pixels_;  // three rows of width + 2 pixels
    std::vector<uint8_t> lumas_;   // their lumas
    std::vector<uint8_t> medians_, picks_, result_;
    int loaded_ = 0;
};

// The edge mask --------------------------------------------------------

constexpr int16_t kFindEdge[9] = {1, 1, 1, 1, -2, 1, -1, -1, -1};
constexpr int16_t kBlurMore[9] = {2, 2, 2, 2, 1, 2, 2, 2, 2};
constexpr int32_t kMaskThreshold = 32;
constexpr int32_t kMaskBrightness = 128;

// One byte a pixel: the blue (= every) channel of the finished mask.
std::vector<uint8_t> EdgeMask(const TBitmap& picture) {
    const int width = picture.Width(), height = picture.Height();
    const size_t w = size_t(width);
    std::vector<uint8_t> mask = MakeWorkBuffer<uint8_t>(w * size_t(height));
    const TPixelPlane plane{mask.data(), ptrdiff_t(w), width, height, 1};
    {
        TRowConvolver edges(TPixelPlane{picture.ScanLine(0), picture.RowStride(), width, height, 3},
                            TIntegerKernel{1, kFindEdge, 1, 0});
        for (int y = 0; y < height; ++y) {
            const uint8_t* row = edges.Row(y);
            uint8_t* to = mask.data() + w * size_t(y);
            for (size_t x = 0; x < w; ++x) to[x] = Luma(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
        }
    }
    // ThresholdMask and AddBrightness of a grey value, as one table.
    uint8_t step[256];
    for (int v = 0; v < 256; ++v) {
        const auto g = static_cast<uint8_t>(v);
        const int thresholded = ThresholdIsWhite(g, g, g, kMaskThreshold) ? 255 : 0;
        step[v] = ClampToByte(thresholded + kMaskBrightness);
    }
    {
        TRowConvolver blur(plane, TIntegerKernel{1, kBlurMore, 17, 0});
        for (int y = 0; y < height; ++y) {
            const uint8_t* row = blur.Row(y);
            uint8_t* to = mask.data() + w * size_t(y);
            for (size_t x = 0; x < w; ++x) to[x] = step[row[x]];
        }
    }
    {
        TRowConvolver blur(plane, TIntegerKernel{1, kBlurMore, 17, 0});
        for (int y = 0; y < height; ++y) std::memcpy(mask.data() + w * size_t(y), blur.Row(y), w);
    }
    return mask;
}

}  // namespace

void ExtendBorder(TBitmap& picture, int32_t n) {
    picture.SetPixelFormat(pf24bit);
    if (n < 1 || picture.Empty()) return;
    const int64_t newWidth = int64_t{picture.Width()} + 2 * int64_t{n};
    const int64_t newHeight = int64_t{picture.Height()} + 2 * int64_t{n};
    if (newWidth > INT32_MAX || newHeight > INT32_MAX) throw EOutOfMemory(PlatformMessages::OutOfMemory);
    TBitmap extended(static_cast<int>(newWidth), static_cast<int>(newHeight), pf24bit);
    const size_t w = size_t(picture.Width());
    for (int y = 0; y < extended.Height(); ++y) {
        const uint8_t* from = picture.ScanLine(std::clamp(y - n, 0, picture.Height() - 1));
        uint8_t* to = extended.ScanLine(y);
        for (int32_t i = 0; i < n; ++i) std::memcpy(to + 3 * size_t(i), from, 3);
        std::memcpy(to + 3 * size_t(n), from, 3 * w);
        for (int32_t i = 0; i < n; ++i) std::memcpy(to + 3 * (size_t(n) + w + size_t(i)), from + 3 * (w - 1), 3);
    }
    ReplacePicture(picture, std::move(extended));
}

void LumaGrey(TBitmap& picture) {
    picture.SetPixelFormat(pf24bit);
    for (int y = 0; y < picture.Height(); ++y) {
        uint8_t* p = picture.ScanLine(y);
        for (int x = 0; x < picture.Width(); ++x, p += 3) p[0] = p[1] = p[2] = Luma(p[2], p[1], p[0]);
    }
}

void ThresholdMask(TBitmap& picture, int32_t threshold) {
    picture.SetPixelFormat(pf24bit);
    // Each pixel depends on itself only, so the new image can be the picture.
    for (int y = 0; y < picture.Height(); ++y) {
        uint8_t* p = picture.ScanLine(y);
        for (int x = 0; x < picture.Width(); ++x, p += 3)
            p[0] = p[1] = p[2] = ThresholdIsWhite(p[2], p[1], p[0], threshold) ? 255 : 0;
    }
}

void AddBrightness(TBitmap& picture, int32_t amount) {
    if (amount == 0 || amount < -255 || amount > 255) return;
    picture.SetPixelFormat(pf24bit);
    uint8_t table[256];
    for (int i = 0; i < 256; ++i) table[i] = ClampToByte(i + amount);
    const size_t rowBytes = 3 * size_t(picture.Width());
    for (int y = 0; y < picture.Height(); ++y) {
        uint8_t* p = picture.ScanLine(y);
        for (size_t i = 0; i < rowBytes; ++i) p[i] = table[p[i]];
    }
}

void Median3x3(TBitmap& picture) {
    picture.SetPixelFormat(pf24bit);
    if (picture.Empty()) return;
    TMedianRows medians(picture);
    const size_t rowBytes = 3 * size_t(picture.Width());
    for (int y = 0; y < picture.Height(); ++y) std::memcpy(picture.ScanLine(y), medians.Row(y), rowBytes);
}

void SetAlphaFromMask(TBitmap& target, TBitmap& mask) {
    if (target.PixelFormat() != pf32bit) return;
    mask.SetPixelFormat(pf24bit);
    const int width = std::min(target.Width(), mask.Width());
    const int height = std::min(target.Height(), mask.Height());
    for (int y = 0; y < height; ++y) {
        uint8_t* to = target.ScanLine(y);
        const uint8_t* from = mask.ScanLine(y);
        for (int x = 0; x < width; ++x) to[4 * x + 3] = from[3 * x];
    }
}

void AlphaBlend(TBitmap& result, const TBitmap& top, const TBitmap& bottom, int32_t opacity) {
    if (top.PixelFormat() != pf32bit || bottom.PixelFormat() != pf32bit) return;
    result.SetPixelFormat(pf32bit);
    result.SetSize(top.Width(), top.Height());
    const int width = std::min(top.Width(), bottom.Width());
    const int height = std::min(top.Height(), bottom.Height());
    for (int y = 0; y < height; ++y) {
        const uint8_t* t = top.ScanLine(y);
        const uint8_t* b = bottom.ScanLine(y);
        uint8_t* out = result.ScanLine(y);
        for (int x = 0; x < width; ++x) {
            const int64_t c = (int64_t{opacity} * t[4 * x + 3]) >> 8;
            for (int i = 0; i < 3; ++i) {
                const int64_t from = b[4 * x + i];
                out[4 * x + i] = ClampToByte(from + (((t[4 * x + i] - from) * c) >> 8));
            }
        }
    }
}

void EdgePreservingMedian(TBitmap& picture) {
    if (picture.Empty()) {
        picture.SetPixelFormat(pf32bit);
        return;
    }
    // A 32-bit picture is blended in place over a 24-bit copy and keeps its
    // fourth bytes; any other is read as 24-bit and blended into a new
    // 32-bit image, whose fourth bytes start at 0 as after a conversion.
    const bool inPlace = picture.PixelFormat() == pf32bit || picture.PixelFormat() == pfDevice;
    TBitmap converted;
    if (picture.PixelFormat() != pf24bit) {
        converted = picture;
        converted.SetPixelFormat(pf24bit);
    }
    const TBitmap& source = picture.PixelFormat() == pf24bit ? picture : converted;
    const std::vector<uint8_t> mask = EdgeMask(source);

    TBitmap created;
    if (inPlace) picture.SetPixelFormat(pf32bit);
    else created = TBitmap(source.Width(), source.Height(), pf32bit);
    TBitmap& result = inPlace ? picture : created;

    TMedianRows medians(source);
    const int width = source.Width();
    for (int y = 0; y < source.Height(); ++y) {
        const uint8_t* bottom = medians.Row(y);
        const uint8_t* top = source.ScanLine(y);
        const uint8_t* alpha = mask.data() + size_t(width) * size_t(y);
        uint8_t* out = result.ScanLine(y);
        for (int x = 0; x < width; ++x) {
            const int32_t c = (255 * alpha[x]) >> 8;
            for (int i = 0; i < 3; ++i) {
                const int32_t from = bottom[3 * x + i];
                out[4 * x + i] = static_cast<uint8_t>(from + (((top[3 * x + i] - from) * c) >> 8));
            }
        }
    }
    if (!inPlace) ReplacePicture(picture, std::move(created));
}
