// Level-of-detail simplification: the collapse rules and refusals on small shapes,
// on a real open mesh that the boundary stays, and on real closed meshes that repeated
// collapses keep a valid closed manifold close to the original surface.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "mesh/LodPolygonModel.h"
#include "mesh_checks.h"
#include "shapes.h"

namespace vantrel {
namespace {

using meshchecks::ThrownMessage;

LodPolygonModel AsLod(const RkPolygonModel& model) {
    LodPolygonModel lod;
    lod.CopyFrom(model);
    return lod;
}

// Around every vertex not retired, the walk closes: as many polygons as edges,
// each polygon live and using the vertex once. Works in the kept-array state too.
void ExpectWalksClose(const LodPolygonModel& model) {
    const bool flagged = model.vertexQuadrics.size() == model.vertices.size();
    std::vector<int> polygons;
    for (int v = 0; v < static_cast<int>(model.vertices.size()); ++v) {
        if (flagged && model.vertexQuadrics[v].removed) continue;
        polygons.clear();  // the walk appends
        model.PolygonsAroundVertex(v, polygons);
        ASSERT_GE(model.Valence(v), 3) << "vertex " << v;
        ASSERT_EQ(static_cast<int>(polygons.size()), model.Valence(v))
            << "open fan at vertex " << v;
        for (int p : polygons) {
            EXPECT_FALSE(flagged && model.polygonPlanes[p].removed)
                << "walk reached a retired polygon";
            EXPECT_EQ(std::count(model.polygons[p].vertex, model.polygons[p].vertex + 3, v), 1);
        }
    }
}

int EulerCharacteristic(const LodPolygonModel& model) {
    return model.LiveVertexCount() - model.LiveEdgeCount() + model.LivePolygonCount();
}

TEST(LodExceptions, ValenceAndLinkConditionsLeaveNoCollapsiblePair) {
    // The tetrahedron's vertices have valence 3; the bipyramid's equator edges have ends that
    // share the third equator vertex besides the two apexes.
    const RkPolygonModel bipyramid =
        shapes::MakeModel({{0, 0, 1}, {0, 0, -1}, {1, 0, 0}, {-0.5, 0.866, 0}, {-0.5, -0.866, 0}},
                          {{2, 3, 0}, {3, 4, 0}, {4, 2, 0}, {3, 2, 1}, {4, 3, 1}, {2, 4, 1}});
    for (const RkPolygonModel& shape : {shapes::Tetrahedron(), bipyramid}) {
        LodPolygonModel model = AsLod(shape);
        model.ConstructLOD();
        ASSERT_EQ(model.vertexPairs.size(), model.edges.size());
        for (int edge = -1; edge <= static_cast<int>(model.edges.size()); ++edge) {
            EXPECT_FALSE(model.IsCollapsible(edge)) << "edge " << edge;
            EXPECT_FALSE(model.CollapseEdge(edge, edge % 2 == 0)) << "edge " << edge;
        }
        EXPECT_EQ(ThrownMessage([&] { model.Simplify(1); }), "No available next vpair!");
        EXPECT_EQ(model.LiveVertexCount(), static_cast<int>(shape.vertices.size()));
    }
}

// Simplify runs once per construction; missing data is reported with the quoted messages;
// running out of pairs keeps the collapses done.
TEST(LodExceptions, RefusalsCarryTheQuotedMessagesAndKeepTheModel) {
    LodPolygonModel model = AsLod(shapes::Octahedron()), empty;
    EXPECT_EQ(ThrownMessage([&] { model.Simplify(1); }), "No LOD data to be simplified.");
    model.BuildEdgeTable();
    EXPECT_FALSE(model.CollapseEdge(0, true)) << "keeping arrays needs the flags of ConstructLOD";
    EXPECT_EQ(ThrownMessage([&] { empty.ConstructLOD(); }),
              "VPair_Heap_SetupFromEdgeExtData(): Edge data is not defined!");
    model.ConstructLOD();
    model.Simplify(1);
    EXPECT_EQ(ThrownMessage([&] { model.Simplify(1); }),
              "Simplify() method can be called only once after each call of ConstructLOD().");
    EXPECT_EQ(model.LiveVertexCount(), 5) << "nothing collapses after the refusal";
    model.CompactRetired();
    EXPECT_TRUE(model.vertexPairs.empty() && model.vertices.size() == 5u);
    model.ConstructLOD();
    EXPECT_NO_THROW(model.Simplify(0));
    model.vertexPairs.pop_back();
    EXPECT_EQ(ThrownMessage([&] { model.VPair_Heap_SetupFromEdgeExtData(); }),
              "VPair_Heap_SetupFromEdgeExtData(): Edge data is not defined!");
    LodPolygonModel full = AsLod(shapes::Octahedron());
    full.ConstructLOD();
    EXPECT_EQ(ThrownMessage([&] { full.Simplify(100); }), "No available next vpair!");
    EXPECT_LT(full.LiveVertexCount(), 6);
}

// In the squashed octahedron +z sits on the middle of the edge from +x to +y: (0, 2, 4)
// has no area and no plane, and the quadrics around it are singular.
TEST(LodCosting, SingularQuadricsGiveFiniteTargetsNearTheEdge) {
    RkPolygonModel squashed = shapes::Octahedron();
    squashed.vertices[4].position = Vector3(0.5, 0.5, 0.0);
    LodPolygonModel model = AsLod(squashed);
    model.ConstructLOD();
    for (const VertexQuadric& record : model.vertexQuadrics)
        for (double element : record.quadric) ASSERT_TRUE(std::isfinite(element));
    for (const VPair& pair : model.vertexPairs) {
        const MeshEdge& edge = model.edges[pair.edge];
        const Vector3& a = model.vertices[edge.lowVertex].position;
        const Vector3& b = model.vertices[edge.highVertex].position;
        ASSERT_TRUE(std::isfinite(pair.cost)) << "edge " << pair.edge;
        // Also not NaN.
        EXPECT_LE((pair.target - (a + b) * 0.5).Length(), (b - a).Length() + 1e-12);
        EXPECT_GE(pair.cost, -1e-9);
    }
}

// On an open mesh the collapses leave the boundary where it was: no boundary vertex moves.
TEST(LodCollapse, OpenMeshKeepsItsBoundary) {
    LodPolygonModel model;
    const std::string path = std::string(VANTREL_SHARED_DATA_DIR) + "/bivme_p1_lv_endo_open.obj";
    if (!std::ifstream(path).good()) GTEST_SKIP() << path << " missing";
    ASSERT_TRUE(model.LoadObj(path));
    // The boundary edges as sorted sums of their end points (exact).
    auto boundary = [&model] {
        model.BuildEdgeTable();
        std::vector<std::vector<double>> sums;
        for (const MeshEdge& edge : model.edges) {
            if (edge.forwardPolygon >= 0 && edge.backwardPolygon >= 0) continue;
            const Vector3 sum =
                model.vertices[edge.lowVertex].position + model.vertices[edge.highVertex].position;
            sums.push_back({sum.x, sum.y, sum.z});
        }
        std::sort(sums.begin(), sums.end());
        return sums;
    };
    const std::vector<std::vector<double>> before = boundary();
    model.ConstructLOD();
    model.Simplify(500);
    model.CompactRetired();
    EXPECT_EQ(boundary(), before);
}

class LodOnClosedMesh : public ::testing::TestWithParam<std::string> {};

TEST_P(LodOnClosedMesh, CollapsesKeepAClosedManifoldNearTheOriginal) {
    LodPolygonModel model;
    if (!std::ifstream(GetParam()).good()) GTEST_SKIP() << GetParam() << " missing";
    ASSERT_TRUE(model.LoadObj(GetParam()));
    const double volume = meshchecks::SignedVolume(model);
    model.ConstructLOD();
    ASSERT_EQ(EulerCharacteristic(model), 2) << "input is not a closed genus-0 mesh";
    const int vertices = model.LiveVertexCount(), collapses = vertices / 4;
    model.Simplify(collapses);
    EXPECT_EQ(model.LiveVertexCount(), vertices - collapses);
    EXPECT_EQ(EulerCharacteristic(model), 2);
    ExpectWalksClose(model);
    model.CompactRetired();
    EXPECT_EQ(static_cast<int>(model.vertices.size()), vertices - collapses);
    meshchecks::ExpectConsistentEdgeTable(model);
    EXPECT_EQ(meshchecks::BoundaryEdgeCount(model), 0);
    ExpectWalksClose(model);
    // Collapses to the quadric targets keep the enclosed volume.
    EXPECT_NEAR(meshchecks::SignedVolume(model) / volume, 1.0, 0.001);
}

INSTANTIATE_TEST_SUITE_P(
    SharedAndDemoMeshes, LodOnClosedMesh,
    ::testing::Values(std::string(VANTREL_SHARED_DATA_DIR) + "/bivme_p1_lv_endo_capped.obj",
                      std::string(VANTREL_SHARED_DATA_DIR) + "/bivme_p1_rv_endo_capped.obj",
                      std::string(VANTREL_SHARED_DATA_DIR) + "/stanford_bunny.obj",
                      std::string(VANTREL_DATA_DIR) + "/demo-heart.obj"));

}  // namespace
}  // namespace vantrel
