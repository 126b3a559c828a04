// Quadric-error simplification of a 100k-triangle mesh down to 10% of its
// vertices: the right-ventricular cavity refined three times by centroid
// insertion (3,752 -> 101,304 triangles, 50,654 vertices).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "mesh/LodPolygonModel.h"

namespace {

using vantrel::LodPolygonModel;

// Loaded and refined once; every run simplifies its own copy. Null when the
// shared mesh is missing.
const LodPolygonModel* RefinedCavity() {
    static const std::unique_ptr<LodPolygonModel> model = [] {
        auto loaded = std::make_unique<LodPolygonModel>();
        const std::string path =
            std::string(VANTREL_SHARED_DATA_DIR) + "/bivme_p1_rv_endo_capped.obj";
        if (!loaded->LoadObj(path)) {
            return std::unique_ptr<LodPolygonModel>();
        }
        loaded->BuildEdgeTable();
        for (int i = 0; i < 3; ++i) {
            loaded->RefineByCentroids();
        }
        return loaded;
    }();
    return model.get();
}

// ConstructLOD plus Simplify to a tenth of the vertices.
void BM_SimplifyToTenthOfVertices(benchmark::State& state) {
    const LodPolygonModel* source = RefinedCavity();
    if (!source) {
        state.SkipWithError("right-ventricular cavity mesh not found");
        return;
    }
    const int vertices = static_cast<int>(source->vertices.size());
    const int collapses = vertices - vertices / 10;
    std::unique_ptr<LodPolygonModel> model;
    for (auto _ : state) {
        // Copying the input and freeing the last result are not part of the work.
        state.PauseTiming();
        model = std::make_unique<LodPolygonModel>();
        model->CopyFrom(*source);
        state.ResumeTiming();
        model->ConstructLOD();
        model->Simplify(collapses);
        benchmark::DoNotOptimize(model->vertexPairs.data());
    }
    state.counters["triangles"] = static_cast<double>(source->polygons.size());
    state.counters["collapses"] = collapses;
}
BENCHMARK(BM_SimplifyToTenthOfVertices)->Unit(benchmark::kMillisecond);

// The set-up alone: edge table, planes, quadrics, pair costs and the heap.
void BM_ConstructLod(benchmark::State& state) {
    const LodPolygonModel* source = RefinedCavity();
    if (!source) {
        state.SkipWithError("right-ventricular cavity mesh not found");
        return;
    }
    std::unique_ptr<LodPolygonModel> model;
    for (auto _ : state) {
        state.PauseTiming();
        model = std::make_unique<LodPolygonModel>();
        model->CopyFrom(*source);
        state.ResumeTiming();
        model->ConstructLOD();
        benchmark::DoNotOptimize(model->vertexPairs.data());
    }
}
BENCHMARK(BM_ConstructLod)->Unit(benchmark::kMillisecond);

}  // namespace
