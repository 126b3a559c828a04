#include "interaction/MLforMainWindow.h"

#include "growth/SurfaceSketch.h"
#include "render/FiberDrawing.h"
#include "render/HeartDrawing.h"

namespace vantrel {

MLforMainWindow::MLforMainWindow(ViewCore& views, HeartModel& heart, FiberCore& fibers)
    : CameraListener(views.mainGL), views_(views), heart_(heart), fibers_(fibers) {
    sketch.color = {1.0f, 1.0f, 0.0f, 1.0f};
}

void MLforMainWindow::RenderPick() {
    views_.mainRenderer.RenderPickBuffer(views_.mainGL, heart_, fibers_);
}

bool MLforMainWindow::PickSegmented(int x, int y, Vector3* point, Vector3* normal) const {
    int polygon = -1;
    if (!PickPolygon(views_.mainGL, heart_, x, y, &polygon, point)) return false;
    const size_t index = static_cast<size_t>(polygon);
    if (index >= heart_.regionIds.size() || heart_.regionIds[index] == 0) return false;
    *normal = heart_.mesh.polygons[index].normal;
    return true;
}

CameraDragMode MLforMainWindow::RightDragMode(int x) const {
    const bool inZoomStrip = x > views_.mainGL.ClientWidth() - kZoomStripPixels;
    return inZoomStrip ? CameraDragMode::Zoom : CameraDragMode::Rotate;
}

void MLforMainWindow::OnLButtonDown(int x, int y) {
    leftDown = true;
    sketch.points.clear();
    Vector3 surfacePoint;
    Vector3 normal;
    if (!PickSegmented(x, y, &surfacePoint, &normal)) {
        views_.mainGL.StartDrag(x, y, CameraDragMode::Pan);
        return;
    }
    const Vector3 point = PointUnderSurface(surfacePoint, normal, heart_.LayerDepth());
    if (fibers_.placeStartPoint) {
        // The position and a provisional direction point, aimed by the moves.
        placingStart = true;
        sketch.points = {point, point};
    } else {
        drawingFeature = true;
        sketch.points.push_back(point);
    }
}

void MLforMainWindow::OnMouseMove(int x, int y) {
    const bool anyDown = leftDown || rightDown || middleDown;
    if (leftDown && (placingStart || drawingFeature)) {
        // Moves off the marked region add nothing; the camera stays while sketching.
        Vector3 surfacePoint;
        Vector3 normal;
        if (PickSegmented(x, y, &surfacePoint, &normal)) {
            const double depth = 0.5 * heart_.volume.VoxelSize() + heart_.LayerDepth();
            const Vector3 point = PointUnderSurface(surfacePoint, normal, depth);
            if (placingStart) {
                AimPlacement(sketch, point);
            } else {
                sketch.points.push_back(point);
            }
        }
    } else if (anyDown) {
        views_.mainGL.DragCamera(x, y);
    }
    // While the animation runs its timer repaints.
    if (anyDown && !fibers_.animation) views_.RedrawMainView();
    if (!anyDown && views_.strokeHovered && views_.mainRenderer.Activation().enabled) {
        Vector3 origin;
        Vector3 direction;
        views_.mainGL.MouseRay(x, y, &origin, &direction);
        views_.strokeHovered(fibers_.StrokeUnderRay(origin, direction));
    }
}

void MLforMainWindow::OnLButtonUp(int x, int y) {
    Vector3 surfacePoint;
    Vector3 normal;
    if (placingStart && sketch.points.size() == 2) {
        // Four start points about the normal under the release point; a release off
        // the marked region adds none.
        if (PickSegmented(x, y, &surfacePoint, &normal)) {
            for (const StartPoint& start :
                 QuarterTurnStartPoints(sketch.points[0], sketch.points[1], normal)) {
                fibers_.startPoints.push_back(start);
            }
        }
    } else if (drawingFeature && sketch.points.size() >= kMinFeatureCurvePoints) {
        fibers_.featureCurves.push_back(*FeatureCurveFromSketch(sketch));
    } else {
        views_.mainGL.EndDrag();
    }
    sketch.points.clear();
    leftDown = false;
    placingStart = false;
    drawingFeature = false;
    RenderPick();
}

void MLforMainWindow::OnRButtonDblClk(int x, int y) {
    Vector3 origin;
    Vector3 direction;
    views_.mainGL.MouseRay(x, y, &origin, &direction);
    fibers_.ToggleBlockAt(origin, direction);
    if (views_.networkEdited) views_.networkEdited();
    views_.RedrawMainView();
}

void MLforMainWindow::DrawOverlay() {
    // What is drawn follows the gesture, not the point count: a curve sketch of two
    // points is a line, never a start arrow.
    if (placingStart && sketch.points.size() == 2) {
        DrawStartArrow(sketch.points[0], sketch.points[1]);
    } else if (drawingFeature) {
        DrawPolylineLines(sketch, 5.0f);
    }
}

}  // namespace vantrel
