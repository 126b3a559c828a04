#include "cli/GrowJob.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "cli/ConductionStep.h"
#include "cli/StartPolygon.h"
#include "geometry/ConsoleLog.h"
#include "geometry/SafeFileWriter.h"
#include "growth/CentrelineExport.h"
#include "growth/SceneFile.h"

namespace vantrel {

namespace {

class Stopwatch {
public:
    double Seconds() const {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    }

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// Writes `path` through `write` with the safe writer; false with a reason when the file
// cannot be made or written (the previous file is then kept).
template <typename WriteFunction>
bool WriteFile(const std::string& path, const char* what, WriteFunction write, std::string& error) {
    switch (WriteFileSafely(path, write)) {
        case FileWriteResult::kWritten:
            return true;
        case FileWriteResult::kCannotOpen:
            error = std::string("cannot open ") + what + " '" + path + "' for writing";
            return false;
        case FileWriteResult::kCannotWrite:
            break;
    }
    error = std::string("cannot write ") + what + " '" + path + "'";
    return false;
}

}  // namespace

bool LoadSceneStep(const GrowOptions& options, GrowSession& session, std::string& error) {
    if (options.scenePath.empty()) return true;
    Scene scene;
    SceneFileError refusal;
    if (!ReadSceneFile(options.scenePath, scene, refusal)) {
        error = "scene file '" + options.scenePath + "' refused: " + refusal.Describe();
        return false;
    }
    ApplyScene(scene, session.core, session.parameters);
    TakeScenePhysiology(scene, session);
    return true;
}

bool LoadHeartStep(const GrowOptions& options, GrowSession& session, std::string& error) {
    HeartModel& heart = session.heart;
    // The mesh reader and NormalizeHeart print the console line that names the fault.
    if (!heart.LoadHeartMesh(options.heartPath,
                             options.capHoles ? ValveCapping::kCap : ValveCapping::kLeaveOpen)) {
        error = "cannot load heart mesh '" + options.heartPath +
                "' (a readable .obj, .stl, .ply, .off or .vtk mesh is needed)";
        return false;
    }
    heart.regionIds.assign(heart.mesh.polygons.size(), 0);
    if (!options.segmentationPath.empty() && !heart.ImportSegmentation(options.segmentationPath)) {
        error = "segmentation file '" + options.segmentationPath +
                "' refused (unreadable, or its polygon count does not match the heart's " +
                std::to_string(heart.regionIds.size()) + " polygons)";
        return false;
    }
    if (options.segmentAll) std::fill(heart.regionIds.begin(), heart.regionIds.end(), 1);
    heart.UnmarkCaps();
    return true;
}

void BuildVolumeStep(GrowSession& session) {
    session.heart.volume.Build(session.heart.mesh, session.heart.regionIds);
}

bool AddStartPolygonsStep(const GrowOptions& options, GrowSession& session, std::string& error) {
    const HeartModel& heart = session.heart;
    const long long polygonCount = static_cast<long long>(heart.mesh.polygons.size());
    for (const std::string& text : options.startPolygons) {
        const long long index = StartPolygonIndex(text);
        if (index < 0 || index >= polygonCount) {
            error = "start polygon " + text +
                    " is out of range (the normalised heart has polygons 0 to " +
                    std::to_string(polygonCount - 1) + ")";
            return false;
        }
        if (heart.regionIds[static_cast<std::size_t>(index)] == 0) {
            error = "start polygon " + text + " is not segmented";
            return false;
        }
        const MeshPolygon& polygon = heart.mesh.polygons[static_cast<std::size_t>(index)];
        const auto& vertices = heart.mesh.vertices;
        const std::array<StartPoint, 4> placed =
            StartPointsOnPolygon(vertices[static_cast<std::size_t>(polygon.vertex[0])].position,
                                 vertices[static_cast<std::size_t>(polygon.vertex[1])].position,
                                 vertices[static_cast<std::size_t>(polygon.vertex[2])].position,
                                 polygon.normal, heart.LayerDepth());
        session.core.startPoints.insert(session.core.startPoints.end(), placed.begin(),
                                        placed.end());
    }
    return true;
}

bool SaveSceneStep(const GrowOptions& options, GrowSession& session, std::string& error) {
    if (options.saveScenePath.empty()) return true;
    std::string reason;
    Scene scene = CaptureScene(session.core, session.parameters);
    AddScenePhysiology(session, scene);
    if (!WriteSceneFile(options.saveScenePath, scene, reason)) {
        error = reason;
        return false;
    }
    return true;
}

bool GrowStep(int runs, GrowSession& session, std::string& error) {
    const GrowthTarget target{session.heart.volume, session.heart.mesh, session.heart.LayerDepth()};
    for (int run = 0; run < runs; ++run) {
        const Stopwatch stopwatch;
        session.heart.ResetFieldForGrowth();
        const GrowthSummary summary =
            session.core.GoGrowth(target, session.parameters, session.random);
        session.timings.growth = stopwatch.Seconds();
        session.timings.strokes = summary.strokeCount;
        if (summary.stoppedAtStrokeLimit) {
            error = "growth stopped at the work limit of " + std::to_string(kDefaultStrokeLimit) +
                    " strokes";
            return false;
        }
    }
    return true;
}

bool ExportStep(const GrowOptions& options, GrowSession& session, std::string& error) {
    const FiberCore& core = session.core;
    const HeartNormalisation* toHeart = options.heartFrame ? &session.heart.normalisation : nullptr;
    if (!options.outPath.empty() &&
        !WriteFile(
            options.outPath, "fibre file",
            [&](std::FILE* file) { return core.ExportFibersObj(file, toHeart); }, error)) {
        return false;
    }
    if (!options.centrelinesPath.empty() &&
        !WriteFile(
            options.centrelinesPath, "centreline file",
            [&](std::FILE* file) { return ExportCentrelinesVtk(core, file, toHeart); }, error)) {
        return false;
    }
    return true;
}

void PrintTimings(const GrowTimings& timings) {
    ConsoleLog("timing: load %.3f s\n", timings.load);
    ConsoleLog("timing: volume %.3f s\n", timings.volume);
    ConsoleLog("timing: growth %.3f s (%d strokes)\n", timings.growth, timings.strokes);
    ConsoleLog("timing: conduction %.3f s\n", timings.conduction);
    ConsoleLog("timing: export %.3f s\n", timings.exportSeconds);
}

int RunGrowJob(const GrowOptions& options) {
    // The heart's volume is large; keep it off the stack.
    const auto session = std::make_unique<GrowSession>();
    std::string error;
    auto fail = [&]() {
        ConsoleLog("vantrel-grow: %s\n", error.c_str());
        return kExitInputOutputFailure;
    };

    // The scene first: a refused scene file should not cost a heart load.
    const Stopwatch loadWatch;
    if (!LoadSceneStep(options, *session, error)) return fail();
    ApplyPhysiologyOptions(options, *session);
    if (!LoadHeartStep(options, *session, error)) return fail();
    session->timings.load = loadWatch.Seconds();

    const Stopwatch volumeWatch;
    BuildVolumeStep(*session);
    session->timings.volume = volumeWatch.Seconds();

    if (!AddStartPolygonsStep(options, *session, error)) return fail();
    PlaceRootDelays(*session);
    if (!SaveSceneStep(options, *session, error)) return fail();

    session->random.SetState(options.seed);
    if (!GrowStep(options.runs, *session, error)) return fail();

    if (options.runs > 0) {
        if (!BlockSceneStrokesStep(*session, error)) return fail();
        // Export time: everything after the growth but the conduction run itself.
        const Stopwatch exportWatch;
        ConductionFiles conductionFiles;
        if (!PrepareConductionStep(options, *session, conductionFiles, error)) return fail();
        if (!ExportStep(options, *session, error)) return fail();
        if (!WriteConductionStep(conductionFiles, error)) return fail();
        session->timings.exportSeconds = exportWatch.Seconds() - session->timings.conduction;
        if (!WriteSummaryStep(options, *session, error)) return fail();
    }
    if (options.timings) PrintTimings(session->timings);
    return kExitSuccess;
}

}  // namespace vantrel
