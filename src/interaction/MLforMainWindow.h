#pragma once
// The main view's normal mouse listener. A left drag that starts on a segmented
// heart polygon places a start point (FiberCore::placeStartPoint: the release adds
// four start points a quarter turn apart about the normal under it) or sketches a
// feature curve (kept at the release when it has at least 5 points, smoothed
// twice); points go under the surface, the press at layerDepth, the moves at half
// a voxel more. A right double click toggles the conduction block of the stroke
// nearest to the mouse ray in each fibre. Camera: right drag orbits, or zooms in
// the 50-pixel strip at the right edge; middle drag zooms; a left press that picks
// no segmented polygon pans. Every button release re-renders the main view's pick
// buffers so the next press hits what is on screen. A move without a button while
// the Activation Map is on reports the stroke under the mouse (ViewCore::strokeHovered).
#include "growth/FiberCore.h"
#include "growth/Polyline.h"
#include "heart/HeartModel.h"
#include "interaction/CameraListener.h"
#include "render/ViewCore.h"

namespace vantrel {

class MLforMainWindow : public CameraListener {
public:
    // Width of the strip at the right edge of the view where a right drag zooms.
    static constexpr int kZoomStripPixels = 50;

    MLforMainWindow(ViewCore& views, HeartModel& heart, FiberCore& fibers);

    void OnLButtonUp(int x, int y) override;
    void OnLButtonDown(int x, int y) override;
    void OnRButtonDblClk(int x, int y) override;
    void OnMouseMove(int x, int y) override;
    // The start-point arrow while a placement is under way, the sketch as lines of
    // width 5 in its colour while a curve is drawn.
    void DrawOverlay() override;

    bool placingStart = false;
    bool drawingFeature = false;
    Polyline sketch;

protected:
    // Zoom in the strip at the right edge, orbit elsewhere.
    CameraDragMode RightDragMode(int x) const override;
    void RenderPick() override;

private:
    // The segmented heart polygon under (x, y): the picked surface point and the
    // polygon's outward normal. False off the heart and on unsegmented polygons.
    bool PickSegmented(int x, int y, Vector3* point, Vector3* normal) const;

    ViewCore& views_;
    HeartModel& heart_;
    FiberCore& fibers_;
};

}  // namespace vantrel
