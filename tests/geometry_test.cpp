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
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(actual.m[i], expected.m[i], tolerance) << "element " << i;
}

Matrix4 Identity() {
    Matrix4 m;
    m.SetIdentity();
    return m;
}
Matrix4 AboutX(double angle) {
    Matrix4 m;
    m.SetRotationX(angle);
    return m;
}
Matrix4 AboutY(double angle) {
    Matrix4 m;
    m.SetRotationY(angle);
    return m;
}
Matrix4 AboutZ(double angle) {
    Matrix4 m;
    m.SetRotationZ(angle);
    return m;
}

Vector3 RandomVector(std::mt19937& random) {
    std::uniform_real_distribution<double> coordinate(-1.0, 1.0);
    return Vector3(coordinate(random), coordinate(random), coordinate(random));
}

// Diagonally dominant, so far from singular and accurately invertible.
std::vector<double> WellConditioned(std::mt19937& random, int n) {
    std::uniform_real_distribution<double> element(-1.0, 1.0);
    std::vector<double> a(static_cast<std::size_t>(n) * n);
    for (int i = 0; i < n * n; ++i) a[i] = element(random) + (i % (n + 1) == 0 ? n + 1.0 : 0.0);
    return a;
}

TEST(Vector3, ZeroFlagRulesOfNormalizeAssignmentAndArithmetic) {
    Vector3 v;
    EXPECT_FALSE(v.Normalize());
    EXPECT_TRUE(v.zero);
    v.x = 3.0;
    v.y = 4.0;
    EXPECT_TRUE(v.Normalize());
    ExpectNear(v, Vector3(0.6, 0.8, 0.0));
    EXPECT_TRUE(v.zero) << "a successful Normalize never clears the flag";
    EXPECT_TRUE(Vector3(std::nan(""), 1.0, 0.0).Normalize()) << "a NaN length is not zero";

    // Copies carry the flag; assignment keeps the target's own.
    const Vector3 plain(1.0, 2.0, 3.0);
    Vector3 target = v;
    EXPECT_TRUE(target.zero);
    const Vector3 returned = (target = plain);
    ExpectNear(target, plain, 0.0);
    EXPECT_TRUE(target.zero && returned.zero);
    Vector3 other(5.0, 5.0, 5.0);
    other = v;
    EXPECT_FALSE(other.zero);
    // New vectors from arithmetic start unflagged; compound updates keep the flag.
    EXPECT_FALSE(v.Cross(plain).zero || (v + plain).zero || (-v).zero || (v * 2.0).zero);
    EXPECT_FALSE(Identity().Transform(v).zero);
    v += plain;
    EXPECT_TRUE(v.zero);
}

TEST(Matrix4Rotation, AxisRotationsTurnCounterClockwiseAndZeroAxesNeedAZeroTurn) {
    for (double angle : {0.25, -1.3, 2.9, kPi}) {
        Matrix4 m;
        m.SetRotation(Vector3(0, 0, 2), std::cos(angle), std::sin(angle));
        ExpectNear(m, AboutZ(angle), 0.0);
        m.SetRotation(Vector3(1, 0, 0), angle);
        ExpectNear(m, AboutX(angle), 0.0);
        m.SetRotation(Vector3(0, 1, 0), angle);
        ExpectNear(m, AboutY(angle), 0.0);
    }
    Vector3 axis(0, 0, 5);
    Matrix4 m;
    m.SetRotation(axis, kPi / 2);
    ExpectNear(m.Transform(Vector3(1, 0, 0)), Vector3(0, 1, 0));
    ExpectNear(axis, Vector3(0, 0, 5), 0.0);  // the caller's axis is not normalised
    m.SetRotation(Vector3(1, -2, 0.5), 1.1);
    ExpectNear(m.Multiply(m.Transposed()), Identity());

    m = AboutX(0.3);
    EXPECT_TRUE(m.SetRotation(Vector3(), 1.0, 0.0)) << "a zero turn needs no axis";
    ExpectNear(m, Identity(), 0.0);
    m = AboutX(0.3);
    EXPECT_FALSE(m.SetRotation(Vector3(), std::cos(0.3), std::sin(0.3)));
    ExpectNear(m, Identity(), 0.0);
}

TEST(Matrix4Inverse, NearIdentityProductsForRandomMatricesAndNearlySingularRefused) {
    std::mt19937 random(2024);
    for (int trial = 0; trial < 50; ++trial) {
        const std::vector<double> elements = WellConditioned(random, 4);
        Matrix4 m;
        std::copy(elements.begin(), elements.end(), m.m);
        ExpectNear(m.Multiply(m.Inverse()), Identity());
        Matrix4 inverted = m;
        ASSERT_TRUE(inverted.Invert());
        ExpectNear(inverted.Multiply(m), Identity());
    }
    Matrix4 m;
    m.SetScale(1e-4, 1e-4, 1e-4);  // determinant 1e-12
    const Matrix4 before = m;
    EXPECT_FALSE(m.Invert());
    ExpectNear(m, before, 0.0);
    ExpectNear(m.Inverse(), before, 0.0);
}

TEST(Matrix4AxisAngle, RoundTripsIncludingHalfTurnsAndDecomposeSplitsTheParts) {
    std::mt19937 random(11);
    std::uniform_real_distribution<double> angleOf(0.05, kPi - 0.05);
    Vector3 found;
    double foundAngle = 0.0;
    for (int trial = 0; trial < 20; ++trial) {
        Vector3 axis = RandomVector(random);
        const double angle = angleOf(random);
        Matrix4 m;
        m.SetRotation(axis, angle);
        m.ToAxisAngle(found, foundAngle);
        axis.Normalize();
        EXPECT_NEAR(foundAngle, angle, 1e-9);
        ExpectNear(found, axis, 1e-9);
    }
    // A half turn has no trace term; each axis-like direction picks another diagonal branch.
    for (const Vector3& axis : {Vector3(1, 0.2, 0.1), Vector3(0.1, 1, 0.3), Vector3(0.2, 0.1, 1)}) {
        Matrix4 m, rebuilt;
        m.SetRotation(axis, kPi);
        m.ToAxisAngle(found, foundAngle);
        rebuilt.SetRotation(found, foundAngle);
        ExpectNear(rebuilt, m, 1e-9);
    }
    Vector3 none(7, 7, 7);
    Identity().ToAxisAngle(none, foundAngle);
    EXPECT_EQ(foundAngle, 0.0);
    EXPECT_TRUE(none.zero);

    // Multiply applies its right operand first: T * (S * R) keeps T's translation unrotated.
    Matrix4 translate, scale, rotate;
    translate.SetTranslation(Vector3(1, -2, 3));
    scale.SetScale(2.5, 2.5, 2.5);
    rotate.SetRotation(Vector3(1, 2, 2), 0.8);
    Vector3 translation;
    double factor = 0.0;
    translate.Multiply(scale.Multiply(rotate)).Decompose(found, foundAngle, factor, translation);
    ExpectNear(translation, Vector3(1, -2, 3));
    EXPECT_NEAR(factor, 2.5, 1e-12);
    EXPECT_NEAR(foundAngle, 0.8, 1e-9);
    ExpectNear(found, Vector3(1.0 / 3, 2.0 / 3, 2.0 / 3), 1e-9);
}

TEST(RotationBetween, NormalisesInPlaceAndTurnsAOntoB) {
    Vector3 x(1, 0, 0), y(0, 2, 0);
    Matrix4 out;
    RotationBetween(x, y, out);
    ExpectNear(y, Vector3(0, 1, 0), 0.0);
    ExpectNear(out, AboutZ(kPi / 2));
    std::mt19937 random(5);
    for (int trial = 0; trial < 20; ++trial) {
        Vector3 a = RandomVector(random) * 4.0, b = RandomVector(random) * 0.3;
        RotationBetween(a, b, out);
        ExpectNear(out.Transform(a), b);
    }
}

TEST(RotationBetween, OppositeZeroOrNearlyParallelGiveIdentityNotNan) {
    Vector3 a(1, 0, 0), b(-1, 0, 0), longA(3, 0, 0), zero;
    Matrix4 out = AboutX(1.0);
    RotationBetween(a, b, out);
    ExpectNear(out, Identity(), 0.0);
    ExpectNear(b, Vector3(-1, 0, 0), 0.0);
    RotationBetween(longA, zero, out);
    ExpectNear(out, Identity(), 0.0);
    ExpectNear(longA, Vector3(3, 0, 0), 0.0);
    // These normalise to a dot product of 1 + 2^-52 while their cross product is not zero.
    Vector3 c(1.0, 8e-9, 0.3), d(1.0 + 7e-12, 8e-9, 0.3);
    ASSERT_GT(c.Cross(d).Length(), 0.0);
    RotationBetween(c, d, out);
    ASSERT_GT(c.Dot(d), 1.0);
    ExpectNear(out, Identity());
}

TEST(RotationFromAxis, TurnsTheCoordinateAxisOntoTheDirectionOrGivesIdentity) {
    std::mt19937 random(3);
    Vector3 axis;
    Matrix4 out;
    for (int trial = 0; trial < 20; ++trial) {
        Vector3 d = RandomVector(random) * 3.0;
        RotationFromYAxis(d, axis, out);
        EXPECT_NEAR(d.Length(), 1.0, 1e-15);
        ExpectNear(out.Transform(Vector3(0, 1, 0)), d);
        Vector3 e = RandomVector(random) * 0.2;
        RotationFromZAxis(e, axis, out);
        ExpectNear(out.Transform(Vector3(0, 0, 1)), e);
        ExpectNear(axis, Vector3(-e.y, e.x, 0.0), 0.0);
    }
    Vector3 untouched(9, 9, 9), zero, down(0, -3, 0), back(0, 0, -1);
    RotationFromYAxis(zero, untouched, out);
    ExpectNear(out, Identity(), 0.0);
    ExpectNear(untouched, Vector3(9, 9, 9), 0.0);  // not written for a zero direction
    RotationFromYAxis(down, axis, out);
    ExpectNear(out, Identity(), 0.0);
    RotationFromZAxis(back, axis, out);
    ExpectNear(out, Identity(), 0.0);
}

TEST(SetRotationBetween, TurnsAOntoBAndRefusesOpposites) {
    const Vector3 a(2, 1, 0), b(0, 1, 3);
    Matrix4 m;
    EXPECT_TRUE(m.SetRotationBetween(a, b));
    ExpectNear(m.Transform(a / a.Length()), b / b.Length());
    EXPECT_TRUE(m.SetRotationBetween(Vector3(1, 0, 0), Vector3(4, 0, 0)));
    ExpectNear(m, Identity(), 0.0);
    EXPECT_FALSE(m.SetRotationBetween(Vector3(0, 1, 0), Vector3(0, -2, 0)));
    ExpectNear(m, Identity(), 0.0);
}

TEST(MatrixN, DeterminantAgreesWithLuAndSingularInversesFailLeavingTheOutput) {
    EXPECT_EQ(DeterminantN(nullptr, 0), 0.0);
    const double two[] = {1, 2, 3, 4}, three[] = {2, 0, 1, 1, 3, 2, 1, 1, 2};
    EXPECT_EQ(DeterminantN(two, 2), -2.0);
    EXPECT_DOUBLE_EQ(DeterminantN(three, 3), 6.0);
    std::mt19937 random(17);
    std::uniform_real_distribution<double> element(-2.0, 2.0);
    for (int n = 2; n <= 6; ++n) {
        std::vector<double> a(static_cast<std::size_t>(n) * n);
        for (double& value : a) value = element(random);
        std::vector<double> factors = a;
        std::vector<int> perm(n);
        EXPECT_NEAR(DecomposeLU(n, factors.data(), perm.data()), DeterminantN(a.data(), n), 1e-10)
            << n;
    }

    double out[9] = {7, 7, 7, 7, 7, 7, 7, 7, 7};
    const double firstColumnZero[] = {0, 1, 2, 0, 3, 4, 0, 5, 6}, zero[] = {0.0},
                 rankOne[] = {1, 2, 2, 4};
    EXPECT_FALSE(InverseN(firstColumnZero, out, 3));
    EXPECT_FALSE(InverseN(zero, out, 1));
    EXPECT_FALSE(InverseN(rankOne, out, 2));
    EXPECT_FALSE(InverseN(rankOne, out, 0));
    for (double value : out) EXPECT_EQ(value, 7.0);
}

TEST(MatrixN, SolveLinearNAgreesWithInverseTimesRightHandSide) {
    std::mt19937 random(31);
    std::uniform_real_distribution<double> element(-3.0, 3.0);
    for (int n = 1; n <= 6; ++n) {
        std::vector<double> a = WellConditioned(random, n);
        if (n > 2)
            std::swap_ranges(a.begin(), a.begin() + n, a.begin() + 2 * n);  // forces a pivot swap
        std::vector<double> b(n), inverse(a.size()), expected(n, 99.0), ax(n);
        for (double& value : b) value = element(random);
        ASSERT_TRUE(InverseN(a.data(), inverse.data(), n));
        MultiplyMatVecN(inverse.data(), b.data(), expected.data(), n);
        const std::vector<double> x = SolveLinearN(a.data(), b.data(), n);
        ASSERT_EQ(x.size(), static_cast<std::size_t>(n));
        MultiplyMatVecN(a.data(), x.data(), ax.data(), n);
        for (int i = 0; i < n; ++i) {
            EXPECT_NEAR(x[i], expected[i], 1e-12) << n << " " << i;
            EXPECT_NEAR(ax[i], b[i], 1e-12) << n << " " << i;
        }
    }
    EXPECT_TRUE(SolveLinearN(nullptr, nullptr, 0).empty());
}

TEST(MatrixN, ZeroRowStopsTheFactorisationWithThePermutationFilled) {
    double zeroRow[] = {1, 2, 3, 0, 1e-12, 0, 4, 5, 6};
    int filled[3] = {-5, -5, -5};
    EXPECT_EQ(DecomposeLU(3, zeroRow, filled), 0.0);
    EXPECT_EQ(filled[0], 0);
    EXPECT_EQ(filled[2], 2);
    // Solving such a system gives non-finite values but reads no unset index.
    const double singular[] = {1, 2, 0, 0}, b[] = {1, 1};
    const std::vector<double> x = SolveLinearN(singular, b, 2);
    EXPECT_FALSE(std::isfinite(x[0]) && std::isfinite(x[1]));
}

TEST(DoubleArrayOperators, ResultsTakeTheFirstOperandsSizeAndShortSecondOperandsThrow) {
    const DoubleArray a{1, 2, 3}, b{4, 5, 6, 100}, shorter{1, 2};
    using Values = std::vector<double>;
    EXPECT_EQ(Dot(a, b), 32.0);
    EXPECT_EQ(Dot(DoubleArray(), b), 0.0);
    EXPECT_EQ((a + b).values(), (Values{5, 7, 9}));
    EXPECT_EQ((a - b).values(), (Values{-3, -3, -3}));
    EXPECT_EQ((2.0 * a).values(), (Values{2, 4, 6}));
    EXPECT_EQ((a * -1.0).values(), (Values{-1, -2, -3}));
    EXPECT_EQ((-a).values(), (Values{-1, -2, -3}));
    EXPECT_THROW(Dot(a, shorter), std::invalid_argument);
    EXPECT_THROW(a + shorter, std::invalid_argument);
    EXPECT_THROW(a - shorter, std::invalid_argument);
}

}  // namespace
}  // namespace vantrel
