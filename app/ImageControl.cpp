#include "app/ImageControl.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace {
QList<QRgb> ColourTable(const TBitmap& bitmap) {
    QList<QRgb> table;
    for (const TPaletteEntry& entry : bitmap.EffectivePalette()) table.push_back(qRgb(entry.Red, entry.Green, entry.Blue));
    // Indices past the palette show black, as the bitmap reads them.
    const int needed = 1 << TBitmap::BitsPerPixel(bitmap.PixelFormat());
    while (table.size() < needed) table.push_back(qRgb(0, 0, 0));
    return table;
}
}  // namespace

QImage WrapBitmap(const TBitmap& bitmap) {
    if (bitmap.Empty()) return {};
    if (bitmap.PixelFormat() == pf4bit) {
        TBitmap wide = bitmap;
        wide.SetPixelFormat(pf8bit);
        return WrapBitmap(wide).copy();
    }
    const TBitmap* source = &bitmap;
    QImage::Format format = QImage::Format_BGR888;
    switch (source->PixelFormat()) {
        case pf1bit: format = QImage::Format_Mono; break;
        case pf8bit: format = QImage::Format_Indexed8; break;
        case pf15bit: format = QImage::Format_RGB555; break;
        case pf16bit: format = QImage::Format_RGB16; break;
        case pf32bit:
        case pfDevice: format = QImage::Format_RGB32; break;
        default: format = QImage::Format_BGR888; break;
    }
    QImage image(source->ScanLine(0), source->Width(), source->Height(), static_cast<qsizetype>(source->RowStride()),
                 format);
    if (TBitmap::IsIndexed(source->PixelFormat())) image.setColorTable(ColourTable(*source));
    return image;
}

TImage::TImage(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(0, 0);
}

void TImage::Assign(const TBitmap& picture) {
    TBitmap copy = picture;
    image_ = QImage();
    picture_ = std::move(copy);
    image_ = WrapBitmap(picture_);
    setFixedSize(picture_.Width(), picture_.Height());
    update();
}

void TImage::paintEvent(QPaintEvent* event) {
    if (image_.isNull()) return;
    QPainter painter(this);
    const QRect exposed = event->rect() & image_.rect();
    painter.drawImage(exposed.topLeft(), image_, exposed);
}

void TImage::mousePressEvent(QMouseEvent* event) { event->accept(); }

void TImage::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && OnClick) OnClick(this);
}
