#include "app/TestCard.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;

uint8_t ZonePlateGrey(long double x, long double y, long double centre, long double period) {
    const long double v = sinl(kPi / period * ((x - centre) * (x - centre) + (y - centre) * (y - centre)));
    return static_cast<uint8_t>(std::clamp<long long>(llrintl(128 * v) + 128, 0, 255));
}

void Put(TBitmap& b, int x, int y, uint8_t r, uint8_t g, uint8_t bl) {
    uint8_t* p = b.ScanLine(y) + 3 * x;
    p[0] = bl;
    p[1] = g;
    p[2] = r;
}

// Hue ramp at full saturation, h in [0, 1).
void Hue(long double h, uint8_t& r, uint8_t& g, uint8_t& b) {
    const long double s = h * 6;
    const int sector = static_cast<int>(s) % 6;
    const auto rise = static_cast<uint8_t>(llrintl((s - std::floor(s)) * 255));
    const auto fall = static_cast<uint8_t>(255 - rise);
    const uint8_t table[6][3] = {{255, rise, 0}, {fall, 255, 0}, {0, 255, rise},
                                 {0, fall, 255}, {rise, 0, 255}, {255, 0, fall}};
    r = table[sector][0];
    g = table[sector][1];
    b = table[sector][2];
}

}  // namespace

TBitmap MakeZonePlate() {
    TBitmap plate(512, 512, pf24bit);
    for (int y = 0; y < 512; ++y)
        for (int x = 0; x < 512; ++x) {
            const uint8_t grey = ZonePlateGrey(x, y, 256, 512);
            Put(plate, x, y, grey, grey, grey);
        }
    return plate;
}

TBitmap MakeTestCard() {
    constexpr int kWidth = 768, kHeight = 512;
    TBitmap card(kWidth, kHeight, pf24bit);
    // Zone plate, top left 384 x 384.
    for (int y = 0; y < 384; ++y)
        for (int x = 0; x < 384; ++x) {
            // The period keeps the corners just inside the Nyquist limit, so
            // the card itself does not alias.
            const uint8_t grey = ZonePlateGrey(x, y, 192, 544);
            Put(card, x, y, grey, grey, grey);
        }
    // Line pairs of 1, 2, 3 and 4 pixels: vertical lines above, horizontal
    // below, each group 96 pixels wide.
    for (int y = 0; y < 192; ++y)
        for (int x = 384; x < kWidth; ++x) {
            const int width = (x - 384) / 96 + 1;
            const int along = y < 96 ? x - 384 : y;
            const uint8_t v = (along / width) % 2 ? 255 : 0;
            Put(card, x, y, v, v, v);
        }
    // Colour bars with a diagonal edge through them.
    static constexpr uint8_t kBars[8][3] = {{255, 255, 255}, {255, 255, 0}, {0, 255, 255}, {0, 255, 0},
                                            {255, 0, 255},   {255, 0, 0},   {0, 0, 255},   {0, 0, 0}};
    for (int y = 192; y < 384; ++y)
        for (int x = 384; x < kWidth; ++x) {
            const int bar = (x - 384) / 48;
            const bool below = (x - 384) > 2 * (y - 192);
            const auto& c = kBars[below ? bar : 7 - bar];
            Put(card, x, y, c[0], c[1], c[2]);
        }
    // Gradients: grey, then hue.
    for (int y = 384; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            if (y < 448) {
                const auto v = static_cast<uint8_t>(x * 255 / (kWidth - 1));
                Put(card, x, y, v, v, v);
            } else {
                uint8_t r, g, b;
                Hue(static_cast<long double>(x) / kWidth, r, g, b);
                Put(card, x, y, r, g, b);
            }
        }
    return card;
}
