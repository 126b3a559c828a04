// The File menu's simulator exports: the conduction run of the current network and
// the program's physiology written by the conduction layer's writers (the same text
// vantrel-grow writes), each file through WriteExportFile. Every failure is shown in
// the status bar and the console.
#include <string>

#include "app/CMainFrame.h"
#include "app/CommandIds.h"
#include "app/FileDialogs.h"
#include "app/FileNames.h"
#include "app/Singletons.h"
#include "conduction/EndocardiumVtk.h"
#include "conduction/ExportFile.h"
#include "conduction/MonoAlg3dNetwork.h"
#include "conduction/NetworkVtk.h"
#include "conduction/OpenCarpPkje.h"
#include "conduction/PmjCsv.h"
#include "conduction/RunSummaryJson.h"
#include "geometry/ConsoleLog.h"

namespace vantrel {
namespace {

struct ExportKind {
    int command;
    const char* title;
    const char* filter;
    const char* extension;
    const char* what;
};

const ExportKind kExports[] = {
    {command::kExportNetworkVtk, "export network (.vtk)", "VTK network (*.vtk)", "vtk",
     "network file"},
    {command::kExportPmjCsv, "export PMJs (.csv)", "PMJ table (*.csv)", "csv", "PMJ file"},
    {command::kExportEndocardiumVtk, "export endocardium (.vtk)", "VTK endocardium (*.vtk)", "vtk",
     "endocardium file"},
    {command::kExportOpenCarp, "export openCARP network (.pkje)", "openCARP network (*.pkje)",
     "pkje", "openCARP file"},
    {command::kExportMonoAlg3d, "export MonoAlg3D network (.vtk)", "MonoAlg3D network (*.vtk)",
     "vtk", "MonoAlg3D network file"},
    {command::kExportSummary, "export run summary (.json)", "run summary (*.json)", "json",
     "summary file"},
};

}  // namespace

void CMainFrame::BuildExportCommands() {
    for (const ExportKind& kind : kExports) {
        const int id = kind.command;
        commands_.Add(id, kind.title, [this, id] { ExportConductionFile(id); });
    }
}

void CMainFrame::ExportConductionFile(int which) {
    const ExportKind* kind = nullptr;
    for (const ExportKind& k : kExports) {
        if (k.command == which) kind = &k;
    }
    if (!kind) return;
    const QString chosen = ChooseFileToSave(this, kind->title, kind->filter);
    if (chosen.isEmpty()) return;
    const std::string path = PathWithExtension(chosen.toStdString(), kind->extension);
    const HeartModel& heart = *TheHeartModel();
    if (heart.fileMesh.polygons.empty()) {
        ShowError("Export: no heart is loaded");
        return;
    }
    UpdateConduction();
    const ConductionResult& result = conduction_;
    const PhysiologySettings& settings = ProgramPhysiology().settings;
    const LengthUnit unit = settings.meshUnit;
    std::string text;
    std::string error;
    std::string pmjPath;
    std::string pmjText;
    switch (which) {
        case command::kExportNetworkVtk:
            text = NetworkVtkText(result.graph, result.activation, unit);
            break;
        case command::kExportPmjCsv:
            text = PmjCsvText(result.graph, result.junctions, unit);
            break;
        case command::kExportEndocardiumVtk:
            text = EndocardiumVtkText(heart.fileMesh, result.endocardium, unit);
            break;
        case command::kExportOpenCarp:
            text = OpenCarpPkjeText(result.graph, result.activation, unit, PkjeCableSettings{});
            break;
        case command::kExportMonoAlg3d: {
            MonoAlg3dExport monoAlg3d;
            if (!BuildMonoAlg3dExport(result.graph, 0, unit, monoAlg3d, error)) break;
            text = monoAlg3d.networkText;
            // The junctions go to a second file, asked for next.
            const QString pmjChosen =
                ChooseFileToSave(this, "export MonoAlg3D PMJs (.vtk)", "MonoAlg3D PMJs (*.vtk)");
            if (!pmjChosen.isEmpty()) {
                pmjPath = PathWithExtension(pmjChosen.toStdString(), "vtk");
                pmjText = monoAlg3d.pmjText;
            }
            ConsoleLog("%s\n", DescribeMonoAlg3dExport(monoAlg3d, 0).c_str());
            break;
        }
        case command::kExportSummary: {
            RunDescription run;
            run.programVersion = "program";
            run.fibreLayerCells = heart.volume.LayerVoxelCount();
            text = RunSummaryJsonText(run, settings, heart.fileMesh, result);
            break;
        }
        default:
            return;
    }
    const bool written =
        error.empty() && WriteExportFile(path, text, kind->what, error) &&
        (pmjPath.empty() || WriteExportFile(pmjPath, pmjText, "MonoAlg3D PMJ file", error));
    if (!written) {
        ConsoleLog("Export: %s\n", error.c_str());
        ShowError(QString("Could not export: %1").arg(QString::fromStdString(error)));
        return;
    }
    ShowStatus(QString("%1 written to %2").arg(kind->what, QString::fromStdString(path)));
}

}  // namespace vantrel
