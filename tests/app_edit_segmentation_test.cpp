// Segmentation painting in the running program on the demo heart: a left drag that
// starts on the heart paints around every polygon under the cursor from its first
// move on, right and middle double clicks erase, a press off the heart does nothing,
// and the exported file holds what the screen shows and loads again. Every input is
// a real mouse event sent through the frame's window.
#include <QFile>

#include "app/CommandIds.h"
#include "edit_harness.h"

using namespace vantrel;
using namespace vantrel::testing;

namespace {

std::set<int> PaintedPolygons() {
    std::set<int> painted;
    const std::vector<std::int32_t>& ids = TheHeartModel()->regionIds;
    for (size_t i = 0; i < ids.size(); ++i) {
        if (ids[i] != 0) painted.insert(static_cast<int>(i));
    }
    return painted;
}

}  // namespace

class EditSegmentationTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        view_ = Frame()->MainView();
        // The fibre layer's translucent points would tint the colours compared below.
        QVERIFY(ChooseMenu("Rendering Mode", "Volume Field"));
        const std::optional<QPoint> area =
            AreaWhere(view_, 60, [](QPoint p) { return PolygonAt(p) >= 0; });
        QVERIFY(area);
        area_ = *area;
        camera_ = TheViewCore()->mainGL.CurrentCamera();
    }

    void cleanup() {
        QVERIFY(!TheMLforSegmentation()->leftDown && !TheMLforSegmentation()->rightDown &&
                !TheMLforSegmentation()->middleDown);
        QVERIFY(!TheViewCore()->mainGL.Dragging());
        QVERIFY(SameCamera(TheViewCore()->mainGL.CurrentCamera(), camera_));
    }

    void switchingModeDuringAPlacementEndsIt() {
        MLforMainWindow* main = TheMLforMainWindow();
        ViewMouse mouse(view_);
        mouse.Press(Qt::LeftButton, area_);
        QVERIFY(main->placingStart);
        // The mode changes while the button is held (as a shortcut could do it); the
        // segmentation is cleared.
        SegmentationAnswers().Answer(SegmentationAnswer::kClear);
        Frame()->Commands().Action(command::kSegmentationMode)->trigger();
        mouse.Move(area_ + QPoint(10, 0));
        // The main listener got its release; the region was cleared, so nothing was placed.
        QVERIFY(!main->leftDown && !main->placingStart);
        QVERIFY(TheFiberCore()->startPoints.empty());
        mouse.Release(Qt::LeftButton, area_ + QPoint(10, 0));
        QVERIFY(PaintedPolygons().empty());
    }

    void pressOffTheHeartOrWithoutMovePaintsNothing() {
        const std::optional<QPoint> background = BackgroundPixel(view_);
        QVERIFY(background);
        ViewMouse(view_).Drag(Qt::LeftButton, {*background, area_, area_ + QPoint(20, 0)});
        ViewMouse(view_).Click(Qt::LeftButton, area_);
        QVERIFY(PaintedPolygons().empty());
    }

    void dragPaintsAroundEveryPolygonUnderTheCursor() {
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
        ViewMouse(view_).Drag(Qt::LeftButton, path);
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

    void paintingDuringARotationLeavesNothingStuck() {
        QVERIFY(!painted_.empty());
        const std::set<int> before = PaintedPolygons();
        const QPoint start = painted_[0] + QPoint(0, 40);
        ViewMouse mouse(view_);
        mouse.Press(Qt::RightButton, start);
        mouse.Press(Qt::LeftButton, start);
        mouse.Move(start + QPoint(10, 0));  // paints; the camera stays
        QVERIFY(PaintedPolygons().size() > before.size());
        mouse.Release(Qt::LeftButton, start + QPoint(10, 0));
        QVERIFY(TheViewCore()->mainGL.Dragging());  // the rotation goes on
        mouse.Release(Qt::RightButton, start + QPoint(10, 0));
    }

    void exportedFileHoldsWhatTheScreenShowsAndLoadsAgain() {
        ViewMouse mouse(view_);
        for (int row = 0; row < 4; ++row) {
            std::vector<QPoint> path;
            for (int step = 0; step <= 10; ++step)
                path.push_back(area_ + QPoint(-50 + 10 * step, -45 + 30 * row));
            mouse.Drag(Qt::LeftButton, path);
        }
        const std::vector<std::int32_t> shown = TheHeartModel()->regionIds;

        const QString chosen = OutputDir() + "/painted-by-mouse";
        const QString written = chosen + ".kxseg";
        QFile::remove(written);
        FileNames().Answer(chosen);
        QVERIFY(ChooseMenu("Segmentation", "Export Current Segmentation"));
        // The next start reads the file back into the same ids.
        HeartModel restarted;
        QVERIFY(restarted.LoadHeart(DemoHeart(), SegmentationChoice::File(written.toStdString())));
        const std::vector<std::int32_t>& fileIds = restarted.regionIds;
        QVERIFY(fileIds == shown);

        // Every pixel of the heart is pink where the file says segmented and grey
        // where it says not.
        const QImage image = Screenshot(view_, "segmentation-exported");
        int pixels[2] = {0, 0};  // unsegmented, segmented
        for (int y = 0; y < image.height(); y += 2) {
            for (int x = 0; x < image.width(); x += 2) {
                const int polygon = PolygonAt(QPoint(x, y));
                if (polygon < 0) continue;
                const QColor c = image.pixelColor(x, y);
                const bool segmented = fileIds[static_cast<size_t>(polygon)] != 0;
                const bool pink = c.red() - c.green() > 15;
                const bool grey = std::abs(c.red() - c.green()) <= 5;
                QVERIFY2(segmented ? pink : grey, qPrintable(QString("%1,%2").arg(x).arg(y)));
                ++pixels[segmented];
            }
        }
        QVERIFY(pixels[0] > 300 && pixels[1] > 300);
    }

private:
    CVantrelView* view_ = nullptr;
    QPoint area_;
    Camera camera_;
    std::vector<QPoint> painted_;
};

VANTREL_PROGRAM_TEST_MAIN(EditSegmentationTest)
#include "app_edit_segmentation_test.moc"
