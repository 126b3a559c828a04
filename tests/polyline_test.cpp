// Polyline length, resampling into equal pieces, and B-spline smoothing.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "heart/PolylineOps.h"

namespace vantrel {
namespace {

using Points = std::vector<Vector3>;

void ExpectNear(const Vector3& actual, const Vector3& expected, double tolerance = 1e-12) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

void ExpectSame(const Points& actual, const Points& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        // Bitwise-equal or both NaN: a copy, not a recomputation.
        EXPECT_EQ(std::isnan(actual[i].x), std::isnan(expected[i].x));
        if (!std::isnan(expected[i].x)) {
            EXPECT_EQ(actual[i].x, expected[i].x);
        }
        EXPECT_EQ(actual[i].y, expected[i].y);
        EXPECT_EQ(actual[i].z, expected[i].z);
    }
}

// Distance from p to the line through a with unit direction u.
double DistanceToLine(const Vector3& p, const Vector3& a, const Vector3& u) {
    const Vector3 offset = p - a;
    return (offset - u * offset.Dot(u)).Length();
}

TEST(PolylineLength, SumsSegmentsAndIsZeroBelowTwoPoints) {
    EXPECT_EQ(PolylineLength({}), 0.0);
    EXPECT_EQ(PolylineLength({Vector3(5, 5, 5)}), 0.0);
    EXPECT_DOUBLE_EQ(PolylineLength({Vector3(0, 0, 0), Vector3(3, 4, 0), Vector3(3, 4, 12)}), 17.0);
}

TEST(BSplineBasis, KnotValuesAndPartitionOfUnity) {
    EXPECT_DOUBLE_EQ(CubicBSplineBasis(0.0), 4.0 / 6.0);
    EXPECT_DOUBLE_EQ(CubicBSplineBasis(1.0), 1.0 / 6.0);
    EXPECT_DOUBLE_EQ(CubicBSplineBasis(-1.0), 1.0 / 6.0);
    EXPECT_EQ(CubicBSplineBasis(2.0), 0.0);
    EXPECT_EQ(CubicBSplineBasis(-2.0), 0.0);
    EXPECT_DOUBLE_EQ(CubicBSplineBasis(1.5), 0.125 / 6.0);
    EXPECT_DOUBLE_EQ(CubicBSplineBasis(0.5), CubicBSplineBasis(-0.5));
    // The shifted bases sum to one everywhere, so a spline over equal control
    // points reproduces that point.
    for (double t = -1.0; t <= 1.0; t += 0.37) {
        double sum = 0.0;
        for (int k = -3; k <= 3; ++k) {
            sum += CubicBSplineBasis(t - k);
        }
        EXPECT_NEAR(sum, 1.0, 1e-15) << t;
    }
}

TEST(ResamplePolyline, PiecesRunAlongSegmentsAndAroundCorners) {
    Points out;
    ResamplePolyline(3, {Vector3(0, 0, 0), Vector3(3, 0, 0)}, out);
    ASSERT_EQ(out.size(), 4u);
    for (int i = 0; i < 4; ++i) ExpectNear(out[i], Vector3(i, 0, 0));

    ResamplePolyline(4, {Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(1, 1, 0)}, out);
    const Points expected = {Vector3(0, 0, 0), Vector3(0.5, 0, 0), Vector3(1, 0, 0), Vector3(1, 0.5, 0),
                             Vector3(1, 1, 0)};
    ASSERT_EQ(out.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) ExpectNear(out[i], expected[i]);
}

TEST(ResamplePolyline, ZeroLengthInputGivesOriginPoints) {
    Points out = {Vector3(9, 9, 9)};
    ResamplePolyline(4, {Vector3(2, 3, 4), Vector3(2, 3, 4)}, out);
    ASSERT_EQ(out.size(), 5u);
    for (const Vector3& p : out) {
        ExpectNear(p, Vector3(0, 0, 0), 0.0);
    }
    ResamplePolyline(2, {}, out);
    EXPECT_EQ(out.size(), 3u);
}

TEST(ResamplePolyline, UnevenCollinearInputComesOutEvenlySpaced) {
    // Random, unequal steps along one line: every output point must sit at a
    // multiple of length / pieces from the start, whatever segment it falls in.
    std::mt19937 random(41);
    std::uniform_real_distribution<double> step(0.01, 2.0);
    const Vector3 start(1, -2, 0.5);
    Vector3 direction(2, 1, -2);
    direction.Normalize();
    Points in = {start};
    double length = 0.0;
    for (int i = 0; i < 30; ++i) {
        length += step(random);
        in.push_back(start + direction * length);
    }
    for (int pieces : {1, 7, 64, 500}) {
        Points out;
        ResamplePolyline(pieces, in, out);
        ASSERT_EQ(out.size(), static_cast<std::size_t>(pieces) + 1) << pieces;
        for (int j = 0; j <= pieces; ++j) {
            ExpectNear(out[j], start + direction * (length * j / pieces), 1e-9);
        }
    }
}

TEST(ResamplePolyline, MayWriteOverItsOwnInput) {
    Points points = {Vector3(0, 0, 0), Vector3(0, 0, 2)};
    ResamplePolyline(2, points, points);
    ASSERT_EQ(points.size(), 3u);
    ExpectNear(points[1], Vector3(0, 0, 1));
    ExpectNear(points[2], Vector3(0, 0, 2));
}

TEST(ResamplePolyline, UnusableRequestsReturnTheInputUnchanged) {
    const Points line = {Vector3(0, 0, 0), Vector3(1, 2, 3), Vector3(4, 4, 4)};
    Points out;
    ResamplePolyline(0, line, out);
    ExpectSame(out, line);
    ResamplePolyline(-3, line, out);
    ExpectSame(out, line);

    const double inf = std::numeric_limits<double>::infinity();
    const Points withNan = {Vector3(0, 0, 0), Vector3(std::nan(""), 1, 1), Vector3(2, 2, 2)};
    ResamplePolyline(5, withNan, out);
    ExpectSame(out, withNan);
    const Points withInfinity = {Vector3(0, 0, 0), Vector3(inf, 0, 0)};
    ResamplePolyline(5, withInfinity, out);
    ExpectSame(out, withInfinity);
    const Points overflowing = {Vector3(-1e308, 0, 0), Vector3(1e308, 0, 0)};
    ResamplePolyline(5, overflowing, out);
    ExpectSame(out, overflowing);
}

TEST(EvaluateClampedBSpline, EndsAtTheEndControlPointsAndHandlesTinyPolygons) {
    const Points control = {Vector3(0, 0, 0), Vector3(1, 2, 0), Vector3(3, -1, 1), Vector3(4, 0, 2)};
    ExpectNear(EvaluateClampedBSpline(control, -1.0), control.front());
    ExpectNear(EvaluateClampedBSpline(control, 4.0), control.back());
    const Vector3 middle = EvaluateClampedBSpline(control, 1.0);
    ExpectNear(middle, control[0] * (1.0 / 6) + control[1] * (4.0 / 6) + control[2] * (1.0 / 6));
    ExpectNear(EvaluateClampedBSpline({}, 0.5), Vector3(0, 0, 0), 0.0);
    ExpectNear(EvaluateClampedBSpline({Vector3(3, -1, 2)}, 0.3), Vector3(3, -1, 2));
}

TEST(SmoothPolyline, CollinearEvenPointsStayOnTheirLineFromEndToEnd) {
    const Points in = {Vector3(0, 0, 0), Vector3(1, 1, 1), Vector3(2, 2, 2)};
    Vector3 direction(1, 1, 1);
    direction.Normalize();
    for (int k : {2, 3, 10, 101}) {
        Points out;
        SmoothPolyline(in, out, k);
        ASSERT_GE(out.size(), static_cast<std::size_t>(k) - 1) << k;
        ASSERT_LE(out.size(), static_cast<std::size_t>(k)) << k;
        ExpectNear(out.front(), in.front());
        if (out.size() == static_cast<std::size_t>(k)) {
            ExpectNear(out.back(), in.back(), 1e-9);
        }
        for (const Vector3& p : out) {
            EXPECT_NEAR(DistanceToLine(p, in[0], direction), 0.0, 1e-12);
        }
    }
}

TEST(SmoothPolyline, SamplesTheSplineAtEvenParameterSteps) {
    const Points in = {Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(1, 1, 0), Vector3(0, 1, 1)};
    Points out = in;
    SmoothPolyline(out, out, 6);  // in place; step (4 + 1) / 5 = 1: t = -1, 0, ..., 4
    ASSERT_EQ(out.size(), 6u);
    for (int i = 0; i < 6; ++i) ExpectNear(out[i], EvaluateClampedBSpline(in, -1.0 + i), 0.0);
}

TEST(SmoothPolyline, TooFewPointsOrSamplesReturnTheInput) {
    const Points single = {Vector3(1, 2, 3)};
    Points out;
    SmoothPolyline(single, out, 10);
    ExpectSame(out, single);

    const Points pair = {Vector3(0, 0, 0), Vector3(1, 0, 0)};
    SmoothPolyline(pair, out, 0);
    ExpectSame(out, pair);
    SmoothPolyline(pair, out, -4);
    ExpectSame(out, pair);

    SmoothPolyline(pair, out, 1);  // an infinite step: only the first sample
    ASSERT_EQ(out.size(), 1u);
    ExpectNear(out[0], pair[0]);
}

}  // namespace
}  // namespace vantrel
