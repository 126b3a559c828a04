#pragma once
// The program's one top-level window: menu and toolbar built from the command
// table, a status bar (message pane and greyed CAP, NUM, SCRL indicators), a
// splitter with the rule window (200 px) left and the main view (700 px) right, the
// "Console" dock, and the animation timer. The command handlers act on the
// program's shared objects.
#include <QLabel>
#include <QMainWindow>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/CommandTable.h"
#include "conduction/ConductionRun.h"

class QSplitter;
class QToolBar;

namespace vantrel {

class Stroke;
struct HeartNormalisation;
class CRuleView;
class CVantrelView;
class ConsoleDock;
class GrowthParameterDlg;
class HeartModel;
struct HeartLoadOutcome;

class CMainFrame : public QMainWindow {
public:
    // Creates the frame with its views (which brings the view core into existence)
    // and registers itself as the view core's frame. Not shown yet.
    CMainFrame();
    ~CMainFrame() override;

    CommandTable& Commands() { return commands_; }
    CRuleView* RuleView() const { return ruleView_; }
    CVantrelView* MainView() const { return mainView_; }
    QSplitter* Splitter() const { return splitter_; }
    QToolBar* ToolBar() const { return toolBar_; }
    QLabel* MessagePane() const { return messagePane_; }
    ConsoleDock* Console() const { return console_; }
    const QTimer& AnimationTimer() const { return animationTimer_; }

    // Sets the window title to "NAME - Vantrel" (NAME is "Untitled" for a new document).
    void SetDocumentName(const QString& name);
    // The document's file, empty for a new one.
    const QString& DocumentPath() const { return documentPath_; }
    void SetDocumentPath(const QString& path);

    // Regrowths that Auto Growth has run.
    int AutoGrowthRuns() const { return autoGrowthRuns_; }

    // Shows a message in the status bar and paints it at once (also while a long
    // command runs, which must not process events). A notice gives way to "Ready"
    // after kNoticeMs; an error stays until the next message.
    static constexpr int kNoticeMs = 5000;
    void ShowStatus(const QString& message);
    void ShowError(const QString& message);

    // Says in the status bar and a message box why no heart was loaded
    // (HeartLoading.h); the program goes on with the heart it has.
    void ReportHeartNotLoaded(const HeartLoadOutcome& outcome);

    // What changed since the last conduction run: the network itself (the graph is
    // built anew), or only the strokes' blocks or the physiology (the graph is kept).
    enum class ConductionChange { kNetwork, kBlocksOrPhysiology };
    // Activation (ActivationCommands.cpp). Runs the conduction layer on the current
    // network with the program's physiology, refills the main view's Activation Map
    // and shows the network's figures in the status bar (after `prefix`) and the
    // console. Without a heart only `prefix` is shown.
    void UpdateConduction(const QString& prefix = QString(),
                          ConductionChange change = ConductionChange::kNetwork);
    const ConductionResult& Conduction() const { return conduction_; }
    // The ms-wave's time cursor (ms); setting it repaints and shows it in the status bar.
    void SetWaveCursor(double ms);
    double WaveCursor() const;
    bool WaveRunning() const { return waveTimer_.isActive(); }
    // The cursor's advance per timer tick (ms of activation).
    double WaveStep() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildCommands();
    void BuildMenus();
    void BuildToolBar();
    void BuildStatusBar();
    void BuildClientArea();

    // Repaints now / at the next repaint.
    void RedrawMainView();
    void ScheduleMainRepaint();
    GrowthParameterDlg* ParameterDialog() const;

    // Handlers (MainCommands.cpp).
    void ToggleFiberMode();
    void ToggleVolumeField();
    void ToggleTargetFrame();
    void ToggleTargetPolygon();
    void ToggleTargetTransparent();
    void GoGrowth();
    void InitAllStrokes();
    void ShowParameterDialog();
    void ChangeLaterals(bool add);
    void ToggleAnimation();
    void AnimationTick();
    void MoveFocusToOtherPane();

    // Handlers (ActivationCommands.cpp).
    void BuildActivationCommands();
    void ToggleActivationMap();
    void ToggleWave();
    void WaveTick();
    void StopWave();
    void ChangeWaveSpeed(double factor);
    void ShowPhysiologyDialog();
    // The status bar names the stroke under the mouse and its activation time when
    // the mouse comes onto it.
    void ShowHoveredStroke(const Stroke* stroke);
    void BuildExportCommands();
    void ExportConductionFile(int which);

    // Handlers (ViewCommands.cpp).
    void BuildViewCommands();
    // The heart's box bounds the main view's depth range; both views start framed
    // (once they have a size).
    void FrameScenes();
    // Space starts and stops the animation while the main view has the focus.
    void BindViewKeys();
    void FitHeart();
    void FitRules();
    // Shown: not hidden and not collapsed by the splitter.
    bool RulePaneShown() const;
    void ShowRulePane(bool show);

    // Auto Growth (AutoGrowth.cpp).
    void AddAutoGrowthCommand();
    // Notices edits: after every command, every mouse release in either view and every
    // parameter change.
    void WatchEditsForAutoGrowth();
    void ScheduleAutoGrowth();
    void RegrowIfEdited();
    // The scene that a growth would grow from, as scene-file text.
    std::string GrowthInputs() const;

    // Handlers (HeartCommands.cpp).
    void OpenHeart();
    // Puts the heart of `loaded` in place of the current one, with an empty network and
    // the start-up scene; every cached drawing of the old heart is dropped.
    void ReplaceHeart(HeartModel& loaded);
    void ToggleSegmentationMode();

    // Handlers (FileCommands.cpp).
    // After an export: "<what> written to <path>", or the error "Could not write <path>".
    void ShowWriteResult(bool written, const QString& what, const std::string& path);
    void ExportSegmentation();
    void ExportFibers();
    void ExportCentrelines();
    // The normalised heart's frame, or the heart file's with "Fibres and Centrelines
    // in Heart Frame" checked (as vantrel-grow --frame heart).
    const HeartNormalisation* FibreExportFrame() const;
    void SaveViewImage();
    void SaveScene();
    void OpenScene();
    void NewDocument();
    void OpenDocument();
    void SaveDocument();
    void ShowAbout();

    CommandTable commands_;
    CRuleView* ruleView_ = nullptr;
    CVantrelView* mainView_ = nullptr;
    QSplitter* splitter_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QLabel* messagePane_ = nullptr;
    ConsoleDock* console_ = nullptr;
    QTimer animationTimer_;
    QString documentPath_;
    ConductionResult conduction_;
    QTimer waveTimer_;
    double waveSpeed_ = 1.0;                 // 1: the whole activation in about 3 s
    const Stroke* hoveredStroke_ = nullptr;  // compared only, never followed

    bool exportInHeartFrame_ = false;
    // The opened scene's blocked strokes until the next growth blocks them.
    std::optional<std::vector<int>> sceneBlocks_;
    bool autoGrowth_ = false;
    bool autoGrowthQueued_ = false;
    bool growing_ = false;
    int autoGrowthRuns_ = 0;
    std::string grownInputs_;
    // In segmentation mode: the region ids the fibre layer was built from.
    std::vector<std::int32_t> idsOfFibreLayer_;
};

}  // namespace vantrel
