#include "interaction/ListenerView.h"

#include <QMouseEvent>
#include <QWheelEvent>
#include <cmath>

namespace vantrel {
namespace {

int PixelX(const QMouseEvent* event) {
    return static_cast<int>(std::floor(event->position().x()));
}
int PixelY(const QMouseEvent* event) {
    return static_cast<int>(std::floor(event->position().y()));
}

// A listener's three slots for one kind of button message (down, up or double click).
struct ButtonSlots {
    void (MLState::*left)(int, int);
    void (MLState::*right)(int, int);
    void (MLState::*middle)(int, int);
};
constexpr ButtonSlots kDownSlots{&MLState::OnLButtonDown, &MLState::OnRButtonDown,
                                 &MLState::OnMButtonDown};
constexpr ButtonSlots kUpSlots{&MLState::OnLButtonUp, &MLState::OnRButtonUp, &MLState::OnMButtonUp};
constexpr ButtonSlots kDoubleClickSlots{&MLState::OnLButtonDblClk, &MLState::OnRButtonDblClk,
                                        &MLState::OnMButtonDblClk};

// Calls the slot of `button`; false for buttons that the listeners do not take.
bool Dispatch(MLState* listener, const ButtonSlots& handlers, Qt::MouseButton button, int x,
              int y) {
    switch (button) {
        case Qt::LeftButton:
            (listener->*handlers.left)(x, y);
            return true;
        case Qt::RightButton:
            (listener->*handlers.right)(x, y);
            return true;
        case Qt::MiddleButton:
            (listener->*handlers.middle)(x, y);
            return true;
        default:
            return false;
    }
}

void Release(MLState* listener, Qt::MouseButton button, int x, int y) {
    Dispatch(listener, kUpSlots, button, x, y);
}

}  // namespace

ListenerView::ListenerView(QWidget* parent) : QOpenGLWidget(parent) {
    // F6 moves the keyboard focus between the panes; a click also gives it.
    setFocusPolicy(Qt::StrongFocus);
    // Moves without a button reach the listeners too, so a release lost during a drag
    // is noticed as soon as the mouse moves over the view again.
    setMouseTracking(true);
}

void ListenerView::ReleaseLostButtons(MLState* current, Qt::MouseButtons held) {
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        if (!pressed_.testFlag(button)) continue;
        if (held.testFlag(button) && pressTarget_ == current) continue;
        pressed_.setFlag(button, false);
        if (pressTarget_) Release(pressTarget_, button, lastX_, lastY_);
    }
    if (!pressed_) pressTarget_ = nullptr;
}

void ListenerView::Remember(MLState* listener, int x, int y) {
    if (listener == pressTarget_ || !pressTarget_) {
        lastX_ = x;
        lastY_ = y;
    }
}

MLState* ListenerView::Prepare(QMouseEvent* event, Qt::MouseButtons held, int* x, int* y) {
    MLState* listener = Listener();
    ReleaseLostButtons(listener, held);
    if (!listener) return nullptr;
    *x = PixelX(event);
    *y = PixelY(event);
    Remember(listener, *x, *y);
    return listener;
}

void ListenerView::mousePressEvent(QMouseEvent* event) {
    int x = 0;
    int y = 0;
    // The pressed button counts as not held: were it still marked, its release was lost.
    MLState* listener = Prepare(event, event->buttons() & ~event->button(), &x, &y);
    if (!listener) return;
    if (!Dispatch(listener, kDownSlots, event->button(), x, y)) return;
    pressed_.setFlag(event->button(), true);
    pressTarget_ = listener;
}

void ListenerView::mouseReleaseEvent(QMouseEvent* event) {
    int x = 0;
    int y = 0;
    MLState* listener = Prepare(event, event->buttons() | event->button(), &x, &y);
    if (!listener) return;
    pressed_.setFlag(event->button(), false);
    if (!pressed_) pressTarget_ = nullptr;
    Release(listener, event->button(), x, y);
    if (afterRelease_) afterRelease_();
}

void ListenerView::mouseDoubleClickEvent(QMouseEvent* event) {
    int x = 0;
    int y = 0;
    MLState* listener = Prepare(event, event->buttons() & ~event->button(), &x, &y);
    if (!listener) return;
    Dispatch(listener, kDoubleClickSlots, event->button(), x, y);
}

void ListenerView::mouseMoveEvent(QMouseEvent* event) {
    int x = 0;
    int y = 0;
    MLState* listener = Prepare(event, event->buttons(), &x, &y);
    if (!listener) return;
    listener->OnMouseMove(x, y);
}

void ListenerView::wheelEvent(QWheelEvent* event) {
    const QPoint pixels = event->pixelDelta();
    const double steps = pixels.isNull() ? event->angleDelta().y() / 120.0 : pixels.y() / 100.0;
    if (!wheelZoom_ || steps == 0.0) return;
    event->accept();
    wheelZoom_(static_cast<int>(std::floor(event->position().x())),
               static_cast<int>(std::floor(event->position().y())), steps);
}

}  // namespace vantrel
