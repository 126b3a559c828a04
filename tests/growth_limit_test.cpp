// The work limit of a growth run: a rule the scene file refuses, set directly, would
// grow for hours; the limit stops it with a console line and says so in the summary.
#include <gtest/gtest.h>

#include "demo_growth.h"
#include "growth_fixtures.h"

namespace vantrel {
namespace {

SceneGrowth& DemoHeartGrowth() {
    static SceneGrowth* growth = [] {
        auto* loaded = new SceneGrowth();  // lives for the whole test program
        EXPECT_TRUE(loaded->Load(DemoDataPath("demo-heart.obj"),
                                 SegmentationChoice::File(DemoDataPath("demo-heart.kxseg")),
                                 kDemoHeartScene));
        return loaded;
    }();
    return *growth;
}

int KeptStrokes(const FiberCore& core) {
    std::size_t count = 0;
    for (const Fiber& fiber : core.fibers) count += fiber.strokes.size() + fiber.apexes.size();
    return static_cast<int>(count);
}

// The scene: the curve cut into strokes of a micrometre gives millions of
// strokes; a limit of 1,000 ends the run at exactly 1,000.
TEST(GrowthLimit, StopsAMicrometreStemAtTheLimitWithAConsoleLine) {
    SceneGrowth& growth = DemoHeartGrowth();
    growth.core.rule2.stemLength = 1e-6;
    growth_test::ConsoleCapture console;
    const GrowthSummary summary = growth.Grow(1000);
    EXPECT_TRUE(summary.stoppedAtStrokeLimit);
    EXPECT_EQ(KeptStrokes(growth.core), 1000);
    EXPECT_NE(console.Text().find("growth stopped: the work limit of 1000 strokes was reached\n"),
              std::string::npos)
        << console.Text();
    growth.core.rule2.stemLength = 1.0;
}

// A run that ends by itself below the limit is not reported as stopped, also when
// the limit is its exact size.
TEST(GrowthLimit, ARunThatFitsIsNotStopped) {
    SceneGrowth& growth = DemoHeartGrowth();
    growth.random = GrowthRandom();
    const GrowthSummary full = growth.Grow();
    EXPECT_FALSE(full.stoppedAtStrokeLimit);
    const int size = KeptStrokes(growth.core);
    growth.random = GrowthRandom();
    growth_test::ConsoleCapture console;
    const GrowthSummary atLimit = growth.Grow(size);
    EXPECT_EQ(KeptStrokes(growth.core), size);
    EXPECT_EQ(console.Text().find("work limit"), std::string::npos);
    EXPECT_EQ(atLimit.stoppedAtStrokeLimit, false);
}

}  // namespace
}  // namespace vantrel
