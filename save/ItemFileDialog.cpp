#include "save/ItemFileDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QWindow>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>

namespace {
QComboBox* TypeCombo(const QFileDialog& dialog) {
    return dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
}
}  // namespace

int FileTypeComboIndex(const QFileDialog& dialog) {
    const QComboBox* combo = TypeCombo(dialog);
    return combo && combo->count() > 0 ? combo->currentIndex() + 1 : 0;
}

void SelectFileTypeCombo(QFileDialog& dialog, int index) {
    QComboBox* combo = TypeCombo(dialog);
    if (!combo || index < 1 || index > combo->count()) return;
    // selectNameFilter cannot find a filter whose details are hidden, and
    // reports nothing; the combo's activation is what a user's choice does.
    combo->setCurrentIndex(index - 1);
    emit combo->activated(index - 1);
    emit combo->textActivated(combo->currentText());
}

void StayAboveActiveWindow(QWidget& dialog) {
    QWidget* active = QApplication::activeWindow();
    if (!active || active == &dialog) return;
    dialog.winId();
    if (QWindow* window = dialog.windowHandle()) window->setTransientParent(active->window()->windowHandle());
}

TItemFileDialog::TItemFileDialog(QWidget* parent) : QFileDialog(parent) {
    setOption(QFileDialog::DontUseNativeDialog);
    // The type list shows the display names alone, as the item list gives them.
    setOption(QFileDialog::HideNameFilterDetails);
    // Replacing a file is confirmed by the save flow, once.
    setOption(QFileDialog::DontConfirmOverwrite);
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    // Room for the file list's columns.
    resize(size().expandedTo(QSize(680, 400)));
    connect(this, &QFileDialog::filterSelected, this, [this] { TypeChanged(); });
    connect(this, &QFileDialog::currentChanged, this, [this] {
        for (const auto& sink : sinks_) sink->OnSelectionChange(*this);
    });
    connect(this, &QFileDialog::directoryEntered, this, [this](const QString& folder) {
        for (const auto& sink : sinks_) sink->OnFolderChanging(*this, folder);
        for (const auto& sink : sinks_) sink->OnFolderChange(*this);
    });
}

TItemFileDialog::~TItemFileDialog() = default;

void TItemFileDialog::SetFileTypes(const std::vector<TFileType>& types) {
    QStringList filters;
    for (const TFileType& type : types) {
        QString masks = type.FileMask;
        masks.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << type.DisplayName + QStringLiteral(" (") + masks + QLatin1Char(')');
    }
    setNameFilters(filters);
}

int TItemFileDialog::FileTypeIndex() const { return FileTypeComboIndex(*this); }

void TItemFileDialog::SetFileTypeIndex(int index) { SelectFileTypeCombo(*this, index); }

QString TItemFileDialog::ResultPath() const { return resultPath_; }

void TItemFileDialog::Advise(std::shared_ptr<TFileDialogEvents> sink) {
    if (sink) sinks_.push_back(std::move(sink));
}

TDialogResult TItemFileDialog::AddPushButton(uint32_t id, const QString& label) {
    if (buttons_.count(id)) return -1;
    if (!customRow_) {
        customRow_ = new QWidget(this);
        customRow_->setObjectName(QStringLiteral("customControls"));
        auto* row = new QHBoxLayout(customRow_);
        row->setContentsMargins(0, 0, 0, 0);
        row->addStretch();
        if (auto* grid = qobject_cast<QGridLayout*>(layout()))
            grid->addWidget(customRow_, grid->rowCount(), 0, 1, grid->columnCount());
    }
    auto* button = new QPushButton(label, customRow_);
    button->setAutoDefault(false);
    qobject_cast<QHBoxLayout*>(customRow_->layout())->insertWidget(0, button);
    buttons_[id] = button;
    connect(button, &QPushButton::clicked, this, [this, id] {
        for (const auto& sink : sinks_)
            if (auto* controls = dynamic_cast<TFileDialogControlEvents*>(sink.get()))
                controls->OnButtonClicked(*this, id);
    });
    return kDialogOk;
}

TDialogResult TItemFileDialog::MakeProminent(uint32_t id) {
    QPushButton* button = AddedButton(id);
    auto* box = findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    if (!button || !box) return -1;
    // Beside the dialog's own buttons, where the eye goes to finish.
    box->addButton(button, QDialogButtonBox::ActionRole);
    return kDialogOk;
}

TDialogResult TItemFileDialog::SetControlState(uint32_t id, TControlState state) {
    QPushButton* button = AddedButton(id);
    if (!button) return -1;
    button->setEnabled(state & cdcsEnabled);
    button->setVisible(state & cdcsVisible);
    return kDialogOk;
}

TDialogResult TItemFileDialog::GetControlState(uint32_t id, TControlState& state) const {
    const QPushButton* button = AddedButton(id);
    if (!button) return -1;
    uint32_t flags = 0;
    if (button->isEnabled()) flags |= cdcsEnabled;
    if (button->isVisibleTo(this)) flags |= cdcsVisible;
    state = static_cast<TControlState>(flags);
    return kDialogOk;
}

QPushButton* TItemFileDialog::AddedButton(uint32_t id) const {
    const auto found = buttons_.find(id);
    return found == buttons_.end() ? nullptr : found->second;
}

void TItemFileDialog::showEvent(QShowEvent* event) {
    QFileDialog::showEvent(event);
    // The type selected when the dialog opens is reported as a change, so
    // whoever listens starts from the right state.
    if (!typeReported_) {
        typeReported_ = true;
        TypeChanged();
    }
}

void TItemFileDialog::done(int result) {
    if (result == QDialog::Accepted) {
        for (const auto& sink : sinks_)
            if (sink->OnFileOk(*this) != kDialogOk) return;
        resultPath_ = selectedFiles().value(0);
    }
    QFileDialog::done(result);
}

void TItemFileDialog::TypeChanged() {
    for (const auto& sink : sinks_) sink->OnTypeChange(*this);
}
