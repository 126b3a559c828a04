#pragma once
// The demo heart grown as vantrel-grow grows it, for the benchmarks that time the grow
// job and what follows it: the demo files, the first segmented polygon as the start,
// and the job's steps up to one growth run.
#include <fstream>
#include <string>

#include "cli/GrowJob.h"

namespace vantrel {

// The first segmented polygon of the segmentation at `path`, or "" when there is none.
inline std::string FirstSegmentedPolygon(const std::string& path) {
    std::ifstream in(path);
    std::string word, label;
    int count = 0, index = 0, id = 0;
    in >> word >> word >> word >> count;
    while (in >> label >> index >> id) {
        if (id != 0) return std::to_string(index);
    }
    return std::string();
}

// Sets the demo heart, its segmentation and the first segmented polygon as the start.
// False when the segmentation is missing or has no segmented polygon.
inline bool SetDemoHeartOptions(GrowOptions& options) {
    options.heartPath = std::string(VANTREL_DATA_DIR) + "/demo-heart.obj";
    options.segmentationPath = std::string(VANTREL_DATA_DIR) + "/demo-heart.kxseg";
    const std::string polygon = FirstSegmentedPolygon(options.segmentationPath);
    if (polygon.empty()) return false;
    options.startPolygons = {polygon};
    return true;
}

// Loads the heart, builds its volume, adds the start polygons and grows one run.
inline bool GrowOneRun(const GrowOptions& options, GrowSession& session, std::string& error) {
    if (!LoadHeartStep(options, session, error)) return false;
    BuildVolumeStep(session);
    return AddStartPolygonsStep(options, session, error) && GrowStep(1, session, error);
}

}  // namespace vantrel
