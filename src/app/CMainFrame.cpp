#include "app/CMainFrame.h"

#include <QMenu>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <vector>

#include "app/CVantrelView.h"
#include "app/CommandHelp.h"
#include "app/CommandIds.h"
#include "app/ConsoleDock.h"
#include "app/GrowthParameterDlg.h"
#include "app/Singletons.h"
#include "interaction/CRuleView.h"

namespace vantrel {
namespace {

constexpr int kSeparator = 0;

struct MenuEntry {
    const char* title;
    std::vector<int> commands;  // kSeparator between groups
};

const std::vector<MenuEntry>& MenuLayout() {
    using namespace command;
    static const std::vector<MenuEntry> menus = {
        {"&File",
         {kOpenHeart, kSeparator, kExportFibers, kExportCentrelines, kExportInHeartFrame,
          kSeparator, kExportNetworkVtk, kExportPmjCsv, kExportEndocardiumVtk, kExportOpenCarp,
          kExportMonoAlg3d, kExportSummary, kSeparator, kSaveViewImage, kSeparator, kOpenScene,
          kSaveScene, kSeparator, kExit}},
        {"Segmentation", {kSegmentationMode, kExportSegmentation}},
        {"&View",
         {kToolbar, kStatusBar, kOuterFrame, kSeparator, kFitHeart, kFitRules, kSeparator,
          kShowConsole, kShowRulePane}},
        {"&Help", {kAbout}},
        {"Rendering Mode",
         {kWireFrameForFiber, kPolygonForFiber, kSeparator, kVolumeField, kTargetObjectFrame,
          kTargetObjectPolygon, kTargetObjectTransparent, kSeparator, kActivationMap}},
        {"Growth",
         {kGoGrowth, kAutoGrowth, kSeparator, kFitOffsetFromTargetPolygon, kFitRotation,
          kShuffleGrowthApexOrder, kCreateTreeStructure, kSeparator, kInitAllStrokes, kSeparator,
          kShowParameterDlg, kPhysiologyDlg, kSeparator, kDrawFeatures, kPlaceStartPoint}},
        {"RewritingRule", {kAddLateral, kRemoveLateral}},
        {"Animation", {kAnimation1, kAnimation2, kWaveFaster, kWaveSlower}},
    };
    return menus;
}

const std::vector<int>& ToolBarLayout() {
    using namespace command;
    static const std::vector<int> buttons = {
        kPolygonForFiber,     kWireFrameForFiber, kSeparator,    kTargetObjectFrame,
        kTargetObjectPolygon, kVolumeField,       kSeparator,    kGoGrowth,
        kSeparator,           kPlaceStartPoint,   kDrawFeatures, kSeparator,
        kActivationMap};
    return buttons;
}

}  // namespace

CMainFrame::CMainFrame() : commands_(this) {
    setObjectName("MainFrame");
    BuildCommands();
    BuildMenus();
    BuildToolBar();
    BuildStatusBar();
    BuildClientArea();
    FrameScenes();
    BindViewKeys();
    console_ = new ConsoleDock(this);
    addDockWidget(Qt::BottomDockWidgetArea, console_);
    WatchEditsForAutoGrowth();
    ApplyCommandHelp(commands_);
    SetDocumentName("Untitled");
    // The shortest interval worth asking for: a zero-interval timer would starve
    // the event loop.
    animationTimer_.setInterval(15);
    connect(&animationTimer_, &QTimer::timeout, this, [this] { AnimationTick(); });
    TheViewCore()->mainFrame = this;
    // The parameter dialog is a window of the frame: it closes with it, and it does not
    // keep the program running once the frame is closed.
    if (QWidget* dialog = TheViewCore()->parameterDialog) dialog->setParent(this, Qt::Dialog);
}

CMainFrame::~CMainFrame() {
    animationTimer_.stop();
    waveTimer_.stop();
    TheViewCore()->networkEdited = nullptr;
    TheViewCore()->strokeHovered = nullptr;
}

void CMainFrame::BuildCommands() {
    using namespace command;
    HeartModel* heart = TheHeartModel();
    FiberCore* fibers = TheFiberCore();
    GrowthParameters* parameters = &ProgramGrowthParameters();
    CommandTable& c = commands_;

    c.Add(kExportFibers, "export current fibers (.obj)", [this] { ExportFibers(); });
    c.Add(kExportCentrelines, "export fiber centrelines (.vtk)", [this] { ExportCentrelines(); });
    c.Add(
        kExportInHeartFrame, "Fibres and Centrelines in Heart Frame",
        [this] { exportInHeartFrame_ = !exportInHeartFrame_; },
        [this] { return exportInHeartFrame_; });
    c.Add(kSaveViewImage, "Save View Image...", [this] { SaveViewImage(); });
    c.Add(kOpenScene, "Open Scene...", [this] { OpenScene(); });
    c.Add(kSaveScene, "Save Scene...", [this] { SaveScene(); });
    c.Add(kOpenHeart, "Open Heart...", [this] { OpenHeart(); });
    c.Add(kExit, "E&xit", [this] { close(); });

    c.Add(
        kSegmentationMode, "SegmentationMode", [this] { ToggleSegmentationMode(); },
        [heart] { return heart->segmentationMode; });
    c.Add(kExportSegmentation, "Export Current Segmentation", [this] { ExportSegmentation(); });

    c.Add(
        kToolbar, "&Toolbar", [this] { toolBar_->setVisible(toolBar_->isHidden()); },
        [this] { return toolBar_ && !toolBar_->isHidden(); });
    c.Add(
        kStatusBar, "&Status Bar", [this] { statusBar()->setVisible(statusBar()->isHidden()); },
        [this] { return !statusBar()->isHidden(); });
    c.Add(
        kOuterFrame, "Outer Frame", [heart] { heart->outerFrame = !heart->outerFrame; },
        [heart] { return heart->outerFrame; });

    c.Add(kAbout, "&About Vantrel...", [this] { ShowAbout(); });
    BuildViewCommands();
    AddAutoGrowthCommand();

    c.Add(
        kWireFrameForFiber, "Wire Frame  for Fiber", [this] { ToggleFiberMode(); },
        [heart] { return !heart->fiberAsPolygon; }, "Line");
    c.Add(
        kPolygonForFiber, "Polygon      for Fiber", [this] { ToggleFiberMode(); },
        [heart] { return heart->fiberAsPolygon; }, "Polygon");
    c.Add(
        kVolumeField, "Volume Field", [this] { ToggleVolumeField(); },
        [heart] { return heart->showVolumeField; }, "Volume");
    c.Add(
        kTargetObjectFrame, "Target Object Frame", [this] { ToggleTargetFrame(); },
        [heart] { return heart->targetFrame; }, "obj Frame obj");
    c.Add(
        kTargetObjectPolygon, "Target Object Polygon", [this] { ToggleTargetPolygon(); },
        [heart] { return heart->targetPolygon; }, "obj Poly");
    c.Add(
        kTargetObjectTransparent, "Target Object Transparent",
        [this] { ToggleTargetTransparent(); }, [heart] { return heart->targetTransparent; });

    c.Add(
        kGoGrowth, "Go Growth", [this] { GoGrowth(); }, {}, "Growth");
    c.Add(
        kFitOffsetFromTargetPolygon, "Fit Offset From targetPolygon",
        [parameters] {
            parameters->FitOffsetFromTargetPolygon = !parameters->FitOffsetFromTargetPolygon;
        },
        [parameters] { return parameters->FitOffsetFromTargetPolygon; });
    c.Add(kFitRotation, "Fit Rotation", [] {});
    c.Add(
        kShuffleGrowthApexOrder, "Shuffle Growth Apex order",
        [parameters] { parameters->ShuffleGrowthApexOrder = !parameters->ShuffleGrowthApexOrder; },
        [parameters] { return parameters->ShuffleGrowthApexOrder; });
    c.Add(
        kCreateTreeStructure, "Create Tree Structure",
        [parameters] { parameters->CreateTreeStructure = !parameters->CreateTreeStructure; },
        [parameters] { return parameters->CreateTreeStructure; });
    c.Add(kInitAllStrokes, "Init All Strokes", [this] { InitAllStrokes(); });
    c.Add(kShowParameterDlg, "Show Parameter dlg", [this] { ShowParameterDialog(); });
    c.Add(
        kDrawFeatures, "Draw Features", [fibers] { fibers->placeStartPoint = false; },
        [fibers] { return !fibers->placeStartPoint; }, "Stroke");
    c.Add(
        kPlaceStartPoint, "Place Start Point", [fibers] { fibers->placeStartPoint = true; },
        [fibers] { return fibers->placeStartPoint; }, "Position");

    c.Add(kAddLateral, "add lateral to rule2", [this] { ChangeLaterals(true); });
    c.Add(kRemoveLateral, "remove lateral to rule 2", [this] { ChangeLaterals(false); });
    c.Add(
        kAnimation1, "Animation1", [this] { ToggleAnimation(); },
        [fibers] { return fibers->animation; });
    c.Add(kNoEffect, "", [] {});
    BuildActivationCommands();

    // Accelerators without a menu entry; undo, cut, copy and paste have no handler
    // and stay disabled.
    c.Add(kNewDocument, "New", [this] { NewDocument(); });
    c.Add(kOpenDocument, "Open...", [this] { OpenDocument(); });
    c.Add(kSaveDocument, "Save", [this] { SaveDocument(); });
    c.Add(kUndo, "Undo", {});
    c.Add(kCut, "Cut", {});
    c.Add(kCopy, "Copy", {});
    c.Add(kPaste, "Paste", {});
    c.Add(kNextPane, "Next Pane", [this] { MoveFocusToOtherPane(); });
    c.Add(kPreviousPane, "Previous Pane", [this] { MoveFocusToOtherPane(); });
    c.SetShortcuts(kNewDocument, {QKeySequence(Qt::CTRL | Qt::Key_N)});
    c.SetShortcuts(kOpenDocument, {QKeySequence(Qt::CTRL | Qt::Key_O)});
    c.SetShortcuts(kSaveDocument, {QKeySequence(Qt::CTRL | Qt::Key_S)});
    c.SetShortcuts(kUndo,
                   {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)});
    c.SetShortcuts(kCut,
                   {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)});
    c.SetShortcuts(kCopy,
                   {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)});
    c.SetShortcuts(kPaste,
                   {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)});
    c.SetShortcuts(kNextPane, {QKeySequence(Qt::Key_F6)});
    c.SetShortcuts(kPreviousPane, {QKeySequence(Qt::SHIFT | Qt::Key_F6)});
    for (int id : {kNewDocument, kOpenDocument, kSaveDocument, kUndo, kCut, kCopy, kPaste,
                   kNextPane, kPreviousPane}) {
        addAction(c.Action(id));
    }
}

void CMainFrame::BuildMenus() {
    for (const MenuEntry& entry : MenuLayout()) {
        QMenu* menu = menuBar()->addMenu(entry.title);
        connect(menu, &QMenu::aboutToShow, this, [this] { commands_.RefreshChecks(); });
        for (int id : entry.commands) {
            if (id == kSeparator) {
                menu->addSeparator();
            } else {
                menu->addAction(commands_.Action(id));
            }
        }
    }
}

void CMainFrame::BuildToolBar() {
    toolBar_ = new QToolBar("Toolbar", this);
    toolBar_->setObjectName("Toolbar");
    toolBar_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    toolBar_->setMovable(true);
    for (int id : ToolBarLayout()) {
        if (id == kSeparator) {
            toolBar_->addSeparator();
        } else {
            toolBar_->addAction(commands_.Action(id));
        }
    }
    addToolBar(Qt::TopToolBarArea, toolBar_);
    commands_.RefreshChecks();
}

void CMainFrame::BuildStatusBar() {
    messagePane_ = new QLabel("Ready");
    statusBar()->addWidget(messagePane_, 1);
    // The lock keys' state cannot be read portably: the indicators are shown greyed.
    for (const char* indicator : {"CAP", "NUM", "SCRL"}) {
        QLabel* label = new QLabel(indicator);
        label->setObjectName(indicator);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setEnabled(false);
        statusBar()->addPermanentWidget(label);
    }
    commands_.RefreshChecks();
}

void CMainFrame::BuildClientArea() {
    splitter_ = new QSplitter(Qt::Horizontal, this);
    ViewCore& views = *TheViewCore();
    ruleView_ = new CRuleView(views, [] { return TheRuleLayout(); });
    ruleView_->SetListenerSource([] { return TheListenerManager()->ruleListener; });
    mainView_ = new CVantrelView;
    splitter_->addWidget(ruleView_);
    splitter_->addWidget(mainView_);
    splitter_->setCollapsible(0, true);
    splitter_->setCollapsible(1, false);
    // A wider window widens the main view; the rule window keeps its width.
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);
    splitter_->setSizes({200, 700});
    setCentralWidget(splitter_);
}

void CMainFrame::SetDocumentName(const QString& name) {
    setWindowTitle(name + " - Vantrel");
}

void CMainFrame::SetDocumentPath(const QString& path) {
    documentPath_ = path;
}

void CMainFrame::ShowStatus(const QString& message) {
    statusBar()->showMessage(message, kNoticeMs);
    statusBar()->repaint();
}

void CMainFrame::ShowError(const QString& message) {
    statusBar()->showMessage(message);
    statusBar()->repaint();
}

void CMainFrame::RedrawMainView() {
    TheViewCore()->RedrawMainView();
}

void CMainFrame::ScheduleMainRepaint() {
    if (mainView_) mainView_->update();
}

GrowthParameterDlg* CMainFrame::ParameterDialog() const {
    return static_cast<GrowthParameterDlg*>(TheViewCore()->parameterDialog.data());
}

}  // namespace vantrel
