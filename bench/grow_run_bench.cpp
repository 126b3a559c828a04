// The whole vantrel-grow job on the demo heart, as the program runs it: a fresh
// session (heart model with its volume), heart and segmentation, volume build,
// four start points on the first segmented polygon, one growth run, and the fibre
// OBJ and centreline files. Goal: under one second.
#include <cstdio>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "cli/GrowJob.h"
#include "demo_grow.h"

namespace vantrel {
namespace {

void BM_GrowRunOnDemoHeart(benchmark::State& state) {
    GrowOptions options;
    if (!SetDemoHeartOptions(options)) {
        state.SkipWithError("demo heart or its segmentation not found in data/");
        return;
    }
    options.outPath = "grow_run_bench_fibers.obj";
    options.centrelinesPath = "grow_run_bench_centrelines.vtk";

    int strokes = 0;
    for (auto _ : state) {
        auto session = std::make_unique<GrowSession>();
        std::string error;
        if (!GrowOneRun(options, *session, error) || !ExportStep(options, *session, error)) {
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
