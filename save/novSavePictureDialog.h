#pragma once
// The older save dialog: the platform's save dialog with a panel 120
// pixels high below its own area. The panel's group box holds the option
// controls of the selected file type, rebuilt whenever the type changes and
// bound to the dialog's option properties. The type is the 1-based filter
// index, the filter listing the types in their numeric order.

#include <QFileDialog>
#include <QSize>
#include <string>
#include <vector>

#include "save/KestruneFileTypes.h"
#include "save/SaveDialogRules.h"

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;

class TnovSavePictureDialog : public QFileDialog, public TSaveDialogOptions {
    Q_OBJECT

public:
    static constexpr int kPanelHeight = 120;

    explicit TnovSavePictureDialog(QWidget* parent = nullptr);
    ~TnovSavePictureDialog() override;

    // Runs the dialog; true when a name was confirmed (FileName then holds
    // the full path).
    bool Execute();

    // "text|mask|text|mask|..."; the selected index is kept.
    void SetFilter(const std::string& filter);
    // 1-based; the live selection while the dialog is shown.
    int FilterIndex() const;
    void SetFilterIndex(int index);
    std::string InitialDir;
    std::string FileName;

    TFileType4Save SelectedFileType() const { return SelectedFileTypeOfFilterIndex(FilterIndex()); }
    std::string DefaultExtension() const { return ExtensionForFilterIndex(FilterIndex()); }

    std::string GMOption, GMQuality, GMProgressiveJPEG, GMGrayscale, GMInterlacedPNG, GMRLECompression,
        GMResourceName, GMReduceTo256Color, GMGIFTransparent, GMPNGTransparent, GMNoOption, GMSubSampling,
        GMSubSampling420, GMSubSampling444, GMExif, GMExifCopy, GMExifThumbUpdate;

    // The dialog's notifications.
    void DoShow();
    void DoTypeChange();
    void DoClose();
    bool DoCanClose();

    // The panel and the controls of the type shown (none where the type
    // has no such control).
    QFrame* ExtraPanel;
    QGroupBox* GroupBox;
    struct TControls {
        QLabel* QualityLabel = nullptr;
        QLabel* QualityValue = nullptr;
        QSlider* QualityBar = nullptr;
        QPushButton* Minus5 = nullptr;
        QPushButton* Plus5 = nullptr;
        QPushButton* Minus1 = nullptr;
        QPushButton* Plus1 = nullptr;
        QCheckBox* Progressive = nullptr;
        QCheckBox* Grayscale = nullptr;
        QGroupBox* SubSampling = nullptr;
        QRadioButton* SubSampling420 = nullptr;
        QRadioButton* SubSampling444 = nullptr;
        QGroupBox* Exif = nullptr;
        QCheckBox* ExifCopy = nullptr;
        QCheckBox* ExifThumbUpdate = nullptr;
        QCheckBox* Interlaced = nullptr;
        QCheckBox* ReduceTo256Color = nullptr;
        QCheckBox* Transparent = nullptr;
        QCheckBox* RLECompression = nullptr;
        QLabel* ResourceNameLabel = nullptr;
        QLineEdit* ResourceName = nullptr;
        QLabel* NoOption = nullptr;
    };
    const TControls& Controls() const { return controls_; }
    int ShownIndex() const { return shownIndex_; }

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void BuildControls(int filterIndex);
    void FreeControls();
    void BuildJPEGControls();
    QCheckBox* AddCheckBox(QWidget* parent, const std::string& caption, int left, int top, int width, bool checked,
                           bool TSaveDialogOptions::*property);
    void SetQuality(int32_t quality);
    void ShowQuality();

    TControls controls_;
    bool firstShow_ = true;
    bool shown_ = false;
    QSize ownSize_;
    QMargins ownMargins_;
    int shownIndex_ = 0;
    int filterIndex_ = 1;
};
