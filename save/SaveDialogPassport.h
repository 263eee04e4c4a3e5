#pragma once
// The one save-dialog component the main window holds. It hides which
// platform dialog is shown (the newer dialog with an options form, or the
// older one with an option panel below its file list) behind one set of
// properties: the file name, the file-type list, every format's option
// values, the Exif availability flags and the captions of the older
// dialog's option panel.
//
// The chroma sampling type, TJPEGSubsampling, comes with the save file
// types (save/KestruneFileTypes.h), which this header includes.

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "save/KestruneFileTypes.h"

// One file-type item of the dialog: display name and file mask.
struct TFileTypeItem {
    std::string DisplayName;
    std::string FileMask;

    friend bool operator==(const TFileTypeItem&, const TFileTypeItem&) = default;
};
using TFileTypeItems = std::vector<TFileTypeItem>;

class TSaveDialogPassport;

// The platform dialog the component drives: the newer dialog with its
// options form or the older one with the option panel. The GUI provides
// both; the core only sees this interface, so the save flow runs (and is
// tested) without a display.
class TSaveDialogBackend {
public:
    virtual ~TSaveDialogBackend() = default;
    // Hands the component's values to the dialog, runs it and, when the
    // user confirmed a name, reads the values back (with the extension
    // fix-up applied to FileName). False when cancelled.
    virtual bool Execute(TSaveDialogPassport& component) = 0;
    // The type chosen in the last run; sftUNKNOWN while none was chosen.
    virtual TFileType4Save SelectedFileType() const = 0;
};

// Makes the dialog of the variant asked for (true: the newer dialog).
using TSaveDialogBackendFactory = std::function<std::unique_ptr<TSaveDialogBackend>(bool useVistaDialog)>;
// Installed once by the GUI at start-up (and by tests).
void SetSaveDialogBackendFactory(TSaveDialogBackendFactory factory);

class TSaveDialogPassport {
public:
    TSaveDialogPassport();
    ~TSaveDialogPassport();
    TSaveDialogPassport(const TSaveDialogPassport&) = delete;
    TSaveDialogPassport& operator=(const TSaveDialogPassport&) = delete;

    // Runs the dialog of this component's variant; false when cancelled or
    // when no dialog can be shown (no GUI).
    bool Execute();

    // In: the suggested name; out: the full path chosen.
    std::string FileName;
    std::string InitialDir;
    // The type list; assigning copies the given items.
    TFileTypeItems FileTypes;
    // Kept for the form's stored value; a run neither reads nor writes it.
    int32_t FilterIndex = 0;

    bool JPEGProgressive = false;
    bool JPEGGrayscale = false;
    int32_t JPEGQuality = 0;
    bool PNGInterlaced = false;
    bool PNGGrayscale = false;
    bool PNGReduceTo256Color = false;
    bool PNGTransparent = false;
    bool GIFTransparent = false;
    bool TGARLECompression = false;
    std::string DCRResourceName;
    bool ExifCopy = false;
    bool ExifThumbUpdate = false;
    TJPEGSubsampling JPEGSubsampling = jss420;
    // Whether the Exif choices are offered; set per save.
    bool ExifCopyEnabled = true;
    bool ExifThumbUpdateEnabled = true;

    // Captions of the older dialog's option panel, in published order.
    std::string GMOption;
    std::string GMQuality;
    std::string GMProgressiveJPEG;
    std::string GMGrayscale;
    std::string GMInterlacedPNG;
    std::string GMRLECompression;
    std::string GMResourceName;
    std::string GMReduceTo256Color;
    std::string GMGIFTransparent;
    std::string GMPNGTransparent;
    std::string GMNoOption;
    std::string GMSubSampling;
    std::string GMSubSampling420;
    std::string GMSubSampling444;
    std::string GMExif;
    std::string GMExifCopy;
    std::string GMExifThumbUpdate;

    // The seventeen captions above, in published order.
    using TCaptionMember = std::string TSaveDialogPassport::*;
    static const std::array<TCaptionMember, 17>& CaptionMembers();

    // The newer dialog on systems from major version 6 on; fixed for the
    // component's life.
    bool UseVistaDialog() const { return useVistaDialog_; }
    // The type chosen in the last run; sftUNKNOWN while no run has chosen
    // one.
    TFileType4Save SelectedFileType() const;

private:
    TSaveDialogBackend* Backend();

    bool useVistaDialog_;
    // Made on first use by the installed factory; only one variant exists.
    std::unique_ptr<TSaveDialogBackend> backend_;
};

// Fills the seventeen captions from the current language's file (or the
// English defaults), or with the built-in Japanese texts on a Japanese
// system whose language file does not declare MISC_LANGINI_ENABLED.
void LoadSaveDialogCaptions(TSaveDialogPassport& dialog);
