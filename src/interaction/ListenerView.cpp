#include "interaction/ListenerView.h"

#include <QMouseEvent>
#include <cmath>

namespace vantrel {
namespace {

int PixelX(const QMouseEvent* event) { return static_cast<int>(std::floor(event->position().x())); }
int PixelY(const QMouseEvent* event) { return static_cast<int>(std::floor(event->position().y())); }

void Release(MLState* listener, Qt::MouseButton button, int x, int y) {
  switch (button) {
    case Qt::LeftButton:
      listener->OnLButtonUp(x, y);
      break;
    case Qt::RightButton:
      listener->OnRButtonUp(x, y);
      break;
    case Qt::MiddleButton:
      listener->OnMButtonUp(x, y);
      break;
    default:
      break;
  }
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

void ListenerView::mousePressEvent(QMouseEvent* event) {
  MLState* listener = Listener();
  // The pressed button counts as not held: were it still marked, its release was lost.
  ReleaseLostButtons(listener, event->buttons() & ~event->button());
  if (!listener) return;
  const int x = PixelX(event);
  const int y = PixelY(event);
  Remember(listener, x, y);
  switch (event->button()) {
    case Qt::LeftButton:
      listener->OnLButtonDown(x, y);
      break;
    case Qt::RightButton:
      listener->OnRButtonDown(x, y);
      break;
    case Qt::MiddleButton:
      listener->OnMButtonDown(x, y);
      break;
    default:
      return;
  }
  pressed_.setFlag(event->button(), true);
  pressTarget_ = listener;
}

void ListenerView::mouseReleaseEvent(QMouseEvent* event) {
  MLState* listener = Listener();
  ReleaseLostButtons(listener, event->buttons() | event->button());
  if (!listener) return;
  const int x = PixelX(event);
  const int y = PixelY(event);
  Remember(listener, x, y);
  pressed_.setFlag(event->button(), false);
  if (!pressed_) pressTarget_ = nullptr;
  Release(listener, event->button(), x, y);
}

void ListenerView::mouseDoubleClickEvent(QMouseEvent* event) {
  MLState* listener = Listener();
  ReleaseLostButtons(listener, event->buttons() & ~event->button());
  if (!listener) return;
  const int x = PixelX(event);
  const int y = PixelY(event);
  Remember(listener, x, y);
  switch (event->button()) {
    case Qt::LeftButton:
      listener->OnLButtonDblClk(x, y);
      break;
    case Qt::RightButton:
      listener->OnRButtonDblClk(x, y);
      break;
    case Qt::MiddleButton:
      listener->OnMButtonDblClk(x, y);
      break;
    default:
      break;
  }
}

void ListenerView::mouseMoveEvent(QMouseEvent* event) {
  MLState* listener = Listener();
  ReleaseLostButtons(listener, event->buttons());
  if (!listener) return;
  const int x = PixelX(event);
  const int y = PixelY(event);
  Remember(listener, x, y);
  listener->OnMouseMove(x, y);
}

}  // namespace vantrel
