#pragma once
// The main view's normal mouse listener: camera control (right drag orbits, or
// zooms in the 50-pixel strip at the right edge; middle drag zooms; a left press
// that picks no segmented heart polygon pans). Every button release re-renders the
// main view's pick buffers so the next press hits what is on screen.
#include "growth/FiberCore.h"
#include "growth/Polyline.h"
#include "heart/HeartModel.h"
#include "interaction/MLState.h"
#include "render/ViewCore.h"

namespace vantrel {

class MLforMainWindow : public MLState {
 public:
  // Width of the strip at the right edge of the view where a right drag zooms.
  static constexpr int kZoomStripPixels = 50;

  MLforMainWindow(ViewCore& views, HeartModel& heart, FiberCore& fibers);

  void OnLButtonUp(int x, int y) override;
  void OnRButtonUp(int x, int y) override;
  void OnMButtonUp(int x, int y) override;
  void OnLButtonDown(int x, int y) override;
  void OnRButtonDown(int x, int y) override;
  void OnMButtonDown(int x, int y) override;
  void OnLButtonDblClk(int x, int y) override;
  void OnRButtonDblClk(int x, int y) override;
  void OnMButtonDblClk(int x, int y) override;
  void OnMouseMove(int x, int y) override;
  // The start-point arrow while a placement is under way (two sketch points), the
  // sketch as thick lines while a curve is drawn (more than two).
  void DrawOverlay() override;

  bool placingStart = false;
  bool drawingFeature = false;
  Polyline sketch;

 private:
  void RenderPickBuffer();

  ViewCore& views_;
  HeartModel& heart_;
  FiberCore& fibers_;
};

}  // namespace vantrel
