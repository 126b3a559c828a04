#pragma once
// The tube around a stroke's path: one ring of `columns` vertices per path point,
// frames carried from ring to ring without twist, radius r0 at the start, r1 at
// the end and r1/2 in the middle (quadratic profile, never below 0.005). The last
// column repeats the first (angle 6.28318530717958), closing the seam, so a tube of
// 4 columns has a triangular cross-section. It is drawn as lit triangle strips and
// written into fibre OBJ files.
#include <cstdio>
#include <vector>

#include "geometry/Vector3.h"
#include "growth/Polyline.h"

namespace vantrel {

struct HeartNormalisation;

struct TubeMesh {
    int rows = 0;     // rings, one per path point
    int columns = 0;  // vertices per ring
    // rows * columns entries each, ring after ring: entry (i, k) at i * columns + k.
    std::vector<Vector3> vertices;
    std::vector<Vector3> normals;

    const Vector3& Vertex(int ring, int column) const { return vertices[ring * columns + column]; }
    const Vector3& Normal(int ring, int column) const { return normals[ring * columns + column]; }

    // Replaces the tube by one around `path` with radii r0 and r1 and the given
    // number of columns (at least 2); `initialDirection` orients the first ring.
    // A path of fewer than 2 points gives rings at radius r0 with zero normals.
    void BuildTube(const Polyline& path, double r0, double r1, int columnCount,
                   const Vector3& initialDirection);

    // Writes "v %f %f %f" for every vertex, ring by ring, then two "f a b c" lines
    // per quad with 1-based indices counted from `offset`, and advances `offset` by
    // rows * columns. Vertices are mapped to the heart file's frame by `toHeart` when
    // given. Returns false when the file reported a write error.
    bool WriteObj(std::FILE* file, int& offset, const HeartNormalisation* toHeart = nullptr) const;
};

}  // namespace vantrel
