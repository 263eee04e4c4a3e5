#include "app/SaveFlowMessages.h"

#include <QMessageBox>
#include <filesystem>

#include "lang/vorlixLangDefault.h"

namespace {
TWarningPresenter& Presenter() {
    static TWarningPresenter presenter;
    return presenter;
}

bool ShowWarning(QWidget* owner, const std::string& caption, const std::string& text, bool withCancel) {
    const QString qCaption = QString::fromStdString(caption), qText = QString::fromStdString(text);
    if (Presenter()) return Presenter()(owner, qCaption, qText, withCancel);
    QMessageBox box(QMessageBox::Warning, qCaption, qText,
                    withCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok, owner);
    return box.exec() == QMessageBox::Ok;
}
}  // namespace

void SetWarningPresenter(TWarningPresenter presenter) { Presenter() = std::move(presenter); }

bool ConfirmReplace(const std::string& path, QWidget* owner) {
    if (!ShowWarning(owner, MessageBoxTexts.FileReplaceTitle, MessageBoxTexts.FileReplaceText, true)) return false;
    // The normal attribute: writable by the owner, nothing else changed.
    std::error_code ignored;
    std::filesystem::permissions(path, std::filesystem::perms::owner_write, std::filesystem::perm_options::add,
                                 ignored);
    return true;
}

void ShowConvertError(QWidget* owner) {
    ShowWarning(owner, MessageBoxTexts.ConvertErrorTitle, MessageBoxTexts.ConvertErrorText, false);
}
