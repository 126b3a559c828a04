#pragma once
// Starts the whole program on the demo heart for the benchmarks that time what a user
// sees: the main view is sized to 900 x 600, the size the rendering figures are given for.
#include <QSplitter>
#include <string>

#include "app/CMainFrame.h"
#include "app/CVantrelApp.h"
#include "app/CVantrelView.h"

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

}  // namespace demo_program
