#include "app/CommandHelp.h"

#include <QKeySequence>

#include "app/CommandIds.h"
#include "app/CommandTable.h"

namespace vantrel {
namespace {

struct CommandHelp {
    int id;
    const char* tip;
    QKeySequence key;
};

const CommandHelp kHelp[] = {
    {command::kExportFibers, "Write the grown fibres as tubes into an OBJ mesh file", {}},
    {command::kExportCentrelines, "Write the fibres' centrelines into a VTK polydata file", {}},
    {command::kOpenScene, "Open a scene: start points, curves, rules and parameters",
     QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O)},
    {command::kSaveScene, "Save start points, curves, rules and parameters as a scene",
     QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
    {command::kOpenHeart, "Open another heart mesh and its segmentation, with an empty scene", {}},
    {command::kExit, "Quit the program", {}},
    {command::kSegmentationMode,
     "Paint where fibres may grow; switching it off rebuilds the fibre layer",
     QKeySequence(Qt::Key_M)},
    {command::kExportSegmentation, "Write the marked region into a segmentation file", {}},
    {command::kToolbar, "Show or hide the toolbar", {}},
    {command::kStatusBar, "Show or hide the status bar", {}},
    {command::kOuterFrame, "Show or hide the outer frame", {}},
    {command::kFitHeart, "Frame the whole heart in the main view", {}},
    {command::kFitRules, "Frame both rules in the rule window", {}},
    {command::kShowConsole, "Show or hide the console of progress lines", {}},
    {command::kShowRulePane, "Show or hide the rule window", {}},
    {command::kAbout, "Program name and version", {}},
    {command::kWireFrameForFiber, "Draw the fibres as lines (switches with Polygon)",
     QKeySequence(Qt::Key_1)},
    {command::kPolygonForFiber, "Draw the fibres as tubes (switches with Line)",
     QKeySequence(Qt::Key_2)},
    {command::kVolumeField, "Show or hide the fibre layer's cells as points",
     QKeySequence(Qt::Key_3)},
    {command::kTargetObjectFrame, "Draw the heart as a wire frame", QKeySequence(Qt::Key_4)},
    {command::kTargetObjectPolygon, "Draw the heart as solid polygons", QKeySequence(Qt::Key_5)},
    {command::kTargetObjectTransparent, "Draw the heart transparent", QKeySequence(Qt::Key_6)},
    {command::kGoGrowth, "Grow the fibre network from the start points and curves",
     QKeySequence(Qt::Key_F5)},
    {command::kAutoGrowth, "Regrow at once after every edit of what grows", {}},
    {command::kFitOffsetFromTargetPolygon, "Growth option: keep fibres at the layer's depth", {}},
    {command::kFitRotation, "No effect (kept for the menu's completeness)", {}},
    {command::kShuffleGrowthApexOrder, "Growth option: shuffle each fibre's growth front", {}},
    {command::kCreateTreeStructure, "Growth option: a fibre that meets another joins it", {}},
    {command::kInitAllStrokes, "Remove all fibres and feature curves (start points stay)", {}},
    {command::kShowParameterDlg, "Show the growth parameter sliders", {}},
    {command::kDrawFeatures, "A left drag on the marked heart sketches a feature curve",
     QKeySequence(Qt::Key_D)},
    {command::kPlaceStartPoint, "A left drag on the marked heart places a start point",
     QKeySequence(Qt::Key_P)},
    {command::kAddLateral, "Give rule 2 one lateral more (its edits are reset)", {}},
    {command::kRemoveLateral, "Give rule 2 one lateral less (its edits are reset)", {}},
    {command::kAnimation1, "Start or stop the excitation wave (Space in the main view)", {}},
    {command::kActivationMap, "Colour the fibres by their activation time", {}},
    {command::kAnimation2, "Sweep a time cursor through the activation times", {}},
    {command::kWaveFaster, "Make the time-cursor sweep twice as fast", {}},
    {command::kWaveSlower, "Make the time-cursor sweep half as fast", {}},
    {command::kPhysiologyDlg, "Set the heart unit, conduction velocities and PMJ delay", {}},
    {command::kExportNetworkVtk, "Write the network with activation times as VTK", {}},
    {command::kExportPmjCsv, "Write the Purkinje-muscle junctions as CSV", {}},
    {command::kExportEndocardiumVtk, "Write the endocardium with activation times as VTK", {}},
    {command::kExportOpenCarp, "Write the network for openCARP", {}},
    {command::kExportMonoAlg3d, "Write the network for MonoAlg3D", {}},
    {command::kExportSummary, "Write the run's figures as JSON", {}},
    {command::kExportInHeartFrame,
     "Write fibres and centrelines in the heart file's coordinates (else the model's box)",
     {}},
    {command::kSaveViewImage, "Write the main view with its legend as a PNG image", {}},
};

}  // namespace

void ApplyCommandHelp(CommandTable& commands) {
    for (const CommandHelp& help : kHelp) {
        QAction* action = commands.Action(help.id);
        if (!action) continue;
        action->setToolTip(help.tip);
        action->setStatusTip(help.tip);
        if (!help.key.isEmpty()) {
            QList<QKeySequence> keys = action->shortcuts();
            keys.prepend(help.key);
            action->setShortcuts(keys);
        }
    }
}

}  // namespace vantrel
