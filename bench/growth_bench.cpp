// Growth on the demo heart from its usual scene (demo_scene.h). Each iteration is one "Go Growth"
// with a fresh generator (so every iteration grows the same network); the rate counted is kept
// strokes per second of growth.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <memory>
#include <string>

#include "demo_scene.h"

namespace {

using namespace vantrel;

struct DemoHeart {
    HeartModel heart;
    bool loaded = false;
    DemoHeart() {
        const std::string data = VANTREL_DATA_DIR;
        if (!std::ifstream(data + "/demo-heart.obj")) return;
        loaded = heart.LoadHeart(data + "/demo-heart.obj",
                                 SegmentationChoice::File(data + "/demo-heart.kxseg"));
    }
};

DemoHeart& SharedDemoHeart() {
    static DemoHeart* demo = new DemoHeart();
    return *demo;
}

FiberCore DemoScene(const HeartModel& heart) {
    FiberCore core;
    demo_scene::AddDemoScene(heart, core);
    return core;
}

void BM_GoGrowth_DemoHeart(benchmark::State& state) {
    DemoHeart& demo = SharedDemoHeart();
    if (!demo.loaded) {
        state.SkipWithError("data/demo-heart.obj or its segmentation is absent");
        return;
    }
    const GrowthParameters parameters;
    const GrowthTarget target{demo.heart.volume, demo.heart.mesh, demo.heart.LayerDepth()};
    long long strokes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        FiberCore core = DemoScene(demo.heart);
        GrowthRandom random;
        state.ResumeTiming();
        const GrowthSummary summary = core.GoGrowth(target, parameters, random);
        strokes += summary.strokeCount;
        state.PauseTiming();
        core = FiberCore();  // freeing the network is not growth
        state.ResumeTiming();
    }
    state.counters["strokes"] =
        benchmark::Counter(static_cast<double>(strokes) / state.iterations());
    state.counters["strokes_per_s"] =
        benchmark::Counter(static_cast<double>(strokes), benchmark::Counter::kIsRate);
}
// Rates are per second of processor time: the growth runs on one core.
BENCHMARK(BM_GoGrowth_DemoHeart)->Unit(benchmark::kMillisecond);

}  // namespace
