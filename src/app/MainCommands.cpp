// The frame's commands on the view, the heart, the growth, the rules and the
// animation.
#include <QApplication>
#include <string>

#include "app/CMainFrame.h"
#include "app/CVantrelView.h"
#include "app/GrowthParameterDlg.h"
#include "app/Singletons.h"
#include "conduction/ConductionGraph.h"
#include "geometry/ConsoleLog.h"
#include "interaction/CRuleView.h"
#include "render/HeartDrawing.h"

namespace vantrel {

void CMainFrame::ToggleFiberMode() {
    HeartModel* heart = TheHeartModel();
    heart->fiberAsPolygon = !heart->fiberAsPolygon;
    ScheduleMainRepaint();
}

void CMainFrame::ToggleVolumeField() {
    HeartModel* heart = TheHeartModel();
    heart->showVolumeField = !heart->showVolumeField;
    RedrawMainView();
}

// The three target-object commands form a mode group: turning one on turns the
// others off; turning the current one off leaves all three off.
void CMainFrame::ToggleTargetFrame() {
    HeartModel* heart = TheHeartModel();
    heart->targetFrame = !heart->targetFrame;
    heart->targetPolygon = false;
    heart->targetTransparent = false;
    RedrawMainView();
}

void CMainFrame::ToggleTargetPolygon() {
    HeartModel* heart = TheHeartModel();
    heart->targetFrame = false;
    heart->targetPolygon = !heart->targetPolygon;
    heart->targetTransparent = false;
    ScheduleMainRepaint();
}

void CMainFrame::ToggleTargetTransparent() {
    HeartModel* heart = TheHeartModel();
    heart->targetFrame = false;
    heart->targetPolygon = false;
    heart->targetTransparent = !heart->targetTransparent;
    ScheduleMainRepaint();
}

void CMainFrame::GoGrowth() {
    HeartModel* heart = TheHeartModel();
    FiberCore* fibers = TheFiberCore();
    // Auto Growth compares later edits with what this growth grows from.
    grownInputs_ = GrowthInputs();
    growing_ = true;
    heart->ResetFieldForGrowth();
    StopWave();
    // The kept stroke times name strokes that growth replaces.
    TheViewCore()->mainRenderer.Activation().strokeTimes.clear();
    const GrowthTarget target{heart->volume, heart->mesh, heart->LayerDepth()};
    HeartRenderer& renderer = TheViewCore()->mainRenderer;
    // Progress is shown by painting the view and the status bar directly: the growth
    // is not re-entrant, so no events may be processed while it runs.
    const GrowthSummary summary = fibers->GoGrowth(
        target, ProgramGrowthParameters(), ProgramRandom(),
        [this, &renderer](int pass, int strokes) {
            ShowStatus(QString("Growth pass %1: %2 strokes").arg(pass).arg(strokes));
            renderer.InvalidateFibers();
            RedrawMainView();
        });
    renderer.InvalidateFibers();
    // A running animation goes on over the new strokes: they are linked for the wave,
    // which restarts from each fibre's first stroke at the next tick.
    if (fibers->animation) fibers->StartAnimation();
    QString message =
        summary.stoppedAtStrokeLimit
            ? QString("Growth stopped at the work limit: %1 strokes kept").arg(summary.strokeCount)
            : QString("Growth finished: %1 strokes kept").arg(summary.strokeCount);
    if (sceneBlocks_) {
        std::string error;
        if (!BlockStrokesInGraphOrder(*fibers, *sceneBlocks_, error)) {
            ConsoleLog("Go Growth: %s\n", error.c_str());
            message += QString("; no stroke blocked: %1").arg(QString::fromStdString(error));
        }
        sceneBlocks_.reset();
    }
    UpdateConduction(message);
    growing_ = false;
    RedrawMainView();
}

void CMainFrame::InitAllStrokes() {
    TheHeartModel()->ResetFieldForGrowth();
    TheFiberCore()->InitAllStrokes();
    TheViewCore()->mainRenderer.InvalidateFibers();
    UpdateConduction();
    ScheduleMainRepaint();
}

void CMainFrame::ShowParameterDialog() {
    GrowthParameterDlg* dialog = ParameterDialog();
    if (!dialog) return;
    dialog->hide();
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void CMainFrame::ChangeLaterals(bool add) {
    RewritingRule& rule2 = TheFiberCore()->rule2;
    if (add) {
        rule2.AddLateral();
    } else {
        rule2.RemoveLateral();
    }
    // Pick codes address laterals 0 to 15 only; the rule window draws the handles of
    // later ones grey, and says so here.
    if (rule2.laterals.size() > static_cast<size_t>(kMaxPickableLaterals)) {
        ShowStatus(QString("Rule 2 has %1 laterals: only the first %2 have handles to drag (grey "
                           "handles cannot be grabbed)")
                       .arg(rule2.laterals.size())
                       .arg(kMaxPickableLaterals));
    }
    // The handles moved: the rule window's next click must find them where they are.
    TheRuleLayout()->RedrawRulePick(TheViewCore()->ruleGL);
    if (ruleView_) ruleView_->update();
}

void CMainFrame::ToggleAnimation() {
    FiberCore* fibers = TheFiberCore();
    fibers->animation = !fibers->animation;
    if (fibers->animation) {
        animationTimer_.start();
        fibers->StartAnimation();
    } else {
        animationTimer_.stop();
    }
    ScheduleMainRepaint();
}

void CMainFrame::AnimationTick() {
    TheFiberCore()->AnimationStep([this] { RedrawMainView(); });
}

void CMainFrame::MoveFocusToOtherPane() {
    // With two panes the next and the previous pane are the same: the other one.
    if (ruleView_->hasFocus()) {
        mainView_->setFocus(Qt::OtherFocusReason);
    } else {
        ruleView_->setFocus(Qt::OtherFocusReason);
    }
}

}  // namespace vantrel
