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

// Bitwise-equal or both NaN: a copy, not a recomputation.
void ExpectSame(const Points& actual, const Points& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_TRUE(std::isnan(expected[i].x) ? std::isnan(actual[i].x)
                                              : actual[i].x == expected[i].x);
        EXPECT_EQ(actual[i].y, expected[i].y);
        EXPECT_EQ(actual[i].z, expected[i].z);
    }
}

TEST(PolylineLength, SumsSegmentsAndIsZeroBelowTwoPoints) {
    EXPECT_EQ(PolylineLength({}), 0.0);
    EXPECT_EQ(PolylineLength({Vector3(5, 5, 5)}), 0.0);
    EXPECT_DOUBLE_EQ(PolylineLength({Vector3(0, 0, 0), Vector3(3, 4, 0), Vector3(3, 4, 12)}), 17.0);
}

TEST(BSplineBasis, KnotValuesAndPartitionOfUnity) {
    const double cases[][2] = {{0, 4.0 / 6}, {1, 1.0 / 6}, {-1, 1.0 / 6},
                               {2, 0},       {-2, 0},      {1.5, 0.125 / 6}};
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(CubicBSplineBasis(c[0]), c[1]) << c[0];
    // The shifted bases sum to one, so a spline over equal control points reproduces that point.
    for (double t = -1.0; t <= 1.0; t += 0.37) {
        double sum = 0.0;
        for (int k = -3; k <= 3; ++k) sum += CubicBSplineBasis(t - k);
        EXPECT_NEAR(sum, 1.0, 1e-15) << t;
    }
}

TEST(ResamplePolyline, PiecesRunAroundCornersEvenWhenWritingOverTheInput) {
    Points points = {Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(1, 1, 0)};
    ResamplePolyline(4, points, points);
    const Points expected = {Vector3(0, 0, 0), Vector3(0.5, 0, 0), Vector3(1, 0, 0),
                             Vector3(1, 0.5, 0), Vector3(1, 1, 0)};
    ASSERT_EQ(points.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) ExpectNear(points[i], expected[i]);

    // Zero length gives origin points, as written.
    ResamplePolyline(4, {Vector3(2, 3, 4), Vector3(2, 3, 4)}, points);
    ASSERT_EQ(points.size(), 5u);
    for (const Vector3& p : points) ExpectNear(p, Vector3(0, 0, 0), 0.0);
    ResamplePolyline(2, {}, points);
    EXPECT_EQ(points.size(), 3u);
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
    for (int i = 0; i < 30; ++i) in.push_back(start + direction * (length += step(random)));
    for (int pieces : {1, 7, 64, 500}) {
        Points out;
        ResamplePolyline(pieces, in, out);
        ASSERT_EQ(out.size(), static_cast<std::size_t>(pieces) + 1) << pieces;
        for (int j = 0; j <= pieces; ++j)
            ExpectNear(out[j], start + direction * (length * j / pieces), 1e-9);
    }
}

// Requests that would loop forever or divide by zero return a copy of the input.
TEST(PolylineOps, UnusableRequestsReturnTheInputUnchanged) {
    const double inf = std::numeric_limits<double>::infinity();
    const Points line = {Vector3(0, 0, 0), Vector3(1, 2, 3), Vector3(4, 4, 4)};
    const Points withNan = {Vector3(0, 0, 0), Vector3(std::nan(""), 1, 1), Vector3(2, 2, 2)};
    const Points withInfinity = {Vector3(0, 0, 0), Vector3(inf, 0, 0)};
    const Points overflowing = {Vector3(-1e308, 0, 0), Vector3(1e308, 0, 0)};
    const Points single = {Vector3(1, 2, 3)};
    struct Case {
        const char* what;
        const Points* in;
        int k;
        bool smooth;
    } const cases[] = {{"resample k = 0", &line, 0, false},
                       {"resample k < 0", &line, -3, false},
                       {"resample NaN point", &withNan, 5, false},
                       {"resample infinite point", &withInfinity, 5, false},
                       {"resample overflowing length", &overflowing, 5, false},
                       {"smooth k = 0", &line, 0, true},
                       {"smooth k < 0", &line, -4, true},
                       {"smooth single point", &single, 10, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Points out;
        if (c.smooth)
            SmoothPolyline(*c.in, out, c.k);
        else
            ResamplePolyline(c.k, *c.in, out);
        ExpectSame(out, *c.in);
    }
}

TEST(EvaluateClampedBSpline, EndsAtTheEndControlPointsAndHandlesTinyPolygons) {
    const Points control = {Vector3(0, 0, 0), Vector3(1, 2, 0), Vector3(3, -1, 1),
                            Vector3(4, 0, 2)};
    ExpectNear(EvaluateClampedBSpline(control, -1.0), control.front());
    ExpectNear(EvaluateClampedBSpline(control, 4.0), control.back());
    ExpectNear(EvaluateClampedBSpline(control, 1.0),
               control[0] * (1.0 / 6) + control[1] * (4.0 / 6) + control[2] * (1.0 / 6));
    ExpectNear(EvaluateClampedBSpline({}, 0.5), Vector3(0, 0, 0), 0.0);
    ExpectNear(EvaluateClampedBSpline({Vector3(3, -1, 2)}, 0.3), Vector3(3, -1, 2));
}

TEST(SmoothPolyline, SamplesTheSplineAtEvenParameterStepsInPlace) {
    const Points in = {Vector3(0, 0, 0), Vector3(1, 0, 0), Vector3(1, 1, 0), Vector3(0, 1, 1)};
    Points out = in;
    SmoothPolyline(out, out, 6);  // step (4 + 1) / 5 = 1: t = -1, 0, ..., 4
    ASSERT_EQ(out.size(), 6u);
    for (int i = 0; i < 6; ++i) ExpectNear(out[i], EvaluateClampedBSpline(in, -1.0 + i), 0.0);
    SmoothPolyline(in, out, 1);  // an infinite step: only the first sample
    ASSERT_EQ(out.size(), 1u);
    ExpectNear(out[0], in[0]);
}

TEST(SmoothPolyline, CollinearEvenPointsStayOnTheirLineFromEndToEnd) {
    const Points in = {Vector3(0, 0, 0), Vector3(1, 1, 1), Vector3(2, 2, 2)};
    for (int k : {2, 3, 10, 101}) {
        Points out;
        SmoothPolyline(in, out, k);
        ASSERT_GE(out.size(), static_cast<std::size_t>(k) - 1) << k;
        ASSERT_LE(out.size(), static_cast<std::size_t>(k)) << k;
        ExpectNear(out.front(), in.front());
        if (out.size() == static_cast<std::size_t>(k)) ExpectNear(out.back(), in.back(), 1e-9);
        for (const Vector3& p : out)
            EXPECT_NEAR(p.Cross(Vector3(1, 1, 1)).Length(), 0.0, 1e-12);  // on the line
    }
}

}  // namespace
}  // namespace vantrel
