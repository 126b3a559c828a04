#include "interaction/ListenerView.h"

#include <QMouseEvent>
#include <cmath>

namespace vantrel {
namespace {

int PixelX(const QMouseEvent* event) { return static_cast<int>(std::floor(event->position().x())); }
int PixelY(const QMouseEvent* event) { return static_cast<int>(std::floor(event->position().y())); }

}  // namespace

ListenerView::ListenerView(QWidget* parent) : QOpenGLWidget(parent) {
  // F6 moves the keyboard focus between the panes; a click also gives it.
  setFocusPolicy(Qt::StrongFocus);
}

void ListenerView::mousePressEvent(QMouseEvent* event) {
  MLState* listener = Listener();
  if (!listener) return;
  const int x = PixelX(event);
  const int y = PixelY(event);
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
      break;
  }
}

void ListenerView::mouseReleaseEvent(QMouseEvent* event) {
  MLState* listener = Listener();
  if (!listener) return;
  const int x = PixelX(event);
  const int y = PixelY(event);
  switch (event->button()) {
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

void ListenerView::mouseDoubleClickEvent(QMouseEvent* event) {
  MLState* listener = Listener();
  if (!listener) return;
  const int x = PixelX(event);
  const int y = PixelY(event);
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
  if (MLState* listener = Listener()) listener->OnMouseMove(PixelX(event), PixelY(event));
}

}  // namespace vantrel
