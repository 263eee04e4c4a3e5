// The MPEG decoder library: the first frame of a video file as a packed
// DIB. Its interface has no release call, so the library keeps the last
// DIB until the next call or until it is unloaded.

#include <vector>

#include "decoders/DibFrame.h"

namespace {
std::vector<uint8_t>& LastDib() {
    static std::vector<uint8_t> dib;
    return dib;
}
}  // namespace

extern "C" __attribute__((visibility("default"))) int GetDib(void** dib, const char* fileName, int frameIndex) {
    if (!dib) return 0;
    LastDib() = DecodeFirstFrameAsDib(fileName, frameIndex);
    *dib = LastDib().empty() ? nullptr : LastDib().data();
    return *dib != nullptr;
}
