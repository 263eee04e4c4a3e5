// One reader under the fuzzer: the bytes go through the program's own load
// path (the class registered for VORLIX_FUZZ_EXTENSION, decoding from a
// memory stream) and then into a bitmap, as the main window takes them.
// The program's own exceptions are refusals and fine (the front ends report
// them as the file's fault); any other exception, a crash, a sanitizer
// report, a hang or a runaway allocation is a finding.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "formats/FormatRegistry.h"
#include "platform/Bitmap.h"
#include "platform/Exceptions.h"
#include "platform/Graphics.h"
#include "platform/Streams.h"

#ifndef VORLIX_FUZZ_EXTENSION
#error "VORLIX_FUZZ_EXTENSION names the reader"
#endif

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const TGraphicClass* cls = [] {
        RegisterFormatUnits();
        return TPicture::FindGraphicClass(VORLIX_FUZZ_EXTENSION);
    }();
    if (!cls) __builtin_trap();  // the target names a reader that is not there
    try {
        std::unique_ptr<TGraphic> graphic = cls->Create();
        TMemoryStream stream(std::vector<uint8_t>(data, data + size));
        graphic->LoadFromStream(stream);
        TBitmap picture;
        picture.Assign(*graphic);
        // Touch the rows the reader claims to have filled; a picture with no
        // columns has no row memory to touch.
        volatile uint8_t sink = 0;
        if (picture.Width() > 0)
            for (int y = 0; y < picture.Height(); ++y) sink = sink + picture.ScanLine(y)[0];
    } catch (const Exception&) {
    }
    return 0;
}
