#pragma once
// The bitmap file format: device-independent bitmaps with or without the
// 14-byte file header. Every read is checked against the bytes at hand;
// malformed input raises EInvalidGraphic "Bitmap image is not valid".

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/Bitmap.h"

class TStream;

enum TDibCompression : uint32_t {
    BI_RGB = 0,
    BI_RLE8 = 1,
    BI_RLE4 = 2,
    BI_BITFIELDS = 3,
    BI_ALPHABITFIELDS = 6,
};

// Where the parts of a DIB lie, from its header.
struct TDibLayout {
    uint32_t HeaderSize = 0;
    int32_t Width = 0;
    int32_t Height = 0;        // rows of the picture (positive)
    bool TopDown = false;
    uint16_t BitCount = 0;
    uint32_t Compression = BI_RGB;
    uint32_t Masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
    size_t PaletteOffset = 0;
    uint32_t PaletteCount = 0;  // entries to read
    uint32_t PaletteEntrySize = 4;
    size_t BitsOffset = 0;      // just after the colour table
    size_t RowBytes = 0;        // padded stored row
};

// Parses the header of a DIB starting at data[0]. halfHeight reads the
// stored height as twice the picture's (icons keep their mask below).
TDibLayout ParseDibLayout(const uint8_t* data, size_t size, bool halfHeight = false);

// Decodes a DIB. bitsOffset overrides where the pixels start (the file
// header's offset); 0 takes them right after the colour table.
TBitmap ReadDib(const uint8_t* data, size_t size, size_t bitsOffset = 0, bool halfHeight = false);

// Reads a whole bitmap file from the stream's position to its end.
TBitmap ReadBmpFile(TStream& stream);

// Encodes the bitmap in its own pixel format: the info header, colour table
// and bottom-up rows (no file header), as resources and icons store it.
std::vector<uint8_t> EncodeDib(const TBitmap& bitmap);
// A bitmap file: file header and EncodeDib.
void WriteBmpFile(const TBitmap& bitmap, TStream& stream);
