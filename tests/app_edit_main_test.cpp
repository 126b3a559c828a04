// Mouse input in the main view of the running program on the demo heart: start
// points placed by a drag, feature curves sketched, conduction blocks toggled by a
// right double click, drags that end in unusual ways, segmentation painted and
// erased, picks checked by ray casting, and every kind of edit undone and redone.
// Every input is a real mouse event sent through the frame's window.
#include <QDialog>
#include <QLineEdit>
#include <QSlider>
#include <functional>

#include "app/CommandIds.h"
#include "app/GrowthParameterDlg.h"
#include "app/PhysiologyDlg.h"
#include "app/WorkState.h"
#include "edit_harness.h"
#include "growth/SurfaceSketch.h"

using namespace vantrel;
using namespace vantrel::testing;

namespace {

bool Yellow(const QColor& c) {
    return c.red() > 150 && c.green() > 150 && c.blue() < 80;
}
bool Same(const Vector3& a, const Vector3& b) {
    return (a - b).Length() == 0.0;
}
// The lit blue of a blocked tube.
bool BlockBlue(const QColor& c) {
    return c.blue() > 100 && c.blue() > c.red() + 60 && c.blue() > c.green() + 60;
}

std::set<int> PaintedPolygons() {
    std::set<int> painted;
    const std::vector<std::int32_t>& ids = TheHeartModel()->regionIds;
    for (size_t i = 0; i < ids.size(); ++i) {
        if (ids[i] != 0) painted.insert(static_cast<int>(i));
    }
    return painted;
}

// The point under the surface that a press (or, deeper, a move) at `p` takes.
Vector3 SketchPointAt(QPoint p, bool press, Vector3* normal) {
    Vector3 q;
    if (!SurfaceAt(p, &q, normal)) return Vector3(1e30, 0, 0);
    const double layer = TheHeartModel()->LayerDepth();
    return PointUnderSurface(q, *normal,
                             press ? layer : 0.5 * TheHeartModel()->volume.VoxelSize() + layer);
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
// of pixels that disagree other than across a shared edge or corner, or whose picked
// point (from the pick depth) is off the picked polygon's plane; counts hits.
int PickMismatches(const QWidget* view, int* hits) {
    int mismatches = 0;
    *hits = 0;
    for (int y = 7; y < view->height(); y += 23) {
        for (int x = 5; x < view->width(); x += 29) {
            const int picked = PolygonAt(QPoint(x, y));
            const int expected = RayCastPolygon(x, y);
            if (picked < 0) {
                mismatches += expected >= 0;
                continue;
            }
            ++*hits;
            Vector3 point, normal;
            SurfaceAt(QPoint(x, y), &point, &normal);
            const MeshPolygon& polygon = TheHeartModel()->mesh.polygons[size_t(picked)];
            const Vector3& corner = TheHeartModel()->mesh.vertices[polygon.vertex[0]].position;
            const bool onPlane = std::fabs(Dot(point - corner, normal)) < 0.01;
            mismatches += !(expected >= 0 && PolygonsAround(picked).count(expected) && onPlane);
        }
    }
    return mismatches;
}

// Everything an undo must bring back, as one text.
std::string Work() {
    std::string text = SceneText(ProgramScene());
    for (std::int32_t id : TheHeartModel()->regionIds) text += std::to_string(id) + ",";
    return text;
}

int Steps() {
    return Frame()->History().Stack().index();
}

struct EditCase {
    const char* step;                  // the step's name in the Edit menu
    std::function<void()> edit;        // the edit itself, through the user interface
    std::function<void()> setUp = {};  // made before, recorded as steps of their own
};

std::function<void()> Menu(const char* menu, const char* item) {
    return [menu, item] { QVERIFY2(ChooseMenu(menu, item), item); };
}

}  // namespace

class EditMainTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        view_ = Frame()->MainView();
        UseCloseUpCamera();
        // The fibre layer's translucent points would tint the colours looked for below.
        QVERIFY(ChooseMenu("Rendering Mode", "Volume Field"));
        const std::optional<QPoint> area = SegmentedArea(view_, 48);
        QVERIFY2(area, "no segmented area in the main view");
        area_ = *area;
        camera_ = TheViewCore()->mainGL.CurrentCamera();
        segmented_ = TheHeartModel()->regionIds;
    }

    void init() {
        TheFiberCore()->startPoints.clear();
        TheFiberCore()->featureCurves.clear();
        TheFiberCore()->placeStartPoint = true;
    }

    void cleanup() {
        // Every test leaves the camera still and where it started.
        QVERIFY(!TheViewCore()->mainGL.Dragging());
        QVERIFY(SameCamera(TheViewCore()->mainGL.CurrentCamera(), camera_));
    }

    void dragOnTheHeartPlacesFourStartPointsAimedAtTheRelease() {
        // Closer to the wall first (a middle drag downwards), as a user would, so the
        // 0.2-long arrow is large enough to look at.
        ViewMouse mouse(view_);
        std::vector<QPoint> zoom;
        for (int step = 0; step <= 12; ++step) zoom.push_back(QPoint(20, 20 + 60 * step));
        mouse.Drag(Qt::MiddleButton, zoom);
        const std::optional<QPoint> area = SegmentedArea(view_, 48);
        QVERIFY(area);
        const QPoint aim = *area + QPoint(30, 12);
        Vector3 n0, n1;
        const Vector3 position = SketchPointAt(*area, true, &n0);
        Polyline aimed;
        aimed.points = {position, position};
        AimPlacement(aimed, SketchPointAt(aim, false, &n1));

        const int yellowBefore = CountPixels(Screenshot(view_, "main-before-placing"), Yellow);
        mouse.Press(Qt::LeftButton, *area);
        mouse.Move(*area + QPoint(10, 4));
        mouse.Move(aim);
        // While the button is down the overlay shows the arrow and nothing is placed.
        QVERIFY(CountPixels(Screenshot(view_, "main-placing-start"), Yellow) > yellowBefore + 10);
        QVERIFY(TheFiberCore()->startPoints.empty());
        mouse.Release(Qt::LeftButton, aim);
        // Four start points turned about the normal under the release point.
        const auto expected = QuarterTurnStartPoints(position, aimed.points[1], n1);
        QCOMPARE(TheFiberCore()->startPoints.size(), size_t(4));
        for (int i = 0; i < 4; ++i) {
            const StartPoint& start = TheFiberCore()->startPoints[static_cast<size_t>(i)];
            QVERIFY(Same(start.position, expected[i].position));
            QVERIFY(Same(start.directionPoint, expected[i].directionPoint));
        }
        RestoreCamera();
    }

    void onlyAPlacementReleasedOnTheRegionAfterAPickPassAddsPoints() {
        ViewMouse mouse(view_);
        // A click places four points without direction; a double click's second press
        // is no press: four more, not eight.
        mouse.Click(Qt::LeftButton, area_);
        QCOMPARE(TheFiberCore()->startPoints.size(), size_t(4));
        for (const StartPoint& start : TheFiberCore()->startPoints)
            QVERIFY(Same(start.directionPoint, start.position));
        mouse.DoubleClick(Qt::LeftButton, area_);
        QCOMPARE(TheFiberCore()->startPoints.size(), size_t(8));
        // Released off the heart, or on a polygon that is not segmented (when one is in
        // sight): nothing.
        const std::optional<QPoint> background = BackgroundPixel(view_);
        const std::optional<QPoint> plain =
            AreaWhere(view_, 0, [](QPoint p) { return PolygonAt(p) >= 0 && !SegmentedAt(p); });
        QVERIFY(background);
        mouse.Drag(Qt::LeftButton, {area_, area_ + QPoint(10, 0), *background});
        if (plain) mouse.Drag(Qt::LeftButton, {area_, *plain});
        // What a window-manager resize leaves until the next pick pass: buffers of the
        // new size that hold no pass yet. The press there picks nothing.
        TheViewCore()->mainGL.Resize(view_->width(), view_->height());
        mouse.Click(Qt::LeftButton, area_);
        QCOMPARE(TheFiberCore()->startPoints.size(), size_t(8));
        // That release rendered the pick buffers: the next click places.
        mouse.Click(Qt::LeftButton, area_);
        QCOMPARE(TheFiberCore()->startPoints.size(), size_t(12));
    }

    void sketchNeedsFivePointsAndBecomesTheSmoothedCurve() {
        QVERIFY(ChooseMenu("Growth", "Draw Features"));
        ViewMouse mouse(view_);
        // Press and three moves: four points, discarded at the release.
        mouse.Drag(Qt::LeftButton,
                   {area_, area_ + QPoint(8, 2), area_ + QPoint(16, 5), area_ + QPoint(24, 9)});
        QVERIFY(TheFiberCore()->featureCurves.empty());

        const std::optional<QPoint> background = BackgroundPixel(view_);
        QVERIFY(background);
        Polyline sketch;
        Vector3 normal;
        for (int i = 0; i < 5; ++i) {
            const QPoint at = area_ + QPoint(12 * i - 30, i * i - 5 * i + 10);
            sketch.points.push_back(SketchPointAt(at, i == 0, &normal));
            i == 0 ? mouse.Press(Qt::LeftButton, at) : mouse.Move(at);
            mouse.Move(*background);  // off the heart: no point
        }
        // The sketch shows as thick yellow lines while the button is down.
        QVERIFY(CountPixels(Screenshot(view_, "main-sketching"), Yellow) > 40);
        // Released where the last move went, so no move comes in between.
        mouse.Release(Qt::LeftButton, *background);
        QCOMPARE(TheFiberCore()->featureCurves.size(), size_t(1));
        const Polyline expected = *FeatureCurveFromSketch(sketch);
        QCOMPARE(TheFiberCore()->featureCurves[0].points.size(), expected.points.size());
        for (size_t i = 0; i < expected.points.size(); ++i)
            QVERIFY(Same(TheFiberCore()->featureCurves[0].points[i], expected.points[i]));
        QVERIFY(CountPixels(Screenshot(view_, "main-feature-curve"), Yellow) > 10);
        QVERIFY(ChooseMenu("Growth", "Place Start Point"));
    }

    void dragsThatEndInUnusualWaysLeaveNothingStuck() {
        ViewMouse mouse(view_);
        // A placement released outside the window, after passing the rule window, adds
        // nothing.
        const QPoint outside(view_->width() + Frame()->width(), view_->height() / 2);
        mouse.Drag(Qt::LeftButton, {area_, area_ + QPoint(15, 0), QPoint(-30, 20), outside});
        QVERIFY(TheFiberCore()->startPoints.empty());
        // Placement, with a right drag pressed and released in between: the placement
        // goes on and completes.
        mouse.Press(Qt::LeftButton, area_);
        mouse.Press(Qt::RightButton, area_ + QPoint(5, 0));
        mouse.Move(area_ + QPoint(12, 3));
        mouse.Release(Qt::RightButton, area_ + QPoint(12, 3));
        mouse.Move(area_ + QPoint(20, 6));
        mouse.Release(Qt::LeftButton, area_ + QPoint(20, 6));
        QCOMPARE(TheFiberCore()->startPoints.size(), size_t(4));
        TheFiberCore()->startPoints.clear();
        // A release lost to a modal dialog that comes up while the button is held: the
        // frame is blocked and never hears of it.
        mouse.Press(Qt::LeftButton, area_);
        QDialog blocker(Frame());
        blocker.setModal(true);
        blocker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&blocker));
        mouse.Release(Qt::LeftButton, area_);
        blocker.hide();
        QVERIFY(TheFiberCore()->startPoints.empty());
        // The next move over the view, with no button held, hands the listener its
        // release at the last position it saw (the press), which completes the placement.
        mouse.Move(area_ + QPoint(40, 0));
        QCOMPARE(TheFiberCore()->startPoints.size(), size_t(4));
        Frame()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(Frame()));
    }

    void rightDoubleClickTogglesTheBlockOfTheStrokeUnderTheCursor() {
        ViewMouse mouse(view_);
        mouse.Drag(Qt::LeftButton, {area_, area_ + QPoint(0, -20)});
        QVERIFY(ChooseMenu("Growth", "Go Growth"));
        const std::optional<QPoint> pixel = StrokePixel();
        QVERIFY2(pixel, "no stroke in sight to block");
        const int blueBefore = CountPixels(Screenshot(view_, "main-grown"), BlockBlue);
        mouse.DoubleClick(Qt::RightButton, *pixel);
        // A block, drawn blue.
        QVERIFY(CountPixels(Screenshot(view_, "main-blocked"), BlockBlue) > blueBefore);
        // The second double click lifts the block.
        mouse.DoubleClick(Qt::RightButton, *pixel);
        QCOMPARE(CountPixels(Screenshot(view_, "main-unblocked"), BlockBlue), blueBefore);
    }

    // Segmentation painting: a left drag that starts on the heart paints around every
    // polygon under the cursor from its first move on, right and middle double clicks
    // erase, and the exported file loads again into the same segmentation.

    void switchingToSegmentationDuringAPlacementEndsIt() {
        // The block test's fibres would hide the painting looked at below.
        QVERIFY(ChooseMenu("Growth", "Init All Strokes"));
        ViewMouse mouse(view_);
        mouse.Press(Qt::LeftButton, area_);
        // The mode changes while the button is held (as a shortcut could do it); the
        // segmentation is cleared.
        SegmentationAnswers().Answer(SegmentationAnswer::kClear);
        Frame()->Commands().Action(command::kSegmentationMode)->trigger();
        mouse.Move(area_ + QPoint(10, 0));
        // The main listener got its release; the region was cleared, so nothing was placed.
        QVERIFY(!TheMLforMainWindow()->leftDown && !TheMLforMainWindow()->placingStart);
        QVERIFY(TheFiberCore()->startPoints.empty());
        mouse.Release(Qt::LeftButton, area_ + QPoint(10, 0));
        QVERIFY(PaintedPolygons().empty());
    }

    void onlyADragFromTheHeartPaintsAroundEveryPolygonUnderTheCursor() {
        ViewMouse mouse(view_);
        mouse.Drag(Qt::LeftButton, {*BackgroundPixel(view_), area_, area_ + QPoint(20, 0)});
        mouse.Click(Qt::LeftButton, area_);
        QVERIFY(PaintedPolygons().empty());
        std::vector<QPoint> path;
        for (int step = 0; step <= 8; ++step)
            path.push_back(area_ + QPoint(-40 + 10 * step, -3 * step));
        // The press picks but paints nothing; every move paints around its polygon.
        std::set<int> expected;
        for (size_t i = 1; i < path.size(); ++i) {
            const std::set<int> around = PolygonsAround(PolygonAt(path[i]));
            expected.insert(around.begin(), around.end());
        }
        const QImage before = Screenshot(view_, "segmentation-before-painting");
        mouse.Drag(Qt::LeftButton, path);
        QVERIFY(PaintedPolygons() == expected);
        QVERIFY(Screenshot(view_, "segmentation-painted") != before);
        painted_ = path;
    }

    void rightAndMiddleDoubleClicksEraseAroundThePolygon() {
        // The painted path comes from the painting test; without it there is nothing to erase.
        QVERIFY(painted_.size() > 6);
        ViewMouse mouse(view_);
        for (const auto& [button, at] :
             {std::pair{Qt::RightButton, painted_[3]}, std::pair{Qt::MiddleButton, painted_[6]}}) {
            const std::set<int> before = PaintedPolygons();
            const std::set<int> erased = PolygonsAround(PolygonAt(at));
            mouse.DoubleClick(button, at);
            std::set<int> expected;
            for (int polygon : before) {
                if (!erased.count(polygon)) expected.insert(polygon);
            }
            QVERIFY(PaintedPolygons() == expected && expected.size() < before.size());
        }
        // A left double click neither paints nor erases.
        const std::set<int> before = PaintedPolygons();
        mouse.DoubleClick(Qt::LeftButton, painted_[1]);
        QVERIFY(PaintedPolygons() == before);
    }

    void exportedSegmentationLoadsAgain() {
        QVERIFY(!PaintedPolygons().empty());
        const QString chosen = OutputDir() + "/painted-by-mouse";
        QFile::remove(chosen + ".kxseg");
        FileNames().Answer(chosen);
        QVERIFY(ChooseMenu("Segmentation", "Export Current Segmentation"));
        // The next start reads the file back into the same ids.
        HeartModel restarted;
        QVERIFY(restarted.LoadHeart(DemoHeart(),
                                    SegmentationChoice::File((chosen + ".kxseg").toStdString())));
        QVERIFY(restarted.regionIds == TheHeartModel()->regionIds);
        QVERIFY(ChooseMenu("Segmentation", "SegmentationMode"));
    }

    void afterAnOrbitAndAResizePicksNameThePolygonTheRayMeetsFirst() {
        std::vector<QPoint> path;
        for (int step = 0; step <= 10; ++step)
            path.push_back(QPoint(300 + 8 * step, 200 - 5 * step));
        ViewMouse(view_).Drag(Qt::RightButton, path);
        const int width = view_->width() + 60;
        Frame()->resize(Frame()->width() + 60, Frame()->height() + 40);
        QTRY_COMPARE(view_->width(), width);
        int hits = 0;
        QCOMPARE(PickMismatches(view_, &hits), 0);
        QVERIFY(hits > 100);
        RestoreCamera();
    }

    // Undo and redo: every kind of edit, made through the menus, the mouse and the
    // dialogs, is one step under its name; Ctrl+Z brings back exactly the work before it
    // (scene, physiology, blocks and region ids) and Ctrl+Shift+Z or Ctrl+Y the work
    // after it.
    void everyEditIsOneStepThatUndoAndRedoTakeBackExactly() {
        // The start-up segmentation back, after the painting tests.
        TheHeartModel()->regionIds = segmented_;
        TheHeartModel()->RebuildFibreLayer();
        UseCloseUpCamera();
        const std::optional<QPoint> area = SegmentedArea(Frame()->MainView(), 48);
        QVERIFY2(area, "no segmented area in the main view");
        const QPoint a = *area;
        ViewMouse main(Frame()->MainView());
        auto* parameters = static_cast<GrowthParameterDlg*>(TheViewCore()->parameterDialog.data());
        const std::vector<EditCase> cases = {
            {"Place Start Points", [&] { main.Click(Qt::LeftButton, a); }},
            {"Drag Rule Handle",
             [] {
                 const std::optional<QPoint> handle = HandlePixel(256 + 129);
                 QVERIFY2(handle, "no handle of rule 2 in sight");
                 ViewMouse(Frame()->RuleView())
                     .Drag(Qt::LeftButton,
                           {*handle, *handle + QPoint(8, 0), *handle + QPoint(16, 0)});
             }},
            {"Add Lateral", Menu("RewritingRule", "add lateral to rule2")},
            {"Change Parameters",
             [&] {
                 // What a drag of the slider's handle signals: moves while down, then the
                 // release.
                 QSlider* slider = parameters->gradientDirectionRateSlider();
                 slider->setSliderDown(true);
                 for (int step = 1; step <= 3; ++step) slider->setValue(slider->value() + 5);
                 slider->setSliderDown(false);
                 parameters->hide();
             },
             Menu("Growth", "Show Parameter dlg")},
            {"Change Physiology",
             [] {
                 ModalDialogHandler handler([](QDialog* dialog) {
                     auto* physiology = dynamic_cast<PhysiologyDlg*>(dialog);
                     if (!physiology) return dialog->reject();
                     physiology->purkinjeEdit->setText("3.25");
                     physiology->accept();
                 });
                 QVERIFY(ChooseMenu("Growth", "Physiology..."));
             }},
            {"Toggle Block",
             [&] {
                 const std::optional<QPoint> stroke = StrokePixel();
                 QVERIFY2(stroke, "no stroke in sight");
                 main.DoubleClick(Qt::RightButton, *stroke);
             },
             Menu("Growth", "Go Growth")},
            {"Clear Segmentation", Menu("Segmentation", "SegmentationMode"),
             [] { SegmentationAnswers().Answer(SegmentationAnswer::kClear); }},
            {"Paint Segmentation",
             [&] {
                 main.Drag(Qt::LeftButton, {a, a + QPoint(6, 0), a + QPoint(12, 0)});
             }},
        };
        for (const EditCase& c : cases) {
            if (c.setUp) c.setUp();
            Frame()->History().Record();
            const std::string before = Work();
            const int steps = Steps();
            c.edit();
            const std::string after = Work();
            QVERIFY2(after != before, c.step);
            QVERIFY2(Steps() == steps + 1, c.step);
            QVERIFY2(MenuAction("&Edit", QString("&Undo ") + c.step), c.step);
            QTest::keyClick(Frame(), Qt::Key_Z, Qt::ControlModifier);
            QVERIFY2(Work() == before, c.step);
            QTest::keyClick(Frame(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
            QVERIFY2(Work() == after, c.step);
            QTest::keyClick(Frame(), Qt::Key_Z, Qt::ControlModifier);
            QTest::keyClick(Frame(), Qt::Key_Y, Qt::ControlModifier);
            QVERIFY2(Work() == after, c.step);
        }
        QVERIFY(ChooseMenu("Segmentation", "SegmentationMode"));
    }

private:
    void RestoreCamera() {
        TheViewCore()->mainGL.SetCamera(camera_);
        TheViewCore()->mainRenderer.RenderPickBuffer(TheViewCore()->mainGL, *TheHeartModel(),
                                                     *TheFiberCore());
        view_->repaint();
    }

    CVantrelView* view_ = nullptr;
    QPoint area_;
    Camera camera_;
    std::vector<QPoint> painted_;  // the path of the painting test
    std::vector<std::int32_t> segmented_;
};

VANTREL_PROGRAM_TEST_MAIN(EditMainTest)
#include "app_edit_main_test.moc"
