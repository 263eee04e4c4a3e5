#pragma once
// The JPEG encoders behind the save dialog's chroma choice: 4:2:0 is
// libjpeg's default sampling and goes through TJPEGImage; 4:4:4 encodes
// with the module tables (ZetJPEGCompress) and rewrites the result
// losslessly when a progressive or grey file is wanted.

#include <string>

#include "platform/Bitmap.h"
#include "platform/Streams.h"

// Quality below 0 counts as 0 and above 100 as 100 (libjpeg then takes 0 as
// 1). Any failure returns false; the file routine leaves an existing file
// as it was.
bool SaveJPEG420ToStream(const TBitmap& picture, TStream& stream, bool progressive, bool grayscale, int quality);
bool SaveJPEG420ToFile(const TBitmap& picture, const std::string& path, bool progressive, bool grayscale,
                       int quality);

// Replaces stream's contents with a 4:4:4 JPEG of picture (nothing for an
// empty picture). Sets the module tables and factors first. A failure of
// the encoder or of the rewrite raises (EJPEG with libjpeg's code).
void EncodeJPEG444(const TBitmap& picture, TStream& stream, bool progressive, bool grayscale, int quality);
