#pragma once
// The first frame of a video file as a packed device-independent bitmap:
// a 40-byte info header, then 24-bit rows, bottom row first, each padded to
// four bytes. What the video decoder libraries hand to the program.

#include <cstdint>
#include <vector>

// Empty when the file has no video stream or its first frame cannot be
// decoded.
std::vector<uint8_t> DecodeFirstFrameAsDib(const char* fileName, int frameIndex);
