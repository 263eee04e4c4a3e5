#pragma once
// Writing a file so that a failure never destroys what was there: the bytes
// go to a temporary file beside the target, which is renamed into place only
// when everything has been written.

#include <functional>
#include <string>

class TStream;

// Calls write with a stream on the temporary file. Raises EFCreateError when
// the file cannot be created or renamed; whatever write raises passes on,
// and in every failure the temporary file is removed.
void WriteFileSafely(const std::string& fileName, const std::function<void(TStream&)>& write);
