#include "save/novFileSaveDialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

#include "app/CommandGuard.h"
#include "app/LanguageWidgets.h"
#include "lang/IniLangEx.h"
#include "platform/SystemInfo.h"
#include "save/dlgSaveOption.h"

TnovFileSaveDialog::TnovFileSaveDialog()
    : GMOption(GetDefaultLocaleId() == 1041 ? "オプション..." : "Options...") {
    ExifCopy = true;
    ExifThumbUpdate = true;
    ExifCopyEnabled = false;
    ExifThumbUpdateEnabled = false;
    OnExecute = [this](TnovFileSaveDialog&, TItemFileDialog& dialog) { FileSaveDialogExecute(dialog); };
}

TnovFileSaveDialog::~TnovFileSaveDialog() = default;

int TnovFileSaveDialog::FileTypeIndex() const { return running_ ? running_->FileTypeIndex() : fileTypeIndex_; }

bool TnovFileSaveDialog::Execute() {
    TItemFileDialog dialog;
    std::vector<TItemFileDialog::TFileType> types;
    for (const TFileTypeItem& item : FileTypes)
        types.push_back({QString::fromStdString(item.DisplayName), QString::fromStdString(item.FileMask)});
    dialog.SetFileTypes(types);
    dialog.SetFileTypeIndex(fileTypeIndex_);
    if (!DefaultFolder.empty()) dialog.setDirectory(QString::fromStdString(DefaultFolder));
    if (!FileName.empty()) dialog.selectFile(QString::fromStdString(FileName));
    running_ = &dialog;
    if (OnExecute) OnExecute(*this, dialog);
    StayAboveActiveWindow(dialog);
    const bool confirmed = dialog.exec() == QDialog::Accepted;
    fileTypeIndex_ = dialog.FileTypeIndex();
    running_ = nullptr;
    if (confirmed) FileName = dialog.ResultPath().toStdString();
    return confirmed;
}

void TnovFileSaveDialog::FileSaveDialogExecute(TItemFileDialog& dialog) {
    TFileDialogCustomize* customize = dialog.Customize();
    if (!customize) return;
    customize->AddPushButton(kOptionButtonId, QString::fromStdString(GMOption));
    customize->MakeProminent(kOptionButtonId);
    dialog.Advise(std::make_shared<TTestEvent>(*this, *customize));
}

// ---------------------------------------------------------------------------

TTestEvent::TTestEvent(TnovFileSaveDialog& owner, TFileDialogCustomize& customize)
    : owner_(owner), customize_(customize) {}

TDialogResult TTestEvent::OnTypeChange(TItemFileDialog& dialog) {
    typeIndex_ = dialog.FileTypeIndex();
    if (typeIndex_ < 1 || static_cast<size_t>(typeIndex_) > owner_.FileTypes.size()) return kDialogOk;
    const TKestruneFileTypeInfo* row = SaveFileTypeRowIn(owner_.FileTypes[typeIndex_ - 1].DisplayName);
    if (!row) return kDialogOk;
    customize_.SetControlState(kOptionButtonId, row->HasOptions ? cdcsEnabledVisible : cdcsVisible);
    return kDialogOk;
}

TDialogResult TTestEvent::OnButtonClicked(TFileDialogCustomize& customize, uint32_t) {
    // Runs inside the dialog's event loop, which no exception may cross.
    RunCommand(customize.DialogWindow(), [&] { RunOptionsForm(customize); });
    return kDialogOk;
}

void TTestEvent::RunOptionsForm(TFileDialogCustomize& customize) {
    const size_t count = owner_.FileTypes.size();
    if (static_cast<size_t>(owner_.FileTypeIndex()) > count || typeIndex_ == 0 ||
        static_cast<size_t>(typeIndex_) > count)
        return;
    const std::string& displayName = owner_.FileTypes[typeIndex_ - 1].DisplayName;
    // The form belongs to the application but stays above the dialog it
    // was opened from.
    const std::unique_ptr<TFormSaveOption> form = PrepareSaveOptionForm(owner_, displayName, customize.DialogWindow());
    if (form->exec() == QDialog::Accepted) TakeSaveOptionForm(*form, owner_);
}

std::unique_ptr<TFormSaveOption> PrepareSaveOptionForm(const TSaveDialogOptions& values,
                                                       const std::string& displayName, QWidget* owner) {
    LanguageFile = OpenLanguageFile(LanguageNumber);
    const bool fromFile = GetDefaultLocaleId() != 1041 || !LookupMessage("", "MISC_LANGINI_ENABLED").empty();
    LanguageFile.reset();

    auto form = std::make_unique<TFormSaveOption>(owner);
    if (fromFile) {
        ApplyLanguageToWindow(*form, *form);
    } else {
        form->SetJapaneseCaptions();
        TQtLanguageWindow window(*form, *form);
        ApplyJapaneseFonts(window);
    }

    form->EditJPEGQuality->setText(QString::number(values.JPEGQuality));
    form->CBJPEGProgressive->setChecked(values.JPEGProgressive);
    form->CBJPEGGrayscale->setChecked(values.JPEGGrayscale);
    form->CBPNGInterlaced->setChecked(values.PNGInterlaced);
    form->CBPNGGrayscale->setChecked(values.PNGGrayscale);
    form->CBPNGReduceTo256Color->setChecked(values.PNGReduceTo256Color);
    form->CBPNGTransparent->setChecked(values.PNGTransparent);
    form->CBGIFTransparent->setChecked(values.GIFTransparent);
    form->CBTGARLECompression->setChecked(values.TGARLECompression);
    form->CBExifCopy->setChecked(values.ExifCopy);
    form->CBExifThumbUpdate->setChecked(values.ExifThumbUpdate);
    (values.JPEGSubsampling == 2 ? form->RBSubsampling444 : form->RBSubsampling420)->setChecked(true);
    form->CBExifCopy->setEnabled(values.ExifCopyEnabled);
    form->CBExifThumbUpdate->setEnabled(values.ExifThumbUpdateEnabled);
    form->EditDCRResourceName->setText(QString::fromStdString(values.DCRResourceName));
    form->ShowPagesFor(QString::fromStdString(displayName));
    return form;
}

void TakeSaveOptionForm(const TFormSaveOption& form, TSaveDialogOptions& values) {
    if (const std::optional<int32_t> quality = form.Quality()) values.JPEGQuality = *quality;
    values.JPEGProgressive = form.CBJPEGProgressive->isChecked();
    values.JPEGGrayscale = form.CBJPEGGrayscale->isChecked();
    values.PNGInterlaced = form.CBPNGInterlaced->isChecked();
    values.PNGGrayscale = form.CBPNGGrayscale->isChecked();
    values.PNGReduceTo256Color = form.CBPNGReduceTo256Color->isChecked();
    values.PNGTransparent = form.CBPNGTransparent->isChecked();
    values.GIFTransparent = form.CBGIFTransparent->isChecked();
    values.TGARLECompression = form.CBTGARLECompression->isChecked();
    values.ExifCopy = form.CBExifCopy->isChecked();
    values.ExifThumbUpdate = form.CBExifThumbUpdate->isChecked();
    values.JPEGSubsampling = form.RBSubsampling444->isChecked() ? 2 : 0;
    values.DCRResourceName = form.EditDCRResourceName->text().toStdString();
}
