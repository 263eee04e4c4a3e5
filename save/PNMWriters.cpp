#include "save/PNMWriters.h"

#include "formats/PNMImage.h"
#include "save/WriterGuard.h"

namespace {
bool SaveAsPNM(const TBitmap& picture, const std::string& path, const char* outputFormat) {
    return GuardWriter([&] {
        TPNMImage image;
        image.Assign(picture);
        image.SetOutputFormat(outputFormat);
        image.SaveToFile(path);
    });
}
}  // namespace

bool SaveAsPPM(const TBitmap& picture, const std::string& path) { return SaveAsPNM(picture, path, "PPM"); }
bool SaveAsPGM(const TBitmap& picture, const std::string& path) { return SaveAsPNM(picture, path, "PGM"); }
bool SaveAsPBM(const TBitmap& picture, const std::string& path) { return SaveAsPNM(picture, path, "PBM"); }
