#pragma once
// A single-line edit for whole numbers: typing lets through only digits,
// backspace and return, and with Ctrl held only paste. Text can still be
// pasted, so users of the edit must expect text that is not a number.

#include <QLineEdit>

class TNumEdit : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(int Column READ Column)
    Q_PROPERTY(bool ZeroPadding READ ZeroPadding)

public:
    explicit TNumEdit(QWidget* parent = nullptr);

    // The length of the current text.
    int Column() const { return static_cast<int>(text().size()); }
    // The text is not empty and starts with "0".
    bool ZeroPadding() const { return !text().isEmpty() && text().front() == QLatin1Char('0'); }

    // The key filter: whether a key press may reach the edit.
    static bool AcceptsKey(const QKeyEvent& event);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
};
