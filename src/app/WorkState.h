#pragma once
// The work as the program holds it, in the forms the history and the document keep:
// the scene (with physiology and the network's blocked strokes) and snapshots.
#include <string>
#include <vector>

#include "app/EditHistory.h"
#include "growth/FiberCore.h"
#include "growth/SceneFile.h"

namespace vantrel {

// The blocked strokes of the network by their index in the conduction graph's order.
std::vector<int> BlockedStrokeIndices(const FiberCore& fibers);
// Blocks exactly the strokes at `indices` (the graph order) and unblocks the others.
// False, changing nothing, when an index names no stroke.
bool SetBlockedStrokes(FiberCore& fibers, const std::vector<int>& indices);

// The program's scene: start points, curves, rules, parameters, physiology (as the
// scene file keeps it) and the blocked strokes.
Scene ProgramScene();

// The work as it stands, its blocked strokes belonging to network number `network`;
// the region ids are shared with `previous` when they are equal.
WorkSnapshot CaptureWork(int network, const WorkSnapshot* previous);

}  // namespace vantrel
