#pragma once
// Reading and writing with the file named in any failure.

#include <set>
#include <string>

#include "cli/PictureFiles.h"

class CliArguments;

// The options every reading command takes, and their values.
extern const std::set<std::string> kReadValuedOptions;
extern const std::set<std::string> kReadFlagOptions;
CliReadOptions ReadOptionsFrom(const CliArguments& arguments);
// The options of the writers; input is the file --exif-copy copies from.
extern const std::set<std::string> kWriteValuedOptions;
extern const std::set<std::string> kWriteFlagOptions;
CliWriteOptions WriteOptionsFrom(const CliArguments& arguments, const std::string& input = "");

// ReadPicture, turning the reader's exception into a FileError, as well as
// an empty picture; prints the reader's warning, naming the file.
CliPicture ReadInput(const std::string& fileName, const CliReadOptions& options = {});
// WritePicture, turning a failure to create or write the file into a
// FileError (a bad extension stays a UsageError; a failure to encode passes
// on as it is).
void WriteOutput(const CliPicture& picture, const std::string& fileName, const CliWriteOptions& options = {});

// a ∪ b, for building option sets.
std::set<std::string> Union(std::initializer_list<std::set<std::string>> sets);
