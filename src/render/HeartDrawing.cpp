#include "render/HeartDrawing.h"

#include <GL/gl.h>

#include "render/ActivationColours.h"
#include "render/FiberDrawing.h"
#include "render/FieldDrawing.h"
#include "render/PickBuffer.h"
#include "render/PickPass.h"
#include "render/VertexArrays.h"

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

void SetPolygonMaterial(const PolygonMaterial& material) {
    glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, material.specular);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, material.diffuse);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, material.ambient);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, 128.0f);
}

}  // namespace

void HeartRenderer::InvalidateHeart() {
    meshValid_ = false;
    regionsValid_ = false;
    pickValid_ = false;
}

void HeartRenderer::GatherMesh(const RkPolygonModel& mesh) {
    positions_.resize(mesh.vertices.size() * 3);
    inwardNormals_.resize(mesh.vertices.size() * 3);
    for (size_t i = 0; i < mesh.vertices.size(); ++i) {
        const MeshVertex& vertex = mesh.vertices[i];
        positions_[3 * i + 0] = static_cast<GLfloat>(vertex.position.x);
        positions_[3 * i + 1] = static_cast<GLfloat>(vertex.position.y);
        positions_[3 * i + 2] = static_cast<GLfloat>(vertex.position.z);
        inwardNormals_[3 * i + 0] = static_cast<GLfloat>(-vertex.normal.x);
        inwardNormals_[3 * i + 1] = static_cast<GLfloat>(-vertex.normal.y);
        inwardNormals_[3 * i + 2] = static_cast<GLfloat>(-vertex.normal.z);
    }
    meshValid_ = true;
}

void HeartRenderer::GatherRegions(const HeartModel& heart) {
    const RkPolygonModel& mesh = heart.mesh;
    unsegmented_.clear();
    segmented_.clear();
    for (size_t p = 0; p < mesh.polygons.size(); ++p) {
        const bool segmented = p < heart.regionIds.size() && heart.regionIds[p] != 0;
        std::vector<GLuint>& target = segmented ? segmented_ : unsegmented_;
        for (int corner = 0; corner < 3; ++corner)
            target.push_back(static_cast<GLuint>(mesh.polygons[p].vertex[corner]));
    }
    regionsValid_ = true;
}

void HeartRenderer::GatherPickIds(const RkPolygonModel& mesh) {
    pickPositions_.clear();
    pickColours_.clear();
    for (size_t p = 0; p < mesh.polygons.size(); ++p) {
        GLubyte rgb[3];
        if (!EncodePolygonPick(static_cast<int>(p), rgb)) break;
        for (int corner = 0; corner < 3; ++corner) {
            const Vector3& v = mesh.vertices[mesh.polygons[p].vertex[corner]].position;
            pickPositions_.insert(
                pickPositions_.end(),
                {static_cast<GLfloat>(v.x), static_cast<GLfloat>(v.y), static_cast<GLfloat>(v.z)});
            pickColours_.insert(pickColours_.end(), {rgb[0], rgb[1], rgb[2], 255});
        }
    }
    pickValid_ = true;
}

void HeartRenderer::DrawPolygons(const HeartModel& heart, bool transparent) {
    // The kept arrays must still cover the mesh (a missed invalidation must not make
    // OpenGL read past them).
    if (!meshValid_ || positions_.size() != heart.mesh.vertices.size() * 3) GatherMesh(heart.mesh);
    if (!regionsValid_ || unsegmented_.size() + segmented_.size() != heart.mesh.polygons.size() * 3)
        GatherRegions(heart);
    if (activation_.enabled) {
        DrawActivationPolygons(heart, transparent);
        return;
    }
    BeginLitArrays(positions_.data(), inwardNormals_.data());
    glEnable(GL_CULL_FACE);
    // The viewer looks at the inside of the far wall of the cavity.
    glCullFace(GL_FRONT);
    SetPolygonMaterial(kUnsegmented);
    DrawIndexedTriangles(unsegmented_);
    if (transparent) {
        glEnable(GL_BLEND);
        glDepthMask(GL_FALSE);
        SetPolygonMaterial(kSegmentedTransparent);
        DrawIndexedTriangles(segmented_);
        glDepthMask(GL_TRUE);
    } else {
        SetPolygonMaterial(kSegmented);
        DrawIndexedTriangles(segmented_);
    }
    EndVertexArrays();
}

void HeartRenderer::DrawActivationPolygons(const HeartModel& heart, bool transparent) {
    const size_t count = heart.mesh.vertices.size();
    const float alpha = transparent ? 0.7f : 1.0f;
    vertexColours_.resize(count * 4);
    for (size_t v = 0; v < count; ++v) {
        const double time =
            v < activation_.vertexTimes.size() ? activation_.vertexTimes[v] : kNotReached;
        const MapColour colour = ActivationColour(activation_.Shown(time), activation_.maxTime);
        vertexColours_[4 * v + 0] = colour.r;
        vertexColours_[4 * v + 1] = colour.g;
        vertexColours_[4 * v + 2] = colour.b;
        vertexColours_[4 * v + 3] = alpha;
    }
    // Unlit, so the surface shows the legend's colours exactly.
    glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_POLYGON_BIT | GL_COLOR_BUFFER_BIT |
                 GL_DEPTH_BUFFER_BIT | GL_CURRENT_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glDisable(GL_LIGHTING);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_CULL_FACE);
    // The viewer looks at the inside of the far wall of the cavity.
    glCullFace(GL_FRONT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, positions_.data());
    glColorPointer(4, GL_FLOAT, 0, vertexColours_.data());
    if (transparent) {
        glEnable(GL_BLEND);
        glDepthMask(GL_FALSE);
    }
    DrawIndexedTriangles(unsegmented_);
    DrawIndexedTriangles(segmented_);
    glPopClientAttrib();
    glPopAttrib();
}

void HeartRenderer::DrawPickIds(const RkPolygonModel& mesh) {
    if (!pickValid_) GatherPickIds(mesh);
    if (pickPositions_.empty()) return;
    BeginColourArrays(pickPositions_.data(), 4, GL_UNSIGNED_BYTE, pickColours_.data());
    glEnable(GL_CULL_FACE);
    glCullFace(GL_FRONT);
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(pickPositions_.size() / 3));
    EndVertexArrays();
}

void HeartRenderer::DrawScene(const RkOGL& gl, const HeartModel& heart, const FiberCore& fibers,
                              const std::function<void()>& overlay) {
    // Positional lights fixed in the world (the camera is on the model-view stack).
    const GLfloat light0[] = {100.0f, 50.0f, 100.0f, 1.0f};
    const GLfloat light1[] = {-100.0f, 50.0f, -100.0f, 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, light0);
    glLightfv(GL_LIGHT1, GL_POSITION, light1);
    if (gl.PickPass()) {
        DrawPickIds(heart.mesh);
        return;
    }
    if (overlay) overlay();
    if (heart.targetFrame) DrawHeartFrame(heart.mesh);
    if (heart.targetPolygon) DrawPolygons(heart, false);
    DrawFeatures(fibers);
    fibers_.Draw(fibers, heart.fiberAsPolygon, activation_);
    if (heart.targetTransparent) DrawPolygons(heart, true);
    if (heart.showVolumeField) DrawField(heart.volume, gl.PickPass());
}

void HeartRenderer::RenderPickBuffer(RkOGL& gl, const HeartModel& heart, const FiberCore& fibers) {
    RenderPickPass(gl, [&] { DrawScene(gl, heart, fibers, {}); });
}

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
