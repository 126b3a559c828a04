// Auto Growth: with it on, every edit of what would grow (start points, curves, the
// rules, the parameters and options, an opened scene) regrows the network once the
// edit's event has been handled. Edits are noticed by comparing the scene as it
// stands with the scene of the last growth, after every command, every mouse release
// in either view and every parameter change; edits that arrive together (in one turn
// of the event loop, or while a growth blocks it) give one regrowth of the last state.
// The growth itself processes no events, so a regrowth never starts inside another.
#include <QMouseEvent>

#include "app/CMainFrame.h"
#include "app/CVantrelView.h"
#include "app/CommandIds.h"
#include "app/GrowthParameterDlg.h"
#include "app/Singletons.h"
#include "growth/SceneFile.h"
#include "interaction/CRuleView.h"

namespace vantrel {

std::string CMainFrame::GrowthInputs() const {
    return SceneText(CaptureScene(*TheFiberCore(), ProgramGrowthParameters()));
}

void CMainFrame::AddAutoGrowthCommand() {
    commands_.Add(
        command::kAutoGrowth, "Auto Growth",
        [this] {
            autoGrowth_ = !autoGrowth_;
            ScheduleAutoGrowth();
        },
        [this] { return autoGrowth_; });
}

void CMainFrame::WatchEditsForAutoGrowth() {
    // Every command may have edited the scene (the table's own actions, menus and keys).
    for (QAction* action : findChildren<QAction*>()) {
        connect(action, &QAction::triggered, this, [this] { ScheduleAutoGrowth(); });
    }
    if (GrowthParameterDlg* dialog = ParameterDialog()) {
        dialog->SetOnChange([this] { ScheduleAutoGrowth(); });
    }
    mainView_->installEventFilter(this);
    ruleView_->installEventFilter(this);
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease) ScheduleAutoGrowth();
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::ScheduleAutoGrowth() {
    if (!autoGrowth_ || autoGrowthQueued_) return;
    autoGrowthQueued_ = true;
    QMetaObject::invokeMethod(
        this, [this] { RegrowIfEdited(); }, Qt::QueuedConnection);
}

void CMainFrame::RegrowIfEdited() {
    autoGrowthQueued_ = false;
    if (!autoGrowth_ || growing_) return;
    if (GrowthInputs() == grownInputs_) return;
    ++autoGrowthRuns_;
    GoGrowth();
}

}  // namespace vantrel
