#include "app/EditHistory.h"

#include <algorithm>
#include <utility>

namespace vantrel {

// One step: the snapshots before and after an edit. The edit has happened when the
// step is pushed, so its first redo (which the stack calls on push) only records.
class SnapshotStep : public QUndoCommand {
public:
    SnapshotStep(const QString& name, EditHistory& history, WorkSnapshot before, WorkSnapshot after)
        : QUndoCommand(name),
          history_(history),
          before_(std::move(before)),
          after_(std::move(after)) {}

    void undo() override { MoveTo(after_, before_); }
    void redo() override {
        if (pushed_) MoveTo(before_, after_);
        pushed_ = true;
    }

private:
    void MoveTo(const WorkSnapshot& from, const WorkSnapshot& to) {
        history_.apply_(from, to);
        // The work as it now stands (a grown network keeps its own number).
        history_.current_ = history_.capture_(&to);
    }

    EditHistory& history_;
    WorkSnapshot before_;
    WorkSnapshot after_;
    bool pushed_ = false;
};

namespace {

// The part `keep` of a scene alone, as text.
template <typename Keep>
std::string PartText(const Scene& scene, Keep keep) {
    Scene part;
    keep(part, scene);
    return SceneText(part);
}

int Segmented(const std::vector<std::int32_t>& ids) {
    return static_cast<int>(std::count_if(ids.begin(), ids.end(), [](int id) { return id != 0; }));
}

}  // namespace

QString DescribeChange(const WorkSnapshot& before, const WorkSnapshot& after) {
    const Scene& a = before.scene;
    const Scene& b = after.scene;
    if (PartText(a, [](Scene& p, const Scene& s) { p.startPoints = s.startPoints; }) !=
        PartText(b, [](Scene& p, const Scene& s) { p.startPoints = s.startPoints; })) {
        return b.startPoints.size() > a.startPoints.size() ? "Place Start Points"
                                                           : "Remove Start Points";
    }
    if (PartText(a, [](Scene& p, const Scene& s) { p.featureCurves = s.featureCurves; }) !=
        PartText(b, [](Scene& p, const Scene& s) { p.featureCurves = s.featureCurves; })) {
        return b.featureCurves.size() > a.featureCurves.size() ? "Draw Feature Curve"
                                                               : "Remove Feature Curves";
    }
    auto rules = [](Scene& p, const Scene& s) {
        p.rule1 = s.rule1;
        p.rule2 = s.rule2;
    };
    if (PartText(a, rules) != PartText(b, rules)) return "Drag Rule Handle";
    if (*before.regionIds != *after.regionIds) {
        return Segmented(*after.regionIds) > Segmented(*before.regionIds) ? "Paint Segmentation"
                                                                          : "Erase Segmentation";
    }
    if (before.network == after.network && before.blockedStrokes != after.blockedStrokes)
        return "Toggle Block";
    auto parameters = [](Scene& p, const Scene& s) { p.parameters = s.parameters; };
    if (PartText(a, parameters) != PartText(b, parameters)) return "Change Parameters";
    return "Change Physiology";
}

EditHistory::EditHistory(Capture capture, Apply apply)
    : capture_(std::move(capture)), apply_(std::move(apply)), current_(capture_(nullptr)) {}

bool EditHistory::SameWork(const WorkSnapshot& a, const WorkSnapshot& b) const {
    // Blocks of another network are no edit: growing replaced them.
    return a.sceneText == b.sceneText &&
           (a.regionIds == b.regionIds || *a.regionIds == *b.regionIds) &&
           (a.network != b.network || a.blockedStrokes == b.blockedStrokes);
}

void EditHistory::Record(const QString& name) {
    WorkSnapshot now = capture_(&current_);
    if (SameWork(current_, now)) {
        current_ = std::move(now);
        return;
    }
    const QString stepName = name.isEmpty() ? DescribeChange(current_, now) : name;
    WorkSnapshot before = std::move(current_);
    current_ = now;
    stack_.push(new SnapshotStep(stepName, *this, std::move(before), std::move(now)));
}

void EditHistory::NewNetwork(int network, std::vector<int> blocked) {
    current_.network = network;
    current_.blockedStrokes = std::move(blocked);
}

void EditHistory::Reset() {
    stack_.clear();
    current_ = capture_(&current_);
    stack_.setClean();
}

}  // namespace vantrel
