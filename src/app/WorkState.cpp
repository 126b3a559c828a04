#include "app/WorkState.h"

#include <algorithm>

#include "app/Singletons.h"
#include "conduction/ConductionGraph.h"

namespace vantrel {

std::vector<int> BlockedStrokeIndices(const FiberCore& fibers) {
    std::vector<int> blocked;
    const std::vector<const Stroke*> strokes = StrokesInGraphOrder(fibers);
    for (std::size_t i = 0; i < strokes.size(); ++i) {
        if (strokes[i]->blocked) blocked.push_back(static_cast<int>(i));
    }
    return blocked;
}

bool SetBlockedStrokes(FiberCore& fibers, const std::vector<int>& indices) {
    const std::vector<const Stroke*> strokes = StrokesInGraphOrder(fibers);
    for (int index : indices) {
        if (index < 0 || index >= static_cast<int>(strokes.size())) return false;
    }
    // The graph order lists the program's own strokes: blocking is the one change made
    // to them through it.
    for (const Stroke* stroke : strokes) const_cast<Stroke*>(stroke)->blocked = false;
    for (int index : indices)
        const_cast<Stroke*>(strokes[static_cast<std::size_t>(index)])->blocked = true;
    return true;
}

Scene ProgramScene() {
    Scene scene = CaptureScene(*TheFiberCore(), ProgramGrowthParameters());
    scene.physiology = ProgramPhysiology();
    // Worked out per fibre from the scene's delays before every conduction run.
    scene.physiology.settings.rootDelays.clear();
    scene.blockedStrokes = BlockedStrokeIndices(*TheFiberCore());
    return scene;
}

WorkSnapshot CaptureWork(int network, const WorkSnapshot* previous) {
    WorkSnapshot snapshot;
    snapshot.scene = ProgramScene();
    snapshot.blockedStrokes = std::move(snapshot.scene.blockedStrokes);
    snapshot.scene.blockedStrokes.clear();
    snapshot.sceneText = SceneText(snapshot.scene);
    snapshot.network = network;
    const std::vector<std::int32_t>& ids = TheHeartModel()->regionIds;
    if (previous && previous->regionIds && *previous->regionIds == ids) {
        snapshot.regionIds = previous->regionIds;
    } else {
        snapshot.regionIds = std::make_shared<const std::vector<std::int32_t>>(ids);
    }
    return snapshot;
}

}  // namespace vantrel
