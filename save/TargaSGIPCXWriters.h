#pragma once
// The save flow's writers for Targa, SGI and PCX files: each makes the
// format object, hands it the picture and its options and saves. They
// report failure by their result and never raise; the picture they are
// given is not changed.

#include <string>

class TBitmap;

bool SaveAsTarga(const TBitmap& picture, const std::string& fileName, bool runLength);
bool SaveAsSGI(const TBitmap& picture, const std::string& fileName);
bool SaveAsPCX(const TBitmap& picture, const std::string& fileName);
