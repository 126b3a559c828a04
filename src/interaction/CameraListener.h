#pragma once
// The camera buttons every listener shares: a right drag orbits (or whatever
// RightDragMode says at the press), a middle drag zooms, and each release of
// either ends the drag and re-renders the view's pick buffers (RenderPick) so the
// next press hits what is on screen. Double clicks and the overlay do nothing
// unless a listener overrides them.
#include "interaction/MLState.h"
#include "render/RkOGL.h"

namespace vantrel {

class CameraListener : public MLState {
public:
    explicit CameraListener(RkOGL& gl) : gl_(gl) {}

    void OnRButtonDown(int x, int y) override;
    void OnMButtonDown(int x, int y) override;
    void OnRButtonUp(int x, int y) override;
    void OnMButtonUp(int x, int y) override;
    void OnLButtonDblClk(int, int) override {}
    void OnRButtonDblClk(int, int) override {}
    void OnMButtonDblClk(int, int) override {}
    void DrawOverlay() override {}

protected:
    virtual CameraDragMode RightDragMode(int x) const;
    virtual void RenderPick() = 0;

private:
    RkOGL& gl_;
};

}  // namespace vantrel
