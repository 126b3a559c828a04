// The parts a growth run is made of, where the pinned whole runs (pinned_output_test.cpp)
// do not reach them: polyline ends, the generator's wide shuffle and clamped Gaussian
// factor, tube normals and one-ring tubes, the fibre OBJ's front and failed writes,
// the excitation animation and block toggling, the sketch's start directions, and the
// rewriting rules' editing and pick codes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

#include "growth/FiberCore.h"
#include "growth/GrowthRandom.h"
#include "growth/Polyline.h"
#include "growth/RewritingRule.h"
#include "growth/SurfaceSketch.h"
#include "growth/TubeMesh.h"
#include "growth_fixtures.h"

namespace vantrel {
namespace {

using growth_test::ExpectNear;
using growth_test::ExportedObj;
using growth_test::Path;

// ---- polylines

TEST(Polyline, PointAtArcLengthAtSegmentEndsAndBeyond) {
    const Polyline bent = Path({Vector3(0, 0, 0), Vector3(2, 0, 0), Vector3(2, 3, 0)});
    const Polyline repeatedEnd = Path({Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(1, 0, 0)});
    const Polyline single = Path({Vector3(4, 4, 4)});
    const struct {
        const Polyline& line;
        double length;
        int index;
        Vector3 point, tangent;
        bool zeroTangent;
    } cases[] = {
        // A segment's end length belongs to that segment (>=), not to the next one.
        {bent, 2.0, 0, Vector3(2, 0, 0), Vector3(1, 0, 0), false},
        // Beyond the end: the last point; coinciding last points: a zero tangent, flagged.
        {bent, 9.0, 2, Vector3(2, 3, 0), Vector3(0, 1, 0), false},
        {repeatedEnd, 5.0, 2, Vector3(1, 0, 0), Vector3(), true},
        // Too short: the origin.
        {single, 1.0, 0, Vector3(), Vector3(), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        Vector3 point(5, 5, 5), tangent(1, 1, 1);
        tangent.zero = !c.zeroTangent;
        int index = 7;
        c.line.PointAtArcLength(c.length, point, tangent, index);
        EXPECT_EQ(index, c.index);
        ExpectNear(point, c.point, 1e-15);
        ExpectNear(tangent, c.tangent, 0.0);
        EXPECT_EQ(tangent.zero, c.zeroTangent);
    }
}

// ---- the generator

TEST(Shuffle, LargeRangesWidenTheDrawAndStayAPermutation) {
    // From i = 32767 on one draw no longer covers 0..i: two draws are combined.
    const std::size_t count = 33000;
    std::vector<int> items(count);
    std::iota(items.begin(), items.end(), 0);
    GrowthRandom random, counter;
    ShuffleWithGenerator(items, random);
    for (std::size_t i = 0; i < (count - 1) + (count - 32767); ++i) counter.Next();
    EXPECT_EQ(random.State(), counter.State());
    std::vector<int> sorted = items;
    std::sort(sorted.begin(), sorted.end());
    for (std::size_t i = 0; i < count; ++i) ASSERT_EQ(sorted[i], static_cast<int>(i));
    EXPECT_NE(items[count - 1], static_cast<int>(count - 1));
}

// The state whose next draw lands on `next` (the generator's step is invertible).
std::uint32_t StateBefore(std::uint32_t next) {
    std::uint32_t inverse = 214013u;  // Newton iteration for the inverse mod 2^32
    for (int i = 0; i < 5; ++i) inverse *= 2u - 214013u * inverse;
    return (next - 2531011u) * inverse;
}

TEST(GaussianFactor, ClampsAndNeverGivesNotANumber) {
    // The fresh generator gives u1 = 41/32767 and u2 = 18467/32767: a deviate of about -3.6.
    const std::uint32_t fresh = GrowthRandom().State(), zeroU1 = StateBefore(0u);
    const struct {
        std::uint32_t state;
        double spread, factor;
    } cases[] = {
        {fresh, 1.0, 0.0},  // clamped to 0
        // u1 = 0 makes the deviate infinite: clamped when there is a spread (u2 =
        // 38/32767, sin > 0), and 1.0 (not 1 + 0 * infinity) when there is none.
        {zeroU1, 0.4, 2.0},
        {zeroU1, 0.0, 1.0},
    };
    for (const auto& c : cases) {
        GrowthRandom random(c.state);
        EXPECT_EQ(GaussianFactor(random, c.spread), c.factor) << c.spread;
    }
}

// ---- tubes and the fibre OBJ (the pinned OBJ holds the tube vertices, but not the
// normals, which are only drawn)

TEST(TubeMesh, NormalsAreUnitVectorsPointingOutwards) {
    const Polyline paths[] = {
        Path({Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(2, 1, 0), Vector3(2, 2, 1)}),
        Path({Vector3(1, 1, 1), Vector3(2, 1.5, 1)}),  // the shortest tube: two rings
    };
    for (const Polyline& path : paths) {
        TubeMesh tube;
        tube.BuildTube(path, 0.1, 0.1, 5, path.points[1] - path.points[0]);
        ASSERT_EQ(tube.rows, static_cast<int>(path.points.size()));
        for (int i = 0; i < tube.rows; ++i) {
            for (int k = 0; k < tube.columns; ++k) {
                const Vector3& n = tube.Normal(i, k);
                const Vector3 spoke = tube.Vertex(i, k) - path.points[i];
                EXPECT_NEAR(n.Length(), 1.0, 1e-12) << tube.rows << ": " << i << "," << k;
                EXPECT_GT(n.Dot(spoke), 0.5 * spoke.Length()) << tube.rows << ": " << i << "," << k;
            }
        }
    }
}

TEST(TubeMesh, OnePointPathGivesNoNotANumber) {
    TubeMesh tube;
    tube.BuildTube(Path({Vector3(1, 1, 1)}), 0.03, 0.02, 4, Vector3());
    ASSERT_EQ(tube.rows, 1);
    for (const Vector3& v : tube.vertices) EXPECT_FALSE(std::isnan(v.x + v.y + v.z));
}

// Adds a stroke with the given path points (and its tube) to the fibre's grown strokes.
Stroke* AddStroke(Fiber& fiber, std::initializer_list<Vector3> points = {Vector3()}) {
    fiber.strokes.push_back(std::make_unique<Stroke>());
    fiber.strokes.back()->path.points = points;
    fiber.strokes.back()->tube.BuildTube(fiber.strokes.back()->path, 0.03, 0.02, 4, Vector3());
    return fiber.strokes.back().get();
}

// A stopped or cancelled run leaves a front: it is not written.
TEST(ExportFibersObj, FrontStrokesAreNotWrittenAndAFailedWriteIsReported) {
    FiberCore core;
    core.fibers.resize(1);
    AddStroke(core.fibers[0], {Vector3(0, 0, 0), Vector3(0, 1, 0)});
    core.fibers[0].apexes = std::move(core.fibers[0].strokes);
    EXPECT_TRUE(ExportedObj(core).empty());
    core.fibers[0].strokes = std::move(core.fibers[0].apexes);
    std::FILE* readOnly = std::fopen("/dev/null", "r");
    ASSERT_NE(readOnly, nullptr);
    EXPECT_FALSE(core.ExportFibersObj(readOnly));
    std::fclose(readOnly);
}

// ---- the excitation animation and block toggling

TEST(Animation, WaveRunsOneLinkPerStepAndStopsAtABlock) {
    // s0 -> s1 -> s2 (blocked) -> s3, and s1 -> s4.
    FiberCore core;
    core.fibers.resize(1);
    Stroke* s[5];
    for (Stroke*& stroke : s) stroke = AddStroke(core.fibers[0]);
    s[0]->links = {s[1]};
    s[1]->links = {s[2], s[4]};
    s[2]->links = {s[3]};
    s[2]->blocked = true;
    core.StartAnimation();
    const std::vector<std::vector<int>> waves = {
        {10, 0, 0, 0, 0},   // nothing excited: the wave starts at the first stroke
        {9, 10, 0, 0, 0},   //
        {8, 9, 0, 0, 10},   // the blocked stroke is passed over, and so everything behind it
        {10, 0, 0, 0, 0}};  // s4 reaches nothing at rest: the wave restarts
    for (const std::vector<int>& wave : waves) {
        core.AnimationStep();
        std::vector<int> activations;
        for (const Stroke* stroke : s) activations.push_back(stroke->activation);
        EXPECT_EQ(activations, wave);
    }
    // The first stroke restarts the wave even when it is blocked.
    s[0]->activation = 5;
    s[0]->blocked = true;
    s[1]->activation = 0;
    core.AnimationStep();
    EXPECT_EQ(s[0]->activation, 10);
}

TEST(ToggleBlockAt, TogglesTheNearestStrokeOfEachFibreWithinTheThresholdButNotTheFront) {
    FiberCore core;
    core.fibers.resize(3);
    Stroke* segment = AddStroke(core.fibers[0], {Vector3(0, 0, 0), Vector3(1, 0, 0)});
    // 0.03 from the point (0.0009 squared) toggles; 0.032 (0.001024) does not.
    core.ToggleBlockAt(Vector3(0.032, 0, -1), Vector3(0, 0, 2));
    EXPECT_FALSE(segment->blocked);
    core.ToggleBlockAt(Vector3(-0.03, 0, -1), Vector3(0, 0, 2));
    EXPECT_TRUE(segment->blocked);

    core.fibers[0].strokes.clear();
    Stroke* far = AddStroke(core.fibers[0], {Vector3(0.02, 0, 0)});
    Stroke* near = AddStroke(core.fibers[0], {Vector3(0.01, 0, 0)});
    Stroke* other = AddStroke(core.fibers[1], {Vector3(0, 0.025, 0)});
    Stroke* front = AddStroke(core.fibers[2]);
    core.fibers[2].apexes = std::move(core.fibers[2].strokes);
    core.ToggleBlockAt(Vector3(0, 0, 5), Vector3(0, 0, -1));
    EXPECT_TRUE(!far->blocked && near->blocked && other->blocked && !front->blocked);
    // Hovering picks a stroke the same way: a ray through a point of it.
    EXPECT_EQ(core.StrokeUnderRay(Vector3(0.02, 0, 5), Vector3(0, 0, -1)), far);
}

// ---- the surface sketch

TEST(SurfaceSketch, StartDirectionsTurnAQuarterAboutAnyNormalKeepingLengthAndNormalPart) {
    Vector3 unit(1, 2, 2);  // the turn uses the normal's direction only
    const auto starts =
        QuarterTurnStartPoints(Vector3(1, 1, 1), Vector3(1.3, 0.9, 1.05), Vector3(1, 2, 2));
    unit.Normalize();
    const Vector3 first = starts[0].directionPoint - starts[0].position;
    ExpectNear(first, Vector3(0.3, -0.1, 0.05), 1e-15);
    for (int i = 0; i < 4; ++i) {
        const Vector3 d = starts[i].directionPoint - starts[i].position;
        const Vector3 next = starts[(i + 1) % 4].directionPoint - starts[(i + 1) % 4].position;
        ExpectNear(starts[i].position, Vector3(1, 1, 1), 0.0);
        // The next direction is this one turned a quarter counter-clockwise about the normal.
        ExpectNear(next, unit.Cross(d) + unit * unit.Dot(d), 1e-12);
    }
}

// ---- rewriting rules

void ExpectSameMatrix(const Matrix4& a, const Matrix4& b) {
    for (int i = 0; i < 16; ++i) EXPECT_EQ(a.m[i], b.m[i]) << "element " << i;
}

TEST(RewritingRule, CountChangesRebuildFromTheDefaults) {
    RewritingRule rule(1, false, 2);
    rule.DragHandle(2, 0, 0, 0, 0, Vector3(0, 2.5, 0));  // stem length
    rule.AddLateral();
    EXPECT_EQ(rule.stemLength, 1.0);
    rule.DragHandle(1, 1, 1, 20, 30, Vector3());  // lateral width and twist
    rule.laterals[0].length = 0.4;
    rule.RemoveLateral();
    const RewritingRule pristine(1, false, 2);
    for (int i = 0; i < 2; ++i) {
        ExpectSameMatrix(rule.laterals[i].matrix, pristine.laterals[i].matrix);
        EXPECT_TRUE(rule.laterals[i].width == 0.98 && rule.laterals[i].length == 1.0);
    }
    RewritingRule bare(0, true, 0);
    bare.stemWidth = 0.3;
    bare.RemoveLateral();  // nothing to remove: no Rebuild either
    EXPECT_EQ(bare.stemWidth, 0.3);
}

TEST(RewritingRule, DragsRefuseSizesAtOrBeyondTheirBounds) {
    RewritingRule rule(1, false, 2);
    for (double y : {3.0, 0.5, 3.5})
        rule.DragHandle(2, 0, 0, 0, 0, Vector3(0, y, 0));  // stem tip outside (1, 3)
    EXPECT_EQ(rule.stemLength, 1.0);
    rule.DragHandle(2, 0, 1, 250, 0, Vector3());  // stem width 0.4: refused
    EXPECT_EQ(rule.stemWidth, 0.15);
    rule.DragHandle(1, 0, 1, -50, 0, Vector3());  // lateral width 0.98 - 0.5
    rule.DragHandle(1, 0, 1, 60, 0, Vector3());   // 1.08: refused
    EXPECT_DOUBLE_EQ(rule.laterals[0].width, 0.48);
    rule.laterals[1].width = 0.2;
    rule.DragHandle(1, 1, 1, -10, 0, Vector3());  // exactly 0.1: refused
    EXPECT_EQ(rule.laterals[1].width, 0.2);
    rule.DragHandle(1, 2, 1, -10, 0, Vector3());  // no lateral 2: ignored, nothing read
    EXPECT_EQ(rule.laterals.size(), 2u);

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

TEST(RewritingRule, LateralTipSwingsTowardsTheMouseAndResetsItsLengthWithinReach) {
    RewritingRule rule(1, false, 2);
    // From the branch point (0, 1, 0): 1.0 along +x is inside the reach (0.3, 1.5) and
    // resets the length factor; 2.0 along +z swings the lateral but keeps the factor.
    const struct {
        Vector3 mouse, direction;
        double length;
    } drags[] = {{Vector3(1, 1, 0), Vector3(1, 0, 0), 1.0},
                 {Vector3(0, 1, 2), Vector3(0, 0, 1), 0.5}};
    for (const auto& drag : drags) {
        rule.laterals[0].length = 0.5;
        rule.DragHandle(1, 0, 0, 0, 0, drag.mouse);
        ExpectNear(rule.laterals[0].matrix.Transform(Vector3(0, 1, 0)), drag.direction, 1e-12);
        EXPECT_EQ(rule.laterals[0].length, drag.length);
    }
}

TEST(RulePickCode, CodesDecodeToTheirHandleAndEndAtSixteen) {
    EXPECT_EQ(RulePickCode(1, RulePart::Lateral, 15, RuleHandle::Side), 256u + 65u + 60u);
    EXPECT_EQ(RulePickCode(15, RulePart::Stem, 0, RuleHandle::Side), 15u * 256u + 129u);
    for (int i = 0; i < kMaxPickableLaterals; ++i) {
        const DecodedRulePick pick =
            DecodeRulePick(*RulePickCode(1, RulePart::Lateral, i, RuleHandle::Side));
        EXPECT_TRUE(pick.ruleId == 1u && pick.part == 1u && pick.lateralIndex == i &&
                    pick.handle == 1u)
            << "lateral " << i;
    }
    // Lateral 16 would take the stem tip's code (256 + 64 + 4 * 16); rule 16 the next byte.
    EXPECT_FALSE(RulePickCode(1, RulePart::Lateral, 16, RuleHandle::Tip).has_value());
    EXPECT_FALSE(RulePickCode(16, RulePart::Stem, 0, RuleHandle::Tip).has_value());
}

}  // namespace
}  // namespace vantrel
