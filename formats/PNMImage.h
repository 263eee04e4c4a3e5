#pragma once
// Portable anymap pictures: reads P1 to P6, writes binary PPM, PGM and PBM.

#include <string>

#include "formats/FormatImage.h"

// Keeps a copy of the file last read.
class TPNMData : public TSharedImage {};

class TPNMImage : public TFormatImage {
    VORLIX_GRAPHIC_CLASS();

public:
    TPNMImage();

    // P1/P4 become 1-bit (index 0 white, 1 black), P2/P5 8-bit with a grey
    // ramp, P3/P6 24-bit. Samples are taken as they are while the maximum
    // value is at most 255; above that (16-bit files) they are scaled to
    // 0..255.
    void LoadFromStream(TStream& stream) override;
    // Writes by OutputFormat: "PPM" (P6), "PGM" (P5) or "PBM" (P4); any other
    // value writes nothing. The own picture is never changed.
    void SaveToStream(TStream& stream) const override;

    const std::string& OutputFormat() const { return outputFormat_; }
    void SetOutputFormat(std::string format) { outputFormat_ = std::move(format); }

    // Header fields of the file last read.
    const std::string& Magic() const { return magic_; }
    int MaxValue() const { return maxValue_; }
    int BitDepth() const { return bitDepth_; }
    bool HasComment() const { return hasComment_; }
    const std::string& Comment() const { return comment_; }

private:
    std::string outputFormat_;
    std::string magic_;
    int maxValue_ = 0;
    int bitDepth_ = 0;
    bool hasComment_ = false;
    std::string comment_;
};

void InitializePNMImageUnit();
void FinalizePNMImageUnit();
