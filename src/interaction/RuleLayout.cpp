#include "interaction/RuleLayout.h"

#include <GL/gl.h>

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

void DrawRuleAt(const RewritingRule& rule, const Vector3& origin, bool pickPass) {
    glPushMatrix();
    glTranslated(origin.x, origin.y, origin.z);
    DrawRule(rule, pickPass);
    glPopMatrix();
}

}  // namespace

RuleLayout::RuleLayout(RewritingRule& rule1, RewritingRule& rule2) : rule1_(rule1), rule2_(rule2) {}

void RuleLayout::DrawScene(bool pickPass) const {
    if (!pickPass) DrawFloorGrid();
    DrawRuleAt(rule1_, rule1Origin, pickPass);
    DrawRuleAt(rule2_, rule2Origin, pickPass);
}

void RuleLayout::RedrawRulePick(RkOGL& ruleGL) const {
    ruleGL.BeginPickPass();
    if (!ruleGL.PickPass()) return;
    ruleGL.BeginDraw();
    glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glShadeModel(GL_FLAT);
    DrawScene(true);
    glPopAttrib();
    ruleGL.EndDraw();
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
