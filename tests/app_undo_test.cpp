// Undo and redo in the running program: every kind of edit, made through the menus,
// the mouse and the dialogs, is one step under its name; Ctrl+Z brings back exactly
// the work before it (scene, physiology, blocks and region ids) and Ctrl+Shift+Z or
// Ctrl+Y the work after it.
#include <QLineEdit>
#include <QSlider>
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

struct EditCase {
    const char* step;                  // the step's name in the Edit menu
    std::function<void()> edit;        // the edit itself, through the user interface
    std::function<void()> setUp = {};  // made before, recorded as steps of their own
};

std::function<void()> Menu(const char* menu, const char* item) {
    return [menu, item] { QVERIFY2(ChooseMenu(menu, item), item); };
}

}  // namespace

class UndoTest : public QObject {
    Q_OBJECT

private slots:
    void everyEditIsOneStepThatUndoAndRedoTakeBackExactly() {
        UseCloseUpCamera();
        const std::optional<QPoint> area = SegmentedArea(Frame()->MainView(), 48);
        QVERIFY2(area, "no segmented area in the main view");
        const QPoint a = *area;
        ViewMouse main(Frame()->MainView());
        auto* parameters = static_cast<GrowthParameterDlg*>(TheViewCore()->parameterDialog.data());
        const QString scene = OutputDir() + "/undo-scene.json";
        std::string error;
        Scene opened;
        opened.parameters.SegmentResolution = 9;
        QVERIFY(WriteSceneFile(scene.toStdString(), opened, error));
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
            {"Shuffle Growth Apex order", Menu("Growth", "Shuffle Growth Apex order")},
            {"Toggle Block",
             [&] {
                 const std::optional<QPoint> stroke = StrokePixel();
                 QVERIFY2(stroke, "no stroke in sight");
                 main.DoubleClick(Qt::RightButton, *stroke);
             },
             Menu("Growth", "Go Growth")},
            {"Open Scene", Menu("&File", "Open Scene..."), [&] { FileNames().Answer(scene); }},
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
};

VANTREL_PROGRAM_TEST_MAIN(UndoTest)
#include "app_undo_test.moc"
