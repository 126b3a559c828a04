#include "render/RuleDrawing.h"

#include <GL/gl.h>

namespace vantrel {
namespace {

struct BoxMaterial {
    GLfloat diffuse[4];
    GLfloat ambient[4];
};

constexpr BoxMaterial kContinuation = {{0.95f, 0.95f, 0.95f, 1.0f}, {0.95f, 0.95f, 0.0f, 1.0f}};
constexpr BoxMaterial kLateral = {{0.0f, 0.85f, 0.85f, 1.0f}, {0.0f, 0.4f, 0.4f, 1.0f}};
constexpr BoxMaterial kStem = {{0.4f, 0.4f, 0.4f, 1.0f}, {0.2f, 0.2f, 0.2f, 1.0f}};

const BoxMaterial& MaterialOf(RulePart part) {
    switch (part) {
        case RulePart::Continuation:
            return kContinuation;
        case RulePart::Lateral:
            return kLateral;
        case RulePart::Stem:
            break;
    }
    return kStem;
}

void SetBoxMaterial(const BoxMaterial& material) {
    const GLfloat specular[] = {0.0f, 0.0f, 0.0f, 1.0f};
    glMaterialfv(GL_FRONT, GL_DIFFUSE, material.diffuse);
    glMaterialfv(GL_FRONT, GL_AMBIENT, material.ambient);
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    glMaterialf(GL_FRONT, GL_SHININESS, 128.0f);
}

void PickColour(std::uint32_t code) {
    glColor4ub(static_cast<GLubyte>(code & 0xFF), static_cast<GLubyte>((code >> 8) & 0xFF),
               static_cast<GLubyte>((code >> 16) & 0xFF), 255);
}

void DrawHandles(const RulePartPlacement& placement, bool pickPass) {
    glBegin(GL_POINTS);
    if (pickPass) {
        if (placement.tipPickCode) {
            PickColour(*placement.tipPickCode);
            glVertex3d(placement.tipHandle.x, placement.tipHandle.y, placement.tipHandle.z);
        }
        if (placement.sidePickCode) {
            PickColour(*placement.sidePickCode);
            glVertex3d(placement.sideHandle.x, placement.sideHandle.y, placement.sideHandle.z);
        }
    } else {
        // A handle that cannot be picked is grey, so the user sees it is not draggable.
        if (placement.tipPickCode)
            glColor3f(1.0f, 0.0f, 0.0f);
        else
            glColor3f(0.5f, 0.5f, 0.5f);
        glVertex3d(placement.tipHandle.x, placement.tipHandle.y, placement.tipHandle.z);
        if (placement.sidePickCode)
            glColor3f(0.0f, 1.0f, 0.0f);
        else
            glColor3f(0.5f, 0.5f, 0.5f);
        glVertex3d(placement.sideHandle.x, placement.sideHandle.y, placement.sideHandle.z);
    }
    glEnd();
}

}  // namespace

void DrawRuleBox(double height, double halfWidth) {
    const double w = halfWidth;
    const double h = height;
    glBegin(GL_QUADS);
    glNormal3d(1, 0, 0);
    glVertex3d(w, 0, -w);
    glVertex3d(w, h, -w);
    glVertex3d(w, h, w);
    glVertex3d(w, 0, w);
    glNormal3d(-1, 0, 0);
    glVertex3d(-w, 0, w);
    glVertex3d(-w, h, w);
    glVertex3d(-w, h, -w);
    glVertex3d(-w, 0, -w);
    glNormal3d(0, 1, 0);
    glVertex3d(-w, h, -w);
    glVertex3d(-w, h, w);
    glVertex3d(w, h, w);
    glVertex3d(w, h, -w);
    glNormal3d(0, -1, 0);
    glVertex3d(-w, 0, -w);
    glVertex3d(w, 0, -w);
    glVertex3d(w, 0, w);
    glVertex3d(-w, 0, w);
    glNormal3d(0, 0, 1);
    glVertex3d(-w, 0, w);
    glVertex3d(w, 0, w);
    glVertex3d(w, h, w);
    glVertex3d(-w, h, w);
    glNormal3d(0, 0, -1);
    glVertex3d(w, 0, -w);
    glVertex3d(-w, 0, -w);
    glVertex3d(-w, h, -w);
    glVertex3d(w, h, -w);
    glEnd();
}

void DrawRule(const RewritingRule& rule, bool pickPass) {
    glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_POINT_BIT | GL_CURRENT_BIT);
    glPointSize(15.0f);
    for (const RulePartPlacement& placement : rule.Placements()) {
        glPushMatrix();
        glMultMatrixd(placement.transform.m);
        if (!pickPass) {
            glShadeModel(GL_SMOOTH);
            glEnable(GL_LIGHTING);
            glEnable(GL_LIGHT0);
            SetBoxMaterial(MaterialOf(placement.part));
            DrawRuleBox(placement.height, placement.halfWidth);
        }
        glDisable(GL_LIGHTING);
        DrawHandles(placement, pickPass);
        glPopMatrix();
    }
    glPopAttrib();
}

}  // namespace vantrel
