// The frame's undo and redo: the Edit menu's commands, where edits are recorded
// (after every command, every mouse release in the views and every parameter change
// the dialog makes) and how a snapshot of the work is put back.
#include <QAction>
#include <QPushButton>
#include <QSlider>

#include "app/CMainFrame.h"
#include "app/CVantrelView.h"
#include "app/CommandIds.h"
#include "app/GrowthParameterDlg.h"
#include "app/Singletons.h"
#include "app/WorkState.h"
#include "interaction/CRuleView.h"
#include "render/HeartDrawing.h"

namespace vantrel {
namespace {

// The step names of commands whose menu text does not read as one.
QString StepName(int id, const QString& menuText) {
    using namespace command;
    switch (id) {
        case kOpenScene:
            return "Open Scene";
        case kSegmentationMode:
            return "Clear Segmentation";
        case kAddLateral:
            return "Add Lateral";
        case kRemoveLateral:
            return "Remove Lateral";
        case kPhysiologyDlg:
            return "Change Physiology";
        default:
            break;
    }
    QString name = menuText;
    name.remove('&');
    if (name.endsWith("...")) name.chop(3);
    return name.simplified();
}

}  // namespace

void CMainFrame::BuildEditCommands() {
    using namespace command;
    CommandTable& c = commands_;
    history_ = std::make_unique<EditHistory>(
        [this](const WorkSnapshot* previous) { return CaptureWork(networkNumber_, previous); },
        [this](const WorkSnapshot& from, const WorkSnapshot& to) { ApplyWork(from, to); });
    QUndoStack& stack = history_->Stack();
    c.Add(kUndo, "&Undo", [&stack] { stack.undo(); });
    c.Add(kRedo, "&Redo", [&stack] { stack.redo(); });
    c.Add(kClearStartPoints, "Clear Start Points", [this] {
        TheFiberCore()->startPoints.clear();
        RefreshAfterWorkChange();
    });
    c.Add(kClearFeatureCurves, "Clear Feature Curves", [this] {
        TheFiberCore()->featureCurves.clear();
        RefreshAfterWorkChange();
    });
    c.SetShortcuts(kRedo, {QKeySequence(Qt::CTRL | Qt::Key_Y),
                           QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    QAction* undo = c.Action(kUndo);
    QAction* redo = c.Action(kRedo);
    undo->setEnabled(false);
    redo->setEnabled(false);
    connect(&stack, &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
    connect(&stack, &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);
    connect(&stack, &QUndoStack::undoTextChanged, undo, [undo](const QString& step) {
        undo->setText(step.isEmpty() ? "&Undo" : "&Undo " + step);
    });
    connect(&stack, &QUndoStack::redoTextChanged, redo, [redo](const QString& step) {
        redo->setText(step.isEmpty() ? "&Redo" : "&Redo " + step);
    });
    connect(&stack, &QUndoStack::cleanChanged, this, [this] { UpdateModifiedMark(); });
}

void CMainFrame::WatchEditsForUndo() {
    using namespace command;
    for (QAction* action : findChildren<QAction*>()) {
        const int id = action->data().toInt();
        // These manage the history themselves.
        if (id == kUndo || id == kRedo || id == kNewDocument || id == kOpenDocument) continue;
        connect(action, &QAction::triggered, this,
                [this, action, id] { RecordEdit(StepName(id, action->text())); });
    }
    mainView_->SetAfterRelease([this] { RecordEdit(); });
    ruleView_->SetAfterRelease([this] { RecordEdit(); });
    GrowthParameterDlg* dialog = ParameterDialog();
    if (!dialog) return;
    // One step per slider release; a step per change made with the keyboard.
    for (QSlider* slider :
         {dialog->segmentResolutionSlider(), dialog->gradientDirectionRateSlider(),
          dialog->randomDirectionRateSlider()}) {
        connect(slider, &QSlider::sliderReleased, this,
                [this] { RecordEdit("Change Parameters"); });
        connect(slider, &QSlider::valueChanged, this, [this, slider] {
            if (!slider->isSliderDown()) RecordEdit("Change Parameters");
        });
    }
    connect(dialog->defaultsButton(), &QPushButton::clicked, this,
            [this] { RecordEdit("Change Parameters"); });
}

void CMainFrame::RecordEdit(const QString& name) {
    history_->Record(name);
    UpdateModifiedMark();
}

bool CMainFrame::IsModified() const {
    return !history_->Stack().isClean() || networkNumber_ != savedNetwork_;
}

void CMainFrame::UpdateModifiedMark() {
    setWindowModified(IsModified());
}

void CMainFrame::RememberGrowthInputs() {
    lastGrowth_ = GrownNetwork{ProgramRandom().State(),
                               CaptureScene(*TheFiberCore(), ProgramGrowthParameters())};
    ++networkNumber_;
}

void CMainFrame::NoteGrownNetwork() {
    // The blocks a growth sets (an opened scene's) come with the network: no edit.
    history_->NewNetwork(networkNumber_, BlockedStrokeIndices(*TheFiberCore()));
}

void CMainFrame::ApplyWork(const WorkSnapshot& from, const WorkSnapshot& to) {
    if (from.sceneText != to.sceneText) {
        ApplyScene(to.scene, *TheFiberCore(), ProgramGrowthParameters());
        ProgramPhysiology() = to.scene.physiology;
        if (GrowthParameterDlg* dialog = ParameterDialog())
            dialog->ShowParameters(ProgramGrowthParameters());
    }
    HeartModel* heart = TheHeartModel();
    if (heart->regionIds != *to.regionIds) {
        heart->regionIds = *to.regionIds;
        // Outside segmentation mode the fibre layer follows the ids at once (in the
        // mode, leaving it rebuilds the layer).
        if (!heart->segmentationMode) heart->RebuildFibreLayer();
        TheViewCore()->mainRenderer.InvalidateRegions();
    }
    if (to.network == networkNumber_) SetBlockedStrokes(*TheFiberCore(), to.blockedStrokes);
    RefreshAfterWorkChange();
}

void CMainFrame::RefreshAfterWorkChange() {
    ViewCore& views = *TheViewCore();
    TheRuleLayout()->RedrawRulePick(views.ruleGL);
    views.mainRenderer.RenderPickBuffer(views.mainGL, *TheHeartModel(), *TheFiberCore());
    views.RedrawRuleView();
    views.mainRenderer.InvalidateFibers();
    UpdateConduction();
    views.RedrawMainView();
}

}  // namespace vantrel
