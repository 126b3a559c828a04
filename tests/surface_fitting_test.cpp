// Surface fitting (snapping under a polygon's plane, aligning a frame to the
// surface) and the shape-matching rotation with its 3 x 3 routines.
#include <gtest/gtest.h>

#include <cmath>
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

// One triangle in the plane z = 2 facing +z, with its normal computed.
RkPolygonModel FloorAtHeightTwo() {
  RkPolygonModel mesh = shapes::MakeModel({{0, 0, 2}, {1, 0, 2}, {0, 1, 2}}, {{0, 1, 2}});
  mesh.ComputeNormals();
  return mesh;
}

LayerVoxel RecordOn(int polygon) {
  LayerVoxel record;
  record.polygon = polygon;
  return record;
}

TEST(SnapToLayerPlane, PutsAPointOnThePlaneLayerDepthBehindIt) {
  const RkPolygonModel mesh = FloorAtHeightTwo();
  Vector3 onPlane(0.3, 0.2, 2.0);
  SnapToLayerPlane(mesh, RecordOn(0), kLayerDepth, onPlane);
  EXPECT_DOUBLE_EQ(onPlane.x, 0.3);
  EXPECT_DOUBLE_EQ(onPlane.y, 0.2);
  EXPECT_DOUBLE_EQ(onPlane.z, 2.0 - kLayerDepth);

  // One unit in front of the plane, and beyond the triangle's edges: the plane counts.
  Vector3 inFront(5.0, -4.0, 3.0);
  SnapToLayerPlane(mesh, RecordOn(0), kLayerDepth, inFront);
  EXPECT_DOUBLE_EQ(inFront.x, 5.0);
  EXPECT_DOUBLE_EQ(inFront.y, -4.0);
  EXPECT_DOUBLE_EQ(inFront.z, 2.0 - kLayerDepth);
}

TEST(SnapToLayerPlane, LeavesThePointWhenTheRecordHasNoPolygon) {
  const RkPolygonModel mesh = FloorAtHeightTwo();
  for (const int polygon : {-1, 1}) {
    Vector3 p(0.5, 0.5, 7.0);
    SnapToLayerPlane(mesh, RecordOn(polygon), kLayerDepth, p);
    EXPECT_EQ(p.z, 7.0);
  }
}

Vector3 Column(const Matrix4& m, int c) {
  return Vector3(m.m[4 * c], m.m[4 * c + 1], m.m[4 * c + 2]);
}

TEST(AlignFrameToSurface, IdentityFrameOnTheZAxisStaysUnchanged) {
  for (const double sign : {1.0, -1.0}) {
    Matrix4 frame;
    frame.SetIdentity();
    frame.m[12] = 1.0;
    frame.m[13] = 2.0;
    frame.m[14] = 3.0;
    AlignFrameToSurface(frame, Vector3(0.0, 0.0, sign));
    Matrix4 expected;
    expected.SetIdentity();
    expected.m[12] = 1.0;
    expected.m[13] = 2.0;
    expected.m[14] = 3.0;
    for (int k = 0; k < 16; ++k) EXPECT_EQ(frame.m[k], expected.m[k]) << "element " << k;
  }
}

// Whatever the frame and the normal, afterwards y lies in the tangent plane, z lies
// on the normal line on its old side, the frame is still a rotation and the origin stays.
TEST(AlignFrameToSurface, LaysYIntoThePlaneAndZOnTheNormalKeepingItsSide) {
  const Vector3 axes[] = {Vector3(1, 2, 3), Vector3(-2, 0.5, 1), Vector3(0.3, -1, -0.2)};
  const Vector3 normals[] = {Vector3(0, 0, 1), Vector3(1, 1, 0), Vector3(-0.2, 0.9, -0.4)};
  for (const Vector3& axis : axes) {
    for (Vector3 normal : normals) {
      normal.Normalize();
      Matrix4 frame;
      frame.SetRotation(axis, 0.7);
      frame.m[12] = 4.0;
      frame.m[13] = -5.0;
      frame.m[14] = 6.0;
      const double zSideBefore = Column(frame, 2).Dot(normal);

      AlignFrameToSurface(frame, normal);

      const Vector3 x = Column(frame, 0), y = Column(frame, 1), z = Column(frame, 2);
      EXPECT_NEAR(y.Dot(normal), 0.0, 1e-12);
      EXPECT_NEAR(std::fabs(z.Dot(normal)), 1.0, 1e-12);
      EXPECT_GT(z.Dot(normal) * zSideBefore, 0.0);
      EXPECT_NEAR(x.Dot(y), 0.0, 1e-12);
      EXPECT_NEAR(x.Cross(y).Dot(z), 1.0, 1e-12);
      EXPECT_EQ(frame.m[12], 4.0);
      EXPECT_EQ(frame.m[13], -5.0);
      EXPECT_EQ(frame.m[14], 6.0);
    }
  }
}

void ExpectNear3x3(const double* a, const double* b, double tolerance) {
  for (int k = 0; k < 9; ++k) EXPECT_NEAR(a[k], b[k], tolerance) << "element " << k;
}

const double kIdentity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};

TEST(Matrix3x3, InverseTimesMatrixIsIdentity) {
  const double a[9] = {4, 1, -2, 0.5, 3, 1, 2, -1, 5};
  double inverse[9];
  std::copy(a, a + 9, inverse);
  ASSERT_TRUE(Invert3x3(inverse));
  double product[9];
  Multiply3x3(a, inverse, product);
  ExpectNear3x3(product, kIdentity, 1e-14);
  MultiplyInPlace3x3(inverse, a);
  ExpectNear3x3(inverse, kIdentity, 1e-14);
}

TEST(Matrix3x3, InvertRefusesANearlySingularMatrixAndLeavesIt) {
  // Determinant 1e-8, below the 1e-7 threshold.
  double a[9] = {1e-8, 0, 0, 0, 1, 0, 0, 0, 1};
  const double before[9] = {1e-8, 0, 0, 0, 1, 0, 0, 0, 1};
  EXPECT_FALSE(Invert3x3(a));
  for (int k = 0; k < 9; ++k) EXPECT_EQ(a[k], before[k]);
}

// One rotation must zero the pair it works on: with the opposite sign of sin it
// would double it instead.
TEST(Matrix3x3, OneJacobiRotationZeroesTheOnlyOffDiagonalPair) {
  double a[9] = {3, 0, 0, 0, 5, 0.8, 0, 0.8, 2};
  const double original[9] = {3, 0, 0, 0, 5, 0.8, 0, 0.8, 2};
  double v[9];
  JacobiDiagonalize3x3(a, v);
  EXPECT_NEAR(a[5], 0.0, 1e-12);
  EXPECT_NEAR(a[7], 0.0, 1e-12);
  EXPECT_EQ(a[0], 3.0);
  // Eigenvalues of the 2 x 2 block: 3.5 -+ sqrt(2.25 + 0.64).
  const double root = std::sqrt(2.25 + 0.64);
  EXPECT_NEAR(std::max(a[4], a[8]), 3.5 + root, 1e-12);
  EXPECT_NEAR(std::min(a[4], a[8]), 3.5 - root, 1e-12);
  // v a v^T reproduces the input whatever the convergence.
  double vt[9], va[9], back[9];
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) vt[3 * i + j] = v[3 * j + i];
  Multiply3x3(v, a, va);
  Multiply3x3(va, vt, back);
  ExpectNear3x3(back, original, 1e-12);
}

TEST(Matrix3x3, JacobiWithEqualDiagonalUsesTheQuarterTurn) {
  double a[9] = {2, 1, 0, 1, 2, 0, 0, 0, 3};
  double v[9];
  JacobiDiagonalize3x3(a, v);
  EXPECT_NEAR(a[1], 0.0, 1e-12);
  EXPECT_NEAR(std::min(a[0], a[4]), 1.0, 1e-12);
  EXPECT_NEAR(std::max(a[0], a[4]), 3.0, 1e-12);
  EXPECT_NEAR(std::fabs(v[0]), std::sqrt(0.5), 1e-12);
}

std::vector<MeshVertex> Vertices(const std::vector<Vector3>& positions) {
  std::vector<MeshVertex> vertices(positions.size());
  for (std::size_t i = 0; i < positions.size(); ++i) vertices[i].position = positions[i];
  return vertices;
}

// Points spread differently along each axis, so that no rotation leaves them alike.
const std::vector<Vector3> kRestShape = {Vector3(3, 0, 0), Vector3(-3, 0.2, 0), Vector3(0, 1.5, 0.1),
                                         Vector3(0.1, -1.5, 0), Vector3(0, 0, 0.5),
                                         Vector3(0.2, 0.1, -0.5)};

TEST(ShapeMatchRotation, IdenticalShapesGiveTheIdentity) {
  Matrix4 rotation;
  rotation.SetIdentity();
  rotation.m[12] = 9.0;
  Vector3 restCentre, currentCentre;
  meshchecks::ConsoleCapture console;
  ASSERT_TRUE(ShapeMatchRotation(Vertices(kRestShape), Vertices(kRestShape), rotation,
                                 restCentre, currentCentre));
  Matrix4 expected;
  expected.SetIdentity();
  expected.m[12] = 9.0;
  for (int k = 0; k < 16; ++k) EXPECT_NEAR(rotation.m[k], expected.m[k], 1e-9) << k;
  std::string all;
  for (const std::string& text : console.Lines()) all += text;
  EXPECT_EQ(all.find("start calculation for meshless deformation's rotation!!\n"), 0u);
  EXPECT_NE(all.find("\ndiagonalised At * A\n"), std::string::npos);
}

// With current = Q rest about the centres, R = Apq S^-1 is Q^T: it turns the
// current shape back onto the rest shape.
TEST(ShapeMatchRotation, RotatedAndMovedShapeGivesTheInverseRotation) {
  Matrix4 q;
  q.SetRotationZ(0.3);
  std::vector<Vector3> current;
  for (const Vector3& p : kRestShape) current.push_back(q.Transform(p) + Vector3(1, 2, 3));
  Matrix4 rotation;
  rotation.SetIdentity();
  Vector3 restCentre, currentCentre;
  ASSERT_TRUE(ShapeMatchRotation(Vertices(kRestShape), Vertices(current), rotation, restCentre,
                                 currentCentre));
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(rotation.At(r, c), q.At(c, r), 1e-9) << r << c;
  const Vector3 movedCentre = q.Transform(restCentre) + Vector3(1, 2, 3);
  EXPECT_NEAR(currentCentre.x, movedCentre.x, 1e-12);
  EXPECT_NEAR(currentCentre.y, movedCentre.y, 1e-12);
  EXPECT_NEAR(currentCentre.z, movedCentre.z, 1e-12);
}

TEST(ShapeMatchRotation, RejectsEmptyOrUnequalArraysWithOneLine) {
  Matrix4 rotation;
  rotation.SetIdentity();
  Vector3 restCentre, currentCentre;
  meshchecks::ConsoleCapture console;
  EXPECT_FALSE(ShapeMatchRotation({}, {}, rotation, restCentre, currentCentre));
  EXPECT_FALSE(ShapeMatchRotation(Vertices(kRestShape), Vertices({Vector3(1, 1, 1)}), rotation,
                                  restCentre, currentCentre));
  EXPECT_EQ(console.Lines().size(), 2u);
  EXPECT_EQ(rotation.m[0], 1.0);
}

}  // namespace
}  // namespace vantrel
