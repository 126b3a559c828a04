#pragma once
// Properties of a built mesh that several mesh tests check, and small test
// utilities (scratch files, captured console lines).
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
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

// Every polygon's edge k must join its corners k and k+1, and the edge must
// record the polygon on the side the polygon runs along it.
inline void ExpectConsistentEdgeTable(const RkPolygonModel& model) {
    for (size_t i = 0; i < model.polygons.size(); ++i) {
        const MeshPolygon& polygon = model.polygons[i];
        for (int k = 0; k < 3; ++k) {
            const int a = polygon.vertex[k];
            const int b = polygon.vertex[(k + 1) % 3];
            ASSERT_GE(polygon.edge[k], 0);
            ASSERT_LT(polygon.edge[k], static_cast<int>(model.edges.size()));
            const MeshEdge& edge = model.edges[polygon.edge[k]];
            EXPECT_EQ(edge.lowVertex, std::min(a, b));
            EXPECT_EQ(edge.highVertex, std::max(a, b));
            const int side = a < b ? edge.forwardPolygon : edge.backwardPolygon;
            EXPECT_EQ(side, static_cast<int>(i)) << "polygon " << i << " edge " << k;
        }
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

private:
    std::vector<std::string> lines_;
};

inline std::string SharedMesh(const std::string& name) {
    return std::string(VANTREL_SHARED_DATA_DIR) + "/" + name;
}

}  // namespace meshchecks
}  // namespace vantrel
