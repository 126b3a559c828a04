#pragma once
// A rewriting rule: how one fibre segment is replaced during growth. A stem grows
// along +y from the origin of the rule's frame; an optional continuation and any
// number of laterals sit at the stem's tip (0, stemLength, 0), each with its own
// orientation. Lengths and widths of continuation and laterals are factors of the
// stem's length and half-width. The rule window edits a rule by dragging the
// handles of its parts; the growth reads the fields directly.
#include <cstdint>
#include <optional>
#include <vector>

#include "geometry/Matrix4.h"
#include "geometry/Vector3.h"

namespace vantrel {

// One lateral branch at the stem's tip.
struct Lateral {
    double length = 1.0;  // factor of stemLength
    double width = 0.98;  // factor of stemWidth
    Matrix4 matrix;       // orientation at the stem's tip
    Lateral() { matrix.SetIdentity(); }
};

// The parts of a rule as its pick codes number them.
enum class RulePart : std::uint32_t { Continuation = 0, Lateral = 1, Stem = 2 };
// The two handles of every part.
enum class RuleHandle : std::uint32_t { Tip = 0, Side = 1 };

// Pick codes address rule ids 0 to 15 and lateral indices 0 to 15; a lateral from
// index 16 on has no code (it would alias the stem's codes).
constexpr int kMaxPickableLaterals = 16;

// The 24-bit code of a handle: ruleId * 256 + 0/1 (continuation tip/side),
// + 64 + 4 i / 65 + 4 i (lateral i), + 128/129 (stem). None for a lateral index
// outside 0 to 15 or a rule id above 15.
std::optional<std::uint32_t> RulePickCode(std::uint32_t ruleId, RulePart part, int lateralIndex,
                                          RuleHandle handle);

// A pick code split back into its fields by the masks 0xf00, 0xc0, 0x3c and 0x3.
// `part` is the raw 2-bit value: 0 continuation, 1 lateral, 2 stem, 3 nothing.
struct DecodedRulePick {
    std::uint32_t ruleId = 0;
    std::uint32_t part = 0;
    int lateralIndex = 0;
    std::uint32_t handle = 0;  // 0 tip, 1 side
};
DecodedRulePick DecodeRulePick(std::uint32_t code);

// What the rule window draws for one part: multiply the model-view matrix by
// `transform`, draw a box of `height` and `halfWidth` (x and z from -halfWidth to
// halfWidth, y from 0 to height), then the red tip and the green side handle at
// their local positions. Pick codes are absent for laterals from index 16 on.
struct RulePartPlacement {
    RulePart part = RulePart::Stem;
    int lateralIndex = -1;  // -1 for stem and continuation
    Matrix4 transform;      // rule frame <- part frame
    double height = 0.0;
    double halfWidth = 0.0;
    Vector3 tipHandle;
    Vector3 sideHandle;
    std::optional<std::uint32_t> tipPickCode;
    std::optional<std::uint32_t> sidePickCode;
};

// The stem lengths a drag of the stem's tip handle produces: strictly between these.
// Continuation and lateral length factors are only ever set to 1.
constexpr double kDraggedStemLengthLow = 1.0;
constexpr double kDraggedStemLengthHigh = 3.0;

class RewritingRule {
public:
    // Sets the given id, continuation flag and lateral count, then Rebuild.
    RewritingRule(std::uint32_t ruleId, bool hasContinuation, int lateralCount);

    // Resets every length, width and matrix: laterals spread evenly about +y, each
    // tilted by -0.628318530717958 about z; the continuation turned half about +y.
    void Rebuild();
    // One lateral more, then Rebuild (every edit of the rule is lost).
    void AddLateral();
    // One lateral less (nothing when there are none), then Rebuild.
    void RemoveLateral();

    // One mouse-move step of a handle drag. part and handle are the decoded values
    // (part 0 continuation, 1 lateral, 2 stem; handle 0 tip, 1 side); dx, dy the
    // mouse motion in pixels since the last move; point the mouse position at the
    // handle's depth relative to the rule's origin. Edits that would leave their
    // range are ignored; unknown parts and lateral indices are ignored.
    void DragHandle(std::uint32_t part, int lateralIndex, std::uint32_t handle, double dx,
                    double dy, const Vector3& point);

    // The parts in drawing order: stem, continuation (when present), laterals by index.
    std::vector<RulePartPlacement> Placements() const;

    std::uint32_t ruleId;
    bool hasContinuation;
    double continuationLength = 1.0;
    double continuationWidth = 0.95;
    Matrix4 continuationMatrix;
    double stemLength = 1.0;
    double stemWidth = 0.15;
    std::vector<Lateral> laterals;
};

}  // namespace vantrel
