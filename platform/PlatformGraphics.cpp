#include "platform/PlatformGraphics.h"

#include "platform/BmpCodec.h"
#include "platform/Exceptions.h"
#include "platform/Streams.h"

VORLIX_DEFINE_GRAPHIC_CLASS(TMetafile, TGraphic)
VORLIX_DEFINE_GRAPHIC_CLASS(TIcon, TGraphic)

void TRasterGraphic::SetWidth(int) { throw EInvalidGraphic("Can't change width"); }
void TRasterGraphic::SetHeight(int) { throw EInvalidGraphic("Can't change height"); }

void TRasterGraphic::SaveToStream(TStream& stream) const {
    stream.WriteBuffer(bytes_.data(), static_cast<int64_t>(bytes_.size()));
}

void TMetafile::LoadFromStream(TStream&) {
    throw EInvalidGraphic("Metafiles cannot be displayed on this platform");
}

void TIcon::LoadFromStream(TStream& stream) {
    TMemoryStream copy;
    copy.LoadFromStream(stream);
    const uint8_t* data = copy.Memory();
    const auto size = static_cast<size_t>(copy.Size());
    auto u16 = [&](size_t at) { return static_cast<uint16_t>(data[at] | (data[at + 1] << 8)); };
    auto u32 = [&](size_t at) { return uint32_t{u16(at)} | (uint32_t{u16(at + 2)} << 16); };
    if (size < 6 + 16 || u16(0) != 0 || (u16(2) != 1 && u16(2) != 2) || u16(4) == 0)
        throw EInvalidGraphic("Icon image is not valid");
    const uint32_t length = u32(6 + 8);
    const uint32_t offset = u32(6 + 12);
    if (offset > size || length > size - offset || length < 4)
        throw EInvalidGraphic("Icon image is not valid");
    if (data[offset] == 0x89 && data[offset + 1] == 'P')
        throw EInvalidGraphic("Icon image is not valid");
    TBitmap image = ReadDib(data + offset, length, 0, true);
    bytes_ = copy.TakeBytes();
    bitmap_ = std::move(image);
}
