#include "platform/Graphics.h"

#include <algorithm>
#include <mutex>

#include "platform/Bitmap.h"
#include "platform/Exceptions.h"
#include "platform/PlatformGraphics.h"
#include "platform/SafeFileWriter.h"
#include "platform/Streams.h"
#include "platform/SysUtils.h"

bool TGraphicClass::InheritsFrom(const TGraphicClass& other) const {
    for (const TGraphicClass* c = this; c; c = c->Parent)
        if (c == &other) return true;
    return false;
}

const TGraphicClass& TGraphic::StaticClass() {
    static const TGraphicClass info{"TGraphic", nullptr, nullptr};
    return info;
}

void TGraphic::AssignTo(TGraphic& dest) const {
    throw EConvertError(Format(PlatformMessages::CannotAssign, ClassType().Name, dest.ClassType().Name));
}

void TGraphic::Assign(const TGraphic& source) { source.AssignTo(*this); }

void TGraphic::SetSize(int width, int height) {
    SetWidth(width);
    SetHeight(height);
}

void TGraphic::ReadData(TStream& stream) {
    const uint32_t count = stream.ReadDWordLE();
    if (count > stream.Remaining()) throw EReadError(PlatformMessages::ReadError);
    TMemoryStream bytes;
    bytes.SetSize(count);
    stream.ReadBuffer(bytes.Memory(), count);
    bytes.SetPosition(0);
    LoadFromStream(bytes);
}

void TGraphic::WriteData(TStream& stream) const {
    TMemoryStream bytes;
    SaveToStream(bytes);
    stream.WriteDWordLE(static_cast<uint32_t>(bytes.Size()));
    bytes.SaveToStream(stream);
}

void TGraphic::LoadFromFile(const std::string& fileName) {
    TFileStream stream(fileName, fmOpenRead);
    LoadFromStream(stream);
}

void TGraphic::SaveToFile(const std::string& fileName) const {
    WriteFileSafely(fileName, [this](TStream& stream) { SaveToStream(stream); });
}

// ---------------------------------------------------------------------------

namespace {

struct Registry {
    std::mutex mutex;
    std::vector<TFileFormat> formats;
    Registry() {
        formats.push_back({"wmf", "Metafiles", 0, &TMetafile::StaticClass()});
        formats.push_back({"emf", "Enhanced Metafiles", 0, &TMetafile::StaticClass()});
        formats.push_back({"ico", "Icons", 0, &TIcon::StaticClass()});
        formats.push_back({"bmp", "Bitmaps", 0, &TBitmap::StaticClass()});
    }
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

}  // namespace

void TPicture::RegisterFileFormat(const std::string& extension, const std::string& description,
                                  const TGraphicClass& graphicClass) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    registry.formats.push_back({LowerCase(extension), description, 0, &graphicClass});
}

void TPicture::UnregisterGraphicClass(const TGraphicClass& graphicClass) {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    auto& formats = registry.formats;
    for (size_t i = formats.size(); i-- > 0;)
        if (formats[i].GraphicClass->InheritsFrom(graphicClass)) formats.erase(formats.begin() + static_cast<ptrdiff_t>(i));
}

const TGraphicClass* TPicture::FindGraphicClass(const std::string& extension) {
    std::string key = LowerCase(extension);
    if (!key.empty() && key.front() == '.') key.erase(0, 1);
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    const auto& formats = registry.formats;
    for (size_t i = formats.size(); i-- > 0;)
        if (formats[i].Extension == key) return formats[i].GraphicClass;
    return nullptr;
}

std::vector<TFileFormat> TPicture::FileFormats() {
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    return registry.formats;
}

void TPicture::LoadFromFile(const std::string& fileName) {
    std::string extension = ExtractFileExt(fileName);
    if (!extension.empty()) extension.erase(0, 1);
    const TGraphicClass* graphicClass = FindGraphicClass(extension);
    if (!graphicClass || !graphicClass->Create)
        throw EInvalidGraphic(Format(EnglishPlatformTexts() ? PlatformMessages::UnknownExtensionEnglish : PlatformMessages::UnknownExtension,
                                     extension.c_str()));
    std::unique_ptr<TGraphic> graphic = graphicClass->Create();
    graphic->OnProgress = OnProgress;
    graphic->LoadFromFile(fileName);
    SetGraphic(std::move(graphic));
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic) {
    graphic_ = std::move(graphic);
    if (OnChange) OnChange(*this);
}

int TPicture::Width() const { return graphic_ ? graphic_->Width() : 0; }
int TPicture::Height() const { return graphic_ ? graphic_->Height() : 0; }
