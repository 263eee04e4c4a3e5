#include "formats/FormatRegistry.h"

#include <mutex>

#include "formats/AVIImage.h"
#include "formats/DcrImageA.h"
#include "formats/GIFImage.h"
#include "formats/ILBMImage.h"
#include "formats/MPEGImage.h"
#include "formats/PCDImage.h"
#include "formats/GLDPNGImage.h"
#include "formats/IconImageA.h"
#include "formats/IconImageB.h"
#include "formats/Mag.h"
#include "formats/PNMImage.h"
#include "formats/RawImage.h"
#include "formats/YPICImage.h"
#include "formats/PSDImage.h"
#include "formats/PSPImage.h"
#include "formats/novTIFFImage.h"
#include "formats/PCXImage.h"
#include "formats/SGIImage.h"
#include "formats/TGAImage.h"
#include "save/ZetJPEGImage.h"

namespace {

struct FormatUnit {
    void (*Initialize)();
    void (*Finalize)();
};

// In start-up order. A unit's routines are declared in its own header.
constexpr FormatUnit kUnits[] = {
    {InitializeZetJPEGImageUnit, FinalizeZetJPEGImageUnit},  // jpg, jpeg, jpe
    {InitializeGLDPNGImageUnit, FinalizeGLDPNGImageUnit},    // png
    {InitializeGIFImageUnit, FinalizeGIFImageUnit},          // gif
    {InitializenovTIFFImageUnit, FinalizenovTIFFImageUnit},  // tiff, tif
    {InitializePNMImageUnit, FinalizePNMImageUnit},          // ppm, pgm, pbm
    {InitializeTGAImageUnit, FinalizeTGAImageUnit},          // tga, vst, icb, vda
    {InitializePCXImageUnit, FinalizePCXImageUnit},          // pcx
    {InitializePSDImageUnit, FinalizePSDImageUnit},          // psd
    {InitializePSPImageUnit, FinalizePSPImageUnit},          // psp, jsl, pfr, tub, pspimage
    {InitializePCDImageUnit, FinalizePCDImageUnit},          // pcd
    {InitializeSGIImageUnit, FinalizeSGIImageUnit},          // sgi, rgb, rgba
    {InitializeILBMImageUnit, FinalizeILBMImageUnit},        // iff, lbm
    {InitializeMagUnit, FinalizeMagUnit},                    // mag
    {InitializeYPICImageUnit, FinalizeYPICImageUnit},        // pic
    {InitializeRawImageUnit, FinalizeRawImageUnit},          // raw
    {InitializeMPEGImageUnit, FinalizeMPEGImageUnit},        // mpg, mpeg
    {InitializeAVIImageUnit, FinalizeAVIImageUnit},          // avi
    {InitializeIconImageAUnit, FinalizeIconImageAUnit},      // cur
    {InitializeDcrImageAUnit, FinalizeDcrImageAUnit},        // dcr, res
    // Takes "ico" from the platform's icon class, and "cur" from TIconImageA.
    {InitializeIconImageBUnit, FinalizeIconImageBUnit},      // ico, cur
};

std::mutex gMutex;
bool gRegistered = false;

}  // namespace

void RegisterFormatUnits() {
    std::lock_guard lock(gMutex);
    if (gRegistered) return;
    for (const FormatUnit& unit : kUnits)
        if (unit.Initialize) unit.Initialize();
    gRegistered = true;
}

void UnregisterFormatUnits() {
    std::lock_guard lock(gMutex);
    if (!gRegistered) return;
    for (auto it = std::rbegin(kUnits); it != std::rend(kUnits); ++it)
        if (it->Finalize) it->Finalize();
    gRegistered = false;
}
