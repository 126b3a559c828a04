// Undo and redo in the running program: every kind of edit, made through the menus,
// the mouse and the dialogs, is one step under its name; Ctrl+Z brings back exactly
// the work before it (scene, physiology, blocks and region ids) and Ctrl+Shift+Z or
// Ctrl+Y the work after it.
#include <QLineEdit>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <functional>

#include "app/GrowthParameterDlg.h"
#include "app/PhysiologyDlg.h"
#include "app/WorkState.h"
#include "edit_harness.h"

using namespace vantrel;
using namespace vantrel::testing;

namespace {

// Everything an undo must bring back, as one text.
std::string Work() {
    std::string text = SceneText(ProgramScene());
    for (std::int32_t id : TheHeartModel()->regionIds) text += std::to_string(id) + ",";
    return text;
}

int Steps() {
    return Frame()->History().Stack().index();
}

// A rule-window pixel inside the handle with pick code `code` (its 3x3 neighbourhood
// shows the handle too).
std::optional<QPoint> HandlePixel(std::uint32_t code) {
    const PickBuffer& pick = TheViewCore()->ruleGL.Pick();
    const double ratio = Frame()->RuleView()->devicePixelRatioF();
    auto codeAt = [&pick](int column, int row) {
        const PickSample sample = pick.Read(column, row);
        return sample.hit ? sample.code & 0xFFFFFFu : kPickBackground;
    };
    for (int row = 1; row + 1 < pick.Height(); ++row) {
        for (int column = 1; column + 1 < pick.Width(); ++column) {
            bool all = true;
            for (int d = 0; d < 9 && all; ++d)
                all = codeAt(column + d % 3 - 1, row + d / 3 - 1) == code;
            if (all) return QPoint(int(column / ratio), int((pick.Height() - 1 - row) / ratio));
        }
    }
    return std::nullopt;
}

// A main-view pixel on the middle of a grown stroke.
std::optional<QPoint> StrokePixel() {
    QWidget* view = Frame()->MainView();
    for (const Fiber& fiber : TheFiberCore()->fibers) {
        for (const auto& stroke : fiber.strokes) {
            const std::vector<Vector3>& points = stroke->path.points;
            if (points.size() < 3) continue;
            const auto at = ProjectToView(TheViewCore()->mainGL, points[points.size() / 2],
                                          view->devicePixelRatioF());
            if (at && view->rect().adjusted(5, 5, -5, -5).contains(at->toPoint()))
                return at->toPoint();
        }
    }
    return std::nullopt;
}

// Drags the handle of `slider` by `pixels` with the mouse.
void DragSlider(QSlider* slider, int pixels) {
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    const QPoint handle =
        slider->style()
            ->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, slider)
            .center();
    QTest::mousePress(slider, Qt::LeftButton, {}, handle);
    QTest::mouseMove(slider, handle + QPoint(pixels / 2, 0));
    QTest::mouseMove(slider, handle + QPoint(pixels, 0));
    QTest::mouseRelease(slider, Qt::LeftButton, {}, handle + QPoint(pixels, 0));
}

struct EditCase {
    const char* step;             // the step's name in the Edit menu
    std::function<void()> setUp;  // made before, recorded as steps of their own
    std::function<void()> edit;   // the edit itself, through the user interface
};

}  // namespace

class UndoTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        UseCloseUpCamera();
        const std::optional<QPoint> area = SegmentedArea(Frame()->MainView(), 48);
        QVERIFY2(area, "no segmented area in the main view");
        area_ = *area;
    }

    void everyEditIsOneStepThatUndoAndRedoTakeBackExactly() {
        ViewMouse main(Frame()->MainView());
        ViewMouse rules(Frame()->RuleView());
        auto* parameters = static_cast<GrowthParameterDlg*>(TheViewCore()->parameterDialog.data());
        const QString scene = OutputDir() + "/undo-scene.json";
        std::string error;
        Scene opened;
        opened.parameters.SegmentResolution = 9;
        QVERIFY(WriteSceneFile(scene.toStdString(), opened, error));
        const std::vector<EditCase> cases = {
            {"Place Start Points", {}, [&] { main.Click(Qt::LeftButton, area_); }},
            {"Draw Feature Curve", [] { QVERIFY(ChooseMenu("Growth", "Draw Features")); },
             [&] {
                 std::vector<QPoint> path;
                 for (int i = 0; i < 8; ++i) path.push_back(area_ + QPoint(4 * i - 16, 3 * i));
                 main.Drag(Qt::LeftButton, path);
                 QVERIFY(ChooseMenu("Growth", "Place Start Point"));
             }},
            {"Drag Rule Handle",
             {},
             [&] {
                 const std::optional<QPoint> handle = HandlePixel(256 + 129);
                 QVERIFY2(handle, "no handle of rule 2 in sight");
                 rules.Drag(Qt::LeftButton,
                            {*handle, *handle + QPoint(8, 0), *handle + QPoint(16, 0)});
             }},
            {"Add Lateral",
             {},
             [] { QVERIFY(ChooseMenu("RewritingRule", "add lateral to rule2")); }},
            {"Remove Lateral",
             {},
             [] { QVERIFY(ChooseMenu("RewritingRule", "remove lateral to rule 2")); }},
            {"Change Parameters", [] { QVERIFY(ChooseMenu("Growth", "Show Parameter dlg")); },
             [&] {
                 DragSlider(parameters->gradientDirectionRateSlider(), 40);
                 parameters->hide();
             }},
            {"Shuffle Growth Apex order",
             {},
             [] { QVERIFY(ChooseMenu("Growth", "Shuffle Growth Apex order")); }},
            {"Change Physiology",
             {},
             [] {
                 ModalDialogHandler handler([](QDialog* dialog) {
                     auto* physiology = dynamic_cast<PhysiologyDlg*>(dialog);
                     if (!physiology) return dialog->reject();
                     physiology->purkinjeEdit->setText("3.25");
                     physiology->accept();
                 });
                 QVERIFY(ChooseMenu("Growth", "Physiology..."));
             }},
            // Before the growth: the network it deletes is not history.
            {"Init All Strokes", {}, [] { QVERIFY(ChooseMenu("Growth", "Init All Strokes")); }},
            {"Toggle Block", [] { QVERIFY(ChooseMenu("Growth", "Go Growth")); },
             [&] {
                 const std::optional<QPoint> stroke = StrokePixel();
                 QVERIFY2(stroke, "no stroke in sight");
                 main.DoubleClick(Qt::RightButton, *stroke);
             }},
            {"Clear Start Points", {}, [] { QVERIFY(ChooseMenu("&Edit", "Clear Start Points")); }},
            {"Clear Feature Curves",
             [] {
                 Polyline curve;
                 curve.points = {Vector3(4, 4, 4), Vector3(5, 5, 5)};
                 TheFiberCore()->featureCurves.push_back(curve);
             },
             [] { QVERIFY(ChooseMenu("&Edit", "Clear Feature Curves")); }},
            {"Open Scene", [&] { FileNames().Answer(scene); },
             [] { QVERIFY(ChooseMenu("&File", "Open Scene...")); }},
            {"Clear Segmentation", [] { SegmentationAnswers().Answer(SegmentationAnswer::kClear); },
             [] { QVERIFY(ChooseMenu("Segmentation", "SegmentationMode")); }},
            {"Paint Segmentation",
             {},
             [&] {
                 main.Drag(Qt::LeftButton, {area_, area_ + QPoint(6, 0), area_ + QPoint(12, 0)});
             }},
            {"Erase Segmentation", {}, [&] { main.DoubleClick(Qt::RightButton, area_); }},
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
    QPoint area_;
};

VANTREL_PROGRAM_TEST_MAIN(UndoTest)
#include "app_undo_test.moc"
