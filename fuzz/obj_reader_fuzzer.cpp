// Feeds arbitrary bytes to the OBJ reader, then runs what the program does with
// a loaded heart: edge table, centroid refinement, normals and the polygon
// walk around every vertex. Nothing may crash, hang or touch memory outside.
#include <cstddef>
#include <cstdint>
#include <string>

#include "mesh/ObjReader.h"
#include "mesh/RkPolygonModel.h"
#include "mesh_format_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vantrel;
    // (Each rejected input prints its console line; run with -close_fd_mask=2
    // to silence them.)

    RkPolygonModel model;
    if (!ReadObjText(std::string(reinterpret_cast<const char*>(data), size), "fuzz.obj", model))
        return 0;

    ExerciseLoadedModel(model);
    return 0;
}
