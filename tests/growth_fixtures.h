#pragma once
// Helpers shared by the growth tests: a hand-made heart (a closed box over
// [1, 9]^3 whose every polygon is segmented, so its fibre layer is a shell under
// each face), paths, and a capture of the console.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "geometry/ConsoleLog.h"
#include "growth/FiberCore.h"
#include "growth/GrowthContext.h"
#include "heart/VoxelVolume.h"
#include "shapes.h"

namespace vantrel {
namespace growth_test {

constexpr double kVoxelSize = 10.0 / 128;
constexpr double kLayerDepth = 0.5 * kVoxelSize;

// The box heart: built once per test program (the voxel build is the slow part);
// every growth run empties its occupancy first.
struct BoxHeart {
    RkPolygonModel mesh;
    VoxelVolume volume{128, 10.0};

    BoxHeart() {
        mesh = shapes::UnitCube();
        mesh.ScaleAbout(8.0, Vector3(0.0, 0.0, 0.0));
        mesh.Translate(Vector3(1.0, 1.0, 1.0));
        mesh.BuildEdgeTable();
        volume.Build(mesh, std::vector<std::int32_t>(mesh.polygons.size(), 1));
    }

    GrowthTarget Target() { return GrowthTarget{volume, mesh, kLayerDepth}; }
};

inline BoxHeart& SharedBoxHeart() {
    static BoxHeart* heart = new BoxHeart();  // lives for the whole test program
    return *heart;
}

// A polyline through the given points.
inline Polyline Path(std::initializer_list<Vector3> points) {
    Polyline line;
    line.points = points;
    return line;
}

inline void ExpectNear(const Vector3& p, const Vector3& q, double tolerance = 1e-12) {
    EXPECT_NEAR(p.x, q.x, tolerance);
    EXPECT_NEAR(p.y, q.y, tolerance);
    EXPECT_NEAR(p.z, q.z, tolerance);
}

// A point on the layer plane under the top face (z = 9).
inline Vector3 OnTop(double x, double y) {
    return Vector3(x, y, 9.0 - kLayerDepth);
}

// Everything printed through ConsoleLog while it lives.
class ConsoleCapture {
public:
    ConsoleCapture() {
        SetConsoleSink([this](const std::string& text) { text_ += text; });
    }
    ~ConsoleCapture() { SetConsoleSink({}); }
    const std::string& Text() const { return text_; }

private:
    std::string text_;
};

// The bytes ExportFibersObj writes.
inline std::string ExportedObj(const FiberCore& core) {
    std::FILE* file = std::tmpfile();
    core.ExportFibersObj(file);
    std::string text;
    std::rewind(file);
    char buffer[4096];
    std::size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, read);
    std::fclose(file);
    return text;
}

}  // namespace growth_test
}  // namespace vantrel
