#pragma once
// MAG pictures (16 or 256 palette colours, lossless). The encoded file is
// the main state: an unchanged picture is written back byte for byte, a
// changed or newly assigned one is encoded anew.

#include <string>
#include <vector>

#include "formats/FormatImage.h"
#include "formats/MagTypes.h"

class TMAGImage : public TFormatImage {
    VORLIX_GRAPHIC_CLASS();

public:
    TMAGImage();

    // From a TMAGImage: shares its data and copies its attributes and
    // picture. From anything else: takes the picture, resets the attributes
    // and makes it 4-bit (from 1-bit) or 8-bit (from anything but 4/8-bit),
    // widened with index 0 to a whole number of units.
    void Assign(const TGraphic& source) override;
    TPalette Palette() const override { return bitmap_->Palette(); }
    void SetPalette(const TPalette& palette) override;
    // Round the width up to the unit multiple; EInvalidMagOperation "range
    // over" when the end column or row would pass 65535.
    void SetWidth(int width) override;
    void SetHeight(int height) override;
    // EMagError "is not MAG." for anything that is not a MAG file, including
    // a header that promises more picture than its data could encode.
    void LoadFromStream(TStream& stream) override;
    // EInvalidMagOperation "not have DIB" without a picture.
    void SaveToStream(TStream& stream) const override;
    std::string LoadWarning() const override { return warning_; }
    // The 32-bit size and what SaveToStream writes (0 for an empty picture).
    void WriteData(TStream& stream) const override;

    // True only for a TMAGImage sharing this one's data.
    virtual bool Equals(const TGraphic& other) const;
    // 16 colours, the default comment and user name, 400 lines, start (0, 0).
    virtual void InitAttributes();

    // Handing the picture out for change counts as a change.
    TBitmap& Bitmap() {
        modified_ = true;
        return *bitmap_;
    }
    const TBitmap& Bitmap() const { return *bitmap_; }
    const TMagData& MagData() const { return static_cast<const TMagData&>(*data_); }
    bool Modified() const { return modified_; }
    // The file SaveToStream writes for the current picture when it has changed.
    std::vector<uint8_t> Encode() const;

    int ColourMode() const { return colourMode_; }  // 0: 16 colours, 1: 256
    const std::string& Comment() const { return comment_; }
    void SetComment(std::string comment);
    const std::string& UserName() const { return userName_; }
    void SetUserName(std::string name);
    bool Lines200() const { return lines200_; }
    void SetLines200(bool value);
    int XStart() const { return xStart_; }
    int YStart() const { return yStart_; }
    // X start is kept on a unit boundary, as readers round it down.
    void SetStart(int x, int y);

private:
    // The picture of the file in bytes whose header starts at headerAt.
    void Decode(const std::vector<uint8_t>& bytes, size_t headerAt, const TMagHeader& header, int width, int height);

    int colourMode_ = 0;
    std::string comment_;
    std::string userName_;
    bool lines200_ = false;
    int xStart_ = 0;
    int yStart_ = 0;
    bool modified_ = false;
    std::string warning_;
};

void InitializeMagUnit();
void FinalizeMagUnit();
