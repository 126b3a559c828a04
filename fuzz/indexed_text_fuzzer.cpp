// Feeds arbitrary bytes to the counted text reader: every input either loads
// (with its edge table) or throws "Illegal file", without crashing or
// allocating for counts the input cannot hold.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "mesh/IndexedTextFormat.h"
#include "mesh/RkPolygonModel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vantrel;
    // (Each rejected input prints its console line; run with -close_fd_mask=2
    // to silence them.)

    RkPolygonModel model;
    try {
        ReadIndexedText(std::string(reinterpret_cast<const char*>(data), size), "fuzz.txt", model);
    } catch (const std::runtime_error& error) {
        if (std::strcmp(error.what(), "Illegal file") != 0) __builtin_trap();
        return 0;
    }
    std::vector<int> neighbours, edges;
    for (int v = 0; v < static_cast<int>(model.vertices.size()); ++v) {
        model.NeighboursOfVertex(v, neighbours, edges);
        if (neighbours.size() > model.edges.size() * 2 + 2) __builtin_trap();
    }
    return 0;
}
