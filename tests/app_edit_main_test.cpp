// Mouse editing in the main view of the running program on the demo heart: start
// points placed by a drag, feature curves sketched, the double-click sequence,
// conduction blocks toggled by a right double click and the excitation wave that
// stops at them, and drags that end in unusual ways. Every input is a real mouse
// event sent through the frame's window.
#include <QDialog>
#include <map>
#include <queue>

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
// The lit blue of a blocked tube.
bool BlockBlue(const QColor& c) {
    return c.blue() > 100 && c.blue() > c.red() + 60 && c.blue() > c.green() + 60;
}

template <typename Test>
int Count(const QImage& image, Test test) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) count += test(image.pixelColor(x, y)) ? 1 : 0;
    }
    return count;
}

bool SameCamera(const Camera& a, const Camera& b) {
    auto same = [](const Vector3& u, const Vector3& v) {
        return u.x == v.x && u.y == v.y && u.z == v.z;
    };
    return same(a.eye, b.eye) && same(a.center, b.center) && same(a.up, b.up);
}

QPoint Rounded(QPointF p) {
    return QPoint(static_cast<int>(p.x()), static_cast<int>(p.y()));
}

// Every stroke with the strokes it is linked with, in both directions (what the
// animation's neighbour sets are built from).
std::map<const Stroke*, std::vector<const Stroke*>> Adjacency(const FiberCore& fibers) {
    std::map<const Stroke*, std::vector<const Stroke*>> adjacency;
    for (const Fiber& fiber : fibers.fibers) {
        for (const auto* group : {&fiber.strokes, &fiber.apexes}) {
            for (const auto& stroke : *group) {
                for (const Stroke* linked : stroke->links) {
                    adjacency[stroke.get()].push_back(linked);
                    adjacency[linked].push_back(stroke.get());
                }
            }
        }
    }
    return adjacency;
}

using StrokeGraph = std::map<const Stroke*, std::vector<const Stroke*>>;

// The strokes the excitation wave can reach: from each fibre's first stroke over
// links, never into a blocked stroke. `alsoBlocked` counts as blocked too.
std::set<const Stroke*> Reachable(const FiberCore& fibers, const StrokeGraph& graph,
                                  const Stroke* alsoBlocked = nullptr) {
    std::set<const Stroke*> reached;
    std::queue<const Stroke*> open;
    for (const Fiber& fiber : fibers.fibers) {
        if (fiber.strokes.empty()) continue;
        reached.insert(fiber.strokes.front().get());
        open.push(fiber.strokes.front().get());
    }
    while (!open.empty()) {
        const Stroke* stroke = open.front();
        open.pop();
        const auto found = graph.find(stroke);
        if (found == graph.end()) continue;
        for (const Stroke* next : found->second) {
            if (next->blocked || next == alsoBlocked || reached.count(next)) continue;
            reached.insert(next);
            open.push(next);
        }
    }
    return reached;
}

std::vector<const Stroke*> AllStrokes(const FiberCore& fibers) {
    std::vector<const Stroke*> all;
    for (const Fiber& fiber : fibers.fibers) {
        for (const auto* group : {&fiber.strokes, &fiber.apexes}) {
            for (const auto& stroke : *group) all.push_back(stroke.get());
        }
    }
    return all;
}

// Watches every repaint of a view and calls `check` in it.
class PaintWatcher : public QObject {
public:
    PaintWatcher(QWidget* view, std::function<void()> check)
        : view_(view), check_(std::move(check)) {
        view_->installEventFilter(this);
    }
    ~PaintWatcher() override { view_->removeEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) check_();
        return false;
    }

private:
    QWidget* view_;
    std::function<void()> check_;
};

}  // namespace

class EditMainTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        program_ = StartOnDemoHeart();
        QVERIFY(program_);
        frame_ = program_->Frame();
        view_ = frame_->MainView();
        listener_ = TheMLforMainWindow();
        // The fibre layer's translucent points would tint the colours looked for below.
        QVERIFY(ChooseMenu(frame_, "Rendering Mode", "Volume Field"));
        QVERIFY(!TheHeartModel()->showVolumeField);
        const std::optional<QPoint> area = SegmentedArea(view_, 48);
        QVERIFY2(area, "no segmented area in the main view");
        area_ = *area;
        camera_ = TheViewCore()->mainGL.CurrentCamera();
    }

    void cleanupTestCase() {
        if (program_) program_->Exit(0);
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

    void doubleClickReachesOnlyItsOwnSlot() {
        SlotRecorder recorder;
        view_->SetListenerSource([&recorder] { return &recorder; });
        ViewMouse mouse(view_);
        mouse.DoubleClick(Qt::LeftButton, area_);
        mouse.DoubleClick(Qt::RightButton, area_);
        mouse.DoubleClick(Qt::MiddleButton, area_);
        view_->SetListenerSource([] { return TheListenerManager()->mainListener; });
        QCOMPARE(recorder.calls, QString("LD LU LC LU RD RU RC RU MD MU MC MU "));
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

        const int yellowBefore = Count(Screenshot(view_, "main-before-placing"), Yellow);
        mouse.Press(Qt::LeftButton, press);
        QVERIFY(listener_->placingStart);
        mouse.Move(press + QPoint(10, 4));
        mouse.Move(aim);
        // While the button is down the overlay shows the arrow, 0.2 long, aimed at the
        // point half a voxel deeper under the cursor.
        QCOMPARE(listener_->sketch.points.size(), size_t(2));
        const Vector3 position = listener_->sketch.points[0];
        const Vector3 expectedPosition = q0 - n0 * layerDepth;
        QCOMPARE(position.x, expectedPosition.x);
        QCOMPARE(position.y, expectedPosition.y);
        QCOMPARE(position.z, expectedPosition.z);
        Vector3 towards = (q1 - n1 * moveDepth) - position;
        towards.Normalize();
        const Vector3 direction = listener_->sketch.points[1] - position;
        QVERIFY((direction - towards * 0.2).Length() < 1e-12);
        QVERIFY(Count(Screenshot(view_, "main-placing-start"), Yellow) > yellowBefore + 10);
        QVERIFY(TheFiberCore()->startPoints.empty());

        mouse.Release(Qt::LeftButton, aim);
        const std::vector<StartPoint>& starts = TheFiberCore()->startPoints;
        QCOMPARE(starts.size(), size_t(4));
        QVERIFY((starts[0].directionPoint - (position + direction)).Length() == 0.0);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(starts[i].position.x, position.x);
            QCOMPARE(starts[i].position.y, position.y);
            QCOMPARE(starts[i].position.z, position.z);
            // A quarter turn about the normal under the release point.
            const Vector3 d = starts[i].directionPoint - starts[i].position;
            const Vector3 next = starts[(i + 1) % 4].directionPoint - starts[(i + 1) % 4].position;
            const Vector3 turned = n1.Cross(d) + n1 * n1.Dot(d);
            QVERIFY((next - turned).Length() < 1e-12);
            QVERIFY(std::abs(d.Length() - 0.2) < 1e-12);
        }
        QVERIFY(Count(Screenshot(view_, "main-placed-start"), Yellow) > yellowBefore + 30);
        RestoreCamera();
    }

    void clickOrDoubleClickWithoutMovePlacesFourPointsWithoutDirection() {
        ViewMouse mouse(view_);
        mouse.Click(Qt::LeftButton, area_);
        QCOMPARE(TheFiberCore()->startPoints.size(), size_t(4));
        for (const StartPoint& start : TheFiberCore()->startPoints) {
            QVERIFY((start.directionPoint - start.position).Length() == 0.0);
        }
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
        QVERIFY(ChooseMenu(frame_, "Growth", "Draw Features"));
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
            const Vector3 expected = q - n * (i == 0 ? layerDepth : moveDepth);
            QVERIFY((sketch.points[i] - expected).Length() == 0.0);
        }
        // The sketch shows as thick pure yellow lines while the button is down.
        QVERIFY(Count(Screenshot(view_, "main-sketching"), PureYellow) > 40);
        // Released where the last move went, so no move comes in between.
        mouse.Release(Qt::LeftButton, *background);

        QCOMPARE(TheFiberCore()->featureCurves.size(), size_t(1));
        const Polyline& curve = TheFiberCore()->featureCurves[0];
        Polyline expected = sketch;
        expected.Smooth();
        expected.Smooth();
        QCOMPARE(curve.points.size(), size_t(5));
        for (size_t i = 0; i < curve.points.size(); ++i) {
            QVERIFY((curve.points[i] - expected.points[i]).Length() == 0.0);
        }
        QVERIFY(curve.points[2].x != sketch.points[2].x);  // it was smoothed
        QVERIFY((curve.color == std::array<float, 4>{1.0f, 1.0f, 0.0f, 1.0f}));
        QVERIFY(Count(Screenshot(view_, "main-feature-curve"), PureYellow) > 10);
        QVERIFY(ChooseMenu(frame_, "Growth", "Place Start Point"));
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
        const QPoint outside(view_->width() + frame_->width(), view_->height() / 2);
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
        QDialog blocker(frame_);
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
        frame_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(frame_));
    }

    void rightDoubleClickBlocksAStrokeAndTheWaveStopsThere() {
        ViewMouse mouse(view_);
        mouse.Drag(Qt::LeftButton, {area_, area_ + QPoint(0, -20)});
        mouse.Drag(Qt::LeftButton, {area_ + QPoint(-40, 30), area_ + QPoint(-20, 30)});
        QCOMPARE(TheFiberCore()->startPoints.size(), size_t(8));
        QVERIFY(ChooseMenu(frame_, "Growth", "Go Growth"));
        FiberCore& fibers = *TheFiberCore();
        QVERIFY(!fibers.fibers.empty());

        // A stroke in sight, with children, that a ray through it picks unambiguously
        // in its fibre; the one whose block cuts off most of the network.
        const RkOGL& gl = TheViewCore()->mainGL;
        const StrokeGraph graph = Adjacency(fibers);
        const std::set<const Stroke*> reachableBefore = Reachable(fibers, graph);
        Stroke* target = nullptr;
        QPoint targetPixel;
        size_t bestCut = 0;
        for (Fiber& fiber : fibers.fibers) {
            for (size_t s = 1; s < fiber.strokes.size(); ++s) {
                Stroke* stroke = fiber.strokes[s].get();
                if (stroke->links.empty() || stroke->path.points.size() < 3) continue;
                const auto projected =
                    ProjectToView(gl, stroke->path.points[stroke->path.points.size() / 2],
                                  view_->devicePixelRatioF());
                if (!projected) continue;
                const QPoint pixel = Rounded(*projected);
                if (!view_->rect().adjusted(5, 5, -5, -5).contains(pixel)) continue;
                Vector3 origin, direction;
                gl.MouseRay(pixel.x(), pixel.y(), &origin, &direction);
                bool own = false;
                bool other = false;
                for (const auto& candidate : fiber.strokes) {
                    for (const Vector3& p : candidate->path.points) {
                        const double t = (p - origin).Dot(direction) / direction.Dot(direction);
                        const double d2 = (origin + t * direction - p).LengthSquared();
                        if (d2 < 0.001) (candidate.get() == stroke ? own : other) = true;
                    }
                }
                if (!own || other) continue;
                const size_t cut = reachableBefore.size() - Reachable(fibers, graph, stroke).size();
                if (cut > bestCut) {
                    bestCut = cut;
                    target = stroke;
                    targetPixel = pixel;
                }
            }
        }
        QVERIFY2(target, "no stroke in sight to block");

        const int blueBefore = Count(Screenshot(view_, "main-grown"), BlockBlue);
        mouse.DoubleClick(Qt::RightButton, targetPixel);
        QVERIFY(target->blocked);
        QVERIFY(SameCamera(TheViewCore()->mainGL.CurrentCamera(), camera_));  // no rotation
        QVERIFY(Count(Screenshot(view_, "main-blocked"), BlockBlue) > blueBefore);

        // Animate: the wave never enters a stroke that only the blocked ones lead to.
        const std::set<const Stroke*> reachable = Reachable(fibers, graph);
        const std::vector<const Stroke*> all = AllStrokes(fibers);
        QVERIFY(reachable.size() < all.size());
        const Stroke* parent = nullptr;
        for (const Stroke* stroke : all) {
            if (stroke->links.count(target) && reachable.count(stroke)) parent = stroke;
        }
        QVERIFY(parent);
        std::set<const Stroke*> excited;
        bool beyondBlock = false;
        int stepsSinceParent = -1;
        {
            PaintWatcher watcher(view_, [&] {
                for (const Stroke* stroke : all) {
                    if (stroke->activation == 0) continue;
                    excited.insert(stroke);
                    if (!reachable.count(stroke)) beyondBlock = true;
                }
                if (stepsSinceParent >= 0) ++stepsSinceParent;
                if (stepsSinceParent < 0 && parent->activation == 10) {
                    stepsSinceParent = 0;
                    Screenshot(view_, "main-wave-at-block");
                }
            });
            QVERIFY(ChooseMenu(frame_, "Animation", "Animation1"));
            QTRY_VERIFY_WITH_TIMEOUT(stepsSinceParent >= 5, 120000);
            QVERIFY(ChooseMenu(frame_, "Animation", "Animation1"));
        }
        QVERIFY(!beyondBlock);
        QVERIFY(!excited.count(target));

        // A second right double click lifts the block, and the wave passes again.
        mouse.DoubleClick(Qt::RightButton, targetPixel);
        QVERIFY(!target->blocked);
        bool passed = false;
        {
            PaintWatcher watcher(view_, [&] {
                if (target->activation != 0) passed = true;
            });
            QVERIFY(ChooseMenu(frame_, "Animation", "Animation1"));
            QTRY_VERIFY_WITH_TIMEOUT(passed, 120000);
            QVERIFY(ChooseMenu(frame_, "Animation", "Animation1"));
        }
    }

private:
    void RestoreCamera() {
        TheViewCore()->mainGL.SetCamera(camera_);
        RenderPickBuffer(TheViewCore()->mainGL, *TheHeartModel(), *TheFiberCore());
        view_->repaint();
    }

    std::unique_ptr<CVantrelApp> program_;
    CMainFrame* frame_ = nullptr;
    CVantrelView* view_ = nullptr;
    MLforMainWindow* listener_ = nullptr;
    QPoint area_;
    Camera camera_;
};

VANTREL_QT_TEST_MAIN(EditMainTest)
#include "app_edit_main_test.moc"
