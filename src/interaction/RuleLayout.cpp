#include "interaction/RuleLayout.h"

#include "render/RuleSceneDrawing.h"

namespace vantrel {

RuleLayout::RuleLayout(RewritingRule& rule1, RewritingRule& rule2) : rule1_(rule1), rule2_(rule2) {}

void RuleLayout::DrawScene(bool pickPass) const {
    DrawRuleScene({rule1_, rule1Origin}, {rule2_, rule2Origin}, pickPass);
}

void RuleLayout::RedrawRulePick(RkOGL& ruleGL) const {
    RenderRuleScenePick(ruleGL, {rule1_, rule1Origin}, {rule2_, rule2Origin});
}

void RuleLayout::DispatchHandleDrag(std::uint32_t rule, std::uint32_t part, std::uint32_t lateral,
                                    std::uint32_t handle, int dx, int dy, Vector3 point) {
    if (rule == 0) {
        point -= rule1Origin;
        rule1_.DragHandle(part, static_cast<int>(lateral), handle, dx, dy, point);
    } else if (rule == 1) {
        point -= rule2Origin;
        rule2_.DragHandle(part, static_cast<int>(lateral), handle, dx, dy, point);
    }
}

}  // namespace vantrel
