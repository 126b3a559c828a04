#pragma once
// The rule window: the left pane that shows both rewriting rules over a floor grid.
// It draws through the rule window's wrapper (ruleGL) and forwards its mouse input
// to the rule window's current listener. Its pick buffers are re-rendered after
// every resize, so a click right after a resize still finds the handles.
#include <functional>

#include "interaction/ListenerView.h"
#include "interaction/RuleLayout.h"
#include "render/ViewCore.h"

namespace vantrel {

class CRuleView : public ListenerView {
public:
    // `layout` is asked for the rule layout when the view first needs it (its first
    // resize), so the layout comes into existence then.
    CRuleView(ViewCore& views, std::function<RuleLayout*()> layout, QWidget* parent = nullptr);
    ~CRuleView() override;

protected:
    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;

private:
    ViewCore& views_;
    std::function<RuleLayout*()> layout_;
};

}  // namespace vantrel
