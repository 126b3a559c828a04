#include "render/HeartDrawing.h"

#include <vector>

#include <GL/gl.h>

#include "render/FiberDrawing.h"
#include "render/FieldDrawing.h"
#include "render/PickBuffer.h"

namespace vantrel {
namespace {

struct PolygonMaterial {
    GLfloat specular[4];
    GLfloat diffuse[4];
    GLfloat ambient[4];
};

constexpr PolygonMaterial kUnsegmented = {
    {0.5f, 0.5f, 0.5f, 1.0f}, {0.4f, 0.4f, 0.4f, 1.0f}, {0.3f, 0.3f, 0.3f, 1.0f}};
constexpr PolygonMaterial kSegmented = {
    {0.3f, 0.3f, 0.3f, 1.0f}, {0.8f, 0.5f, 0.5f, 1.0f}, {0.5f, 0.3f, 0.3f, 1.0f}};
constexpr PolygonMaterial kSegmentedTransparent = {
    {0.9f, 0.9f, 0.9f, 1.0f}, {0.6f, 0.1f, 0.1f, 0.7f}, {0.5f, 0.1f, 0.1f, 0.7f}};

// Positions and negated vertex normals of the mesh, and the triangle indices of
// the unsegmented and segmented polygons; rebuilt for every frame from the model
// (painting changes the split), kept between frames to spare allocations.
struct HeartArrays {
    std::vector<GLfloat> positions;
    std::vector<GLfloat> inwardNormals;
    std::vector<GLuint> unsegmented;
    std::vector<GLuint> segmented;
};

HeartArrays& FillHeartArrays(const HeartModel& heart) {
    static HeartArrays arrays;
    const RkPolygonModel& mesh = heart.mesh;
    arrays.positions.resize(mesh.vertices.size() * 3);
    arrays.inwardNormals.resize(mesh.vertices.size() * 3);
    for (size_t i = 0; i < mesh.vertices.size(); ++i) {
        const MeshVertex& vertex = mesh.vertices[i];
        arrays.positions[3 * i + 0] = static_cast<GLfloat>(vertex.position.x);
        arrays.positions[3 * i + 1] = static_cast<GLfloat>(vertex.position.y);
        arrays.positions[3 * i + 2] = static_cast<GLfloat>(vertex.position.z);
        arrays.inwardNormals[3 * i + 0] = static_cast<GLfloat>(-vertex.normal.x);
        arrays.inwardNormals[3 * i + 1] = static_cast<GLfloat>(-vertex.normal.y);
        arrays.inwardNormals[3 * i + 2] = static_cast<GLfloat>(-vertex.normal.z);
    }
    arrays.unsegmented.clear();
    arrays.segmented.clear();
    for (size_t p = 0; p < mesh.polygons.size(); ++p) {
        const bool segmented = p < heart.regionIds.size() && heart.regionIds[p] != 0;
        std::vector<GLuint>& target = segmented ? arrays.segmented : arrays.unsegmented;
        for (int corner = 0; corner < 3; ++corner)
            target.push_back(static_cast<GLuint>(mesh.polygons[p].vertex[corner]));
    }
    return arrays;
}

void SetPolygonMaterial(const PolygonMaterial& material) {
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, material.specular);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, material.diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, material.ambient);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 128.0f);
}

void DrawIndexed(const std::vector<GLuint>& indices) {
    if (indices.empty()) return;
    glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_INT,
                   indices.data());
}

// The lit state both heart drawings share; the caller pops it.
void BeginLitHeart(const HeartArrays& arrays) {
    glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_POLYGON_BIT | GL_COLOR_BUFFER_BIT |
                 GL_DEPTH_BUFFER_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT1);
    glEnable(GL_CULL_FACE);
    // The viewer looks at the inside of the far wall of the cavity.
    glCullFace(GL_FRONT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, arrays.positions.data());
    glNormalPointer(GL_FLOAT, 0, arrays.inwardNormals.data());
}

void EndLitHeart() {
    glPopClientAttrib();
    glPopAttrib();
}

}  // namespace

void DrawHeartFrame(const RkPolygonModel& mesh) {
    glPushAttrib(GL_ENABLE_BIT | GL_LINE_BIT | GL_CURRENT_BIT);
    glLineWidth(2.0f);
    glDisable(GL_LIGHTING);
    glColor3ub(0, 128, 128);
    glBegin(GL_LINES);
    for (const MeshEdge& edge : mesh.edges) {
        const Vector3& a = mesh.vertices[edge.lowVertex].position;
        const Vector3& b = mesh.vertices[edge.highVertex].position;
        glVertex3d(a.x, a.y, a.z);
        glVertex3d(b.x, b.y, b.z);
    }
    glEnd();
    glPopAttrib();
}

void DrawHeartPolygons(const HeartModel& heart) {
    const HeartArrays& arrays = FillHeartArrays(heart);
    BeginLitHeart(arrays);
    SetPolygonMaterial(kUnsegmented);
    DrawIndexed(arrays.unsegmented);
    SetPolygonMaterial(kSegmented);
    DrawIndexed(arrays.segmented);
    EndLitHeart();
}

void DrawHeartTransparent(const HeartModel& heart) {
    const HeartArrays& arrays = FillHeartArrays(heart);
    BeginLitHeart(arrays);
    SetPolygonMaterial(kUnsegmented);
    DrawIndexed(arrays.unsegmented);
    glEnable(GL_BLEND);
    glDepthMask(GL_FALSE);
    SetPolygonMaterial(kSegmentedTransparent);
    DrawIndexed(arrays.segmented);
    glDepthMask(GL_TRUE);
    EndLitHeart();
}

void DrawPickIds(const RkPolygonModel& mesh) {
    // Flat shading takes each triangle's colour from its last vertex; every polygon
    // gets its own three vertices so that it carries its own colour.
    static std::vector<GLfloat> positions;
    static std::vector<GLubyte> colours;
    positions.clear();
    colours.clear();
    for (size_t p = 0; p < mesh.polygons.size(); ++p) {
        GLubyte rgb[3];
        if (!EncodePolygonPick(static_cast<int>(p), rgb)) break;
        for (int corner = 0; corner < 3; ++corner) {
            const Vector3& v = mesh.vertices[mesh.polygons[p].vertex[corner]].position;
            positions.insert(positions.end(), {static_cast<GLfloat>(v.x), static_cast<GLfloat>(v.y),
                                               static_cast<GLfloat>(v.z)});
            colours.insert(colours.end(), {rgb[0], rgb[1], rgb[2], 255});
        }
    }
    if (positions.empty()) return;
    glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_POLYGON_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glShadeModel(GL_FLAT);
    glDisable(GL_LIGHTING);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, positions.data());
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, colours.data());
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(positions.size() / 3));
    glPopClientAttrib();
    glPopAttrib();
}

void DrawAxes() {
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glBegin(GL_LINES);
    glColor3f(1.0f, 0.0f, 0.0f);
    glVertex3d(0, 0, 0);
    glVertex3d(1, 0, 0);
    glColor3f(0.0f, 1.0f, 0.0f);
    glVertex3d(0, 0, 0);
    glVertex3d(0, 1, 0);
    glColor3f(0.0f, 0.0f, 1.0f);
    glVertex3d(0, 0, 0);
    glVertex3d(0, 0, 1);
    glEnd();
    glPopAttrib();
}

void DrawHeartScene(const RkOGL& mainGL, const HeartModel& heart, const FiberCore& fibers,
                    const std::function<void()>& overlay) {
    // Positional lights fixed in the world (the camera is on the model-view stack).
    const GLfloat light0[] = {100.0f, 50.0f, 100.0f, 1.0f};
    const GLfloat light1[] = {-100.0f, 50.0f, -100.0f, 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, light0);
    glLightfv(GL_LIGHT1, GL_POSITION, light1);
    if (mainGL.PickPass()) {
        DrawPickIds(heart.mesh);
        return;
    }
    if (overlay) overlay();
    if (heart.targetFrame) DrawHeartFrame(heart.mesh);
    if (heart.targetPolygon) DrawHeartPolygons(heart);
    DrawFeatures(fibers);
    DrawFibers(fibers, heart.fiberAsPolygon);
    if (heart.targetTransparent) DrawHeartTransparent(heart);
    if (heart.showVolumeField) DrawField(heart.volume, mainGL.PickPass());
}

void RenderPickBuffer(RkOGL& mainGL, const HeartModel& heart, const FiberCore& fibers) {
    mainGL.BeginPickPass();
    if (!mainGL.PickPass()) return;
    mainGL.BeginDraw();
    glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_BLEND);
    glDisable(GL_LIGHTING);
    glShadeModel(GL_FLAT);
    DrawHeartScene(mainGL, heart, fibers, {});
    glPopAttrib();
    mainGL.EndDraw();
}

bool PickPolygon(const RkOGL& mainGL, const HeartModel& heart, int x, int y, int* polygon,
                 Vector3* point) {
    const PickSample sample = mainGL.ReadPick(x, y);
    if (!sample.hit) return false;
    const int index = PolygonFromPickCode(sample.code);
    if (index < 0 || static_cast<size_t>(index) >= heart.mesh.polygons.size()) return false;
    *polygon = index;
    *point = mainGL.UnprojectAt(x, y, sample.depth);
    return true;
}

}  // namespace vantrel
