#pragma once
// The application's default error handler: every command runs inside
// RunCommand, which shows the message of an escaping exception in a box
// captioned "Vorlix" and abandons the command. No exception crosses the
// event loop.

#include <QString>
#include <functional>

class QWidget;

inline constexpr const char* ApplicationTitle = "Vorlix";

void RunCommand(QWidget* owner, const std::function<void()>& command);

// How the message reaches the user; tests replace the box.
using TErrorPresenter = std::function<void(QWidget* owner, const QString& message)>;
void SetErrorPresenter(TErrorPresenter presenter);  // empty: the message box
void ShowErrorMessage(QWidget* owner, const QString& message);

// The hourglass for the lifetime of the object.
class TWaitCursor {
public:
    TWaitCursor();
    ~TWaitCursor();
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};
