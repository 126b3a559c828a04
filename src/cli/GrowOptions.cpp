#include "cli/GrowOptions.h"

#include <iostream>
#include <limits>

#include <CLI/CLI.hpp>

namespace vantrel {

namespace {

bool IsWholeNumber(const std::string& text, bool allowSign) {
    std::size_t start = allowSign && !text.empty() && text[0] == '-' ? 1 : 0;
    if (start == text.size()) return false;
    for (std::size_t i = start; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
    }
    return true;
}

// CLI11's numeric validators test the range before the type, which turns "abc"
// into a range complaint; these say what is expected.
const CLI::Validator kPolygonIndex(
    [](std::string& text) {
        return IsWholeNumber(text, true) ? std::string()
                                         : "expected a polygon index, got '" + text + "'";
    },
    "");
const CLI::Validator kRunCount(
    [](std::string& text) {
        return IsWholeNumber(text, false) ? std::string()
                                          : "expected a whole number 0 or more, got '" + text + "'";
    },
    "");

}  // namespace

long long StartPolygonIndex(const std::string& text) {
    const bool negative = !text.empty() && text[0] == '-';
    const long long limit = std::numeric_limits<long long>::max();
    long long value = 0;
    for (std::size_t i = negative ? 1 : 0; i < text.size(); ++i) {
        const int digit = text[i] - '0';
        if (value > (limit - digit) / 10) {
            value = limit;
            break;
        }
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

std::optional<int> ParseGrowOptions(int argc, const char* const* argv, GrowOptions& options) {
    CLI::App app(
        "Grows the conduction fibre network on a heart mesh without a display and writes it to "
        "files. "
        "Every message goes to standard error.",
        "vantrel-grow");
    app.add_option("--heart", options.heartPath,
                   "heart surface mesh: Wavefront OBJ, STL, PLY, OFF or legacy VTK polydata")
        ->required()
        ->type_name("FILE");
    app.add_flag("--cap-holes", options.capHoles,
                 "close each open boundary loop (valve opening) by a fan of triangles, appended "
                 "after the file's polygons and left unsegmented");
    CLI::Option* segmentation = app.add_option("--segmentation", options.segmentationPath,
                                               "segmentation file of the normalised heart")
                                    ->type_name("FILE.kxseg");
    CLI::Option* segmentAll =
        app.add_flag("--segment-all", options.segmentAll, "mark every polygon segmented");
    segmentation->excludes(segmentAll);
    app.add_option("--scene", options.scenePath,
                   "scene file (JSON): start points, curves, rules, parameters")
        ->type_name("FILE.json");
    app.add_option("--start-polygon", options.startPolygons,
                   "add four start points on this polygon of the normalised heart (repeatable)")
        ->expected(1)
        ->allow_extra_args(false)
        ->take_all()
        ->check(kPolygonIndex)
        ->type_name("I");
    app.add_option("--runs", options.runs, "number of growth runs (0: only check the inputs)")
        ->check(kRunCount)
        ->type_name("K")
        ->default_val(1);
    app.add_option("--out", options.outPath, "fibre tubes of the last run (OBJ)")
        ->type_name("FILE.obj");
    app.add_option("--centrelines", options.centrelinesPath,
                   "fibre centrelines of the last run (legacy VTK)")
        ->type_name("FILE.vtk");
    app.add_option("--save-scene", options.saveScenePath, "write the scene as grown (JSON)")
        ->type_name("FILE.json");
    app.add_flag("--timings", options.timings,
                 "print the wall time of loading, volume, growth and export");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::cerr << app.help();
        return kExitSuccess;
    } catch (const CLI::ParseError& error) {
        std::cerr << "vantrel-grow: " << error.what() << " (see --help)\n";
        return kExitUsageError;
    }
    return std::nullopt;
}

}  // namespace vantrel
