// Camera arithmetic of the views, without a display.
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "mesh_checks.h"
#include "render/CameraMath.h"
#include "render/PickBuffer.h"

using namespace vantrel;
using meshchecks::ExpectNear;

namespace {

Camera MainViewCamera() {
    return Camera{Vector3(5, 5, 15), Vector3(5, 5, 5), Vector3(0, 1, 0)};
}

double Distance(const Vector3& a, const Vector3& b) {
    return (a - b).Length();
}

Vector3 ViewDirection(const Camera& camera) {
    Vector3 d = camera.center - camera.eye;
    d.Normalize();
    return d;
}

}  // namespace

// The view frame is right-handed: the up vector ends above the eye, forward x up to the right.
TEST(LookAtMatrix, PutsTheEyeAtTheOriginLookingDownMinusZWithUpAboveAndSideRight) {
    const Camera camera{Vector3(1, 2, 3), Vector3(4, -2, 0), Vector3(0, 1, 0)};
    const Matrix4 view = LookAtMatrix(camera);
    ExpectNear(view.Transform(camera.eye), Vector3(0, 0, 0), 1e-12);
    const double distance = Distance(camera.eye, camera.center);
    ExpectNear(view.Transform(camera.center), Vector3(0, 0, -distance), 1e-12);
    const Vector3 upPoint = view.Transform(camera.eye + camera.up);
    EXPECT_TRUE(std::fabs(upPoint.x) < 1e-12 && upPoint.y > 0.0);
    EXPECT_GT(view.Transform(camera.eye + ViewDirection(camera).Cross(camera.up)).x, 0.0);
}

TEST(UnprojectWindowPoint, AgreesWithGluUnProject) {
    const Matrix4 view = LookAtMatrix(MainViewCamera());
    const Matrix4 projection = PerspectiveMatrix(45.0, 700.0 / 600.0, 0.01, 40.0);
    const Viewport viewport{0, 0, 700, 600};
    const GLint glViewport[4] = {0, 0, 700, 600};
    for (const double depth : {0.0, 0.5, 0.97, 0.999}) {
        Vector3 ours;
        ASSERT_TRUE(UnprojectWindowPoint(123.5, 456.5, depth, view, projection, viewport, &ours));
        GLdouble x, y, z;
        ASSERT_EQ(gluUnProject(123.5, 456.5, depth, view.m, projection.m, glViewport, &x, &y, &z),
                  GL_TRUE);
        ExpectNear(ours, Vector3(x, y, z), 1e-6 * (1.0 + std::fabs(z)));
    }
}

// The top edge of the window lies half the field of view above the axis (the near and far
// planes are checked with the fitted view's depths).
TEST(PerspectiveMatrix, TopEdgeLiesHalfTheFieldOfViewAboveTheAxis) {
    Matrix4 identity;
    identity.SetIdentity();
    const Matrix4 projection = PerspectiveMatrix(45.0, 1.0, 0.01, 40.0);
    Vector3 topEdge;
    ASSERT_TRUE(
        UnprojectWindowPoint(50, 100, 1.0, identity, projection, {0, 0, 100, 100}, &topEdge));
    EXPECT_NEAR(std::atan2(topEdge.y, -topEdge.z), 22.5 * 3.14159265358979 / 180, 1e-9);
}

TEST(UnprojectWindowPoint, RefusesAnEmptyViewportOrASingularCamera) {
    const Matrix4 projection = PerspectiveMatrix(45.0, 1.0, 0.01, 40.0);
    Vector3 out(7, 7, 7);
    EXPECT_FALSE(UnprojectWindowPoint(1, 1, 0.5, LookAtMatrix(MainViewCamera()), projection,
                                      Viewport{0, 0, 0, 0}, &out));
    const Camera degenerate{Vector3(1, 1, 1), Vector3(1, 1, 1), Vector3(0, 1, 0)};
    EXPECT_FALSE(UnprojectWindowPoint(1, 1, 0.5, LookAtMatrix(degenerate), projection,
                                      Viewport{0, 0, 10, 10}, &out));
    ExpectNear(out, Vector3(7, 7, 7), 0.0);
}

TEST(ZoomStep, MovesTheEyeAlongTheViewAndRefusesToReachTheCentre) {
    Camera camera = MainViewCamera();
    EXPECT_TRUE(ZoomStep(camera, 100, 150));  // dragging down moves in by 0.5
    ExpectNear(camera.eye, Vector3(5, 5, 14.5), 1e-12);
    camera.eye = Vector3(5, 5, 5.05);
    // A step of 0.03 would leave 0.02, which is not enough; 0.02 leaves 0.03.
    EXPECT_FALSE(ZoomStep(camera, 0, 3));
    ExpectNear(camera.eye, Vector3(5, 5, 5.05), 0.0);
    EXPECT_TRUE(ZoomStep(camera, 0, 2));
    EXPECT_NEAR(Distance(camera.eye, camera.center), 0.03, 1e-12);
    // The eye may pass through to the far side while it keeps its distance.
    camera.eye = Vector3(5, 5, 5.5);
    EXPECT_TRUE(ZoomStep(camera, 0, 100));
    ExpectNear(camera.eye, Vector3(5, 5, 4.5), 1e-12);
}

TEST(RotateStep, OrbitsAtConstantDistanceAndTurnsUpWithTheEye) {
    Camera camera = MainViewCamera();
    const double distance = Distance(camera.eye, camera.center);
    RotateStep(camera, 100, 100, 160, 130);
    RotateStep(camera, 160, 130, 90, 250);
    EXPECT_NEAR(Distance(camera.eye, camera.center), distance, 1e-12);
    // The up vector stays at right angles to the viewing direction.
    EXPECT_NEAR(Dot(camera.up, ViewDirection(camera)), 0.0, 1e-12);
    ExpectNear(camera.center, Vector3(5, 5, 5), 0.0);

    // A purely horizontal drag of 200 pixels turns the eye by one radian about +y.
    Camera level = MainViewCamera();
    RotateStep(level, 0, 0, 200, 0);
    ExpectNear(level.eye, Vector3(5 - 10 * std::sin(1.0), 5, 5 + 10 * std::cos(1.0)), 1e-12);
    ExpectNear(level.up, Vector3(0, 1, 0), 1e-12);
}

TEST(PanStep, MovesEyeAndCentreTogetherSoTheSceneFollowsTheMouse) {
    Camera camera = MainViewCamera();
    RotateStep(camera, 0, 0, 57, -31);
    const Vector3 eye = camera.eye;
    const Vector3 centre = camera.center;
    PanStep(camera, 10, 10, 60, 35);
    const Vector3 moved = camera.eye - eye;
    ExpectNear(camera.center - centre, moved, 1e-12);
    // 50 pixels right moves the camera one unit left in its own frame; 25 pixels
    // down moves it half a unit up.
    const Matrix4 view = LookAtMatrix(Camera{eye, centre, camera.up});
    Matrix4 rotation = view;
    rotation.m[12] = rotation.m[13] = rotation.m[14] = 0.0;
    ExpectNear(rotation.Transform(moved), Vector3(-1.0, 0.5, 0.0), 1e-12);
}

// Every polygon index below 2^24 - 1 comes back from its colour (bytes, not modulo 255);
// the top one would read as the background.
TEST(PolygonPickColour, EveryIndexBelowTheBackgroundComesBackFromItsColour) {
    unsigned char rgb[3];
    for (const int index : {0, 255, 256, 511, 65535, 65536, 0xFFFFFE}) {
        ASSERT_TRUE(EncodePolygonPick(index, rgb));
        const PickCode code = rgb[0] | (rgb[1] << 8) | (rgb[2] << 16) | 0xFF000000u;
        EXPECT_EQ(PolygonFromPickCode(code), index);
    }
    EXPECT_FALSE(EncodePolygonPick(0xFFFFFF, rgb) || EncodePolygonPick(-1, rgb));
}

namespace {

// The point's normalised device coordinates through the camera and projection.
Vector3 ToDevice(const Camera& camera, const Matrix4& projection, const Vector3& point) {
    const Matrix4 clip = projection.Multiply(LookAtMatrix(camera));
    double out[4];
    const double in[4] = {point.x, point.y, point.z, 1.0};
    for (int row = 0; row < 4; ++row) {
        out[row] = 0.0;
        for (int k = 0; k < 4; ++k) out[row] += clip.At(row, k) * in[k];
    }
    return Vector3(out[0] / out[3], out[1] / out[3], out[2] / out[3]);
}

SceneBox HeartLikeBox() {
    SceneBox box;
    box.Include(Vector3(-1.5, 0.5, -4.0));
    box.Include(Vector3(8.5, 10.0, 3.0));
    return box;
}

std::vector<Vector3> Corners(const SceneBox& box) {
    std::vector<Vector3> corners;
    for (int i = 0; i < 8; ++i) {
        corners.emplace_back(i & 1 ? box.high.x : box.low.x, i & 2 ? box.high.y : box.low.y,
                             i & 4 ? box.high.z : box.low.z);
    }
    return corners;
}

}  // namespace

// A fitted camera keeps its direction and frames every corner of the box for wide and
// narrow views; its clip planes put each corner strictly inside the depth range.
TEST(FitCameraToBox, PutsEveryCornerInsideTheViewForWideAndNarrowViews) {
    const SceneBox box = HeartLikeBox();
    Camera turned = MainViewCamera();
    RotateStep(turned, 0, 0, 130, -70);
    for (const Camera& start : {MainViewCamera(), turned}) {
        for (const double aspect : {3.0, 1.0, 0.25}) {
            const Camera fitted = FitCameraToBox(start, box, 45.0, aspect, 1.1);
            ExpectNear(ViewDirection(fitted), ViewDirection(start), 1e-12);
            double zNear = 0.0, zFar = 0.0, widest = 0.0;
            ClipPlanesForBox(fitted, box, &zNear, &zFar);
            const Matrix4 projection = PerspectiveMatrix(45.0, aspect, zNear, zFar);
            for (const Vector3& corner : Corners(box)) {
                const Vector3 device = ToDevice(fitted, projection, corner);
                EXPECT_TRUE(device.z > -1.0 && device.z < 1.0) << device.z;
                widest = std::max({widest, std::fabs(device.x), std::fabs(device.y)});
            }
            // Framed, not lost in the distance.
            EXPECT_TRUE(widest > 0.5 && widest < 1.0) << "aspect " << aspect << ": " << widest;
        }
    }
}
