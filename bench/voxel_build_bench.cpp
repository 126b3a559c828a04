// Building the voxel volume of a large heart: the right-ventricular cavity refined
// four times (3,752 x 3^4 = 303,912 triangles), normalised into the box [0, 10]^3,
// every polygon segmented. VoxelVolume::Build (polygons binned to rays, nearest
// centroids through a grid) against the straightforward loops of the test suite
// (every ray against every polygon, every grown cell against every centroid).
// Goal: Build under 300 ms on one core and at least 30 times faster than the loops.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "heart/VoxelVolume.h"
#include "mesh/RkPolygonModel.h"
#include "voxel_reference.h"

namespace {

using vantrel::MeshVertex;
using vantrel::RkPolygonModel;
using vantrel::Vector3;
using vantrel::VoxelVolume;

constexpr int kResolution = 128;
constexpr double kExtent = 10.0;

struct LargeHeart {
    bool loaded = false;
    RkPolygonModel mesh;
    std::vector<std::int32_t> regionIds;
};

const LargeHeart& RefinedRightVentricle() {
    static const LargeHeart heart = [] {
        LargeHeart result;
        if (!result.mesh.Load(std::string(VANTREL_SHARED_DATA_DIR) +
                              "/bivme_p1_rv_endo_capped.obj"))
            return result;
        RkPolygonModel& mesh = result.mesh;
        mesh.BuildEdgeTable();
        for (int pass = 0; pass < 4; ++pass) mesh.RefineByCentroids();
        Vector3 low = mesh.vertices.front().position;
        Vector3 high = low;
        for (const MeshVertex& vertex : mesh.vertices) {
            const Vector3& p = vertex.position;
            low = Vector3(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
            high = Vector3(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
        }
        const double largest = std::max({high.x - low.x, high.y - low.y, high.z - low.z});
        mesh.Translate(Vector3(-low.x, -low.y, -low.z));
        for (MeshVertex& vertex : mesh.vertices) vertex.position *= kExtent / largest;
        mesh.ComputeNormals();
        result.regionIds.assign(mesh.polygons.size(), 1);
        result.loaded = true;
        return result;
    }();
    return heart;
}

void BM_VoxelBuild_RefinedRightVentricle(benchmark::State& state) {
    const LargeHeart& heart = RefinedRightVentricle();
    if (!heart.loaded) {
        state.SkipWithError("bivme_p1_rv_endo_capped.obj is absent");
        return;
    }
    // Allocating the grid belongs to the volume's construction, not to Build.
    auto volume = std::make_unique<VoxelVolume>(kResolution, kExtent);
    for (auto _ : state) {
        volume->Build(heart.mesh, heart.regionIds);
        benchmark::DoNotOptimize(volume->LayerVoxelCount());
    }
    state.counters["polygons"] = static_cast<double>(heart.mesh.polygons.size());
    state.counters["layer_cells"] = volume->LayerVoxelCount();
}
BENCHMARK(BM_VoxelBuild_RefinedRightVentricle)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

// The program builds once, on a volume just constructed: nothing of an earlier
// Build (record array, scratch memory) is there to reuse.
void BM_VoxelBuildOnFreshVolume_RefinedRightVentricle(benchmark::State& state) {
    const LargeHeart& heart = RefinedRightVentricle();
    if (!heart.loaded) {
        state.SkipWithError("bivme_p1_rv_endo_capped.obj is absent");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        auto volume = std::make_unique<VoxelVolume>(kResolution, kExtent);
        state.ResumeTiming();
        volume->Build(heart.mesh, heart.regionIds);
        benchmark::DoNotOptimize(volume->LayerVoxelCount());
        state.PauseTiming();
        volume.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_VoxelBuildOnFreshVolume_RefinedRightVentricle)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

void BM_VoxelBuildReference_RefinedRightVentricle(benchmark::State& state) {
    const LargeHeart& heart = RefinedRightVentricle();
    if (!heart.loaded) {
        state.SkipWithError("bivme_p1_rv_endo_capped.obj is absent");
        return;
    }
    for (auto _ : state) {
        const vantrel::reference::Volume volume =
            vantrel::reference::Build(heart.mesh, heart.regionIds, kResolution, kExtent);
        benchmark::DoNotOptimize(volume.records.size());
    }
}
// About a minute per run: one iteration is enough to compare.
BENCHMARK(BM_VoxelBuildReference_RefinedRightVentricle)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->Iterations(1);

}  // namespace
