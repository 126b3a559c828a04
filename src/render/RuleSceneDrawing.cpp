#include "render/RuleSceneDrawing.h"

#include <GL/gl.h>

#include "render/PickPass.h"
#include "render/RuleDrawing.h"

namespace vantrel {
namespace {

void DrawFloorGrid() {
    glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_LINE_BIT | GL_CURRENT_BIT);
    glLineWidth(2.0f);
    glColor3f(0.8f, 0.8f, 0.8f);
    glShadeModel(GL_FLAT);
    glDisable(GL_LIGHTING);
    glBegin(GL_LINES);
    for (int i = 0; i <= 12; ++i) {
        const double v = -3.0 + 0.5 * i;
        glVertex3d(v, 0.0, -3.0);
        glVertex3d(v, 0.0, 3.0);
        glVertex3d(-3.0, 0.0, v);
        glVertex3d(3.0, 0.0, v);
    }
    glEnd();
    glPopAttrib();
}

void DrawRuleAt(const PlacedRule& placed, bool pickPass) {
    glPushMatrix();
    glTranslated(placed.origin.x, placed.origin.y, placed.origin.z);
    DrawRule(placed.rule, pickPass);
    glPopMatrix();
}

}  // namespace

void DrawRuleScene(const PlacedRule& first, const PlacedRule& second, bool pickPass) {
    if (!pickPass) DrawFloorGrid();
    DrawRuleAt(first, pickPass);
    DrawRuleAt(second, pickPass);
}

void RenderRuleScenePick(RkOGL& ruleGL, const PlacedRule& first, const PlacedRule& second) {
    RenderPickPass(ruleGL, [&] { DrawRuleScene(first, second, true); });
}

}  // namespace vantrel
