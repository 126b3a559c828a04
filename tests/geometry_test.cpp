// Vector and 4x4 matrix arithmetic, the rotation builders, and the n x n routines.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <stdexcept>
#include <vector>

#include "geometry/DoubleArray.h"
#include "geometry/Matrix4.h"
#include "geometry/MatrixN.h"
#include "geometry/Vector3.h"

namespace vantrel {
namespace {

const double kPi = std::acos(-1.0);

void ExpectNear(const Vector3& actual, const Vector3& expected, double tolerance = 1e-12) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

void ExpectNear(const Matrix4& actual, const Matrix4& expected, double tolerance = 1e-12) {
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(actual.m[i], expected.m[i], tolerance) << "element " << i;
    }
}

Matrix4 Identity() {
    Matrix4 identity;
    identity.SetIdentity();
    return identity;
}

Vector3 RandomVector(std::mt19937& random) {
    std::uniform_real_distribution<double> coordinate(-1.0, 1.0);
    return Vector3(coordinate(random), coordinate(random), coordinate(random));
}

// Diagonally dominant matrices are far from singular, so their inverses are accurate.
std::vector<double> WellConditioned(std::mt19937& random, int n) {
    std::uniform_real_distribution<double> element(-1.0, 1.0);
    std::vector<double> a(static_cast<std::size_t>(n) * n);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            a[i * n + j] = element(random) + (i == j ? n + 1.0 : 0.0);
        }
    }
    return a;
}

// ---------------------------------------------------------------- Vector3

TEST(Vector3ZeroFlag, NormalizeOfZeroFailsLeavesVectorAndRaisesFlagForGood) {
    Vector3 v;
    EXPECT_FALSE(v.zero);
    EXPECT_FALSE(v.Normalize());
    EXPECT_TRUE(v.zero);
    ExpectNear(v, Vector3(0.0, 0.0, 0.0), 0.0);

    v.x = 3.0;
    v.y = 4.0;
    EXPECT_TRUE(v.Normalize());
    ExpectNear(v, Vector3(0.6, 0.8, 0.0));
    EXPECT_TRUE(v.zero) << "a successful Normalize never clears the flag";
}

TEST(Vector3ZeroFlag, NanLengthCountsAsNonZero) {
    Vector3 v(std::nan(""), 1.0, 0.0);
    EXPECT_TRUE(v.Normalize());
    EXPECT_FALSE(v.zero);
    EXPECT_TRUE(std::isnan(v.y));
}

TEST(Vector3ZeroFlag, AssignmentKeepsTargetFlagWhileCopiesCarryIt) {
    Vector3 flagged;
    flagged.Normalize();
    Vector3 plain(1.0, 2.0, 3.0);

    Vector3 target = plain;  // copy construction: all four fields
    EXPECT_FALSE(target.zero);
    target.Normalize();
    Vector3 copyOfFlagged(flagged);
    EXPECT_TRUE(copyOfFlagged.zero);

    Vector3 assignedToFlagged = flagged;
    const Vector3 returned = (assignedToFlagged = plain);
    ExpectNear(assignedToFlagged, plain, 0.0);
    EXPECT_TRUE(assignedToFlagged.zero) << "assignment copies coordinates only";
    EXPECT_TRUE(returned.zero) << "the returned copy is the target, flag included";

    Vector3 assignedFromFlagged(5.0, 5.0, 5.0);
    assignedFromFlagged = flagged;
    EXPECT_FALSE(assignedFromFlagged.zero);
    ExpectNear(assignedFromFlagged, Vector3(0.0, 0.0, 0.0), 0.0);
}

TEST(Vector3ZeroFlag, NewVectorsFromOperationsAreUnflagged) {
    Vector3 flagged;
    flagged.Normalize();
    EXPECT_FALSE(flagged.Cross(Vector3(1, 0, 0)).zero);
    EXPECT_FALSE((flagged + flagged).zero);
    EXPECT_FALSE((flagged - flagged).zero);
    EXPECT_FALSE((-flagged).zero);
    EXPECT_FALSE((flagged * 2.0).zero);
    EXPECT_FALSE((flagged / 2.0).zero);
    Matrix4 identity = Identity();
    EXPECT_FALSE(identity.Transform(flagged).zero);

    flagged += Vector3(1, 1, 1);
    EXPECT_TRUE(flagged.zero) << "compound updates keep the flag";
}

TEST(Vector3Arithmetic, CrossDotAndLengthFollowTheRightHandRule) {
    const Vector3 x(1, 0, 0), y(0, 1, 0), z(0, 0, 1);
    ExpectNear(x.Cross(y), z, 0.0);
    ExpectNear(y.Cross(z), x, 0.0);
    ExpectNear(Cross(z, x), y, 0.0);
    ExpectNear(y.Cross(x), -z, 0.0);

    const Vector3 a(1, 2, 3), b(-4, 5, 0.5);
    EXPECT_DOUBLE_EQ(a.Dot(b), 7.5);
    EXPECT_DOUBLE_EQ(Dot(a, a.Cross(b)), 0.0);
    EXPECT_DOUBLE_EQ(Vector3(2, 3, 6).Length(), 7.0);
    EXPECT_DOUBLE_EQ(Vector3(2, 3, 6).LengthSquared(), 49.0);
    ExpectNear(2.0 * a - b / 2.0, Vector3(4, 1.5, 5.75), 0.0);
}

// ---------------------------------------------------------------- Matrix4 builders

TEST(Matrix4Rotation, ZeroTurnSucceedsEvenWithoutAnAxis) {
    Matrix4 m;
    EXPECT_TRUE(m.SetRotation(Vector3(), 1.0, 0.0));
    ExpectNear(m, Identity(), 0.0);
}

TEST(Matrix4Rotation, ZeroAxisWithARealTurnFailsToIdentity) {
    Matrix4 m;
    m.SetRotationX(0.3);
    EXPECT_FALSE(m.SetRotation(Vector3(), std::cos(0.3), std::sin(0.3)));
    ExpectNear(m, Identity(), 0.0);
}

TEST(Matrix4Rotation, AxisRotationsMatchCoordinateAxisBuilders) {
    for (double angle : {0.25, -1.3, 2.9, kPi}) {
        Matrix4 viaAxis, direct;
        viaAxis.SetRotation(Vector3(0, 0, 2), std::cos(angle), std::sin(angle));
        direct.SetRotationZ(angle);
        ExpectNear(viaAxis, direct, 0.0);

        viaAxis.SetRotation(Vector3(1, 0, 0), angle);
        direct.SetRotationX(angle);
        ExpectNear(viaAxis, direct, 0.0);

        viaAxis.SetRotation(Vector3(0, 1, 0), angle);
        direct.SetRotationY(angle);
        ExpectNear(viaAxis, direct, 0.0);
    }
}

TEST(Matrix4Rotation, TurnsCounterClockwiseAndLeavesCallersAxisAlone) {
    Vector3 axis(0, 0, 5);
    Matrix4 m;
    EXPECT_TRUE(m.SetRotation(axis, kPi / 2));
    ExpectNear(m.Transform(Vector3(1, 0, 0)), Vector3(0, 1, 0));
    ExpectNear(axis, Vector3(0, 0, 5), 0.0);

    // A general axis stays fixed and the matrix stays orthonormal.
    const Vector3 general(1, -2, 0.5);
    m.SetRotation(general, 1.1);
    ExpectNear(m.Transform(general), general);
    ExpectNear(m.Multiply(m.Transposed()), Identity());
}

TEST(Matrix4Builders, TransformOfOriginIsTheTranslation) {
    Matrix4 m;
    m.SetRotation(Vector3(1, 1, 0), 0.7);
    m.m[12] = 4.0;
    m.m[13] = -5.0;
    m.m[14] = 6.5;
    m.m[3] = 99.0;  // the fourth row plays no part
    ExpectNear(m.Transform(Vector3()), Vector3(4.0, -5.0, 6.5), 0.0);
}

TEST(Matrix4Builders, MultiplyAppliesTheRightOperandFirst) {
    Matrix4 translate, rotate;
    translate.SetTranslation(Vector3(1, 2, 3));
    rotate.SetRotationZ(kPi / 2);
    const Matrix4 product = translate.Multiply(rotate);
    ExpectNear(product.Transform(Vector3(1, 0, 0)), Vector3(1, 3, 3));

    std::mt19937 random(7);
    Matrix4 a, b;
    a.SetRotation(RandomVector(random), 0.4);
    a.m[12] = 0.5;
    b.SetRotation(RandomVector(random), -2.0);
    b.m[0] *= 3.0;
    b.m[14] = -1.5;
    for (int i = 0; i < 5; ++i) {
        const Vector3 p = RandomVector(random);
        ExpectNear(a.Multiply(b).Transform(p), a.Transform(b.Transform(p)));
    }
}

TEST(Matrix4Builders, TransposedSwapsRowsAndColumns) {
    Matrix4 m;
    for (int i = 0; i < 16; ++i) {
        m.m[i] = i;
    }
    const Matrix4 t = m.Transposed();
    EXPECT_EQ(t.At(1, 3), m.At(3, 1));
    EXPECT_EQ(t.m[1], 4.0);
    ExpectNear(t.Transposed(), m, 0.0);
}

// ---------------------------------------------------------------- Matrix4 inverse

TEST(Matrix4Inverse, NearlySingularMatrixIsRefusedAndLeftUnchanged) {
    Matrix4 m;
    m.SetScale(1e-4, 1e-4, 1e-4);  // determinant 1e-12
    const Matrix4 before = m;
    EXPECT_FALSE(m.Invert());
    ExpectNear(m, before, 0.0);
    ExpectNear(m.Inverse(), before, 0.0);
}

TEST(Matrix4Inverse, IdentityInvertsToItself) {
    Matrix4 m = Identity();
    EXPECT_TRUE(m.Invert());
    ExpectNear(m, Identity(), 0.0);
}

TEST(Matrix4Inverse, ProductWithInverseIsNearIdentityForRandomMatrices) {
    std::mt19937 random(2024);
    for (int trial = 0; trial < 50; ++trial) {
        const std::vector<double> elements = WellConditioned(random, 4);
        Matrix4 m;
        for (int i = 0; i < 16; ++i) {
            m.m[i] = elements[i];
        }
        ExpectNear(m.Multiply(m.Inverse()), Identity(), 1e-12);
        Matrix4 inverted = m;
        ASSERT_TRUE(inverted.Invert());
        ExpectNear(inverted.Multiply(m), Identity(), 1e-12);
    }
}

TEST(Matrix4Inverse, UndoesAnAffineTransform) {
    Matrix4 rotate, translate;
    rotate.SetRotation(Vector3(0.3, -1, 2), 0.9);
    translate.SetTranslation(Vector3(2, -3, 0.25));
    const Matrix4 m = translate.Multiply(rotate);
    const Vector3 p(0.5, 1.5, -2.5);
    ExpectNear(m.Inverse().Transform(m.Transform(p)), p);
}

// ---------------------------------------------------------------- Axis and angle

TEST(Matrix4AxisAngle, RoundTripsThroughSetRotation) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> angleOf(0.05, kPi - 0.05);
    for (int trial = 0; trial < 20; ++trial) {
        Vector3 axis = RandomVector(random);
        const double angle = angleOf(random);
        Matrix4 m;
        m.SetRotation(axis, angle);
        Vector3 foundAxis;
        double foundAngle = 0.0;
        m.ToAxisAngle(foundAxis, foundAngle);
        axis.Normalize();
        EXPECT_NEAR(foundAngle, angle, 1e-9);
        ExpectNear(foundAxis, axis, 1e-9);
    }
}

TEST(Matrix4AxisAngle, HalfTurnsUseTheLargestDiagonalElement) {
    // At a half turn the trace term vanishes, so each branch of the diagonal
    // choice is exercised by one coordinate-like axis.
    for (const Vector3& axis : {Vector3(1, 0.2, 0.1), Vector3(0.1, 1, 0.3), Vector3(0.2, 0.1, 1)}) {
        Matrix4 m;
        m.SetRotation(axis, kPi);
        Vector3 foundAxis;
        double foundAngle = 0.0;
        m.ToAxisAngle(foundAxis, foundAngle);
        Matrix4 rebuilt;
        rebuilt.SetRotation(foundAxis, foundAngle);
        ExpectNear(rebuilt, m, 1e-9);
    }
}

TEST(Matrix4AxisAngle, IdentityGivesAngleZeroAndAFlaggedAxis) {
    Vector3 axis(7, 7, 7);
    double angle = -1.0;
    Identity().ToAxisAngle(axis, angle);
    EXPECT_EQ(angle, 0.0);
    EXPECT_TRUE(axis.zero);
}

TEST(Matrix4AxisAngle, DecomposeSeparatesTranslationScaleAndRotation) {
    Matrix4 translate, scale, rotate;
    translate.SetTranslation(Vector3(1, -2, 3));
    scale.SetScale(2.5, 2.5, 2.5);
    rotate.SetRotation(Vector3(1, 2, 2), 0.8);
    const Matrix4 m = translate.Multiply(scale.Multiply(rotate));
    Vector3 axis, translation;
    double angle = 0.0, factor = 0.0;
    m.Decompose(axis, angle, factor, translation);
    ExpectNear(translation, Vector3(1, -2, 3), 1e-12);
    EXPECT_NEAR(factor, 2.5, 1e-12);
    EXPECT_NEAR(angle, 0.8, 1e-9);
    ExpectNear(axis, Vector3(1.0 / 3, 2.0 / 3, 2.0 / 3), 1e-9);
}

// ---------------------------------------------------------------- Free rotation functions

TEST(RotationBetween, OppositeOrParallelDirectionsGiveIdentityAndStayUntouched) {
    Vector3 a(1, 0, 0), b(-1, 0, 0);
    Matrix4 out;
    out.SetRotationX(1.0);
    RotationBetween(a, b, out);
    ExpectNear(out, Identity(), 0.0);
    ExpectNear(a, Vector3(1, 0, 0), 0.0);
    ExpectNear(b, Vector3(-1, 0, 0), 0.0);

    Vector3 longA(3, 0, 0), zeroB;
    RotationBetween(longA, zeroB, out);
    ExpectNear(out, Identity(), 0.0);
    ExpectNear(longA, Vector3(3, 0, 0), 0.0);  // not normalised on the identity path
}

TEST(RotationBetween, NormalisesInPlaceAndMatchesAxisBuilders) {
    Vector3 a(1, 0, 0), b(0, 2, 0);
    Matrix4 out, expected;
    RotationBetween(a, b, out);
    ExpectNear(b, Vector3(0, 1, 0), 0.0);
    expected.SetRotationZ(kPi / 2);
    ExpectNear(out, expected);

    Vector3 y(0, 5, 0), z(0, 0, 0.5);
    RotationBetween(y, z, out);
    expected.SetRotationX(kPi / 2);
    ExpectNear(out, expected);

    Vector3 z2(0, 0, 1), x(3, 0, 0);
    RotationBetween(z2, x, out);
    expected.SetRotationY(kPi / 2);
    ExpectNear(out, expected);
}

TEST(RotationBetween, TurnsRandomDirectionsOntoEachOther) {
    std::mt19937 random(5);
    for (int trial = 0; trial < 20; ++trial) {
        Vector3 a = RandomVector(random) * 4.0, b = RandomVector(random) * 0.3;
        Matrix4 out;
        RotationBetween(a, b, out);
        EXPECT_NEAR(a.Length(), 1.0, 1e-15);
        ExpectNear(out.Transform(a), b, 1e-12);
    }
}

TEST(RotationBetween, DotProductJustAboveOneIsClampedNotNan) {
    // These two nearly parallel directions normalise to a dot product of
    // 1 + 2^-52 while their cross product is not zero.
    Vector3 a(1.0, 8e-9, 0.3), b(1.0 + 7e-12, 8e-9, 0.3);
    ASSERT_GT(a.Cross(b).Length(), 0.0);
    Matrix4 out;
    RotationBetween(a, b, out);
    ASSERT_GT(a.Dot(b), 1.0);
    ExpectNear(out, Identity(), 1e-12);
}

TEST(RotationFromAxis, TurnsTheCoordinateAxisOntoTheDirection) {
    std::mt19937 random(3);
    for (int trial = 0; trial < 20; ++trial) {
        Vector3 d = RandomVector(random) * 3.0;
        Vector3 axis;
        Matrix4 out;
        RotationFromYAxis(d, axis, out);
        EXPECT_NEAR(d.Length(), 1.0, 1e-15);
        ExpectNear(out.Transform(Vector3(0, 1, 0)), d);
        ExpectNear(axis, Vector3(d.z, 0.0, -d.x), 0.0);

        Vector3 e = RandomVector(random) * 0.2;
        RotationFromZAxis(e, axis, out);
        ExpectNear(out.Transform(Vector3(0, 0, 1)), e);
        ExpectNear(axis, Vector3(-e.y, e.x, 0.0), 0.0);
    }
}

TEST(RotationFromAxis, MatchesAxisBuildersForCoordinateDirections) {
    Vector3 axis;
    Matrix4 out, expected;
    Vector3 x(2, 0, 0);
    RotationFromYAxis(x, axis, out);
    expected.SetRotationZ(-kPi / 2);
    ExpectNear(out, expected);

    Vector3 y(0, 2, 0);
    RotationFromZAxis(y, axis, out);
    expected.SetRotationX(-kPi / 2);
    ExpectNear(out, expected);
}

TEST(RotationFromAxis, DegenerateDirectionsGiveIdentity) {
    Vector3 axis(9, 9, 9);
    Matrix4 out;
    Vector3 zero;
    RotationFromYAxis(zero, axis, out);
    ExpectNear(out, Identity(), 0.0);
    ExpectNear(axis, Vector3(9, 9, 9), 0.0);  // not written for a zero direction
    EXPECT_TRUE(zero.zero);

    Vector3 down(0, -3, 0);
    RotationFromYAxis(down, axis, out);
    ExpectNear(out, Identity(), 0.0);  // the axis +y x -y has no length

    Vector3 back(0, 0, -1);
    RotationFromZAxis(back, axis, out);
    ExpectNear(out, Identity(), 0.0);
}

TEST(SetRotationBetween, TurnsAOntoBWithoutTouchingTheArguments) {
    const Vector3 a(2, 1, 0), b(0, 1, 3);
    Matrix4 m;
    EXPECT_TRUE(m.SetRotationBetween(a, b));
    Vector3 unitA = a, unitB = b;
    unitA.Normalize();
    unitB.Normalize();
    ExpectNear(m.Transform(unitA), unitB);
    ExpectNear(a, Vector3(2, 1, 0), 0.0);
}

TEST(SetRotationBetween, ParallelIsAnExactZeroTurnAndOppositeFails) {
    Matrix4 m;
    EXPECT_TRUE(m.SetRotationBetween(Vector3(1, 0, 0), Vector3(4, 0, 0)));
    ExpectNear(m, Identity(), 0.0);
    EXPECT_FALSE(m.SetRotationBetween(Vector3(0, 1, 0), Vector3(0, -2, 0)));
    ExpectNear(m, Identity(), 0.0);
}

// ---------------------------------------------------------------- n x n routines

TEST(DeterminantN, SmallAndTriangularCases) {
    EXPECT_EQ(DeterminantN(nullptr, 0), 0.0);
    const double one[] = {-2.5};
    EXPECT_EQ(DeterminantN(one, 1), -2.5);
    const double two[] = {1, 2, 3, 4};
    EXPECT_EQ(DeterminantN(two, 2), -2.0);
    const double three[] = {2, 0, 1, 1, 3, 2, 1, 1, 2};
    EXPECT_DOUBLE_EQ(DeterminantN(three, 3), 6.0);
    // Upper triangular 5x5 with one row swap: minus the product of the diagonal.
    std::vector<double> a(25, 0.0);
    for (int i = 0; i < 5; ++i) {
        for (int j = i; j < 5; ++j) {
            a[i * 5 + j] = (i == j) ? i + 1.0 : 0.5;
        }
    }
    std::swap_ranges(a.begin(), a.begin() + 5, a.begin() + 5);
    EXPECT_DOUBLE_EQ(DeterminantN(a.data(), 5), -120.0);
}

TEST(DeterminantN, AgreesWithLuFactorisation) {
    std::mt19937 random(17);
    std::uniform_real_distribution<double> element(-2.0, 2.0);
    for (int n = 2; n <= 6; ++n) {
        std::vector<double> a(static_cast<std::size_t>(n) * n);
        for (double& value : a) {
            value = element(random);
        }
        std::vector<double> factors = a;
        std::vector<int> perm(n);
        EXPECT_NEAR(DecomposeLU(n, factors.data(), perm.data()), DeterminantN(a.data(), n), 1e-10) << n;
    }
}

TEST(InverseN, SingularInputsFailAndLeaveOutputAlone) {
    double out[9] = {7, 7, 7, 7, 7, 7, 7, 7, 7};
    const double firstColumnZero[] = {0, 1, 2, 0, 3, 4, 0, 5, 6};
    EXPECT_FALSE(InverseN(firstColumnZero, out, 3));
    const double zero[] = {0.0};
    EXPECT_FALSE(InverseN(zero, out, 1));
    const double rankOne[] = {1, 2, 2, 4};
    EXPECT_FALSE(InverseN(rankOne, out, 2));
    EXPECT_FALSE(InverseN(rankOne, out, 0));
    for (double value : out) {
        EXPECT_EQ(value, 7.0);
    }
}

TEST(InverseN, ProductWithInputIsIdentity) {
    std::mt19937 random(23);
    for (int n = 1; n <= 6; ++n) {
        const std::vector<double> a = WellConditioned(random, n);
        std::vector<double> inverse(a.size());
        ASSERT_TRUE(InverseN(a.data(), inverse.data(), n));
        for (int i = 0; i < n; ++i) {
            for (int j = 0; j < n; ++j) {
                double sum = 0.0;
                for (int k = 0; k < n; ++k) {
                    sum += a[i * n + k] * inverse[k * n + j];
                }
                EXPECT_NEAR(sum, i == j ? 1.0 : 0.0, 1e-12) << n << " " << i << " " << j;
            }
        }
    }
}

TEST(MultiplyMatVecN, ClearsOutputBeforeSumming) {
    const double a[] = {1, 2, 3, 4};
    const double x[] = {5, -1};
    double out[2] = {100, 100};
    MultiplyMatVecN(a, x, out, 2);
    EXPECT_EQ(out[0], 3.0);
    EXPECT_EQ(out[1], 11.0);
    MultiplyMatVecN(a, x, out, 0);
    EXPECT_EQ(out[0], 3.0) << "n = 0 writes nothing";
}

TEST(DecomposeLU, FactorsReproduceTheRowPermutedMatrix) {
    std::mt19937 random(29);
    const int n = 5;
    std::vector<double> a = WellConditioned(random, n);
    std::swap_ranges(a.begin(), a.begin() + n, a.begin() + 3 * n);  // force pivoting
    std::vector<double> factors = a;
    std::vector<int> perm(n);
    DecomposeLU(n, factors.data(), perm.data());
    for (int i = 0; i < n; ++i) {
        const double* lower = &factors[perm[i] * n];
        for (int j = 0; j < n; ++j) {
            double sum = 0.0;
            for (int k = 0; k <= std::min(i, j); ++k) {
                const double l = (k == i) ? 1.0 : lower[k];
                sum += l * factors[perm[k] * n + j];
            }
            EXPECT_NEAR(sum, a[perm[i] * n + j], 1e-12);
        }
    }
}

TEST(DecomposeLU, ZeroRowStopsAtOnceWithPermutationFilled) {
    double a[] = {1, 2, 3, 0, 1e-12, 0, 4, 5, 6};
    int perm[3] = {-5, -5, -5};
    EXPECT_EQ(DecomposeLU(3, a, perm), 0.0);
    EXPECT_EQ(perm[0], 0);
    EXPECT_EQ(perm[1], 1);
    EXPECT_EQ(perm[2], 2);
}

TEST(SolveLinearN, AgreesWithInverseTimesRightHandSide) {
    std::mt19937 random(31);
    std::uniform_real_distribution<double> element(-3.0, 3.0);
    for (int n = 1; n <= 6; ++n) {
        const std::vector<double> a = WellConditioned(random, n);
        std::vector<double> b(n);
        for (double& value : b) {
            value = element(random);
        }
        std::vector<double> inverse(a.size()), expected(n);
        ASSERT_TRUE(InverseN(a.data(), inverse.data(), n));
        MultiplyMatVecN(inverse.data(), b.data(), expected.data(), n);
        const std::vector<double> x = SolveLinearN(a.data(), b.data(), n);
        ASSERT_EQ(x.size(), static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) {
            EXPECT_NEAR(x[i], expected[i], 1e-12) << n << " " << i;
        }
    }
    EXPECT_TRUE(SolveLinearN(nullptr, nullptr, 0).empty());
}

TEST(SolveLinearN, SingularSystemYieldsNonFiniteValuesWithoutCrashing) {
    const double a[] = {1, 2, 0, 0};
    const double b[] = {1, 1};
    const std::vector<double> x = SolveLinearN(a, b, 2);
    ASSERT_EQ(x.size(), 2u);
    EXPECT_FALSE(std::isfinite(x[0]) && std::isfinite(x[1]));
}

// ---------------------------------------------------------------- DoubleArray

TEST(DoubleArrayOperators, ElementWiseResultsTakeTheFirstOperandsSize) {
    const DoubleArray a{1, 2, 3};
    const DoubleArray b{4, 5, 6, 100};
    EXPECT_EQ(Dot(a, b), 32.0);
    EXPECT_EQ(Dot(DoubleArray(), b), 0.0);
    const DoubleArray sum = a + b;
    ASSERT_EQ(sum.size(), 3u);
    EXPECT_EQ(sum[2], 9.0);
    EXPECT_EQ((a - b)[0], -3.0);
    EXPECT_EQ((2.0 * a)[1], 4.0);
    EXPECT_EQ((a * -1.0)[2], -3.0);
    EXPECT_EQ((-a)[0], -1.0);
}

TEST(DoubleArrayOperators, ShorterSecondOperandIsRejected) {
    const DoubleArray a{1, 2, 3};
    const DoubleArray shorter{1, 2};
    EXPECT_THROW(Dot(a, shorter), std::invalid_argument);
    EXPECT_THROW(a + shorter, std::invalid_argument);
    EXPECT_THROW(a - shorter, std::invalid_argument);
}

}  // namespace
}  // namespace vantrel
