// Every input a fuzzer ever found a fault with stays here and is replayed
// through the reader it broke: tests/data/fuzz/<extension>/<input>. The
// reader may refuse it; it must not crash, hang or exhaust memory.

#include <gtest/gtest.h>

#include <filesystem>

#include "formats/FormatRegistry.h"
#include "formats/FormatTestSupport.h"
#include "lang/MemIniFile.h"
#include "platform/CodePages.h"
#include "save/novExifMania.h"

namespace {

using namespace formats_test;

TEST(FuzzFindings, EveryKeptInputIsReadOrRefused) {
    RegisterFormatUnits();
    const std::filesystem::path root = DataPath("fuzz");
    if (!std::filesystem::is_directory(root)) GTEST_SKIP() << "no findings kept";
    for (const auto& folder : std::filesystem::directory_iterator(root)) {
        if (!folder.is_directory()) continue;
        const std::string extension = folder.path().filename().string();
        if (extension == "language_file" || extension == "exif") continue;  // not readers: replayed below
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

TEST(FuzzFindings, EveryKeptLanguageFileIsParsedOrRefused) {
    const std::filesystem::path folder = DataPath("fuzz/language_file");
    if (!std::filesystem::is_directory(folder)) GTEST_SKIP() << "no findings kept";
    for (const auto& input : std::filesystem::directory_iterator(folder)) {
        const std::vector<uint8_t> bytes = ReadFileBytes(input.path().string());
        try {
            const TMemIniFile file = TMemIniFile::FromText(
                CodePageToUtf8(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), "CP932"));
            (void)file.ReadString("Misc", "MISC_LANGINI_ENABLED", "");
        } catch (const Exception&) {
            // refused: fine
        }
    }
}

TEST(FuzzFindings, EveryKeptExifSegmentIsWalkedOrRefused) {
    const std::filesystem::path folder = DataPath("fuzz/exif");
    if (!std::filesystem::is_directory(folder)) GTEST_SKIP() << "no findings kept";
    for (const auto& input : std::filesystem::directory_iterator(folder)) {
        TMemoryStream segment(ReadFileBytes(input.path().string()));
        TThumbnailTagPositions positions;
        try {
            (void)LocateThumbnailTags(segment, positions);
        } catch (const Exception&) {
            // refused: fine
        }
    }
}

}  // namespace
