// Mouse input of the running program: picks against the heart after start-up,
// camera drags of the main view, the segmentation mode and the rule window by real
// mouse events, the double-click sequence, and picks right after a resize.
#include <GL/glu.h>

#include <QMouseEvent>
#include <QSplitter>
#include <cmath>

#include "app_harness.h"
#include "render/HeartDrawing.h"

using namespace vantrel;
using namespace vantrel::testing;

namespace {

void Send(QWidget* widget, QEvent::Type type, Qt::MouseButton button, QPoint at,
          Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), QPointF(widget->mapToGlobal(at)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// A drag with one button: press at `from`, moves in 10 steps to `to`, release.
void Drag(QWidget* widget, Qt::MouseButton button, QPoint from, QPoint to) {
    Send(widget, QEvent::MouseButtonPress, button, from, button);
    for (int step = 1; step <= 10; ++step) {
        Send(widget, QEvent::MouseMove, Qt::NoButton, from + (to - from) * step / 10, button);
    }
    Send(widget, QEvent::MouseButtonRelease, button, to, Qt::NoButton);
}

Vector3 Direction(const Camera& camera) {
    Vector3 d = camera.center - camera.eye;
    d.Normalize();
    return d;
}

double Distance(const Vector3& a, const Vector3& b) {
    return (a - b).Length();
}

// The heart polygon that the ray through the centre of pixel (x, y) meets first
// among those drawn (front faces are culled, so only polygons facing away from the
// eye count); -1 for none.
int RayCastPolygon(const RkOGL& gl, const HeartModel& heart, int x, int y) {
    Vector3 origin, direction;
    gl.MouseRay(x, y, &origin, &direction);
    double nearest = 1e30;
    int found = -1;
    for (size_t i = 0; i < heart.mesh.polygons.size(); ++i) {
        const MeshPolygon& polygon = heart.mesh.polygons[i];
        if (Dot(polygon.normal, direction) <= 0.0) continue;
        const Vector3& a = heart.mesh.vertices[polygon.vertex[0]].position;
        const Vector3 e1 = heart.mesh.vertices[polygon.vertex[1]].position - a;
        const Vector3 e2 = heart.mesh.vertices[polygon.vertex[2]].position - a;
        const Vector3 p = Cross(direction, e2);
        const double det = Dot(e1, p);
        if (std::fabs(det) < 1e-14) continue;
        const Vector3 s = origin - a;
        const double u = Dot(s, p) / det;
        const Vector3 q = Cross(s, e1);
        const double v = Dot(direction, q) / det;
        const double t = Dot(e2, q) / det;
        if (u < 0 || v < 0 || u + v > 1 || t <= 0.01) continue;
        if (t < nearest) {
            nearest = t;
            found = static_cast<int>(i);
        }
    }
    return found;
}

bool ShareAVertex(const RkPolygonModel& mesh, int a, int b) {
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            if (mesh.polygons[a].vertex[i] == mesh.polygons[b].vertex[j]) return true;
        }
    }
    return false;
}

// Compares the pick buffer with ray casting on a grid of pixels; returns the number
// of pixels that disagree other than across a shared edge or corner, and counts hits.
int PickMismatches(const RkOGL& gl, const HeartModel& heart, int width, int height, int* hits) {
    int mismatches = 0;
    *hits = 0;
    for (int y = 7; y < height; y += 23) {
        for (int x = 5; x < width; x += 29) {
            int picked = -1;
            Vector3 point;
            const bool hit = PickPolygon(gl, heart, x, y, &picked, &point);
            const int expected = RayCastPolygon(gl, heart, x, y);
            if (hit) ++*hits;
            if (hit && expected >= 0 &&
                (picked == expected || ShareAVertex(heart.mesh, picked, expected)))
                continue;
            if (!hit && expected < 0) continue;
            ++mismatches;
        }
    }
    return mismatches;
}

// Window position (logical pixels) of a world point in a view.
QPoint ScreenPosition(const RkOGL& gl, const Vector3& world) {
    const Viewport& viewport = gl.ViewportPixels();
    const GLint glViewport[4] = {viewport.x, viewport.y, viewport.width, viewport.height};
    GLdouble wx, wy, wz;
    gluProject(world.x, world.y, world.z, gl.ModelView().m, gl.Projection().m, glViewport, &wx, &wy,
               &wz);
    return QPoint(static_cast<int>(std::floor(wx)),
                  viewport.height - 1 - static_cast<int>(std::floor(wy)));
}

}  // namespace

class MouseTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        program_ = StartOnDemoHeart();
        QVERIFY(program_);
        frame_ = program_->Frame();
        view_ = frame_->MainView();
        gl_ = &TheViewCore()->mainGL;
    }

    void cleanupTestCase() {
        if (program_) program_->Exit(0);
    }

    void picksAfterStartUpNameThePolygonUnderTheCursor() {
        int hits = 0;
        QCOMPARE(PickMismatches(*gl_, *TheHeartModel(), view_->width(), view_->height(), &hits), 0);
        QVERIFY(hits > 150);
        // The picked point lies on the picked polygon and on the ray.
        int polygon = -1;
        Vector3 point;
        QVERIFY(PickPolygon(*gl_, *TheHeartModel(), 350, 236, &polygon, &point));
        const MeshPolygon& picked = TheHeartModel()->mesh.polygons[polygon];
        const Vector3& a = TheHeartModel()->mesh.vertices[picked.vertex[0]].position;
        QVERIFY(std::fabs(Dot(point - a, picked.normal)) < 0.01);
        Vector3 origin, direction;
        gl_->MouseRay(350, 236, &origin, &direction);
        QVERIFY(Cross(point - origin, direction).Length() < 0.01);
        // The top right corner shows no heart.
        QVERIFY(!PickPolygon(*gl_, *TheHeartModel(), view_->width() - 5, 5, &polygon, &point));
    }

    void rightDragOrbitsAndTheReleaseRendersNewPicks() {
        const Camera before = gl_->CurrentCamera();
        Drag(view_, Qt::RightButton, QPoint(300, 200), QPoint(380, 150));
        const Camera after = gl_->CurrentCamera();
        QVERIFY(Distance(after.eye, before.eye) > 1.0);
        QVERIFY(std::fabs(Distance(after.eye, after.center) - Distance(before.eye, before.center)) <
                1e-9);
        QVERIFY(Distance(after.center, before.center) < 1e-12);
        QVERIFY(std::fabs(Dot(after.up, Direction(after))) < 1e-9);
        QVERIFY(!gl_->Dragging());
        QVERIFY(!TheMLforMainWindow()->rightDown);
        int hits = 0;
        QCOMPARE(PickMismatches(*gl_, *TheHeartModel(), view_->width(), view_->height(), &hits), 0);
        QVERIFY(hits > 100);
    }

    void rightDragAtTheRightEdgeAndMiddleDragZoom() {
        const Camera before = gl_->CurrentCamera();
        const int edge = view_->width() - 20;
        Drag(view_, Qt::RightButton, QPoint(edge, 100), QPoint(edge, 150));
        Camera after = gl_->CurrentCamera();
        QVERIFY(std::fabs(Distance(after.eye, after.center) -
                          (Distance(before.eye, before.center) - 0.5)) < 1e-9);
        QVERIFY(Distance(Direction(after), Direction(before)) < 1e-9);
        Drag(view_, Qt::MiddleButton, QPoint(300, 150), QPoint(320, 100));
        after = gl_->CurrentCamera();
        QVERIFY(std::fabs(Distance(after.eye, after.center) - Distance(before.eye, before.center)) <
                1e-9);
        QVERIFY(!gl_->Dragging());
    }

    void leftDragOffTheHeartPansAndOnTheRegionDoesNot() {
        int polygon = -1;
        Vector3 point;
        const QPoint corner(view_->width() - 5, 5);
        QVERIFY(!PickPolygon(*gl_, *TheHeartModel(), corner.x(), corner.y(), &polygon, &point));
        const Camera before = gl_->CurrentCamera();
        Drag(view_, Qt::LeftButton, corner, corner + QPoint(-100, 50));
        const Camera after = gl_->CurrentCamera();
        const Vector3 moved = after.eye - before.eye;
        QVERIFY(moved.Length() > 1.0);
        QVERIFY(Distance(after.center - before.center, moved) < 1e-12);
        QVERIFY(Distance(Direction(after), Direction(before)) < 1e-12);

        QVERIFY(PickPolygon(*gl_, *TheHeartModel(), 350, 236, &polygon, &point));
        QVERIFY(TheHeartModel()->regionIds[polygon] != 0);
        Drag(view_, Qt::LeftButton, QPoint(350, 236), QPoint(300, 200));
        QVERIFY(Distance(gl_->CurrentCamera().eye, after.eye) < 1e-12);
        QVERIFY(!TheMLforMainWindow()->leftDown);
    }

    void aDoubleClickCallsOnlyItsOwnSlot() {
        const Camera before = gl_->CurrentCamera();
        const QPoint at(320, 220);
        Send(view_, QEvent::MouseButtonPress, Qt::RightButton, at, Qt::RightButton);
        QVERIFY(gl_->Dragging());
        Send(view_, QEvent::MouseButtonRelease, Qt::RightButton, at, Qt::NoButton);
        QVERIFY(!gl_->Dragging());
        Send(view_, QEvent::MouseButtonDblClick, Qt::RightButton, at, Qt::RightButton);
        // A second press would have started another rotation.
        QVERIFY(!gl_->Dragging());
        QVERIFY(!TheMLforMainWindow()->rightDown);
        Send(view_, QEvent::MouseButtonRelease, Qt::RightButton, at, Qt::NoButton);
        QVERIFY(!gl_->Dragging());
        QVERIFY(Distance(gl_->CurrentCamera().eye, before.eye) < 1e-12);
    }

    void segmentationModeRotatesAtTheEdgeAndIgnoresLeftPressesOffTheHeart() {
        QVERIFY(ChooseMenu(frame_, "Segmentation", "SegmentationMode"));
        MLforSegmentation* listener = TheMLforSegmentation();
        const Camera before = gl_->CurrentCamera();
        const int edge = view_->width() - 20;
        Send(view_, QEvent::MouseButtonPress, Qt::RightButton, QPoint(edge, 100), Qt::RightButton);
        QCOMPARE(gl_->DragMode(), CameraDragMode::Rotate);
        Send(view_, QEvent::MouseMove, Qt::NoButton, QPoint(edge - 30, 100), Qt::RightButton);
        Send(view_, QEvent::MouseButtonRelease, Qt::RightButton, QPoint(edge - 30, 100),
             Qt::NoButton);
        const Camera turned = gl_->CurrentCamera();
        QVERIFY(Distance(turned.eye, before.eye) > 0.5);
        QVERIFY(std::fabs(Distance(turned.eye, turned.center) -
                          Distance(before.eye, before.center)) < 1e-9);

        Drag(view_, Qt::LeftButton, QPoint(view_->width() - 5, 5),
             QPoint(view_->width() - 200, 60));
        QVERIFY(Distance(gl_->CurrentCamera().eye, turned.eye) < 1e-12);
        QVERIFY(!listener->leftDown);
        QVERIFY(ChooseMenu(frame_, "Segmentation", "SegmentationMode"));
        // Leaving the mode returns the input to the main listener.
        QCOMPARE(TheListenerManager()->mainListener, static_cast<MLState*>(TheMLforMainWindow()));
    }

    void ruleWindowGrabsHandlesAndDragsTheCameraElsewhere() {
        CRuleView* ruleView = frame_->RuleView();
        RkOGL& ruleGL = TheViewCore()->ruleGL;
        MLforRuleWindow* listener = TheMLforRuleWindow();
        const RewritingRule& rule2 = TheFiberCore()->rule2;
        // The red tip handle of rule 2's stem.
        const QPoint tip =
            ScreenPosition(ruleGL, Vector3(1.0, rule2.stemLength, rule2.stemWidth + 0.01));
        const Camera before = ruleGL.CurrentCamera();
        Send(ruleView, QEvent::MouseButtonPress, Qt::LeftButton, tip, Qt::LeftButton);
        QVERIFY(listener->editing);
        QCOMPARE(listener->pickRule, 1u);
        QCOMPARE(listener->pickPart, 2u);
        QCOMPARE(listener->pickHandle, 0u);
        QVERIFY(listener->pickDepth < 1.0f);
        QVERIFY(!ruleGL.Dragging());
        Send(ruleView, QEvent::MouseButtonRelease, Qt::LeftButton, tip, Qt::NoButton);
        QVERIFY(!listener->editing);
        QCOMPARE(listener->pickRule, 0xFFFFFFFFu);
        QVERIFY(Distance(ruleGL.CurrentCamera().eye, before.eye) < 1e-12);

        // Off the handles the left button pans, the right one orbits, the middle one zooms.
        Drag(ruleView, Qt::LeftButton, QPoint(100, 20), QPoint(150, 60));
        Camera after = ruleGL.CurrentCamera();
        QVERIFY(Distance(after.center - before.center, after.eye - before.eye) < 1e-12);
        QVERIFY((after.eye - before.eye).Length() > 0.5);
        const Camera panned = after;
        Drag(ruleView, Qt::RightButton, QPoint(100, 100), QPoint(140, 100));
        after = ruleGL.CurrentCamera();
        QVERIFY(std::fabs(Distance(after.eye, after.center) - Distance(panned.eye, panned.center)) <
                1e-9);
        QVERIFY(Distance(after.eye, panned.eye) > 0.5);
        const double distance = Distance(after.eye, after.center);
        Drag(ruleView, Qt::MiddleButton, QPoint(100, 100), QPoint(100, 130));
        QVERIFY(std::fabs(Distance(ruleGL.CurrentCamera().eye, ruleGL.CurrentCamera().center) -
                          (distance - 0.3)) < 1e-9);
        QVERIFY(ruleGL.Pick().Rendered());

        // The handles are found where they are now drawn.
        ruleGL.ResetCamera();
        TheRuleLayout()->RedrawRulePick(ruleGL);
        Send(ruleView, QEvent::MouseButtonPress, Qt::LeftButton, tip, Qt::LeftButton);
        QVERIFY(listener->editing);
        Send(ruleView, QEvent::MouseButtonRelease, Qt::LeftButton, tip, Qt::NoButton);
    }

    void picksResolveRightAfterAResize() {
        QSplitter* splitter = frame_->Splitter();
        // Collapsing the rule window and opening it again leaves its camera and handles.
        const Camera ruleCamera = TheViewCore()->ruleGL.CurrentCamera();
        splitter->setSizes({0, 900});
        QTRY_COMPARE(frame_->RuleView()->width(), 0);
        splitter->setSizes({200, 700});
        QTRY_COMPARE(frame_->RuleView()->width(), 200);
        QVERIFY(Distance(TheViewCore()->ruleGL.CurrentCamera().eye, ruleCamera.eye) < 1e-12);
        const QPoint tip = ScreenPosition(TheViewCore()->ruleGL, Vector3(1.0, 1.0, 0.16));
        QVERIFY(TheViewCore()->ruleGL.ReadPick(tip.x(), tip.y()).hit);

        // A window-manager resize of the frame: the main view's next click finds the heart.
        frame_->resize(frame_->width() + 60, frame_->height() + 40);
        QTRY_COMPARE(view_->width(), 760);
        QVERIFY(gl_->Pick().Rendered());
        QCOMPARE(gl_->Pick().Width(), 760);
        int hits = 0;
        QCOMPARE(PickMismatches(*gl_, *TheHeartModel(), view_->width(), view_->height(), &hits), 0);
        QVERIFY(hits > 100);
    }

private:
    std::unique_ptr<CVantrelApp> program_;
    CMainFrame* frame_ = nullptr;
    CVantrelView* view_ = nullptr;
    RkOGL* gl_ = nullptr;
};

VANTREL_QT_TEST_MAIN(MouseTest)
#include "app_mouse_test.moc"
