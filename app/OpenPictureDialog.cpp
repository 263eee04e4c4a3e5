#include "app/OpenPictureDialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <exception>

#include "app/FormatType.h"
#include "app/ImageControl.h"
#include "platform/Bitmap.h"
#include "platform/Graphics.h"
#include "platform/SystemInfo.h"

namespace {
constexpr int kPreviewSize = 160;
}

TOpenPictureDialog::TOpenPictureDialog(QWidget* parent) : QFileDialog(parent) {
    setOption(QFileDialog::DontUseNativeDialog);
    // The type list shows the display texts of the filter as they are.
    setOption(QFileDialog::HideNameFilterDetails);
    setFileMode(QFileDialog::ExistingFile);
    setAcceptMode(QFileDialog::AcceptOpen);

    auto* pane = new QWidget(this);
    auto* column = new QVBoxLayout(pane);
    preview_ = new QLabel(pane);
    preview_->setFixedSize(kPreviewSize, kPreviewSize);
    preview_->setAlignment(Qt::AlignCenter);
    preview_->setFrameShape(QFrame::StyledPanel);
    previewSize_ = new QLabel(pane);
    previewSize_->setAlignment(Qt::AlignCenter);
    column->addWidget(preview_);
    column->addWidget(previewSize_);
    column->addStretch();
    if (auto* grid = qobject_cast<QGridLayout*>(layout())) grid->addWidget(pane, 0, grid->columnCount(), grid->rowCount(), 1);

    connect(this, &QFileDialog::currentChanged, this, &TOpenPictureDialog::Preview);
}

void TOpenPictureDialog::SetFilter(const std::string& filter) {
    setNameFilters(QString::fromStdString(OpenFilterToQt(filter)).split(QStringLiteral(";;")));
}

QPixmap TOpenPictureDialog::PreviewPixmap() const { return preview_->pixmap(); }

void TOpenPictureDialog::Preview(const QString& path) {
    preview_->clear();
    previewSize_->clear();
    const std::string name = path.toStdString();
    if (!FileExists(name)) return;
    try {
        TPicture picture;
        picture.LoadFromFile(name);
        TBitmap bitmap;
        bitmap.Assign(*picture.Graphic());
        const QImage image = WrapBitmap(bitmap);
        if (image.isNull()) return;
        const QImage shown = image.width() > kPreviewSize || image.height() > kPreviewSize
                                 ? image.scaled(kPreviewSize, kPreviewSize, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                                 : image.copy();
        preview_->setPixmap(QPixmap::fromImage(shown));
        previewSize_->setText(QStringLiteral("%1 x %2").arg(bitmap.Width()).arg(bitmap.Height()));
    } catch (const std::exception&) {
        // A file that does not decode simply has no preview.
    }
}
