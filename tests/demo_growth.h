#pragma once
// A heart loaded as the program loads it, grown from a fixed scene: shared by the
// pinned-output and work-limit tests. The demo heart's scene has four start points on
// polygon 0 (where vantrel-grow --start-polygon 0 puts them) and one feature curve
// from there up the wall.
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "growth/FiberCore.h"
#include "growth/SceneFile.h"
#include "heart/HeartModel.h"

namespace vantrel {

inline const char* const kDemoHeartScene = R"({"version": 1,
  "startPoints": [
    {"position": [2.915854950283056, 3.3474496696366915, 0.054830224441770214],
     "directionPoint": [2.814831218504668, 3.176576604657192, 0.030404801577875448]},
    {"position": [2.915854950283056, 3.3474496696366915, 0.054830224441770214],
     "directionPoint": [2.743631039398272, 3.4491249653699407, 0.055859183676260804]},
    {"position": [2.915854950283056, 3.3474496696366915, 0.054830224441770214],
     "directionPoint": [3.0168786820623454, 3.5183227346178745, 0.07925564729016032]},
    {"position": [2.915854950283056, 3.3474496696366915, 0.054830224441770214],
     "directionPoint": [3.0880788611687415, 3.245774373905126, 0.05380126519177496]}],
  "featureCurves": [{"points": [[2.916, 3.347, 0.055], [2.365, 3.6, 0.216], [2.064, 3.601, 0.405],
    [1.832, 3.697, 0.652], [1.84, 4.04, 0.839], [1.743, 4.248, 1.133], [1.387, 4.242, 1.665],
    [1.308, 4.4, 2.001], [1.107, 4.408, 2.462], [1.028, 4.502, 2.814], [1.028, 4.697, 3.171],
    [0.904, 4.679, 3.532], [0.901, 4.913, 4.14], [0.833, 5.002, 4.755], [0.731, 5.008, 5.374]]}]})";

inline std::string DemoDataPath(const char* name) {
    return std::string(VANTREL_DATA_DIR) + "/" + name;
}

// A heart, a scene applied to a fibre core, and a generator at its start state.
struct SceneGrowth {
    std::unique_ptr<HeartModel> heart = std::make_unique<HeartModel>();  // 60 MB volume
    FiberCore core;
    GrowthParameters parameters;
    GrowthRandom random;

    // Loads the heart with its segmentation and applies the scene; a test that calls
    // this asserts on the result.
    ::testing::AssertionResult Load(const std::string& heartPath,
                                    const SegmentationChoice& segmentation,
                                    const std::string& sceneText) {
        if (!heart->LoadHeart(heartPath, segmentation))
            return ::testing::AssertionFailure() << "cannot load " << heartPath;
        Scene scene;
        SceneFileError error;
        if (!ParseSceneText(sceneText, scene, error))
            return ::testing::AssertionFailure() << error.Describe();
        ApplyScene(scene, core, parameters);
        return ::testing::AssertionSuccess();
    }

    GrowthSummary Grow(int strokeLimit = kDefaultStrokeLimit) {
        heart->ResetFieldForGrowth();
        const GrowthTarget target{heart->volume, heart->mesh, heart->LayerDepth()};
        return core.GoGrowth(target, parameters, random, {}, strokeLimit);
    }
};

}  // namespace vantrel
