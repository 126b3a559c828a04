#pragma once
// The command line of vantrel-grow:
//   vantrel-grow --heart FILE [--cap-holes] [--segmentation FILE.kxseg | --segment-all]
//                [--scene FILE.json] [--start-polygon I]... [--runs K]
//                [--out FILE.obj] [--centrelines FILE.vtk] [--save-scene FILE.json]
//                [--timings] [--seed S] [--frame heart|model]
//                [--mesh-units um|mm|cm|m] [--purkinje-velocity V] [--myocardial-velocity V]
//                [--pmj-delay MS] [--network FILE.vtk] [--pmj FILE.csv]
//                [--endocardium FILE.vtk] [--opencarp FILE.pkje] [--pkje-radius R]
//                [--pkje-rgj R] [--pkje-sigma S] [--monoalg3d FILE.vtk]
//                [--monoalg3d-pmj FILE.vtk] [--root K] [--summary FILE.json]
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "conduction/OpenCarpPkje.h"

namespace vantrel {

struct GrowOptions {
    std::string heartPath;         // .obj, .stl, .ply, .off or .vtk
    bool capHoles = false;         // close the mesh's open boundary loops by fans
    std::string segmentationPath;  // empty: no segmentation file
    bool segmentAll = false;       // every polygon segmented, in place of a file
    std::string scenePath;         // empty: the program's start scene
    // Polygon indices of the refined, normalised mesh, as written on the command
    // line (whole numbers, possibly negative or too large; the job checks them
    // against the heart).
    std::vector<std::string> startPolygons;
    int runs = 1;
    std::string outPath;          // fibre OBJ of the last run
    std::string centrelinesPath;  // legacy VTK centrelines of the last run
    std::string saveScenePath;    // the scene as grown, start polygons included
    bool timings = false;
    std::uint32_t seed = 1;   // the generator's state before the first run
    bool heartFrame = false;  // --frame heart: --out and --centrelines in the heart's frame

    // Physiology; unset values come from the scene file, else the defaults.
    std::optional<std::string> meshUnits;      // "um", "mm", "cm" or "m"
    std::optional<double> purkinjeVelocity;    // m/s, finite and > 0
    std::optional<double> myocardialVelocity;  // m/s, finite and > 0
    std::optional<double> pmjDelay;            // ms, finite and >= 0

    // Conduction files of the last run.
    std::string networkPath;
    std::string pmjPath;
    std::string endocardiumPath;
    std::string openCarpPath;
    PkjeCableSettings pkje;
    std::string monoAlg3dPath;
    std::string monoAlg3dPmjPath;
    int root = 0;  // the root whose tree the MonoAlg3D files hold
    std::string summaryPath;

    // True when any conduction file is asked for.
    bool WantsConduction() const;
};

// Exit statuses of vantrel-grow.
constexpr int kExitSuccess = 0;
constexpr int kExitInputOutputFailure = 1;
constexpr int kExitUsageError = 2;

// Parses the command line into `options`. Returns nothing when the job should
// run; otherwise the exit status, with everything already said on standard error:
// 0 after --help (the help text), 2 after a command-line error (one line).
std::optional<int> ParseGrowOptions(int argc, const char* const* argv, GrowOptions& options);

// The value of a start-polygon argument; indices beyond the range of long long
// saturate, so they are reported as out of range like any other. Only text that
// ParseGrowOptions accepted (an optional '-' and decimal digits) is meaningful.
long long StartPolygonIndex(const std::string& text);

}  // namespace vantrel
