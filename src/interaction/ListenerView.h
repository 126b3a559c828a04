#pragma once
// An OpenGL view that interprets none of its mouse input itself: every press,
// release, double click and move goes to one slot of the listener its source names
// at that moment. A double click calls only the double-click slot (the press that
// precedes it has already been delivered), so the sequence for a double click is
// down, up, double click, up. Moves are reported also with no button held.
//
// A release can get lost (a dialog or another window takes the mouse during a
// drag) and the listener can change during a drag. Before each event the view
// therefore hands every button that a listener saw pressed, but that is no longer
// held or whose listener is no longer current, its release at the last position
// that listener saw, so no listener stays in a drag or a sketch.
#include <QOpenGLWidget>
#include <functional>

#include "interaction/MLState.h"

namespace vantrel {

class ListenerView : public QOpenGLWidget {
public:
    using ListenerSource = std::function<MLState*()>;

    explicit ListenerView(QWidget* parent = nullptr);
    void SetListenerSource(ListenerSource source) { source_ = std::move(source); }
    // The wheel zooms through `zoom` with the cursor position and the number of notches
    // (positive away from the user, that is zoom in; trackpad pixel deltas count 100
    // pixels a notch).
    using WheelZoom = std::function<void(int x, int y, double steps)>;
    void SetWheelZoom(WheelZoom zoom) { wheelZoom_ = std::move(zoom); }
    // Called after the listener has handled a button release: where a drag or a
    // double click has ended its edit.
    void SetAfterRelease(std::function<void()> afterRelease) {
        afterRelease_ = std::move(afterRelease);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    MLState* Listener() const { return source_ ? source_() : nullptr; }
    // Delivers the lost releases (see above) for the buttons of `pressed` that are
    // not in `held` or whose listener is not `current`.
    void ReleaseLostButtons(MLState* current, Qt::MouseButtons held);
    // Every event's start: delivers the lost releases for the buttons `held`, then
    // gives the current listener (null when there is none) with the event's position
    // in (x, y), remembered for it.
    MLState* Prepare(QMouseEvent* event, Qt::MouseButtons held, int* x, int* y);
    // Records the event's position as the last one `listener` saw.
    void Remember(MLState* listener, int x, int y);

    ListenerSource source_;
    WheelZoom wheelZoom_;
    std::function<void()> afterRelease_;
    // Buttons whose press reached pressTarget_ and whose release has not.
    Qt::MouseButtons pressed_;
    MLState* pressTarget_ = nullptr;
    int lastX_ = 0;
    int lastY_ = 0;
};

}  // namespace vantrel
