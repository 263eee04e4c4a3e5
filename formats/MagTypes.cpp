#include "formats/MagTypes.h"

namespace {

uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t U32(const uint8_t* p) { return uint32_t{U16(p)} | (uint32_t{U16(p + 2)} << 16); }

void Put16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
    Put16(p, uint16_t(v));
    Put16(p + 2, uint16_t(v >> 16));
}

}  // namespace

void RaiseMagError(const char* reason) { throw EMagError(std::string(MagText::ImageError) + reason); }

void RaiseInvalidMagOperation(const char* reason) {
    throw EInvalidMagOperation(std::string(MagText::InvalidOperation) + reason);
}

TMagHeader TMagHeader::Parse(const uint8_t* b) {
    TMagHeader h;
    h.Start = b[0];
    h.MachineCode = b[1];
    h.MachineFlags = b[2];
    h.ScreenMode = b[3];
    h.XStart = U16(b + 4);
    h.YStart = U16(b + 6);
    h.XEnd = U16(b + 8);
    h.YEnd = U16(b + 10);
    h.FlagAOffset = U32(b + 12);
    h.FlagBOffset = U32(b + 16);
    h.FlagBSize = U32(b + 20);
    h.PixelOffset = U32(b + 24);
    h.PixelSize = U32(b + 28);
    return h;
}

std::array<uint8_t, kMagHeaderSize> TMagHeader::Bytes() const {
    std::array<uint8_t, kMagHeaderSize> b{};
    b[0] = Start;
    b[1] = MachineCode;
    b[2] = MachineFlags;
    b[3] = ScreenMode;
    Put16(&b[4], XStart);
    Put16(&b[6], YStart);
    Put16(&b[8], XEnd);
    Put16(&b[10], YEnd);
    Put32(&b[12], FlagAOffset);
    Put32(&b[16], FlagBOffset);
    Put32(&b[20], FlagBSize);
    Put32(&b[24], PixelOffset);
    Put32(&b[28], PixelSize);
    return b;
}
