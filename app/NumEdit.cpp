#include "app/NumEdit.h"

#include <QInputMethodEvent>
#include <QKeyEvent>

TNumEdit::TNumEdit(QWidget* parent) : QLineEdit(parent) {
    setInputMethodHints(Qt::ImhDigitsOnly);
    // A dropped text would bypass the filter, and dropped files belong to
    // the window.
    setAcceptDrops(false);
}

namespace {
// Keys that type a character (and so pass through the character filter);
// moving, deleting forwards and the function keys are not filtered.
bool TypesCharacter(const QKeyEvent& event) {
    const int key = event.key();
    if (key == Qt::Key_Backspace || key == Qt::Key_Return || key == Qt::Key_Enter) return true;
    if (key >= Qt::Key_Space && key <= Qt::Key_ydiaeresis) return true;
    const QString text = event.text();
    return !text.isEmpty() && text.front().isPrint();
}
}  // namespace

bool TNumEdit::AcceptsKey(const QKeyEvent& event) {
    if (!TypesCharacter(event)) return true;
    if (event.modifiers() & Qt::ControlModifier) return event.matches(QKeySequence::Paste);
    const int key = event.key();
    if (key == Qt::Key_Backspace || key == Qt::Key_Return || key == Qt::Key_Enter) return true;
    const QString text = event.text();
    return text.size() == 1 && text.front() >= QLatin1Char('0') && text.front() <= QLatin1Char('9');
}

void TNumEdit::keyPressEvent(QKeyEvent* event) {
    if (AcceptsKey(*event)) {
        QLineEdit::keyPressEvent(event);
    } else {
        event->accept();
    }
}

// Text composed by an input method is typed text too: only its ASCII
// digits are kept.
void TNumEdit::inputMethodEvent(QInputMethodEvent* event) {
    QString digits;
    for (const QChar c : event->commitString())
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) digits += c;
    if (digits == event->commitString()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent filtered(event->preeditString(), event->attributes());
    filtered.setCommitString(digits, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&filtered);
}
