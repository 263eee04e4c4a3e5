#pragma once
// The application's default error handler: every command runs inside
// RunCommand, which shows the message of an escaping exception in a box
// captioned "Vorlix" and abandons the command. No exception crosses the
// event loop.

#include <QString>
#include <functional>
#include <string>

class QWidget;

inline constexpr const char* ApplicationTitle = "Vorlix";

void RunCommand(QWidget* owner, const std::function<void()>& command);

// How the message reaches the user; tests replace the box.
using TErrorPresenter = std::function<void(QWidget* owner, const QString& message)>;
void SetErrorPresenter(TErrorPresenter presenter);  // empty: the message box
void ShowErrorMessage(QWidget* owner, const QString& message);

// Runs work that reads or writes the file at path. An exception escaping it
// is raised again unchanged (callers may still catch it by its class); when
// it reaches RunCommand, the box shows its message and then the path on a
// line of its own, unless the message names the path already.
void AboutFile(const std::string& path, const std::function<void()>& work);

// A box captioned "Vorlix" about something that did not stop the command
// (a picture that opened incomplete); tests replace it as they do the
// error box.
void SetWarningPresenter(TErrorPresenter presenter);  // empty: the message box
void ShowWarningMessage(QWidget* owner, const QString& message);

// The hourglass for the lifetime of the object.
class TWaitCursor {
public:
    TWaitCursor();
    ~TWaitCursor();
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};
