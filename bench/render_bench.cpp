// Frame and pick-pass times of the program's main view at 900 x 600 pixels, with
// the demo heart and a grown network of about 10,000 strokes, on whatever OpenGL
// the display offers (Mesa's software renderer under Xvfb). Needs a display:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/render_bench
//
// A frame is timed as the view's own drawing into its framebuffer up to glFinish
// (Qt composes a widget's repaint() synchronously at most once per display frame,
// so timing repaint() in a loop would measure the throttle, not the drawing);
// BM_RepaintComposed times whole repaints spaced a display frame apart.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>

#include "app/CMainFrame.h"
#include "app/CVantrelView.h"
#include "app/CommandIds.h"
#include "app/Singletons.h"
#include "demo_program.h"
#include "render/HeartDrawing.h"

namespace {

using namespace vantrel;

CMainFrame* frame = nullptr;

struct Mode {
    bool heartPolygons;
    bool tubes;
    bool field;
};

void SetMode(const Mode& mode) {
    HeartModel* heart = TheHeartModel();
    heart->targetPolygon = mode.heartPolygons;
    heart->targetFrame = false;
    heart->targetTransparent = false;
    heart->fiberAsPolygon = mode.tubes;
    heart->showVolumeField = mode.field;
}

void Frame(benchmark::State& state, const Mode& mode) {
    SetMode(mode);
    CVantrelView* view = frame->MainView();
    view->makeCurrent();
    for (auto _ : state) view->PaintScene();
    view->doneCurrent();
    state.counters["strokes"] = demo_program::StrokeCount();
    SetMode({true, true, true});
}

// The start-up view: lit heart, tubes, the fibre layer's points.
void BM_FrameDefaultView(benchmark::State& state) {
    Frame(state, {true, true, true});
}
void BM_FrameWithoutField(benchmark::State& state) {
    Frame(state, {true, true, false});
}
void BM_FrameWireFrame(benchmark::State& state) {
    Frame(state, {true, false, false});
}
void BM_FrameTubesOnly(benchmark::State& state) {
    Frame(state, {false, true, false});
}
void BM_FrameFieldOnly(benchmark::State& state) {
    Frame(state, {false, true, true});
}

void BM_RepaintComposed(benchmark::State& state) {
    SetMode({true, true, false});
    for (auto _ : state) {
        TheViewCore()->RedrawMainView();
        state.PauseTiming();
        QThread::msleep(20);
        state.ResumeTiming();
    }
}

void BM_MainPickPass(benchmark::State& state) {
    ViewCore* views = TheViewCore();
    for (auto _ : state)
        views->mainRenderer.RenderPickBuffer(views->mainGL, *TheHeartModel(), *TheFiberCore());
}

void BM_RulePickPass(benchmark::State& state) {
    for (auto _ : state) TheRuleLayout()->RedrawRulePick(TheViewCore()->ruleGL);
}

BENCHMARK(BM_FrameDefaultView)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FrameWithoutField)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FrameWireFrame)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FrameTubesOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FrameFieldOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RepaintComposed)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);
BENCHMARK(BM_MainPickPass)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RulePickPass)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    return demo_program::RunInProgram(argc, argv, [](CMainFrame& started) {
        frame = &started;
        QApplication::processEvents();
        demo_program::GrowNetwork(started);
        return true;
    });
}
