#pragma once
// The scene file: one JSON document with everything a user sets up before
// "Go Growth" (start points, feature curves, both rules' geometry, the growth
// parameters). The headless program reads it; the desktop program saves and opens it.
//
//   {"version": 1,
//    "startPoints":   [{"position": [x,y,z], "directionPoint": [x,y,z]}, ...],
//    "featureCurves": [{"points": [[x,y,z], ...], "color": [r,g,b,a]}, ...],
//    "rule1": {...}, "rule2": {...},
//    "parameters": {"SegmentResolution": 5, "GradientDirectionRate": 0.75, ...},
//    "physiology": {"meshUnits": "mm", "purkinjeVelocity": 2.5, "myocardialVelocity": 0.8,
//                   "pmjDelay": 5, "rootDelays": {"startPoints": [0, 3], "featureCurves": [1]}},
//    "blockedStrokes": [12, 40]}
//
// A rule holds stemLength, stemWidth, continuationLength, continuationWidth,
// continuationMatrix and laterals (an array of {"length", "width", "matrix"});
// matrices are 16 numbers in column-major order. Coordinates are in the normalised
// heart frame. Every key but "version" may be left out and then takes the program's
// start value; a rule whose "laterals" array is given starts from the start shape of
// a rule with that many laterals, and the file's values replace it as they stand
// (no Rebuild). A file is refused as a whole, with the JSON path of the first
// offending value, for an unknown key, a wrong type, a vector of the wrong length, a
// number that is not a finite double, a stem length outside [0.06, 37] or another
// length outside [0.01, 10] (the ranges that keep growth finite; see SceneFileKeys.h),
// a width that is not above 0, a SegmentResolution that is not an integer from 2
// to 102, a rate or colour component outside [0, 1], a mesh unit other than "um",
// "mm", "cm" or "m", a velocity that is not above 0, a delay below 0, a blocked
// stroke that is not a whole number 0 or more, or a version other than 1.
//
// "physiology" holds the conduction run's settings (velocities in m/s, delays in ms;
// root delays per start point and per feature curve in their order, the ones left out
// 0 ms). "blockedStrokes" lists the strokes to block after the last growth run, by
// their index in the conduction graph's stroke order (fibre by fibre, each fibre's
// strokes in creation order), the numbering of the network file's "stroke" cell data.
#include <string>
#include <vector>

#include "growth/GrowthParameters.h"
#include "growth/PhysiologySettings.h"
#include "growth/Polyline.h"
#include "growth/RewritingRule.h"
#include "growth/StartPoint.h"

namespace vantrel {

class FiberCore;

constexpr int kSceneFileVersion = 1;

// What a scene file holds. A default Scene is the program's start state: no start
// points, no curves, rule 1 as (id 0, continuation, 1 lateral), rule 2 as (id 1, no
// continuation, 2 laterals), default growth parameters.
// The physiology of a scene file. settings.rootDelays stays empty: the file gives
// the delays per start point and curve (rootDelays), and the fibre order is known
// only when the start points are all placed (see FibreRootDelays).
struct ScenePhysiology {
    PhysiologySettings settings;
    RootDelays rootDelays;
};

struct Scene {
    std::vector<StartPoint> startPoints;
    std::vector<Polyline> featureCurves;
    RewritingRule rule1{0, true, 1};
    RewritingRule rule2{1, false, 2};
    GrowthParameters parameters;
    ScenePhysiology physiology;
    std::vector<int> blockedStrokes;
};

// Why a scene file was refused. `path` names the offending value the way a reader
// would write it ("rule2.laterals[1].width"; empty for the document as a whole or
// when the file cannot be read); `message` says what is wrong.
struct SceneFileError {
    std::string path;
    std::string message;
    // "path: message", or the message alone when the path is empty.
    std::string Describe() const;
};

// Parses scene-file text. On success fills `scene` completely and returns true; on
// refusal returns false, fills `error` and leaves `scene` unchanged.
bool ParseSceneText(const std::string& text, Scene& scene, SceneFileError& error);

// Reads and parses the file at `path`, as ParseSceneText; a file that cannot be
// opened or read is refused with an empty path.
bool ReadSceneFile(const std::string& path, Scene& scene, SceneFileError& error);

// The scene as scene-file text (UTF-8, ends with a line end). Numbers are written in
// their shortest form that reads back to the same double, independent of the locale.
std::string SceneText(const Scene& scene);

// Writes SceneText to `path` (replacing the file). Returns false with a one-line
// reason in `error` when the file cannot be written completely.
bool WriteSceneFile(const std::string& path, const Scene& scene, std::string& error);

// The scene part of `core` (start points, feature curves, both rules) with `parameters`.
Scene CaptureScene(const FiberCore& core, const GrowthParameters& parameters);

// Replaces the start points, feature curves and rules of `core`, and `parameters`,
// by the scene's. The fibres are left as they are.
void ApplyScene(const Scene& scene, FiberCore& core, GrowthParameters& parameters);

}  // namespace vantrel
