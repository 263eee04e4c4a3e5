#pragma once
// The PNG and GIF writers of the save flow, and the bottom-left colour they
// make transparent.

#include <string>

#include "platform/Bitmap.h"

// White for an empty picture; otherwise the picture is made 24-bit in place
// and the colour of the leftmost pixel of its bottom row is returned
// (0x00BBGGRR).
TColor BottomLeftColor(TBitmap& picture);

// Writes picture as a PNG file: Adam7 when interlaced, grey samples when
// grayscale. reduce256 or transparent reduce the picture (in place) to a
// 256-colour palette first; transparent then marks the bottom-left colour
// transparent. False when anything failed; an existing file at path stays
// as it was.
bool SaveAsPNG(TBitmap& picture, const std::string& path, bool interlaced, bool grayscale, bool reduce256,
               bool transparent);

// Writes picture as a PNG file with an alpha plane: alpha is a grey picture
// of the picture's size (grey level = opacity), turned into an 8-bit grey
// palette picture in place. Raises on failure, leaving an existing file at
// path as it was.
void SaveAsPNGWithAlpha(const TBitmap& picture, const std::string& path, bool interlaced, bool grayscale,
                        TBitmap& alpha);

// Reduces picture (in place) to 256 colours and writes it as a GIF file;
// transparent makes the bottom-left pixel's colour transparent. False when
// anything failed; an existing file at path stays as it was.
bool SaveAsGIF(TBitmap& picture, const std::string& path, bool transparent);
