// The Activation Map in the program on the demo heart with a grown network of about
// 10,000 strokes and the main view at 900 x 600: recomputing the times after a
// physiology change or a block toggle, the parts of that recompute, and a frame of
// the main view with the map on against the start-up view. Needs a display:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/activation_bench
//
// Frames are timed as in render_bench: the view's own drawing up to glFinish.
#include <benchmark/benchmark.h>

#include <QApplication>

#include "app/CMainFrame.h"
#include "app/CVantrelView.h"
#include "app/CommandIds.h"
#include "app/Singletons.h"
#include "demo_program.h"
#include "render/ActivationDisplay.h"

namespace {

using namespace vantrel;

CMainFrame* frame = nullptr;

// What the program does after a physiology change: the run, the map and the status line.
void BM_RecomputeTimes(benchmark::State& state) {
    for (auto _ : state)
        frame->UpdateConduction(QString(), CMainFrame::ConductionChange::kBlocksOrPhysiology);
}

// After growth: the graph is built anew.
void BM_RecomputeAfterGrowth(benchmark::State& state) {
    for (auto _ : state) frame->UpdateConduction();
}

void BM_ConductionRunOnly(benchmark::State& state) {
    const PhysiologySettings settings = ProgramPhysiology().settings;
    for (auto _ : state) {
        ConductionResult result = RunConduction(*TheFiberCore(), *TheHeartModel(), settings);
        benchmark::DoNotOptimize(result);
    }
}

void BM_FillActivationDisplay(benchmark::State& state) {
    ActivationDisplay display;
    for (auto _ : state)
        FillActivationDisplay(*TheFiberCore(), *TheHeartModel(), frame->Conduction(), display);
}

void Frame(benchmark::State& state, bool map) {
    HeartModel* heart = TheHeartModel();
    heart->targetPolygon = true;
    heart->fiberAsPolygon = true;
    heart->showVolumeField = true;  // as at start-up
    TheViewCore()->mainRenderer.Activation().enabled = map;
    CVantrelView* view = frame->MainView();
    view->makeCurrent();
    for (auto _ : state) view->PaintScene();
    view->doneCurrent();
    TheViewCore()->mainRenderer.Activation().enabled = false;
}

void BM_FrameDefaultView(benchmark::State& state) {
    Frame(state, false);
}
void BM_FrameActivationMap(benchmark::State& state) {
    Frame(state, true);
}

BENCHMARK(BM_RecomputeTimes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecomputeAfterGrowth)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConductionRunOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillActivationDisplay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameDefaultView)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();
BENCHMARK(BM_FrameActivationMap)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime();

}  // namespace

int main(int argc, char** argv) {
    return demo_program::RunInProgram(argc, argv, [](CMainFrame& started) {
        frame = &started;
        QApplication::processEvents();
        demo_program::GrowNetwork(started);
        return true;
    });
}
