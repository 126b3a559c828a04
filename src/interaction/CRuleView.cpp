#include "interaction/CRuleView.h"

#include <utility>

namespace vantrel {

CRuleView::CRuleView(ViewCore& views, std::function<RuleLayout*()> layout, QWidget* parent)
    : ListenerView(parent), views_(views), layout_(std::move(layout)) {
    views_.ruleView = this;
    views_.ruleGL.SetSceneBox(RuleLayout::WindowBox());
    SetWheelZoom([this](int x, int y, double steps) {
        RkOGL& gl = views_.ruleGL;
        if (gl.Dragging() || !gl.WheelZoom(x, y, steps)) return;
        if (RuleLayout* layout = layout_()) layout->RedrawRulePick(gl);
        update();
    });
}

CRuleView::~CRuleView() {
    // Free the pick framebuffer while the context still exists.
    views_.ruleGL.Destroy();
}

void CRuleView::initializeGL() {
    views_.ruleGL.Init(this);
}

void CRuleView::resizeGL(int width, int height) {
    views_.ruleGL.Resize(width, height);
    if (RuleLayout* layout = layout_()) layout->RedrawRulePick(views_.ruleGL);
}

void CRuleView::paintGL() {
    views_.ruleGL.BeginDraw();
    if (RuleLayout* layout = layout_()) layout->DrawScene(false);
    views_.ruleGL.EndDraw();
}

}  // namespace vantrel
