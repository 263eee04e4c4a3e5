#pragma once
// Writing a file so that a failure never destroys what was there: the bytes
// go to a temporary file beside the target, which is renamed into place only
// when everything has been written.

#include <functional>
#include <string>

class TStream;

// Calls write with a stream on the temporary file. Raises EFCreateError when
// the file cannot be created or renamed (a folder, a loop of links);
// whatever write raises passes on, and in every failure the temporary file
// is removed. Where the file system allows, the temporary file has no name
// until it is complete, so not even a killed process leaves it behind;
// otherwise SIGINT and SIGTERM remove it. A link is written through to its
// target (created when missing); a replaced file's mode, and where
// permitted its owner, carry over. A device or pipe is written straight
// into (there is nothing to keep, and a rename would replace the node).
void WriteFileSafely(const std::string& fileName, const std::function<void(TStream&)>& write);

// Whether unnamed temporary files are tried first (default true); tests
// turn it off to reach the named fallback.
void SetUnnamedTemporaryFiles(bool enabled);
