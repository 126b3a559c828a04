#include "interaction/MLforRuleWindow.h"

#include "growth/RewritingRule.h"

namespace vantrel {

MLforRuleWindow::MLforRuleWindow(ViewCore& views, RuleLayout& layout)
    : CameraListener(views.ruleGL), views_(views), layout_(layout) {}

void MLforRuleWindow::RenderPick() {
    layout_.RedrawRulePick(views_.ruleGL);
}

void MLforRuleWindow::ResetGrab() {
    editing = false;
    pickDepth = 1.0f;
    pickHandle = 0xFFFFFFFFu;
    pickPart = 0xFFFFFFFFu;
    pickRule = 0xFFFFFFFFu;
    pickLateral = 0xFFFFFFFFu;
}

void MLforRuleWindow::OnLButtonDown(int x, int y) {
    leftDown = true;
    const PickSample sample = views_.ruleGL.ReadPick(x, y);
    pickDepth = sample.depth;
    if (sample.hit) {
        const DecodedRulePick decoded = DecodeRulePick(sample.code);
        pickRule = decoded.ruleId;
        pickPart = decoded.part;
        pickLateral = static_cast<std::uint32_t>(decoded.lateralIndex);
        pickHandle = decoded.handle;
        lastPointX = x;
        lastPointY = y;
        editing = true;
    } else {
        views_.ruleGL.StartDrag(x, y, CameraDragMode::Pan);
    }
}

void MLforRuleWindow::OnMouseMove(int x, int y) {
    if (leftDown) {
        if (editing) {
            // The mouse at the grabbed handle's depth, so a tip follows it in the plane
            // the handle was seen in.
            const Vector3 point = views_.ruleGL.UnprojectAt(x, y, pickDepth);
            layout_.DispatchHandleDrag(pickRule, pickPart, pickLateral, pickHandle, x - lastPointX,
                                       y - lastPointY, point);
            views_.RedrawMainView();
        } else {
            views_.ruleGL.DragCamera(x, y);
        }
        views_.RedrawRuleView();
    } else if (rightDown || middleDown) {
        views_.ruleGL.DragCamera(x, y);
        views_.RedrawRuleView();
    }
    lastPointX = x;
    lastPointY = y;
}

void MLforRuleWindow::OnLButtonUp(int, int) {
    ResetGrab();
    leftDown = false;
    views_.ruleGL.EndDrag();
    RenderPick();
}

}  // namespace vantrel
