#pragma once
// Photoshop documents: the merged picture after the layer section, raw or
// PackBits-compressed. Layers, resources and colour management are skipped.

#include <array>
#include <cstdint>
#include <string>

#include "formats/FormatImage.h"

// Keeps a copy of the file last read.
class TPSDData : public TSharedImage {};

class TPSDImage : public TFormatImage {
    VORLIX_GRAPHIC_CLASS();

public:
    TPSDImage();

    // One 1-bit channel becomes 1-bit (0 white, 1 black), one 8-bit channel
    // 8-bit with the colour table, three channels 24-bit and four 32-bit
    // (channels in red, green, blue, fourth-byte order; no colour-space
    // conversion). Other combinations, 16-bit channels among them, load as
    // an empty picture. Raises EInvalidGraphic "Invalid signature", "with
    // Macintosh resource" or "Version error"; a header cut short raises the
    // stream read error.
    void LoadFromStream(TStream& stream) override;
    std::string LoadWarning() const override { return warning_; }

    // Header fields of the file last read.
    uint16_t Channels() const { return channels_; }
    uint32_t FileHeight() const { return height_; }
    uint32_t FileWidth() const { return width_; }
    uint16_t Depth() const { return depth_; }
    uint16_t ColourMode() const { return colourMode_; }
    uint16_t Compression() const { return compression_; }
    int ChannelsUsed() const { return channelsUsed_; }
    // 1, 8, 24 or 32 when decoded; anything else was left empty.
    int BitDepth() const { return bitDepth_; }
    // 256 reds, 256 greens, 256 blues.
    const std::array<uint8_t, 768>& ColourTable() const { return colourTable_; }

private:
    uint16_t channels_ = 0;
    uint32_t height_ = 0;
    uint32_t width_ = 0;
    uint16_t depth_ = 0;
    uint16_t colourMode_ = 0;
    uint16_t compression_ = 0;
    int channelsUsed_ = 0;
    int bitDepth_ = 0;
    std::array<uint8_t, 768> colourTable_{};
    std::string warning_;
};

void InitializePSDImageUnit();
void FinalizePSDImageUnit();
