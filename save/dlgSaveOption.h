#pragma once
// The save options form of the newer save dialog: one page per file type
// that has options. Its opener fills and reads the components, shows only
// the page of the selected type, and picks its texts: the language file,
// or the built-in Japanese captions.

#include <QDialog>
#include <optional>

#include "app/Components.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

class TFormSaveOption : public QDialog, public TComponentList {
    Q_OBJECT

public:
    explicit TFormSaveOption(QWidget* owner);

    // The captions of a Japanese system whose language file does not
    // supply this form's texts. Page captions and "4:4:4" keep their
    // designed texts: the pages are found by their captions.
    void SetJapaneseCaptions();
    // Shows only the pages whose caption occurs in the type's display name
    // and makes the (last) matching one current.
    void ShowPagesFor(const QString& displayName);
    // The quality as typed, or none when the text is not a whole number.
    std::optional<int32_t> Quality() const;

    QTabWidget* PageControl1;
    QWidget* TabSheet1;
    QLabel* LJPEGQuality;
    QLineEdit* EditJPEGQuality;
    QCheckBox* CBJPEGProgressive;
    QCheckBox* CBJPEGGrayscale;
    QGroupBox* GBSubsampling;
    QRadioButton* RBSubsampling420;
    QRadioButton* RBSubsampling444;
    QGroupBox* GBExif;
    QCheckBox* CBExifCopy;
    QCheckBox* CBExifThumbUpdate;
    QWidget* TabSheet2;
    QCheckBox* CBPNGInterlaced;
    QCheckBox* CBPNGGrayscale;
    QCheckBox* CBPNGReduceTo256Color;
    QCheckBox* CBPNGTransparent;
    QWidget* TabSheet3;
    QCheckBox* CBGIFTransparent;
    QWidget* TabSheet5;
    QCheckBox* CBTGARLECompression;
    QWidget* TabSheet4;
    QLabel* LDCRResourceName;
    QLineEdit* EditDCRResourceName;
    QPushButton* ButtonOK;
    QPushButton* ButtonCancel;

private:
    void ButtonOKClick();
};
