#pragma once
// The shape every format class shares: a shared data holder, an owned
// bitmap that receives the decoded picture, and the operations that only
// hand that bitmap around.

#include <memory>

#include "platform/Bitmap.h"
#include "platform/Streams.h"

class TFormatImage : public TGraphic {
public:
    explicit TFormatImage(std::shared_ptr<TSharedImage> data);
    TFormatImage(const TFormatImage&) = delete;
    TFormatImage& operator=(const TFormatImage&) = delete;

    void AssignTo(TGraphic& dest) const override;
    // A bitmap is copied in; an object of the same class shares its data
    // holder and lends a copy of its bitmap; anything else is asked to
    // assign itself here.
    void Assign(const TGraphic& source) override;
    void Draw(TBitmap& canvas, const TRect& rect) const override;
    bool Empty() const override { return data_ == nullptr && bitmap_->Empty(); }
    int Width() const override { return bitmap_->Width(); }
    int Height() const override { return bitmap_->Height(); }
    TPalette Palette() const override { return bitmap_->Palette(); }
    void SetPalette(const TPalette& palette) override { bitmap_->SetPalette(palette); }
    void SetWidth(int width) override;    // raises EInvalidGraphic "Can't change width"
    void SetHeight(int height) override;  // raises EInvalidGraphic "Can't change height"
    void WriteData(TStream& stream) const override;
    // Copies the kept raw file out, when the class keeps one.
    void SaveToStream(TStream& stream) const override;

    TBitmap& Bitmap() { return *bitmap_; }
    const TBitmap& Bitmap() const { return *bitmap_; }
    TSharedImage& Data() const { return *data_; }

protected:
    // The rest of stream from its position, as a memory stream at 0, so
    // every offset counts from the start of the file.
    static TMemoryStream CopyInput(TStream& stream);

    std::shared_ptr<TSharedImage> data_;
    std::unique_ptr<TBitmap> bitmap_;
};
