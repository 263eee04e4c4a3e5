#pragma once
// The newer save dialog: the platform's item save dialog with one
// prominent "Options..." button that opens the save options form for the
// selected file type. An event sink follows the type selection to enable
// the button only for types with options.

#include <QPointer>
#include <functional>
#include <memory>
#include <string>

#include "save/ItemFileDialog.h"
#include "save/SaveDialogPassport.h"
#include "save/SaveDialogRules.h"

class TFormSaveOption;

// The control identifier of the "Options..." button.
inline constexpr uint32_t kOptionButtonId = 1000;

class TnovFileSaveDialog : public TSaveDialogOptions {
public:
    TnovFileSaveDialog();
    virtual ~TnovFileSaveDialog();
    TnovFileSaveDialog(const TnovFileSaveDialog&) = delete;
    TnovFileSaveDialog& operator=(const TnovFileSaveDialog&) = delete;

    // Runs a new platform dialog; true when a name was confirmed, which
    // FileName then holds as a full path.
    bool Execute();

    TFileTypeItems FileTypes;
    // The 1-based selected type: the running dialog's while it runs.
    int FileTypeIndex() const;
    void SetFileTypeIndex(int index) { fileTypeIndex_ = index; }
    std::string DefaultFolder;
    std::string FileName;
    // Fired once the platform dialog exists, before it is shown.
    std::function<void(TnovFileSaveDialog&, TItemFileDialog&)> OnExecute;

    TFileType4Save SelectedFileType() const { return SelectedFileTypeOf(FileTypes, FileTypeIndex()); }
    // The button's caption, in the system's language.
    std::string GMOption;

    // The platform dialog while a run shows it (for those driving it).
    TItemFileDialog* RunningDialog() const { return running_; }

private:
    void FileSaveDialogExecute(TItemFileDialog& dialog);

    int fileTypeIndex_ = 1;
    QPointer<TItemFileDialog> running_;
};

// Listens to one run of the platform dialog on behalf of the component.
class TTestEvent : public TFileDialogEvents, public TFileDialogControlEvents {
public:
    TTestEvent(TnovFileSaveDialog& owner, TFileDialogCustomize& customize);

    TDialogResult OnFileOk(TItemFileDialog&) override { return kDialogOk; }
    TDialogResult OnFolderChanging(TItemFileDialog&, const QString&) override { return kDialogOk; }
    TDialogResult OnFolderChange(TItemFileDialog&) override { return kDialogOk; }
    TDialogResult OnSelectionChange(TItemFileDialog&) override { return kDialogOk; }
    TDialogResult OnShareViolation(TItemFileDialog&, const QString&, int*) override { return kDialogOk; }
    TDialogResult OnTypeChange(TItemFileDialog& dialog) override;
    TDialogResult OnOverwrite(TItemFileDialog&, const QString&, int*) override { return kDialogOk; }

    TDialogResult OnItemSelected(TFileDialogCustomize&, uint32_t, uint32_t) override { return kDialogOk; }
    TDialogResult OnButtonClicked(TFileDialogCustomize& customize, uint32_t id) override;
    TDialogResult OnCheckButtonToggled(TFileDialogCustomize&, uint32_t, bool) override { return kDialogOk; }
    TDialogResult OnControlActivating(TFileDialogCustomize&, uint32_t) override { return kDialogOk; }

    // The type index last reported by the dialog; 0 before the first report.
    int TypeIndex() const { return typeIndex_; }

private:
    void RunOptionsForm(TFileDialogCustomize& customize);

    TnovFileSaveDialog& owner_;
    // The dialog owns this sink, so it outlives it.
    TFileDialogCustomize& customize_;
    int typeIndex_ = 0;
};

// The options form as the button opens it: texts chosen, controls loaded
// from the dialog, only the page of displayName shown.
std::unique_ptr<TFormSaveOption> PrepareSaveOptionForm(const TSaveDialogOptions& values,
                                                       const std::string& displayName, QWidget* owner);
// The form's values back into the dialog after OK.
void TakeSaveOptionForm(const TFormSaveOption& form, TSaveDialogOptions& values);
