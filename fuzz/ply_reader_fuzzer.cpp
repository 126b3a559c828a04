// Arbitrary bytes through the PLY reader and the loaded-heart steps (mesh_format_fuzz.h).
#include "mesh_format_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return vantrel::FuzzMeshReader(vantrel::ReadPlyBytes, data, size);
}
