#pragma once
// Named builders for tiny meshes used across the tests. Each returns a model
// with vertices and polygons only (no edge table, zero normals); closed shapes
// are wound with their normals pointing out of the enclosed volume.
#include <cmath>
#include <initializer_list>
#include <vector>

#include "mesh/RkPolygonModel.h"

namespace vantrel {
namespace shapes {

struct Corner3 {
    double x, y, z;
};
struct Tri {
    int a, b, c;
};

// Appends the triangle (a, b, c).
inline void AddTriangle(RkPolygonModel& model, int a, int b, int c) {
    MeshPolygon polygon;
    polygon.vertex[0] = a;
    polygon.vertex[1] = b;
    polygon.vertex[2] = c;
    model.polygons.push_back(polygon);
}

// A model from plain position and triangle lists.
inline RkPolygonModel MakeModel(std::initializer_list<Corner3> positions,
                                std::initializer_list<Tri> triangles) {
    RkPolygonModel model;
    for (const Corner3& p : positions) {
        model.vertices.push_back(MeshVertex());
        model.vertices.back().position = Vector3(p.x, p.y, p.z);
    }
    for (const Tri& t : triangles) AddTriangle(model, t.a, t.b, t.c);
    return model;
}

// The cube [0, 1]^3: 8 vertices (index = x + 2y + 4z), 12 triangles, 18 edges; the
// triangles in pairs on the faces z = 0, z = 1, y = 0, y = 1, x = 0 and x = 1.
inline RkPolygonModel UnitCube() {
    // clang-format off
    return MakeModel(
        {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}, {0, 0, 1}, {1, 0, 1}, {0, 1, 1}, {1, 1, 1}},
        {{0, 2, 3}, {0, 3, 1}, {4, 5, 7}, {4, 7, 6}, {0, 1, 5}, {0, 5, 4},
         {2, 6, 7}, {2, 7, 3}, {0, 4, 6}, {0, 6, 2}, {1, 3, 7}, {1, 7, 5}});
    // clang-format on
}

// The unit cube without its top (z = 1) face: 10 triangles, one boundary loop
// 4-5-7-6 of four edges.
inline RkPolygonModel OpenBox() {
    RkPolygonModel model = UnitCube();
    model.polygons.erase(model.polygons.begin() + 2, model.polygons.begin() + 4);
    return model;
}

// Corner tetrahedron (0,0,0), (1,0,0), (0,1,0), (0,0,1): 4 triangles, 6 edges.
inline RkPolygonModel Tetrahedron() {
    return MakeModel({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}},
                     {{0, 2, 1}, {0, 1, 3}, {0, 3, 2}, {1, 2, 3}});
}

// Regular octahedron with vertices +x, -x, +y, -y, +z, -z (indices 0..5): 8
// triangles, 12 edges, every vertex of valence 4.
inline RkPolygonModel Octahedron() {
    return MakeModel(
        {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}},
        {{0, 2, 4}, {1, 4, 2}, {0, 4, 3}, {1, 3, 4}, {0, 5, 2}, {1, 2, 5}, {0, 3, 5}, {1, 5, 3}});
}

// Triangles (0, 1, 2) and (2, 1, 3) in the z = 0 plane sharing edge 1-2.
inline RkPolygonModel TwoTriangles() {
    return MakeModel({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}}, {{0, 1, 2}, {2, 1, 3}});
}

// Vertex 0 at the origin surrounded by a ring of six vertices (1..6) in the
// z = 0 plane, six triangles facing +z: vertex 0 is interior with valence 6,
// the ring vertices lie on the boundary.
inline RkPolygonModel HexagonFan() {
    RkPolygonModel model = MakeModel({{0, 0, 0}}, {});
    for (int i = 0; i < 6; ++i) {
        const double angle = i * (6.28318530717958 / 6.0);
        model.vertices.push_back(MeshVertex());
        model.vertices.back().position = Vector3(std::cos(angle), std::sin(angle), 0.0);
        AddTriangle(model, 0, 1 + i, 1 + (i + 1) % 6);
    }
    return model;
}

}  // namespace shapes
}  // namespace vantrel
