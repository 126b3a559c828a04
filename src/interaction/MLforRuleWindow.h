#pragma once
// The rule window's mouse listener: a left press on a handle grabs it (its pick code
// decoded into rule, part, lateral and handle, its depth kept) and every move edits
// the rule through RuleLayout's dispatch with the mouse unprojected at that depth
// and the motion since the previous move, redrawing both views; a left press
// elsewhere pans, a right drag orbits, a middle drag zooms. Every release ends the
// drag, the left one also the grab, and re-renders the rule window's pick buffers
// (handles are found where they moved from the next press on).
#include <cstdint>

#include "interaction/CameraListener.h"
#include "interaction/RuleLayout.h"
#include "render/ViewCore.h"

namespace vantrel {

class MLforRuleWindow : public CameraListener {
public:
    MLforRuleWindow(ViewCore& views, RuleLayout& layout);

    void OnLButtonUp(int x, int y) override;
    void OnLButtonDown(int x, int y) override;
    void OnMouseMove(int x, int y) override;

    // The grabbed handle; the values below are those of an idle listener.
    bool editing = false;
    float pickDepth = 1.0f;
    std::uint32_t pickHandle = 0xFFFFFFFFu;
    std::uint32_t pickPart = 0xFFFFFFFFu;
    std::uint32_t pickRule = 0xFFFFFFFFu;
    std::uint32_t pickLateral = 0xFFFFFFFFu;
    int lastPointX = 0;
    int lastPointY = 0;

protected:
    void RenderPick() override;

private:
    void ResetGrab();

    ViewCore& views_;
    RuleLayout& layout_;
};

}  // namespace vantrel
