#include "interaction/MLforMainWindow.h"

#include "render/FiberDrawing.h"
#include "render/HeartDrawing.h"

namespace vantrel {

MLforMainWindow::MLforMainWindow(ViewCore& views, HeartModel& heart, FiberCore& fibers)
    : views_(views), heart_(heart), fibers_(fibers) {
  sketch.color = {1.0f, 1.0f, 0.0f, 1.0f};
}

void MLforMainWindow::RenderPickBuffer() { vantrel::RenderPickBuffer(views_.mainGL, heart_, fibers_); }

void MLforMainWindow::OnRButtonDown(int x, int y) {
  rightDown = true;
  const bool inZoomStrip = x > views_.mainGL.ClientWidth() - kZoomStripPixels;
  views_.mainGL.StartDrag(x, y, inZoomStrip ? CameraDragMode::Zoom : CameraDragMode::Rotate);
}

void MLforMainWindow::OnMButtonDown(int x, int y) {
  middleDown = true;
  views_.mainGL.StartDrag(x, y, CameraDragMode::Zoom);
}

void MLforMainWindow::OnLButtonDown(int x, int y) {
  leftDown = true;
  sketch.points.clear();
  int polygon = -1;
  Vector3 point;
  const bool onSegmented = PickPolygon(views_.mainGL, heart_, x, y, &polygon, &point) &&
                           heart_.regionIds[static_cast<size_t>(polygon)] != 0;
  if (!onSegmented) views_.mainGL.StartDrag(x, y, CameraDragMode::Pan);
}

void MLforMainWindow::OnMouseMove(int x, int y) {
  const bool anyDown = leftDown || rightDown || middleDown;
  if (anyDown) views_.mainGL.DragCamera(x, y);
  // While the animation runs its timer repaints.
  if (anyDown && !fibers_.animation) views_.RedrawMainView();
}

void MLforMainWindow::OnLButtonUp(int, int) {
  views_.mainGL.EndDrag();
  sketch.points.clear();
  leftDown = false;
  placingStart = false;
  drawingFeature = false;
  RenderPickBuffer();
}

void MLforMainWindow::OnRButtonUp(int, int) {
  rightDown = false;
  views_.mainGL.EndDrag();
  RenderPickBuffer();
}

void MLforMainWindow::OnMButtonUp(int, int) {
  middleDown = false;
  views_.mainGL.EndDrag();
  RenderPickBuffer();
}

void MLforMainWindow::OnLButtonDblClk(int, int) {}
void MLforMainWindow::OnRButtonDblClk(int, int) {}
void MLforMainWindow::OnMButtonDblClk(int, int) {}

void MLforMainWindow::DrawOverlay() {
  if (sketch.points.size() == 2) {
    DrawStartArrow(sketch.points[0], sketch.points[1]);
  } else if (sketch.points.size() > 2) {
    DrawPolylineLines(sketch, 5.0f);
  }
}

}  // namespace vantrel
