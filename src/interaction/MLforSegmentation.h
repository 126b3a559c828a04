#pragma once
// The main view's mouse listener in segmentation mode. A left drag that starts on
// the heart paints region id 1 around the polygon under the cursor from its first
// move on (a press off the heart does nothing); a right or middle double click
// erases the ids around the picked polygon. Right drag orbits, middle drag zooms.
// Every button release re-renders the main view's pick buffers.
#include "growth/FiberCore.h"
#include "heart/HeartModel.h"
#include "interaction/CameraListener.h"
#include "render/ViewCore.h"

namespace vantrel {

class MLforSegmentation : public CameraListener {
public:
    MLforSegmentation(ViewCore& views, HeartModel& heart, FiberCore& fibers);

    void OnLButtonUp(int x, int y) override;
    void OnLButtonDown(int x, int y) override;
    void OnRButtonDblClk(int x, int y) override;
    void OnMButtonDblClk(int x, int y) override;
    void OnMouseMove(int x, int y) override;

protected:
    void RenderPick() override;

private:
    // `edit` (PaintAround or EraseAround) about the polygon under (x, y), if any,
    // then a redraw.
    void EditRegionsAt(int x, int y, void (HeartModel::*edit)(int));

    ViewCore& views_;
    HeartModel& heart_;
    FiberCore& fibers_;
};

}  // namespace vantrel
