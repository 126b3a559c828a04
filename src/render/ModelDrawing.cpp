#include "render/ModelDrawing.h"

#include <GL/gl.h>

namespace vantrel {
namespace {

void SendTriangles(const RkPolygonModel& model) {
    glBegin(GL_TRIANGLES);
    for (const MeshPolygon& polygon : model.polygons) {
        for (int corner = 0; corner < 3; ++corner) {
            const MeshVertex& vertex = model.vertices[polygon.vertex[corner]];
            glNormal3d(vertex.normal.x, vertex.normal.y, vertex.normal.z);
            glVertex3d(vertex.position.x, vertex.position.y, vertex.position.z);
        }
    }
    glEnd();
}

}  // namespace

void DrawModel(const RkPolygonModel& model, int mode, unsigned* listId,
               const unsigned char* colour) {
    if (listId) {
        *listId = glGenLists(1);
        glNewList(*listId, GL_COMPILE_AND_EXECUTE);
    }
    if (mode == 0) {
        const GLubyte white[3] = {255, 255, 255};
        glColor3ubv(colour ? colour : white);
        SendTriangles(model);
    } else if (mode == 1) {
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
        glLineWidth(1.0f);
        glDisable(GL_CULL_FACE);
        SendTriangles(model);
        glEnable(GL_CULL_FACE);
        glPolygonMode(GL_FRONT, GL_FILL);
    }
    if (listId) glEndList();
}

}  // namespace vantrel
