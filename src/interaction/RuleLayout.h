#pragma once
// Where the two rewriting rules stand in the rule window and the dispatch of a handle
// drag to the rule that owns the handle; the window's scene and its pick pass are drawn
// by render/RuleSceneDrawing at these origins.
#include <cstdint>

#include "geometry/Vector3.h"
#include "growth/RewritingRule.h"
#include "render/RkOGL.h"

namespace vantrel {

class RuleLayout {
public:
    // The rules are edited in place; they must outlive the layout.
    RuleLayout(RewritingRule& rule1, RewritingRule& rule2);

    // The rule scene (DrawRuleScene) with rule 1 at rule1Origin and rule 2 at rule2Origin.
    void DrawScene(bool pickPass) const;

    // The box around both rules as they stand now (their parts and handles), for
    // framing them.
    SceneBox RulesBox() const;
    // Everything the rule window draws, at any rule edit: the floor grid and the room
    // above it for the tallest rules. Fixed, so the window's depth range does not move
    // under a handle drag.
    static SceneBox WindowBox();

    // Renders the rule window's pick buffers (nothing while it has no context).
    void RedrawRulePick(RkOGL& ruleGL) const;

    // One drag step of a handle of rule `rule` (0 or 1; others do nothing): `point`
    // (world) is made relative to that rule's origin and handed to DragHandle.
    void DispatchHandleDrag(std::uint32_t rule, std::uint32_t part, std::uint32_t lateral,
                            std::uint32_t handle, int dx, int dy, Vector3 point);

    Vector3 rule1Origin{-1.0, 0.0, 0.0};
    Vector3 rule2Origin{1.0, 0.0, 0.0};

private:
    RewritingRule& rule1_;
    RewritingRule& rule2_;
};

}  // namespace vantrel
