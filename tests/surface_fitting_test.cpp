// Surface fitting (snapping under a polygon's plane, aligning a frame to the
// surface) and the shape-matching rotation with its 3 x 3 routines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>
#include <vector>

#include "geometry/Matrix4.h"
#include "heart/ShapeMatching.h"
#include "heart/SurfaceFitting.h"
#include "mesh_checks.h"
#include "shapes.h"

namespace vantrel {
namespace {

const double kLayerDepth = 0.0390625;

TEST(SnapToLayerPlane, PutsAPointLayerDepthBehindThePlaneUnlessTheRecordHasNoPolygon) {
    // One triangle in the plane z = 2 facing +z.
    RkPolygonModel mesh = shapes::MakeModel({{0, 0, 2}, {1, 0, 2}, {0, 1, 2}}, {{0, 1, 2}});
    mesh.ComputeNormals();
    LayerVoxel record;
    // On the plane, and one unit in front of it beyond the triangle's edges: the plane counts.
    for (Vector3 p : {Vector3(0.3, 0.2, 2.0), Vector3(5.0, -4.0, 3.0)}) {
        // A record without a polygon of the mesh leaves the point.
        for (const int polygon : {-1, 1}) {
            Vector3 left = p;
            record.polygon = polygon;
            SnapToLayerPlane(mesh, record, kLayerDepth, left);
            EXPECT_TRUE(left.x == p.x && left.y == p.y && left.z == p.z) << polygon;
        }
        const Vector3 before = p;
        record.polygon = 0;
        SnapToLayerPlane(mesh, record, kLayerDepth, p);
        EXPECT_DOUBLE_EQ(p.x, before.x);
        EXPECT_DOUBLE_EQ(p.y, before.y);
        EXPECT_DOUBLE_EQ(p.z, 2.0 - kLayerDepth);
    }
}

Vector3 Column(const Matrix4& m, int c) {
    return Vector3(m.m[4 * c], m.m[4 * c + 1], m.m[4 * c + 2]);
}

// Whatever the frame and the normal, afterwards y lies in the tangent plane, z lies on
// the normal line on its old side, the frame is still a rotation and the origin stays;
// a frame whose z already is the normal line stays exactly as it is.
TEST(AlignFrameToSurface, LaysYIntoThePlaneAndZOnTheNormalKeepingItsSide) {
    for (const double sign : {1.0, -1.0}) {
        Matrix4 frame;
        frame.SetIdentity();
        frame.m[12] = 1.0, frame.m[13] = 2.0, frame.m[14] = 3.0;
        const Matrix4 before = frame;
        AlignFrameToSurface(frame, Vector3(0.0, 0.0, sign));
        for (int k = 0; k < 16; ++k) EXPECT_EQ(frame.m[k], before.m[k]) << "element " << k;
    }
    for (const Vector3& axis : {Vector3(1, 2, 3), Vector3(-2, 0.5, 1), Vector3(0.3, -1, -0.2)}) {
        for (Vector3 normal : {Vector3(0, 0, 1), Vector3(1, 1, 0), Vector3(-0.2, 0.9, -0.4)}) {
            normal.Normalize();
            Matrix4 frame;
            frame.SetRotation(axis, 0.7);
            frame.m[12] = 4.0, frame.m[13] = -5.0, frame.m[14] = 6.0;
            const double zSideBefore = Column(frame, 2).Dot(normal);
            AlignFrameToSurface(frame, normal);
            const Vector3 x = Column(frame, 0), y = Column(frame, 1), z = Column(frame, 2);
            EXPECT_NEAR(y.Dot(normal), 0.0, 1e-12);
            EXPECT_NEAR(std::fabs(z.Dot(normal)), 1.0, 1e-12);
            EXPECT_GT(z.Dot(normal) * zSideBefore, 0.0);
            EXPECT_NEAR(x.Dot(y), 0.0, 1e-12);
            EXPECT_NEAR(x.Cross(y).Dot(z), 1.0, 1e-12);
            EXPECT_TRUE(frame.m[12] == 4.0 && frame.m[13] == -5.0 && frame.m[14] == 6.0);
        }
    }
}

void ExpectNear3x3(const double* a, const double* b, double tolerance) {
    for (int k = 0; k < 9; ++k) EXPECT_NEAR(a[k], b[k], tolerance) << "element " << k;
}

TEST(Matrix3x3, InverseTimesMatrixIsIdentityAndANearlySingularMatrixIsLeft) {
    const double a[9] = {4, 1, -2, 0.5, 3, 1, 2, -1, 5}, identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    double inverse[9], product[9];
    std::copy(a, a + 9, inverse);
    ASSERT_TRUE(Invert3x3(inverse));
    Multiply3x3(a, inverse, product);
    ExpectNear3x3(product, identity, 1e-14);
    MultiplyInPlace3x3(inverse, a);
    ExpectNear3x3(inverse, identity, 1e-14);
    // Determinant 1e-8, below the 1e-7 threshold.
    double singular[9] = {1e-8, 0, 0, 0, 1, 0, 0, 0, 1};
    EXPECT_FALSE(Invert3x3(singular));
    EXPECT_EQ(singular[0], 1e-8);
    EXPECT_EQ(singular[4], 1.0);
}

// Each case has one off-diagonal pair (i, j): one rotation must zero it (with the
// opposite sign of sin it would double it instead), leave the third diagonal entry
// and give v a v^T equal to the input. Equal diagonal entries take the quarter turn.
TEST(Matrix3x3, OneJacobiRotationZeroesTheOnlyOffDiagonalPair) {
    const double root = std::sqrt(2.25 + 0.64);  // eigenvalues of the 2 x 2 block: 3.5 -+ root
    const struct {
        double a[9];
        int i, j, k;
        double low, high, v0;
    } cases[] = {{{3, 0, 0, 0, 5, 0.8, 0, 0.8, 2}, 1, 2, 0, 3.5 - root, 3.5 + root, 1.0},
                 {{2, 1, 0, 1, 2, 0, 0, 0, 3}, 0, 1, 2, 1.0, 3.0, std::sqrt(0.5)}};
    for (const auto& c : cases) {
        double a[9], v[9], vt[9], va[9], back[9];
        std::copy(c.a, c.a + 9, a);
        JacobiDiagonalize3x3(a, v);
        EXPECT_NEAR(a[3 * c.i + c.j], 0.0, 1e-12);
        EXPECT_NEAR(a[3 * c.j + c.i], 0.0, 1e-12);
        EXPECT_EQ(a[4 * c.k], c.a[4 * c.k]);
        EXPECT_NEAR(std::min(a[4 * c.i], a[4 * c.j]), c.low, 1e-12);
        EXPECT_NEAR(std::max(a[4 * c.i], a[4 * c.j]), c.high, 1e-12);
        EXPECT_NEAR(std::fabs(v[0]), c.v0, 1e-12);
        for (int r = 0; r < 9; ++r) vt[r] = v[3 * (r % 3) + r / 3];
        Multiply3x3(v, a, va);
        Multiply3x3(va, vt, back);
        ExpectNear3x3(back, c.a, 1e-12);
    }
}

std::vector<MeshVertex> Vertices(const std::vector<Vector3>& positions) {
    std::vector<MeshVertex> vertices(positions.size());
    for (std::size_t i = 0; i < positions.size(); ++i) vertices[i].position = positions[i];
    return vertices;
}

// With current = Q rest + d about the centres, R = Apq S^-1 is Q^T: it turns the
// current shape back onto the rest shape (the identity for Q = I). Only the 3 x 3
// part of the matrix is written. The points spread differently along each axis, so
// that no rotation leaves them alike.
TEST(ShapeMatchRotation, GivesTheRotationBackOntoTheRestShape) {
    const std::vector<Vector3> rest = {Vector3(3, 0, 0),     Vector3(-3, 0.2, 0),
                                       Vector3(0, 1.5, 0.1), Vector3(0.1, -1.5, 0),
                                       Vector3(0, 0, 0.5),   Vector3(0.2, 0.1, -0.5)};
    for (const double angle : {0.0, 0.3}) {
        SCOPED_TRACE(angle);
        Matrix4 q, rotation;
        q.SetRotationZ(angle);
        std::vector<Vector3> current;
        for (const Vector3& p : rest) current.push_back(q.Transform(p) + Vector3(1, 2, 3));
        rotation.SetIdentity();
        rotation.m[12] = 9.0;
        Vector3 restCentre, currentCentre;
        meshchecks::ConsoleCapture console;
        ASSERT_TRUE(ShapeMatchRotation(Vertices(rest), Vertices(current), rotation, restCentre,
                                       currentCentre));
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) EXPECT_NEAR(rotation.At(r, c), q.At(c, r), 1e-9) << r << c;
        EXPECT_EQ(rotation.m[12], 9.0);
        EXPECT_LT((currentCentre - (q.Transform(restCentre) + Vector3(1, 2, 3))).Length(), 1e-12);
        const std::string all =
            std::accumulate(console.Lines().begin(), console.Lines().end(), std::string());
        EXPECT_EQ(all.find("start calculation for meshless deformation's rotation!!\n"), 0u);
        EXPECT_NE(all.find("\ndiagonalised At * A\n"), std::string::npos);
    }
}

TEST(ShapeMatchRotation, RejectsEmptyOrUnequalArraysWithOneLine) {
    Matrix4 rotation;
    rotation.SetIdentity();
    Vector3 restCentre, currentCentre;
    meshchecks::ConsoleCapture console;
    EXPECT_FALSE(ShapeMatchRotation({}, {}, rotation, restCentre, currentCentre));
    EXPECT_FALSE(ShapeMatchRotation(Vertices({Vector3(0, 0, 1), Vector3(1, 0, 0)}),
                                    Vertices({Vector3(1, 1, 1)}), rotation, restCentre,
                                    currentCentre));
    EXPECT_EQ(console.Lines().size(), 2u);
    EXPECT_EQ(rotation.m[0], 1.0);
}

}  // namespace
}  // namespace vantrel
