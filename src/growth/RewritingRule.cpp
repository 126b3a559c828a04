#include "growth/RewritingRule.h"

namespace vantrel {

namespace {

// Tilt of every lateral away from the stem axis, and the full and half turns, as
// the stored constants (15 significant digits, not exact multiples of pi).
constexpr double kLateralTilt = -0.628318530717958;
constexpr double kFullTurn = 6.28318530717958;
constexpr double kHalfTurn = 3.14159265358979;

Matrix4 RotationY(double angle) {
    Matrix4 rotation;
    rotation.SetRotationY(angle);
    return rotation;
}

// A part placed at the stem's tip: translate to (0, stemLength, 0), then orient.
Matrix4 AtStemTip(double stemLength, const Matrix4& orientation) {
    Matrix4 translation;
    translation.SetTranslation(Vector3(0.0, stemLength, 0.0));
    return translation.Multiply(orientation);
}

}  // namespace

std::optional<std::uint32_t> RulePickCode(std::uint32_t ruleId, RulePart part, int lateralIndex,
                                          RuleHandle handle) {
    if (ruleId > 15) return std::nullopt;
    const std::uint32_t base = ruleId * 256u + static_cast<std::uint32_t>(handle);
    switch (part) {
        case RulePart::Continuation:
            return base;
        case RulePart::Stem:
            return base + 128u;
        case RulePart::Lateral:
            if (lateralIndex < 0 || lateralIndex >= kMaxPickableLaterals) return std::nullopt;
            return base + 64u + 4u * static_cast<std::uint32_t>(lateralIndex);
    }
    return std::nullopt;
}

DecodedRulePick DecodeRulePick(std::uint32_t code) {
    DecodedRulePick pick;
    pick.ruleId = (code & 0xf00u) >> 8;
    pick.part = (code & 0xc0u) >> 6;
    pick.lateralIndex = static_cast<int>((code & 0x3cu) >> 2);
    pick.handle = code & 0x3u;
    return pick;
}

RewritingRule::RewritingRule(std::uint32_t id, bool continuation, int lateralCount)
    : ruleId(id), hasContinuation(continuation) {
    continuationMatrix.SetIdentity();
    laterals.resize(lateralCount > 0 ? static_cast<std::size_t>(lateralCount) : 0);
    Rebuild();
}

void RewritingRule::Rebuild() {
    Matrix4 tilt;
    tilt.SetRotationZ(kLateralTilt);
    const std::size_t count = laterals.size();
    for (std::size_t i = 0; i < count; ++i) {
        const Matrix4 spin =
            RotationY((kFullTurn / static_cast<double>(count)) * static_cast<double>(i));
        laterals[i].matrix = spin.Multiply(tilt);
        laterals[i].length = 1.0;
        laterals[i].width = 0.98;
    }
    continuationLength = 1.0;
    continuationWidth = 0.95;
    continuationMatrix.SetRotationY(kHalfTurn);
    stemLength = 1.0;
    stemWidth = 0.15;
}

void RewritingRule::AddLateral() {
    laterals.emplace_back();
    Rebuild();
}

void RewritingRule::RemoveLateral() {
    if (laterals.empty()) return;
    laterals.pop_back();
    Rebuild();
}

void RewritingRule::DragHandle(std::uint32_t part, int lateralIndex, std::uint32_t handle,
                               double dx, double dy, const Vector3& point) {
    const bool tip = handle == static_cast<std::uint32_t>(RuleHandle::Tip);
    const bool side = handle == static_cast<std::uint32_t>(RuleHandle::Side);
    if (part == static_cast<std::uint32_t>(RulePart::Stem)) {
        if (tip) {
            if (kDraggedStemLengthLow < point.y && point.y < kDraggedStemLengthHigh)
                stemLength = point.y;
        } else if (side) {
            const double width = stemWidth + dx * 0.001;
            if (0.1 < width && width < 0.4) stemWidth = width;
        }
    } else if (part == static_cast<std::uint32_t>(RulePart::Continuation)) {
        if (tip) {
            continuationLength = 1.0;
        } else if (side) {
            const double width = continuationWidth + dx * 0.01;
            if (0.1 < width && width < 1.0) continuationWidth = width;
            // Vertical motion twists the continuation about its own axis even when
            // the width step was refused.
            continuationMatrix = continuationMatrix.Multiply(RotationY(dy * 0.01));
        }
    } else if (part == static_cast<std::uint32_t>(RulePart::Lateral)) {
        if (lateralIndex < 0 || static_cast<std::size_t>(lateralIndex) >= laterals.size()) return;
        Lateral& lateral = laterals[static_cast<std::size_t>(lateralIndex)];
        if (tip) {
            const Vector3 branchPoint(0.0, stemLength, 0.0);
            // The lateral swings to point from the branch point at the mouse.
            Vector3 current = lateral.matrix.Transform(Vector3(0.0, 1.0, 0.0));
            Vector3 wanted = point - branchPoint;
            Matrix4 swing;
            RotationBetween(current, wanted, swing);
            lateral.matrix = swing.Multiply(lateral.matrix);
            // The drag distance only gates a reset of the length factor to 1.0; it
            // is not taken as the new length.
            const double reach = (point - branchPoint).Length() / stemLength;
            if (0.3 < reach && reach < 1.5) lateral.length = 1.0;
        } else if (side) {
            const double width = lateral.width + dx * 0.01;
            if (0.1 < width && width < 1.0) lateral.width = width;
            lateral.matrix = lateral.matrix.Multiply(RotationY(dy * 0.01));
        }
    }
}

std::vector<RulePartPlacement> RewritingRule::Placements() const {
    std::vector<RulePartPlacement> parts;
    parts.reserve(2 + laterals.size());

    RulePartPlacement stem;
    stem.part = RulePart::Stem;
    stem.transform.SetIdentity();
    stem.height = stemLength;
    stem.halfWidth = stemWidth;
    stem.tipHandle = Vector3(0.0, stemLength, stemWidth + 0.01);
    stem.sideHandle = Vector3(stemWidth + 0.01, stemLength * 0.5, 0.0);
    stem.tipPickCode = RulePickCode(ruleId, RulePart::Stem, 0, RuleHandle::Tip);
    stem.sidePickCode = RulePickCode(ruleId, RulePart::Stem, 0, RuleHandle::Side);
    parts.push_back(stem);

    auto placeAtTip = [&](RulePart part, int index, const Matrix4& orientation, double lengthFactor,
                          double widthFactor) {
        RulePartPlacement placement;
        placement.part = part;
        placement.lateralIndex = index;
        placement.transform = AtStemTip(stemLength, orientation);
        placement.height = lengthFactor * stemLength;
        placement.halfWidth = widthFactor * stemWidth;
        placement.tipHandle = Vector3(0.0, placement.height, 0.0);
        placement.sideHandle = Vector3(placement.halfWidth + 0.01, placement.height * 0.5, 0.0);
        placement.tipPickCode = RulePickCode(ruleId, part, index, RuleHandle::Tip);
        placement.sidePickCode = RulePickCode(ruleId, part, index, RuleHandle::Side);
        parts.push_back(placement);
    };
    if (hasContinuation) {
        placeAtTip(RulePart::Continuation, -1, continuationMatrix, continuationLength,
                   continuationWidth);
    }
    for (std::size_t i = 0; i < laterals.size(); ++i) {
        placeAtTip(RulePart::Lateral, static_cast<int>(i), laterals[i].matrix, laterals[i].length,
                   laterals[i].width);
    }
    return parts;
}

}  // namespace vantrel
