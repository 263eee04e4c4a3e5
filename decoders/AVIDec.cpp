// The AVI decoder library: the first frame of a video file as a packed
// DIB, valid until the next call or ReleaseAVIDIB.

#include <vector>

#include "decoders/DibFrame.h"

namespace {
std::vector<uint8_t>& LastDib() {
    static std::vector<uint8_t> dib;
    return dib;
}
}  // namespace

extern "C" __attribute__((visibility("default"))) int GetAVIDIB(void** dib, const char* fileName, int frameIndex) {
    if (!dib) return 0;
    LastDib() = DecodeFirstFrameAsDib(fileName, frameIndex);
    *dib = LastDib().empty() ? nullptr : LastDib().data();
    return *dib != nullptr;
}

extern "C" __attribute__((visibility("default"))) void ReleaseAVIDIB() { std::vector<uint8_t>().swap(LastDib()); }
