#pragma once
// The two warning boxes of the save command: the replace question and the
// conversion error. Their texts come from the language engine.

#include <QString>
#include <functional>
#include <string>

class QWidget;

// How a warning reaches the user; tests answer it. withCancel: OK and
// Cancel buttons (true for OK), otherwise OK alone.
using TWarningPresenter =
    std::function<bool(QWidget* owner, const QString& caption, const QString& text, bool withCancel)>;
void SetWarningPresenter(TWarningPresenter presenter);  // empty: the message box

// Asks whether the file at path may be replaced. On OK the file is made
// writable by its owner again (a read-only file gets the same question),
// so the save can replace it; true. Cancel: false, nothing changed.
bool ConfirmReplace(const std::string& path, QWidget* owner);

// The box that reports a writer's failure.
void ShowConvertError(QWidget* owner);
