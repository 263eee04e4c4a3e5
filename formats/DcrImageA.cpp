#include "formats/DcrImageA.h"

#include <algorithm>
#include <cstring>

#include "formats/IconImageA.h"
#include "platform/BmpCodec.h"
#include "platform/Exceptions.h"
#include "platform/SysUtils.h"
#include "save/ZetJPEGImage.h"

VORLIX_DEFINE_GRAPHIC_CLASS(TDcrImageA, TGraphic)

const uint8_t kEmptyResourceEntry[32] = {0x00, 0x00, 0x00, 0x00, 0x20, 0x00, 0x00, 0x00,
                                         0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00};

namespace {

constexpr size_t kMaxNameLength = 64;
constexpr size_t kDibHeaderSize = 40;
// Data version, memory flags, language, version and characteristics.
constexpr size_t kHeaderTailSize = 16;

uint64_t Align4(uint64_t at) { return (at + 3) & ~uint64_t{3}; }

// A type or name field: an ordinal (0xFFFF, then the number) or a
// zero-terminated UTF-16 text.
struct TResId {
    bool Ordinal = false;
    uint16_t Number = 0;
    std::string Text;
    uint64_t End = 0;  // the byte after the field
};

// Bounds-checked reads of the resource file; Fits tells whether a read
// would stay inside it.
class TResFile {
public:
    explicit TResFile(const std::vector<uint8_t>& bytes) : b_(bytes) {}
    uint64_t Size() const { return b_.size(); }
    bool Fits(uint64_t at, uint64_t count) const { return at <= b_.size() && count <= b_.size() - at; }
    uint16_t U16(uint64_t at) const { return static_cast<uint16_t>(b_[at] | (b_[at + 1] << 8)); }
    uint32_t U32(uint64_t at) const { return uint32_t{U16(at)} | (uint32_t{U16(at + 2)} << 16); }

    // False when the field runs past the end of the file.
    bool Id(uint64_t at, TResId& id) const {
        if (!Fits(at, 2)) return false;
        if (U16(at) == 0xFFFF) {
            if (!Fits(at, 4)) return false;
            id.Ordinal = true;
            id.Number = U16(at + 2);
            id.Text = IntToStr(id.Number);
            id.End = at + 4;
            return true;
        }
        id.Ordinal = false;
        id.Text.clear();
        for (;; at += 2) {
            if (!Fits(at, 2)) return false;
            const uint16_t c = U16(at);
            if (c == 0) break;
            if (id.Text.size() < kMaxNameLength) id.Text.push_back(static_cast<char>(c & 0xFF));
        }
        id.End = at + 2;
        return true;
    }

private:
    const std::vector<uint8_t>& b_;
};

// The picture resources of the file, in file order.
std::vector<TResInfo> ListResources(const TResFile& file) {
    std::vector<TResInfo> list;
    auto add = [&](uint16_t kind, std::string typeName, std::string name, uint64_t size, uint64_t offset) {
        TResInfo info;
        info.Kind = kind;
        info.TypeName = std::move(typeName);
        info.ResourceName = std::move(name);
        info.DataSize = static_cast<uint32_t>(size);
        info.DataOffset = static_cast<uint32_t>(offset);
        info.Index = static_cast<uint32_t>(list.size());
        list.push_back(std::move(info));
    };
    // Where the entry at `at` ends; 0 when it is too short to step over,
    // which ends the walk (every step moves forward, so it ends).
    auto nextEntry = [&](uint64_t at) -> uint64_t {
        if (!file.Fits(at, 8)) return 0;
        const uint32_t headerSize = file.U32(at + 4);
        if (headerSize < 8) return 0;
        return Align4(at + uint64_t{headerSize} + file.U32(at));
    };

    uint64_t at = 32;
    while (at < file.Size()) {
        const uint64_t next = nextEntry(at);
        TResId type, name;
        if (next == 0 || !file.Id(at + 8, type)) break;
        const uint32_t dataSize = file.U32(at);
        const uint64_t dataAt = at + file.U32(at + 4);
        if (!type.Ordinal) {
            if (type.Text == "JPEG") {
                if (!file.Id(type.End, name)) break;
                add(rkJPEG, "JPEG", name.Text, dataSize, dataAt);
            }
            at = next;
            continue;
        }
        if (type.Number == rkBitmap) {
            if (!file.Id(type.End, name)) break;
            add(rkBitmap, "", name.Text, dataSize, dataAt);
            at = next;
            continue;
        }
        if (type.Number != rkCursor && type.Number != rkIcon) break;
        // The image's name is taken from the group entry that follows it,
        // and the pair counts as one picture.
        const uint64_t hotSpot = type.Number == rkCursor ? 4 : 0;
        const uint64_t imageSize = dataSize > hotSpot ? dataSize - hotSpot : 0;
        const uint64_t group = next;
        const uint64_t afterGroup = nextEntry(group);
        if (afterGroup == 0 || !file.Id(group + 12, name)) {
            add(type.Number, "", "", imageSize, dataAt + hotSpot);
            break;
        }
        add(type.Number, "", name.Text, imageSize, dataAt + hotSpot);
        at = afterGroup;
    }
    return list;
}

void Put16(std::vector<uint8_t>& out, uint16_t v) { out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8)}); }
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, uint16_t(v));
    Put16(out, uint16_t(v >> 16));
}

}  // namespace

TDcrImageA::TDcrImageA() : TFormatImage(std::make_shared<TDcrData>()) {}

void TDcrImageA::LoadFromStream(TStream& stream) {
    TMemoryStream copy = CopyInput(stream);
    const std::vector<uint8_t>& bytes = copy.Bytes();
    if (bytes.size() <= 32) throw EInvalidGraphic("Signature err");
    if (std::memcmp(bytes.data(), kEmptyResourceEntry, 32) != 0) {
        data_ = std::make_shared<TDcrData>();
        throw EInvalidGraphic("Signature Error");
    }
    std::vector<TResInfo> resources = ListResources(TResFile(bytes));
    bitDepth_ = 0;
    if (resources.empty()) {
        *bitmap_ = TBitmap();
        current_ = TResInfo();
    } else {
        DecodeResource(bytes, resources.front());
        current_ = resources.front();
    }
    resources_ = std::move(resources);
    auto data = std::make_shared<TDcrData>();
    data->Stream = std::make_unique<TMemoryStream>(std::move(copy));
    data_ = std::move(data);
}

void TDcrImageA::DecodeResource(const std::vector<uint8_t>& file, const TResInfo& info) {
    // A size that reaches past the file keeps only what the file holds.
    const size_t offset = std::min<size_t>(info.DataOffset, file.size());
    const size_t size = std::min<size_t>(info.DataSize, file.size() - offset);
    const uint8_t* data = file.data() + offset;

    if (info.Kind == rkBitmap) {
        // The pixels are taken right after the colour table the header
        // describes, which also serves tables shorter than 2^bits.
        TBitmap picture = ReadDib(data, size);
        bitDepth_ = TBitmap::BitsPerPixel(picture.PixelFormat());
        *bitmap_ = std::move(picture);
        return;
    }
    if (info.Kind == rkJPEG) {
        TMemoryStream jpegBytes(std::vector<uint8_t>(data, data + size));
        TJPEGImage jpeg;
        jpeg.LoadFromStream(jpegBytes);
        TBitmap picture;
        picture.Assign(jpeg);
        bitDepth_ = TBitmap::BitsPerPixel(picture.PixelFormat());
        *bitmap_ = std::move(picture);
        return;
    }

    // An icon or cursor image: a one-image icon file around it.
    auto i32 = [&](size_t at) -> int32_t {
        if (at + 4 > size) return 0;
        return static_cast<int32_t>(uint32_t{data[at]} | uint32_t{data[at + 1]} << 8 | uint32_t{data[at + 2]} << 16 |
                                    uint32_t{data[at + 3]} << 24);
    };
    const int32_t width = i32(4);
    // The stored height counts the transparency rows as well.
    const int32_t height = i32(8) / 2;
    const uint16_t bitCount = size >= 16 ? static_cast<uint16_t>(data[14] | data[15] << 8) : 0;
    std::vector<uint8_t> icon;
    Put16(icon, 0);
    Put16(icon, info.Kind == rkCursor ? 2 : 1);
    Put16(icon, 1);
    icon.push_back(static_cast<uint8_t>(width));
    icon.push_back(static_cast<uint8_t>(height));
    icon.push_back(bitCount < 8 ? static_cast<uint8_t>(1u << bitCount) : 0);
    icon.push_back(0);
    Put16(icon, 1);
    Put16(icon, bitCount);
    Put32(icon, static_cast<uint32_t>(size));
    Put32(icon, 22);
    icon.insert(icon.end(), data, data + size);
    TMemoryStream iconStream(std::move(icon));
    TIconImageA reader;
    reader.LoadFromStream(iconStream);
    TBitmap picture(reader.Width(), reader.Height(), pf24bit);
    picture.Draw(0, 0, reader);
    bitDepth_ = bitCount;
    *bitmap_ = std::move(picture);
}

void TDcrImageA::SaveToStream(TStream& stream) const {
    TBitmap picture(*bitmap_);
    int bitCount = 24;
    switch (picture.PixelFormat()) {
        case pf1bit: bitCount = 1; break;
        case pf4bit: bitCount = 4; break;
        case pf8bit: bitCount = 8; break;
        case pf24bit: break;
        default: picture.SetPixelFormat(pf24bit); break;
    }
    const uint32_t entries = bitCount <= 8 ? 1u << bitCount : 0;
    const size_t rowSize = (size_t(picture.Width()) * size_t(bitCount) + 31) / 32 * 4;
    const uint64_t imageSize = uint64_t(picture.Height()) * rowSize;

    std::vector<uint8_t> out(kEmptyResourceEntry, kEmptyResourceEntry + 32);
    std::vector<uint8_t> name;
    for (char c : resourceName_) Put16(name, static_cast<uint8_t>(c));
    Put16(name, 0);
    name.resize(size_t(Align4(name.size())), 0);
    Put32(out, static_cast<uint32_t>(kDibHeaderSize + 4 * entries + imageSize));
    Put32(out, static_cast<uint32_t>(8 + 4 + name.size() + kHeaderTailSize));
    Put16(out, 0xFFFF);
    Put16(out, rkBitmap);
    out.insert(out.end(), name.begin(), name.end());
    out.resize(out.size() + kHeaderTailSize, 0);

    Put32(out, kDibHeaderSize);
    Put32(out, static_cast<uint32_t>(picture.Width()));
    Put32(out, static_cast<uint32_t>(picture.Height()));
    Put16(out, 1);
    Put16(out, static_cast<uint16_t>(bitCount));
    Put32(out, 0);
    Put32(out, static_cast<uint32_t>(imageSize));
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, entries);
    Put32(out, 0);
    const TPalette& palette = picture.EffectivePalette();
    for (uint32_t i = 0; i < entries; ++i) {
        const TPaletteEntry e = i < palette.size() ? palette[i] : TPaletteEntry{};
        out.insert(out.end(), {e.Blue, e.Green, e.Red, e.Flags});
    }
    stream.WriteBuffer(out.data(), int64_t(out.size()));
    std::vector<uint8_t> row(rowSize, 0);
    const size_t rowBytes = TBitmap::BytesPerRow(picture.PixelFormat(), picture.Width());
    for (int y = picture.Height() - 1; y >= 0; --y) {
        std::copy_n(picture.ScanLine(y), std::min(rowBytes, rowSize), row.begin());
        stream.WriteBuffer(row.data(), int64_t(rowSize));
    }
}

void InitializeDcrImageAUnit() {
    TPicture::RegisterFileFormat("dcr", "Delphi resource", TDcrImageA::StaticClass());
    TPicture::RegisterFileFormat("res", "Win32 resource", TDcrImageA::StaticClass());
}

void FinalizeDcrImageAUnit() { TPicture::UnregisterGraphicClass(TDcrImageA::StaticClass()); }
