// Loading a heart-sized mesh as the program does at start-up: LoadObj,
// BuildEdgeTable, RefineByCentroids and ComputeNormals, on the right-ventricular
// cavity refined three times (101,304 triangles), saved once as an OBJ file in
// a scratch folder. Each step is also timed alone.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "mesh/RkPolygonModel.h"

namespace vantrel {
namespace {

// The path of the refined mesh, written on first use; empty when the shared
// data is not available.
const std::string& LargeMeshPath() {
    static const std::string path = [] {
        RkPolygonModel model;
        if (!model.Load(std::string(VANTREL_SHARED_DATA_DIR) + "/bivme_p1_rv_endo_capped.obj"))
            return std::string();
        model.BuildEdgeTable();
        for (int i = 0; i < 3; ++i) model.RefineByCentroids();
        const std::filesystem::path folder =
            std::filesystem::temp_directory_path() / "vantrel_bench";
        std::filesystem::create_directories(folder);
        const std::string file = (folder / "rv_refined3.obj").string();
        if (!model.SaveObj(file)) return std::string();
        std::printf("benchmark mesh: %s, %zu vertices, %zu triangles\n", file.c_str(),
                    model.vertices.size(), model.polygons.size());
        return file;
    }();
    return path;
}

// Loads the large mesh; false (and the benchmark skipped) when it is missing.
bool LoadLarge(benchmark::State& state, RkPolygonModel& model) {
    if (LargeMeshPath().empty() || !model.LoadObj(LargeMeshPath())) {
        state.SkipWithError("shared right-ventricle mesh not available");
        return false;
    }
    return true;
}

void BM_LoadRefineNormals(benchmark::State& state) {
    for (auto _ : state) {
        RkPolygonModel model;
        if (!LoadLarge(state, model)) return;
        model.BuildEdgeTable();
        model.RefineByCentroids();
        model.ComputeNormals();
        benchmark::DoNotOptimize(model.vertices.data());
    }
}
BENCHMARK(BM_LoadRefineNormals)->Unit(benchmark::kMillisecond);

void BM_LoadObj(benchmark::State& state) {
    for (auto _ : state) {
        RkPolygonModel model;
        if (!LoadLarge(state, model)) return;
        benchmark::DoNotOptimize(model.polygons.data());
    }
}
BENCHMARK(BM_LoadObj)->Unit(benchmark::kMillisecond);

void BM_BuildEdgeTable(benchmark::State& state) {
    RkPolygonModel model;
    if (!LoadLarge(state, model)) return;
    for (auto _ : state) {
        model.BuildEdgeTable();
        benchmark::DoNotOptimize(model.edges.data());
    }
}
BENCHMARK(BM_BuildEdgeTable)->Unit(benchmark::kMillisecond);

void BM_RefineByCentroids(benchmark::State& state) {
    RkPolygonModel loaded;
    if (!LoadLarge(state, loaded)) return;
    loaded.BuildEdgeTable();
    for (auto _ : state) {
        state.PauseTiming();
        RkPolygonModel model = loaded;
        state.ResumeTiming();
        model.RefineByCentroids();
        benchmark::DoNotOptimize(model.polygons.data());
    }
}
BENCHMARK(BM_RefineByCentroids)->Unit(benchmark::kMillisecond);

void BM_ComputeNormals(benchmark::State& state) {
    RkPolygonModel model;
    if (!LoadLarge(state, model)) return;
    for (auto _ : state) {
        model.ComputeNormals();
        benchmark::DoNotOptimize(model.vertices.data());
    }
}
BENCHMARK(BM_ComputeNormals)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantrel
