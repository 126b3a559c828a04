#pragma once
// An OpenGL view that interprets none of its mouse input itself: every press,
// release, double click and move goes to one slot of the listener its source names
// at that moment. A double click calls only the double-click slot (the press that
// precedes it has already been delivered), so the sequence for a double click is
// down, up, double click, up.
#include <QOpenGLWidget>
#include <functional>

#include "interaction/MLState.h"

namespace vantrel {

class ListenerView : public QOpenGLWidget {
 public:
  using ListenerSource = std::function<MLState*()>;

  explicit ListenerView(QWidget* parent = nullptr);
  void SetListenerSource(ListenerSource source) { source_ = std::move(source); }

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  MLState* Listener() const { return source_ ? source_() : nullptr; }
  ListenerSource source_;
};

}  // namespace vantrel
