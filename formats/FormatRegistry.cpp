#include "formats/FormatRegistry.h"

#include <mutex>

#include "formats/GIFImage.h"
#include "formats/GLDPNGImage.h"
#include "formats/PCXImage.h"
#include "formats/PNMImage.h"
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
    {InitializePNMImageUnit, FinalizePNMImageUnit},          // ppm, pgm, pbm
    {InitializeTGAImageUnit, FinalizeTGAImageUnit},          // tga, vst, icb, vda
    {InitializePCXImageUnit, FinalizePCXImageUnit},          // pcx
    {InitializeSGIImageUnit, FinalizeSGIImageUnit},          // sgi, rgb, rgba
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
