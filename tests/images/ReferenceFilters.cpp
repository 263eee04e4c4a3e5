#include "ReferenceFilters.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace reference {
namespace {

int LumaOf(int r, int g, int b) { return (77 * r + 150 * g + 29 * b) >> 8; }

uint8_t ClampByte(int64_t value) {
    if (value >= 255) return 255;
    if (value <= 0) return 0;
    return static_cast<uint8_t>(value);
}

// The DCT high-frequency cut -------------------------------------------

std::vector<uint8_t> BuildRangeLimit() {
    std::vector<uint8_t> table(1408, 0);
    for (int i = 256; i < 512; ++i) table[i] = uint8_t(i - 256);
    for (int i = 512; i < 896; ++i) table[i] = 255;
    for (int i = 1280; i < 1408; ++i) table[i] = uint8_t(i - 1280);
    return table;
}

void ForwardDct(double* data) {
    for (int pass = 0; pass < 2; ++pass) {
        // Pass 0 runs along the rows, pass 1 down the columns.
        const int along = pass == 0 ? 1 : 8;
        const int across = pass == 0 ? 8 : 1;
        for (int line = 0; line < 8; ++line) {
            double* d = data + line * across;
            double tmp0 = d[0 * along] + d[7 * along];
            double tmp7 = d[0 * along] - d[7 * along];
            double tmp1 = d[1 * along] + d[6 * along];
            double tmp6 = d[1 * along] - d[6 * along];
            double tmp2 = d[2 * along] + d[5 * along];
            double tmp5 = d[2 * along] - d[5 * along];
            double tmp3 = d[3 * along] + d[4 * along];
            double tmp4 = d[3 * along] - d[4 * along];
            double tmp10 = tmp0 + tmp3;
            double tmp13 = tmp0 - tmp3;
            double tmp11 = tmp1 + tmp2;
            double tmp12 = tmp1 - tmp2;
            d[0 * along] = tmp10 + tmp11;
            d[4 * along] = tmp10 - tmp11;
            double z1 = (tmp12 + tmp13) * 0.707106781;
            d[2 * along] = tmp13 + z1;
            d[6 * along] = tmp13 - z1;
            tmp10 = tmp4 + tmp5;
            tmp11 = tmp5 + tmp6;
            tmp12 = tmp6 + tmp7;
            double z5 = (tmp10 - tmp12) * 0.382683433;
            double z2 = 0.5411961 * tmp10 + z5;
            double z4 = 1.306562965 * tmp12 + z5;
            double z3 = tmp11 * 0.707106781;
            double z11 = tmp7 + z3;
            double z13 = tmp7 - z3;
            d[5 * along] = z13 + z2;
            d[3 * along] = z13 - z2;
            d[1 * along] = z11 + z4;
            d[7 * along] = z11 - z4;
        }
    }
}

// One inverse pass over in[0], in[step], ... into out[0], out[step], ...
void InverseLine(const double* in, int step, double* out, int outStep) {
    double tmp0 = in[0 * step], tmp1 = in[2 * step], tmp2 = in[4 * step], tmp3 = in[6 * step];
    double tmp10 = tmp0 + tmp2;
    double tmp11 = tmp0 - tmp2;
    double tmp13 = tmp1 + tmp3;
    double tmp12 = (tmp1 - tmp3) * 1.414 - tmp13;
    tmp0 = tmp10 + tmp13;
    tmp3 = tmp10 - tmp13;
    tmp1 = tmp11 + tmp12;
    tmp2 = tmp11 - tmp12;
    double tmp4 = in[1 * step], tmp5 = in[3 * step], tmp6 = in[5 * step], tmp7 = in[7 * step];
    double z13 = tmp6 + tmp5;
    double z10 = tmp6 - tmp5;
    double z11 = tmp4 + tmp7;
    double z12 = tmp4 - tmp7;
    tmp7 = z11 + z13;
    tmp11 = (z11 - z13) * 1.414;
    double z5 = (z10 + z12) * 1.847;
    tmp10 = 1.082 * z12 - z5;
    tmp12 = -2.613 * z10 + z5;
    tmp6 = tmp12 - tmp7;
    tmp5 = tmp11 - tmp6;
    tmp4 = tmp10 + tmp5;
    out[0 * outStep] = tmp0 + tmp7;
    out[7 * outStep] = tmp0 - tmp7;
    out[1 * outStep] = tmp1 + tmp6;
    out[6 * outStep] = tmp1 - tmp6;
    out[2 * outStep] = tmp2 + tmp5;
    out[5 * outStep] = tmp2 - tmp5;
    out[4 * outStep] = tmp3 + tmp4;
    out[3 * outStep] = tmp3 - tmp4;
}

void InverseDct(double* data, const std::vector<uint8_t>& rangeLimit) {
    double workspace[64];
    for (int column = 0; column < 8; ++column) InverseLine(data + column, 8, workspace + column, 8);
    for (int row = 0; row < 8; ++row) {
        double values[8];
        InverseLine(workspace + 8 * row, 1, values, 1);
        for (int i = 0; i < 8; ++i) {
            const long n = std::lrint(values[i]);  // nearest, ties to even
            data[8 * row + i] = rangeLimit[size_t(384 + (((n + 4) >> 3) & 1023))];
        }
    }
}

void ProcessBlock(TBitmap& picture, int left, int top, int cut, const std::vector<uint8_t>& rangeLimit) {
    double block[64];
    int dR[64], dB[64];
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 8; ++j) {
            const uint8_t* p = picture.ScanLine(top + i) + 3 * (left + j);
            const int b = p[0], g = p[1], r = p[2];
            const int y = LumaOf(r, g, b);
            block[8 * i + j] = double(y - 128);
            dR[8 * i + j] = r - y;
            dB[8 * i + j] = b - y;
        }
    ForwardDct(block);
    for (int v = 0; v < 8; ++v)
        for (int u = 0; u < 8; ++u) {
            double& c = block[8 * v + u];
            c = (u < cut && v < cut) ? c / 8 : 0.0;
        }
    InverseDct(block, rangeLimit);
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 8; ++j) {
            const int y = int(block[8 * i + j]);
            const int dr = dR[8 * i + j], db = dB[8 * i + j];
            uint8_t* p = picture.ScanLine(top + i) + 3 * (left + j);
            p[2] = ClampByte(y + dr);
            p[0] = ClampByte(y + db);
            p[1] = ClampByte(y - (77 * dr + 29 * db) / 150);
        }
}

// The extension of the cut: last column stretched, last row copied.
void ExtendToBlocks(TBitmap& picture) {
    const int w = picture.Width(), h = picture.Height();
    const int w8 = (w + 7) & ~7, h8 = (h + 7) & ~7;
    TBitmap extended(w8, h8, pf24bit);
    extended.Draw(0, 0, picture);
    if (w8 > w) extended.CopyRect(Rect(w, 0, w8, h), picture, Rect(w - 1, 0, w, h));
    for (int y = h; y < h8; ++y) std::memcpy(extended.ScanLine(y), extended.ScanLine(h - 1), size_t(w8) * 3);
    picture = extended;
}

}  // namespace

void DCTHighCut(TBitmap& picture, int cut) {
    if (cut < 1 || cut > 7) return;
    picture.SetPixelFormat(pf24bit);
    if (picture.Empty()) return;
    const std::vector<uint8_t> rangeLimit = BuildRangeLimit();
    const int w = picture.Width(), h = picture.Height();
    const bool extended = (w % 8) != 0 || (h % 8) != 0;
    if (extended) ExtendToBlocks(picture);
    for (int top = 0; top < picture.Height() - 1; top += 8)
        for (int left = 0; left < picture.Width() - 1; left += 8) ProcessBlock(picture, left, top, cut, rangeLimit);
    if (extended) {
        picture.SetWidth(w);
        picture.SetHeight(h);
    }
}

// Named filters -----------------------------------------------------------

namespace {

struct Filter {
    const char* name;
    int size;
    std::vector<int16_t> kernel;
    int divisor;
    int bias;
};

const std::vector<Filter>& Filters() {
    static const std::vector<Filter> filters = {
        {"Blur", 3, {0, 1, 0, 1, 1, 1, 0, 1, 0}, 5, 0},
        {"BlurMore", 3, {2, 2, 2, 2, 1, 2, 2, 2, 2}, 17, 0},
        {"BlurSmall", 3, {1, 1, 1, 1, 3, 1, 1, 1, 1}, 11, 0},
        {"BlurEdge", 3, {0, 2, 0, 2, -4, 2, 0, 2, 0}, 4, 0},
        {"Sharpen", 3, {-1, -1, -1, -1, 28, -1, -1, -1, -1}, 20, 0},
        {"POSTER", 3, {2, -2, 2, -2, 1, -2, 2, -2, 2}, 1, 0},
        {"ColorEmboss", 0, {}, 0, 0},
        {"ColorEmboss2", 3, {1, 0, 1, 0, 0, 0, 1, 0, -2}, 1, 0},
        {"ColorEmbossDeko", 3, {3, 2, 1, 2, 7, -2, -1, -2, -3}, 7, 0},
        {"ColorEmbossBoko", 3, {-2, -2, -2, -1, 5, 1, 2, 2, 2}, 5, 0},
        {"Laplacian8", 3, {1, 1, 1, 1, -8, 1, 1, 1, 1}, 1, 0},
        {"Laplacian4", 3, {0, 1, 0, 1, -4, 1, 0, 1, 0}, 1, 0},
        {"Soften", 3, {2, 2, 2, 2, 0, 2, 2, 2, 2}, 16, 0},
        {"FindEdge", 3, {1, 1, 1, 1, -2, 1, -1, -1, -1}, 1, 0},
        {"Hipass", 3, {-1, -1, -1, -1, 9, -1, -1, -1, -1}, 1, 0},
        {"EdgeEnhance", 0, {}, 0, 0},
        {"SoftenLess", 3, {1, 0, 1, 0, 2, 0, 1, 0, 1}, 6, 0},
        {"Bure", 5, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}, 3, 0},
        {"Test", 5, {0, 1, 0, 0, 0, 1, 2, 1, 0, 0, 0, 0, -2, 0, -1, 0, 0, 0, -2, 0, 0, 0, -1, 0, -3}, 10, 290},
    };
    return filters;
}

}  // namespace

void Convolve(TBitmap& picture, int radius, const int16_t* kernel, int32_t divisor, int32_t bias) {
    picture.SetPixelFormat(pf24bit);
    const int w = picture.Width(), h = picture.Height();
    TBitmap result(w, h, pf24bit);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int32_t sums[3] = {0, 0, 0};
            int k = 0;
            for (int dy = -radius; dy <= radius; ++dy)
                for (int dx = -radius; dx <= radius; ++dx) {
                    int ny = y + dy, nx = x + dx;
                    if (ny > h - 1) ny = h - 1;
                    if (ny < 0) ny = 0;
                    if (nx > w - 1) nx = w - 1;
                    if (nx < 0) nx = 0;
                    const uint8_t* p = picture.ScanLine(ny) + 3 * nx;
                    for (int c = 0; c < 3; ++c) sums[c] += kernel[k] * p[c];
                    ++k;
                }
            uint8_t* out = result.ScanLine(y) + 3 * x;
            for (int c = 0; c < 3; ++c) out[c] = ClampByte(int64_t{sums[c] / divisor} + bias);
        }
    picture = result;
}

void ApplyNamedFilter(TBitmap& picture, const std::string& name) {
    for (const Filter& filter : Filters())
        if (name == filter.name) {
            if (filter.size != 0)
                Convolve(picture, filter.size / 2, filter.kernel.data(), filter.divisor, filter.bias);
            return;
        }
}

// The edge-preserving median ----------------------------------------------

void ExtendBorder(TBitmap& picture, int n) {
    picture.SetPixelFormat(pf24bit);
    if (n < 1 || picture.Empty()) return;
    const int w = picture.Width(), h = picture.Height();
    TBitmap extended(w + 2 * n, h + 2 * n, pf24bit);
    extended.Draw(n, n, picture);
    extended.CopyRect(Rect(w + n, n, w + 2 * n, h + n), picture, Rect(w - 1, 0, w, h));
    extended.CopyRect(Rect(0, n, n, h + n), picture, Rect(0, 0, 1, h));
    const size_t rowBytes = size_t(w + 2 * n) * 3;
    for (int y = h + n; y < h + 2 * n; ++y) std::memcpy(extended.ScanLine(y), extended.ScanLine(h + n - 1), rowBytes);
    for (int y = 0; y < n; ++y) std::memcpy(extended.ScanLine(y), extended.ScanLine(n), rowBytes);
    picture = extended;
}

void LumaGrey(TBitmap& picture) {
    picture.SetPixelFormat(pf24bit);
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) {
            uint8_t* p = picture.ScanLine(y) + 3 * x;
            const auto l = uint8_t(LumaOf(p[2], p[1], p[0]));
            p[0] = p[1] = p[2] = l;
        }
}

void ThresholdMask(TBitmap& picture, int threshold) {
    picture.SetPixelFormat(pf24bit);
    TBitmap result(picture.Width(), picture.Height(), pf24bit);
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) {
            const uint8_t* p = picture.ScanLine(y) + 3 * x;
            const int c = int(std::floor(double(11 * p[0] + 59 * p[1] + 30 * p[2]) / 100 + 0.5));
            const bool white = threshold == 255 ? c >= 255 : c > threshold;
            uint8_t* out = result.ScanLine(y) + 3 * x;
            out[0] = out[1] = out[2] = white ? 255 : 0;
        }
    picture = result;
}

void AddBrightness(TBitmap& picture, int amount) {
    if (amount < -255 || amount > 255 || amount == 0) return;
    picture.SetPixelFormat(pf24bit);
    uint8_t t[256];
    for (int i = 0; i < 256; ++i) t[i] = ClampByte(i + amount);
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width() * 3; ++x) picture.ScanLine(y)[x] = t[picture.ScanLine(y)[x]];
}

void Median3x3(TBitmap& picture) {
    picture.SetPixelFormat(pf24bit);
    const int w = picture.Width(), h = picture.Height();
    TBitmap extended = picture;
    ExtendBorder(extended, 1);
    TBitmap result(w, h, pf24bit);
    struct Record {
        uint8_t r, g, b, l;
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            Record records[9];
            int k = 0;
            for (int dy = 0; dy < 3; ++dy)
                for (int dx = 0; dx < 3; ++dx) {
                    const uint8_t* p = extended.ScanLine(y + dy) + 3 * (x + dx);
                    records[k++] = {p[2], p[1], p[0], uint8_t(LumaOf(p[2], p[1], p[0]))};
                }
            for (int pass = 0; pass <= 4; ++pass)
                for (int n = 8; n >= pass + 1; --n)
                    if (records[n].l > records[n - 1].l) std::swap(records[n], records[n - 1]);
            uint8_t* out = result.ScanLine(y) + 3 * x;
            out[0] = records[4].b;
            out[1] = records[4].g;
            out[2] = records[4].r;
        }
    picture = result;
}

void SetAlphaFromMask(TBitmap& target, TBitmap& mask) {
    if (target.PixelFormat() != pf32bit) return;
    mask.SetPixelFormat(pf24bit);
    for (int y = 0; y < target.Height(); ++y)
        for (int x = 0; x < target.Width(); ++x) target.ScanLine(y)[4 * x + 3] = mask.ScanLine(y)[3 * x];
}

void AlphaBlend(TBitmap& result, TBitmap& top, TBitmap& bottom, int opacity) {
    if (top.PixelFormat() != pf32bit || bottom.PixelFormat() != pf32bit) return;
    result.SetPixelFormat(pf32bit);
    result.SetSize(top.Width(), top.Height());
    for (int y = 0; y < top.Height(); ++y)
        for (int x = 0; x < top.Width(); ++x) {
            const uint8_t* t = top.ScanLine(y) + 4 * x;
            const uint8_t* b = bottom.ScanLine(y) + 4 * x;
            uint8_t* out = result.ScanLine(y) + 4 * x;
            const int c = (opacity * t[3]) >> 8;
            for (int i = 0; i < 3; ++i) out[i] = uint8_t(b[i] + (((t[i] - b[i]) * c) >> 8));
        }
}

void EdgePreservingMedian(TBitmap& picture) {
    TBitmap mask = picture;
    ApplyNamedFilter(mask, "FindEdge");
    LumaGrey(mask);
    ApplyNamedFilter(mask, "BlurMore");
    ThresholdMask(mask, 32);
    AddBrightness(mask, 128);
    ApplyNamedFilter(mask, "BlurMore");
    TBitmap top = picture;
    TBitmap bottom = picture;
    Median3x3(bottom);
    top.SetPixelFormat(pf32bit);
    bottom.SetPixelFormat(pf32bit);
    SetAlphaFromMask(top, mask);
    AlphaBlend(picture, top, bottom, 255);
}

}  // namespace reference
