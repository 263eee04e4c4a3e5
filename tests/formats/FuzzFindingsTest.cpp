// Every input a fuzzer ever found a fault with stays here and is replayed
// through the reader it broke: tests/data/fuzz/<extension>/<input>. The
// reader may refuse it; it must not crash, hang or exhaust memory.

#include <gtest/gtest.h>

#include <filesystem>

#include "formats/FormatRegistry.h"
#include "formats/FormatTestSupport.h"

namespace {

using namespace formats_test;

TEST(FuzzFindings, EveryKeptInputIsReadOrRefused) {
    RegisterFormatUnits();
    const std::filesystem::path root = DataPath("fuzz");
    if (!std::filesystem::is_directory(root)) GTEST_SKIP() << "no findings kept";
    for (const auto& folder : std::filesystem::directory_iterator(root)) {
        if (!folder.is_directory()) continue;
        const std::string extension = folder.path().filename().string();
        if (extension == "language_file") continue;  // replayed by the language tests
        const TGraphicClass* cls = TPicture::FindGraphicClass(extension);
        ASSERT_NE(cls, nullptr) << extension;
        for (const auto& input : std::filesystem::directory_iterator(folder.path())) {
            std::unique_ptr<TGraphic> graphic = cls->Create();
            try {
                LoadInto(*graphic, ReadFileBytes(input.path().string()));
                TBitmap picture;
                picture.Assign(*graphic);
            } catch (const Exception&) {
                // refused: fine
            }
        }
    }
}

}  // namespace
