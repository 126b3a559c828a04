#include <gtest/gtest.h>

#include <cmath>

#include "growth/RewritingRule.h"

namespace vantrel {
namespace {

Vector3 Direction(const Matrix4& m) {
    return m.Transform(Vector3(0, 1, 0));
}

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
    const RewritingRule rule1(0, true, 1), rule2(1, false, 2);
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
    EXPECT_DOUBLE_EQ(Direction(rule2.laterals[1].matrix).y,
                     std::cos(0.628318530717958));  // leaning off the stem
    for (int i = 0; i < 2; ++i) {
        ExpectSameMatrix(rule2.laterals[i].matrix, SpinThenTilt(3.14159265358979 * i));
        EXPECT_EQ(rule2.laterals[i].length, 1.0);
        EXPECT_EQ(rule2.laterals[i].width, 0.98);
    }
}

TEST(RewritingRule, CountChangesRebuildFromTheDefaults) {
    RewritingRule rule(1, false, 2);
    const RewritingRule pristine(1, false, 2);
    rule.DragHandle(2, 0, 0, 0, 0, Vector3(0, 2.5, 0));  // stem length
    rule.DragHandle(1, 1, 1, 20, 30, Vector3());         // lateral width and twist
    rule.laterals[0].length = 0.4;
    ASSERT_EQ(rule.stemLength, 2.5);
    rule.AddLateral();  // spread at thirds
    EXPECT_EQ(rule.stemLength, 1.0);
    ASSERT_EQ(rule.laterals.size(), 3u);
    for (int i = 0; i < 3; ++i)
        ExpectSameMatrix(rule.laterals[i].matrix, SpinThenTilt((6.28318530717958 / 3) * i));

    rule.laterals[0].length = 0.4;
    rule.RemoveLateral();
    ASSERT_EQ(rule.laterals.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        ExpectSameMatrix(rule.laterals[i].matrix, pristine.laterals[i].matrix);
        EXPECT_EQ(rule.laterals[i].width, 0.98);
        EXPECT_EQ(rule.laterals[i].length, 1.0);
    }

    RewritingRule bare(0, true, 0);
    bare.stemWidth = 0.3;
    bare.RemoveLateral();  // nothing to remove: no Rebuild either
    EXPECT_TRUE(bare.laterals.empty());
    EXPECT_EQ(bare.stemWidth, 0.3);
}

TEST(RewritingRule, DragsRefuseSizesAtOrBeyondTheirBounds) {
    RewritingRule rule(1, false, 2);
    for (double y : {3.0, 0.5, 3.5})
        rule.DragHandle(2, 0, 0, 0, 0, Vector3(0, y, 0));  // stem tip outside (1, 3)
    EXPECT_EQ(rule.stemLength, 1.0);
    rule.DragHandle(2, 0, 0, 0, 0, Vector3(0, 2.999, 0));
    EXPECT_EQ(rule.stemLength, 2.999);
    rule.DragHandle(2, 0, 1, 100, 0, Vector3());  // stem width 0.15 + 0.1
    rule.DragHandle(2, 0, 1, 150, 0, Vector3());  // 0.4: refused
    EXPECT_DOUBLE_EQ(rule.stemWidth, 0.25);
    rule.DragHandle(1, 0, 1, -50, 0, Vector3());  // lateral width 0.98 - 0.5
    rule.DragHandle(1, 0, 1, 60, 0, Vector3());   // 1.08: refused
    EXPECT_DOUBLE_EQ(rule.laterals[0].width, 0.48);

    // The continuation's side handle twists even when its width is refused.
    RewritingRule rule1(0, true, 1);
    const Matrix4 before = rule1.continuationMatrix;
    rule1.DragHandle(0, 0, 1, 10, 25, Vector3());  // width 1.05: refused
    EXPECT_EQ(rule1.continuationWidth, 0.95);
    Matrix4 twist;
    twist.SetRotationY(25 * 0.01);
    ExpectSameMatrix(rule1.continuationMatrix, before.Multiply(twist));
    rule1.continuationLength = 0.7;  // its tip resets the length
    rule1.DragHandle(0, 0, 0, 5, 5, Vector3(0, 9, 9));
    EXPECT_EQ(rule1.continuationLength, 1.0);
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

TEST(RulePickCode, CodesFollowTheHandleTableAndDecodeToTheirHandle) {
    EXPECT_EQ(RulePickCode(1, RulePart::Continuation, 0, RuleHandle::Tip), 256u);
    EXPECT_EQ(RulePickCode(1, RulePart::Continuation, 0, RuleHandle::Side), 257u);
    EXPECT_EQ(RulePickCode(0, RulePart::Lateral, 3, RuleHandle::Tip), 64u + 12u);
    EXPECT_EQ(RulePickCode(1, RulePart::Lateral, 15, RuleHandle::Side), 256u + 65u + 60u);
    EXPECT_EQ(RulePickCode(1, RulePart::Stem, 0, RuleHandle::Tip), 256u + 128u);
    EXPECT_EQ(RulePickCode(1, RulePart::Stem, 0, RuleHandle::Side), 256u + 129u);
    for (std::uint32_t rule = 0; rule < 2; ++rule) {
        for (std::uint32_t handle = 0; handle < 2; ++handle) {
            const auto h = static_cast<RuleHandle>(handle);
            for (int i = 0; i < kMaxPickableLaterals; ++i) {
                const DecodedRulePick pick =
                    DecodeRulePick(*RulePickCode(rule, RulePart::Lateral, i, h));
                EXPECT_TRUE(pick.ruleId == rule && pick.part == 1u && pick.lateralIndex == i &&
                            pick.handle == handle)
                    << "rule " << rule << " lateral " << i << " handle " << handle;
            }
            EXPECT_EQ(DecodeRulePick(*RulePickCode(rule, RulePart::Stem, 0, h)).part, 2u);
            EXPECT_EQ(DecodeRulePick(*RulePickCode(rule, RulePart::Continuation, 0, h)).part, 0u);
        }
    }
}

TEST(RulePickCode, LateralsAndRulesFromSixteenOnHaveNoCode) {
    // 256 + 64 + 4 * 16 would be the stem tip's code.
    EXPECT_FALSE(RulePickCode(1, RulePart::Lateral, 16, RuleHandle::Tip).has_value());
    EXPECT_FALSE(RulePickCode(16, RulePart::Stem, 0, RuleHandle::Tip).has_value());
    EXPECT_EQ(RulePickCode(15, RulePart::Stem, 0, RuleHandle::Tip), 15u * 256u + 128u);

    const std::vector<RulePartPlacement> parts = RewritingRule(1, false, 17).Placements();
    ASSERT_EQ(parts.size(), 18u);  // stem and 17 laterals, no continuation
    EXPECT_TRUE(parts[16].tipPickCode.has_value());
    EXPECT_FALSE(parts[17].tipPickCode.has_value());
    EXPECT_FALSE(parts[17].sidePickCode.has_value());
}

TEST(RewritingRule, PlacementsPutHandlesWhereTheyAreDrawn) {
    RewritingRule rule(0, true, 1);
    rule.stemLength = 2.0;
    rule.stemWidth = 0.2;
    const std::vector<RulePartPlacement> parts = rule.Placements();
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_TRUE(parts[0].part == RulePart::Stem && parts[1].part == RulePart::Continuation &&
                parts[2].part == RulePart::Lateral && parts[2].lateralIndex == 0);
    EXPECT_EQ(parts[0].tipHandle.y, 2.0);
    EXPECT_EQ(parts[0].sideHandle.x, 0.2 + 0.01);  // just outside the stem, half way up
    EXPECT_EQ(parts[0].sideHandle.y, 1.0);
    EXPECT_DOUBLE_EQ(parts[1].halfWidth, 0.95 * 0.2);
    EXPECT_EQ(parts[1].transform.Transform(Vector3()).y, 2.0);  // starts at the stem's tip
    EXPECT_EQ(parts[1].tipPickCode, 0u);
    EXPECT_EQ(parts[2].sidePickCode, 65u);
}

}  // namespace
}  // namespace vantrel
