// Moving a scene between a scene file's contents and the growth state.
#include "growth/FiberCore.h"
#include "growth/SceneFile.h"

namespace vantrel {

Scene CaptureScene(const FiberCore& core, const GrowthParameters& parameters) {
    Scene scene;
    scene.startPoints = core.startPoints;
    scene.featureCurves = core.featureCurves;
    scene.rule1 = core.rule1;
    scene.rule2 = core.rule2;
    scene.parameters = parameters;
    return scene;
}

void ApplyScene(const Scene& scene, FiberCore& core, GrowthParameters& parameters) {
    core.startPoints = scene.startPoints;
    core.featureCurves = scene.featureCurves;
    core.rule1 = scene.rule1;
    core.rule2 = scene.rule2;
    parameters = scene.parameters;
}

}  // namespace vantrel
