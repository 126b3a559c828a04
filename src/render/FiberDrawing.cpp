#include "render/FiberDrawing.h"

#include <cmath>

#include <GL/gl.h>

#include "geometry/Matrix4.h"

namespace vantrel {

TubeColour TubeColourOf(const Stroke& stroke, bool animation) {
    if (stroke.blocked) return TubeColour::Blocked;
    if (!animation) return TubeColour::Rest;
    if (stroke.activation == 10) return TubeColour::Excited;
    if (stroke.activation == 0) return TubeColour::Rest;
    if (stroke.activation < 2) return TubeColour::Rising;
    if (stroke.activation < 10) return TubeColour::Active;
    return TubeColour::Rest;
}

void DrawStartArrow(const Vector3& position, const Vector3& directionPoint) {
    Vector3 direction = directionPoint - position;
    const double length = direction.Length();
    if (length == 0.0) return;
    Vector3 axis;
    Matrix4 rotation;
    RotationFromYAxis(direction, axis, rotation);

    glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_CURRENT_BIT);
    glPushMatrix();
    glTranslated(position.x, position.y, position.z);
    glMultMatrixd(rotation.m);
    glScaled(length, length, length);
    glColor3f(1.0f, 1.0f, 0.0f);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_NORMALIZE);
    const GLfloat diffuse[] = {1.0f, 1.0f, 0.0f, 1.0f};
    const GLfloat specular[] = {0.2f, 0.2f, 0.2f, 1.0f};
    const GLfloat ambient[] = {0.8f, 0.8f, 0.2f, 1.0f};
    glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    glMaterialf(GL_FRONT, GL_SHININESS, 128.0f);
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    glMaterialfv(GL_FRONT, GL_AMBIENT, ambient);

    const double step = 2.0 * 3.14159265358979 / 10;
    glBegin(GL_TRIANGLE_STRIP);
    for (int i = 0; i <= 10; ++i) {
        const double c = std::cos(i * step);
        const double s = std::sin(i * step);
        glNormal3d(c, 0.0, s);
        glVertex3d(0.08 * c, 0.0, 0.08 * s);
        glVertex3d(0.08 * c, 0.5, 0.08 * s);
    }
    glEnd();
    glBegin(GL_TRIANGLE_FAN);
    glNormal3d(0.0, 1.0, 0.0);
    glVertex3d(0.0, 1.0, 0.0);
    for (int i = 0; i <= 10; ++i) {
        const double c = std::cos(i * step);
        const double s = std::sin(i * step);
        // The cone's side normal: radial, tilted up by the slope 0.2 / 0.5.
        glNormal3d(c, 0.4, s);
        glVertex3d(0.2 * c, 0.5, 0.2 * s);
    }
    glEnd();
    glPopMatrix();
    glPopAttrib();
}

void DrawPolylineLines(const Polyline& line, float width) {
    if (line.points.size() < 2) return;
    glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_LINE_BIT | GL_CURRENT_BIT);
    glLineWidth(width);
    glColor4fv(line.color.data());
    glShadeModel(GL_FLAT);
    glDisable(GL_LIGHTING);
    glBegin(GL_LINES);
    for (size_t i = 1; i < line.points.size(); ++i) {
        glVertex3d(line.points[i - 1].x, line.points[i - 1].y, line.points[i - 1].z);
        glVertex3d(line.points[i].x, line.points[i].y, line.points[i].z);
    }
    glEnd();
    glPopAttrib();
}

void DrawFeatures(const FiberCore& fibers) {
    for (const StartPoint& start : fibers.startPoints)
        DrawStartArrow(start.position, start.directionPoint);
    for (const Polyline& curve : fibers.featureCurves) DrawPolylineLines(curve, 2.0f);
}

}  // namespace vantrel
