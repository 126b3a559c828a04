#pragma once
// The camera of a view as plain mathematics, independent of any OpenGL context:
// the projection and look-at matrices that the views load, window-to-world
// unprojection, and one step of each camera drag (zoom, rotate, pan). Everything is
// in double precision; matrices are column-major as glLoadMatrixd takes them.
#include "geometry/Matrix4.h"
#include "geometry/Vector3.h"

namespace vantrel {

// An orbiting camera: the eye looks at `center`, `up` points up on the screen.
struct Camera {
    Vector3 eye;
    Vector3 center;
    Vector3 up;
};

// Window rectangle in pixels, origin at the bottom left as OpenGL counts it.
struct Viewport {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The perspective projection of a vertical field of view `fovyDegrees`, aspect
// width / height, and near and far planes (the matrix gluPerspective builds).
Matrix4 PerspectiveMatrix(double fovyDegrees, double aspect, double zNear, double zFar);

// The viewing matrix that puts the eye at the origin looking down -z with `up`
// along +y (the matrix gluLookAt builds). A degenerate camera (eye on the centre,
// or up parallel to the viewing direction) gives a matrix with zero rows, which
// the caller's unprojection then reports as singular.
Matrix4 LookAtMatrix(const Camera& camera);

// Maps the window point (winX, winY, winZ), winZ being a depth-buffer value in
// [0, 1], back into world coordinates through modelView and projection (what
// gluUnProject computes). Returns false and leaves `out` alone when the combined
// matrix is singular or the point maps to infinity.
bool UnprojectWindowPoint(double winX, double winY, double winZ, const Matrix4& modelView,
                          const Matrix4& projection, const Viewport& viewport, Vector3* out);

// One zoom step for a mouse move from lastY to y (pixels, downwards): the eye
// moves (y - lastY) / 100 units towards the centre, unless that would bring it
// within 0.02 of the centre; returns whether the eye moved.
bool ZoomStep(Camera& camera, int lastY, int y);

// One orbit step for a mouse move from (lastX, lastY) to (x, y): the eye turns about
// the centre by (x - lastX) / -200 radians about `up` and (y - lastY) / -200 radians
// about the side axis; `up` turns with it. The distance to the centre is kept.
void RotateStep(Camera& camera, int lastX, int lastY, int x, int y);

// One pan step: eye and centre move by the same world vector, the screen-space
// motion ((lastX - x) / 50, (y - lastY) / 50, 0) carried into the world by the
// inverse rotation of the viewing matrix, so the scene follows the mouse.
void PanStep(Camera& camera, int lastX, int lastY, int x, int y);

// An axis-aligned box around what a view shows; empty until a point is included.
struct SceneBox {
    Vector3 low;
    Vector3 high;
    bool empty = true;

    void Include(const Vector3& point);
    Vector3 Centre() const;
    // Radius of the sphere about Centre() that holds the box (0 when empty).
    double Radius() const;
};

// The camera that looks along the same direction with the same up vector as
// `camera`, at the box's centre, from the distance at which the box's bounding sphere,
// enlarged by `margin` (1.1 = ten per cent), fills the narrower of the two fields of
// view. An empty box returns `camera` unchanged.
Camera FitCameraToBox(const Camera& camera, const SceneBox& box, double fovyDegrees, double aspect,
                      double margin);

// Near and far planes that hold the whole box at any camera position: the far
// plane just behind the box's bounding sphere, the near plane just in front of it,
// but never closer than a thousandth of the far distance (depth precision), so an eye
// inside the box still sees everything beyond that. An empty box gives 0.01 and 40.
void ClipPlanesForBox(const Camera& camera, const SceneBox& box, double* zNear, double* zFar);

// One wheel zoom: eye and centre scale about `target` by 0.85 per step (steps > 0
// zoom in, < 0 out, fractions for fine trackpad deltas), so the target keeps its
// place on the screen and a zoom in followed by the same zoom out restores the
// camera. Refused (false, camera unchanged) when the eye would come closer to the
// target than minDistance or farther from it than maxDistance.
bool ZoomTowards(Camera& camera, const Vector3& target, double steps, double minDistance,
                 double maxDistance);

}  // namespace vantrel
