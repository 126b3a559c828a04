#include "app/CVantrelApp.h"

#include <QFileInfo>
#include <QSplitter>
#include <clocale>

#include "app/CMainFrame.h"
#include "app/ConsoleDock.h"
#include "app/HeartLoading.h"
#include "app/Singletons.h"
#include "app/WindowSettings.h"
#include "geometry/ConsoleLog.h"
#include "render/HeartDrawing.h"

namespace vantrel {

CVantrelApp::CVantrelApp() = default;

CVantrelApp::~CVantrelApp() {
    if (!exited_) Exit(0);
}

bool CVantrelApp::Start(const StartOptions& options) {
    // QApplication has set the C library's locale from the environment; every
    // number the program reads and writes uses a decimal point.
    std::setlocale(LC_NUMERIC, "C");
    CaptureConsole();
    ConsoleLog("start\n");

    // No window exists yet: the heart questions have no parent.
    const HeartLoadOutcome heart = AskAndLoadHeart(nullptr, options, *TheHeartModel());
    TheViewCore()->mainRenderer.InvalidateHeart();

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
    // Without a heart the program still runs, so that the user can open another.
    if (heart.kind != HeartLoadOutcome::Kind::kLoaded) frame_->ReportHeartNotLoaded(heart);
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
