#pragma once
// The binary portable anymap writers of the save flow. Each converts only
// inside its own format object, so the picture is never changed.

#include <string>

#include "platform/Bitmap.h"

// False when anything failed; an existing file at path stays as it was.
bool SaveAsPPM(const TBitmap& picture, const std::string& path);
bool SaveAsPGM(const TBitmap& picture, const std::string& path);
bool SaveAsPBM(const TBitmap& picture, const std::string& path);
