// Centroid refinement and tangential smoothing.
#include <vector>

#include "mesh/RkPolygonModel.h"

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
            polygons.push_back(Triangle(edge.lowVertex, oldVertexCount + right, oldVertexCount + left));
            polygons.push_back(Triangle(edge.highVertex, oldVertexCount + left, oldVertexCount + right));
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
    std::vector<int> neighbours;
    std::vector<int> neighbourEdges;
    for (int pass = 0; pass < passes; ++pass) {
        for (size_t i = 0; i < vertices.size(); ++i) {
            neighbours.clear();
            neighbourEdges.clear();
            NeighboursOfVertex(static_cast<int>(i), neighbours, neighbourEdges);
            const MeshVertex& vertex = vertices[i];
            // A vertex without neighbours has no mean to move to; it stays.
            if (neighbours.empty()) {
                newPositions[i] = vertex.position;
                newTexCoords[i] = vertex.texCoord;
                continue;
            }
            Vector3 positionSum;
            Vector3 texSum;
            for (int j : neighbours) {
                positionSum += vertices[j].position;
                texSum += vertices[j].texCoord;
            }
            const double count = static_cast<double>(neighbours.size());
            const Vector3 centre = positionSum / count;
            const Vector3& n = vertex.normal;
            newPositions[i] = centre + n * (vertex.position - centre).Dot(n);
            newTexCoords[i] = texSum / count;
        }
        for (size_t i = 0; i < vertices.size(); ++i) {
            vertices[i].position = newPositions[i];
            vertices[i].texCoord = newTexCoords[i];
        }
    }
}

}  // namespace vantrel
