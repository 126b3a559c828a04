#pragma once
// The job of vantrel-grow, in the steps main() runs: read the scene, load the heart
// and its segmentation, build the volume, add the start polygons' start points,
// save the scene, grow, export. Each step that can fail returns false with a
// one-line reason; nothing here exits or writes to standard output.
#include <memory>
#include <string>

#include "cli/GrowOptions.h"
#include "conduction/ConductionRun.h"
#include "growth/FiberCore.h"
#include "growth/GrowthParameters.h"
#include "growth/GrowthRandom.h"
#include "heart/HeartModel.h"

namespace vantrel {

// Wall-clock seconds of the phases that --timings reports.
struct GrowTimings {
    double load = 0.0;        // scene, heart and segmentation
    double volume = 0.0;      // VoxelVolume::Build
    double growth = 0.0;      // the last growth run
    double conduction = 0.0;  // graph, activation, junctions and endocardial map
    double exportSeconds = 0.0;
    int strokes = 0;  // strokes the last run's statistics counted; 0 without a run
};

// Everything one invocation works on. The random generator lives as long as the
// session, so repeated runs carry its sequence on, as in the program.
struct GrowSession {
    HeartModel heart;
    FiberCore core;
    GrowthParameters parameters;
    GrowthRandom random;
    GrowTimings timings;
    PhysiologySettings physiology;    // the scene's, then the command line's
    RootDelays rootDelays;            // the scene's, per start point and curve
    std::vector<int> blockedStrokes;  // the scene's, by graph stroke index
    ConductionResult conduction;      // of the last run, when a conduction file is asked for
};

// Reads the scene file (when one is given) into the session's rules, start points,
// curves and parameters; without one they keep the program's start values.
bool LoadSceneStep(const GrowOptions& options, GrowSession& session, std::string& error);

// Loads, normalises and segments the heart (a segmentation file, every polygon, or
// none) with the heart model's own steps and console lines, in the order of
// HeartModel::LoadHeart, but stops before the volume is built so that the build can
// be timed, and fails on a refused segmentation file, which LoadHeart would accept
// as "no segmentation".
bool LoadHeartStep(const GrowOptions& options, GrowSession& session, std::string& error);

// Builds the voxel volume and fibre layer from the loaded heart.
void BuildVolumeStep(GrowSession& session);

// Appends four start points per --start-polygon, in argument order, after the
// scene's. Fails on an index outside the mesh or a polygon that is not segmented.
bool AddStartPolygonsStep(const GrowOptions& options, GrowSession& session, std::string& error);

// Writes the scene as it will grow (--save-scene), when asked for.
bool SaveSceneStep(const GrowOptions& options, GrowSession& session, std::string& error);

// Runs "Go Growth" `runs` times, each after the heart's ResetFieldForGrowth; each
// run prints its statistics. Records the last run's time and stroke count. Fails,
// without further runs, when a run stopped at growth's work limit.
bool GrowStep(int runs, GrowSession& session, std::string& error);

// Writes the fibres of the last run to --out (OBJ) and --centrelines (VTK), those
// that are given, in the frame --frame names. Fails when a file cannot be opened or written
// completely.
bool ExportStep(const GrowOptions& options, GrowSession& session, std::string& error);

// Prints the five "timing: ..." lines.
void PrintTimings(const GrowTimings& timings);

// The whole job after the command line was parsed. Returns the exit status (0, or 1
// after one "vantrel-grow: ..." line for an input or output failure or a growth run
// stopped at the work limit; no fibre file is written then).
int RunGrowJob(const GrowOptions& options);

}  // namespace vantrel
