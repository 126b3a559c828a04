#include <gtest/gtest.h>

#include <cmath>

#include "growth/RewritingRule.h"

namespace vantrel {
namespace {

Vector3 Direction(const Matrix4& m) { return m.Transform(Vector3(0, 1, 0)); }

void ExpectSameMatrix(const Matrix4& a, const Matrix4& b) {
    for (int i = 0; i < 16; ++i) EXPECT_EQ(a.m[i], b.m[i]) << "element " << i;
}

Matrix4 SpinThenTilt(double spin) {
    Matrix4 s, t;
    s.SetRotationY(spin);
    t.SetRotationZ(-0.628318530717958);
    return s.Multiply(t);
}

TEST(RewritingRule, FreshRulesHaveTheirDefaults) {
    const RewritingRule rule1(0, true, 1);
    const RewritingRule rule2(1, false, 2);
    EXPECT_EQ(rule1.laterals.size(), 1u);
    EXPECT_TRUE(rule1.hasContinuation);
    EXPECT_FALSE(rule2.hasContinuation);
    EXPECT_EQ(rule2.stemLength, 1.0);
    EXPECT_EQ(rule2.stemWidth, 0.15);
    EXPECT_EQ(rule2.continuationLength, 1.0);
    EXPECT_EQ(rule2.continuationWidth, 0.95);
    Matrix4 halfTurn;
    halfTurn.SetRotationY(3.14159265358979);
    ExpectSameMatrix(rule2.continuationMatrix, halfTurn);

    ASSERT_EQ(rule2.laterals.size(), 2u);
    ExpectSameMatrix(rule2.laterals[0].matrix, SpinThenTilt(0.0));
    ExpectSameMatrix(rule2.laterals[1].matrix, SpinThenTilt(3.14159265358979));
    for (const Lateral& lateral : rule2.laterals) {
        EXPECT_EQ(lateral.length, 1.0);
        EXPECT_EQ(lateral.width, 0.98);
    }
    // Both laterals lean by the same angle from the stem axis, on opposite sides.
    const Vector3 a = Direction(rule2.laterals[0].matrix);
    const Vector3 b = Direction(rule2.laterals[1].matrix);
    EXPECT_DOUBLE_EQ(a.y, std::cos(0.628318530717958));
    EXPECT_DOUBLE_EQ(a.y, b.y);
    EXPECT_NEAR(a.x, -b.x, 1e-12);
}

TEST(RewritingRule, AddingALateralSpreadsThemAtThirds) {
    RewritingRule rule(1, false, 2);
    rule.AddLateral();
    ASSERT_EQ(rule.laterals.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        ExpectSameMatrix(rule.laterals[i].matrix, SpinThenTilt((6.28318530717958 / 3) * i));
    }
}

TEST(RewritingRule, CountChangesResetEveryEdit) {
    RewritingRule rule(1, false, 2);
    const RewritingRule pristine(1, false, 2);
    rule.DragHandle(2, 0, 0, 0, 0, Vector3(0, 2.5, 0));                  // stem length
    rule.DragHandle(1, 1, 1, 20, 30, Vector3());                          // lateral width and twist
    rule.laterals[0].length = 0.4;
    ASSERT_EQ(rule.stemLength, 2.5);
    rule.AddLateral();
    rule.RemoveLateral();
    EXPECT_EQ(rule.stemLength, 1.0);
    ASSERT_EQ(rule.laterals.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        ExpectSameMatrix(rule.laterals[i].matrix, pristine.laterals[i].matrix);
        EXPECT_EQ(rule.laterals[i].width, 0.98);
        EXPECT_EQ(rule.laterals[i].length, 1.0);
    }
}

TEST(RewritingRule, RemovingFromARuleWithoutLateralsDoesNothing) {
    RewritingRule rule(0, true, 0);
    rule.stemWidth = 0.3;
    rule.RemoveLateral();
    EXPECT_TRUE(rule.laterals.empty());
    EXPECT_EQ(rule.stemWidth, 0.3);  // no Rebuild either
}

TEST(RewritingRule, StemTipDragRefusesLengthsAtOrBeyondItsBounds) {
    RewritingRule rule(1, false, 2);
    for (double y : {1.0, 3.0, 0.5, 3.5}) {
        rule.DragHandle(2, 0, 0, 0, 0, Vector3(0, y, 0));
        EXPECT_EQ(rule.stemLength, 1.0) << y;
    }
    rule.DragHandle(2, 0, 0, 0, 0, Vector3(0, 2.999, 0));
    EXPECT_EQ(rule.stemLength, 2.999);
}

TEST(RewritingRule, SideDragsChangeWidthsWithinOpenRanges) {
    RewritingRule rule(1, false, 2);
    rule.DragHandle(2, 0, 1, 100, 0, Vector3());  // 0.15 + 0.1
    EXPECT_DOUBLE_EQ(rule.stemWidth, 0.25);
    rule.DragHandle(2, 0, 1, 150, 0, Vector3());  // 0.4: refused
    EXPECT_DOUBLE_EQ(rule.stemWidth, 0.25);

    rule.DragHandle(1, 0, 1, -50, 0, Vector3());  // 0.98 - 0.5
    EXPECT_DOUBLE_EQ(rule.laterals[0].width, 0.48);
    rule.DragHandle(1, 0, 1, 60, 0, Vector3());  // 1.08: refused
    EXPECT_DOUBLE_EQ(rule.laterals[0].width, 0.48);
}

TEST(RewritingRule, ContinuationSideTwistsEvenWhenWidthIsRefused) {
    RewritingRule rule(0, true, 1);
    const Matrix4 before = rule.continuationMatrix;
    rule.DragHandle(0, 0, 1, 10, 25, Vector3());  // width 1.05: refused
    EXPECT_EQ(rule.continuationWidth, 0.95);
    Matrix4 twist;
    twist.SetRotationY(25 * 0.01);
    ExpectSameMatrix(rule.continuationMatrix, before.Multiply(twist));

    rule.continuationLength = 0.7;
    rule.DragHandle(0, 0, 0, 5, 5, Vector3(0, 9, 9));
    EXPECT_EQ(rule.continuationLength, 1.0);
}

TEST(RewritingRule, LateralTipSwingsTowardsTheMouse) {
    RewritingRule rule(1, false, 2);
    rule.laterals[0].length = 0.5;
    // 1.0 from the branch point (0, 1, 0) along +x: inside (0.3, 1.5), the length
    // factor is reset to 1.0.
    rule.DragHandle(1, 0, 0, 0, 0, Vector3(1.0, 1.0, 0.0));
    const Vector3 direction = Direction(rule.laterals[0].matrix);
    EXPECT_NEAR(direction.x, 1.0, 1e-12);
    EXPECT_NEAR(direction.y, 0.0, 1e-12);
    EXPECT_NEAR(direction.z, 0.0, 1e-12);
    EXPECT_EQ(rule.laterals[0].length, 1.0);

    // Far away (reach 2.0): it swings, but the length factor stays as it is.
    rule.laterals[0].length = 0.5;
    rule.DragHandle(1, 0, 0, 0, 0, Vector3(0.0, 1.0, 2.0));
    EXPECT_NEAR(Direction(rule.laterals[0].matrix).z, 1.0, 1e-12);
    EXPECT_EQ(rule.laterals[0].length, 0.5);
}

TEST(RulePickCode, CodesFollowTheHandleTable) {
    EXPECT_EQ(RulePickCode(1, RulePart::Continuation, 0, RuleHandle::Tip), 256u);
    EXPECT_EQ(RulePickCode(1, RulePart::Continuation, 0, RuleHandle::Side), 257u);
    EXPECT_EQ(RulePickCode(0, RulePart::Lateral, 3, RuleHandle::Tip), 64u + 12u);
    EXPECT_EQ(RulePickCode(1, RulePart::Lateral, 15, RuleHandle::Side), 256u + 65u + 60u);
    EXPECT_EQ(RulePickCode(1, RulePart::Stem, 0, RuleHandle::Tip), 256u + 128u);
    EXPECT_EQ(RulePickCode(1, RulePart::Stem, 0, RuleHandle::Side), 256u + 129u);
}

TEST(RulePickCode, LateralsFromSixteenOnHaveNoCode) {
    // 256 + 64 + 4 * 16 would be the stem tip's code.
    EXPECT_FALSE(RulePickCode(1, RulePart::Lateral, 16, RuleHandle::Tip).has_value());
    EXPECT_FALSE(RulePickCode(16, RulePart::Stem, 0, RuleHandle::Tip).has_value());

    RewritingRule rule(1, false, 17);
    const std::vector<RulePartPlacement> parts = rule.Placements();
    ASSERT_EQ(parts.size(), 18u);  // stem and 17 laterals, no continuation
    EXPECT_TRUE(parts[16].tipPickCode.has_value());
    EXPECT_FALSE(parts[17].tipPickCode.has_value());
    EXPECT_FALSE(parts[17].sidePickCode.has_value());
}

TEST(RulePickCode, EveryCodeDecodesToItsHandle) {
    for (std::uint32_t rule = 0; rule < 2; ++rule) {
        for (std::uint32_t handle = 0; handle < 2; ++handle) {
            const auto h = static_cast<RuleHandle>(handle);
            for (int i = 0; i < kMaxPickableLaterals; ++i) {
                const DecodedRulePick pick = DecodeRulePick(*RulePickCode(rule, RulePart::Lateral, i, h));
                EXPECT_EQ(pick.ruleId, rule);
                EXPECT_EQ(pick.part, 1u);
                EXPECT_EQ(pick.lateralIndex, i);
                EXPECT_EQ(pick.handle, handle);
            }
            EXPECT_EQ(DecodeRulePick(*RulePickCode(rule, RulePart::Stem, 0, h)).part, 2u);
            EXPECT_EQ(DecodeRulePick(*RulePickCode(rule, RulePart::Continuation, 0, h)).part, 0u);
        }
    }
}

TEST(RewritingRule, PlacementsPutHandlesWhereTheyAreDrawn) {
    RewritingRule rule(0, true, 1);
    rule.stemLength = 2.0;
    rule.stemWidth = 0.2;
    const std::vector<RulePartPlacement> parts = rule.Placements();
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[0].part, RulePart::Stem);
    EXPECT_EQ(parts[0].tipHandle.z, 0.2 + 0.01);
    EXPECT_EQ(parts[0].tipHandle.y, 2.0);
    EXPECT_EQ(parts[0].sideHandle.x, 0.2 + 0.01);
    EXPECT_EQ(parts[0].sideHandle.y, 1.0);

    EXPECT_EQ(parts[1].part, RulePart::Continuation);
    EXPECT_EQ(parts[1].height, 2.0);
    EXPECT_DOUBLE_EQ(parts[1].halfWidth, 0.95 * 0.2);
    // The continuation starts at the stem's tip.
    const Vector3 base = parts[1].transform.Transform(Vector3());
    EXPECT_EQ(base.y, 2.0);
    EXPECT_EQ(parts[1].tipPickCode, 0u);

    EXPECT_EQ(parts[2].part, RulePart::Lateral);
    EXPECT_EQ(parts[2].lateralIndex, 0);
    EXPECT_EQ(parts[2].sidePickCode, 65u);
}

}  // namespace
}  // namespace vantrel
