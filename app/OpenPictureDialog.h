#pragma once
// The open-picture dialog: a file dialog with a preview of the picture
// under the selection, its filter given in the "text|masks|..." form.

#include <QFileDialog>

class QLabel;

class TOpenPictureDialog : public QFileDialog {
    Q_OBJECT

public:
    explicit TOpenPictureDialog(QWidget* parent = nullptr);

    // Takes a filter of display texts and ";"-separated masks, each part
    // followed by "|".
    void SetFilter(const std::string& filter);
    // The picture shown in the preview pane, empty when there is none.
    QPixmap PreviewPixmap() const;

private:
    void Preview(const QString& path);

    QLabel* preview_;
    QLabel* previewSize_;
};
