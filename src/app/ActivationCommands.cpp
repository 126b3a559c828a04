// The frame's activation commands: the Activation Map, the ms-wave (Animation2), the
// physiology dialog and the simulator exports, and the conduction run they share.
#include <QStatusBar>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <utility>

#include "app/CMainFrame.h"
#include "app/CommandIds.h"
#include "app/PhysiologyDlg.h"
#include "app/Singletons.h"
#include "geometry/ConsoleLog.h"
#include "render/ActivationDisplay.h"

namespace vantrel {
namespace {

constexpr int kWaveIntervalMs = 15;
// Screen time of one whole sweep at speed 1.
constexpr double kWaveScreenMs = 3000.0;

ActivationDisplay& MainActivation() {
    return TheViewCore()->mainRenderer.Activation();
}

QString Milliseconds(double ms) {
    return std::isfinite(ms) ? QString::number(ms, 'f', 1) + " ms" : QString("not reached");
}

}  // namespace

void CMainFrame::BuildActivationCommands() {
    using namespace command;
    CommandTable& c = commands_;
    c.Add(
        kActivationMap, "Activation Map", [this] { ToggleActivationMap(); },
        [] { return MainActivation().enabled; }, "Activation");
    c.Add(
        kAnimation2, "Animation2 (ms)", [this] { ToggleWave(); },
        [this] { return waveTimer_.isActive(); });
    c.Add(kWaveFaster, "Animation2 faster (x2)", [this] { ChangeWaveSpeed(2.0); });
    c.Add(kWaveSlower, "Animation2 slower (/2)", [this] { ChangeWaveSpeed(0.5); });
    c.Add(kPhysiologyDlg, "Physiology...", [this] { ShowPhysiologyDialog(); });
    BuildExportCommands();
    waveTimer_.setInterval(kWaveIntervalMs);
    connect(&waveTimer_, &QTimer::timeout, this, [this] { WaveTick(); });
    // A block toggle in the main view changes no stroke but its block.
    TheViewCore()->strokeHovered = [this](const Stroke* stroke) { ShowHoveredStroke(stroke); };
    TheViewCore()->networkEdited = [this] {
        UpdateConduction(QString(), ConductionChange::kBlocksOrPhysiology);
    };
}

void CMainFrame::UpdateConduction(const QString& prefix, ConductionChange change) {
    StopWave();
    hoveredStroke_ = nullptr;
    const HeartModel* heart = TheHeartModel();
    const FiberCore* fibers = TheFiberCore();
    if (heart->mesh.polygons.empty() || heart->fileMesh.polygons.empty()) {
        if (!prefix.isEmpty()) ShowStatus(prefix);
        return;
    }
    ScenePhysiology& physiology = ProgramPhysiology();
    physiology.settings.rootDelays =
        FibreRootDelays(physiology.rootDelays, fibers->startPoints.size());
    const auto start = std::chrono::steady_clock::now();
    // The graph is most of a run's time; blocks and settings leave it as it is.
    size_t strokes = 0;
    for (const Fiber& fiber : fibers->fibers) strokes += fiber.strokes.size();
    const bool keepGraph = change == ConductionChange::kBlocksOrPhysiology &&
                           conduction_.graph.strokes.size() == strokes;
    conduction_ = keepGraph ? RerunConduction(*fibers, *heart, physiology.settings,
                                              std::move(conduction_.graph))
                            : RunConduction(*fibers, *heart, physiology.settings);
    FillActivationDisplay(*fibers, *heart, conduction_, MainActivation());
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();

    const QString line = QString("Network %1 %2, %3 PMJs, endocardium total %4, 90th percentile %5")
                             .arg(conduction_.graph.TotalLength(), 0, 'f', 2)
                             .arg(LengthUnitName(physiology.settings.meshUnit))
                             .arg(conduction_.junctions.size())
                             .arg(Milliseconds(conduction_.endocardium.total))
                             .arg(Milliseconds(conduction_.endocardium.percentile90));
    ShowStatus(prefix.isEmpty() ? line : prefix + "; " + line);
    ConsoleLog("%s (computed in %.1f ms)\n", line.toStdString().c_str(), ms);
}

void CMainFrame::ShowHoveredStroke(const Stroke* stroke) {
    if (stroke == hoveredStroke_) return;
    hoveredStroke_ = stroke;
    if (!stroke) return;
    // The number is the stroke's index in the exports and the scene's blockedStrokes.
    const std::vector<const Stroke*> order = StrokesInGraphOrder(*TheFiberCore());
    const auto found = std::find(order.begin(), order.end(), stroke);
    const QString time = stroke->blocked
                             ? QString("blocked")
                             : "activated at " + Milliseconds(MainActivation().StrokeTime(stroke));
    ShowStatus(QString("Stroke %1: %2").arg(found - order.begin()).arg(time));
}

void CMainFrame::ToggleActivationMap() {
    ActivationDisplay& display = MainActivation();
    display.enabled = !display.enabled;
    if (!display.enabled) StopWave();
    if (display.enabled && display.strokeTimes.empty() && display.vertexTimes.empty())
        UpdateConduction();
    ScheduleMainRepaint();
}

double CMainFrame::WaveStep() const {
    return MainActivation().maxTime * kWaveIntervalMs / kWaveScreenMs * waveSpeed_;
}

double CMainFrame::WaveCursor() const {
    return MainActivation().cursor;
}

void CMainFrame::SetWaveCursor(double ms) {
    ActivationDisplay& display = MainActivation();
    display.enabled = true;
    display.cursor = std::clamp(ms, 0.0, display.maxTime);
    ShowStatus(QString("Activation wave at %1 of %2")
                   .arg(Milliseconds(display.cursor))
                   .arg(Milliseconds(display.maxTime)));
    RedrawMainView();
}

void CMainFrame::ToggleWave() {
    if (waveTimer_.isActive()) {
        StopWave();
        RedrawMainView();
        return;
    }
    ActivationDisplay& display = MainActivation();
    if (display.strokeTimes.empty() && display.vertexTimes.empty()) UpdateConduction();
    if (!(display.maxTime > 0.0)) {
        ShowStatus("Animation2: nothing is activated (grow a network first)");
        return;
    }
    SetWaveCursor(0.0);
    waveTimer_.start();
}

void CMainFrame::WaveTick() {
    const ActivationDisplay& display = MainActivation();
    const double next = display.cursor + WaveStep();
    if (next >= display.maxTime) {
        waveTimer_.stop();
        commands_.RefreshChecks();
    }
    SetWaveCursor(next);
}

void CMainFrame::StopWave() {
    waveTimer_.stop();
    MainActivation().cursor = ActivationDisplay::NotShown();
    commands_.RefreshChecks();
}

void CMainFrame::ChangeWaveSpeed(double factor) {
    waveSpeed_ = std::clamp(waveSpeed_ * factor, 1.0 / 64.0, 64.0);
    ShowStatus(QString("Animation2: the whole activation in %1 s")
                   .arg(kWaveScreenMs / 1000.0 / waveSpeed_, 0, 'g', 3));
}

}  // namespace vantrel

namespace vantrel {

void CMainFrame::ShowPhysiologyDialog() {
    ScenePhysiology& physiology = ProgramPhysiology();
    PhysiologyDlg dialog(physiology.settings, this);
    if (dialog.exec() != QDialog::Accepted) return;
    physiology.settings = dialog.Settings();
    UpdateConduction(QString(), ConductionChange::kBlocksOrPhysiology);
    RedrawMainView();
}

}  // namespace vantrel
