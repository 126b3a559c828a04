#pragma once
// One machine-readable report of a run (JSON, keys in a fixed order): the program
// and its version, the inputs, the physiological settings, the heart's unit and
// extent, the fibre layer, the network's counts and total length (heart-file unit),
// the junctions' activation (min, median and max over those the wave reaches), the
// endocardial total and 90th-percentile times, and the timings. Times in ms, lengths
// in the heart file's unit (named by "unit"), velocities in m/s, timings in seconds;
// a value that does not exist (no junction reached, say) is null.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "conduction/ConductionRun.h"

namespace vantrel {

struct RunDescription {
    std::string programVersion;
    std::string heartPath;
    std::string segmentationPath;  // empty: none
    bool segmentAll = false;
    std::string scenePath;  // empty: none
    std::vector<std::string> startPolygons;
    int runs = 1;
    std::uint32_t seed = 1;
    int fibreLayerCells = 0;
    // Phase name and wall-clock seconds, in the order they ran.
    std::vector<std::pair<std::string, double>> timings;
};

std::string RunSummaryJsonText(const RunDescription& run, const PhysiologySettings& settings,
                               const RkPolygonModel& fileMesh, const ConductionResult& result);

}  // namespace vantrel
