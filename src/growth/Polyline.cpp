#include "growth/Polyline.h"

namespace vantrel {

namespace {

// Writes all four fields, the `zero` flag included (plain assignment keeps the
// target's flag, but an out value must report the flag of the vector it returns).
void SetWithFlag(Vector3& out, const Vector3& value) {
    out.x = value.x;
    out.y = value.y;
    out.z = value.z;
    out.zero = value.zero;
}

}  // namespace

double Polyline::Length() const {
    double length = 0.0;
    for (std::size_t i = 1; i < points.size(); ++i) length += (points[i] - points[i - 1]).Length();
    return length;
}

void Polyline::PointAtArcLength(double s, Vector3& point, Vector3& tangent, int& index) const {
    if (points.size() < 2) {
        SetWithFlag(point, Vector3());
        SetWithFlag(tangent, Vector3());
        index = 0;
        return;
    }
    double before = 0.0;
    for (std::size_t i = 1; i < points.size(); ++i) {
        const double segmentLength = (points[i] - points[i - 1]).Length();
        if (before + segmentLength >= s) {
            Vector3 direction = points[i] - points[i - 1];
            direction.Normalize();
            SetWithFlag(tangent, direction);
            SetWithFlag(point, points[i - 1] + (s - before) * direction);
            index = static_cast<int>(i) - 1;
            return;
        }
        before += segmentLength;
    }
    const std::size_t last = points.size() - 1;
    Vector3 direction = points[last] - points[last - 1];
    direction.Normalize();
    SetWithFlag(tangent, direction);
    SetWithFlag(point, points[last]);
    index = static_cast<int>(last);
}

void Polyline::Smooth() {
    if (points.size() < 3) return;
    const std::vector<Vector3> old = points;
    for (std::size_t i = 1; i + 1 < old.size(); ++i) {
        points[i] = 0.25 * old[i - 1] + 0.5 * old[i] + 0.25 * old[i + 1];
    }
}

}  // namespace vantrel
