#pragma once
// Undo and redo of the user's edits (Qt's undo stack). Every step holds two snapshots
// of the work, before and after, and undoing or redoing puts one of them back as a
// whole, so a step restores exactly what was there. The history keeps the work as it
// last saw it; Record, called where an edit may have ended (after every command, every
// mouse release in the views, every slider release), compares the work with it and
// makes any difference one step. Grown fibres are not work of this kind: a snapshot
// holds the blocked strokes with the network they belong to, and they are put back
// only while that network is still the grown one.
#include <QString>
#include <QUndoStack>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "growth/SceneFile.h"

namespace vantrel {

struct WorkSnapshot {
    // Start points, curves, rules, parameters and physiology (no blocked strokes).
    Scene scene;
    std::string sceneText;  // SceneText(scene), for comparisons
    // Shared between snapshots while the segmentation does not change.
    std::shared_ptr<const std::vector<std::int32_t>> regionIds;
    // The blocked strokes by their index in the graph order of network `network`.
    std::vector<int> blockedStrokes;
    int network = 0;
};

// The name of the step from `before` to `after`, after the first kind of change
// found: "Place Start Points", "Draw Feature Curve", "Drag Rule Handle", "Paint
// Segmentation", "Toggle Block", "Change Parameters", "Change Physiology"...
QString DescribeChange(const WorkSnapshot& before, const WorkSnapshot& after);

class EditHistory {
public:
    using Capture = std::function<WorkSnapshot(const WorkSnapshot* previous)>;
    // Puts `to` in place of the work, which is `from`.
    using Apply = std::function<void(const WorkSnapshot& from, const WorkSnapshot& to)>;

    // `capture` snapshots the work as it stands (it may share the region ids of
    // `previous` when they are equal); the history starts from a first capture.
    EditHistory(Capture capture, Apply apply);

    QUndoStack& Stack() { return stack_; }
    // Makes the difference between the work and the last snapshot one step named
    // `name` (DescribeChange when empty); nothing when there is none.
    void Record(const QString& name = QString());
    // Forgets every step: the work as it stands is the new, unmodified start.
    void Reset();
    // A network numbered `network` with the blocked strokes `blocked` has replaced the
    // grown one. Edits of the scene not yet recorded stay pending.
    void NewNetwork(int network, std::vector<int> blocked = {});

private:
    friend class SnapshotStep;
    bool SameWork(const WorkSnapshot& a, const WorkSnapshot& b) const;

    Capture capture_;
    Apply apply_;
    WorkSnapshot current_;
    QUndoStack stack_;
};

}  // namespace vantrel
