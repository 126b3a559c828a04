// The frame's commands that steer the two views: framing the heart and the rules,
// showing and hiding the console and the rule pane.
#include <QShortcut>
#include <QSplitter>
#include <algorithm>

#include "app/CMainFrame.h"
#include "app/CVantrelView.h"
#include "app/CommandIds.h"
#include "app/ConsoleDock.h"
#include "app/Singletons.h"
#include "interaction/CRuleView.h"
#include "render/HeartDrawing.h"

namespace vantrel {
namespace {

SceneBox HeartBox(const HeartModel& heart) {
    SceneBox box;
    for (const auto& vertex : heart.mesh.vertices) box.Include(vertex.position);
    return box;
}

}  // namespace

void CMainFrame::FrameScenes() {
    ViewCore* views = TheViewCore();
    views->mainGL.SetSceneBox(HeartBox(*TheHeartModel()));
    views->mainGL.FitScene();
    views->ruleGL.FitBox(TheRuleLayout()->RulesBox());
}

void CMainFrame::BuildViewCommands() {
    using namespace command;
    CommandTable& c = commands_;
    c.Add(kFitHeart, "Fit &Heart", [this] { FitHeart(); });
    c.SetShortcuts(kFitHeart, {QKeySequence(Qt::Key_F)});
    c.Add(kFitRules, "Fit &Rules", [this] { FitRules(); });
    c.Add(
        kShowConsole, "&Console", [this] { console_->setVisible(console_->isHidden()); },
        [this] { return console_ && !console_->isHidden(); });
    c.Add(
        kShowRulePane, "R&ule Pane", [this] { ShowRulePane(!RulePaneShown()); },
        [this] { return RulePaneShown(); });
}

bool CMainFrame::RulePaneShown() const {
    return ruleView_ && splitter_ && !ruleView_->isHidden() && splitter_->sizes().value(0) > 0;
}

void CMainFrame::ShowRulePane(bool show) {
    ruleView_->setVisible(show);
    // A pane collapsed by the splitter is visible at width 0: give it its width back.
    if (show && splitter_->sizes().value(0) == 0) {
        const int total = splitter_->sizes().value(0) + splitter_->sizes().value(1);
        splitter_->setSizes({200, std::max(total - 200, 1)});
    }
}

void CMainFrame::BindViewKeys() {
    auto* space = new QShortcut(QKeySequence(Qt::Key_Space), mainView_);
    space->setContext(Qt::WidgetShortcut);
    connect(space, &QShortcut::activated, this, [this] { commands_.Run(command::kAnimation1); });
}

void CMainFrame::FitHeart() {
    ViewCore* views = TheViewCore();
    views->mainGL.FitScene();
    views->mainRenderer.RenderPickBuffer(views->mainGL, *TheHeartModel(), *TheFiberCore());
    ScheduleMainRepaint();
}

void CMainFrame::FitRules() {
    RkOGL& gl = TheViewCore()->ruleGL;
    gl.FitBox(TheRuleLayout()->RulesBox());
    TheRuleLayout()->RedrawRulePick(gl);
    if (ruleView_) ruleView_->update();
}

}  // namespace vantrel
