#pragma once
// A scroll box that reports the user's scroll-bar actions (arrows, paging,
// dragging the thumb, the arrow keys) through OnScrollHorz/OnScrollVert
// after the box has scrolled. Scrolling by the wheel or by setting a
// position raises neither. The wheel is offered to OnMouseWheelDown/Up,
// one call per notch, over the whole box including its scroll bars; a
// handler that sets handled takes the notch, otherwise the box scrolls as
// usual.

#include <QScrollArea>
#include <QScrollBar>
#include <functional>

class TEventScrollBox : public QScrollArea {
    Q_OBJECT

public:
    using TNotifyEvent = std::function<void(QObject* sender)>;
    using TMouseWheelUpDownEvent =
        std::function<void(QObject* sender, Qt::KeyboardModifiers shift, QPoint mousePos, bool& handled)>;

    explicit TEventScrollBox(QWidget* parent = nullptr);

    TNotifyEvent OnScrollHorz;
    TNotifyEvent OnScrollVert;
    TMouseWheelUpDownEvent OnMouseWheelDown;
    TMouseWheelUpDownEvent OnMouseWheelUp;
    TNotifyEvent OnClick;

protected:
    void wheelEvent(QWheelEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    class TBar;
    friend class TBar;
    // Offers the notches of a wheel event to the handlers; true when they
    // took it.
    bool DoMouseWheel(QWheelEvent* event);
    void BarAction(QScrollBar* bar);
    void FinishAction(QScrollBar* bar);

    int wheelAccumulator_ = 0;
    bool inBaseWheel_ = false;
    QScrollBar* pendingAction_ = nullptr;  // an action whose event is still due
};
