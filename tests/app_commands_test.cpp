// The program's menu commands on the demo heart: check marks and mode groups,
// segmentation mode, the parameter dialog, growth with its progress, animation,
// rule commands and the export commands with their file dialogs.
#include <QFile>
#include <QKeyEvent>
#include <QSlider>
#include <QStatusBar>
#include <QToolBar>
#include <algorithm>

#include "app/CommandIds.h"
#include "app/ConsoleDock.h"
#include "app/GrowthParameterDlg.h"
#include "app_harness.h"
#include "cli/StartPolygon.h"
#include "render/FiberDrawing.h"

using namespace vantrel;
using namespace vantrel::testing;

namespace {

void PlaceStartPointsOn(int polygon) {
    HeartModel* heart = TheHeartModel();
    const MeshPolygon& p = heart->mesh.polygons[polygon];
    for (const StartPoint& start : StartPointsOnPolygon(
             heart->mesh.vertices[p.vertex[0]].position, heart->mesh.vertices[p.vertex[1]].position,
             heart->mesh.vertices[p.vertex[2]].position, p.normal, heart->LayerDepth())) {
        TheFiberCore()->startPoints.push_back(start);
    }
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return QByteArray("<missing>");
    return file.readAll();
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

}  // namespace

class CommandsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        program_ = StartOnDemoHeart();
        QVERIFY(program_);
        frame_ = program_->Frame();
        dialog_ = static_cast<GrowthParameterDlg*>(TheViewCore()->parameterDialog.data());
        QVERIFY(dialog_);
    }

    void cleanupTestCase() {
        if (program_) program_->Exit(0);
    }

    void fibreCommandsFlipOneFlagAndBothMarks() {
        QAction* wire = MenuAction(frame_, "Rendering Mode", "Wire Frame  for Fiber");
        QAction* polygon = MenuAction(frame_, "Rendering Mode", "Polygon      for Fiber");
        QVERIFY(polygon->isChecked() && !wire->isChecked());
        polygon->trigger();  // choosing the checked one switches to wire frame
        QVERIFY(!TheHeartModel()->fiberAsPolygon);
        QVERIFY(wire->isChecked() && !polygon->isChecked());
        wire->trigger();
        QVERIFY(TheHeartModel()->fiberAsPolygon);
        QVERIFY(polygon->isChecked() && !wire->isChecked());
    }

    void targetObjectCommandsFormAModeGroup() {
        HeartModel* heart = TheHeartModel();
        auto state = [heart] {
            return QString("%1%2%3")
                .arg(heart->targetFrame)
                .arg(heart->targetPolygon)
                .arg(heart->targetTransparent);
        };
        QCOMPARE(state(), QString("010"));
        QVERIFY(ChooseMenu(frame_, "Rendering Mode", "Target Object Frame"));
        QCOMPARE(state(), QString("100"));
        // The toolbar button is the same command.
        frame_->Commands().Action(command::kTargetObjectFrame)->trigger();
        QCOMPARE(state(), QString("000"));
        QVERIFY(ChooseMenu(frame_, "Rendering Mode", "Target Object Transparent"));
        QCOMPARE(state(), QString("001"));
        QVERIFY(ChooseMenu(frame_, "Rendering Mode", "Target Object Polygon"));
        QCOMPARE(state(), QString("010"));
        QVERIFY(ChooseMenu(frame_, "Rendering Mode", "Target Object Polygon"));
        QCOMPARE(state(), QString("000"));
        QVERIFY(!MenuAction(frame_, "Rendering Mode", "Target Object Polygon")->isChecked());
        QVERIFY(ChooseMenu(frame_, "Rendering Mode", "Target Object Polygon"));
        QCOMPARE(state(), QString("010"));
    }

    void optionAndFlagCommandsToggleWhatTheirMarksShow() {
        GrowthParameters& parameters = ProgramGrowthParameters();
        const struct {
            const char* menu;
            const char* text;
            bool* flag;
        } toggles[] = {
            {"Growth", "Fit Offset From targetPolygon", &parameters.FitOffsetFromTargetPolygon},
            {"Growth", "Shuffle Growth Apex order", &parameters.ShuffleGrowthApexOrder},
            {"Growth", "Create Tree Structure", &parameters.CreateTreeStructure},
            {"&View", "Outer Frame", &TheHeartModel()->outerFrame},
            {"Rendering Mode", "Volume Field", &TheHeartModel()->showVolumeField},
        };
        for (const auto& toggle : toggles) {
            QAction* action = MenuAction(frame_, toggle.menu, toggle.text);
            QVERIFY2(action, toggle.text);
            const bool before = *toggle.flag;
            action->trigger();
            QCOMPARE(*toggle.flag, !before);
            QCOMPARE(action->isChecked(), !before);
            action->trigger();
            QCOMPARE(*toggle.flag, before);
        }
        FiberCore* fibers = TheFiberCore();
        QVERIFY(ChooseMenu(frame_, "Growth", "Draw Features"));
        QVERIFY(!fibers->placeStartPoint);
        QVERIFY(MenuAction(frame_, "Growth", "Draw Features")->isChecked());
        QVERIFY(!MenuAction(frame_, "Growth", "Place Start Point")->isChecked());
        QVERIFY(ChooseMenu(frame_, "Growth", "Place Start Point"));
        QVERIFY(fibers->placeStartPoint);
        QVERIFY(ChooseMenu(frame_, "Growth", "Place Start Point"));
        QVERIFY(fibers->placeStartPoint);
    }

    void fitRotationChangesNothing() {
        const GrowthParameters before = ProgramGrowthParameters();
        const HeartModel* heart = TheHeartModel();
        const bool flags[] = {heart->showVolumeField, heart->fiberAsPolygon,    heart->targetFrame,
                              heart->targetPolygon,   heart->targetTransparent, heart->outerFrame};
        QVERIFY(ChooseMenu(frame_, "Growth", "Fit Rotation"));
        const GrowthParameters& after = ProgramGrowthParameters();
        QCOMPARE(after.FitOffsetFromTargetPolygon, before.FitOffsetFromTargetPolygon);
        QCOMPARE(after.ShuffleGrowthApexOrder, before.ShuffleGrowthApexOrder);
        QCOMPARE(after.SegmentResolution, before.SegmentResolution);
        const bool now[] = {heart->showVolumeField, heart->fiberAsPolygon,    heart->targetFrame,
                            heart->targetPolygon,   heart->targetTransparent, heart->outerFrame};
        QVERIFY(std::equal(std::begin(flags), std::end(flags), std::begin(now)));
        QVERIFY(!MenuAction(frame_, "Growth", "Fit Rotation")->isCheckable());
    }

    void parameterSlidersWriteAllThreeParameters() {
        QSlider* resolution = dialog_->segmentResolutionSlider();
        QSlider* gradient = dialog_->gradientDirectionRateSlider();
        QSlider* random = dialog_->randomDirectionRateSlider();
        QCOMPARE(resolution->value(), 3);
        QCOMPARE(gradient->value(), 75);
        QCOMPARE(random->value(), 40);
        QVERIFY(dialog_->isHidden());
        QVERIFY(ChooseMenu(frame_, "Growth", "Show Parameter dlg"));
        QVERIFY(QTest::qWaitForWindowExposed(dialog_));
        QCOMPARE(dialog_->windowTitle(), QString("Parameter Dialog"));

        GrowthParameters& parameters = ProgramGrowthParameters();
        // Stored values that no slider position gives back exactly.
        parameters.GradientDirectionRate = 0.753;
        parameters.RandomDirectionRate = 0.407;
        resolution->setFocus();
        QTest::keyClick(resolution, Qt::Key_Home);
        QCOMPARE(parameters.SegmentResolution, 2);
        QCOMPARE(parameters.GradientDirectionRate, 0.75);
        QCOMPARE(parameters.RandomDirectionRate, 0.4);
        QTest::keyClick(resolution, Qt::Key_End);
        QCOMPARE(parameters.SegmentResolution, 102);
        QTest::keyClick(gradient, Qt::Key_Left);
        QCOMPARE(parameters.GradientDirectionRate, 0.74);
        QTest::keyClick(random, Qt::Key_End);
        QCOMPARE(parameters.RandomDirectionRate, 1.0);

        QTest::keyClick(dialog_, Qt::Key_Escape);
        QTRY_VERIFY(dialog_->isHidden());
        QVERIFY(ChooseMenu(frame_, "Growth", "Show Parameter dlg"));
        QTRY_VERIFY(dialog_->isVisible());
        QTest::keyClick(dialog_, Qt::Key_Return);
        QTRY_VERIFY(dialog_->isHidden());
        QCOMPARE(parameters.SegmentResolution, 102);  // hiding keeps what the sliders set

        // Back to the start values for the growth below.
        QTest::keyClick(resolution, Qt::Key_Home);
        for (int i = 0; i < 3; ++i) QTest::keyClick(resolution, Qt::Key_Right);
        QTest::keyClick(gradient, Qt::Key_Right);
        random->setValue(40);
        QCOMPARE(parameters.SegmentResolution, 5);
        QCOMPARE(parameters.GradientDirectionRate, 0.75);
        QCOMPARE(parameters.RandomDirectionRate, 0.4);
    }

    void rule2LateralCommandsChangeItsCount() {
        RewritingRule& rule2 = TheFiberCore()->rule2;
        QCOMPARE(rule2.laterals.size(), size_t(2));
        QVERIFY(ChooseMenu(frame_, "RewritingRule", "add lateral to rule2"));
        QCOMPARE(rule2.laterals.size(), size_t(3));
        QVERIFY(TheViewCore()->ruleGL.Pick().Rendered());
        QVERIFY(ChooseMenu(frame_, "RewritingRule", "remove lateral to rule 2"));
        QCOMPARE(rule2.laterals.size(), size_t(2));
    }

    void goGrowthRepaintsAfterEveryPassAndReportsTheStrokes() {
        PlaceStartPointsOn(0);
        PaintCounter counter(frame_->MainView());
        QVERIFY(ChooseMenu(frame_, "Growth", "Go Growth"));
        int strokes = 0;
        for (const Fiber& fiber : TheFiberCore()->fibers)
            strokes += static_cast<int>(fiber.strokes.size());
        QVERIFY(strokes > 100);
        QCOMPARE(TheFiberCore()->fibers.size(), size_t(4));
        // The set-up and every pass were painted while the command ran.
        const QString console = CapturedConsoleText();
        QVERIFY(counter.paints >= 3);
        QCOMPARE(frame_->statusBar()->currentMessage(),
                 QString("Growth finished: %1 strokes kept").arg(strokes));
        QVERIFY(console.contains("collisionEdge"));
    }

    void animationTicksChangeTubeColours() {
        FiberCore* fibers = TheFiberCore();
        QVERIFY(!fibers->fibers.empty());
        auto excitedStrokes = [fibers] {
            int count = 0;
            for (const Fiber& fiber : fibers->fibers) {
                for (const auto& stroke : fiber.strokes) {
                    if (TubeColourOf(*stroke, fibers->animation) != TubeColour::Rest) ++count;
                }
            }
            return count;
        };
        QCOMPARE(excitedStrokes(), 0);
        // Without the field's translucent points only the tubes and the heart are yellow-free.
        QVERIFY(ChooseMenu(frame_, "Rendering Mode", "Volume Field"));
        auto waveColours = [](const QImage& picture) {
            return CountColour(picture, QColor(255, 255, 0), 60) +
                   CountColour(picture, QColor(255, 200, 0), 40);
        };
        // Only the start points' small arrows are yellow before the wave runs.
        const int atRest = waveColours(Screenshot(frame_->MainView(), "before-animation"));
        QVERIFY(atRest < 50);
        QVERIFY(ChooseMenu(frame_, "Animation", "Animation1"));
        QVERIFY(fibers->animation);
        QVERIFY(frame_->AnimationTimer().isActive());
        QVERIFY(MenuAction(frame_, "Animation", "Animation1")->isChecked());
        QTRY_VERIFY(excitedStrokes() > 0);
        // The ticks paint the wave: yellow and orange tubes appear on screen.
        QTRY_VERIFY(waveColours(Screenshot(frame_->MainView(), "animation")) > atRest + 200);
        QVERIFY(ChooseMenu(frame_, "Animation", "Animation1"));
        QVERIFY(!fibers->animation);
        QVERIFY(!frame_->AnimationTimer().isActive());
        QCOMPARE(excitedStrokes(), 0);  // without animation every tube is at rest
        QVERIFY(ChooseMenu(frame_, "Rendering Mode", "Volume Field"));
    }

    void fibreExportAppendsObjUnlessTheNameEndsInIt() {
        const QString dir = OutputDir();
        const struct {
            QString chosen;
            QString written;
        } cases[] = {{dir + "/fibres-plain", dir + "/fibres-plain.obj"},
                     {dir + "/fibres-caps.OBJ", dir + "/fibres-caps.OBJ"},
                     {dir + "/fibres-text.txt", dir + "/fibres-text.txt.obj"}};
        for (const auto& c : cases) {
            QFile::remove(c.written);
            QStringList filters;
            AnswerNextFileDialog(c.chosen, &filters);
            QVERIFY(ChooseMenu(frame_, "&File", "export current fibers (.obj)"));
            QCOMPARE(filters, QStringList({"heart mesh model (*.obj)"}));
            const QByteArray text = ReadAll(c.written);
            QVERIFY2(text.startsWith("v "), qPrintable(c.written));
            QVERIFY(text.contains("\nf "));
        }
        // Cancel writes nothing.
        AnswerNextFileDialog(QString());
        QVERIFY(ChooseMenu(frame_, "&File", "export current fibers (.obj)"));
    }

    void centrelineExportWritesALegacyVtkFile() {
        const QString chosen = OutputDir() + "/centrelines";
        QFile::remove(chosen + ".vtk");
        QStringList filters;
        AnswerNextFileDialog(chosen, &filters);
        QVERIFY(ChooseMenu(frame_, "&File", "export fiber centrelines (.vtk)"));
        QCOMPARE(filters, QStringList({"VTK centrelines (*.vtk)"}));
        const QByteArray text = ReadAll(chosen + ".vtk");
        QVERIFY(text.startsWith("# vtk DataFile"));
        int strokes = 0;
        for (const Fiber& fiber : TheFiberCore()->fibers)
            strokes += static_cast<int>(fiber.strokes.size());
        QVERIFY(strokes > 0);
        QVERIFY(text.contains(QString("\nLINES %1 ").arg(strokes).toLatin1()));
    }

    void segmentationExportSaysSoBeforeItsDialog() {
        const QString line = "system save the segemntationfile _segmentation.kxseg_";
        const int before = CapturedConsoleText().count(line);
        QString consoleWhileOpen;
        QTimer::singleShot(0, [&] {
            // Runs once the dialog's event loop is up.
            consoleWhileOpen = CapturedConsoleText();
        });
        AnswerNextFileDialog(QString());
        QVERIFY(ChooseMenu(frame_, "Segmentation", "Export Current Segmentation"));
        QCOMPARE(consoleWhileOpen.count(line), before + 1);
        QCOMPARE(CapturedConsoleText().count(line), before + 1);

        const QString chosen = OutputDir() + "/painted.txt";
        QFile::remove(chosen + ".kxseg");
        QStringList filters;
        AnswerNextFileDialog(chosen, &filters);
        QVERIFY(ChooseMenu(frame_, "Segmentation", "Export Current Segmentation"));
        QCOMPARE(filters, QStringList({"segmentation data (*.kxseg)"}));
        const QByteArray text = ReadAll(chosen + ".kxseg");
        QVERIFY(text.startsWith("segmentationdata\npolygon number 8676\nid: 0 1\n"));
        QVERIFY(text.endsWith("end\n"));
    }

    void segmentationModeClearsTheRegionAndSwitchesTheListener() {
        HeartModel* heart = TheHeartModel();
        const std::vector<std::int32_t> saved = heart->regionIds;
        QVERIFY(std::count(saved.begin(), saved.end(), 0) < static_cast<long>(saved.size()));
        QVERIFY(ChooseMenu(frame_, "Segmentation", "SegmentationMode"));
        QVERIFY(heart->segmentationMode);
        QVERIFY(MenuAction(frame_, "Segmentation", "SegmentationMode")->isChecked());
        QCOMPARE(TheListenerManager()->mainListener, static_cast<MLState*>(TheMLforSegmentation()));
        QCOMPARE(std::count(heart->regionIds.begin(), heart->regionIds.end(), 0),
                 long(heart->regionIds.size()));
        Screenshot(frame_->MainView(), "segmentation-mode");

        heart->regionIds[5] = 1;  // as painting would
        QVERIFY(ChooseMenu(frame_, "Segmentation", "SegmentationMode"));
        QVERIFY(!heart->segmentationMode);
        QCOMPARE(TheListenerManager()->mainListener, static_cast<MLState*>(TheMLforMainWindow()));
        QCOMPARE(heart->regionIds[5], 1);  // leaving keeps the painted ids
        QVERIFY(TheFiberCore()->placeStartPoint);

        // Entering again clears them again.
        QVERIFY(ChooseMenu(frame_, "Segmentation", "SegmentationMode"));
        QCOMPARE(heart->regionIds[5], 0);
        QVERIFY(ChooseMenu(frame_, "Segmentation", "SegmentationMode"));
        heart->regionIds = saved;
    }

    void initAllStrokesKeepsTheStartPoints() {
        FiberCore* fibers = TheFiberCore();
        const size_t startPoints = fibers->startPoints.size();
        fibers->featureCurves.push_back(Polyline());
        QVERIFY(ChooseMenu(frame_, "Growth", "Init All Strokes"));
        QVERIFY(fibers->fibers.empty());
        QVERIFY(fibers->featureCurves.empty());
        QCOMPARE(fibers->startPoints.size(), startPoints);
    }

    void viewMenuHidesAndShowsToolbarAndStatusBar() {
        QVERIFY(ChooseMenu(frame_, "&View", "&Toolbar"));
        QVERIFY(frame_->ToolBar()->isHidden());
        QVERIFY(!MenuAction(frame_, "&View", "&Toolbar")->isChecked());
        QVERIFY(ChooseMenu(frame_, "&View", "&Toolbar"));
        QVERIFY(!frame_->ToolBar()->isHidden());
        QVERIFY(ChooseMenu(frame_, "&View", "&Status Bar"));
        QVERIFY(frame_->statusBar()->isHidden());
        QVERIFY(ChooseMenu(frame_, "&View", "&Status Bar"));
        QVERIFY(!frame_->statusBar()->isHidden());
    }

private:
    std::unique_ptr<CVantrelApp> program_;
    CMainFrame* frame_ = nullptr;
    GrowthParameterDlg* dialog_ = nullptr;
};

VANTREL_QT_TEST_MAIN(CommandsTest)
#include "app_commands_test.moc"
