#include "formats/TiffTagNodes.h"

#include <mutex>
#include <utility>

#include "platform/SysUtils.h"

namespace {

constexpr std::pair<uint16_t, const char*> kTagNames[] = {
    {254, "NewSubfileType"},
    {256, "ImageWidth"},
    {257, "ImageLength"},
    {258, "BitsPerSample"},
    {259, "Compression"},
    {262, "PhotometricInterpretation"},
    {263, "Thresholding"},
    {264, "CellWidth"},
    {265, "CellLength"},
    {266, "FillOrder"},
    {270, "ImageDescription"},
    {271, "Make"},
    {272, "Model"},
    {273, "StripOffsets"},
    {274, "Orientation"},
    {277, "SamplesPerPixel"},
    {278, "RowsPerStrip"},
    {279, "StripByteCounts"},
    {280, "MinSampleValue"},
    {281, "MaxSampleValue"},
    {282, "XResolution"},
    {283, "YResolution"},
    {284, "PlanarConfiguration"},
    {290, "GrayResponseUnit"},
    {291, "GrayResponseCurve"},
    {296, "ResolutionUnit"},
    {301, "TransferFunction"},
    {305, "Software"},
    {306, "DateTime"},
    {315, "Artist"},
    {316, "HostComputer"},
    {317, "Predictor"},
    {318, "WhitePoint"},
    {319, "PrimaryChromaticities"},
    {320, "ColorMap"},
    {321, "HalftoneHints"},
    {322, "TileWidth"},
    {323, "TileLength"},
    {324, "TileOffset"},
    {338, "ExtraSamples"},
    {342, "TransferRange"},
    {513, "JpegInterchangeFormat"},
    {514, "JpegInterchangeFormatLength"},
    {529, "YCbCrCoefficients"},
    {530, "YCbCrSubSampling"},
    {531, "YCbCrPositioning"},
    {532, "ReferenceBlackWhite"},
    {33432, "Copyright"},
};

constexpr const char* kTypeNames[] = {"BYTE",  "ASCII",  "SHORT",     "LONG",  "RATIONAL", "SBYTE",
                                      "UNDEFINED", "SSHORT", "SLONG", "SRATIONAL", "FLOAT", "DOUBLE"};

std::mutex gTreeMutex;
std::unique_ptr<TNode> gRoot = std::make_unique<TNode>("root");

}  // namespace

TNode& TNode::Add(std::unique_ptr<TNode> child) {
    child->parent_ = this;
    children_.push_back(std::move(child));
    return *children_.back();
}

TNode* TNode::Find(std::string_view name) const {
    for (const auto& child : children_)
        if (child->Name == name) return child.get();
    return nullptr;
}

std::string TiffTagName(uint16_t tag) {
    for (const auto& [code, name] : kTagNames)
        if (code == tag) return name;
    return Format("TagCode=%.2X", unsigned{tag});
}

const char* TiffTypeName(uint16_t type) {
    return type >= 1 && type <= std::size(kTypeNames) ? kTypeNames[type - 1] : "unknown";
}

uint32_t TiffValueSize(uint16_t type) {
    switch (type) {
        case 1: case 2: case 6: case 7: return 1;
        case 3: case 8: return 2;
        default: return 4;
    }
}

TNode& TiffTagRoot() {
    std::lock_guard lock(gTreeMutex);
    return *gRoot;
}

TNode& ResetTiffTagTree() {
    std::lock_guard lock(gTreeMutex);
    gRoot = std::make_unique<TNode>("root");
    return *gRoot;
}
