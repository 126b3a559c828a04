// The whole vantrel-grow job on the demo heart, as the program runs it: a fresh
// session (heart model with its volume), heart and segmentation, volume build,
// four start points on the first segmented polygon, one growth run, and the fibre
// OBJ and centreline files. Goal: under one second.
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "cli/GrowJob.h"

namespace vantrel {
namespace {

const std::string kHeart = std::string(VANTREL_DATA_DIR) + "/demo-heart.obj";
const std::string kSegmentation = std::string(VANTREL_DATA_DIR) + "/demo-heart.kxseg";

// The first segmented polygon of the demo segmentation, or "" when there is none.
std::string FirstSegmentedPolygon() {
    std::ifstream in(kSegmentation);
    std::string word, label;
    int count = 0, index = 0, id = 0;
    in >> word >> word >> word >> count;
    while (in >> label >> index >> id) {
        if (id != 0) return std::to_string(index);
    }
    return std::string();
}

void BM_GrowRunOnDemoHeart(benchmark::State& state) {
    GrowOptions options;
    options.heartPath = kHeart;
    options.segmentationPath = kSegmentation;
    const std::string polygon = FirstSegmentedPolygon();
    if (polygon.empty()) {
        state.SkipWithError("demo heart or its segmentation not found in data/");
        return;
    }
    options.startPolygons = {polygon};
    options.outPath = "grow_run_bench_fibers.obj";
    options.centrelinesPath = "grow_run_bench_centrelines.vtk";

    int strokes = 0;
    for (auto _ : state) {
        auto session = std::make_unique<GrowSession>();
        std::string error;
        if (!LoadHeartStep(options, *session, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        BuildVolumeStep(*session);
        if (!AddStartPolygonsStep(options, *session, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        if (!GrowStep(1, *session, error) || !ExportStep(options, *session, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        strokes = session->timings.strokes;
        session.reset();  // tearing the session down is part of the run
    }
    state.counters["strokes"] = strokes;
    std::remove(options.outPath.c_str());
    std::remove(options.centrelinesPath.c_str());
}
BENCHMARK(BM_GrowRunOnDemoHeart)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace vantrel
