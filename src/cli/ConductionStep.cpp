#include "cli/ConductionStep.h"

#include <chrono>

#include "cli/GrowJob.h"
#include "conduction/EndocardiumVtk.h"
#include "conduction/ExportFile.h"
#include "conduction/MonoAlg3dNetwork.h"
#include "conduction/NetworkVtk.h"
#include "conduction/OpenCarpPkje.h"
#include "conduction/PmjCsv.h"
#include "geometry/ConsoleLog.h"
#include "growth/FiberCore.h"

namespace vantrel {

void TakeScenePhysiology(const Scene& scene, GrowSession& session) {
    session.physiology = scene.physiology.settings;
    session.rootDelays = scene.physiology.rootDelays;
    session.blockedStrokes = scene.blockedStrokes;
}

void AddScenePhysiology(const GrowSession& session, Scene& scene) {
    scene.physiology.settings = session.physiology;
    scene.physiology.settings.rootDelays.clear();
    scene.physiology.rootDelays = session.rootDelays;
    scene.blockedStrokes = session.blockedStrokes;
}

void PlaceRootDelays(GrowSession& session) {
    session.physiology.rootDelays =
        FibreRootDelays(session.rootDelays, session.core.startPoints.size());
}

bool BlockSceneStrokesStep(GrowSession& session, std::string& error) {
    return BlockStrokesInGraphOrder(session.core, session.blockedStrokes, error);
}

void ApplyPhysiologyOptions(const GrowOptions& options, GrowSession& session) {
    PhysiologySettings& settings = session.physiology;
    if (options.meshUnits) ParseLengthUnit(*options.meshUnits, settings.meshUnit);
    if (options.purkinjeVelocity) settings.purkinjeVelocity = *options.purkinjeVelocity;
    if (options.myocardialVelocity) settings.myocardialVelocity = *options.myocardialVelocity;
    if (options.pmjDelay) settings.pmjDelay = *options.pmjDelay;
}

bool PrepareConductionStep(const GrowOptions& options, GrowSession& session, ConductionFiles& files,
                           std::string& error) {
    if (!options.WantsConduction()) return true;
    const auto start = std::chrono::steady_clock::now();
    session.conduction = RunConduction(session.core, session.heart, session.physiology);
    session.timings.conduction =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    const ConductionResult& result = session.conduction;
    const LengthUnit unit = session.physiology.meshUnit;
    auto add = [&](const std::string& path, const char* what, auto makeText) {
        if (!path.empty()) files.files.push_back({path, what, makeText()});
    };
    if (!options.monoAlg3dPath.empty() || !options.monoAlg3dPmjPath.empty()) {
        MonoAlg3dExport monoAlg3d;
        if (!BuildMonoAlg3dExport(result.graph, options.root, unit, monoAlg3d, error)) {
            error = "--root: " + error;
            return false;
        }
        add(options.monoAlg3dPath, "MonoAlg3D network file", [&] { return monoAlg3d.networkText; });
        add(options.monoAlg3dPmjPath, "MonoAlg3D PMJ file", [&] { return monoAlg3d.pmjText; });
        files.monoAlg3dLine = DescribeMonoAlg3dExport(monoAlg3d, options.root);
    }
    add(options.networkPath, "network file",
        [&] { return NetworkVtkText(result.graph, result.activation, unit); });
    add(options.pmjPath, "PMJ file",
        [&] { return PmjCsvText(result.graph, result.junctions, unit); });
    add(options.endocardiumPath, "endocardium file",
        [&] { return EndocardiumVtkText(session.heart.fileMesh, result.endocardium, unit); });
    add(options.openCarpPath, "openCARP file",
        [&] { return OpenCarpPkjeText(result.graph, result.activation, unit, options.pkje); });
    return true;
}

bool WriteConductionStep(const ConductionFiles& files, std::string& error) {
    for (const ConductionFiles::File& file : files.files) {
        if (!WriteExportFile(file.path, file.text, file.what, error)) return false;
    }
    if (!files.monoAlg3dLine.empty()) ConsoleLog("%s\n", files.monoAlg3dLine.c_str());
    return true;
}

bool WriteSummaryStep(const GrowOptions& options, const GrowSession& session, std::string& error) {
    if (options.summaryPath.empty()) return true;
    return WriteExportFile(options.summaryPath,
                           RunSummaryJsonText(DescribeRun(options, session), session.physiology,
                                              session.heart.fileMesh, session.conduction),
                           "summary file", error);
}

RunDescription DescribeRun(const GrowOptions& options, const GrowSession& session) {
    RunDescription run;
    run.programVersion = VANTREL_VERSION;
    run.heartPath = options.heartPath;
    run.segmentationPath = options.segmentationPath;
    run.segmentAll = options.segmentAll;
    run.scenePath = options.scenePath;
    run.startPolygons = options.startPolygons;
    run.runs = options.runs;
    run.seed = options.seed;
    run.fibreLayerCells = session.heart.volume.LayerVoxelCount();
    const GrowTimings& t = session.timings;
    run.timings = {{"load", t.load},
                   {"volume", t.volume},
                   {"growth", t.growth},
                   {"conduction", t.conduction},
                   {"export", t.exportSeconds}};
    return run;
}

}  // namespace vantrel
