#pragma once
// The conduction part of vantrel-grow's job: the physiological settings from the
// defaults, the scene and the command line (in that order of precedence, the command
// line last), the conduction run on the last growth run's fibres, and its files. The
// files are prepared in full before any is written, so a run that cannot give all of
// them (a --root that does not exist) writes none.
#include <string>
#include <utility>
#include <vector>

#include "cli/GrowOptions.h"
#include "conduction/RunSummaryJson.h"
#include "growth/SceneFile.h"

namespace vantrel {

struct GrowSession;

// The files that ConductionStep prepared, by path, with what they hold; the summary
// is made last, when the other files' export time is known.
struct ConductionFiles {
    struct File {
        std::string path;
        const char* what;
        std::string text;
    };
    std::vector<File> files;
    std::string monoAlg3dLine;  // the console line of the MonoAlg3D export, or empty
};

// The scene's physiology and blocked strokes into the session.
void TakeScenePhysiology(const Scene& scene, GrowSession& session);
// The command line's physiology over `session.physiology` (the scene's or the defaults).
void ApplyPhysiologyOptions(const GrowOptions& options, GrowSession& session);
// The session's physiology and blocked strokes into a scene about to be saved.
void AddScenePhysiology(const GrowSession& session, Scene& scene);
// The scene's root delays by fibre, once every start point is placed.
void PlaceRootDelays(GrowSession& session);

// Blocks the strokes the scene lists, after the last run. Fails, naming the entry,
// when an index is beyond the strokes grown.
bool BlockSceneStrokesStep(GrowSession& session, std::string& error);

// When a conduction file is asked for: runs the conduction layer on the session's
// fibres (into session.conduction, timed) and prepares every asked-for file but the
// summary. False with a one-line reason when one cannot be made.
bool PrepareConductionStep(const GrowOptions& options, GrowSession& session, ConductionFiles& files,
                           std::string& error);

// Writes the prepared files and prints the MonoAlg3D line.
bool WriteConductionStep(const ConductionFiles& files, std::string& error);

// Writes the run summary (--summary), when asked for.
bool WriteSummaryStep(const GrowOptions& options, const GrowSession& session, std::string& error);

// What the summary says of the inputs and timings of this job.
RunDescription DescribeRun(const GrowOptions& options, const GrowSession& session);

}  // namespace vantrel
