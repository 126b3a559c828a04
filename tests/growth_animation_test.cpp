#include <gtest/gtest.h>

#include "growth/FiberCore.h"

namespace vantrel {
namespace {

// Adds a stroke with the given path points to the fibre's grown strokes.
Stroke* AddStroke(Fiber& fiber, std::initializer_list<Vector3> points = {Vector3()}) {
    fiber.strokes.push_back(std::make_unique<Stroke>());
    fiber.strokes.back()->path.points = points;
    return fiber.strokes.back().get();
}

std::vector<int> Activations(const Fiber& fiber) {
    std::vector<int> values;
    for (const auto& stroke : fiber.strokes) values.push_back(stroke->activation);
    return values;
}

TEST(Animation, WaveRunsOneLinkPerStepAndStopsAtABlock) {
    // s0 -> s1 -> s2 (blocked) -> s3, and s1 -> s4.
    FiberCore core;
    core.fibers.resize(1);
    Fiber& fiber = core.fibers[0];
    Stroke* s[5];
    for (Stroke*& stroke : s) stroke = AddStroke(fiber);
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
        EXPECT_EQ(Activations(fiber), wave);
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

}  // namespace
}  // namespace vantrel
