#include "save/SaveDialogBackends.h"

#include "save/SaveDialogRules.h"
#include "save/novFileSaveDialog.h"
#include "save/novSavePictureDialog.h"

namespace {
// The file-name part of a suggested name: the dialogs open in their own
// folder.
std::string NamePart(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
}  // namespace

TVistaSaveDialogBackend::TVistaSaveDialogBackend() : dialog_(std::make_unique<TnovFileSaveDialog>()) {}
TVistaSaveDialogBackend::~TVistaSaveDialogBackend() = default;

bool TVistaSaveDialogBackend::Execute(TSaveDialogPassport& component) {
    TnovFileSaveDialog& dialog = *dialog_;
    // The list is taken at the first run; later changes do not reach it.
    if (dialog.FileTypes.empty()) dialog.FileTypes = component.FileTypes;
    dialog.DefaultFolder = component.InitialDir;
    HandOverOptions(component, dialog);
    if (!component.FileName.empty()) dialog.FileName = NamePart(component.FileName);
    if (!dialog.Execute()) return false;
    ReadBackOptions(dialog, component);
    const int index = dialog.FileTypeIndex();
    const std::string typeName = index >= 1 && static_cast<size_t>(index) <= dialog.FileTypes.size()
                                     ? dialog.FileTypes[index - 1].DisplayName
                                     : std::string();
    component.FileName = WithDefaultExtension(dialog.FileName, ExtensionForTypeName(typeName));
    return true;
}

TFileType4Save TVistaSaveDialogBackend::SelectedFileType() const { return dialog_->SelectedFileType(); }

TLegacySaveDialogBackend::TLegacySaveDialogBackend() : dialog_(std::make_unique<TnovSavePictureDialog>()) {}
TLegacySaveDialogBackend::~TLegacySaveDialogBackend() = default;

bool TLegacySaveDialogBackend::Execute(TSaveDialogPassport& component) {
    TnovSavePictureDialog& dialog = *dialog_;
    dialog.SetFilter(BuildSaveFilter(component.FileTypes));
    dialog.InitialDir = component.InitialDir;
    HandOverOptions(component, dialog);
    const auto& members = TSaveDialogPassport::CaptionMembers();
    std::string* captions[] = {&dialog.GMOption,         &dialog.GMQuality,          &dialog.GMProgressiveJPEG,
                               &dialog.GMGrayscale,      &dialog.GMInterlacedPNG,    &dialog.GMRLECompression,
                               &dialog.GMResourceName,   &dialog.GMReduceTo256Color, &dialog.GMGIFTransparent,
                               &dialog.GMPNGTransparent, &dialog.GMNoOption,         &dialog.GMSubSampling,
                               &dialog.GMSubSampling420, &dialog.GMSubSampling444,   &dialog.GMExif,
                               &dialog.GMExifCopy,       &dialog.GMExifThumbUpdate};
    for (size_t i = 0; i < members.size(); ++i) *captions[i] = component.*members[i];
    if (!component.FileName.empty()) dialog.FileName = NamePart(component.FileName);
    if (!dialog.Execute()) return false;
    ReadBackOptions(dialog, component);
    component.FileName = WithDefaultExtension(dialog.FileName, dialog.DefaultExtension());
    return true;
}

TFileType4Save TLegacySaveDialogBackend::SelectedFileType() const { return dialog_->SelectedFileType(); }

void InstallSaveDialogBackends() {
    SetSaveDialogBackendFactory([](bool useVistaDialog) -> std::unique_ptr<TSaveDialogBackend> {
        if (useVistaDialog) return std::make_unique<TVistaSaveDialogBackend>();
        return std::make_unique<TLegacySaveDialogBackend>();
    });
}
