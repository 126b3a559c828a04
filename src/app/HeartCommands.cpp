// The frame's commands that change the heart: File > "Open Heart..." and the
// segmentation mode, whose painted region becomes the fibre layer when it is left.
#include <QMessageBox>
#include <algorithm>
#include <memory>

#include "app/CMainFrame.h"
#include "app/GrowthParameterDlg.h"
#include "app/HeartLoading.h"
#include "app/SegmentationQuestion.h"
#include "app/Singletons.h"
#include "app/StartOptions.h"
#include "interaction/CRuleView.h"
#include "render/HeartDrawing.h"

namespace vantrel {

void CMainFrame::ReportHeartNotLoaded(const HeartLoadOutcome& outcome) {
    const QString message = HeartNotLoadedMessage(outcome);
    ShowError(message);
    QMessageBox::warning(this, "Open Heart", message);
}

void CMainFrame::OpenHeart() {
    // Unsaved edits are offered for saving here, before any question about the heart.

    // The heart loads into a model of its own: a refused file leaves the current heart,
    // its segmentation and the whole scene as they were.
    auto loaded = std::make_unique<HeartModel>();
    const HeartLoadOutcome outcome = AskAndLoadHeart(this, StartOptions(), *loaded);
    if (outcome.kind == HeartLoadOutcome::Kind::kCancelled) return;
    if (outcome.kind == HeartLoadOutcome::Kind::kRefused) return ReportHeartNotLoaded(outcome);
    ReplaceHeart(*loaded);
    ShowStatus(QString("Heart read from %1").arg(outcome.heartPath));
}

void CMainFrame::ReplaceHeart(HeartModel& loaded) {
    HeartModel* heart = TheHeartModel();
    FiberCore* fibers = TheFiberCore();
    if (heart->segmentationMode) {
        heart->segmentationMode = false;
        TheListenerManager()->SwitchToMain();
    }
    animationTimer_.stop();
    fibers->animation = false;
    StopWave();
    heart->SwapHeart(loaded);

    // The start points and curves lay on the old surface and the network grew there:
    // the scene starts again as at start-up.
    fibers->fibers.clear();
    ApplyScene(Scene(), *fibers, ProgramGrowthParameters());
    ProgramPhysiology() = ScenePhysiology();
    sceneBlocks_.reset();
    if (GrowthParameterDlg* dialog = ParameterDialog())
        dialog->ShowParameters(ProgramGrowthParameters());

    ViewCore& views = *TheViewCore();
    views.mainRenderer.InvalidateHeart();
    views.mainRenderer.InvalidateFibers();
    views.mainRenderer.Activation().strokeTimes.clear();
    FrameScenes();
    views.mainRenderer.RenderPickBuffer(views.mainGL, *heart, *fibers);
    TheRuleLayout()->RedrawRulePick(views.ruleGL);
    views.RedrawRuleView();
    UpdateConduction();
    RedrawMainView();
}

void CMainFrame::ToggleSegmentationMode() {
    HeartModel* heart = TheHeartModel();
    HeartRenderer& renderer = TheViewCore()->mainRenderer;
    std::vector<std::int32_t>& ids = heart->regionIds;
    if (!heart->segmentationMode) {
        idsOfFibreLayer_ = ids;
        const long marked =
            std::count_if(ids.begin(), ids.end(), [](std::int32_t id) { return id; });
        if (marked > 0 && AskAboutSegmentation(this, marked) == SegmentationAnswer::kClear)
            std::fill(ids.begin(), ids.end(), 0);
        heart->segmentationMode = true;
        TheListenerManager()->SwitchToSegmentation();
    } else {
        heart->segmentationMode = false;
        TheListenerManager()->SwitchToMain();
        // The painted region becomes the fibre layer now: start points, curves and the
        // next growth use it without a restart. Unchanged ids keep the layer they built.
        if (ids != idsOfFibreLayer_) {
            heart->RebuildFibreLayer();
            ShowStatus(
                QString("Fibre layer rebuilt: %1 cells").arg(heart->volume.LayerVoxelCount()));
        }
        idsOfFibreLayer_.clear();
    }
    renderer.InvalidateRegions();
    RedrawMainView();
}

}  // namespace vantrel
