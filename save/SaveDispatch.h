#pragma once
// From the file type chosen for a save to the writer that writes it. The
// main window and the command line both save through here, so a type
// writes the same bytes whichever front end asked.

#include <string>

#include "platform/Bitmap.h"
#include "save/KestruneFileTypes.h"

struct TSaveRequest {
    TFileType4Save FileType = sftUNKNOWN;
    std::string TargetPath;
    // The file the picture was opened from; the JPEG writer copies its Exif
    // block.
    std::string SourcePath;
    TSaveOptionValues Options;
    std::string DCRResourceName;
    // What the source file offers (the Exif probe's answers).
    bool HasExif = false;
    bool HasThumbnail = false;
    // Set for the alpha path of a PNG save: the alpha plane at the picture's
    // size, grey level = opacity. The writer makes it an 8-bit grey palette
    // picture in place.
    TBitmap* AlphaPlane = nullptr;
};

// Writes work as request.FileType asks. Types whose writer changes the
// picture get a copy; work itself is never changed. Returns the writer's
// result, false for a type that has no writer (LastWriterFailure says why
// when it is false). The bitmap and the PNG-with-alpha writers report
// their failures by raising instead. Every writer goes through a temporary
// file beside the target, so no failure destroys an existing file there.
bool SaveByFileType(const TBitmap& work, TSaveRequest& request);

// Whether SaveByFileType has a writer for the type.
bool HasWriterFor(TFileType4Save type);
