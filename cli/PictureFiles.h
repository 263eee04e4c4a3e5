#pragma once
// Reading any registered picture file and writing the output types the
// command line offers, always through a temporary file beside the target.

#include <optional>
#include <string>
#include <vector>

#include "platform/Bitmap.h"

struct CliPicture {
    TBitmap Bitmap;
    std::optional<TBitmap> Alpha;  // the alpha plane, as a grey picture
    std::string ClassName;         // the class that read the file
};

// Raises what the registry or the reader raises.
CliPicture ReadPicture(const std::string& fileName);

// The extensions WritePicture accepts, with the dot.
std::vector<std::string> WritableExtensions();
// Writes by the extension of fileName; UsageError for an extension that
// cannot be written, the writer's exception otherwise. An existing file is
// replaced only once the new one is complete.
void WritePicture(const CliPicture& picture, const std::string& fileName);
