// Feeds arbitrary bytes to the segmentation reader for a mesh of three polygons.
// Whatever the input, the reader must either accept it and store only 0 and 1,
// or refuse it and leave every region id as it was.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "heart/SegmentationFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::int32_t> before = {0, 1, 0};
    std::vector<std::int32_t> ids = before;
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    const bool accepted = vantrel::ReadSegmentation(in, "fuzz.kxseg", ids);
    if (ids.size() != before.size()) __builtin_trap();
    if (!accepted && ids != before) __builtin_trap();
    for (const std::int32_t id : ids) {
        if (id != 0 && id != 1) __builtin_trap();
    }
    return 0;
}
