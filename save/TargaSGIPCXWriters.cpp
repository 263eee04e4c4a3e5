#include "save/TargaSGIPCXWriters.h"


#include "formats/PCXImage.h"
#include "formats/SGIImage.h"
#include "formats/TGAImage.h"

namespace {

// Writes through SaveToFile, which keeps an existing file until the new
// one is complete; any failure, whatever its kind, is the false result.
template <class Image, class Configure>
bool SaveThrough(const TBitmap& picture, const std::string& fileName, Configure configure) {
    try {
        Image image;
        image.Assign(picture);
        configure(image);
        image.SaveToFile(fileName);
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace

bool SaveAsTarga(const TBitmap& picture, const std::string& fileName, bool runLength) {
    return SaveThrough<TTGAImage>(picture, fileName, [&](TTGAImage& image) { image.SetRLE(runLength); });
}

bool SaveAsSGI(const TBitmap& picture, const std::string& fileName) {
    return SaveThrough<TSGIImage>(picture, fileName, [](TSGIImage&) {});
}

bool SaveAsPCX(const TBitmap& picture, const std::string& fileName) {
    return SaveThrough<TPCXImage>(picture, fileName, [](TPCXImage&) {});
}
