#include "interaction/RuleLayout.h"

#include "render/RuleSceneDrawing.h"

namespace vantrel {

RuleLayout::RuleLayout(RewritingRule& rule1, RewritingRule& rule2) : rule1_(rule1), rule2_(rule2) {}

void RuleLayout::DrawScene(bool pickPass) const {
    DrawRuleScene({rule1_, rule1Origin}, {rule2_, rule2Origin}, pickPass);
}

namespace {

void IncludeRule(const RewritingRule& rule, const Vector3& origin, SceneBox* box) {
    box->Include(origin);
    for (const RulePartPlacement& placement : rule.Placements()) {
        const double w = placement.halfWidth;
        for (const Vector3& local :
             {Vector3(-w, 0, -w), Vector3(w, 0, w), Vector3(-w, placement.height, w),
              Vector3(w, placement.height, -w), placement.tipHandle, placement.sideHandle}) {
            box->Include(origin + placement.transform.Transform(local));
        }
    }
}

}  // namespace

SceneBox RuleLayout::RulesBox() const {
    SceneBox box;
    IncludeRule(rule1_, rule1Origin, &box);
    IncludeRule(rule2_, rule2Origin, &box);
    return box;
}

SceneBox RuleLayout::WindowBox() {
    SceneBox box;
    box.Include(Vector3(-3.0, -1.0, -3.0));
    box.Include(Vector3(3.0, 8.0, 3.0));
    return box;
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
