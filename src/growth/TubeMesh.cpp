#include "growth/TubeMesh.h"

#include <cmath>

#include "geometry/Matrix4.h"
#include "growth/Stroke.h"

namespace vantrel {

namespace {

// The stored angle of a full turn: the seam column lands on the first one except
// for the last bits.
constexpr double kFullTurn = 6.28318530717958;
constexpr double kMinimumRadius = 0.005;

}  // namespace

void TubeMesh::BuildTube(const Polyline& path, double r0, double r1, int columnCount,
                         const Vector3& initialDirection) {
    const std::vector<Vector3>& p = path.points;
    rows = static_cast<int>(p.size());
    columns = columnCount < 2 ? 2 : columnCount;
    vertices.assign(static_cast<std::size_t>(rows) * columns, Vector3());
    normals.assign(static_cast<std::size_t>(rows) * columns, Vector3());
    if (rows == 0) return;

    const double angleStep = kFullTurn / (columns - 1);
    // Every ring uses the same angles: their cosines and sines are taken once.
    double cosines[16], sines[16];
    std::vector<double> manyCosines, manySines;
    double* cosine = cosines;
    double* sine = sines;
    if (columns > 16) {
        manyCosines.resize(columns);
        manySines.resize(columns);
        cosine = manyCosines.data();
        sine = manySines.data();
    }
    for (int k = 0; k < columns; ++k) {
        const double angle = k * angleStep;
        cosine[k] = std::cos(angle);
        sine[k] = std::sin(angle);
    }
    Matrix4 frame;
    for (int i = 0; i < rows; ++i) {
        if (i == 0) {
            Vector3 tangent = initialDirection;
            tangent.Normalize();
            Vector3 axis;
            RotationFromYAxis(tangent, axis, frame);
        } else {
            Vector3 tangent = p[i] - p[i - 1];
            if (i != rows - 1) tangent = tangent + (p[i + 1] - p[i]);
            tangent.Normalize();
            // Parallel transport: the tube does not twist.
            frame = TurnedTowards(frame, tangent);
        }
        // A one-ring tube has no end to reach; it keeps r0.
        const double t = rows > 1 ? static_cast<double>(i) / (rows - 1) : 0.0;
        double radius = r0 + (r1 - 3 * r0) * t + 2 * r0 * t * t;
        if (radius < kMinimumRadius) radius = kMinimumRadius;
        for (int k = 0; k < columns; ++k) {
            const Vector3 local(cosine[k] * radius, 0.0, -sine[k] * radius);
            vertices[static_cast<std::size_t>(i) * columns + k] = frame.Transform(local) + p[i];
        }
    }

    if (rows < 2) return;  // no neighbouring ring to span a surface with
    auto at = [this](int ring, int column) -> const Vector3& {
        return vertices[ring * columns + column];
    };
    for (int i = 0; i < rows; ++i) {
        for (int k = 0; k < columns; ++k) {
            // The column after the seam is column 1, since the last repeats the first.
            const int next = k == columns - 1 ? 1 : k + 1;
            Vector3 normal;
            if (i < rows - 1) {
                const Vector3 up = at(i + 1, k) - at(i, k);
                const Vector3 across = at(i + 1, next) - at(i + 1, k);
                normal = across.Cross(up);
            }
            if (i > 0) {
                const Vector3 down = at(i - 1, k) - at(i, k);
                const Vector3 across = at(i - 1, next) - at(i - 1, k);
                normal = i < rows - 1 ? normal + down.Cross(across) : down.Cross(across);
            }
            normal.Normalize();
            normals[static_cast<std::size_t>(i) * columns + k] = normal;
            normals[static_cast<std::size_t>(i) * columns + k].zero = normal.zero;
        }
    }
}

}  // namespace vantrel
