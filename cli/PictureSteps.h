#pragma once
// Reading and writing with the file named in any failure.

#include <string>

#include "cli/PictureFiles.h"

// ReadPicture, turning the reader's exception into a FileError.
CliPicture ReadInput(const std::string& fileName);
// WritePicture, turning the writer's exception into a FileError (a bad
// extension stays a UsageError).
void WriteOutput(const CliPicture& picture, const std::string& fileName);
