#include "formats/FormatImage.h"

#include "platform/Exceptions.h"

TFormatImage::TFormatImage(std::shared_ptr<TSharedImage> data)
    : data_(std::move(data)), bitmap_(std::make_unique<TBitmap>()) {}

void TFormatImage::AssignTo(TGraphic& dest) const { dest.Assign(*bitmap_); }

void TFormatImage::Assign(const TGraphic& source) {
    if (const auto* bitmap = dynamic_cast<const TBitmap*>(&source)) {
        bitmap_->Assign(*bitmap);
        return;
    }
    if (&source.ClassType() == &ClassType()) {
        const auto& same = static_cast<const TFormatImage&>(source);
        data_ = same.data_;
        bitmap_->Assign(*same.bitmap_);
        return;
    }
    TGraphic::Assign(source);
}

void TFormatImage::Draw(TBitmap& canvas, const TRect& rect) const { canvas.StretchDraw(rect, *bitmap_); }

void TFormatImage::SetWidth(int) { throw EInvalidGraphic("Can't change width"); }
void TFormatImage::SetHeight(int) { throw EInvalidGraphic("Can't change height"); }

void TFormatImage::WriteData(TStream& stream) const {
    TStream* raw = data_ ? data_->Stream.get() : nullptr;
    if (!raw) {
        stream.WriteDWordLE(0);
        return;
    }
    stream.WriteDWordLE(static_cast<uint32_t>(raw->Size()));
    stream.CopyFrom(*raw, 0);
}

void TFormatImage::SaveToStream(TStream& stream) const {
    if (TStream* raw = data_ ? data_->Stream.get() : nullptr) stream.CopyFrom(*raw, 0);
}

TMemoryStream TFormatImage::CopyInput(TStream& stream) {
    TMemoryStream copy;
    copy.LoadFromStream(stream);
    return copy;
}
