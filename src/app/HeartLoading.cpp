#include "app/HeartLoading.h"

#include "app/ConsoleDock.h"
#include "app/FileDialogs.h"
#include "app/StartOptions.h"

namespace vantrel {
namespace {

// The last non-empty line of `text`: the mesh readers and the model say in one console
// line why they refuse a heart, naming the file.
QString LastLine(const QString& text) {
    const QStringList lines = text.split('\n', Qt::SkipEmptyParts);
    return lines.isEmpty() ? QString("the file could not be read") : lines.back().trimmed();
}

SegmentationChoice AskSegmentation(QWidget* parent, const StartOptions& options) {
    if (options.segmentationPath) return SegmentationChoice::File(*options.segmentationPath);
    if (options.noSegmentation) return SegmentationChoice::None();
    const QString chosen =
        ChooseFileToOpen(parent, "Open segmentation", "segmentation data (*.kxseg)");
    return chosen.isEmpty() ? SegmentationChoice::None()
                            : SegmentationChoice::File(chosen.toStdString());
}

}  // namespace

HeartLoadOutcome AskAndLoadHeart(QWidget* parent, const StartOptions& options, HeartModel& heart) {
    HeartLoadOutcome outcome;
    bool capOpenValves = options.capHoles;
    if (options.heartPath) {
        outcome.heartPath = QString::fromStdString(*options.heartPath);
    } else {
        outcome.heartPath = ChooseFileToOpen(parent, "Open heart mesh",
                                             "heart mesh model (*.obj *.stl *.ply *.off *.vtk)",
                                             "Cap open valves", capOpenValves);
    }
    if (outcome.heartPath.isEmpty()) return outcome;
    outcome.capOpenValves = capOpenValves;

    const qsizetype consoleBefore = CapturedConsoleText().size();
    if (!heart.LoadHeartMesh(outcome.heartPath.toStdString(),
                             capOpenValves ? ValveCapping::kCap : ValveCapping::kLeaveOpen)) {
        outcome.kind = HeartLoadOutcome::Kind::kRefused;
        outcome.reason = LastLine(CapturedConsoleText().mid(consoleBefore));
        return outcome;
    }
    heart.ApplySegmentation(AskSegmentation(parent, options));
    outcome.kind = HeartLoadOutcome::Kind::kLoaded;
    return outcome;
}

QString HeartNotLoadedMessage(const HeartLoadOutcome& outcome) {
    if (outcome.kind == HeartLoadOutcome::Kind::kCancelled)
        return "No heart loaded: the heart question was cancelled. Open one with File > Open "
               "Heart...";
    return QString("Could not open the heart %1: %2").arg(outcome.heartPath, outcome.reason);
}

}  // namespace vantrel
