#include "app/DesktopIcons.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QPalette>

#include <cstring>

#include "platform/ShellIcons.h"

void InstallDesktopIconProviders() {
    SetAssociatedIconProvider([](const std::string& fileName) -> std::optional<TBitmap> {
        const QIcon icon = QFileIconProvider().icon(QFileInfo(QString::fromStdString(fileName)));
        if (icon.isNull()) return std::nullopt;
        // Blue, green, red, alpha bytes in memory, as the core's 32-bit rows.
        const QImage image = icon.pixmap(32, 32).toImage().convertToFormat(QImage::Format_ARGB32);
        if (image.isNull() || image.width() <= 0 || image.height() <= 0) return std::nullopt;
        TBitmap bitmap(image.width(), image.height(), pf32bit);
        for (int y = 0; y < image.height(); ++y)
            std::memcpy(bitmap.ScanLine(y), image.constScanLine(y), size_t(image.width()) * 4);
        return bitmap;
    });
    const QColor face = QApplication::palette().color(QPalette::Button);
    SetButtonFaceColour(RGBColor(uint8_t(face.red()), uint8_t(face.green()), uint8_t(face.blue())));
}
