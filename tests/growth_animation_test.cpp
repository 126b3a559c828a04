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
    s[0]->links.insert(s[1]);
    s[1]->links.insert(s[2]);
    s[2]->links.insert(s[3]);
    s[1]->links.insert(s[4]);
    s[2]->blocked = true;
    core.StartAnimation();

    int repaints = 0;
    auto step = [&] { core.AnimationStep([&] { ++repaints; }); };
    step();  // nothing excited: the wave starts at the first stroke
    EXPECT_EQ(Activations(fiber), (std::vector<int>{10, 0, 0, 0, 0}));
    step();
    EXPECT_EQ(Activations(fiber), (std::vector<int>{9, 10, 0, 0, 0}));
    step();  // the blocked stroke is passed over, and so everything behind it
    EXPECT_EQ(Activations(fiber), (std::vector<int>{8, 9, 0, 0, 10}));
    step();  // s4 reaches nothing at rest: the wave restarts
    EXPECT_EQ(Activations(fiber), (std::vector<int>{10, 0, 0, 0, 0}));
    EXPECT_EQ(repaints, 4);
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

TEST(Animation, FirstStrokeRestartsEvenWhenBlocked) {
    FiberCore core;
    core.fibers.resize(1);
    Stroke* first = AddStroke(core.fibers[0]);
    first->blocked = true;
    first->activation = 5;
    core.AnimationStep();
    EXPECT_EQ(first->activation, 10);
}

TEST(ToggleBlockAt, PicksWithinTheSquaredDistanceThreshold) {
    FiberCore core;
    core.fibers.resize(1);
    Stroke* stroke = AddStroke(core.fibers[0], {Vector3(0, 0, 0), Vector3(1, 0, 0)});
    // 0.03 from the point (0.0009 squared) toggles; 0.032 (0.001024) does not.
    core.ToggleBlockAt(Vector3(0.032, 0, -1), Vector3(0, 0, 2));
    EXPECT_FALSE(stroke->blocked);
    core.ToggleBlockAt(Vector3(-0.03, 0, -1), Vector3(0, 0, 2));
    EXPECT_TRUE(stroke->blocked);
    core.ToggleBlockAt(Vector3(-0.03, 0, -1), Vector3(0, 0, 2));
    EXPECT_FALSE(stroke->blocked);
}

TEST(ToggleBlockAt, TogglesTheNearestStrokeOfEachFibreButNotTheFront) {
    FiberCore core;
    core.fibers.resize(3);
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
