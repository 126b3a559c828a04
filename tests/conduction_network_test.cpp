// The conduction layer: on networks small enough to work out by hand, activation
// times along fibres, around junction loops (links, splits and gaps) and blocks, from
// delayed roots, and the endocardial map on a flat grid; on a network grown on the box
// heart, arrival times under random blocks against the shortest-path conditions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <tuple>

#include "conduction/Activation.h"
#include "conduction/ConductionGraph.h"
#include "conduction/EndocardialMap.h"
#include "conduction/NearestPointGrid.h"
#include "growth_fixtures.h"
#include "shapes.h"

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
    auto here = [&](const Vector3& q) { return (q - p).Length() < 1e-12; };
    EXPECT_EQ(std::count_if(graph.nodes.begin(), graph.nodes.end(), here), 1)
        << "nodes at " << p.x << " " << p.y << " " << p.z;
    const auto found = std::find_if(graph.nodes.begin(), graph.nodes.end(), here);
    return found == graph.nodes.end() ? -1.0 : times[std::size_t(found - graph.nodes.begin())];
}

// Equal within rounding, or both not reached.
void ExpectTime(double actual, double expected) {
    EXPECT_TRUE(actual == expected || std::abs(actual - expected) < 1e-12)
        << actual << " " << expected;
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

// A second fibre from the same start point (as the four of one start polygon) shares
// its node: TimeAt finds exactly one node there.
TEST(ConductionPhysics, StraightFibreTakesLengthOverVelocityInTheHeartsFrame) {
    // Model units per heart unit, the heart's unit, the velocity and the time (ms) at the
    // fibre's end, 3 model units from its start.
    const std::tuple<double, LengthUnit, double, double> cases[] = {
        {1.0, LengthUnit::kMillimetre, 2.5, 1.2},     // 3 mm at 2.5 m/s
        {0.5, LengthUnit::kCentimetre, 1.0, 60.0},    // 6 cm at 1 m/s
        {2.0, LengthUnit::kMicrometre, 3.0, 0.0005},  // 1.5 um at 3 m/s
    };
    FiberCore core;
    core.fibers.resize(2);
    AddStroke(core.fibers[0], {Vector3(0, 0, 0), Vector3(1, 0, 0)});
    AddStroke(core.fibers[0], {Vector3(1, 0, 0), Vector3(3, 0, 0)});
    AddStroke(core.fibers[1], {Vector3(0, 0, 0), Vector3(0, 1, 0)});
    core.fibers[0].strokes[0]->links.insert(core.fibers[0].strokes[1].get());
    for (const auto& [scale, unit, velocity, endTime] : cases) {
        const HeartNormalisation normalisation{Vector3(5, -2, 7), scale};
        const ConductionGraph graph = BuildConductionGraph(core, HeartFrame(normalisation, unit));
        PhysiologySettings settings;
        settings.purkinjeVelocity = velocity;
        const std::vector<double> times = ComputeActivation(graph, settings, MetresPerUnit(unit));
        EXPECT_EQ(TimeAt(graph, times, Vector3(5, -2, 7)), 0.0);
        EXPECT_NEAR(TimeAt(graph, times, Vector3(5 + 3 / scale, -2, 7)), endTime, 1e-12 * endTime);
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

TEST(ConductionPhysics, EveryNodeOfAJunctionLoopTakesTheShorterRoundAndBlocksCutBranchesOff) {
    const double diagonal = std::sqrt(1.5 * 1.5 + 1.0);  // B's length
    const double inf = kNotReached;
    // Times at (2.5,1) B's end, (2.5,0.6) J's middle, (2.5,0) the foot, (4,0) C's end.
    const std::tuple<std::string, double, double, double, double> cases[] = {
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
    for (const auto& [blocked, bEnd, jMiddle, foot, cEnd] : cases) {
        SCOPED_TRACE("blocked: " + blocked);
        LoopNetwork network;
        Stroke* const strokes[] = {network.a, network.b, network.c, network.j};
        for (const char name : blocked) strokes[std::string("abcj").find(name)]->blocked = true;
        const ConductionGraph graph = BuildConductionGraph(network.core, kModelFrame);
        const std::vector<double> times = ComputeActivation(graph, OneMetrePerSecond(), 1e-3);
        ExpectTime(TimeAt(graph, times, Vector3(2.5, 1, 0)), bEnd);
        ExpectTime(TimeAt(graph, times, Vector3(2.5, 0.6, 0)), jMiddle);
        ExpectTime(TimeAt(graph, times, Vector3(2.5, 0, 0)), foot);
        ExpectTime(TimeAt(graph, times, Vector3(4, 0, 0)), cEnd);
        EXPECT_EQ(TimeAt(graph, times, Vector3(0, 0, 0)), 0.0);
        // A, B, C split at the foot, J and its gap: no other node.
        EXPECT_EQ(graph.nodes.size(), 9u);
        EXPECT_TRUE(graph.strokes[3].junction);
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
    const std::tuple<std::vector<double>, double, double, double> cases[] = {
        {{}, 5, 2, 0},       // both at 0 ms
        {{0, 4}, 5, 6, 4},   // fibre 1 late: it reaches fibre 0's end first anyway
        {{0, 9}, 5, 10, 9},  // fibre 1 too late: fibre 0 reaches the junction first
        {{3}, 7, 2, 0},      // fibre 0 late: its middle is reached from fibre 1
    };
    for (const auto& [delays, at5, at10, at12] : cases) {
        const ConductionGraph graph = BuildConductionGraph(core, kModelFrame);
        PhysiologySettings settings = OneMetrePerSecond();
        settings.rootDelays = delays;
        const std::vector<double> times = ComputeActivation(graph, settings, 1e-3);
        ExpectTime(TimeAt(graph, times, Vector3(5, 0, 0)), at5);
        ExpectTime(TimeAt(graph, times, Vector3(10, 0, 0)), at10);
        ExpectTime(TimeAt(graph, times, Vector3(12, 0, 0)), at12);
    }
}

TEST(ConductionPhysics, EndocardialMapOnAFlatGridFollowsGridEdgePaths) {
    // 8 x 8 vertices, spacing h mm, each square cut by its (+1,+1) diagonal. (64 vertices:
    // a flag written one past the end lands in a new word, which the sanitizer build sees.)
    const int nx = 8, ny = 8;
    const double h = 0.5;
    RkPolygonModel grid;
    auto at = [&](int i, int j) { return j * nx + i; };
    for (int j = 0; j < ny; ++j) {
        for (int i = 0; i < nx; ++i) {
            grid.vertices.emplace_back();
            grid.vertices.back().position = Vector3(i * h, j * h, 0.0);
            if (i + 1 == nx || j + 1 == ny) continue;
            shapes::AddTriangle(grid, at(i, j), at(i + 1, j), at(i + 1, j + 1));
            shapes::AddTriangle(grid, at(i, j), at(i + 1, j + 1), at(i, j + 1));
        }
    }
    // Two reached junctions and one the wave never reached (it starts nothing).
    const std::vector<PurkinjeMuscleJunction> junctions = {
        {0, 0, 2.0, at(1, 1), 0}, {0, 0, 3.5, at(5, 3), 0}, {0, 0, kNotReached, at(6, 0), 0}};
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

// ---- a network grown on the box heart

// Three start points (two of them aimed at a curve, for junctions between fibres) and
// a curve, grown on the shared box heart, then blocked at random (never a fibre's first
// stroke). Only the edges of unblocked strokes conduct; every time is the earliest
// arrival over them: no conducting edge offers a shortcut and every time but a root's
// arrives over one, so what lies beyond a block is reached only around it. Without
// blocks every node is reached; with them some are cut off.
TEST(GrownNetwork, UnderRandomBlocksTimesAreEarliestArrivalsAroundTheBlocks) {
    using growth_test::OnTop;
    FiberCore core;
    core.startPoints.push_back({OnTop(3, 3), OnTop(4, 3.5)});
    core.startPoints.push_back({OnTop(4.4, 5), OnTop(5, 5)});
    core.startPoints.push_back(
        {Vector3(9 - growth_test::kLayerDepth, 4, 4), Vector3(9 - growth_test::kLayerDepth, 4, 5)});
    core.featureCurves.push_back(growth_test::Path({OnTop(6, 2), OnTop(6, 8)}));
    GrowthRandom random;
    growth_test::ConsoleCapture quiet;
    core.GoGrowth(growth_test::SharedBoxHeart().Target(), GrowthParameters(), random);
    ASSERT_GT(core.collisionCount, 0);
    std::mt19937 generator(20261206);
    for (const double share : {0.0, 0.1, 0.3}) {
        SCOPED_TRACE(share);
        std::bernoulli_distribution block(share);
        for (Fiber& fiber : core.fibers) {
            for (std::size_t k = 1; k < fiber.strokes.size(); ++k)
                fiber.strokes[k]->blocked = block(generator);
        }
        const ConductionGraph graph = BuildConductionGraph(core, kModelFrame);
        const std::vector<const Stroke*> strokes = StrokesInGraphOrder(core);
        ASSERT_GT(strokes.size(), 100u);
        PhysiologySettings settings;
        const double msPerUnit = 1.0 / settings.purkinjeVelocity;
        const std::vector<double> times = ComputeActivation(graph, settings, 1e-3);

        std::vector<bool> arrivesOverAnEdge(graph.nodes.size(), false);
        for (const ConductionRoot& root : graph.roots) {
            EXPECT_EQ(times[static_cast<std::size_t>(root.node)], 0.0);
            arrivesOverAnEdge[static_cast<std::size_t>(root.node)] = true;
        }
        for (const ConductionEdge& edge : graph.edges) {
            EXPECT_EQ(edge.conducts, !strokes[static_cast<std::size_t>(edge.stroke)]->blocked);
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
        for (std::size_t v = 0; v < graph.nodes.size(); ++v)
            EXPECT_TRUE(times[v] == kNotReached || arrivesOverAnEdge[v]) << v;
        EXPECT_EQ(std::count(times.begin(), times.end(), kNotReached) == 0, share == 0.0);
    }
}

}  // namespace
}  // namespace vantrel
