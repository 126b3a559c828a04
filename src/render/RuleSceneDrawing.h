#pragma once
// The rule window's scene at the current model-view matrix: in a normal frame the grey
// floor grid (y = 0, -3 to 3 in x and z, lines every 0.5), then each rule translated to
// its origin; in a pick pass only the rules' handles. RenderRuleScenePick renders that
// pick pass into the rule window's pick buffers (nothing while the window has no context).
#include "geometry/Vector3.h"
#include "growth/RewritingRule.h"
#include "render/RkOGL.h"

namespace vantrel {

struct PlacedRule {
    const RewritingRule& rule;
    Vector3 origin;
};

void DrawRuleScene(const PlacedRule& first, const PlacedRule& second, bool pickPass);

void RenderRuleScenePick(RkOGL& ruleGL, const PlacedRule& first, const PlacedRule& second);

}  // namespace vantrel
