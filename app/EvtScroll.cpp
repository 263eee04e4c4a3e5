#include "app/EvtScroll.h"

#include <QMouseEvent>
#include <QWheelEvent>

// A scroll bar that knows when it is moved by the wheel, so that the box
// can tell the wheel from a user's scroll-bar action, and that offers
// wheel events over it to the box first.
class TEventScrollBox::TBar : public QScrollBar {
public:
    TBar(Qt::Orientation orientation, TEventScrollBox* box) : QScrollBar(orientation, box), box_(box) {}
    bool InWheel() const { return inWheel_; }

protected:
    void wheelEvent(QWheelEvent* event) override {
        if (!box_->inBaseWheel_ && box_->DoMouseWheel(event)) return;
        inWheel_ = true;
        QScrollBar::wheelEvent(event);
        inWheel_ = false;
    }

private:
    TEventScrollBox* box_;
    bool inWheel_ = false;
};

TEventScrollBox::TEventScrollBox(QWidget* parent) : QScrollArea(parent) {
    for (Qt::Orientation orientation : {Qt::Horizontal, Qt::Vertical}) {
        auto* bar = new TBar(orientation, this);
        if (orientation == Qt::Horizontal)
            setHorizontalScrollBar(bar);
        else
            setVerticalScrollBar(bar);
        // actionTriggered comes before the bar moves: the event is raised
        // when the value has changed, or at once after the action when the
        // bar was already at its end.
        connect(bar, &QAbstractSlider::actionTriggered, this, [this, bar](int) {
            if (static_cast<TBar*>(bar)->InWheel()) return;
            pendingAction_ = bar;
            QMetaObject::invokeMethod(this, [this, bar] { FinishAction(bar); }, Qt::QueuedConnection);
        });
        connect(bar, &QAbstractSlider::valueChanged, this, [this, bar] { FinishAction(bar); });
    }
}

void TEventScrollBox::FinishAction(QScrollBar* bar) {
    if (pendingAction_ != bar) return;
    pendingAction_ = nullptr;
    BarAction(bar);
}

void TEventScrollBox::BarAction(QScrollBar* bar) {
    const TNotifyEvent& handler = bar->orientation() == Qt::Horizontal ? OnScrollHorz : OnScrollVert;
    if (handler) handler(this);
}

bool TEventScrollBox::DoMouseWheel(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0 || (!OnMouseWheelDown && !OnMouseWheelUp)) return false;
    wheelAccumulator_ += delta;
    const QPoint pos = event->position().toPoint();
    bool handled = false;
    while (wheelAccumulator_ >= 120 || wheelAccumulator_ <= -120) {
        const bool down = wheelAccumulator_ < 0;
        wheelAccumulator_ += down ? 120 : -120;
        bool notchHandled = false;
        const TMouseWheelUpDownEvent& handler = down ? OnMouseWheelDown : OnMouseWheelUp;
        if (handler) handler(this, event->modifiers(), pos, notchHandled);
        handled = handled || notchHandled;
    }
    // Part of a notch (a fine-grained wheel) waits for the rest.
    if (!handled && (wheelAccumulator_ != 0)) handled = true;
    if (handled) event->accept();
    return handled;
}

void TEventScrollBox::wheelEvent(QWheelEvent* event) {
    if (DoMouseWheel(event)) return;
    inBaseWheel_ = true;
    QScrollArea::wheelEvent(event);
    inBaseWheel_ = false;
}

void TEventScrollBox::mouseReleaseEvent(QMouseEvent* event) {
    QScrollArea::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && viewport()->rect().contains(event->position().toPoint()) && OnClick)
        OnClick(this);
}
