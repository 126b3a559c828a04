#include "render/FiberDrawing.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include <GL/gl.h>

#include "geometry/Matrix4.h"

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
constexpr int kTubeColourCount = 5;

// Scratch arrays reused from frame to frame (drawing runs on one thread only).
struct TubeArrays {
    std::vector<GLfloat> vertices;
    std::vector<GLfloat> normals;
    std::array<std::vector<GLuint>, kTubeColourCount> indices;
};

void AppendVector(std::vector<GLfloat>& out, const Vector3& v) {
    out.push_back(static_cast<GLfloat>(v.x));
    out.push_back(static_cast<GLfloat>(v.y));
    out.push_back(static_cast<GLfloat>(v.z));
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

// Identifies a network: strokes are numbered by a process-wide counter at creation
// and a stroke's tube never changes, so the same count and serials mean the same
// tube geometry.
struct NetworkKey {
    size_t strokes = 0;
    std::uint64_t serialSum = 0;
    std::uint64_t serialMix = 0;
    bool operator==(const NetworkKey& other) const {
        return strokes == other.strokes && serialSum == other.serialSum &&
               serialMix == other.serialMix;
    }
};

NetworkKey KeyOf(const FiberCore& fibers) {
    NetworkKey key;
    for (const Fiber& fiber : fibers.fibers) {
        for (const auto& stroke : fiber.strokes) {
            ++key.strokes;
            key.serialSum += stroke->Serial();
            key.serialMix = key.serialMix * 1099511628211ull ^ stroke->Serial();
        }
    }
    return key;
}

void DrawTubes(const FiberCore& fibers) {
    static TubeArrays arrays;
    static NetworkKey cachedKey;
    static std::vector<GLuint> tubeBase;  // first vertex of each stroke's tube, in order
    const NetworkKey key = KeyOf(fibers);
    if (!(key == cachedKey) || arrays.vertices.empty()) {
        // The tube geometry changes only with the network; colours change every frame.
        arrays.vertices.clear();
        arrays.normals.clear();
        tubeBase.clear();
        for (const Fiber& fiber : fibers.fibers) {
            for (const auto& stroke : fiber.strokes) {
                tubeBase.push_back(static_cast<GLuint>(arrays.vertices.size() / 3));
                const TubeMesh& tube = stroke->tube;
                if (tube.rows < 2 || tube.columns < 2) continue;
                for (int i = 0; i < tube.rows * tube.columns; ++i) {
                    AppendVector(arrays.vertices, tube.vertices[i]);
                    AppendVector(arrays.normals, tube.normals[i]);
                }
            }
        }
        cachedKey = key;
    }
    for (auto& list : arrays.indices) list.clear();
    size_t strokeIndex = 0;
    for (const Fiber& fiber : fibers.fibers) {
        for (const auto& stroke : fiber.strokes) {
            const TubeMesh& tube = stroke->tube;
            const GLuint base = tubeBase[strokeIndex++];
            if (tube.rows < 2 || tube.columns < 2) continue;
            const int colour = static_cast<int>(TubeColourOf(*stroke, fibers.animation));
            AppendTubeIndices(tube, base, arrays.indices[colour]);
        }
    }
    if (arrays.vertices.empty()) return;

    glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_POLYGON_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHT1);
    glShadeModel(GL_SMOOTH);
    glDisable(GL_CULL_FACE);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, arrays.vertices.data());
    glNormalPointer(GL_FLOAT, 0, arrays.normals.data());
    const GLfloat specular[] = {0.1f, 0.1f, 0.1f, 1.0f};
    for (int colour = 0; colour < kTubeColourCount; ++colour) {
        const std::vector<GLuint>& indices = arrays.indices[colour];
        if (indices.empty()) continue;
        glMaterialfv(GL_FRONT, GL_DIFFUSE, kTubeMaterials[colour].diffuse);
        glMaterialf(GL_FRONT, GL_SHININESS, 128.0f);
        glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
        glMaterialfv(GL_FRONT, GL_AMBIENT, kTubeMaterials[colour].ambient);
        glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_INT,
                       indices.data());
    }
    glPopClientAttrib();
    glPopAttrib();
}

// Paths as GL_LINES with one colour per vertex.
struct LineArrays {
    std::vector<GLfloat> vertices;
    std::vector<GLfloat> colours;
};

void AppendPathLines(const Polyline& path, const GLfloat colour[3], LineArrays& arrays) {
    for (size_t i = 1; i < path.points.size(); ++i) {
        AppendVector(arrays.vertices, path.points[i - 1]);
        AppendVector(arrays.vertices, path.points[i]);
        for (int end = 0; end < 2; ++end)
            arrays.colours.insert(arrays.colours.end(), colour, colour + 3);
    }
}

void DrawWireFrame(const FiberCore& fibers) {
    static LineArrays arrays;
    arrays.vertices.clear();
    arrays.colours.clear();
    const GLfloat leftVolume[] = {0.0f, 1.0f, 0.0f};
    const GLfloat collided[] = {1.0f, 1.0f, 0.0f};
    const GLfloat plain[] = {0.8f, 0.2f, 0.2f};
    const GLfloat front[] = {0.5f, 0.5f, 1.0f};
    for (const Fiber& fiber : fibers.fibers) {
        for (const auto& stroke : fiber.strokes) {
            const GLfloat* colour = stroke->leftVolume ? leftVolume
                                    : stroke->collided ? collided
                                                       : plain;
            AppendPathLines(stroke->path, colour, arrays);
        }
    }
    for (const Fiber& fiber : fibers.fibers) {
        for (const auto& stroke : fiber.apexes) AppendPathLines(stroke->path, front, arrays);
    }
    if (arrays.vertices.empty()) return;

    glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_LINE_BIT | GL_CURRENT_BIT);
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glDisable(GL_LIGHTING);
    glShadeModel(GL_FLAT);
    glLineWidth(2.0f);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, arrays.vertices.data());
    glColorPointer(3, GL_FLOAT, 0, arrays.colours.data());
    glDrawArrays(GL_LINES, 0, static_cast<GLsizei>(arrays.vertices.size() / 3));
    glPopClientAttrib();
    glPopAttrib();
}

}  // namespace

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

void DrawFibers(const FiberCore& fibers, bool asPolygon) {
    if (asPolygon) {
        DrawTubes(fibers);
    } else {
        DrawWireFrame(fibers);
    }
}

}  // namespace vantrel
