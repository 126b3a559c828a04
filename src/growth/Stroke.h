#pragma once
// One short piece of conduction fibre on the fibre layer: its path, start and end
// frames, radii, tube, growth and animation state, and its links to the strokes it
// leads to. A stroke is owned by exactly one fibre; links and neighbours are
// non-owning. Strokes are numbered by a process-wide counter at creation, and every
// set of strokes is ordered by that serial, so iteration order is the same in every
// process.
#include <cstdint>
#include <set>
#include <vector>

#include "geometry/Matrix4.h"
#include "growth/Polyline.h"
#include "growth/TubeMesh.h"
#include "heart/VolumeStroke.h"

namespace vantrel {

class Stroke;
using StrokeLinks = std::set<Stroke*, ByStrokeSerial>;

class Stroke : public VolumeStroke {
public:
    // A stroke with identity frames, an empty path and the next serial.
    Stroke();
    Stroke(const Stroke&) = delete;
    Stroke& operator=(const Stroke&) = delete;

    const std::vector<Vector3>& PathPoints() const override { return path.points; }

    // Columns of a frame: +x m[0..2], +y m[4..6], +z m[8..10], origin m[12..14].
    Matrix4 startFrame;  // origin = first path point, +y = direction in which it leaves
    Matrix4 endFrame;    // origin = last path point, +y = direction at the end
    Polyline path;
    int branchDepth = 0;  // 0 along curves and for a start point's stroke; child = parent + 1
    double startRadius = 0.0;
    double endRadius = 0.0;
    bool blocked = false;     // conduction block: never excited by the animation
    bool finished = false;    // grows no more
    bool leftVolume = false;  // its walk left the fibre layer
    bool collided = false;    // its walk met another stroke (a junction when kept)
    int activation = 0;       // animation state, 0 to 11
    TubeMesh tube;
    StrokeLinks links;       // children and, for a junction, the stroke it ran into
    StrokeLinks neighbours;  // links in both directions, built by StartAnimation
};

// +y axis and origin of a frame matrix.
inline Vector3 FrameYAxis(const Matrix4& frame) {
    return Vector3(frame.m[4], frame.m[5], frame.m[6]);
}
inline Vector3 FrameOrigin(const Matrix4& frame) {
    return Vector3(frame.m[12], frame.m[13], frame.m[14]);
}
inline void SetFrameOrigin(Matrix4& frame, const Vector3& origin) {
    frame.m[12] = origin.x;
    frame.m[13] = origin.y;
    frame.m[14] = origin.z;
}

// The orientation of `frame` turned by the smallest rotation that carries its +y axis
// onto `direction` (RotationBetween: none when they are parallel or either is zero),
// with a zero origin. Turning a frame this way from one point of a path to the next
// carries it along without twist.
Matrix4 TurnedTowards(const Matrix4& frame, Vector3 direction);

}  // namespace vantrel
