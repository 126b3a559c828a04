#include "interaction/MLforSegmentation.h"

#include "render/HeartDrawing.h"

namespace vantrel {

MLforSegmentation::MLforSegmentation(ViewCore& views, HeartModel& heart, FiberCore& fibers)
    : views_(views), heart_(heart), fibers_(fibers) {}

void MLforSegmentation::RenderPickBuffer() {
    vantrel::RenderPickBuffer(views_.mainGL, heart_, fibers_);
}

void MLforSegmentation::OnLButtonDown(int x, int y) {
    int polygon = -1;
    Vector3 point;
    // Only a press on the heart arms the left button; a press off it does nothing.
    leftDown = PickPolygon(views_.mainGL, heart_, x, y, &polygon, &point);
}

void MLforSegmentation::OnRButtonDown(int x, int y) {
    rightDown = true;
    views_.mainGL.StartDrag(x, y, CameraDragMode::Rotate);
}

void MLforSegmentation::OnMButtonDown(int x, int y) {
    middleDown = true;
    views_.mainGL.StartDrag(x, y, CameraDragMode::Zoom);
}

void MLforSegmentation::OnMouseMove(int x, int y) {
    if (leftDown) {
        // Painting starts with the first move, never with the press.
        int polygon = -1;
        Vector3 point;
        if (PickPolygon(views_.mainGL, heart_, x, y, &polygon, &point)) heart_.PaintAround(polygon);
        views_.RedrawMainView();
    } else if (rightDown || middleDown) {
        views_.mainGL.DragCamera(x, y);
        views_.RedrawMainView();
    }
}

void MLforSegmentation::OnLButtonUp(int, int) {
    leftDown = false;
    RenderPickBuffer();
}

void MLforSegmentation::OnRButtonUp(int, int) {
    rightDown = false;
    views_.mainGL.EndDrag();
    RenderPickBuffer();
}

void MLforSegmentation::OnMButtonUp(int, int) {
    middleDown = false;
    views_.mainGL.EndDrag();
    RenderPickBuffer();
}

void MLforSegmentation::EraseAt(int x, int y) {
    int polygon = -1;
    Vector3 point;
    if (PickPolygon(views_.mainGL, heart_, x, y, &polygon, &point)) heart_.EraseAround(polygon);
    views_.RedrawMainView();
}

void MLforSegmentation::OnLButtonDblClk(int, int) {}
void MLforSegmentation::OnRButtonDblClk(int x, int y) {
    EraseAt(x, y);
}
void MLforSegmentation::OnMButtonDblClk(int x, int y) {
    EraseAt(x, y);
}
void MLforSegmentation::DrawOverlay() {}

}  // namespace vantrel
