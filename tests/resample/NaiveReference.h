#pragma once
// A second, deliberately plain reading of the resampling arithmetic: every
// window is recomputed for every pixel, the vertical pass walks column by
// column, and nothing is shared with the engine's code. Slow, and only for
// comparing against.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace naive {

struct Image {
    int w = 0, h = 0;
    std::vector<uint8_t> bgr;  // tightly packed rows
    uint8_t* At(int x, int y) { return &bgr[(size_t(y) * size_t(w) + size_t(x)) * 3]; }
    const uint8_t* At(int x, int y) const { return &bgr[(size_t(y) * size_t(w) + size_t(x)) * 3]; }
};

inline uint8_t Clamp(int32_t v) { return v >= 255 ? 255 : v <= 0 ? 0 : uint8_t(v); }

enum class Placement { Kernel, Test1, Test2 };

// One axis: for target position i, calls add(weight, sourceIndex) for every
// contributor, in increasing source index.
template <typename Add>
void Window(int S, int D, int i, const std::vector<int32_t>& table, Placement placement, Add add) {
    const int L = int(table.size());
    const double scale = double((long double)S / D);
    long long q = (long long)((long double)D / S * 256 + 0.5L);
    if (q > 256) q = 256;
    long long c;
    long long r;
    if (placement == Placement::Test2) {
        const long long step = (long long)((long double)S / D * 256 + 0.5L);
        c = i * step + step / 2;
        r = 131072 / q;
    } else {
        c = (long long)(((long double)i + 0.5L) * scale * 256 + 0.5L);
        r = placement == Placement::Test1 ? 131072 / q : (long long)L * 256 / q;
    }
    const long long limit = (long long)((long double)L * 256 / q + 0.5L);
    const long long first = c > r ? (c - r + 128) >> 8 : 0;
    const long long end = std::min<long long>((c + r + 128) >> 8, S);
    for (long long j = first; j < end; ++j) {
        const long long d = std::llabs(256 * j + 128 - c);
        int32_t w = 0;
        if (placement == Placement::Kernel) {
            if (d < limit) w = table[size_t((d * q) >> 8)];
        } else if (placement == Placement::Test1) {
            if (d < 512) w = table[size_t((d * q) >> 8)];
        } else {
            const long long index = (d * q) >> 8;
            if (index < 512) w = table[size_t(index)];
        }
        if (w != 0) add(w, int(j));
    }
}

inline Image Separable(const Image& src, int W, int H, const std::vector<int32_t>& table, Placement placement) {
    Image mid{W, src.h, std::vector<uint8_t>(size_t(W) * size_t(src.h) * 3)};
    for (int y = 0; y < src.h; ++y)
        for (int x = 0; x < W; ++x) {
            int32_t sw = 0, sr = 0, sg = 0, sb = 0;
            Window(src.w, W, x, table, placement, [&](int32_t w, int j) {
                sw += w;
                sb += w * src.At(j, y)[0];
                sg += w * src.At(j, y)[1];
                sr += w * src.At(j, y)[2];
            });
            if (sw != 0 && sw != 1) sr /= sw, sg /= sw, sb /= sw;
            uint8_t* p = mid.At(x, y);
            p[0] = Clamp(sb), p[1] = Clamp(sg), p[2] = Clamp(sr);
        }
    Image out{W, H, std::vector<uint8_t>(size_t(W) * size_t(H) * 3)};
    for (int x = 0; x < W; ++x)
        for (int y = 0; y < H; ++y) {
            int32_t sw = 0, sr = 0, sg = 0, sb = 0;
            Window(src.h, H, y, table, placement, [&](int32_t w, int j) {
                sw += w;
                sb += w * mid.At(x, j)[0];
                sg += w * mid.At(x, j)[1];
                sr += w * mid.At(x, j)[2];
            });
            if (sw != 0 && sw != 1) sr /= sw, sg /= sw, sb /= sw;
            uint8_t* p = out.At(x, y);
            p[0] = Clamp(sb), p[1] = Clamp(sg), p[2] = Clamp(sr);
        }
    return out;
}

inline Image Average(const Image& src, int W, int H) {
    const long long stepX = (long long)((long double)src.w / W * 1024 + 0.5L);
    const long long stepY = (long long)((long double)src.h / H * 1024 + 0.5L);
    auto coverages = [](long long step, int i, int length) {
        std::vector<std::pair<long long, int>> list;
        const long long u = i * step, v = (i + 1) * step;
        const long long first = u >> 10, n = (v >> 10) - first + 1;
        for (long long k = 0; k < n; ++k) {
            if (first + k > length - 1) continue;
            const long long cov = k == 0 ? 1024 - (u & 1023) : k == n - 1 ? (v & 1023) : 1024;
            if (cov) list.emplace_back(cov, int(first + k));
        }
        return list;
    };
    Image out{W, H, std::vector<uint8_t>(size_t(W) * size_t(H) * 3)};
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            long long sw = 0, s[3] = {0, 0, 0};
            for (auto [cy, row] : coverages(stepY, y, src.h))
                for (auto [cx, col] : coverages(stepX, x, src.w)) {
                    const long long w = (cx * cy) >> 10;
                    sw += w;
                    for (int c = 0; c < 3; ++c) s[c] += w * src.At(col, row)[c];
                }
            for (int c = 0; c < 3; ++c) out.At(x, y)[c] = Clamp(int32_t((sw != 0 && sw != 1) ? s[c] / sw : s[c]));
        }
    return out;
}

inline Image Nearest(const Image& src, int W, int H) {
    const long long stepX = (long long)((long double)src.w / W * 65536 + 0.5L);
    const long long stepY = (long long)((long double)src.h / H * 65536 + 0.5L);
    const long long offsetX = (long long)((long double)src.w / W * 128 + 0.5L);
    Image out{W, H, std::vector<uint8_t>(size_t(W) * size_t(H) * 3)};
    for (int y = 0; y < H; ++y) {
        const int row = int(std::min<long long>((long long)((y + 0.5L) * stepY + 0.5L) >> 16, src.h - 1));
        for (int x = 0; x < W; ++x) {
            const int col = int(std::min<long long>((x * stepX + offsetX) >> 16, src.w - 1));
            std::copy_n(src.At(col, row), 3, out.At(x, y));
        }
    }
    return out;
}

}  // namespace naive
