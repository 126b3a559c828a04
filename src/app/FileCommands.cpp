// The frame's commands that read or write files, the document commands and the
// about box.
#include <QFileInfo>
#include <QImage>
#include <QSaveFile>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "app/CAboutDlg.h"
#include "app/CMainFrame.h"
#include "app/CVantrelView.h"
#include "app/FileDialogs.h"
#include "app/FileNames.h"
#include "app/GrowthParameterDlg.h"
#include "app/Singletons.h"
#include "conduction/ConductionGraph.h"
#include "geometry/ConsoleLog.h"
#include "geometry/SafeFileWriter.h"
#include "growth/CentrelineExport.h"
#include "growth/SceneFile.h"
#include "heart/SegmentationFile.h"
#include "interaction/CRuleView.h"
#include "render/HeartDrawing.h"

namespace vantrel {
namespace {

// The blocked strokes of the network by their index in the conduction graph's order.
std::vector<int> BlockedStrokeIndices(const FiberCore& fibers) {
    std::vector<int> blocked;
    const std::vector<const Stroke*> strokes = StrokesInGraphOrder(fibers);
    for (std::size_t i = 0; i < strokes.size(); ++i) {
        if (strokes[i]->blocked) blocked.push_back(static_cast<int>(i));
    }
    return blocked;
}

// Writes `path` through `write` with the safe writer; reports a file that cannot be
// made or written on the console and returns false (the previous file is then kept).
bool WriteTextFile(const std::string& path, const std::function<bool(std::FILE*)>& write) {
    const FileWriteResult result = WriteFileSafely(path, write);
    if (result == FileWriteResult::kCannotOpen)
        ConsoleLog("cannot open %s for writing\n", path.c_str());
    if (result == FileWriteResult::kCannotWrite) ConsoleLog("cannot write %s\n", path.c_str());
    return result == FileWriteResult::kWritten;
}

}  // namespace

void CMainFrame::ShowWriteResult(bool written, const QString& what, const std::string& path) {
    const QString shown = QString::fromStdString(path);
    if (written) {
        ShowStatus(QString("%1 written to %2").arg(what, shown));
    } else {
        ShowError(QString("Could not write %1").arg(shown));
    }
}

void CMainFrame::ExportSegmentation() {
    ConsoleLog("system save the segemntationfile _segmentation.kxseg_");
    const QString chosen =
        ChooseFileToSave(this, "Export Current Segmentation", "segmentation data (*.kxseg)");
    if (chosen.isEmpty()) return;
    // Written where the user chose, with ".kxseg" appended unless it is the extension.
    const std::string path = SegmentationExportPath(chosen.toStdString());
    ShowWriteResult(WriteSegmentationFile(path, TheHeartModel()->regionIds), "Segmentation", path);
}

void CMainFrame::ExportFibers() {
    const QString chosen =
        ChooseFileToSave(this, "export current fibers (.obj)", "heart mesh model (*.obj)");
    if (chosen.isEmpty()) return;
    const std::string path = PathWithExtension(chosen.toStdString(), "obj");
    const FiberCore* fibers = TheFiberCore();
    const HeartNormalisation* frame = FibreExportFrame();
    const bool written = WriteTextFile(
        path, [fibers, frame](std::FILE* file) { return fibers->ExportFibersObj(file, frame); });
    ShowWriteResult(written, "Fibres", path);
}

void CMainFrame::ExportCentrelines() {
    const QString chosen =
        ChooseFileToSave(this, "export fiber centrelines (.vtk)", "VTK centrelines (*.vtk)");
    if (chosen.isEmpty()) return;
    const std::string path = PathWithExtension(chosen.toStdString(), "vtk");
    const FiberCore* fibers = TheFiberCore();
    const HeartNormalisation* frame = FibreExportFrame();
    const bool written = WriteTextFile(path, [fibers, frame](std::FILE* file) {
        return ExportCentrelinesVtk(*fibers, file, frame);
    });
    ShowWriteResult(written, "Centrelines", path);
}

const HeartNormalisation* CMainFrame::FibreExportFrame() const {
    return exportInHeartFrame_ ? &TheHeartModel()->normalisation : nullptr;
}

void CMainFrame::SaveViewImage() {
    const QString chosen = ChooseFileToSave(this, "Save View Image", "PNG image (*.png)");
    if (chosen.isEmpty()) return;
    const QString path = QString::fromStdString(PathWithExtension(chosen.toStdString(), "png"));
    // The view as drawn, legend included, in device pixels; the file replaces an
    // earlier one only once it is complete.
    const QImage image = mainView_->grabFramebuffer();
    QSaveFile file(path);
    const bool written = !image.isNull() && file.open(QIODevice::WriteOnly) &&
                         image.save(&file, "PNG") && file.commit();
    if (!written) ConsoleLog("cannot write %s\n", path.toStdString().c_str());
    ShowWriteResult(written, "View image", path.toStdString());
}

void CMainFrame::SaveScene() {
    const QString chosen = ChooseFileToSave(this, "Save Scene", "scene file (*.json)");
    if (chosen.isEmpty()) return;
    const std::string path = PathWithExtension(chosen.toStdString(), "json");
    std::string error;
    Scene scene = CaptureScene(*TheFiberCore(), ProgramGrowthParameters());
    scene.physiology = ProgramPhysiology();
    scene.physiology.settings.rootDelays.clear();
    // Blocks of an opened scene not grown yet are still the scene's.
    scene.blockedStrokes = sceneBlocks_ ? *sceneBlocks_ : BlockedStrokeIndices(*TheFiberCore());
    if (WriteSceneFile(path, scene, error)) {
        ShowStatus(QString("Scene written to %1").arg(QString::fromStdString(path)));
    } else {
        ConsoleLog("Save Scene: %s\n", error.c_str());
        ShowError(QString("Could not save the scene: %1").arg(QString::fromStdString(error)));
    }
}

void CMainFrame::OpenScene() {
    const QString chosen = ChooseFileToOpen(this, "Open Scene", "scene file (*.json)");
    if (chosen.isEmpty()) return;
    Scene scene;
    SceneFileError error;
    if (!ReadSceneFile(chosen.toStdString(), scene, error)) {
        ConsoleLog("Open Scene: %s: %s\n", chosen.toStdString().c_str(), error.Describe().c_str());
        ShowError(
            QString("Could not open the scene: %1").arg(QString::fromStdString(error.Describe())));
        return;
    }
    ApplyScene(scene, *TheFiberCore(), ProgramGrowthParameters());
    ProgramPhysiology() = scene.physiology;
    // The blocked strokes name strokes of the network the scene grows: the next
    // growth blocks them (as vantrel-grow does after its last run).
    sceneBlocks_ = scene.blockedStrokes;
    // The sliders follow the scene's parameters without writing them back.
    if (GrowthParameterDlg* dialog = ParameterDialog())
        dialog->ShowParameters(ProgramGrowthParameters());
    ViewCore& views = *TheViewCore();
    TheRuleLayout()->RedrawRulePick(views.ruleGL);
    views.mainRenderer.RenderPickBuffer(views.mainGL, *TheHeartModel(), *TheFiberCore());
    views.RedrawRuleView();
    TheViewCore()->mainRenderer.InvalidateFibers();
    UpdateConduction();
    views.RedrawMainView();
    ShowStatus(QString("Scene read from %1").arg(chosen));
}

void CMainFrame::NewDocument() {
    documentPath_.clear();
    SetDocumentName("Untitled");
}

void CMainFrame::OpenDocument() {
    const QString chosen = ChooseFileToOpen(this, "Open", "Vantrel Files (*.kx)");
    if (chosen.isEmpty()) return;
    // The document carries nothing: opening one only names it.
    documentPath_ = chosen;
    SetDocumentName(QFileInfo(chosen).fileName());
}

void CMainFrame::SaveDocument() {
    QString path = documentPath_;
    if (path.isEmpty()) {
        const QString chosen = ChooseFileToSave(this, "Save As", "Vantrel Files (*.kx)");
        if (chosen.isEmpty()) return;
        path = QString::fromStdString(PathWithExtension(chosen.toStdString(), "kx"));
    }
    // The document is empty; saving it makes the file, replacing any earlier one only
    // once the new one is complete.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        ConsoleLog("cannot open %s for writing\n", path.toStdString().c_str());
        ShowError(QString("Could not write %1").arg(path));
        return;
    }
    if (!file.commit()) {
        ConsoleLog("cannot write %s\n", path.toStdString().c_str());
        ShowError(QString("Could not write %1").arg(path));
        return;
    }
    documentPath_ = path;
    SetDocumentName(QFileInfo(path).fileName());
}

void CMainFrame::ShowAbout() {
    CAboutDlg about(this);
    about.exec();
}

}  // namespace vantrel
