// The conduction layer: on networks small enough to work out by hand, the graph's
// links, splits and gaps, activation times along fibres, around junction loops and
// blocks, from delayed roots, and the endocardial map on a flat grid; on networks
// grown on the box heart, the strokes that get a time against the excitation
// animation, arrival times under random blocks against the shortest-path conditions,
// and the junction set against a brute-force count.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <random>
#include <set>
#include <string>

#include "conduction/Activation.h"
#include "conduction/ConductionGraph.h"
#include "conduction/EndocardialMap.h"
#include "conduction/NearestPointGrid.h"
#include "conduction/PurkinjeMuscleJunctions.h"
#include "growth_fixtures.h"

namespace vantrel {
namespace {

const HeartFrame kModelFrame(HeartNormalisation{}, LengthUnit::kMillimetre);

Stroke* AddStroke(Fiber& fiber, std::initializer_list<Vector3> points) {
    fiber.strokes.push_back(std::make_unique<Stroke>());
    fiber.strokes.back()->path.points = points;
    return fiber.strokes.back().get();
}

// Activation time of the node at `p` (exactly one node lies there).
double TimeAt(const ConductionGraph& graph, const std::vector<double>& times, const Vector3& p) {
    int found = -1;
    for (std::size_t i = 0; i < graph.nodes.size(); ++i) {
        if ((graph.nodes[i] - p).Length() < 1e-12) {
            EXPECT_EQ(found, -1) << "two nodes at one point";
            found = static_cast<int>(i);
        }
    }
    EXPECT_GE(found, 0) << "no node at " << p.x << " " << p.y << " " << p.z;
    return found < 0 ? -1.0 : times[static_cast<std::size_t>(found)];
}

// Equal within rounding, or both not reached.
void ExpectTime(double actual, double expected) {
    if (expected == kNotReached) {
        EXPECT_EQ(actual, kNotReached);
    } else {
        EXPECT_NEAR(actual, expected, 1e-12);
    }
}

// At 1 m/s in millimetres, one millimetre takes one millisecond.
PhysiologySettings OneMetrePerSecond() {
    PhysiologySettings settings;
    settings.purkinjeVelocity = 1.0;
    return settings;
}

TEST(NearestPointGrid, FindsWhatTheLoopOverAllPointsFinds) {
    // A flat, uneven cloud (many cells along x, few along z) with repeated points for
    // ties; queries inside, on and far outside its box.
    std::mt19937 random(5);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<Vector3> points;
    for (int i = 0; i < 3000; ++i)
        points.emplace_back(40.0 * unit(random), 10.0 * unit(random) - 5.0, unit(random));
    for (int i = 0; i < 50; ++i) points.push_back(points[static_cast<std::size_t>(i * 7)]);
    const NearestPointGrid grid(points);
    for (int q = 0; q < 400; ++q) {
        const Vector3 query(
            120.0 * unit(random) - 40.0, 30.0 * unit(random) - 15.0,
            q % 4 == 0 ? points[static_cast<std::size_t>(q)].z : 6.0 * unit(random) - 3.0);
        int expected = -1;
        double best = std::numeric_limits<double>::infinity();
        for (std::size_t i = 0; i < points.size(); ++i) {
            const double d = (points[i] - query).LengthSquared();
            if (d < best) best = d, expected = static_cast<int>(i);
        }
        double distance = 0.0;
        ASSERT_EQ(grid.Nearest(query, distance), expected) << q;
        EXPECT_EQ(distance, std::sqrt(best));
    }
}

TEST(ConductionPhysics, StraightFibreTakesLengthOverVelocityInTheHeartsFrame) {
    struct Case {
        double scale;  // model units per heart unit
        LengthUnit unit;
        double velocity;
        double endTime;  // ms at the fibre's end, 3 model units from its start
    };
    const Case cases[] = {
        {1.0, LengthUnit::kMillimetre, 2.5, 1.2},     // 3 mm at 2.5 m/s
        {0.5, LengthUnit::kCentimetre, 1.0, 60.0},    // 6 cm at 1 m/s
        {2.0, LengthUnit::kMicrometre, 3.0, 0.0005},  // 1.5 um at 3 m/s
    };
    FiberCore core;
    core.fibers.resize(1);
    AddStroke(core.fibers[0], {Vector3(0, 0, 0), Vector3(1, 0, 0)});
    AddStroke(core.fibers[0], {Vector3(1, 0, 0), Vector3(3, 0, 0)});
    core.fibers[0].strokes[0]->links.insert(core.fibers[0].strokes[1].get());
    for (const Case& c : cases) {
        const HeartNormalisation normalisation{Vector3(5, -2, 7), c.scale};
        const ConductionGraph graph = BuildConductionGraph(core, HeartFrame(normalisation, c.unit));
        PhysiologySettings settings;
        settings.purkinjeVelocity = c.velocity;
        const std::vector<double> times = ComputeActivation(graph, settings, MetresPerUnit(c.unit));
        ASSERT_EQ(graph.nodes.size(), 3u);
        ASSERT_EQ(graph.roots.size(), 1u);
        EXPECT_EQ(graph.nodes[static_cast<std::size_t>(graph.roots[0].node)].x, 5.0);
        EXPECT_NEAR(TimeAt(graph, times, Vector3(5 + 3 / c.scale, -2, 7)), c.endTime,
                    1e-12 * c.endTime);
    }
}

// Fibre 0: A from the origin to (1,0); its children B (diagonally up to (2.5,1)) and
// C (along x to (4,0)); J, B's child, runs down from (2.5,1) and ends 0.2 above C:
// a junction whose foot (2.5,0) splits C's segment (2,0)-(3,0).
struct LoopNetwork {
    FiberCore core;
    Stroke *a, *b, *c, *j;
    LoopNetwork() {
        core.fibers.resize(1);
        Fiber& fiber = core.fibers[0];
        a = AddStroke(fiber, {Vector3(0, 0, 0), Vector3(1, 0, 0)});
        b = AddStroke(fiber, {Vector3(1, 0, 0), Vector3(2.5, 1, 0)});
        c = AddStroke(fiber,
                      {Vector3(1, 0, 0), Vector3(2, 0, 0), Vector3(3, 0, 0), Vector3(4, 0, 0)});
        j = AddStroke(fiber, {Vector3(2.5, 1, 0), Vector3(2.5, 0.6, 0), Vector3(2.5, 0.2, 0)});
        a->links = {b, c};
        b->links = {j};
        j->collided = true;
        j->links = {c};
    }
};

// The four fibres of one start polygon begin at one point: one node, their common root.
TEST(ConductionPhysics, FibresFromOneStartPointShareItsNode) {
    FiberCore core;
    core.fibers.resize(2);
    AddStroke(core.fibers[0], {Vector3(0, 0, 0), Vector3(1, 0, 0)});
    AddStroke(core.fibers[1], {Vector3(0, 0, 0), Vector3(0, 1, 0)});
    const ConductionGraph graph = BuildConductionGraph(core, kModelFrame);
    EXPECT_EQ(graph.nodes.size(), 3u);
    ASSERT_EQ(graph.roots.size(), 2u);
    EXPECT_EQ(graph.roots[1].node, graph.roots[0].node);
}

TEST(ConductionPhysics, JunctionSplitsTheSegmentItMeetsAndBridgesTheGap) {
    LoopNetwork network;
    const ConductionGraph graph = BuildConductionGraph(network.core, kModelFrame);
    EXPECT_EQ(graph.nodes.size(), 9u);
    ASSERT_EQ(graph.edges.size(), 9u);  // A 1, B 1, C 4 (split), J 2 + gap
    const ConductionEdge& gap = graph.edges.back();
    EXPECT_TRUE(gap.isLinkGap);
    EXPECT_EQ(gap.stroke, 3);
    EXPECT_NEAR(gap.length, 0.2, 1e-15);
    EXPECT_TRUE(graph.strokes[3].junction);
    EXPECT_EQ(graph.ConductingDegree(graph.edges.back().to), 3);  // the split foot
}

TEST(ConductionPhysics, EveryNodeOfAJunctionLoopTakesTheShorterRoundAndBlocksCutBranchesOff) {
    const double diagonal = std::sqrt(1.5 * 1.5 + 1.0);  // B's length
    const double inf = kNotReached;
    // Times at (2.5,1) B's end, (2.5,0.6) J's middle, (2.5,0) the foot, (4,0) C's end.
    struct Case {
        std::string blocked;
        double bEnd, jMiddle, foot, cEnd;
    };
    const Case cases[] = {
        // B's end is nearer along B, J's middle nearer from C through the gap.
        {"", 1 + diagonal, 1 + 1.5 + 0.2 + 0.4, 2.5, 4},
        // Without C the foot is reached only through B and J; C's far end not at all.
        {"c", 1 + diagonal, 1 + diagonal + 0.4, 1 + diagonal + 1.0, inf},
        // Without B its end is reached the long way round, through C and J.
        {"b", 1 + 1.5 + 1.0, 1 + 1.5 + 0.2 + 0.4, 2.5, 4},
        // Without J and C only A and B conduct.
        {"cj", 1 + diagonal, inf, inf, inf},
        // The root's own stroke blocked: the wave goes nowhere.
        {"a", inf, inf, inf, inf},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("blocked: " + c.blocked);
        LoopNetwork network;
        const std::map<char, Stroke*> strokes = {
            {'a', network.a}, {'b', network.b}, {'c', network.c}, {'j', network.j}};
        for (const char name : c.blocked) strokes.at(name)->blocked = true;
        const ConductionGraph graph = BuildConductionGraph(network.core, kModelFrame);
        const std::vector<double> times = ComputeActivation(graph, OneMetrePerSecond(), 1e-3);
        ExpectTime(TimeAt(graph, times, Vector3(2.5, 1, 0)), c.bEnd);
        ExpectTime(TimeAt(graph, times, Vector3(2.5, 0.6, 0)), c.jMiddle);
        ExpectTime(TimeAt(graph, times, Vector3(2.5, 0, 0)), c.foot);
        ExpectTime(TimeAt(graph, times, Vector3(4, 0, 0)), c.cEnd);
        EXPECT_EQ(TimeAt(graph, times, Vector3(0, 0, 0)), 0.0);
    }
}

TEST(ConductionPhysics, TwoRootsStartAfterTheirDelaysAndTheEarlierArrivalWins) {
    // Fibre 0 runs along x from 0 to 10; fibre 1 starts at (12,0) and runs towards
    // its end, stopping 1 short (a junction whose foot is fibre 0's last point).
    FiberCore core;
    core.fibers.resize(2);
    Stroke* p = AddStroke(core.fibers[0], {Vector3(0, 0, 0), Vector3(5, 0, 0), Vector3(10, 0, 0)});
    Stroke* q = AddStroke(core.fibers[1], {Vector3(12, 0, 0), Vector3(11, 0, 0)});
    q->collided = true;
    q->links = {p};
    struct Case {
        std::vector<double> delays;
        double at5, at10, at12;
    };
    const Case cases[] = {
        {{}, 5, 2, 0},       // both at 0 ms
        {{0, 4}, 5, 6, 4},   // fibre 1 late: it reaches fibre 0's end first anyway
        {{0, 9}, 5, 10, 9},  // fibre 1 too late: fibre 0 reaches the junction first
        {{3}, 7, 2, 0},      // fibre 0 late: its middle is reached from fibre 1
    };
    for (const Case& c : cases) {
        const ConductionGraph graph = BuildConductionGraph(core, kModelFrame);
        ASSERT_EQ(graph.roots.size(), 2u);
        EXPECT_EQ(graph.edges.size(), 4u);  // 2 + 1 + the gap
        PhysiologySettings settings = OneMetrePerSecond();
        settings.rootDelays = c.delays;
        const std::vector<double> times = ComputeActivation(graph, settings, 1e-3);
        ExpectTime(TimeAt(graph, times, Vector3(5, 0, 0)), c.at5);
        ExpectTime(TimeAt(graph, times, Vector3(10, 0, 0)), c.at10);
        ExpectTime(TimeAt(graph, times, Vector3(12, 0, 0)), c.at12);
    }
}

TEST(ConductionPhysics, EndocardialMapOnAFlatGridFollowsGridEdgePaths) {
    // 8 x 8 vertices, spacing h mm, each square cut by its (+1,+1) diagonal. (64 vertices:
    // a flag written one past the end lands in a new word, which the sanitizer build sees.)
    const int nx = 8, ny = 8;
    const double h = 0.5;
    RkPolygonModel grid;
    for (int j = 0; j < ny; ++j) {
        for (int i = 0; i < nx; ++i) {
            MeshVertex vertex;
            vertex.position = Vector3(i * h, j * h, 0.0);
            grid.vertices.push_back(vertex);
        }
    }
    auto at = [&](int i, int j) { return j * nx + i; };
    for (int j = 0; j + 1 < ny; ++j) {
        for (int i = 0; i + 1 < nx; ++i) {
            MeshPolygon lower, upper;
            lower.vertex[0] = at(i, j), lower.vertex[1] = at(i + 1, j);
            lower.vertex[2] = at(i + 1, j + 1);
            upper.vertex[0] = at(i, j), upper.vertex[1] = at(i + 1, j + 1);
            upper.vertex[2] = at(i, j + 1);
            grid.polygons.push_back(lower);
            grid.polygons.push_back(upper);
        }
    }
    // Two reached junctions and one the wave never reached (it starts nothing).
    std::vector<PurkinjeMuscleJunction> junctions(3);
    junctions[0].nearestVertex = at(1, 1), junctions[0].activation = 2.0;
    junctions[1].nearestVertex = at(5, 3), junctions[1].activation = 3.5;
    junctions[2].nearestVertex = at(6, 0), junctions[2].activation = kNotReached;
    // The bottom row segmented; the vertices beyond the list (all the others) are not.
    const std::vector<bool> bottomRow(nx, true);
    PhysiologySettings settings;
    settings.myocardialVelocity = 0.5;
    settings.pmjDelay = 1.5;

    const EndocardialMap map = ComputeEndocardialMap(grid, bottomRow, junctions, settings, 1e-3);
    // The shortest edge path on this grid: diagonal steps while both offsets share a
    // sign, straight steps for the rest.
    auto edgePath = [&](int di, int dj) {
        if ((di >= 0) == (dj >= 0)) {
            const int both = std::min(std::abs(di), std::abs(dj));
            return both * h * std::sqrt(2.0) + (std::max(std::abs(di), std::abs(dj)) - both) * h;
        }
        return (std::abs(di) + std::abs(dj)) * h;
    };
    double lastSegmented = 0.0;
    for (int j = 0; j < ny; ++j) {
        for (int i = 0; i < nx; ++i) {
            const double expected = std::min(2.0 + 1.5 + edgePath(i - 1, j - 1) / 0.5,
                                             3.5 + 1.5 + edgePath(i - 5, j - 3) / 0.5);
            EXPECT_NEAR(map.vertexActivation[static_cast<std::size_t>(at(i, j))], expected, 1e-12)
                << i << "," << j;
            if (j == 0) lastSegmented = std::max(lastSegmented, expected);
        }
    }
    std::vector<bool> segmented(grid.vertices.size(), false);
    std::fill_n(segmented.begin(), nx, true);
    EXPECT_EQ(map.segmented, segmented);
    EXPECT_NEAR(map.total, lastSegmented, 1e-12);
    // Nearest rank over the 8 segmented times: the 8th (ceil(7.2)); the bottom row's
    // latest vertex is also its 90th percentile.
    EXPECT_NEAR(map.percentile90, lastSegmented, 1e-12);
}

// ---- networks grown on the box heart

using growth_test::OnTop;

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
