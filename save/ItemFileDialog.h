#pragma once
// The newer platform save dialog: a file dialog that a program customises
// through a small interface (push buttons it adds, one of them placed
// prominently beside the dialog's own buttons, and their state) and that
// reports what the user does to an event sink the program registers.
// Each run of the program's dialog component makes a new one of these.

#include <QFileDialog>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

class QPushButton;
class QWidget;

// What the event operations answer; 0 is success.
using TDialogResult = int32_t;
inline constexpr TDialogResult kDialogOk = 0;

// Control states: enabled and visible are separate flags.
enum TControlState : uint32_t {
    cdcsInactive = 0,
    cdcsEnabled = 1,
    cdcsVisible = 2,
    cdcsEnabledVisible = 3,
};

class TItemFileDialog;

// What a program adds to the dialog.
class TFileDialogCustomize {
public:
    virtual ~TFileDialogCustomize() = default;
    virtual TDialogResult AddPushButton(uint32_t id, const QString& label) = 0;
    virtual TDialogResult MakeProminent(uint32_t id) = 0;
    virtual TDialogResult SetControlState(uint32_t id, TControlState state) = 0;
    virtual TDialogResult GetControlState(uint32_t id, TControlState& state) const = 0;
    // The window the added controls live in (for dialogs opened from them).
    virtual QWidget* DialogWindow() = 0;
};

// What the dialog reports. Response arguments may be left unset.
class TFileDialogEvents {
public:
    virtual ~TFileDialogEvents() = default;
    virtual TDialogResult OnFileOk(TItemFileDialog& dialog) = 0;
    virtual TDialogResult OnFolderChanging(TItemFileDialog& dialog, const QString& folder) = 0;
    virtual TDialogResult OnFolderChange(TItemFileDialog& dialog) = 0;
    virtual TDialogResult OnSelectionChange(TItemFileDialog& dialog) = 0;
    virtual TDialogResult OnShareViolation(TItemFileDialog& dialog, const QString& path, int* response) = 0;
    virtual TDialogResult OnTypeChange(TItemFileDialog& dialog) = 0;
    virtual TDialogResult OnOverwrite(TItemFileDialog& dialog, const QString& path, int* response) = 0;
};

// What the added controls report; a sink that also implements this gets
// the control events.
class TFileDialogControlEvents {
public:
    virtual ~TFileDialogControlEvents() = default;
    virtual TDialogResult OnItemSelected(TFileDialogCustomize& customize, uint32_t id, uint32_t item) = 0;
    virtual TDialogResult OnButtonClicked(TFileDialogCustomize& customize, uint32_t id) = 0;
    virtual TDialogResult OnCheckButtonToggled(TFileDialogCustomize& customize, uint32_t id, bool checked) = 0;
    virtual TDialogResult OnControlActivating(TFileDialogCustomize& customize, uint32_t id) = 0;
};

// The 1-based entry of a file dialog's type list, 0 when it has none.
int FileTypeComboIndex(const QFileDialog& dialog);
// Selects entry index (1-based) as the user would, so the dialog applies
// its masks and reports the change; an index outside the list is ignored.
void SelectFileTypeCombo(QFileDialog& dialog, int index);
// Keeps a dialog without a parent above the window that is active when it
// opens.
void StayAboveActiveWindow(QWidget& dialog);

class TItemFileDialog : public QFileDialog, public TFileDialogCustomize {
    Q_OBJECT

public:
    struct TFileType {
        QString DisplayName;
        QString FileMask;
    };

    explicit TItemFileDialog(QWidget* parent = nullptr);
    ~TItemFileDialog() override;

    // The type list and the 1-based selected type.
    void SetFileTypes(const std::vector<TFileType>& types);
    int FileTypeIndex() const;
    void SetFileTypeIndex(int index);
    // The path confirmed, empty before.
    QString ResultPath() const;

    // The customisation interface; always available on this platform.
    TFileDialogCustomize* Customize() { return this; }
    // Registers a sink; the dialog keeps it for its life (there is no
    // revoking). A sink that is also a TFileDialogControlEvents gets the
    // control events.
    void Advise(std::shared_ptr<TFileDialogEvents> sink);

    TDialogResult AddPushButton(uint32_t id, const QString& label) override;
    TDialogResult MakeProminent(uint32_t id) override;
    TDialogResult SetControlState(uint32_t id, TControlState state) override;
    TDialogResult GetControlState(uint32_t id, TControlState& state) const override;
    QWidget* DialogWindow() override { return this; }
    // The push button added with id, or none.
    QPushButton* AddedButton(uint32_t id) const;

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void TypeChanged();

    std::vector<std::shared_ptr<TFileDialogEvents>> sinks_;
    std::map<uint32_t, QPushButton*> buttons_;
    QWidget* customRow_ = nullptr;
    bool typeReported_ = false;
    QString resultPath_;
};
