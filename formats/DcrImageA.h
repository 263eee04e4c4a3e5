#pragma once
// 32-bit resource files (.dcr, .res) as pictures: the first bitmap, icon,
// cursor or "JPEG" resource is shown; writing makes a file holding one
// bitmap resource named ResourceName.

#include <string>
#include <vector>

#include "formats/FormatImage.h"

// Keeps the whole resource file.
class TDcrData : public TSharedImage {};

enum TResKind : uint16_t { rkJPEG = 0, rkCursor = 1, rkBitmap = 2, rkIcon = 3 };

struct TResInfo {
    uint16_t Kind = rkBitmap;
    std::string TypeName;      // "JPEG" for the named type, else empty
    std::string ResourceName;  // an ordinal name as its decimal number
    uint32_t DataSize = 0;
    uint32_t DataOffset = 0;   // from the start of the file
    uint32_t Index = 0;
};

class TDcrImageA : public TFormatImage {
    VORLIX_GRAPHIC_CLASS();

public:
    TDcrImageA();

    // EInvalidGraphic "Signature err" for 32 bytes or fewer, "Signature
    // Error" when the file does not start with the empty resource. A file
    // without a picture resource gives an empty picture. Bitmaps keep their
    // stored pixel format; icons and cursors are drawn on a 24-bit picture.
    void LoadFromStream(TStream& stream) override;
    // One bitmap resource of the picture: 1/4/8/24-bit as it is, any other
    // format as 24-bit.
    void SaveToStream(TStream& stream) const override;

    const std::vector<TResInfo>& Resources() const { return resources_; }
    const TResInfo& Current() const { return current_; }
    const std::string& ResourceName() const { return resourceName_; }
    void SetResourceName(std::string name) { resourceName_ = std::move(name); }
    int BitDepth() const { return bitDepth_; }

private:
    void DecodeResource(const std::vector<uint8_t>& file, const TResInfo& info);

    std::vector<TResInfo> resources_;
    TResInfo current_;
    std::string resourceName_;
    int bitDepth_ = 0;
};

// The exact first 32 bytes of every resource file.
extern const uint8_t kEmptyResourceEntry[32];

void InitializeDcrImageAUnit();
void FinalizeDcrImageAUnit();
