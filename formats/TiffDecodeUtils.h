#pragma once
// The steps of reading a TIFF file: its first directory parsed into the tag
// tree and the colour map, old-style JPEG data decoded through the JPEG
// class, and everything else decoded by libtiff over the bytes in memory.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "formats/TiffTagNodes.h"
#include "platform/Bitmap.h"

struct TTiffColour {
    uint8_t Blue = 0;
    uint8_t Green = 0;
    uint8_t Red = 0;
    friend bool operator==(const TTiffColour&, const TTiffColour&) = default;
};
using TTiffColourMap = std::array<TTiffColour, 256>;

// The colour map of the file last parsed (black where it has no entries).
TTiffColourMap& TiffColourMap();

// Reads the header and the first directory into root (one TTiffTagNode per
// entry) and the "ColorMap" entry into TiffColourMap(). Raises
// EInvalidGraphic "Byte order error" or "TIFF version error". A directory
// that lies outside the file, or entries cut off by its end, are left out.
void ParseTiffDirectory(const std::vector<uint8_t>& file, TNode& root);

// The entry's first value: inline, resolved, or read at its offset; false
// when the entry is missing or its values lie outside the file.
bool TiffFirstValue(const std::vector<uint8_t>& file, const TNode& root, const char* name, uint32_t& value);

// Old-style JPEG: the JPEG stream the directory points at, decoded into
// picture as 24-bit. False (picture untouched) when the directory lacks the
// offset or the length.
bool DecodeOldStyleJpeg(const std::vector<uint8_t>& file, const TNode& root, TBitmap& picture);

struct TLibTiffResult {
    int BitDepth = 0;     // as the reader records it
    std::string Warning;  // what libtiff could not decode, when it decoded the rest
};

// Decodes the first image with libtiff into picture: 1-, 4- or 8-bit
// indexed through scanlines, otherwise 24- or 32-bit through the RGBA
// reader (tiled says the directory has a "TileWidth" entry). Raises
// Exception "LibTiff TIFFOpenStream() error" when libtiff cannot open the
// data, "Unable to create TBitmap buffer" when the picture cannot be made,
// and "LibTiff TIFFReadRGBAImage() error" when libtiff cannot convert it;
// libtiff's own reason follows the text.
TLibTiffResult DecodeWithLibTiff(const std::vector<uint8_t>& file, bool tiled, TBitmap& picture);
