// Conduction exports on a network small enough to know every answer: each file read
// back the way its consumer reads it (VTK files by VTK, the .pkje file by a cable
// reader, the MonoAlg3D files by the rules of its tree walk), the locale left out.
//
// The network (millimetres, 1 m/s, so a time in ms equals a path length in mm):
//
//   fibre 0: 0 - 1 - 2 -+- 3 ---+- 7 - 9        node 2 has four children (3 4 5 6),
//                       +- 4 --/              node 7 three parents (3 4 5);
//                       +- 5 -/               6 - 10 is blocked, so 10 is never
//                       +- 6 x 10             reached; 11 - 12 has no root;
//   fibre 1: 13 - 14                          13 is a second root.
#include <array>
#include <cctype>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "conduction/EndocardiumVtk.h"
#include "conduction/ExportFile.h"
#include "conduction/MonoAlg3dNetwork.h"
#include "conduction/NetworkVtk.h"
#include "conduction/OpenCarpPkje.h"
#include "conduction/PmjCsv.h"
#include "conduction/PurkinjeMuscleJunctions.h"
#include "conduction/RunSummaryJson.h"
#include "shapes.h"
#include "simulator_file_rules.h"
#include "vtk_python_reader.h"

namespace vantrel {
namespace {

using simulator_files::Point;

ConductionGraph HandNetwork() {
    ConductionGraph graph;
    graph.nodes = {{0, 0, 0},  {1, 0, 0},    {2, 0, 0},    {3, 0, 0}, {2, 1, 0},
                   {2, -1, 0}, {2, 0, 1},    {4, 0, 0},    {0, 0, 9}, {5, 0, 0},
                   {2, 0, 2},  {10, 10, 10}, {11, 10, 10}, {5, 5, 0}, {6, 5, 0}};
    graph.strokes = {
        {0, 0, false, false}, {0, 1, false, true}, {0, 1, true, false}, {1, 0, false, false}};
    // (from, to, stroke); node 8 belongs to no edge.
    const int edges[][3] = {{0, 1, 0},  {1, 2, 0},   {2, 3, 0},  {2, 4, 1}, {2, 5, 1},
                            {2, 6, 0},  {3, 7, 0},   {4, 7, 1},  {5, 7, 1}, {7, 9, 0},
                            {6, 10, 2}, {11, 12, 0}, {13, 14, 3}};
    for (const auto& e : edges) {
        const double length = (graph.nodes[e[0]] - graph.nodes[e[1]]).Length();
        graph.edges.push_back({e[0], e[1], length, e[2], !graph.strokes[e[2]].blocked});
    }
    graph.roots = {{0, 0}, {13, 1}};
    return graph;
}

struct HandRun {
    ConductionGraph graph = HandNetwork();
    std::vector<double> activation;
    HandRun() {
        PhysiologySettings settings;
        settings.purkinjeVelocity = 1.0;
        graph.BuildAdjacency();
        activation = ComputeActivation(graph, settings, 1e-3);
    }
};

std::string WriteTemp(const std::string& name, const std::string& text) {
    const std::string path = ::testing::TempDir() + name;
    std::string error;
    EXPECT_TRUE(WriteExportFile(path, text, "test file", error)) << error;
    return path;
}

// Lines of VTK's output from `from` on, up to the next line that starts with a letter.
std::vector<std::string> Section(const std::vector<std::string>& lines, const std::string& from) {
    std::vector<std::string> section;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] != from) continue;
        for (std::size_t k = i + 1; k < lines.size() && !std::isalpha(lines[k][0]); ++k)
            section.push_back(lines[k]);
    }
    return section;
}

TEST(ConductionExport, NetworkVtkReadsBackWithLinesFromEarlierToLaterAndMinusOneUnreached) {
    if (!VtkPythonAvailable()) GTEST_SKIP() << "python3 with the vtk module is not installed";
    const HandRun run;
    const std::vector<std::string> lines = ReadWithVtk(WriteTemp(
        "network.vtk", NetworkVtkText(run.graph, run.activation, LengthUnit::kMillimetre)));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "points 15");
    // Every line runs with the wave (6-10 from the reached end); 11-12, with no time at
    // either end, keeps its stroke order.
    const std::vector<std::string> cells = Section(lines, "lines 13");
    ASSERT_EQ(cells.size(), 13u);
    EXPECT_EQ(cells[11], "11 12");
    for (std::size_t e = 0; e < 13; ++e) {
        int a = 0, b = 0;
        std::sscanf(cells[e].c_str(), "%d %d", &a, &b);
        EXPECT_LE(run.activation[a], run.activation[b]) << cells[e];
    }
    const std::vector<std::string> times = Section(lines, "point activation_ms double 15");
    ASSERT_EQ(times.size(), 15u);
    EXPECT_EQ(times[14], "1.0");
    for (int unreached : {8, 10, 11, 12}) EXPECT_EQ(times[unreached], "-1.0") << unreached;
    EXPECT_EQ(Section(lines, "cell blocked int 13")[10], "1");
    EXPECT_EQ(Section(lines, "cell junction int 13")[3], "1");
    EXPECT_EQ(Section(lines, "cell stroke int 13")[12], "3");
    EXPECT_EQ(Section(lines, "cell fiber int 13")[12], "1");
}

TEST(ConductionExport, EndocardiumVtkReadsBackAsTheFilesOwnSurface) {
    if (!VtkPythonAvailable()) GTEST_SKIP() << "python3 with the vtk module is not installed";
    const RkPolygonModel mesh = shapes::MakeModel(
        {{10, 0, 0}, {0, 10, 0}, {0, 0, 10.5}, {-1e-7, 0, 0}}, {{0, 1, 2}, {3, 2, 1}});
    EndocardialMap map;
    map.vertexActivation = {5.0, 7.25, kNotReached, 0.1};
    map.segmented = {true, true, false, false};
    const std::string text = EndocardiumVtkText(mesh, map, LengthUnit::kCentimetre);
    // VTK ignores values past a field's count; a stricter reader would not.
    const std::string end = "segmented 1 4 int\n1\n1\n0\n0\n";
    EXPECT_EQ(text.substr(text.size() - end.size()), end);
    const std::vector<std::string> lines = ReadWithVtk(WriteTemp("endocardium.vtk", text));
    EXPECT_EQ(lines,
              (std::vector<std::string>{"points 4", "10.0 0.0 0.0", "0.0 10.0 0.0", "0.0 0.0 10.5",
                                        "-1e-07 0.0 0.0", "lines 0", "polys 2", "0 1 2", "3 2 1",
                                        "point activation_ms double 4", "5.0", "7.25", "-1.0",
                                        "0.1", "point segmented int 4", "1", "1", "0", "0"}));
}

// Nodes 6 (its other edge blocked), 9, 11 and 12 (no root reaches them) and 14; not the
// roots 0 and 13, nor 8 and 10 without a conducting edge. Each with its time, its fibre
// and the nearest of three stand-in heart vertices.
TEST(ConductionExport, JunctionsAreTheNonRootNodesWithOneConductingEdge) {
    const HandRun run;
    const RkPolygonModel heart = shapes::MakeModel({{2, 0, 1.5}, {5, 0, 0}, {0, 0, 0}}, {});
    using Row = std::tuple<int, int, double, int, double>;
    std::vector<Row> rows;
    for (const PurkinjeMuscleJunction& j :
         FindPurkinjeMuscleJunctions(run.graph, run.activation, heart))
        rows.emplace_back(j.node, j.fiber, j.activation, j.nearestVertex, j.vertexDistance);
    EXPECT_EQ(rows, (std::vector<Row>{{6, 0, 3.0, 0, 0.5},
                                      {9, 0, 5.0, 1, 0.0},
                                      {11, 0, kNotReached, 1, 15.0},
                                      {12, 0, kNotReached, 1, std::sqrt(236.0)},
                                      {14, 1, 1.0, 1, std::sqrt(26.0)}}));
}

TEST(ConductionExport, PkjeCablesFollowTheWaveWithConnectorsAtFourChildrenAndThreeParents) {
    const HandRun run;
    PkjeCableSettings settings;
    settings.sigmaI = 0.125;
    std::vector<simulator_files::PkjeCable> cables;
    const std::string text =
        OpenCarpPkjeText(run.graph, run.activation, LengthUnit::kMillimetre, settings);
    ASSERT_EQ(simulator_files::ReadPkje(text, cables), "") << text;
    ASSERT_EQ(simulator_files::CheckPkjeStructure(cables), "") << text;

    // Node positions in micrometres and their times, to follow the wave along cables.
    auto timeAt = [&](const Point& p) {
        for (std::size_t n = 0; n < run.graph.nodes.size(); ++n) {
            const Vector3& q = run.graph.nodes[n];
            if (p == Point{q.x * 1000, q.y * 1000, q.z * 1000}) return run.activation[n];
        }
        return -1.0;  // a connector's point
    };
    // Fibre 0's cable from the root, four from node 2 with three connectors, two
    // connectors into node 7 and the cable on from it, fibre 1's cable; the blocked
    // and the unreached edges are not written.
    EXPECT_EQ(cables.size(), 12u);
    std::multiset<Point> rootStarts, leafEnds;
    for (const auto& cable : cables) {
        EXPECT_EQ(std::tie(cable.radius, cable.gapResistance, cable.sigmaI),
                  std::make_tuple(75.0, 100.0, 0.125));
        if (cable.parents[0] < 0 && cable.parents[1] < 0) rootStarts.insert(cable.nodes.front());
        if (cable.children[0] < 0 && cable.children[1] < 0) leafEnds.insert(cable.nodes.back());
        double last = -1.0;
        for (const Point& p : cable.nodes) {
            const double t = timeAt(p);
            if (t < 0) continue;
            EXPECT_GE(t, last) << "cable runs against the wave";
            last = t;
        }
    }
    EXPECT_EQ(rootStarts, (std::multiset<Point>{{0, 0, 0}, {5000, 5000, 0}}));
    EXPECT_EQ(leafEnds, (std::multiset<Point>{{2000, 0, 1000}, {5000, 0, 0}, {6000, 5000, 0}}));
}

// Root 0's PMJ file (read by VTK) lists its tree's terminals: 4 and 5 where the loops
// through 7 are cut, 6 and 9.
TEST(ConductionExport, MonoAlg3dTreeOfEachRootKeepsItsRulesAndCountsWhatIsLeftOut) {
    const HandRun run;
    // Per root: points, terminals, loop-closing, blocked and unreachable edges.
    const std::array<int, 5> expected[] = {{9, 4, 2, 1, 2}, {2, 1, 0, 1, 11}};
    for (int root = 0; root < 2; ++root) {
        MonoAlg3dExport result;
        std::string error;
        ASSERT_TRUE(BuildMonoAlg3dExport(run.graph, root, LengthUnit::kMillimetre, result, error));
        simulator_files::MonoAlg3dNetwork network;
        ASSERT_EQ(simulator_files::ReadMonoAlg3d(result.networkText, network), "");
        EXPECT_EQ(simulator_files::CheckMonoAlg3dRules(network), "") << result.networkText;
        const Vector3& p = run.graph.nodes[run.graph.roots[root].node];
        EXPECT_EQ(network.points[0], (Point{p.x * 1000, p.y * 1000, p.z * 1000}));
        EXPECT_EQ((std::array<int, 5>{static_cast<int>(network.points.size()), result.terminals,
                                      result.loopClosingEdges, result.blockedEdges,
                                      result.unreachableEdges}),
                  expected[root]);
        EXPECT_NE(DescribeMonoAlg3dExport(result, root)
                      .find(std::to_string(expected[root][2]) + " loop-closing"),
                  std::string::npos);
        if (root > 0 || !VtkPythonAvailable()) continue;
        std::string text;
        for (const std::string& line : ReadWithVtk(WriteTemp("pmj.vtk", result.pmjText)))
            text += line + "\n";
        EXPECT_EQ(
            text,
            "points 4\n2000.0 1000.0 0.0\n2000.0 -1000.0 0.0\n2000.0 0.0 1000.0\n"
            "5000.0 0.0 0.0\nlines 0\nverts 4\n0\n1\n2\n3\npoint Rpmj float 4\n"
            "1000.0\n1000.0\n1000.0\n1000.0\npoint Nmin_pmj float 4\n10.0\n10.0\n10.0\n10.0\n");
    }
    MonoAlg3dExport result;
    std::string error;
    EXPECT_FALSE(BuildMonoAlg3dExport(run.graph, 2, LengthUnit::kMillimetre, result, error));
    EXPECT_NE(error.find("2 roots"), std::string::npos) << error;
}

TEST(ConductionExport, PmjCsvHasOneHeaderAndOneLinePerJunctionWithMinusOneUnreached) {
    const HandRun run;
    std::vector<PurkinjeMuscleJunction> junctions = {{6, 0, 3.0, 4, 0.5},
                                                     {12, 0, kNotReached, 0, 1e-3}};
    EXPECT_EQ(PmjCsvText(run.graph, junctions, LengthUnit::kMicrometre),
              "x_um,y_um,z_um,activation_ms,fiber,nearest_vertex_0based,vertex_distance_um\n"
              "2,0,1,3,0,4,0.5\n11,10,10,-1,0,0,0.001\n");
}

TEST(ConductionExport, SummaryGivesMedianOfReachedJunctionsAndNullForWhatDoesNotExist) {
    ConductionResult result;
    result.graph = HandNetwork();
    // Times 3, 5, never, 1 and 4.
    for (const auto& [node, time] :
         {std::pair<int, double>{6, 3.0}, {9, 5.0}, {12, kNotReached}, {14, 1.0}, {8, 4.0}})
        result.junctions.push_back({node, 0, time, 0, 0});
    const auto json = nlohmann::json::parse(
        RunSummaryJsonText(RunDescription(), PhysiologySettings(), RkPolygonModel(), result));
    EXPECT_EQ(json["pmjs"]["reached"], 4);
    EXPECT_EQ(json["pmjs"]["activation"]["median"], 3.5);
    EXPECT_EQ(json["pmjs"]["activation"]["max"], 5.0);
    EXPECT_TRUE(json["endocardium"]["total"].is_null());
}

TEST(ConductionExport, TextDoesNotFollowTheLocale) {
    const HandRun run;
    MonoAlg3dExport monoAlg3d;
    std::string error;
    auto texts = [&]() {
        BuildMonoAlg3dExport(run.graph, 0, LengthUnit::kCentimetre, monoAlg3d, error);
        return NetworkVtkText(run.graph, run.activation, LengthUnit::kCentimetre) +
               OpenCarpPkjeText(run.graph, run.activation, LengthUnit::kCentimetre,
                                PkjeCableSettings()) +
               monoAlg3d.networkText + monoAlg3d.pmjText;
    };
    const std::string inC = texts();
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no de_DE locale";
    const std::string inGerman = texts();
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_EQ(inGerman, inC);
}

}  // namespace
}  // namespace vantrel
