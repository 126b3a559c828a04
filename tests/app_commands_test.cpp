// The program's menu commands on the demo heart: check marks and mode groups,
// segmentation mode, the parameter dialog, growth with its progress, animation
// and the export commands with their file questions.
#include <QDir>
#include <QFile>
#include <QSlider>
#include <QStatusBar>
#include <QToolBar>
#include <algorithm>
#include <utility>

#include "app/CommandIds.h"
#include "app/ConsoleDock.h"
#include "app/GrowthParameterDlg.h"
#include "app_harness.h"

using namespace vantrel;
using namespace vantrel::testing;

class CommandsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        dialog_ = static_cast<GrowthParameterDlg*>(TheViewCore()->parameterDialog.data());
        QVERIFY(dialog_ && dialog_->isHidden());
    }

    void fibreCommandsAreARadioPair() {
        QAction* wire = MenuAction("Rendering Mode", "Wire Frame  for Fiber");
        QAction* polygon = MenuAction("Rendering Mode", "Polygon      for Fiber");
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
        QVERIFY(ChooseMenu("Rendering Mode", "Target Object Frame"));
        QCOMPARE(state(), QString("100"));
        // The toolbar button is the same command.
        Frame()->Commands().Action(command::kTargetObjectFrame)->trigger();
        QCOMPARE(state(), QString("000"));
        QVERIFY(ChooseMenu("Rendering Mode", "Target Object Transparent"));
        QCOMPARE(state(), QString("001"));
        QVERIFY(ChooseMenu("Rendering Mode", "Target Object Polygon"));
        QCOMPARE(state(), QString("010"));
        QVERIFY(ChooseMenu("Rendering Mode", "Target Object Polygon"));
        QCOMPARE(state(), QString("000"));
        QVERIFY(!MenuAction("Rendering Mode", "Target Object Polygon")->isChecked());
        QVERIFY(ChooseMenu("Rendering Mode", "Target Object Polygon"));
        QCOMPARE(state(), QString("010"));
    }

    void flagCommandsToggleWhatTheirMarksShow() {
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
            QAction* action = MenuAction(toggle.menu, toggle.text);
            QVERIFY2(action, toggle.text);
            const bool before = *toggle.flag;
            action->trigger();
            QCOMPARE(*toggle.flag, !before);
            QCOMPARE(action->isChecked(), !before);
            action->trigger();
            QCOMPARE(*toggle.flag, before);
        }
    }

    void strokeToolsAreARadioPair() {
        FiberCore* fibers = TheFiberCore();
        QVERIFY(ChooseMenu("Growth", "Draw Features"));
        QVERIFY(!fibers->placeStartPoint);
        QVERIFY(!MenuAction("Growth", "Place Start Point")->isChecked());
        QVERIFY(ChooseMenu("Growth", "Place Start Point"));
        QVERIFY(ChooseMenu("Growth", "Place Start Point"));  // choosing it again keeps it
        QVERIFY(fibers->placeStartPoint);
        QVERIFY(!MenuAction("Growth", "Draw Features")->isChecked());
    }

    void parameterSlidersWriteAllThreeParameters() {
        QSlider* resolution = dialog_->segmentResolutionSlider();
        QSlider* gradient = dialog_->gradientDirectionRateSlider();
        QSlider* random = dialog_->randomDirectionRateSlider();
        QCOMPARE(resolution->value(), 3);
        QCOMPARE(gradient->value(), 75);
        QCOMPARE(random->value(), 40);
        QVERIFY(ChooseMenu("Growth", "Show Parameter dlg"));
        QVERIFY(QTest::qWaitForWindowExposed(dialog_, kWindowWaitMs));
        QCOMPARE(dialog_->windowTitle(), QString("Parameter Dialog"));

        GrowthParameters& parameters = ProgramGrowthParameters();
        const GrowthParameters saved = parameters;
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
        parameters = saved;
        dialog_->ShowParameters(saved);
    }

    void escapeAndReturnOnlyHideTheParameterDialog() {
        const GrowthParameters before = ProgramGrowthParameters();
        dialog_->show();
        QTest::keyClick(dialog_, Qt::Key_Escape);
        QTRY_VERIFY(dialog_->isHidden());
        QVERIFY(ChooseMenu("Growth", "Show Parameter dlg"));
        QTRY_VERIFY(dialog_->isVisible());
        QTest::keyClick(dialog_, Qt::Key_Return);
        QTRY_VERIFY(dialog_->isHidden());
        QCOMPARE(ProgramGrowthParameters().SegmentResolution, before.SegmentResolution);
        QCOMPARE(ProgramGrowthParameters().RandomDirectionRate, before.RandomDirectionRate);
    }

    void goGrowthRepaintsAfterEveryPassAndReportsTheStrokes() {
        PlaceStartPoints({0});
        PaintWatcher watcher(Frame()->MainView());
        QVERIFY(ChooseMenu("Growth", "Go Growth"));
        QVERIFY(StrokeCount() > 100);
        QCOMPARE(TheFiberCore()->fibers.size(), size_t(4));
        // The set-up and every pass were painted while the command ran.
        QVERIFY(watcher.paints >= 3);
        QVERIFY(Frame()->statusBar()->currentMessage().startsWith(
            QString("Growth finished: %1 strokes kept; Network ").arg(StrokeCount())));
        QVERIFY(CapturedConsoleText().contains("collisionEdge"));
    }

    void animationTicksPaintTheWave() {
        // Without the field's translucent points only the tubes and the heart are drawn.
        QVERIFY(ChooseMenu("Rendering Mode", "Volume Field"));
        auto waveColours = [](const QImage& picture) {
            return CountColour(picture, QColor(255, 255, 0), 60) +
                   CountColour(picture, QColor(255, 200, 0), 40);
        };
        // Only the start points' small arrows are yellow before the wave runs.
        const int atRest = waveColours(Screenshot(Frame()->MainView(), "before-animation"));
        QVERIFY(atRest < 50);
        QVERIFY(ChooseMenu("Animation", "Animation1"));
        QVERIFY(TheFiberCore()->animation && Frame()->AnimationTimer().isActive());
        for (int tick = 0; tick < 20; ++tick) TickAnimation();
        QVERIFY(waveColours(Screenshot(Frame()->MainView(), "animation")) > atRest + 200);
        QVERIFY(ChooseMenu("Animation", "Animation1"));
        QVERIFY(!TheFiberCore()->animation);
        // Without animation every tube is at rest again.
        QCOMPARE(waveColours(Screenshot(Frame()->MainView(), "after-animation")), atRest);
        QVERIFY(ChooseMenu("Rendering Mode", "Volume Field"));
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
            FileNames().Answer(c.chosen);
            QVERIFY(ChooseMenu("&File", "export current fibers (.obj)"));
            QCOMPARE(FileNames().LastFilter(), QString("heart mesh model (*.obj)"));
            const QByteArray text = ReadAll(c.written);
            QVERIFY2(text.startsWith("v ") && text.contains("\nf "), qPrintable(c.written));
        }
    }

    void centrelineExportWritesALegacyVtkFile() {
        const QString chosen = OutputDir() + "/centrelines";
        QFile::remove(chosen + ".vtk");
        FileNames().Answer(chosen);
        QVERIFY(ChooseMenu("&File", "export fiber centrelines (.vtk)"));
        QCOMPARE(FileNames().LastFilter(), QString("VTK centrelines (*.vtk)"));
        const QByteArray text = ReadAll(chosen + ".vtk");
        QVERIFY(text.startsWith("# vtk DataFile"));
        QVERIFY(StrokeCount() > 0);
        QVERIFY(text.contains(QString("\nLINES %1 ").arg(StrokeCount()).toLatin1()));
    }

    void segmentationExportSaysSoBeforeItsQuestion() {
        const QString line = "system save the segemntationfile _segmentation.kxseg_";
        const int before = CapturedConsoleText().count(line);
        int whileAsked = -1;
        FileNames().onQuestion = [&](const FileQuestion&) {
            whileAsked = CapturedConsoleText().count(line);
        };
        const QString chosen = OutputDir() + "/painted.txt";
        QFile::remove(chosen + ".kxseg");
        FileNames().Answer(chosen);
        QVERIFY(ChooseMenu("Segmentation", "Export Current Segmentation"));
        FileNames().onQuestion = nullptr;
        QCOMPARE(whileAsked, before + 1);
        QCOMPARE(FileNames().LastFilter(), QString("segmentation data (*.kxseg)"));
        const QByteArray text = ReadAll(chosen + ".kxseg");
        QVERIFY(text.startsWith("segmentationdata\npolygon number 8676\nid: 0 1\n"));
        QVERIFY(text.endsWith("end\n"));
    }

    void cancelledExportsWriteNothing() {
        const QStringList before = QDir(OutputDir()).entryList(QDir::Files);
        for (const auto& [menu, text] :
             {std::pair{"&File", "export current fibers (.obj)"},
              std::pair{"&File", "export fiber centrelines (.vtk)"},
              std::pair{"Segmentation", "Export Current Segmentation"}}) {
            FileNames().Answer(QString());
            QVERIFY(ChooseMenu(menu, text));
        }
        QCOMPARE(QDir(OutputDir()).entryList(QDir::Files), before);
    }

    void initAllStrokesKeepsTheStartPoints() {
        FiberCore* fibers = TheFiberCore();
        const size_t startPoints = fibers->startPoints.size();
        fibers->featureCurves.push_back(Polyline());
        QVERIFY(ChooseMenu("Growth", "Init All Strokes"));
        QVERIFY(fibers->fibers.empty());
        QVERIFY(fibers->featureCurves.empty());
        QCOMPARE(fibers->startPoints.size(), startPoints);
    }

    void viewMenuHidesAndShowsToolbarAndStatusBar() {
        for (const auto& [text, bar] :
             {std::pair<QString, QWidget*>{"&Toolbar", Frame()->ToolBar()},
              std::pair<QString, QWidget*>{"&Status Bar", Frame()->statusBar()}}) {
            QVERIFY(ChooseMenu("&View", text));
            QVERIFY(bar->isHidden() && !MenuAction("&View", text)->isChecked());
            QVERIFY(ChooseMenu("&View", text));
            QVERIFY(!bar->isHidden());
        }
    }

private:
    GrowthParameterDlg* dialog_ = nullptr;
};

VANTREL_PROGRAM_TEST_MAIN(CommandsTest)
#include "app_commands_test.moc"
