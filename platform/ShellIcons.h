#pragma once
// What the desktop shows for a file: the icon of its type and the face
// colour of buttons. The GUI installs its providers at start-up; without a
// display the program uses a plain icon of its own and the usual light grey.

#include <functional>
#include <optional>
#include <string>

#include "platform/Bitmap.h"

// A 32-bit picture (blue, green, red, alpha per pixel) of the icon the
// desktop associates with the file; nullopt when it has none.
using TAssociatedIconProvider = std::function<std::optional<TBitmap>(const std::string& fileName)>;
void SetAssociatedIconProvider(TAssociatedIconProvider provider);
// The installed provider's icon, or the program's own 32 x 32 file icon.
TBitmap AssociatedIcon(const std::string& fileName);

// Red + 256 green + 65536 blue.
TColor ButtonFaceColour();
void SetButtonFaceColour(std::optional<TColor> colour);

// Blends a 32-bit icon onto a 24-bit picture at (x, y) by its alpha.
void DrawIcon(TBitmap& canvas, int x, int y, const TBitmap& icon);
