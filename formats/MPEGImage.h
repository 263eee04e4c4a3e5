#pragma once
// The first frame of a video file, through the optional decoder library
// MpegDec.so; a placeholder with the file's icon when it is missing.

#include "formats/VideoDecoder.h"

class TMPEGData : public TSharedImage {};

class TMPEGImage : public TVideoImage {
    VORLIX_GRAPHIC_CLASS();

public:
    TMPEGImage() : TVideoImage(std::make_shared<TMPEGData>(), kMPEGDecoder) {}
};

void InitializeMPEGImageUnit();
void FinalizeMPEGImageUnit();
