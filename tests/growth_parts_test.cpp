// The parts a growth run is made of, each on inputs small enough to work out by hand:
// polylines, the generator's shuffle and Gaussian factor, fibre tubes and their OBJ
// export, the excitation animation and block toggling, the surface sketch, and the
// rewriting rules' editing and pick codes. Whole runs are pinned in
// pinned_output_test.cpp.
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

TEST(Polyline, LengthAndPointAtArcLength) {
    const Polyline bent = Path({Vector3(0, 0, 0), Vector3(2, 0, 0), Vector3(2, 3, 0)});
    const Polyline repeatedEnd = Path({Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(1, 0, 0)});
    const Polyline single = Path({Vector3(4, 4, 4)});
    EXPECT_EQ(Path({}).Length(), 0.0);
    EXPECT_EQ(single.Length(), 0.0);
    EXPECT_EQ(bent.Length(), 5.0);
    const struct {
        const char* name;
        const Polyline& line;
        double length;
        int index;
        Vector3 point, tangent;
        bool zeroTangent;
    } cases[] = {
        {"start", bent, 0.0, 0, Vector3(0, 0, 0), Vector3(1, 0, 0), false},
        // A segment's end length belongs to that segment (>=), not to the next one.
        {"end of first segment", bent, 2.0, 0, Vector3(2, 0, 0), Vector3(1, 0, 0), false},
        {"inside second segment", bent, 3.5, 1, Vector3(2, 1.5, 0), Vector3(0, 1, 0), false},
        {"beyond the end: last point", bent, 9.0, 2, Vector3(2, 3, 0), Vector3(0, 1, 0), false},
        {"coinciding last points: zero tangent, flagged", repeatedEnd, 5.0, 2, Vector3(1, 0, 0),
         Vector3(), true},
        {"too short: origin", single, 1.0, 0, Vector3(), Vector3(), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
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

// The state whose next draw lands on `next` (the generator's step is invertible).
std::uint32_t StateBefore(std::uint32_t next) {
    std::uint32_t inverse = 214013u;  // Newton iteration for the inverse mod 2^32
    for (int i = 0; i < 5; ++i) inverse *= 2u - 214013u * inverse;
    return (next - 2531011u) * inverse;
}

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

TEST(GaussianFactor, DrawsU1ThenU2ClampsAndNeverGivesNotANumber) {
    // The fresh generator gives u1 = 41/32767, |z| of about 3.6: a spread of 1 leaves [0, 2].
    const double z =
        std::sqrt(-2.0 * std::log(41 / 32767.0)) * std::sin(6.28318530717958 * (18467 / 32767.0));
    ASSERT_LT(1.0 + z, 0.0);
    const std::uint32_t fresh = GrowthRandom().State(), zeroU1 = StateBefore(0u);
    const struct {
        const char* name;
        std::uint32_t state;
        double spread, factor;
    } cases[] = {
        {"1 + spread * z", fresh, 0.1, 1.0 + 0.1 * z},
        {"clamped to 0", fresh, 1.0, 0.0},
        {"clamped to 2", fresh, -1.0, 2.0},
        // u1 = 0 makes the deviate infinite: clamped when there is a spread (u2 =
        // 38/32767, sin > 0), and 1.0 (not 1 + 0 * infinity) when there is none.
        {"u1 = 0 with a spread", zeroU1, 0.4, 2.0},
        {"u1 = 0 without a spread", zeroU1, 0.0, 1.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        GrowthRandom random(c.state), twoDraws(c.state);
        twoDraws.Next();
        twoDraws.Next();
        EXPECT_EQ(GaussianFactor(random, c.spread), c.factor);
        EXPECT_EQ(random.State(), twoDraws.State());
    }
}

// ---- tubes and the fibre OBJ

double RingRadius(const TubeMesh& tube, const Polyline& path, int ring) {
    return (tube.Vertex(ring, 0) - path.points[ring]).Length();
}

TEST(TubeMesh, RadiusRunsQuadraticallyFromR0ToR1AboveAFloor) {
    const Polyline path = Path({Vector3(0, 0, 0), Vector3(0, 1, 0), Vector3(0, 2, 0)});
    TubeMesh tube;
    tube.BuildTube(path, 0.03, 0.0285, 4, Vector3(0, 1, 0));
    ASSERT_EQ(tube.rows, 3);
    ASSERT_EQ(tube.columns, 4);
    const double radii[] = {0.03, 0.01425, 0.0285};
    for (int ring = 0; ring < 3; ++ring)
        EXPECT_NEAR(RingRadius(tube, path, ring), radii[ring], 1e-15);
    // Below 0.005 the radius is raised to 0.005 (here at every ring).
    tube.BuildTube(path, 0.001, 0.001, 4, Vector3(0, 1, 0));
    for (int ring = 0; ring < 3; ++ring) EXPECT_NEAR(RingRadius(tube, path, ring), 0.005, 1e-15);
}

// The normals (drawn only, so no pinned output holds them) point out of the tube, on a
// bent path and on the shortest one (two rings).
TEST(TubeMesh, NormalsAreUnitVectorsPointingOutwards) {
    const Polyline paths[] = {
        Path({Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(2, 1, 0), Vector3(2, 2, 1)}),
        Path({Vector3(1, 1, 1), Vector3(2, 1.5, 1)}),
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

TEST(TubeMesh, ShortPathsGiveNoNotANumber) {
    TubeMesh tube;
    tube.BuildTube(Path({Vector3(1, 1, 1)}), 0.03, 0.02, 4, Vector3());
    EXPECT_EQ(tube.rows, 1);
    for (const Vector3& v : tube.vertices) EXPECT_FALSE(std::isnan(v.x + v.y + v.z));
    tube.BuildTube(Path({}), 0.03, 0.02, 4, Vector3());
    EXPECT_EQ(tube.rows, 0);
    EXPECT_TRUE(tube.vertices.empty());
}

// A fibre with two strokes of two points each, straight up the y axis.
FiberCore TwoStrokeNetwork() {
    FiberCore core;
    core.fibers.resize(1);
    for (int s = 0; s < 2; ++s) {
        auto stroke = std::make_unique<Stroke>();
        stroke->path = Path({Vector3(0, s, 0), Vector3(0, s + 1, 0)});
        stroke->tube.BuildTube(stroke->path, 0.03, 0.0285, 4, Vector3(0, 1, 0));
        core.fibers[0].strokes.push_back(std::move(stroke));
    }
    return core;
}

TEST(ExportFibersObj, FrontAndEmptyNetworksWriteNothing) {
    FiberCore core;
    EXPECT_TRUE(ExportedObj(core).empty());
    core = TwoStrokeNetwork();
    core.fibers[0].apexes = std::move(core.fibers[0].strokes);
    core.fibers[0].strokes.clear();
    EXPECT_TRUE(ExportedObj(core).empty());
}

TEST(ExportFibersObj, ReportsAFileThatCannotBeWritten) {
    std::FILE* readOnly = std::fopen("/dev/null", "r");
    ASSERT_NE(readOnly, nullptr);
    EXPECT_FALSE(TwoStrokeNetwork().ExportFibersObj(readOnly));
    std::fclose(readOnly);
}

// ---- the excitation animation and block toggling

// Adds a stroke with the given path points to the fibre's grown strokes.
Stroke* AddStroke(Fiber& fiber, std::initializer_list<Vector3> points = {Vector3()}) {
    fiber.strokes.push_back(std::make_unique<Stroke>());
    fiber.strokes.back()->path.points = points;
    return fiber.strokes.back().get();
}

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
    int repaints = 0;
    const std::vector<std::vector<int>> waves = {
        {10, 0, 0, 0, 0},   // nothing excited: the wave starts at the first stroke
        {9, 10, 0, 0, 0},   //
        {8, 9, 0, 0, 10},   // the blocked stroke is passed over, and so everything behind it
        {10, 0, 0, 0, 0}};  // s4 reaches nothing at rest: the wave restarts
    for (const std::vector<int>& wave : waves) {
        core.AnimationStep([&] { ++repaints; });
        std::vector<int> activations;
        for (const Stroke* stroke : s) activations.push_back(stroke->activation);
        EXPECT_EQ(activations, wave);
    }
    EXPECT_EQ(repaints, 4);
    // The first stroke restarts the wave even when it is blocked.
    s[0]->activation = 5;
    s[0]->blocked = true;
    s[1]->activation = 0;
    core.AnimationStep();
    EXPECT_EQ(s[0]->activation, 10);
}

TEST(Animation, PassesRunFibreByFibre) {
    // b0 (fibre 1) ran into a1 (fibre 0). Fibre 0's passes are over when b0 excites
    // a1, so a1 arrives (11 -> 10) only in the next step.
    FiberCore core;
    core.fibers.resize(2);
    AddStroke(core.fibers[0]);
    Stroke* a1 = AddStroke(core.fibers[0]);
    Stroke* b0 = AddStroke(core.fibers[1]);
    b0->links.insert(a1);
    core.StartAnimation();
    core.AnimationStep();
    ASSERT_EQ(b0->activation, 10);
    core.AnimationStep();
    EXPECT_EQ(a1->activation, 11);
    EXPECT_EQ(b0->activation, 9);
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
    core.ToggleBlockAt(Vector3(-0.03, 0, -1), Vector3(0, 0, 2));
    EXPECT_FALSE(segment->blocked);

    core.fibers[0].strokes.clear();
    Stroke* far = AddStroke(core.fibers[0], {Vector3(0.02, 0, 0)});
    Stroke* near = AddStroke(core.fibers[0], {Vector3(0.01, 0, 0)});
    Stroke* other = AddStroke(core.fibers[1], {Vector3(0, 0.025, 0)});
    core.fibers[2].apexes.push_back(std::make_unique<Stroke>());
    Stroke* apex = core.fibers[2].apexes.back().get();
    apex->path.points = {Vector3()};
    core.ToggleBlockAt(Vector3(0, 0, 5), Vector3(0, 0, -1));
    EXPECT_FALSE(far->blocked);
    EXPECT_TRUE(near->blocked);
    EXPECT_TRUE(other->blocked);
    EXPECT_FALSE(apex->blocked);
}

// ---- the surface sketch

TEST(SurfaceSketch, PlacementPointsAFixedShortDirectionAtTheTargetOrNone) {
    Polyline placement = Path({Vector3(5, 5, 5), Vector3(5, 5, 5)});
    AimPlacement(placement, Vector3(8, 9, 5));  // 3-4-5 triangle: unit (0.6, 0.8, 0)
    ExpectNear(placement.points[0], Vector3(5, 5, 5), 0.0);
    ExpectNear(placement.points[1], Vector3(5.12, 5.16, 5), 1e-12);
    // A target on the position leaves no direction (the arrow is not drawn).
    AimPlacement(placement, Vector3(5, 5, 5));
    ExpectNear(placement.points[1], Vector3(5, 5, 5), 0.0);
}

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
        EXPECT_NEAR(d.Length(), first.Length(), 1e-12);
        // The next direction is this one turned a quarter counter-clockwise about the normal.
        ExpectNear(next, unit.Cross(d) + unit * unit.Dot(d), 1e-12);
    }
}

TEST(SurfaceSketch, SketchBecomesACurveFromFivePointsSmoothedTwiceWithItsColour) {
    Polyline sketch =
        Path({Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(2, 0, 0), Vector3(3, 4, 0)});
    sketch.color = {1.0f, 1.0f, 0.0f, 1.0f};
    EXPECT_FALSE(FeatureCurveFromSketch(sketch).has_value());
    sketch.points.push_back(Vector3(4, 0, 0));
    const auto curve = FeatureCurveFromSketch(sketch);
    ASSERT_TRUE(curve.has_value());
    // The spike in y spreads: 0 0 0 4 0 -> 0 0 1 2 0 -> 0 0.25 1 1.25 0; x stays even.
    const double y[5] = {0.0, 0.25, 1.0, 1.25, 0.0};
    ASSERT_EQ(curve->points.size(), 5u);
    for (int i = 0; i < 5; ++i) ExpectNear(curve->points[i], Vector3(i, y[i], 0), 1e-15);
    EXPECT_EQ(curve->color, sketch.color);
    EXPECT_EQ(sketch.points[3].y, 4.0);  // the sketch itself stays
}

// ---- rewriting rules

Vector3 Direction(const Matrix4& m) {
    return m.Transform(Vector3(0, 1, 0));
}

void ExpectSameMatrix(const Matrix4& a, const Matrix4& b) {
    for (int i = 0; i < 16; ++i) EXPECT_EQ(a.m[i], b.m[i]) << "element " << i;
}

TEST(RewritingRule, CountChangesRebuildFromTheDefaults) {
    RewritingRule rule(1, false, 2);
    const RewritingRule pristine(1, false, 2);
    rule.DragHandle(2, 0, 0, 0, 0, Vector3(0, 2.5, 0));  // stem length
    rule.DragHandle(1, 1, 1, 20, 30, Vector3());         // lateral width and twist
    ASSERT_EQ(rule.stemLength, 2.5);
    rule.AddLateral();  // spread at thirds, leaning off the stem
    EXPECT_EQ(rule.stemLength, 1.0);
    ASSERT_EQ(rule.laterals.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        Matrix4 spin, tilt;
        spin.SetRotationY((6.28318530717958 / 3) * i);
        tilt.SetRotationZ(-0.628318530717958);
        ExpectSameMatrix(rule.laterals[i].matrix, spin.Multiply(tilt));
    }
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
    rule.laterals[0].length = 0.5;
    // 1.0 from the branch point (0, 1, 0) along +x: inside (0.3, 1.5), the length
    // factor is reset to 1.0.
    rule.DragHandle(1, 0, 0, 0, 0, Vector3(1.0, 1.0, 0.0));
    ExpectNear(Direction(rule.laterals[0].matrix), Vector3(1, 0, 0), 1e-12);
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
    EXPECT_FALSE(parts[17].tipPickCode.has_value() || parts[17].sidePickCode.has_value());
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
