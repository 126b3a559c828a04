#include "interaction/CameraListener.h"

namespace vantrel {

CameraDragMode CameraListener::RightDragMode(int) const {
    return CameraDragMode::Rotate;
}

void CameraListener::OnRButtonDown(int x, int y) {
    rightDown = true;
    gl_.StartDrag(x, y, RightDragMode(x));
}

void CameraListener::OnMButtonDown(int x, int y) {
    middleDown = true;
    gl_.StartDrag(x, y, CameraDragMode::Zoom);
}

void CameraListener::OnRButtonUp(int, int) {
    rightDown = false;
    gl_.EndDrag();
    RenderPick();
}

void CameraListener::OnMButtonUp(int, int) {
    middleDown = false;
    gl_.EndDrag();
    RenderPick();
}

}  // namespace vantrel
