#pragma once
// The platform dialogs behind the save-dialog component: how the component's
// values reach each dialog and come back, and the extension a name typed
// without one gets in each.

#include <memory>

#include "save/SaveDialogPassport.h"

class TnovFileSaveDialog;
class TnovSavePictureDialog;

class TVistaSaveDialogBackend : public TSaveDialogBackend {
public:
    TVistaSaveDialogBackend();
    ~TVistaSaveDialogBackend() override;
    bool Execute(TSaveDialogPassport& component) override;
    TFileType4Save SelectedFileType() const override;
    TnovFileSaveDialog& Dialog() { return *dialog_; }

private:
    std::unique_ptr<TnovFileSaveDialog> dialog_;
};

class TLegacySaveDialogBackend : public TSaveDialogBackend {
public:
    TLegacySaveDialogBackend();
    ~TLegacySaveDialogBackend() override;
    bool Execute(TSaveDialogPassport& component) override;
    TFileType4Save SelectedFileType() const override;
    TnovSavePictureDialog& Dialog() { return *dialog_; }

private:
    std::unique_ptr<TnovSavePictureDialog> dialog_;
};

// Makes the component show these dialogs; the GUI calls it at start-up.
void InstallSaveDialogBackends();
