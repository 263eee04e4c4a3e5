#include "formats/AVIImage.h"

VORLIX_DEFINE_GRAPHIC_CLASS(TAVIImage, TGraphic)

void InitializeAVIImageUnit() { TPicture::RegisterFileFormat("avi", "avi", TAVIImage::StaticClass()); }
void FinalizeAVIImageUnit() { TPicture::UnregisterGraphicClass(TAVIImage::StaticClass()); }
