// The conduction layer on networks grown on the box heart: the strokes that get a
// time against the excitation animation, arrival times under random blocks against
// the shortest-path conditions, and the junction set against a brute-force count.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "conduction/Activation.h"
#include "conduction/ConductionGraph.h"
#include "conduction/PurkinjeMuscleJunctions.h"
#include "growth_fixtures.h"

namespace vantrel {
namespace {

using growth_test::OnTop;

const HeartFrame kModelFrame(HeartNormalisation{}, LengthUnit::kMillimetre);

// Three start points (two of them aimed at a curve, for junctions between fibres)
// and a curve, grown on the shared box heart.
class GrownNetwork : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        core_ = new FiberCore();
        core_->startPoints.push_back({OnTop(3, 3), OnTop(4, 3.5)});
        core_->startPoints.push_back({OnTop(4.4, 5), OnTop(5, 5)});
        core_->startPoints.push_back({Vector3(9 - growth_test::kLayerDepth, 4, 4),
                                      Vector3(9 - growth_test::kLayerDepth, 4, 5)});
        core_->featureCurves.push_back(growth_test::Path({OnTop(6, 2), OnTop(6, 8)}));
        GrowthRandom random;
        growth_test::ConsoleCapture quiet;
        core_->GoGrowth(growth_test::SharedBoxHeart().Target(), GrowthParameters(), random);
    }
    static void TearDownTestSuite() {
        delete core_;
        core_ = nullptr;
    }

    static std::vector<Stroke*> Strokes() {
        std::vector<Stroke*> strokes;
        for (const Stroke* s : StrokesInGraphOrder(*core_))
            strokes.push_back(const_cast<Stroke*>(s));
        return strokes;
    }
    static std::size_t Index(const Stroke* stroke) {
        const std::vector<Stroke*> strokes = Strokes();
        return static_cast<std::size_t>(std::find(strokes.begin(), strokes.end(), stroke) -
                                        strokes.begin());
    }
    static void SetBlocks(const std::set<std::size_t>& blocked) {
        const std::vector<Stroke*> strokes = Strokes();
        for (std::size_t i = 0; i < strokes.size(); ++i) strokes[i]->blocked = blocked.count(i) > 0;
    }

    // Graph-order indices of the strokes the animation excites before its wave
    // restarts.
    static std::set<std::size_t> AnimatedStrokes() {
        const std::vector<Stroke*> strokes = Strokes();
        for (Stroke* s : strokes) s->activation = 0, s->neighbours.clear();
        core_->StartAnimation();
        std::vector<bool> first(strokes.size(), false);
        for (const Fiber& fiber : core_->fibers) {
            if (!fiber.strokes.empty()) first[Index(fiber.strokes.front().get())] = true;
        }
        // The first step starts the wave at each fibre's first stroke; once the wave
        // reaches nothing new, a step restarts it there (everything else back at rest).
        std::vector<bool> reached(strokes.size(), false);
        core_->AnimationStep();
        for (bool restarted = false; !restarted;) {
            for (std::size_t i = 0; i < strokes.size(); ++i) {
                if (strokes[i]->activation != 0) reached[i] = true;
            }
            core_->AnimationStep();
            restarted = true;
            for (std::size_t i = 0; i < strokes.size(); ++i) {
                if (!first[i] && strokes[i]->activation != 0) restarted = false;
            }
        }
        std::set<std::size_t> excited;
        for (std::size_t i = 0; i < strokes.size(); ++i) {
            if (reached[i]) excited.insert(i);
        }
        return excited;
    }

    // Graph-order indices of the strokes with a node that has a time.
    static std::set<std::size_t> TimedStrokes(const ConductionGraph& graph,
                                              const std::vector<double>& times) {
        std::set<std::size_t> timed;
        for (const ConductionEdge& edge : graph.edges) {
            if (edge.isLinkGap) continue;
            if (times[static_cast<std::size_t>(edge.from)] != kNotReached ||
                times[static_cast<std::size_t>(edge.to)] != kNotReached) {
                timed.insert(static_cast<std::size_t>(edge.stroke));
            }
        }
        return timed;
    }

    static FiberCore* core_;
};

FiberCore* GrownNetwork::core_ = nullptr;

TEST_F(GrownNetwork, WithoutBlocksTheTimedStrokesAreThoseTheAnimationExcites) {
    SetBlocks({});
    const ConductionGraph graph = BuildConductionGraph(*core_, kModelFrame);
    ASSERT_GT(core_->collisionCount, 0);
    ASSERT_GT(graph.strokes.size(), 100u);
    for (const ConductionStroke& stroke : graph.strokes) EXPECT_FALSE(stroke.blocked);
    const std::vector<double> times = ComputeActivation(graph, PhysiologySettings(), 1e-3);
    const std::set<std::size_t> animated = AnimatedStrokes();
    EXPECT_EQ(TimedStrokes(graph, times), animated);
    EXPECT_EQ(animated.size(), graph.strokes.size());
}

// Under random blocks (never a fibre's first stroke, which the animation restarts
// even when blocked): only the edges of unblocked strokes conduct; every time is the
// earliest arrival over them (no conducting edge offers a shortcut, every time but a
// root's arrives over one, so what lies beyond a block is reached only around it);
// every unblocked stroke the animation excites gets a time, and some strokes are cut
// off.
TEST_F(GrownNetwork, UnderRandomBlocksTimesAreEarliestArrivalsAroundTheBlocks) {
    std::mt19937 generator(20261206);
    const std::vector<Stroke*> strokes = Strokes();
    std::set<std::size_t> firstStrokes;
    {
        const ConductionGraph graph = BuildConductionGraph(*core_, kModelFrame);
        for (std::size_t i = 0; i < graph.strokes.size(); ++i) {
            if (i == 0 || graph.strokes[i].fiber != graph.strokes[i - 1].fiber)
                firstStrokes.insert(i);
        }
    }
    for (const double share : {0.02, 0.1, 0.3}) {
        SCOPED_TRACE(share);
        std::bernoulli_distribution block(share);
        std::set<std::size_t> blocked;
        for (std::size_t i = 0; i < strokes.size(); ++i) {
            if (firstStrokes.count(i) == 0 && block(generator)) blocked.insert(i);
        }
        SetBlocks(blocked);
        const ConductionGraph graph = BuildConductionGraph(*core_, kModelFrame);
        PhysiologySettings settings;
        const double msPerUnit = 1e-3 / settings.purkinjeVelocity * 1000.0;
        const std::vector<double> times = ComputeActivation(graph, settings, 1e-3);

        std::vector<bool> arrivesOverAnEdge(graph.nodes.size(), false);
        for (const ConductionRoot& root : graph.roots) {
            EXPECT_EQ(times[static_cast<std::size_t>(root.node)], 0.0);
            arrivesOverAnEdge[static_cast<std::size_t>(root.node)] = true;
        }
        for (const ConductionEdge& edge : graph.edges) {
            EXPECT_EQ(edge.conducts, blocked.count(static_cast<std::size_t>(edge.stroke)) == 0);
            if (!edge.conducts) continue;
            const double a = times[static_cast<std::size_t>(edge.from)];
            const double b = times[static_cast<std::size_t>(edge.to)];
            const double w = edge.length * msPerUnit;
            EXPECT_EQ(a == kNotReached, b == kNotReached);
            if (a == kNotReached) continue;
            const double rounding = 1e-12 * std::max(a, b);
            EXPECT_LE(std::abs(a - b), w + rounding);
            if (std::abs(b - (a + w)) <= rounding)
                arrivesOverAnEdge[static_cast<std::size_t>(edge.to)] = true;
            if (std::abs(a - (b + w)) <= rounding)
                arrivesOverAnEdge[static_cast<std::size_t>(edge.from)] = true;
        }
        for (std::size_t v = 0; v < graph.nodes.size(); ++v) {
            if (times[v] != kNotReached) {
                EXPECT_TRUE(arrivesOverAnEdge[v]) << v;
            }
        }

        const std::set<std::size_t> animated = AnimatedStrokes();
        const std::set<std::size_t> timed = TimedStrokes(graph, times);
        for (const std::size_t i : animated) {
            if (blocked.count(i) == 0) {
                EXPECT_EQ(timed.count(i), 1u) << i;
            }
        }
        EXPECT_LT(timed.size(), graph.strokes.size());
    }
    SetBlocks({});
}

TEST_F(GrownNetwork, JunctionsAreTheTerminalsOfABruteForceDegreeCountWithTheirNearestVertex) {
    std::mt19937 generator(7);
    std::bernoulli_distribution block(0.1);
    std::set<std::size_t> blocked;
    const std::size_t strokeCount = Strokes().size();
    for (std::size_t i = 1; i < strokeCount; ++i) {
        if (block(generator)) blocked.insert(i);
    }
    SetBlocks(blocked);
    const ConductionGraph graph = BuildConductionGraph(*core_, kModelFrame);
    const std::vector<double> times = ComputeActivation(graph, PhysiologySettings(), 1e-3);
    // Stand-in file vertices: random points over the box, a few of them twice (the
    // lower index wins a tie).
    RkPolygonModel vertices;
    std::uniform_real_distribution<double> coordinate(0.0, 10.0);
    for (int i = 0; i < 3000; ++i) {
        MeshVertex vertex;
        vertex.position =
            Vector3(coordinate(generator), coordinate(generator), coordinate(generator));
        vertices.vertices.push_back(vertex);
        if (i % 7 == 0) vertices.vertices.push_back(vertex);
    }
    const std::vector<PurkinjeMuscleJunction> junctions =
        FindPurkinjeMuscleJunctions(graph, times, vertices);

    std::vector<int> degree(graph.nodes.size(), 0);
    for (const ConductionEdge& edge : graph.edges) {
        if (!edge.conducts) continue;
        ++degree[static_cast<std::size_t>(edge.from)];
        ++degree[static_cast<std::size_t>(edge.to)];
    }
    std::set<int> roots;
    for (const ConductionRoot& root : graph.roots) roots.insert(root.node);
    std::vector<int> expected;
    for (std::size_t v = 0; v < graph.nodes.size(); ++v) {
        if (degree[v] == 1 && roots.count(static_cast<int>(v)) == 0)
            expected.push_back(static_cast<int>(v));
    }
    ASSERT_EQ(junctions.size(), expected.size());
    ASSERT_GT(junctions.size(), 20u);
    for (std::size_t k = 0; k < junctions.size(); ++k) {
        const PurkinjeMuscleJunction& junction = junctions[k];
        ASSERT_EQ(junction.node, expected[k]);
        EXPECT_EQ(junction.activation, times[static_cast<std::size_t>(junction.node)]);
        const Vector3& p = graph.nodes[static_cast<std::size_t>(junction.node)];
        std::size_t nearest = 0;
        for (std::size_t i = 1; i < vertices.vertices.size(); ++i) {
            if ((vertices.vertices[i].position - p).Length() <
                (vertices.vertices[nearest].position - p).Length())
                nearest = i;
        }
        EXPECT_EQ(junction.nearestVertex, static_cast<int>(nearest));
        EXPECT_EQ(junction.vertexDistance, (vertices.vertices[nearest].position - p).Length());
    }
    SetBlocks({});
}

}  // namespace
}  // namespace vantrel
