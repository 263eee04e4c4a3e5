#include "app/CommandGuard.h"

#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <exception>

namespace {
TErrorPresenter& Presenter() {
    static TErrorPresenter presenter;
    return presenter;
}
TErrorPresenter& WarningPresenter() {
    static TErrorPresenter presenter;
    return presenter;
}

void ShowBox(QWidget* owner, QMessageBox::Icon icon, const QString& message) {
    QMessageBox box(icon, QString::fromLatin1(ApplicationTitle), message, QMessageBox::Ok, owner);
    // Messages carry file names and texts from files; none of them is markup.
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

// The exception that last left AboutFile and the file it concerns. Holding
// the exception keeps its object alive, so a later one cannot be taken for
// it.
struct TFileOfError {
    std::exception_ptr Error;
    std::string Path;
};
TFileOfError& FileOfError() {
    static TFileOfError note;
    return note;
}

// The message of the exception being handled, followed by its file when
// AboutFile noted one.
QString MessageNamingItsFile(const char* what) {
    QString message = QString::fromUtf8(what);
    TFileOfError& note = FileOfError();
    if (note.Error && note.Error == std::current_exception()) {
        const QString path = QString::fromStdString(note.Path);
        if (!message.contains(path)) message += QLatin1Char('\n') + path;
    }
    return message;
}
}  // namespace

void SetErrorPresenter(TErrorPresenter presenter) { Presenter() = std::move(presenter); }
void SetWarningPresenter(TErrorPresenter presenter) { WarningPresenter() = std::move(presenter); }

void ShowErrorMessage(QWidget* owner, const QString& message) {
    if (Presenter()) {
        Presenter()(owner, message);
        return;
    }
    ShowBox(owner, QMessageBox::Critical, message);
}

void ShowWarningMessage(QWidget* owner, const QString& message) {
    if (WarningPresenter()) {
        WarningPresenter()(owner, message);
        return;
    }
    ShowBox(owner, QMessageBox::Warning, message);
}

void AboutFile(const std::string& path, const std::function<void()>& work) {
    try {
        work();
    } catch (...) {
        FileOfError() = {std::current_exception(), path};
        throw;
    }
}

void RunCommand(QWidget* owner, const std::function<void()>& command) {
    QString message;
    try {
        command();
        return;
    } catch (const std::exception& e) {
        message = MessageNamingItsFile(e.what());
    } catch (...) {
        message = QStringLiteral("Unknown error");
    }
    FileOfError() = {};
    ShowErrorMessage(owner, message);
}

TWaitCursor::TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
TWaitCursor::~TWaitCursor() { QApplication::restoreOverrideCursor(); }
