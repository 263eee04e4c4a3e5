#include "images/Effector/ColorSpace.h"

#include "platform/Exceptions.h"

namespace {
constexpr size_t PairIndex(uint8_t red, uint8_t green) { return size_t{green} * 256 + red; }
}  // namespace

TColourPresence::TColourPresence() : sets_(256 * 256) {}

void TColourPresence::Add(uint8_t red, uint8_t green, uint8_t blue) {
    std::unique_ptr<BlueSet>& set = sets_[PairIndex(red, green)];
    if (!set) set = std::make_unique<BlueSet>();
    set->set(blue);
}

bool TColourPresence::Contains(uint8_t red, uint8_t green, uint8_t blue) const {
    const std::unique_ptr<BlueSet>& set = sets_[PairIndex(red, green)];
    return set && set->test(blue);
}

void TColourPresence::AddPicture(const TBitmap& picture) {
    if (picture.PixelFormat() != pf24bit) throw EInvalidGraphicOperation("A 24-bit picture is needed");
    for (int y = 0; y < picture.Height(); ++y) {
        const uint8_t* pixel = picture.ScanLine(y);
        for (int x = 0; x < picture.Width(); ++x, pixel += 3) Add(pixel[2], pixel[1], pixel[0]);
    }
}

int32_t TColourPresence::Count() const {
    int32_t count = 0;
    for (const auto& set : sets_)
        if (set) count += static_cast<int32_t>(set->count());
    return count;
}

TPalette TColourPresence::GreenRedBlueOrder() const {
    TPalette colours;
    for (size_t index = 0; index < sets_.size(); ++index) {
        if (!sets_[index]) continue;
        for (int blue = 0; blue < 256; ++blue) {
            if (!sets_[index]->test(static_cast<size_t>(blue))) continue;
            colours.push_back({static_cast<uint8_t>(index % 256), static_cast<uint8_t>(index / 256),
                               static_cast<uint8_t>(blue), 0});
        }
    }
    return colours;
}

int32_t CountColours(const TBitmap& picture) {
    TBitmap copy(picture);
    copy.SetPixelFormat(pf24bit);
    TColourPresence presence;
    presence.AddPicture(copy);
    return presence.Count();
}
