#include "formats/MPEGImage.h"

VORLIX_DEFINE_GRAPHIC_CLASS(TMPEGImage, TGraphic)

void InitializeMPEGImageUnit() {
    TPicture::RegisterFileFormat("mpg", "mpg", TMPEGImage::StaticClass());
    TPicture::RegisterFileFormat("mpeg", "mpeg", TMPEGImage::StaticClass());
}
void FinalizeMPEGImageUnit() { TPicture::UnregisterGraphicClass(TMPEGImage::StaticClass()); }
