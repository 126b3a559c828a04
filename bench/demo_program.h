#pragma once
// Starts the whole program on the demo heart for the benchmarks that time what a user
// sees: the main view is sized to 900 x 600, the size the rendering figures are given for.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QSplitter>
#include <cstdio>
#include <string>

#include "app/CMainFrame.h"
#include "app/CVantrelApp.h"
#include "app/CVantrelView.h"
#include "app/CommandIds.h"
#include "app/Singletons.h"
#include "cli/StartPolygon.h"
#include "render/SurfaceFormat.h"

namespace demo_program {

// The program's frame after a start on the demo heart and its segmentation, or nullptr
// when the start failed. Needs a QApplication (and a display).
inline vantrel::CMainFrame* StartOnDemoHeart(vantrel::CVantrelApp& program) {
    vantrel::StartOptions options;
    options.heartPath = std::string(VANTREL_DATA_DIR) + "/demo-heart.obj";
    options.segmentationPath = std::string(VANTREL_DATA_DIR) + "/demo-heart.kxseg";
    if (!program.Start(options)) return nullptr;
    vantrel::CMainFrame* frame = program.Frame();
    vantrel::CVantrelView* view = frame->MainView();
    frame->resize(frame->width() + 900 - view->width(), frame->height() + 600 - view->height());
    frame->Splitter()->setSizes({200, 900});
    return frame;
}

// Strokes in the current network.
inline int StrokeCount() {
    int strokes = 0;
    for (const vantrel::Fiber& fiber : vantrel::TheFiberCore()->fibers)
        strokes += static_cast<int>(fiber.strokes.size());
    return strokes;
}

// Grows the rendering benchmarks' network: placements on segmented polygons spread over
// the heart, strokes a little shorter than the default so that it reaches about 10,000.
inline void GrowNetwork(vantrel::CMainFrame& frame) {
    using namespace vantrel;
    HeartModel* heart = TheHeartModel();
    TheFiberCore()->rule2.stemLength = 0.9;
    for (int polygon = 0; polygon < static_cast<int>(heart->mesh.polygons.size());
         polygon += 1500) {
        if (heart->regionIds[polygon] == 0) continue;
        const MeshPolygon& p = heart->mesh.polygons[polygon];
        for (const StartPoint& start : StartPointsOnPolygon(
                 heart->mesh.vertices[p.vertex[0]].position,
                 heart->mesh.vertices[p.vertex[1]].position,
                 heart->mesh.vertices[p.vertex[2]].position, p.normal, heart->LayerDepth())) {
            TheFiberCore()->startPoints.push_back(start);
        }
    }
    frame.Commands().Run(command::kGoGrowth);
}

// The main of the benchmarks that run inside the program: starts it on the demo heart,
// lets `prepare` ready the frame (false gives up), reports the view's size, the network
// and the renderer, then runs the registered benchmarks.
template <typename Prepare>
int RunInProgram(int argc, char** argv, Prepare prepare) {
    benchmark::Initialize(&argc, argv);
    vantrel::UseFixedFunctionSurfaceFormat();
    QApplication application(argc, argv);
    vantrel::CVantrelApp program;
    vantrel::CMainFrame* frame = StartOnDemoHeart(program);
    if (frame == nullptr || !prepare(*frame)) return 1;
    vantrel::CVantrelView* view = frame->MainView();
    view->makeCurrent();
    std::fprintf(stderr, "\nmain view %d x %d, %d strokes, renderer %s\n", view->width(),
                 view->height(), StrokeCount(),
                 reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    view->doneCurrent();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return program.Exit(0);
}

}  // namespace demo_program
