#include "heart/PolylineOps.h"

#include <cmath>

namespace vantrel {

double PolylineLength(const std::vector<Vector3>& polyline) {
    double length = 0.0;
    for (std::size_t i = 1; i < polyline.size(); ++i) {
        length += (polyline[i] - polyline[i - 1]).Length();
    }
    return length;
}

void ResamplePolyline(int pieces, const std::vector<Vector3>& in, std::vector<Vector3>& out) {
    const double length = PolylineLength(in);
    // With no pieces, or a NaN or infinite spacing, the walk below would never
    // reach the end of the input.
    if (pieces < 1 || !std::isfinite(length)) {
        out = in;
        return;
    }
    const std::size_t pointCount = static_cast<std::size_t>(pieces) + 1;
    const double spacing = length / pieces;
    if (spacing == 0.0) {
        out.assign(pointCount, Vector3());
        return;
    }
    std::vector<Vector3> result;
    result.reserve(pointCount);
    result.push_back(in[0]);
    Vector3 previous = in[0];
    double accumulated = 0.0;
    std::size_t i = 1;
    while (i < in.size()) {
        accumulated += (in[i] - previous).Length();
        if (accumulated < spacing) {
            previous = in[i];
            ++i;
            continue;
        }
        // The new point lies on the current segment, (accumulated - spacing) back
        // from in[i]; the rest of the segment is measured again from it.
        Vector3 back = previous - in[i];
        const double backLength = back.Length();
        if (backLength != 0.0) {
            back = back / backLength;
        }
        const Vector3 point = in[i] + back * (accumulated - spacing);
        result.push_back(point);
        previous = point;
        accumulated = 0.0;
    }
    // Rounding can leave the final piece just short of a full spacing.
    if (result.size() != pointCount) {
        result.push_back(in.back());
    }
    out = std::move(result);
}

double CubicBSplineBasis(double t) {
    const double a = std::fabs(t);
    if (a < 1.0) {
        return (3 * a * a * a - 6 * a * a + 4) / 6;
    }
    if (a < 2.0) {
        const double b = 2 - a;
        return b * b * b / 6;
    }
    return 0.0;
}

Vector3 EvaluateClampedBSpline(const std::vector<Vector3>& controlPoints, double t) {
    Vector3 sum;
    if (controlPoints.empty()) {
        return sum;
    }
    const int n = static_cast<int>(controlPoints.size());
    for (int k = -2; k <= n + 1; ++k) {
        const int index = k < 0 ? 0 : (k >= n ? n - 1 : k);
        sum = sum + controlPoints[index] * CubicBSplineBasis(t - k);
    }
    return sum;
}

void SmoothPolyline(const std::vector<Vector3>& in, std::vector<Vector3>& out, int k) {
    // k < 1 would give a step of zero or of the wrong sign, and the sampling loop
    // would never end.
    if (in.size() < 2 || k < 1) {
        out = in;
        return;
    }
    const int n = static_cast<int>(in.size());
    const double step = (n + 1) / (k - 1.0);
    std::vector<Vector3> samples;
    if (k > 1) {
        samples.reserve(static_cast<std::size_t>(k));
    }
    for (double t = -1.0; t <= n; t += step) {
        samples.push_back(EvaluateClampedBSpline(in, t));
    }
    out = std::move(samples);
}

}  // namespace vantrel
