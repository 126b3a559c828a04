#include "app/CVantrelApp.h"

#include <QFileInfo>
#include <QSplitter>
#include <clocale>

#include "app/CMainFrame.h"
#include "app/ConsoleDock.h"
#include "app/FileDialogs.h"
#include "app/HeartSource.h"
#include "app/Singletons.h"
#include "app/WindowSettings.h"
#include "geometry/ConsoleLog.h"
#include "render/HeartDrawing.h"

namespace vantrel {

CVantrelApp::CVantrelApp() = default;

CVantrelApp::~CVantrelApp() {
    if (!exited_) Exit(0);
}

void CVantrelApp::LoadHeart(const StartOptions& options) {
    HeartModel* heart = TheHeartModel();
    std::string heartPath;
    bool capOpenValves = options.capHoles;
    if (options.heartPath) {
        heartPath = *options.heartPath;
    } else {
        heartPath = ChooseFileToOpen(nullptr, "Open heart mesh",
                                     "heart mesh model (*.obj *.stl *.ply *.off *.vtk)",
                                     "Cap open valves", capOpenValves)
                        .toStdString();
    }
    // A cancelled heart dialog leaves the model empty; everything still works on it.
    if (heartPath.empty()) return;

    SegmentationChoice segmentation = SegmentationChoice::None();
    if (options.segmentationPath) {
        segmentation = SegmentationChoice::File(*options.segmentationPath);
    } else if (!options.noSegmentation) {
        const QString chosen =
            ChooseFileToOpen(nullptr, "Open segmentation", "segmentation data (*.kxseg)");
        if (!chosen.isEmpty()) segmentation = SegmentationChoice::File(chosen.toStdString());
    }
    if (heart->LoadHeart(heartPath, segmentation,
                         capOpenValves ? ValveCapping::kCap : ValveCapping::kLeaveOpen))
        RememberLoadedHeart(heartPath, capOpenValves);
    TheViewCore()->mainRenderer.InvalidateHeart();
}

bool CVantrelApp::Start(const StartOptions& options) {
    // QApplication has set the C library's locale from the environment; every
    // number the program reads and writes uses a decimal point.
    std::setlocale(LC_NUMERIC, "C");
    CaptureConsole();
    ConsoleLog("start\n");

    LoadHeart(options);

    frame_ = std::make_unique<CMainFrame>();
    if (options.documentPath) {
        const QString document = QString::fromStdString(*options.documentPath);
        frame_->SetDocumentPath(document);
        frame_->SetDocumentName(QFileInfo(document).fileName());
    }
    ShowFrameAsLastTime(*frame_);

    TheHeartModel();
    TheRuleLayout();
    TheFiberCore();
    TheMLforRuleWindow();
    TheMLforMainWindow();
    TheListenerManager();
    ViewCore* views = TheViewCore();

    TheRuleLayout()->RedrawRulePick(views->ruleGL);
    views->mainRenderer.RenderPickBuffer(views->mainGL, *TheHeartModel(), *TheFiberCore());
    return true;
}

int CVantrelApp::Exit(int exitCode) {
    if (exited_) return exitCode;
    exited_ = true;
    if (frame_) KeepFrameLayout(*frame_);
    frame_.reset();
    ReleaseConsole();
    DeleteSingletons();
    return exitCode;
}

}  // namespace vantrel
