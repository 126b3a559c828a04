// vantrel-simplify IN.obj OUT.obj --collapses N
//
// Loads a triangle mesh (OBJ, or STL, PLY, OFF or legacy VTK by extension), merges N vertex pairs
// by quadric-error edge collapse and writes the remaining mesh (retired vertices and triangles
// dropped, the rest in their original order) as a simple OBJ file. Exit status: 0 on success, 2 for
// a command-line error, 1 when the input cannot be read, the output cannot be written, or the mesh
// runs out of collapsible pairs before N collapses (then nothing is written).
#include <cerrno>
#include <climits>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "mesh/LodPolygonModel.h"
#include "mesh/MeshReaders.h"

namespace {

constexpr int kSuccess = 0;
constexpr int kFileOrDataError = 1;
constexpr int kUsageError = 2;

const char* const kUsage = "usage: vantrel-simplify IN.obj OUT.obj --collapses N\n";

struct Options {
    std::string input;
    std::string output;
    int collapses = -1;
};

// A whole decimal number from 0 to INT_MAX, or -1.
int ParseCount(const char* text) {
    if (text[0] < '0' || text[0] > '9') {
        return -1;
    }
    errno = 0;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (errno != 0 || *end != '\0' || value > INT_MAX) {
        return -1;
    }
    return static_cast<int>(value);
}

// Fills options from the arguments; false (with a message) on any error.
bool ParseArguments(int argc, char** argv, Options& options) {
    std::vector<std::string> positional;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (std::strcmp(argument, "--collapses") == 0) {
            if (options.collapses >= 0 || i + 1 >= argc ||
                (options.collapses = ParseCount(argv[++i])) < 0) {
                std::fprintf(
                    stderr, "vantrel-simplify: --collapses needs one whole number of at least 0\n");
                return false;
            }
        } else if (argument[0] == '-' && argument[1] != '\0') {
            std::fprintf(stderr, "vantrel-simplify: unknown option %s\n", argument);
            return false;
        } else {
            positional.push_back(argument);
        }
    }
    if (positional.size() != 2 || options.collapses < 0) {
        return false;
    }
    options.input = positional[0];
    options.output = positional[1];
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_NUMERIC, "C");
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return kSuccess;
        }
    }
    Options options;
    if (!ParseArguments(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return kUsageError;
    }

    vantrel::LodPolygonModel model;
    // STL, PLY, OFF and VTK files are read by their extension; any other name is
    // read as OBJ, as it always was. The reader names the file and the reason on
    // the console when it refuses it.
    const bool loaded = vantrel::IsMeshFilePath(options.input) ? model.Load(options.input)
                                                               : model.LoadObj(options.input);
    if (!loaded) {
        return kFileOrDataError;
    }
    const std::size_t verticesBefore = model.vertices.size();
    const std::size_t trianglesBefore = model.polygons.size();
    try {
        model.ConstructLOD();
        model.Simplify(options.collapses);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return kFileOrDataError;
    }
    model.CompactRetired();
    if (!model.SaveObj(options.output)) {
        return kFileOrDataError;
    }
    std::printf("%s: %zu vertices, %zu triangles -> %s: %zu vertices, %zu triangles\n",
                options.input.c_str(), verticesBefore, trianglesBefore, options.output.c_str(),
                model.vertices.size(), model.polygons.size());
    return kSuccess;
}
