#pragma once
// The ids of the program's commands (menu items, toolbar buttons, accelerators).
namespace vantrel::command {

constexpr int kWireFrameForFiber = 32772;
constexpr int kPolygonForFiber = 32775;
constexpr int kVolumeField = 32781;
constexpr int kTargetObjectFrame = 32782;
constexpr int kTargetObjectPolygon = 32789;
constexpr int kSegmentationMode = 32790;
constexpr int kExportSegmentation = 32791;
constexpr int kGoGrowth = 32794;
constexpr int kAddLateral = 32806;
constexpr int kRemoveLateral = 32807;
constexpr int kAnimation1 = 32808;
constexpr int kShowParameterDlg = 32810;
constexpr int kFitRotation = 32811;
constexpr int kShuffleGrowthApexOrder = 32812;
constexpr int kInitAllStrokes = 32813;
constexpr int kCreateTreeStructure = 32814;
constexpr int kOuterFrame = 32816;
constexpr int kFitOffsetFromTargetPolygon = 32817;
constexpr int kTargetObjectTransparent = 32818;
constexpr int kNoEffect = 32820;
constexpr int kDrawFeatures = 32821;
constexpr int kPlaceStartPoint = 32826;
constexpr int kExportFibers = 32827;
// Commands of this program beyond the original set.
constexpr int kExportCentrelines = 32830;
constexpr int kSaveScene = 32831;
constexpr int kOpenScene = 32832;
// Activation: the map, the ms-wave, the physiology settings and the simulator exports.
constexpr int kActivationMap = 32840;
constexpr int kAnimation2 = 32841;
constexpr int kWaveFaster = 32842;
constexpr int kWaveSlower = 32843;
constexpr int kPhysiologyDlg = 32844;
constexpr int kExportNetworkVtk = 32845;
constexpr int kExportPmjCsv = 32846;
constexpr int kExportEndocardiumVtk = 32847;
constexpr int kExportOpenCarp = 32848;
constexpr int kExportMonoAlg3d = 32849;
constexpr int kExportSummary = 32850;
constexpr int kExportInHeartFrame = 32851;
constexpr int kSaveViewImage = 32852;
// View steering and live growth.
constexpr int kFitHeart = 32860;
constexpr int kFitRules = 32861;
constexpr int kShowConsole = 32862;
constexpr int kShowRulePane = 32863;
constexpr int kAutoGrowth = 32864;
// Another heart without restarting.
constexpr int kOpenHeart = 32870;
// Standard commands.
constexpr int kNewDocument = 57600;
constexpr int kOpenDocument = 57601;
constexpr int kSaveDocument = 57603;
constexpr int kCopy = 57634;
constexpr int kCut = 57635;
constexpr int kPaste = 57637;
constexpr int kUndo = 57643;
constexpr int kAbout = 57664;
constexpr int kExit = 57665;
constexpr int kNextPane = 57680;
constexpr int kPreviousPane = 57681;
constexpr int kToolbar = 59392;
constexpr int kStatusBar = 59393;

}  // namespace vantrel::command
