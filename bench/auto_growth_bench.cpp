// Edit-to-picture latency with Auto Growth on: the demo heart with its usual scene
// (demo_scene.h) in the program, the main view at 900 x 600 pixels, on whatever
// OpenGL the display offers (Mesa's software renderer under Xvfb). Needs a display:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/bench/auto_growth_bench
//
// One iteration is one edit as a rule-handle drag ends: rule 2's stem length is set
// (alternately to two values, as the drag's moves set it) and the left button is
// pressed and released over the rule window; timed from the release until the regrown network
// is painted (the regrowth with its tubes and conduction run, the repaint, glFinish).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTest>
#include <QWindow>

#include "app/CMainFrame.h"
#include "app/CVantrelView.h"
#include "app/CommandIds.h"
#include "app/Singletons.h"
#include "demo_program.h"
#include "demo_scene.h"
#include "interaction/CRuleView.h"

namespace {

using namespace vantrel;

CMainFrame* frame = nullptr;

void ReleaseOverRuleWindow() {
    QWidget* rules = frame->RuleView();
    const QPoint at = rules->mapTo(frame, QPoint(5, rules->height() - 5));
    QTest::mousePress(frame->windowHandle(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(frame->windowHandle(), Qt::LeftButton, {}, at);
}

// Counts the main view's paint events.
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

void BM_EditToPicture_AutoGrowth(benchmark::State& state) {
    CVantrelView* view = frame->MainView();
    PaintCounter counter;
    view->installEventFilter(&counter);
    for (auto _ : state) {
        state.PauseTiming();
        double& stemLength = TheFiberCore()->rule2.stemLength;
        stemLength = stemLength == 1.0 ? 1.05 : 1.0;
        const int runs = frame->AutoGrowthRuns();
        state.ResumeTiming();
        ReleaseOverRuleWindow();
        QApplication::processEvents();
        if (frame->AutoGrowthRuns() != runs + 1) {
            state.SkipWithError("the release did not regrow the network once");
            break;
        }
        view->makeCurrent();
        glFinish();
        view->doneCurrent();
    }
    view->removeEventFilter(&counter);
    state.counters["strokes"] = demo_program::StrokeCount();
    state.counters["paints_per_edit"] = static_cast<double>(counter.paints) / state.iterations();
}
BENCHMARK(BM_EditToPicture_AutoGrowth)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5)
    ->Repetitions(3);

}  // namespace

int main(int argc, char** argv) {
    return demo_program::RunInProgram(argc, argv, [](CMainFrame& started) {
        frame = &started;
        started.show();
        if (!QTest::qWaitForWindowExposed(&started)) return false;
        demo_scene::AddDemoScene(*TheHeartModel(), *TheFiberCore());
        started.Commands().Run(command::kAutoGrowth);  // switched on: the scene grows once
        QApplication::processEvents();
        return true;
    });
}
