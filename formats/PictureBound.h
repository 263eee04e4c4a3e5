#pragma once
// How much picture a file may make a reader allocate. A header can promise
// more than its data fills (a file cut short shows what it holds), but
// only so much more: a picture up to kAlwaysAcceptedPixelBytes is always
// allocated, a larger one only when the data after the header could fill
// it, at the best ratio its encoding allows. A few bytes of header can then
// never make a reader allocate, clear and copy a huge picture.

#include <cstdint>

#include "platform/Exceptions.h"

inline constexpr uint64_t kAlwaysAcceptedPixelBytes = uint64_t{64} << 20;
// Uncompressed data is taken as if it could fill this many times its size,
// so a file that lost most of its rows still shows the rows it kept.
inline constexpr uint64_t kTruncatedRowsSlack = 16;

// Raises the platform's stream read error (the data certainly ends before
// the picture does) when pictureBytes exceeds the bound.
inline void RequirePictureWithinData(uint64_t pictureBytes, uint64_t fillableBytes) {
    if (pictureBytes > kAlwaysAcceptedPixelBytes && pictureBytes > fillableBytes)
        throw EReadError(PlatformMessages::ReadError);
}

// The load warnings of the readers that show what a damaged file holds.
inline constexpr const char* kFileEndsEarlyWarning = "ends early; the rest of the picture is missing";
