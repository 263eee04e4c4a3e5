// The language-file parser under the fuzzer: the bytes as a Japanese
// language file (code page conversion, sections, keys, message breaks).

#include <cstddef>
#include <cstdint>
#include <string>

#include "lang/MemIniFile.h"
#include "platform/CodePages.h"
#include "platform/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        const std::string text =
            CodePageToUtf8(std::string_view(reinterpret_cast<const char*>(data), size), "CP932");
        const TMemIniFile file = TMemIniFile::FromText(text);
        volatile size_t sink = file.ReadString("Misc", "MISC_LANGINI_ENABLED", "").size();
        sink = sink + file.ReadString("TForm1", "FMOpen.Caption", "").size();
        (void)file.SectionExists("Misc");
    } catch (const Exception&) {
    }
    return 0;
}
