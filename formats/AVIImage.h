#pragma once
// The first frame of a video file, through the optional decoder library
// AVIDec.so; a placeholder with the file's icon when it is missing.

#include "formats/VideoDecoder.h"

class TAVIData : public TSharedImage {};

class TAVIImage : public TVideoImage {
    VORLIX_GRAPHIC_CLASS();

public:
    TAVIImage() : TVideoImage(std::make_shared<TAVIData>(), kAVIDecoder) {}
};

void InitializeAVIImageUnit();
void FinalizeAVIImageUnit();
