// Centroid refinement and tangential smoothing.
#include <vector>

#include "mesh/RkPolygonModel.h"
#include "mesh/VertexWalk.h"

namespace vantrel {
namespace {

// Deliberately not an exact third: refined meshes must match to the last bit.
const double kThird = 0.33333333333;

MeshPolygon Triangle(int a, int b, int c) {
    MeshPolygon polygon;
    polygon.vertex[0] = a;
    polygon.vertex[1] = b;
    polygon.vertex[2] = c;
    return polygon;
}

}  // namespace

void RkPolygonModel::RefineByCentroids() {
    // Every old edge is turned into triangles below, so without a table the
    // polygons would simply vanish.
    if (edges.empty() && !polygons.empty()) BuildEdgeTable();

    const int oldVertexCount = static_cast<int>(vertices.size());
    vertices.resize(vertices.size() + polygons.size());
    for (size_t i = 0; i < polygons.size(); ++i) {
        const MeshVertex& a = vertices[polygons[i].vertex[0]];
        const MeshVertex& b = vertices[polygons[i].vertex[1]];
        const MeshVertex& c = vertices[polygons[i].vertex[2]];
        MeshVertex& centroid = vertices[oldVertexCount + i];
        centroid.position = (a.position + b.position + c.position) * kThird;
        centroid.normal = (a.normal + b.normal + c.normal) * kThird;
    }

    // Each edge becomes the two triangles that join its ends to the centroids on
    // either side: the old edge is flipped into the centroid-centroid edge. A
    // boundary edge has one side only and keeps itself as the edge of the one
    // triangle to that side, wound like the polygon it came from.
    polygons.clear();
    polygons.reserve(edges.size() * 2);
    for (const MeshEdge& edge : edges) {
        const int left = edge.forwardPolygon;
        const int right = edge.backwardPolygon;
        if (left >= 0 && right >= 0) {
            polygons.push_back(
                Triangle(edge.lowVertex, oldVertexCount + right, oldVertexCount + left));
            polygons.push_back(
                Triangle(edge.highVertex, oldVertexCount + left, oldVertexCount + right));
        } else if (left >= 0) {
            polygons.push_back(Triangle(edge.lowVertex, edge.highVertex, oldVertexCount + left));
        } else if (right >= 0) {
            polygons.push_back(Triangle(edge.highVertex, edge.lowVertex, oldVertexCount + right));
        }
    }

    BuildEdgeTable();
    SmoothTangential(2);
}

void RkPolygonModel::SmoothTangential(int passes) {
    std::vector<Vector3> newPositions(vertices.size());
    std::vector<Vector3> newTexCoords(vertices.size());
    for (int pass = 0; pass < passes; ++pass) {
        for (size_t i = 0; i < vertices.size(); ++i) {
            const int vertex = static_cast<int>(i);
            // Sums in the walk order of NeighboursOfVertex.
            Vector3 positionSum;
            Vector3 texSum;
            int count = 0;
            VertexWalk(*this, vertex)
                .Run(
                    [&](int edge) {
                        const MeshVertex& neighbour = vertices[OtherEnd(edges[edge], vertex)];
                        positionSum += neighbour.position;
                        texSum += neighbour.texCoord;
                        ++count;
                    },
                    [](int) {});
            const MeshVertex& current = vertices[i];
            // A vertex without neighbours has no mean to move to; it stays.
            if (count == 0) {
                newPositions[i] = current.position;
                newTexCoords[i] = current.texCoord;
                continue;
            }
            const Vector3 centre = positionSum / static_cast<double>(count);
            const Vector3& n = current.normal;
            newPositions[i] = centre + n * (current.position - centre).Dot(n);
            newTexCoords[i] = texSum / static_cast<double>(count);
        }
        for (size_t i = 0; i < vertices.size(); ++i) {
            vertices[i].position = newPositions[i];
            vertices[i].texCoord = newTexCoords[i];
        }
    }
}

}  // namespace vantrel
