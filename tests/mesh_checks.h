#pragma once
// Properties of a built mesh that several mesh tests check, and small test
// utilities (scratch files, captured console lines).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "geometry/ConsoleLog.h"
#include "mesh/RkPolygonModel.h"

namespace vantrel {
namespace meshchecks {

// V - E + F of a model whose edge table is current.
inline long EulerCharacteristic(const RkPolygonModel& model) {
    return static_cast<long>(model.vertices.size()) - static_cast<long>(model.edges.size()) +
           static_cast<long>(model.polygons.size());
}

// Number of edges with a polygon on one side only.
inline int BoundaryEdgeCount(const RkPolygonModel& model) {
    int count = 0;
    for (const MeshEdge& edge : model.edges)
        if ((edge.forwardPolygon < 0) != (edge.backwardPolygon < 0)) ++count;
    return count;
}

// The winged-edge table is exactly what the polygons imply: every polygon's
// edge k joins its corners k and k+1, records the polygon on the side the
// polygon runs along it, and has that side's wings on the polygon's previous and
// next edges; every edge has a polygon that uses it, no two edges join the same
// vertices, and every vertex link is an edge touching the vertex.
inline void ExpectConsistentEdgeTable(const RkPolygonModel& model) {
    const int edgeCount = static_cast<int>(model.edges.size());
    for (int i = 0; i < static_cast<int>(model.polygons.size()); ++i) {
        const MeshPolygon& polygon = model.polygons[i];
        for (int k = 0; k < 3; ++k) {
            const int a = polygon.vertex[k], b = polygon.vertex[(k + 1) % 3];
            ASSERT_TRUE(polygon.edge[k] >= 0 && polygon.edge[k] < edgeCount);
            const MeshEdge& edge = model.edges[polygon.edge[k]];
            EXPECT_TRUE(edge.lowVertex == std::min(a, b) && edge.highVertex == std::max(a, b));
            const bool forward = a < b;
            EXPECT_EQ(forward ? edge.forwardPolygon : edge.backwardPolygon, i)
                << "polygon " << i << " edge " << k;
            EXPECT_EQ(forward ? edge.forwardPrev : edge.backwardPrev, polygon.edge[(k + 2) % 3]);
            EXPECT_EQ(forward ? edge.forwardNext : edge.backwardNext, polygon.edge[(k + 1) % 3]);
        }
    }
    std::set<std::pair<int, int>> joined;
    for (int e = 0; e < edgeCount; ++e) {
        const MeshEdge& edge = model.edges[e];
        EXPECT_TRUE(joined.insert({edge.lowVertex, edge.highVertex}).second) << "edge " << e;
        EXPECT_TRUE(edge.forwardPolygon >= 0 || edge.backwardPolygon >= 0) << "edge " << e;
        for (int side : {edge.forwardPolygon, edge.backwardPolygon}) {
            if (side < 0) continue;
            ASSERT_LT(side, static_cast<int>(model.polygons.size()));
            const int* edges = model.polygons[side].edge;
            EXPECT_NE(std::find(edges, edges + 3, e), edges + 3) << "edge " << e;
        }
    }
    for (int v = 0; v < static_cast<int>(model.vertices.size()); ++v) {
        const int link = model.vertices[v].edge;
        if (link < 0) continue;
        ASSERT_LT(link, edgeCount);
        EXPECT_TRUE(model.edges[link].lowVertex == v || model.edges[link].highVertex == v) << v;
    }
}

// Signed volume enclosed by a closed mesh (positive when normals point out).
inline double SignedVolume(const RkPolygonModel& model) {
    double volume = 0.0;
    for (const MeshPolygon& polygon : model.polygons) {
        const Vector3& a = model.vertices[polygon.vertex[0]].position;
        const Vector3& b = model.vertices[polygon.vertex[1]].position;
        const Vector3& c = model.vertices[polygon.vertex[2]].position;
        volume += a.Dot(b.Cross(c)) / 6.0;
    }
    return volume;
}

// Corners of the axis-aligned box around the vertices (empty model: +huge, -huge).
inline void BoundingBox(const RkPolygonModel& model, Vector3& low, Vector3& high) {
    low = Vector3(1e300, 1e300, 1e300);
    high = Vector3(-1e300, -1e300, -1e300);
    for (const MeshVertex& vertex : model.vertices) {
        const Vector3& p = vertex.position;
        low = Vector3(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
        high = Vector3(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
    }
}

// A fresh path in the test's scratch folder.
inline std::string ScratchPath(const std::string& name) {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string stem = std::string("vantrel_") + info->test_suite_name() + "_" + info->name() + "_";
    // Parameterised tests carry '/' in their names.
    for (char& c : stem)
        if (c == '/') c = '_';
    return ::testing::TempDir() + stem + name;
}

inline std::string WriteScratchFile(const std::string& name, const std::string& contents) {
    const std::string path = ScratchPath(name);
    std::ofstream(path, std::ios::binary) << contents;
    return path;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Collects console lines while alive.
class ConsoleCapture {
public:
    ConsoleCapture() {
        SetConsoleSink([this](const std::string& text) { lines_.push_back(text); });
    }
    ~ConsoleCapture() { SetConsoleSink(nullptr); }
    const std::vector<std::string>& Lines() const { return lines_; }
    std::string Text() const {
        std::string text;
        for (const std::string& line : lines_) text += line;
        return text;
    }

private:
    std::vector<std::string> lines_;
};

inline void ExpectNear(const Vector3& actual, const Vector3& expected, double tolerance = 1e-12) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// The message of the exception `action` throws; empty when it throws none.
inline std::string ThrownMessage(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::exception& error) {
        return error.what();
    }
    return "";
}

inline std::string SharedMesh(const std::string& name) {
    return std::string(VANTREL_SHARED_DATA_DIR) + "/" + name;
}

}  // namespace meshchecks
}  // namespace vantrel
