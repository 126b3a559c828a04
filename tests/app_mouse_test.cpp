// Mouse input of the running program: picks against the heart, checked by ray
// casting, after start-up, after an orbit and after a resize; which camera drag each
// button starts where, in both views and in segmentation mode.
#include <cmath>

#include "edit_harness.h"
#include "render/HeartDrawing.h"

using namespace vantrel;
using namespace vantrel::testing;

namespace {

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
            if (hit && expected >= 0 && PolygonsAround(picked).count(expected)) continue;
            if (!hit && expected < 0) continue;
            ++mismatches;
        }
    }
    return mismatches;
}

}  // namespace

class MouseTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        view_ = Frame()->MainView();
        UseCloseUpCamera();
        gl_ = &TheViewCore()->mainGL;
    }

    void pickedPointLiesOnThePickedPolygonAndTheRay() {
        int polygon = -1;
        Vector3 point;
        QVERIFY(PickPolygon(*gl_, *TheHeartModel(), 350, 236, &polygon, &point));
        const MeshPolygon& picked = TheHeartModel()->mesh.polygons[polygon];
        const Vector3& a = TheHeartModel()->mesh.vertices[picked.vertex[0]].position;
        QVERIFY(std::fabs(Dot(point - a, picked.normal)) < 0.01);
        Vector3 origin, direction;
        gl_->MouseRay(350, 236, &origin, &direction);
        QVERIFY(Cross(point - origin, direction).Length() < 0.01);
    }

    void buttonAndPlaceChooseTheCameraDrag() {
        CRuleView* rule = Frame()->RuleView();
        const std::vector<std::int32_t> segmented = TheHeartModel()->regionIds;
        const QPoint offHeart(view_->width() - 5, 5);
        const QPoint zoomStrip(view_->width() - 20, 100);
        const QPoint offHandles(100, 20);
        const struct {
            bool segmentation;
            QWidget* view;
            Qt::MouseButton button;
            QPoint at;
            CameraDragMode mode;
        } cases[] = {
            {false, view_, Qt::RightButton, QPoint(300, 200), CameraDragMode::Rotate},
            {false, view_, Qt::RightButton, zoomStrip, CameraDragMode::Zoom},
            {false, view_, Qt::MiddleButton, QPoint(300, 150), CameraDragMode::Zoom},
            {false, view_, Qt::LeftButton, offHeart, CameraDragMode::Pan},
            {false, rule, Qt::LeftButton, offHandles, CameraDragMode::Pan},
            {false, rule, Qt::RightButton, offHandles, CameraDragMode::Rotate},
            {false, rule, Qt::MiddleButton, offHandles, CameraDragMode::Zoom},
            {true, view_, Qt::RightButton, zoomStrip, CameraDragMode::Rotate},
            {true, view_, Qt::MiddleButton, QPoint(300, 150), CameraDragMode::Zoom},
            {true, view_, Qt::LeftButton, offHeart, CameraDragMode::None},
        };
        for (const auto& c : cases) {
            if (c.segmentation != TheHeartModel()->segmentationMode)
                QVERIFY(ChooseMenu("Segmentation", "SegmentationMode"));
            const RkOGL& gl = c.view == rule ? TheViewCore()->ruleGL : *gl_;
            ViewMouse mouse(c.view);
            mouse.Press(c.button, c.at);
            const CameraDragMode mode = gl.Dragging() ? gl.DragMode() : CameraDragMode::None;
            mouse.Release(c.button, c.at);
            QCOMPARE(int(mode), int(c.mode));
            QVERIFY(!gl.Dragging());
        }
        QVERIFY(ChooseMenu("Segmentation", "SegmentationMode"));
        TheHeartModel()->regionIds = segmented;
    }

    void picksNameThePolygonTheRayMeetsFirst_data() {
        QTest::addColumn<int>("change");
        QTest::newRow("after start-up") << 0;
        QTest::newRow("after an orbit") << 1;
        QTest::newRow("after a frame resize") << 2;
    }
    void picksNameThePolygonTheRayMeetsFirst() {
        QFETCH(int, change);
        if (change == 1) {
            const Camera before = gl_->CurrentCamera();
            std::vector<QPoint> path;
            for (int step = 0; step <= 10; ++step)
                path.push_back(QPoint(300 + 8 * step, 200 - 5 * step));
            ViewMouse(view_).Drag(Qt::RightButton, path);
            QVERIFY((gl_->CurrentCamera().eye - before.eye).Length() > 1.0);
        } else if (change == 2) {
            const int width = view_->width() + 60;
            Frame()->resize(Frame()->width() + 60, Frame()->height() + 40);
            QTRY_COMPARE(view_->width(), width);
            QCOMPARE(gl_->Pick().Width(), width);
        }
        int hits = 0;
        QCOMPARE(PickMismatches(*gl_, *TheHeartModel(), view_->width(), view_->height(), &hits), 0);
        QVERIFY(hits > 100);
    }

private:
    CVantrelView* view_ = nullptr;
    RkOGL* gl_ = nullptr;
};

VANTREL_PROGRAM_TEST_MAIN(MouseTest)
#include "app_mouse_test.moc"
