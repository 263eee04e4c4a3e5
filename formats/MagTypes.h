#pragma once
// The pieces of a MAG file: its signature block, its header, the copy
// table of the flag coding and the errors of the MAG classes.

#include <array>
#include <cstdint>
#include <string>

#include "platform/Exceptions.h"
#include "platform/Graphics.h"

// Misuse of a MAG picture (no picture to encode, a size past 65535).
VORLIX_DECLARE_EXCEPTION(EInvalidMagOperation, EInvalidGraphicOperation);

namespace MagText {
inline constexpr const char* ImageError = "MAG image error:";
inline constexpr const char* NotMag = "is not MAG.";
inline constexpr const char* InvalidOperation = "MAG invaild operation:";
inline constexpr const char* NoDib = "not have DIB";
inline constexpr const char* RangeOver = "range over";
}  // namespace MagText

// Raise with the prefix in front of the reason.
[[noreturn]] void RaiseMagError(const char* reason);
[[noreturn]] void RaiseInvalidMagOperation(const char* reason);

inline constexpr size_t kMagSignatureSize = 32;
inline constexpr size_t kMagHeaderSize = 32;
inline constexpr char kMagSignature[] = "MAKI02  ";
inline constexpr size_t kMagUserNameOffset = 13;
inline constexpr size_t kMagUserNameLength = 18;
inline constexpr uint8_t kMagCommentEnd = 0x1A;

// The 32 bytes after the comment; offsets count from the header's first byte.
struct TMagHeader {
    uint8_t Start = 0;
    uint8_t MachineCode = 0;
    uint8_t MachineFlags = 0;
    uint8_t ScreenMode = 0;  // bit 7: 256 colours; bit 0: 200 lines
    uint16_t XStart = 0;
    uint16_t YStart = 0;
    uint16_t XEnd = 0;
    uint16_t YEnd = 0;
    uint32_t FlagAOffset = 0;
    uint32_t FlagBOffset = 0;
    uint32_t FlagBSize = 0;
    uint32_t PixelOffset = 0;
    uint32_t PixelSize = 0;

    static TMagHeader Parse(const uint8_t* bytes);  // kMagHeaderSize bytes
    std::array<uint8_t, kMagHeaderSize> Bytes() const;
    bool Colours256() const { return (ScreenMode & 0x80) != 0; }
};

// A flag value k (1 to 15) copies the unit Dy rows up and Dx units to the left.
struct TMagCopy {
    int Dx;
    int Dy;
};
inline constexpr TMagCopy kMagCopyTable[16] = {
    {0, 0}, {1, 0}, {2, 0}, {4, 0}, {0, 1}, {1, 1}, {0, 2}, {1, 2},
    {2, 2}, {0, 4}, {1, 4}, {2, 4}, {0, 8}, {1, 8}, {2, 8}, {0, 16},
};

// Pixels per unit column multiple: a row of a 16-colour picture is a
// whole number of 8-pixel flag bytes, a 256-colour one of 4 pixels.
inline constexpr int MagPixelAlign(bool colours256) { return colours256 ? 4 : 8; }

// Shared state of MAG pictures: the encoded file and what its headers say.
class TMagData : public TSharedImage {
public:
    std::array<uint8_t, kMagSignatureSize> Signature{};
    TMagHeader Header;
    int Width = 0;
    int Height = 0;
};
