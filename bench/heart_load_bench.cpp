// Loading a heart as the program starts: read the OBJ, normalise and refine it,
// read its segmentation and build the voxel volume with its fibre layer. The
// model's construction (allocating the 128^3 grid) is kept out of the timing.
#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <string>

#include "heart/HeartModel.h"

namespace {

using vantrel::HeartModel;
using vantrel::SegmentationChoice;

void LoadRepeatedly(benchmark::State& state, const std::string& meshPath,
                    const SegmentationChoice& segmentation) {
    if (!std::ifstream(meshPath)) {
        state.SkipWithError((meshPath + " is absent").c_str());
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        auto heart = std::make_unique<HeartModel>();
        state.ResumeTiming();
        const bool loaded = heart->LoadHeart(meshPath, segmentation);
        benchmark::DoNotOptimize(loaded);
        state.PauseTiming();
        if (!loaded) state.SkipWithError("the heart did not load");
        heart.reset();
        state.ResumeTiming();
    }
}

void BM_LoadHeart_DemoWithSegmentation(benchmark::State& state) {
    const std::string data = VANTREL_DATA_DIR;
    LoadRepeatedly(state, data + "/demo-heart.obj",
                   SegmentationChoice::File(data + "/demo-heart.kxseg"));
}
BENCHMARK(BM_LoadHeart_DemoWithSegmentation)->Unit(benchmark::kMillisecond);

// The right-ventricular cavity (3,752 triangles, 11,256 after the refinement), all segmented.
void BM_LoadHeart_RightVentricleAllSegmented(benchmark::State& state) {
    LoadRepeatedly(state, std::string(VANTREL_SHARED_DATA_DIR) + "/bivme_p1_rv_endo_capped.obj",
                   SegmentationChoice::AllSegmented());
}
BENCHMARK(BM_LoadHeart_RightVentricleAllSegmented)->Unit(benchmark::kMillisecond);

}  // namespace
