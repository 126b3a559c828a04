#include "interaction/MLforSegmentation.h"

#include "render/HeartDrawing.h"

namespace vantrel {

MLforSegmentation::MLforSegmentation(ViewCore& views, HeartModel& heart, FiberCore& fibers)
    : CameraListener(views.mainGL), views_(views), heart_(heart), fibers_(fibers) {}

void MLforSegmentation::RenderPick() {
    views_.mainRenderer.RenderPickBuffer(views_.mainGL, heart_, fibers_);
}

void MLforSegmentation::OnLButtonDown(int x, int y) {
    int polygon = -1;
    Vector3 point;
    // Only a press on the heart arms the left button; a press off it does nothing.
    leftDown = PickPolygon(views_.mainGL, heart_, x, y, &polygon, &point);
}

void MLforSegmentation::OnMouseMove(int x, int y) {
    if (leftDown) {
        // Painting starts with the first move, never with the press.
        EditRegionsAt(x, y, &HeartModel::PaintAround);
    } else if (rightDown || middleDown) {
        views_.mainGL.DragCamera(x, y);
        views_.RedrawMainView();
    }
}

void MLforSegmentation::OnLButtonUp(int, int) {
    leftDown = false;
    RenderPick();
}

void MLforSegmentation::EditRegionsAt(int x, int y, void (HeartModel::*edit)(int)) {
    int polygon = -1;
    Vector3 point;
    if (PickPolygon(views_.mainGL, heart_, x, y, &polygon, &point)) {
        (heart_.*edit)(polygon);
        views_.mainRenderer.InvalidateRegions();
    }
    views_.RedrawMainView();
}

void MLforSegmentation::OnRButtonDblClk(int x, int y) {
    EditRegionsAt(x, y, &HeartModel::EraseAround);
}
void MLforSegmentation::OnMButtonDblClk(int x, int y) {
    EditRegionsAt(x, y, &HeartModel::EraseAround);
}

}  // namespace vantrel
