#include "render/VertexArrays.h"

#include <GL/gl.h>

namespace vantrel {
namespace {

void BeginArrays(const float* positions) {
    glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_POLYGON_BIT | GL_LINE_BIT | GL_CURRENT_BIT |
                 GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, positions);
}

}  // namespace

void BeginLitArrays(const float* positions, const float* normals) {
    BeginArrays(positions);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT1);
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, 0, normals);
}

void BeginColourArrays(const float* positions, int colourSize, unsigned colourType,
                       const void* colours) {
    BeginArrays(positions);
    glShadeModel(GL_FLAT);
    glDisable(GL_LIGHTING);
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(colourSize, colourType, 0, colours);
}

void EndVertexArrays() {
    glPopClientAttrib();
    glPopAttrib();
}

void DrawIndexedTriangles(const std::vector<unsigned>& indices) {
    if (indices.empty()) return;
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_INT,
                   indices.data());
}

}  // namespace vantrel
