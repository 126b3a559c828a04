#include "render/ViewCore.h"

#include <QOpenGLWidget>

#include "geometry/ConsoleLog.h"

namespace vantrel {

ViewCore::ViewCore(const std::function<QWidget*()>& makeParameterDialog) {
    mainGL.SetInitialCamera(Camera{Vector3(5, 5, 15), Vector3(5, 5, 5), Vector3(0, 1, 0)});
    ruleGL.SetInitialCamera(Camera{Vector3(0, 3, 8), Vector3(0, 3, 0), Vector3(0, 1, 0)});
    mainGL.ResetCamera();
    ruleGL.ResetCamera();
    if (makeParameterDialog) parameterDialog = makeParameterDialog();
    ConsoleLog("test");
}

ViewCore::~ViewCore() {
    delete parameterDialog.data();
    ruleGL.FreePickBuffers();
    mainGL.FreePickBuffers();
}

void ViewCore::RedrawMainView() {
    if (mainView) mainView->repaint();
}

void ViewCore::RedrawRuleView() {
    if (ruleView) ruleView->repaint();
}

}  // namespace vantrel
