// Adjacency queries of RkPolygonModel: the lists of one VertexWalk.
#include <vector>

#include "mesh/RkPolygonModel.h"
#include "mesh/VertexWalk.h"

namespace vantrel {

void RkPolygonModel::PolygonsAroundVertex(int vertex, std::vector<int>& out) const {
    VertexWalk(*this, vertex).Run([](int) {}, [&out](int polygon) { out.push_back(polygon); });
}

void RkPolygonModel::NeighboursOfVertex(int vertex, std::vector<int>& neighbourVertices,
                                        std::vector<int>& neighbourEdges) const {
    VertexWalk(*this, vertex)
        .Run(
            [&](int edge) {
                neighbourVertices.push_back(OtherEnd(edges[edge], vertex));
                neighbourEdges.push_back(edge);
            },
            [](int) {});
}

void RkPolygonModel::VerticesAroundVertex(int vertex, std::vector<int>& out) const {
    VertexWalk(*this, vertex)
        .Run([&](int edge) { out.push_back(OtherEnd(edges[edge], vertex)); }, [](int) {});
}

void RkPolygonModel::EdgesAroundVertex(int vertex, std::vector<int>& out) const {
    VertexWalk(*this, vertex).Run([&out](int edge) { out.push_back(edge); }, [](int) {});
}

int RkPolygonModel::Valence(int vertex) const {
    int count = 0;
    VertexWalk(*this, vertex).Run([&count](int) { ++count; }, [](int) {});
    return count;
}

}  // namespace vantrel
