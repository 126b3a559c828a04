#include "cli/GrowOptions.h"

#include <charconv>
#include <iostream>
#include <limits>

#include <CLI/CLI.hpp>

#include "geometry/NumberText.h"

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

// A decimal number read without the locale, above 0 (or 0 too when `allowZero`); the
// physiology dialog checks its fields the same way.
CLI::Validator NumberAboveZero(bool allowZero) {
    return CLI::Validator(
        [=](std::string& text) {
            double value = 0.0;
            return ReadBoundedNumber(text, 0.0, allowZero, value)
                       ? std::string()
                       : BoundedNumberRefusal(text, allowZero);
        },
        "");
}

const CLI::Validator kPositive = NumberAboveZero(false);
const CLI::Validator kNotNegative = NumberAboveZero(true);

const CLI::Validator kSeed(
    [](std::string& text) {
        const bool whole = IsWholeNumber(text, false) && text.size() <= 10 &&
                           std::stoull(text) <= std::numeric_limits<std::uint32_t>::max();
        return whole ? std::string()
                     : "expected a whole number from 0 to 4294967295, got '" + text + "'";
    },
    "");
const CLI::Validator kRoot(
    [](std::string& text) {
        const bool whole = IsWholeNumber(text, false) && text.size() <= 9;
        return whole ? std::string() : "expected a root index 0 or more, got '" + text + "'";
    },
    "");

// CLI11 reads numbers with the stream's locale; these were checked by the validators
// above, so from_chars reads them the same way.
double ParsedNumber(const std::string& text) {
    double value = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// A number option: its text is checked by `check`, then read into `target` (a double
// or an optional one) as above.
template <typename Target>
void AddNumberOption(CLI::App& app, const char* name, Target& target, const char* help,
                     const CLI::Validator& check, const char* typeName) {
    app.add_option_function<std::string>(
           name, [&target](const std::string& text) { target = ParsedNumber(text); }, help)
        ->check(check)
        ->type_name(typeName);
}

}  // namespace

bool GrowOptions::WantsConduction() const {
    for (const std::string* path : {&networkPath, &pmjPath, &endocardiumPath, &openCarpPath,
                                    &monoAlg3dPath, &monoAlg3dPmjPath, &summaryPath}) {
        if (!path->empty()) return true;
    }
    return false;
}

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
                 "print the wall time of loading, volume, growth, conduction and export");
    std::string seed, root, frame;
    app.add_option("--seed", seed, "state of the random generator before the first run (default 1)")
        ->check(kSeed)
        ->type_name("S");
    app.add_option("--frame", frame,
                   "frame of --out and --centrelines: model (the normalised box, default) or "
                   "heart (the heart file's coordinates and unit)")
        ->check(CLI::IsMember({"heart", "model"}))
        ->type_name("heart|model");

    // Physiology: numbers as text, read without the locale once they are checked.
    std::string meshUnits;
    app.add_option("--mesh-units", meshUnits, "length unit of the heart file (default mm)")
        ->check(CLI::IsMember({"um", "mm", "cm", "m"}))
        ->type_name("um|mm|cm|m");
    AddNumberOption(app, "--purkinje-velocity", options.purkinjeVelocity,
                    "conduction velocity along the network in m/s (default 2.5)", kPositive, "V");
    AddNumberOption(app, "--myocardial-velocity", options.myocardialVelocity,
                    "conduction velocity over the heart surface in m/s (default 0.8)", kPositive,
                    "V");
    AddNumberOption(app, "--pmj-delay", options.pmjDelay,
                    "delay from a Purkinje-muscle junction into the wall in ms (default 5)",
                    kNotNegative, "MS");

    app.add_option("--network", options.networkPath,
                   "conduction network with activation times (legacy VTK, heart frame)")
        ->type_name("FILE.vtk");
    app.add_option("--pmj", options.pmjPath,
                   "Purkinje-muscle junctions with times and nearest heart vertices (CSV)")
        ->type_name("FILE.csv");
    app.add_option("--endocardium", options.endocardiumPath,
                   "the heart surface with endocardial activation times (legacy VTK)")
        ->type_name("FILE.vtk");
    app.add_option("--opencarp", options.openCarpPath, "openCARP Purkinje cables (micrometres)")
        ->type_name("FILE.pkje");
    AddNumberOption(app, "--pkje-radius", options.pkje.radius,
                    "radius of every openCARP cable (default 75)", kPositive, "R");
    AddNumberOption(app, "--pkje-rgj", options.pkje.gapResistance,
                    "gap-junction resistance R_gj of every openCARP cable in kOhm (default 100)",
                    kPositive, "R");
    AddNumberOption(app, "--pkje-sigma", options.pkje.sigmaI,
                    "intracellular conductivity sigma_i of every openCARP cable (default 0.0006)",
                    kPositive, "S");
    app.add_option("--monoalg3d", options.monoAlg3dPath,
                   "MonoAlg3D network: the shortest-path tree of one root (micrometres)")
        ->type_name("FILE.vtk");
    app.add_option("--monoalg3d-pmj", options.monoAlg3dPmjPath,
                   "MonoAlg3D PMJ locations: the terminals of that tree")
        ->type_name("FILE.vtk");
    app.add_option("--root", root, "root of the MonoAlg3D tree, by fibre order (default 0)")
        ->check(kRoot)
        ->type_name("K");
    app.add_option("--summary", options.summaryPath, "report of the run (JSON)")
        ->type_name("FILE.json");

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::cerr << app.help();
        return kExitSuccess;
    } catch (const CLI::ParseError& error) {
        std::cerr << "vantrel-grow: " << error.what() << " (see --help)\n";
        return kExitUsageError;
    }
    if (!seed.empty()) options.seed = static_cast<std::uint32_t>(std::stoull(seed));
    if (!root.empty()) options.root = std::stoi(root);
    options.heartFrame = frame == "heart";
    if (!meshUnits.empty()) options.meshUnits = meshUnits;
    return std::nullopt;
}

}  // namespace vantrel
