#include "app/CVantrelApp.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QSplitter>
#include <clocale>

#include "app/CMainFrame.h"
#include "app/ConsoleDock.h"
#include "app/FileDialogs.h"
#include "app/Singletons.h"
#include "geometry/ConsoleLog.h"
#include "render/HeartDrawing.h"

namespace vantrel {

CVantrelApp::CVantrelApp() = default;

CVantrelApp::~CVantrelApp() {
    if (!exited_) Exit(0);
}

namespace {

// The heart question: Qt's own open dialog with a "Cap open valves" check box
// under the file list, ticked when `capOpenValves` is. The chosen path (empty when
// cancelled); `capOpenValves` then holds the box.
std::string AskForHeart(bool& capOpenValves) {
    QFileDialog dialog(nullptr, "Open heart mesh", QString(),
                       "heart mesh model (*.obj *.stl *.ply *.off *.vtk)");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    QCheckBox* capBox = new QCheckBox("Cap open valves", &dialog);
    capBox->setObjectName("capOpenValves");
    capBox->setChecked(capOpenValves);
    capBox->setToolTip(
        "Close each open boundary loop by a fan of triangles; no fibre grows on the caps");
    // Qt's own dialog lays itself out on a grid; the box goes in a row of its own.
    if (QGridLayout* grid = qobject_cast<QGridLayout*>(dialog.layout()))
        grid->addWidget(capBox, grid->rowCount(), 0, 1, grid->columnCount());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    capOpenValves = capBox->isChecked();
    return dialog.selectedFiles().first().toStdString();
}

}  // namespace

void CVantrelApp::LoadHeart(const StartOptions& options) {
    HeartModel* heart = TheHeartModel();
    std::string heartPath;
    bool capOpenValves = options.capHoles;
    if (options.heartPath) {
        heartPath = *options.heartPath;
    } else {
        heartPath = AskForHeart(capOpenValves);
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
    heart->LoadHeart(heartPath, segmentation,
                     capOpenValves ? ValveCapping::kCap : ValveCapping::kLeaveOpen);
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
    // Rule window 200 pixels, main view 700 pixels, console below.
    frame_->resize(900 + frame_->Splitter()->handleWidth(), 760);
    frame_->show();
    frame_->Splitter()->setSizes({200, 700});

    TheHeartModel();
    TheRuleLayout();
    TheFiberCore();
    TheMLforRuleWindow();
    TheMLforMainWindow();
    TheListenerManager();
    ViewCore* views = TheViewCore();

    TheRuleLayout()->RedrawRulePick(views->ruleGL);
    RenderPickBuffer(views->mainGL, *TheHeartModel(), *TheFiberCore());
    return true;
}

int CVantrelApp::Exit(int exitCode) {
    if (exited_) return exitCode;
    exited_ = true;
    frame_.reset();
    ReleaseConsole();
    DeleteSingletons();
    return exitCode;
}

}  // namespace vantrel
