#pragma once
// Drawing of one rewriting rule in the rule window, in the rule's own frame at the
// current model-view matrix: its stem, continuation and laterals as lit boxes with
// red tip and green side handles (normal pass), or only the handles as points in
// the colours of their pick codes (pick pass). Handles that have no pick code
// (laterals from index 16 on) are drawn grey and left out of the pick pass.
#include "growth/RewritingRule.h"

namespace vantrel {

void DrawRule(const RewritingRule& rule, bool pickPass);

// A box of `height` along +y and half-width `halfWidth` in x and z, six quads with
// outward unit normals.
void DrawRuleBox(double height, double halfWidth);

}  // namespace vantrel
