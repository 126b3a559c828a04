#include "render/FiberRenderer.h"

#include <GL/gl.h>

#include "render/ActivationColours.h"
#include "render/FiberDrawing.h"
#include "render/VertexArrays.h"

namespace vantrel {
namespace {

struct TubeMaterial {
    GLfloat diffuse[4];
    GLfloat ambient[4];
};

// Indexed by TubeColour.
constexpr TubeMaterial kTubeMaterials[] = {
    {{0.2f, 0.2f, 0.8f, 1.0f}, {0.2f, 0.2f, 0.8f, 1.0f}},  // blocked
    {{1.0f, 0.1f, 0.1f, 1.0f}, {0.7f, 0.1f, 0.1f, 1.0f}},  // at rest (and animation off)
    {{1.0f, 1.0f, 0.0f, 1.0f}, {0.7f, 0.7f, 0.0f, 1.0f}},  // activation 10
    {{1.0f, 0.6f, 0.0f, 1.0f}, {0.8f, 0.8f, 0.0f, 1.0f}},  // activation 1
    {{1.0f, 0.8f, 0.0f, 1.0f}, {0.9f, 0.9f, 0.0f, 1.0f}},  // activation 2 to 9
};

void AppendVector(std::vector<GLfloat>& out, const Vector3& v) {
    out.push_back(static_cast<GLfloat>(v.x));
    out.push_back(static_cast<GLfloat>(v.y));
    out.push_back(static_cast<GLfloat>(v.z));
}

bool HasTube(const TubeMesh& tube) {
    return tube.rows >= 2 && tube.columns >= 2;
}

// Appends the strip triangles of a tube whose vertices start at `base`.
void AppendTubeIndices(const TubeMesh& tube, GLuint base, std::vector<GLuint>& indices) {
    const GLuint columns = static_cast<GLuint>(tube.columns);
    for (GLuint ring = 0; ring + 1 < static_cast<GLuint>(tube.rows); ++ring) {
        for (GLuint k = columns - 1; k >= 1; --k) {
            const GLuint a = base + ring * columns + k;  // ring i, column k
            const GLuint b = a + columns;                // ring i + 1, column k
            const GLuint c = a - 1;                      // ring i, column k - 1
            const GLuint d = b - 1;                      // ring i + 1, column k - 1
            indices.insert(indices.end(), {a, b, c, c, b, d});
        }
    }
}

int TubeVertexCount(const TubeMesh& tube) {
    return HasTube(tube) ? tube.rows * tube.columns : 0;
}

void AppendPathLines(const Polyline& path, const GLfloat colour[3], std::vector<GLfloat>& vertices,
                     std::vector<GLfloat>& colours) {
    for (size_t i = 1; i < path.points.size(); ++i) {
        AppendVector(vertices, path.points[i - 1]);
        AppendVector(vertices, path.points[i]);
        for (int end = 0; end < 2; ++end) colours.insert(colours.end(), colour, colour + 3);
    }
}

}  // namespace

void FiberRenderer::Draw(const FiberCore& fibers, bool asPolygon,
                         const ActivationDisplay& activation) {
    if (asPolygon) {
        DrawTubes(fibers, activation);
    } else {
        DrawWireFrame(fibers, activation);
    }
}

void FiberRenderer::GatherTubes(const FiberCore& fibers) {
    tubeVertices_.clear();
    tubeNormals_.clear();
    tubeBase_.clear();
    for (const Fiber& fiber : fibers.fibers) {
        for (const auto& stroke : fiber.strokes) {
            tubeBase_.push_back(static_cast<GLuint>(tubeVertices_.size() / 3));
            const TubeMesh& tube = stroke->tube;
            for (int i = 0; i < TubeVertexCount(tube); ++i) {
                AppendVector(tubeVertices_, tube.vertices[i]);
                AppendVector(tubeNormals_, tube.normals[i]);
            }
        }
    }
    tubeBase_.push_back(static_cast<GLuint>(tubeVertices_.size() / 3));
    tubesValid_ = true;
    coloursValid_ = false;
}

bool FiberRenderer::TubesFit(const FiberCore& fibers) const {
    size_t strokeIndex = 0;
    for (const Fiber& fiber : fibers.fibers) {
        for (const auto& stroke : fiber.strokes) {
            if (strokeIndex + 1 >= tubeBase_.size()) return false;
            const GLuint count = tubeBase_[strokeIndex + 1] - tubeBase_[strokeIndex];
            if (count != static_cast<GLuint>(TubeVertexCount(stroke->tube))) return false;
            ++strokeIndex;
        }
    }
    return strokeIndex + 1 == tubeBase_.size();
}

void FiberRenderer::DrawTubes(const FiberCore& fibers, const ActivationDisplay& activation) {
    // Tubes that no longer fit the kept arrays mean a missed invalidation: gathering
    // again keeps every index inside the arrays.
    if (!tubesValid_ || !TubesFit(fibers)) GatherTubes(fibers);
    for (auto& list : tubeIndices_) list.clear();
    activationIndices_.clear();
    // The colours are the frame's largest work with the map on; the same times at the
    // same cursor give the same colours.
    const bool keepColours = coloursValid_ && coloursRevision_ == activation.revision &&
                             coloursCursor_ == activation.cursor;
    if (activation.enabled && !keepColours) tubeColours_.assign(tubeVertices_.size(), 0.0f);
    size_t strokeIndex = 0;
    for (const Fiber& fiber : fibers.fibers) {
        for (const auto& stroke : fiber.strokes) {
            const GLuint base = tubeBase_[strokeIndex];
            const GLuint end = tubeBase_[++strokeIndex];
            if (!HasTube(stroke->tube)) continue;
            if (activation.enabled && !stroke->blocked) {
                if (!keepColours) {
                    const MapColour colour = ActivationColour(
                        activation.Shown(activation.StrokeTime(stroke.get())), activation.maxTime);
                    for (GLuint v = base; v < end; ++v) {
                        tubeColours_[3 * v + 0] = colour.r;
                        tubeColours_[3 * v + 1] = colour.g;
                        tubeColours_[3 * v + 2] = colour.b;
                    }
                }
                AppendTubeIndices(stroke->tube, base, activationIndices_);
                continue;
            }
            const int colour = static_cast<int>(TubeColourOf(*stroke, fibers.animation));
            AppendTubeIndices(stroke->tube, base, tubeIndices_[colour]);
        }
    }
    if (activation.enabled) {
        coloursValid_ = true;
        coloursRevision_ = activation.revision;
        coloursCursor_ = activation.cursor;
    }
    if (tubeVertices_.empty()) return;

    BeginLitArrays(tubeVertices_.data(), tubeNormals_.data());
    glDisable(GL_CULL_FACE);
    const GLfloat specular[] = {0.1f, 0.1f, 0.1f, 1.0f};
    for (int colour = 0; colour < kColourCount; ++colour) {
        const std::vector<GLuint>& indices = tubeIndices_[colour];
        if (indices.empty()) continue;
        glMaterialfv(GL_FRONT, GL_DIFFUSE, kTubeMaterials[colour].diffuse);
        glMaterialf(GL_FRONT, GL_SHININESS, 128.0f);
        glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
        glMaterialfv(GL_FRONT, GL_AMBIENT, kTubeMaterials[colour].ambient);
        DrawIndexedTriangles(indices);
    }
    if (!activationIndices_.empty()) DrawActivationTubes(activationIndices_);
    EndVertexArrays();
}

void FiberRenderer::DrawActivationTubes(const std::vector<GLuint>& indices) {
    // Inside BeginLitArrays: the colour array feeds the material's ambient and diffuse.
    glPushAttrib(GL_CURRENT_BIT);
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(3, GL_FLOAT, 0, tubeColours_.data());
    glColorMaterial(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE);
    glEnable(GL_COLOR_MATERIAL);
    const GLfloat specular[] = {0.1f, 0.1f, 0.1f, 1.0f};
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    DrawIndexedTriangles(indices);
    glDisable(GL_COLOR_MATERIAL);
    glDisableClientState(GL_COLOR_ARRAY);
    glPopAttrib();
}

void FiberRenderer::DrawWireFrame(const FiberCore& fibers, const ActivationDisplay& activation) {
    lineVertices_.clear();
    lineColours_.clear();
    const GLfloat leftVolume[] = {0.0f, 1.0f, 0.0f};
    const GLfloat collided[] = {1.0f, 1.0f, 0.0f};
    const GLfloat plain[] = {0.8f, 0.2f, 0.2f};
    const GLfloat front[] = {0.5f, 0.5f, 1.0f};
    for (const Fiber& fiber : fibers.fibers) {
        for (const auto& stroke : fiber.strokes) {
            const GLfloat* colour = stroke->leftVolume ? leftVolume
                                    : stroke->collided ? collided
                                                       : plain;
            GLfloat mapped[3];
            if (activation.enabled) {
                const MapColour c =
                    stroke->blocked
                        ? MapColour{0.2f, 0.2f, 0.8f}
                        : ActivationColour(activation.Shown(activation.StrokeTime(stroke.get())),
                                           activation.maxTime);
                mapped[0] = c.r;
                mapped[1] = c.g;
                mapped[2] = c.b;
                colour = mapped;
            }
            AppendPathLines(stroke->path, colour, lineVertices_, lineColours_);
        }
    }
    for (const Fiber& fiber : fibers.fibers) {
        for (const auto& stroke : fiber.apexes)
            AppendPathLines(stroke->path, front, lineVertices_, lineColours_);
    }
    if (lineVertices_.empty()) return;

    BeginColourArrays(lineVertices_.data(), 3, GL_FLOAT, lineColours_.data());
    glLineWidth(2.0f);
    glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(lineVertices_.size() / 3));
    EndVertexArrays();
}

}  // namespace vantrel
