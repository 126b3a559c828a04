// Mouse input in the main view of the running program on the demo heart: start
// points placed by a drag, feature curves sketched, conduction blocks toggled by a
// right double click, drags that end in unusual ways, picks checked by ray casting
// and the camera drag each button starts where (in both views). Every input is a
// real mouse event sent through the frame's window.
#include <QDialog>
#include <QMouseEvent>

#include "edit_harness.h"
#include "growth/SurfaceSketch.h"

using namespace vantrel;
using namespace vantrel::testing;

namespace {

bool Yellow(const QColor& c) {
    return c.red() > 150 && c.green() > 150 && c.blue() < 80;
}
bool PureYellow(const QColor& c) {
    return c.red() > 240 && c.green() > 240 && c.blue() < 20;
}
bool Same(const Vector3& a, const Vector3& b) {
    return (a - b).Length() == 0.0;
}
// The lit blue of a blocked tube.
bool BlockBlue(const QColor& c) {
    return c.blue() > 100 && c.blue() > c.red() + 60 && c.blue() > c.green() + 60;
}

// The heart polygon that the ray through the centre of pixel (x, y) meets first
// among those drawn (front faces are culled, so only polygons facing away from the
// eye count); -1 for none.
int RayCastPolygon(int x, int y) {
    const HeartModel& heart = *TheHeartModel();
    Vector3 origin, direction;
    TheViewCore()->mainGL.MouseRay(x, y, &origin, &direction);
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
int PickMismatches(const QWidget* view, int* hits) {
    int mismatches = 0;
    *hits = 0;
    for (int y = 7; y < view->height(); y += 23) {
        for (int x = 5; x < view->width(); x += 29) {
            const int picked = PolygonAt(QPoint(x, y));
            const bool hit = picked >= 0;
            const int expected = RayCastPolygon(x, y);
            if (hit) ++*hits;
            if (hit && expected >= 0 && PolygonsAround(picked).count(expected)) continue;
            if (!hit && expected < 0) continue;
            ++mismatches;
        }
    }
    return mismatches;
}

}  // namespace

class EditMainTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        view_ = Frame()->MainView();
        UseCloseUpCamera();
        listener_ = TheMLforMainWindow();
        // The fibre layer's translucent points would tint the colours looked for below.
        QVERIFY(ChooseMenu("Rendering Mode", "Volume Field"));
        QVERIFY(!TheHeartModel()->showVolumeField);
        const std::optional<QPoint> area = SegmentedArea(view_, 48);
        QVERIFY2(area, "no segmented area in the main view");
        area_ = *area;
        camera_ = TheViewCore()->mainGL.CurrentCamera();
    }

    void init() {
        TheFiberCore()->startPoints.clear();
        TheFiberCore()->featureCurves.clear();
        TheFiberCore()->placeStartPoint = true;
    }

    void cleanup() {
        // Every test leaves the listener idle and the camera where it started.
        QVERIFY(!listener_->leftDown && !listener_->rightDown && !listener_->middleDown);
        QVERIFY(!listener_->placingStart && !listener_->drawingFeature);
        QVERIFY(listener_->sketch.points.empty());
        QVERIFY(!TheViewCore()->mainGL.Dragging());
        QVERIFY(SameCamera(TheViewCore()->mainGL.CurrentCamera(), camera_));
    }

    void dragOnTheHeartPlacesFourStartPointsAQuarterTurnApart() {
        // Closer to the wall first (a middle drag downwards), as a user would, so the
        // 0.2-long arrow is large enough to look at.
        ViewMouse mouse(view_);
        std::vector<QPoint> zoom;
        for (int step = 0; step <= 12; ++step) zoom.push_back(QPoint(20, 20 + 60 * step));
        mouse.Drag(Qt::MiddleButton, zoom);
        const std::optional<QPoint> area = SegmentedArea(view_, 48);
        QVERIFY(area);
        const double layerDepth = TheHeartModel()->LayerDepth();
        const double moveDepth = 0.5 * TheHeartModel()->volume.VoxelSize() + layerDepth;
        const QPoint press = *area;
        const QPoint aim = *area + QPoint(30, 12);
        Vector3 q0, n0, q1, n1;
        QVERIFY(SurfaceAt(press, &q0, &n0) && SurfaceAt(aim, &q1, &n1));

        const int yellowBefore = CountPixels(Screenshot(view_, "main-before-placing"), Yellow);
        mouse.Press(Qt::LeftButton, press);
        QVERIFY(listener_->placingStart);
        mouse.Move(press + QPoint(10, 4));
        mouse.Move(aim);
        // While the button is down the overlay shows the arrow, 0.2 long, aimed at the
        // point half a voxel deeper under the cursor.
        QCOMPARE(listener_->sketch.points.size(), size_t(2));
        const Vector3 position = listener_->sketch.points[0];
        QVERIFY(Same(position, PointUnderSurface(q0, n0, layerDepth)));
        Polyline aimed;
        aimed.points = {position, position};
        AimPlacement(aimed, PointUnderSurface(q1, n1, moveDepth));
        const Vector3 direction = listener_->sketch.points[1] - position;
        QVERIFY(Same(listener_->sketch.points[1], aimed.points[1]));
        QVERIFY(CountPixels(Screenshot(view_, "main-placing-start"), Yellow) > yellowBefore + 10);
        QVERIFY(TheFiberCore()->startPoints.empty());

        mouse.Release(Qt::LeftButton, aim);
        // Four start points turned about the normal under the release point.
        const auto expected = QuarterTurnStartPoints(position, position + direction, n1);
        QCOMPARE(TheFiberCore()->startPoints.size(), size_t(4));
        for (int i = 0; i < 4; ++i) {
            const StartPoint& start = TheFiberCore()->startPoints[static_cast<size_t>(i)];
            QVERIFY(Same(start.position, expected[i].position));
            QVERIFY(Same(start.directionPoint, expected[i].directionPoint));
        }
        QVERIFY(CountPixels(Screenshot(view_, "main-placed-start"), Yellow) > yellowBefore + 30);
        RestoreCamera();
    }

    void clickOrDoubleClickWithoutMovePlacesFourPointsWithoutDirection() {
        ViewMouse mouse(view_);
        mouse.Click(Qt::LeftButton, area_);
        QCOMPARE(TheFiberCore()->startPoints.size(), size_t(4));
        for (const StartPoint& start : TheFiberCore()->startPoints)
            QVERIFY((start.directionPoint - start.position).Length() == 0.0);
        // The double click's second press is no press: four more, not eight.
        mouse.DoubleClick(Qt::LeftButton, area_);
        QCOMPARE(TheFiberCore()->startPoints.size(), size_t(8));
    }

    void releaseOffTheMarkedRegionAddsNothing() {
        const std::optional<QPoint> background = BackgroundPixel(view_);
        QVERIFY(background);
        ViewMouse mouse(view_);
        mouse.Drag(Qt::LeftButton, {area_, area_ + QPoint(10, 0), *background});
        QVERIFY(TheFiberCore()->startPoints.empty());
        // Nor on a polygon that is not segmented, when one is in sight.
        for (int y = 5; y < view_->height(); y += 7) {
            for (int x = 5; x < view_->width(); x += 7) {
                if (PolygonAt(QPoint(x, y)) < 0 || SegmentedAt(QPoint(x, y))) continue;
                mouse.Drag(Qt::LeftButton, {area_, QPoint(x, y)});
                QVERIFY(TheFiberCore()->startPoints.empty());
                return;
            }
        }
    }

    void sketchNeedsFivePointsAndIsSmoothedTwice() {
        QVERIFY(ChooseMenu("Growth", "Draw Features"));
        ViewMouse mouse(view_);
        // Press and three moves: four points, discarded at the release.
        mouse.Drag(Qt::LeftButton,
                   {area_, area_ + QPoint(8, 2), area_ + QPoint(16, 5), area_ + QPoint(24, 9)});
        QVERIFY(TheFiberCore()->featureCurves.empty());

        const double layerDepth = TheHeartModel()->LayerDepth();
        const double moveDepth = 0.5 * TheHeartModel()->volume.VoxelSize() + layerDepth;
        const std::optional<QPoint> background = BackgroundPixel(view_);
        QVERIFY(background);
        const std::vector<QPoint> path = {area_ + QPoint(-30, 10), area_ + QPoint(-18, 4),
                                          area_ + QPoint(-6, 0), area_ + QPoint(6, -2),
                                          area_ + QPoint(18, 0)};
        mouse.Press(Qt::LeftButton, path[0]);
        QVERIFY(listener_->drawingFeature);
        for (size_t i = 1; i < path.size(); ++i) {
            mouse.Move(path[i]);
            mouse.Move(*background);  // off the heart: no point
        }
        const Polyline sketch = listener_->sketch;
        QCOMPARE(sketch.points.size(), size_t(5));
        for (size_t i = 0; i < path.size(); ++i) {
            Vector3 q, n;
            QVERIFY(SurfaceAt(path[i], &q, &n));
            QVERIFY(
                Same(sketch.points[i], PointUnderSurface(q, n, i == 0 ? layerDepth : moveDepth)));
        }
        // The sketch shows as thick pure yellow lines while the button is down.
        QVERIFY(CountPixels(Screenshot(view_, "main-sketching"), PureYellow) > 40);
        // Released where the last move went, so no move comes in between.
        mouse.Release(Qt::LeftButton, *background);

        QCOMPARE(TheFiberCore()->featureCurves.size(), size_t(1));
        const Polyline expected = *FeatureCurveFromSketch(sketch);
        for (size_t i = 0; i < expected.points.size(); ++i)
            QVERIFY(Same(TheFiberCore()->featureCurves[0].points[i], expected.points[i]));
        QVERIFY(CountPixels(Screenshot(view_, "main-feature-curve"), PureYellow) > 10);
        QVERIFY(ChooseMenu("Growth", "Place Start Point"));
    }

    void clickAfterAResizeBeforeThePickPassHitsNothing() {
        // What a window-manager resize leaves until the next pick pass: buffers of the
        // new size that hold no pass yet.
        TheViewCore()->mainGL.Resize(view_->width(), view_->height());
        QVERIFY(!TheViewCore()->mainGL.Pick().Rendered());
        ViewMouse mouse(view_);
        mouse.Press(Qt::LeftButton, area_);
        QVERIFY(!listener_->placingStart);
        QCOMPARE(TheViewCore()->mainGL.DragMode(), CameraDragMode::Pan);
        mouse.Release(Qt::LeftButton, area_);
        QVERIFY(TheFiberCore()->startPoints.empty());
        // The release rendered the pick buffers: the next click places.
        mouse.Click(Qt::LeftButton, area_);
        QCOMPARE(TheFiberCore()->startPoints.size(), size_t(4));
    }

    void dragThatLeavesTheWindowEndsAtTheRelease() {
        ViewMouse mouse(view_);
        const QPoint outside(view_->width() + Frame()->width(), view_->height() / 2);
        // A placement released outside the window adds nothing.
        mouse.Press(Qt::LeftButton, area_);
        mouse.Move(area_ + QPoint(15, 0));
        mouse.Move(QPoint(-30, 20));  // over the rule window
        mouse.Move(outside);
        QVERIFY(listener_->placingStart);
        mouse.Release(Qt::LeftButton, outside);
        QVERIFY(TheFiberCore()->startPoints.empty());
        // A rotation released outside ends there.
        mouse.Press(Qt::RightButton, area_);
        mouse.Move(outside);
        QVERIFY(TheViewCore()->mainGL.Dragging());
        mouse.Release(Qt::RightButton, outside);
        QVERIFY(!TheViewCore()->mainGL.Dragging());
        RestoreCamera();
    }

    void secondButtonDuringADragLeavesNothingStuck() {
        ViewMouse mouse(view_);
        // Placement, with a right drag pressed and released in between: the placement
        // goes on and completes.
        mouse.Press(Qt::LeftButton, area_);
        mouse.Press(Qt::RightButton, area_ + QPoint(5, 0));
        mouse.Move(area_ + QPoint(12, 3));
        mouse.Release(Qt::RightButton, area_ + QPoint(12, 3));
        mouse.Move(area_ + QPoint(20, 6));
        mouse.Release(Qt::LeftButton, area_ + QPoint(20, 6));
        QCOMPARE(TheFiberCore()->startPoints.size(), size_t(4));
        // Pan, then a right press; the buttons come up in the order they went down.
        const std::optional<QPoint> background = BackgroundPixel(view_);
        QVERIFY(background);
        mouse.Press(Qt::LeftButton, *background);
        mouse.Press(Qt::MiddleButton, *background);
        mouse.Move(*background + QPoint(-5, 5));
        mouse.Release(Qt::LeftButton, *background + QPoint(-5, 5));
        QVERIFY(listener_->middleDown);
        mouse.Release(Qt::MiddleButton, *background + QPoint(-5, 5));
        RestoreCamera();
    }

    void releaseLostToAModalDialogIsDeliveredAtTheNextMove() {
        ViewMouse mouse(view_);
        mouse.Press(Qt::LeftButton, area_);
        QVERIFY(listener_->placingStart);
        // A modal dialog comes up while the button is held: the frame is blocked and
        // never hears of the release.
        QDialog blocker(Frame());
        blocker.setModal(true);
        blocker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&blocker));
        mouse.Release(Qt::LeftButton, area_);
        QVERIFY(listener_->leftDown);
        blocker.hide();
        // The next move over the view, with no button held, hands the listener its
        // release at the last position it saw (the press), which completes the placement.
        mouse.Move(area_ + QPoint(40, 0));
        QVERIFY(!listener_->leftDown);
        QCOMPARE(TheFiberCore()->startPoints.size(), size_t(4));
        Frame()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Frame()));
    }

    void rightDoubleClickTogglesTheBlockOfTheStrokeUnderTheCursor() {
        ViewMouse mouse(view_);
        mouse.Drag(Qt::LeftButton, {area_, area_ + QPoint(0, -20)});
        QVERIFY(ChooseMenu("Growth", "Go Growth"));
        // A stroke in sight that the ray through its middle meets alone in its fibre.
        const RkOGL& gl = TheViewCore()->mainGL;
        Stroke* target = nullptr;
        QPoint pixel;
        for (Fiber& fiber : TheFiberCore()->fibers) {
            for (size_t s = 1; s < fiber.strokes.size() && !target; ++s) {
                const Polyline& path = fiber.strokes[s]->path;
                if (path.points.size() < 3) continue;
                const auto at = ProjectToView(gl, path.points[path.points.size() / 2],
                                              view_->devicePixelRatioF());
                if (!at) continue;
                pixel = at->toPoint();
                if (!view_->rect().adjusted(5, 5, -5, -5).contains(pixel)) continue;
                Vector3 origin, direction;
                gl.MouseRay(pixel.x(), pixel.y(), &origin, &direction);
                std::set<const Stroke*> met;
                for (const auto& candidate : fiber.strokes) {
                    for (const Vector3& p : candidate->path.points) {
                        const double t = (p - origin).Dot(direction) / direction.Dot(direction);
                        if ((origin + t * direction - p).LengthSquared() < 0.001)
                            met.insert(candidate.get());
                    }
                }
                if (met == std::set<const Stroke*>{fiber.strokes[s].get()})
                    target = fiber.strokes[s].get();
            }
        }
        QVERIFY2(target, "no stroke in sight to block");

        const int blueBefore = CountPixels(Screenshot(view_, "main-grown"), BlockBlue);
        mouse.DoubleClick(Qt::RightButton, pixel);
        QVERIFY(target->blocked);
        QVERIFY(CountPixels(Screenshot(view_, "main-blocked"), BlockBlue) > blueBefore);
        // The second double click lifts the block. Looked at between the double click and
        // its release: it starts no rotation.
        const QPointF at(pixel), global(view_->mapToGlobal(pixel));
        QMouseEvent twice(QEvent::MouseButtonDblClick, at, global, Qt::RightButton, Qt::RightButton,
                          Qt::NoModifier);
        QApplication::sendEvent(view_, &twice);
        QVERIFY(!target->blocked);
        QVERIFY(!TheViewCore()->mainGL.Dragging());
        QMouseEvent up(QEvent::MouseButtonRelease, at, global, Qt::RightButton, Qt::NoButton,
                       Qt::NoModifier);
        QApplication::sendEvent(view_, &up);
        QCOMPARE(CountPixels(Screenshot(view_, "main-unblocked"), BlockBlue), blueBefore);
    }

    void pickedPointLiesOnThePickedPolygonAndTheRay() {
        int polygon = -1;
        Vector3 point;
        QVERIFY(PickPolygon(TheViewCore()->mainGL, *TheHeartModel(), 350, 236, &polygon, &point));
        const MeshPolygon& picked = TheHeartModel()->mesh.polygons[polygon];
        const Vector3& a = TheHeartModel()->mesh.vertices[picked.vertex[0]].position;
        QVERIFY(std::fabs(Dot(point - a, picked.normal)) < 0.01);
        Vector3 origin, direction;
        TheViewCore()->mainGL.MouseRay(350, 236, &origin, &direction);
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
            const RkOGL& gl = c.view == rule ? TheViewCore()->ruleGL : TheViewCore()->mainGL;
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
            const Camera before = TheViewCore()->mainGL.CurrentCamera();
            std::vector<QPoint> path;
            for (int step = 0; step <= 10; ++step)
                path.push_back(QPoint(300 + 8 * step, 200 - 5 * step));
            ViewMouse(view_).Drag(Qt::RightButton, path);
            QVERIFY((TheViewCore()->mainGL.CurrentCamera().eye - before.eye).Length() > 1.0);
        } else if (change == 2) {
            const int width = view_->width() + 60;
            Frame()->resize(Frame()->width() + 60, Frame()->height() + 40);
            QTRY_COMPARE(view_->width(), width);
            QCOMPARE(TheViewCore()->mainGL.Pick().Width(), width);
        }
        int hits = 0;
        QCOMPARE(PickMismatches(view_, &hits), 0);
        QVERIFY(hits > 100);
        RestoreCamera();
    }

private:
    void RestoreCamera() {
        TheViewCore()->mainGL.SetCamera(camera_);
        TheViewCore()->mainRenderer.RenderPickBuffer(TheViewCore()->mainGL, *TheHeartModel(),
                                                     *TheFiberCore());
        view_->repaint();
    }

    CVantrelView* view_ = nullptr;
    MLforMainWindow* listener_ = nullptr;
    QPoint area_;
    Camera camera_;
};

VANTREL_PROGRAM_TEST_MAIN(EditMainTest)
#include "app_edit_main_test.moc"
