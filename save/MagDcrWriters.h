#pragma once
// The save flow's writers for MAG and resource files. Both reduce the
// picture they are given to 256 colours first (the caller hands them a
// copy), and report failure by their result instead of an exception.

#include <string>

#include "platform/Bitmap.h"

// True when the file was written; false when anything raised.
bool SaveAsMAG(TBitmap& picture, const std::string& fileName);
// The bitmap resource is named resourceName in upper case.
bool SaveAsDCR(TBitmap& picture, const std::string& fileName, const std::string& resourceName);
