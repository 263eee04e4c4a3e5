#pragma once
// The main window: one opened picture and its working copy shown 1:1, the
// target size as coupled width, height and scale edits, and one resampling
// algorithm per menu command on the working copy, with an optional
// pre-filter when enlarging and the time taken in the status bar.
// Commands accumulate: each resamples the picture as it is now; Reload
// returns to the file.

#include <QMainWindow>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/Components.h"
#include "app/Settings.h"
#include "app/SizeCoupling.h"
#include "platform/Bitmap.h"
#include "resample/ResampleEx.h"
#include "save/KestruneFileTypes.h"
#include "save/SaveDialogPassport.h"

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QMenuBar;
class QStatusBar;
class QWidget;
class TEventScrollBox;
class TImage;
class TNumEdit;
class TOpenPictureDialog;

struct TForm1Options {
    std::string ProgramPath;              // the program's own path
    std::vector<std::string> Arguments;   // the command line without the program
    std::string SettingsFile;             // the settings file to read and write
};

class TForm1 : public QMainWindow, public TComponentList {
    Q_OBJECT

public:
    explicit TForm1(const TForm1Options& options, QWidget* parent = nullptr);
    ~TForm1() override;

    // Components -------------------------------------------------------
    QWidget* PanelTop;
    QLabel* LOutput;
    QLabel* LWidth;
    TNumEdit* EditWidth;
    QLabel* LHeight;
    TNumEdit* EditHeight;
    QLabel* LScale;
    TNumEdit* EditRatio;
    QLabel* Label5;
    TEventScrollBox* ScrollBox1;
    TImage* Image1;
    QStatusBar* StatusBar1;
    TOpenPictureDialog* OpenPictureDialog1;
    // The save dialog has no Qt object of its own (the dialogs it drives
    // are created when it runs), so it is not among the components; it
    // publishes no caption, hint or font either.
    TSaveDialogPassport* SaveDialog1 = nullptr;

    QMenuBar* MainMenu1;
    QMenu* FMFile;
    QAction* FMOpen;
    QAction* FMReOpen;
    QAction* FMSampleLoad;
    QAction* FMSaveAs;
    QMenu* FMLanguage;
    QAction* FMEnglish;
    QAction* FMJapanese;
    QAction* FMExit;
    QMenu* FMResample;
    QAction* FMLanczos4;
    QAction* FMLanczos3;
    QAction* FMLanczos2;
    QAction* FMMitchell;
    QAction* FMLagrange;
    QAction* FMHermite;
    QAction* FMBell;
    QAction* FMBSpline;
    QAction* FMGauss;
    QAction* FMBicubic;
    QAction* FMBilinear;
    QAction* FMAveragePixel;
    QAction* FMNearestNeighbor;
    QAction* FMTest1;
    QAction* FMTest2;
    QAction* FMTestEdgeMask;
    QAction* FMLiftingBilinear;
    QAction* FMBilinearV2;
    QMenu* FMExtra;
    QAction* FMBuildHTMLSample;
    QAction* FMBuildHTMLSample2;
    QAction* FMCol2;
    QAction* FMCol3;
    QAction* FMCol4;
    QAction* FMCol5;
    QAction* FMCustomizeOutput;
    QAction* FMFileNameRule;
    QMenu* FMUpscaleOption;
    QAction* FMNoopUpscale;
    QAction* FMLPF_DCTCut7;
    QAction* FMLPF_DCTCut6;
    QAction* FMLPF_DCTCut5;
    QAction* FMMedianFilter;

    // Window state -----------------------------------------------------
    std::string FileName;
    int32_t SourceWidth = 0;
    int32_t SourceHeight = 0;
    TBitmap WorkBitmap;
    TBitmap LoadedBitmap;
    TBitmap ScratchBitmap;
    TBitmap AlphaBitmap;
    TBitmap AlphaScratch;
    bool HasAlpha = false;
    uint8_t LastAlgorithm = 0;
    int32_t TargetWidth = 0;
    int32_t TargetHeight = 0;
    int32_t SampleColumns = 2;
    bool UsePrefix = false;
    bool UseSuffix = false;
    std::string Prefix;
    std::string Suffix;
    uint8_t SampleFormat = SampleFormatPNG;
    int32_t SampleJPEGQuality = 90;
    TSaveOptionValues SaveOptionValues;

    // Commands (each runs inside the default error handler when triggered
    // through the interface; called directly they raise) ---------------
    void OpenPicture(const std::string& path, bool keepSize);
    void FMOpenClick();
    void FMReOpenClick();
    void FMSaveAsClick();
    // Writes the working picture in the type chosen in the save dialog, with
    // the remembered options; the options chosen are remembered even when
    // the save stops at the replace question.
    void SavePictureAs();
    void FMExitClick();
    void FMResampleClick();
    void FMLanczos4Click();
    void FMLanczos3Click();
    void FMLanczos2Click();
    void FMMitchellClick();
    void FMLagrangeClick();
    void FMHermiteClick();
    void FMBellClick();
    void FMBSplineClick();
    void FMGaussClick();
    void FMBicubicClick();
    void FMBilinearClick();
    void FMAveragePixelClick();
    void FMNearestNeighborClick();
    void FMTest1Click();
    void FMTest2Click();
    void FMTestEdgeMaskClick();
    void FMLiftingBilinearClick();
    void FMBilinearV2Click();
    void FMSampleLoadClick();
    // The sample page: in one column, or in SampleColumns.
    void FMBuildHTMLSampleClick();
    void FMBuildHTMLSample2Click();
    void BuildSamplePage(int32_t columns);
    void FMColsClick(QAction* item);
    void FMCustomizeOutputClick();
    void FMFileNameRuleClick();
    void FMEnglishClick();
    void FMJapaneseClick();
    // The language sequence of start-up and of every switch: message texts,
    // fonts and the language file on the window, save-dialog captions and
    // the label layout.
    void SwitchLanguage();
    // Save-dialog captions, then the label layout of LanguageNumber.
    void ApplyLanguageLayout();
    void EditWidthChange();
    void EditHeightChange();
    void EditRatioChange();
    void ScrollBox1MouseWheelDown(QObject* sender, Qt::KeyboardModifiers shift, QPoint mousePos, bool& handled);
    void ScrollBox1MouseWheelUp(QObject* sender, Qt::KeyboardModifiers shift, QPoint mousePos, bool& handled);
    void Image1Click(QObject* sender);
    void ScrollBox1Click(QObject* sender);
    void ScrollBox1ScrollHorz(QObject* sender);
    void ScrollBox1ScrollVert(QObject* sender);
    // The first local file of a drop.
    void FilesDropped(const std::vector<std::string>& paths);

    // The two templates of the resample command.
    void ResampleWithKernel(KernelSetup setup, uint8_t algorithm);
    void ResampleWithRoutine(ResampleRoutine routine, std::optional<uint8_t> algorithm);
    // The hidden test variants: no pre-filter, no algorithm number.
    void ResampleTestVariant(ResampleRoutine routine);

    // Shut-down: saves the settings (once).
    void FormDestroy();

    QString StatusText(int panel) const;
    const std::string& SettingsFile() const { return settingsFile_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateComponents();
    void CreateMenu();
    void ConnectHandlers();
    void FormCreate(const TForm1Options& options);
    void FormShow();
    void LoadSettings();
    void SaveSettings();

    // Runs a handler inside the default error handler.
    void Guarded(const std::function<void()>& handler);
    void BindCommand(QAction* action, void (TForm1::*handler)());
    QAction* AddItem(QMenu* menu, const char* name, const char* caption);
    enum class TSizeEdit { Width, Height, Ratio };
    void EditSizeChange(TSizeEdit own);
    // Reads the width and height edits into TargetWidth/TargetHeight; a
    // size below 1 is refused with a message naming the edit.
    void ReadTargetSize();
    int32_t ReadScale() const;
    void RunResample(const std::function<void(TBitmap&)>& algorithm, std::optional<uint8_t> index);
    void ApplyCheckedPrefilter(TBitmap& picture) const;
    void ShowWorkBitmap();
    void SetStatusText(int panel, const std::string& text);
    // "Running <caption>..." for the menu item whose command runs, empty
    // when the command was not started from the menu.
    QString RunningText() const;

    QWidget* ComponentWidget(const char* name) const;

    std::unique_ptr<TSaveDialogPassport> saveDialog_;
    std::string settingsFile_;
    std::vector<QLabel*> statusPanels_;
    QAction* runningItem_ = nullptr;  // the item whose command runs
    bool shown_ = false;
    bool destroyed_ = false;
};
