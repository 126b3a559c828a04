// The frame's document commands: New, Open, Save and Save As of the work document,
// and the question before unsaved work would be lost (those commands, Exit and
// closing the window).
#include <QCloseEvent>
#include <QFileInfo>
#include <filesystem>
#include <memory>

#include "app/CMainFrame.h"
#include "app/FileDialogs.h"
#include "app/FileNames.h"
#include "app/GrowthParameterDlg.h"
#include "app/HeartSource.h"
#include "app/Singletons.h"
#include "app/UnsavedWorkQuestion.h"
#include "app/WorkState.h"
#include "geometry/ConsoleLog.h"
#include "render/HeartDrawing.h"

namespace vantrel {
namespace {

const char* const kDocumentFilter = "Vantrel Files (*.kx)";

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return a == b || std::filesystem::equivalent(a, b, error);
}

// Checks that `document` fits the loaded heart; a document of another heart (or of
// the same file with other valve capping, or changed on disk since it was loaded) has
// that heart loaded into `other`, with the document's segmentation. The refusal, or an
// empty string.
QString LoadDocumentHeart(const WorkDocument& document, std::unique_ptr<HeartModel>& other) {
    const HeartSource& loaded = LoadedHeartSource();
    std::size_t polygons = TheHeartModel()->regionIds.size();
    if (!SameFile(document.heartPath, loaded.path) || document.capValves != loaded.capValves ||
        !(document.heart == loaded.fingerprint)) {
        other = std::make_unique<HeartModel>();
        const ValveCapping capping =
            document.capValves ? ValveCapping::kCap : ValveCapping::kLeaveOpen;
        if (!other->LoadHeartMesh(document.heartPath, capping)) {
            other.reset();
            return QString("the heart %1 could not be loaded (see the console)")
                .arg(QString::fromStdString(document.heartPath));
        }
        polygons = other->mesh.polygons.size();
    }
    if (document.regionIds.size() != polygons) {
        other.reset();
        return QString("regionIds: %1 ids for a heart of %2 polygons")
            .arg(document.regionIds.size())
            .arg(polygons);
    }
    if (other) {
        other->regionIds = document.regionIds;
        other->RebuildFibreLayer();
    }
    return QString();
}

}  // namespace

void CMainFrame::SetDocumentName(const QString& name) {
    setWindowTitle(name + "[*] - Vantrel");
}

void CMainFrame::SetDocumentPath(const QString& path) {
    documentPath_ = path;
}

bool CMainFrame::ConfirmDiscardChanges() {
    if (!IsModified()) return true;
    const QString name =
        documentPath_.isEmpty() ? QString("Untitled") : QFileInfo(documentPath_).fileName();
    switch (AskAboutUnsavedWork(this, name)) {
        case UnsavedWorkAnswer::kSave:
            return SaveDocument();
        case UnsavedWorkAnswer::kDiscard:
            return true;
        case UnsavedWorkAnswer::kCancel:
            break;
    }
    return false;
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (ConfirmDiscardChanges()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void CMainFrame::StartUntitledDocument() {
    documentPath_.clear();
    SetDocumentName("Untitled");
    MarkWorkSaved();
}

void CMainFrame::MarkWorkSaved() {
    history_->Reset();
    savedNetwork_ = networkNumber_;
    UpdateModifiedMark();
}

void CMainFrame::ForgetNetwork() {
    lastGrowth_.reset();
    history_->NewNetwork(++networkNumber_);
}

void CMainFrame::ClearNetwork() {
    TheHeartModel()->ResetFieldForGrowth();
    TheFiberCore()->fibers.clear();
    TheViewCore()->mainRenderer.Activation().strokeTimes.clear();
    TheViewCore()->mainRenderer.InvalidateFibers();
    ForgetNetwork();
}

void CMainFrame::ResetWork() {
    // The same heart and segmentation with the start scene and no network.
    StopWave();
    ClearNetwork();
    sceneBlocks_.reset();
    const Scene start;
    ApplyScene(start, *TheFiberCore(), ProgramGrowthParameters());
    ProgramPhysiology() = start.physiology;
    if (GrowthParameterDlg* dialog = ParameterDialog())
        dialog->ShowParameters(ProgramGrowthParameters());
    RefreshAfterWorkChange();
}

void CMainFrame::NewDocument() {
    if (!ConfirmDiscardChanges()) return;
    ResetWork();
    StartUntitledDocument();
}

void CMainFrame::OpenDocument() {
    if (!ConfirmDiscardChanges()) return;
    const QString chosen = ChooseFileToOpen(this, "Open", kDocumentFilter);
    if (chosen.isEmpty()) return;
    WorkDocument document;
    WorkDocumentError error;
    const WorkDocumentRead read = ReadWorkDocument(chosen.toStdString(), document, error);
    QString refusal;
    if (read == WorkDocumentRead::kRefused) refusal = QString::fromStdString(error.Describe());
    std::unique_ptr<HeartModel> otherHeart;
    if (read == WorkDocumentRead::kRead) refusal = LoadDocumentHeart(document, otherHeart);
    if (!refusal.isEmpty()) {
        ConsoleLog("Open: %s: %s\n", chosen.toStdString().c_str(), refusal.toStdString().c_str());
        ShowError(QString("Could not open %1: %2").arg(QFileInfo(chosen).fileName(), refusal));
        return;
    }
    if (otherHeart) {
        ReplaceHeart(*otherHeart);
        RememberLoadedHeart(document.heartPath, document.capValves);
    }
    if (read == WorkDocumentRead::kEmpty) {
        // The empty document of earlier versions: it holds no work.
        ResetWork();
        documentPath_ = chosen;
        SetDocumentName(QFileInfo(chosen).fileName());
        MarkWorkSaved();
        ShowStatus(QString("%1 is empty: nothing to restore").arg(QFileInfo(chosen).fileName()));
        return;
    }
    RestoreDocument(document);
    documentPath_ = chosen;
    SetDocumentName(QFileInfo(chosen).fileName());
    MarkWorkSaved();
    ShowStatus(QString("Opened %1").arg(chosen));
}

void CMainFrame::RestoreDocument(const WorkDocument& document) {
    StopWave();
    HeartModel* heart = TheHeartModel();
    if (heart->segmentationMode) ToggleSegmentationMode();
    if (heart->regionIds != document.regionIds) {
        // The fibre layer follows the segmentation the network grew on.
        heart->regionIds = document.regionIds;
        heart->RebuildFibreLayer();
        TheViewCore()->mainRenderer.InvalidateRegions();
    }
    ClearNetwork();
    sceneBlocks_.reset();
    if (document.growth) {
        // The network grows again from what it grew from, then takes its blocks.
        ApplyScene(document.growth->scene, *TheFiberCore(), ProgramGrowthParameters());
        ProgramRandom().SetState(document.growth->randomState);
        GoGrowth();
        if (!SetBlockedStrokes(*TheFiberCore(), document.scene.blockedStrokes))
            ConsoleLog("Open: the blocked strokes name strokes the network does not have\n");
    } else if (!document.scene.blockedStrokes.empty()) {
        // Blocks of an opened scene that was not grown yet: the next growth sets them.
        sceneBlocks_ = document.scene.blockedStrokes;
    }
    ApplyScene(document.scene, *TheFiberCore(), ProgramGrowthParameters());
    ProgramPhysiology() = document.scene.physiology;
    if (GrowthParameterDlg* dialog = ParameterDialog())
        dialog->ShowParameters(ProgramGrowthParameters());
    RefreshAfterWorkChange();
}

bool CMainFrame::SaveDocument() {
    if (documentPath_.isEmpty()) return SaveDocumentAs();
    return WriteDocument(documentPath_);
}

bool CMainFrame::SaveDocumentAs() {
    const QString chosen = ChooseFileToSave(this, "Save As", kDocumentFilter);
    if (chosen.isEmpty()) return false;
    return WriteDocument(QString::fromStdString(PathWithExtension(chosen.toStdString(), "kx")));
}

bool CMainFrame::WriteDocument(const QString& path) {
    RecordEdit();
    const HeartSource& heart = LoadedHeartSource();
    if (heart.path.empty()) {
        ShowError("Could not save: no heart is loaded");
        return false;
    }
    WorkDocument document;
    document.heartPath = heart.path;
    document.heart = heart.fingerprint;
    document.capValves = heart.capValves;
    document.regionIds = TheHeartModel()->regionIds;
    document.scene = ProgramScene();
    if (!TheFiberCore()->fibers.empty()) document.growth = lastGrowth_;
    // Without a network, the blocks an opened scene keeps for the next growth.
    if (sceneBlocks_ && !document.growth) document.scene.blockedStrokes = *sceneBlocks_;
    std::string error;
    if (!WriteWorkDocument(path.toStdString(), document, error)) {
        ConsoleLog("Save: %s\n", error.c_str());
        ShowError(QString("Could not write %1").arg(path));
        return false;
    }
    documentPath_ = path;
    SetDocumentName(QFileInfo(path).fileName());
    // Saved work is the clean state; the steps stay undoable.
    history_->Stack().setClean();
    savedNetwork_ = networkNumber_;
    UpdateModifiedMark();
    ShowStatus(QString("Saved %1").arg(path));
    return true;
}

}  // namespace vantrel
