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
}  // namespace

void SetErrorPresenter(TErrorPresenter presenter) { Presenter() = std::move(presenter); }

void ShowErrorMessage(QWidget* owner, const QString& message) {
    if (Presenter()) {
        Presenter()(owner, message);
        return;
    }
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(ApplicationTitle), message, QMessageBox::Ok, owner);
    box.exec();
}

void RunCommand(QWidget* owner, const std::function<void()>& command) {
    QString message;
    try {
        command();
        return;
    } catch (const std::exception& e) {
        message = QString::fromUtf8(e.what());
    } catch (...) {
        message = QStringLiteral("Unknown error");
    }
    ShowErrorMessage(owner, message);
}

TWaitCursor::TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
TWaitCursor::~TWaitCursor() { QApplication::restoreOverrideCursor(); }
