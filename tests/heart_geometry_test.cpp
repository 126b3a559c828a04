// Geometry on the heart: polyline resampling and B-spline smoothing; snapping under a
// polygon's plane, aligning a frame to the surface, and the shape-matching rotation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "geometry/Matrix4.h"
#include "heart/PolylineOps.h"
#include "heart/ShapeMatching.h"
#include "heart/SurfaceFitting.h"
#include "mesh_checks.h"
#include "shapes.h"

namespace vantrel {
namespace {

using Points = std::vector<Vector3>;
using meshchecks::ExpectNear;

// Random, unequal steps along one line, resampled in place: every output point must
// sit at a multiple of length / pieces from the start, whatever segment it falls in.
// A line of zero length gives origin points.
TEST(ResamplePolyline, UnevenCollinearInputComesOutEvenlySpaced) {
    std::mt19937 random(41);
    std::uniform_real_distribution<double> step(0.01, 2.0);
    const Vector3 start(1, -2, 0.5), direction = Vector3(2, 1, -2) / 3.0;
    Points in = {start};
    double length = 0.0;
    for (int i = 0; i < 30; ++i) in.push_back(start + direction * (length += step(random)));
    for (int pieces : {1, 7, 64, 500}) {
        Points out = in;
        ResamplePolyline(pieces, out, out);
        ASSERT_EQ(out.size(), static_cast<std::size_t>(pieces) + 1) << pieces;
        for (int j = 0; j <= pieces; ++j)
            ExpectNear(out[j], start + direction * (length * j / pieces), 1e-9);
    }
    Points out;
    ResamplePolyline(4, {Vector3(2, 3, 4), Vector3(2, 3, 4)}, out);
    ASSERT_EQ(out.size(), 5u);
    for (const Vector3& p : out) ExpectNear(p, Vector3(0, 0, 0), 0.0);
}

// Requests that would loop forever or divide by zero return a bitwise copy of the input.
TEST(PolylineOps, UnusableRequestsReturnTheInputUnchanged) {
    const Points line = {Vector3(0, 0, 0), Vector3(1, 2, 3), Vector3(4, 4, 4)};
    const Points withNan = {Vector3(0, 0, 0), Vector3(1, std::nan(""), 1), Vector3(2, 2, 2)};
    const Points overflowing = {Vector3(-1e308, 0, 0), Vector3(1e308, 0, 0)};
    const Points single = {Vector3(1, 2, 3)};
    const struct {
        const Points* in;
        int k;
        bool smooth;
    } cases[] = {{&line, 0, false},
                 {&withNan, 5, false},
                 {&overflowing, 5, false},
                 {&line, 0, true},
                 {&single, 10, true}};
    for (const auto& c : cases) {
        Points out;
        c.smooth ? SmoothPolyline(*c.in, out, c.k) : ResamplePolyline(c.k, *c.in, out);
        ASSERT_EQ(out.size(), c.in->size());
        for (std::size_t i = 0; i < out.size(); ++i)
            EXPECT_TRUE(out[i].x == (*c.in)[i].x && out[i].z == (*c.in)[i].z) << c.k << c.smooth;
    }
}

TEST(EvaluateClampedBSpline, EndsAtTheEndControlPointsHandlesTinyPolygonsAndSumsToOne) {
    const Points control = {Vector3(0, 0, 0), Vector3(1, 2, 0), Vector3(3, -1, 1),
                            Vector3(4, 0, 2)};
    ExpectNear(EvaluateClampedBSpline(control, -1.0), control.front());
    ExpectNear(EvaluateClampedBSpline(control, 4.0), control.back());
    ExpectNear(EvaluateClampedBSpline(control, 1.0),
               control[0] * (1.0 / 6) + control[1] * (4.0 / 6) + control[2] * (1.0 / 6));
    ExpectNear(EvaluateClampedBSpline({}, 0.5), Vector3(0, 0, 0), 0.0);
    ExpectNear(EvaluateClampedBSpline({Vector3(3, -1, 2)}, 0.3), Vector3(3, -1, 2));
    // The basis pieces sum to one wherever t lies.
    for (double t = -1.0; t <= 1.0; t += 0.37) {
        double sum = 0.0;
        for (int k = -3; k <= 3; ++k) sum += CubicBSplineBasis(t - k);
        EXPECT_NEAR(sum, 1.0, 1e-15) << t;
    }
}

TEST(SmoothPolyline, SamplesTheSplineAtEvenParameterStepsInPlace) {
    const Points in = {Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(1, 1, 0), Vector3(0, 1, 1)};
    Points out = in;
    SmoothPolyline(out, out, 6);  // step (4 + 1) / 5 = 1: t = -1, 0, ..., 4
    ASSERT_EQ(out.size(), 6u);
    for (int i = 0; i < 6; ++i) ExpectNear(out[i], EvaluateClampedBSpline(in, -1.0 + i), 0.0);
}

// One triangle in the plane z = 2 facing +z; a point on the plane and one a unit in
// front of it beyond the triangle's edges (the plane counts); records without a valid
// polygon leave the point.
TEST(SnapToLayerPlane, PutsAPointLayerDepthBehindThePlaneUnlessTheRecordHasNoPolygon) {
    const double depth = 0.0390625;
    RkPolygonModel mesh = shapes::MakeModel({{0, 0, 2}, {1, 0, 2}, {0, 1, 2}}, {{0, 1, 2}});
    mesh.ComputeNormals();
    LayerVoxel record;
    for (const Vector3& p : {Vector3(0.3, 0.2, 2.0), Vector3(5.0, -4.0, 3.0)}) {
        for (const int polygon : {-1, 1, 0}) {
            Vector3 snapped = p;
            record.polygon = polygon;
            SnapToLayerPlane(mesh, record, depth, snapped);
            ExpectNear(snapped, polygon == 0 ? Vector3(p.x, p.y, 2.0 - depth) : p, 0.0);
        }
    }
}

Vector3 Column(const Matrix4& m, int c) {
    return Vector3(m.m[4 * c], m.m[4 * c + 1], m.m[4 * c + 2]);
}

// Whatever the frame and the normal, afterwards y lies in the tangent plane, z lies on
// the normal line on its old side; a frame whose z already is the normal line stays
// exactly as it is, its origin too.
TEST(AlignFrameToSurface, LaysYIntoThePlaneAndZOnTheNormalKeepingItsSide) {
    Matrix4 frame;
    frame.SetIdentity();
    frame.m[12] = 1.0;
    const Matrix4 before = frame;
    AlignFrameToSurface(frame, Vector3(0.0, 0.0, -1.0));
    EXPECT_TRUE(std::equal(frame.m, frame.m + 16, before.m));
    for (const Vector3& axis : {Vector3(1, 2, 3), Vector3(-2, 0.5, 1), Vector3(0.3, -1, -0.2)}) {
        for (Vector3 normal : {Vector3(0, 0, 1), Vector3(1, 1, 0), Vector3(-0.2, 0.9, -0.4)}) {
            normal.Normalize();
            frame.SetRotation(axis, 0.7);
            const double zSideBefore = Column(frame, 2).Dot(normal);
            AlignFrameToSurface(frame, normal);
            const Vector3 y = Column(frame, 1), z = Column(frame, 2);
            EXPECT_NEAR(y.Dot(normal), 0.0, 1e-12);
            EXPECT_NEAR(z.Dot(normal) * (zSideBefore > 0 ? 1 : -1), 1.0, 1e-12);
        }
    }
}

std::vector<MeshVertex> Vertices(const Points& positions) {
    std::vector<MeshVertex> vertices(positions.size());
    for (std::size_t i = 0; i < positions.size(); ++i) vertices[i].position = positions[i];
    return vertices;
}

// With current = Q rest + d about the centres, R = Apq S^-1 is Q^T: it turns the current
// shape back onto the rest shape (the identity for Q = I). The points spread differently along each
// axis, so that no rotation leaves them alike. Unequal arrays are refused with one line.
TEST(ShapeMatchRotation, GivesTheRotationBackOntoTheRestShape) {
    const Points rest = {Vector3(3, 0, 0),      Vector3(-3, 0.2, 0), Vector3(0, 1.5, 0.1),
                         Vector3(0.1, -1.5, 0), Vector3(0, 0, 0.5),  Vector3(0.2, 0.1, -0.5)};
    Matrix4 rotation;
    Vector3 restCentre, currentCentre;
    for (const double angle : {0.0, 0.3}) {
        Matrix4 q;
        q.SetRotationZ(angle);
        Points current;
        for (const Vector3& p : rest) current.push_back(q.Transform(p) + Vector3(1, 2, 3));
        rotation.SetIdentity();
        meshchecks::ConsoleCapture quiet;  // the intermediate matrices
        ASSERT_TRUE(ShapeMatchRotation(Vertices(rest), Vertices(current), rotation, restCentre,
                                       currentCentre));
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) EXPECT_NEAR(rotation.At(r, c), q.At(c, r), 1e-9) << r << c;
        ExpectNear(currentCentre, q.Transform(restCentre) + Vector3(1, 2, 3));
    }
    rotation.SetIdentity();
    meshchecks::ConsoleCapture console;
    EXPECT_FALSE(ShapeMatchRotation(Vertices({Vector3(0, 0, 1), Vector3(1, 0, 0)}),
                                    Vertices({Vector3(1, 1, 1)}), rotation, restCentre,
                                    currentCentre));
    EXPECT_EQ(console.Lines().size(), 1u);
    EXPECT_EQ(rotation.m[0], 1.0);
}

}  // namespace
}  // namespace vantrel
