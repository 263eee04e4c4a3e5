#pragma once
// The sample page's output-format dialog: the image format of the page's
// pictures and the JPEG quality. Its creator fills and reads the
// components; OK accepts, closing it any other way cancels.

#include <QDialog>
#include <memory>

#include "app/Components.h"

class QGroupBox;
class QPushButton;
class QRadioButton;
class TNumEdit;

class TFormSampleOutputFormat : public QDialog, public TComponentList {
    Q_OBJECT

public:
    explicit TFormSampleOutputFormat(QWidget* owner);

    QGroupBox* GBOutputFormat;
    QRadioButton* RBJPEG420;
    QRadioButton* RBJPEG444;
    QRadioButton* RBPNG;
    QGroupBox* GBJPEGQuality;
    TNumEdit* EditJPEGQuality;
    QPushButton* ButtonOK;
};

// The dialog as its creator shows it: owned by owner, with the fonts and the
// texts of the current language applied.
std::unique_ptr<TFormSampleOutputFormat> CreateFormSampleOutputFormat(QWidget* owner);
