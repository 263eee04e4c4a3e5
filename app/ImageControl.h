#pragma once
// The image control of the main window: shows a picture 1:1 at its own
// size (auto-size). It keeps its own copy of the picture, as the platform's
// image control does, and paints it straight from the picture's rows;
// only the part that is exposed is painted, so large pictures scroll
// smoothly.

#include <QImage>
#include <QWidget>
#include <functional>

#include "platform/Bitmap.h"

class TImage : public QWidget {
    Q_OBJECT

public:
    explicit TImage(QWidget* parent = nullptr);

    // Shows a copy of picture and sizes the control to it.
    void Assign(const TBitmap& picture);
    const TBitmap& Picture() const { return picture_; }
    // The rows of Picture() seen as a QImage (no pixels copied).
    const QImage& Image() const { return image_; }

    std::function<void(QObject* sender)> OnClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TBitmap picture_;
    QImage image_;
};

// A QImage over the rows of bitmap, sharing its memory, so it is valid only
// while bitmap is unchanged. A 4-bit picture, which Qt has no format for,
// gives an image of its own made from the picture widened to 8 bits.
// Empty for an empty bitmap.
QImage WrapBitmap(const TBitmap& bitmap);
