#pragma once
// Everything one growth run reads and changes besides the fibres themselves: the
// fibre layer volume, the heart mesh whose polygon planes points are snapped to,
// the depth under the surface, the parameters, the random generator and the
// junction counter, and the work limit. Built by FiberCore::GoGrowth; tests build it
// directly.
#include "growth/FiberCore.h"
#include "growth/GrowthParameters.h"
#include "growth/GrowthRandom.h"
#include "heart/VoxelVolume.h"
#include "mesh/RkPolygonModel.h"

namespace vantrel {

struct GrowthContext {
    GrowthContext(VoxelVolume& volumeIn, const RkPolygonModel& meshIn, double layerDepthIn,
                  const GrowthParameters& parametersIn, GrowthRandom& randomIn,
                  int& collisionCountIn)
        : volume(volumeIn),
          mesh(meshIn),
          layerDepth(layerDepthIn),
          parameters(parametersIn),
          random(randomIn),
          collisionCount(collisionCountIn) {}

    VoxelVolume& volume;
    const RkPolygonModel& mesh;
    double layerDepth;
    const GrowthParameters& parameters;
    GrowthRandom& random;
    int& collisionCount;
    // The work limit: growth keeps at most `strokeLimit` strokes (front included).
    // Before keeping a stroke, growth asks RoomForStroke; once it says no, the run
    // stops and `stoppedAtStrokeLimit` tells why. A run that keeps exactly
    // `strokeLimit` strokes and then ends by itself is not stopped.
    int strokeLimit = kDefaultStrokeLimit;
    int strokesKept = 0;
    bool stoppedAtStrokeLimit = false;

    bool RoomForStroke() {
        if (strokesKept < strokeLimit) return true;
        stoppedAtStrokeLimit = true;
        return false;
    }
    void KeptStroke() { ++strokesKept; }

    // Scratch exclusion list of ExpandApexes, reused to spare an allocation per apex.
    ExcludedStrokes excluded;
};

}  // namespace vantrel
