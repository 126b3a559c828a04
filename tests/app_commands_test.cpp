// The program's menu commands on the demo heart: check marks and mode groups, the
// parameter dialog, growth with its progress, animation and the export commands
// with their file questions.
#include <QDir>
#include <QSlider>
#include <QStatusBar>
#include <QToolBar>

#include "app/ConsoleDock.h"
#include "app/GrowthParameterDlg.h"
#include "app_harness.h"

using namespace vantrel;
using namespace vantrel::testing;

namespace {

HeartModel& Heart() {
    return *TheHeartModel();
}
GrowthParameters& Growth() {
    return ProgramGrowthParameters();
}

// The checkable menu items ("menu/item") and what each one's mark stands for.
const QList<QPair<QString, std::function<bool()>>> kCheckables = {
    {"Rendering Mode/Polygon      for Fiber", [] { return Heart().fiberAsPolygon; }},
    {"Rendering Mode/Wire Frame  for Fiber", [] { return !Heart().fiberAsPolygon; }},
    {"Rendering Mode/Target Object Frame", [] { return Heart().targetFrame; }},
    {"Rendering Mode/Target Object Polygon", [] { return Heart().targetPolygon; }},
    {"Rendering Mode/Target Object Transparent", [] { return Heart().targetTransparent; }},
    {"Rendering Mode/Volume Field", [] { return Heart().showVolumeField; }},
    {"Growth/Place Start Point", [] { return TheFiberCore()->placeStartPoint; }},
    {"Growth/Draw Features", [] { return !TheFiberCore()->placeStartPoint; }},
    {"Growth/Fit Offset From targetPolygon", [] { return Growth().FitOffsetFromTargetPolygon; }},
    {"Growth/Shuffle Growth Apex order", [] { return Growth().ShuffleGrowthApexOrder; }},
    {"Growth/Create Tree Structure", [] { return Growth().CreateTreeStructure; }},
    {"&View/Outer Frame", [] { return Heart().outerFrame; }},
    {"&View/&Toolbar", [] { return !Frame()->ToolBar()->isHidden(); }},
    {"&View/&Status Bar", [] { return !Frame()->statusBar()->isHidden(); }},
};

QAction* Item(const QString& path) {
    return MenuAction(path.section('/', 0, 0), path.section('/', 1));
}

// One digit per checkable item for what it stands for; an 'x' where its mark disagrees.
QString State() {
    QString state;
    for (const auto& [path, on] : kCheckables)
        state += on() != Item(path)->isChecked() ? 'x' : on() ? '1' : '0';
    return state;
}

}  // namespace

class CommandsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        dialog_ = static_cast<GrowthParameterDlg*>(TheViewCore()->parameterDialog.data());
        QVERIFY(dialog_ && dialog_->isHidden());
        startState_ = State();
        QCOMPARE(startState_, QString("10010110111111"));
    }

    void cleanup() {
        // Back to the start-up state through the menus.
        for (int pass = 0; pass < 2; ++pass) {
            for (int i = 0; i < kCheckables.size(); ++i) {
                if (State()[i] != startState_[i]) Item(kCheckables[i].first)->trigger();
            }
        }
        QCOMPARE(State(), startState_);
    }

    void choicesSetTheStateTheMarksShow_data() {
        QTest::addColumn<QStringList>("choices");  // "menu/item", chosen in order
        QTest::addColumn<QString>("state");
        const QString fibre = "Rendering Mode/Polygon      for Fiber";
        const QString frame = "Rendering Mode/Target Object Frame";
        const QString polygon = "Rendering Mode/Target Object Polygon";
        const QString transparent = "Rendering Mode/Target Object Transparent";
        QTest::newRow("checked fibre polygons switch to wire")
            << QStringList{fibre} << "01010110111111";
        QTest::newRow("wire frame switches back")
            << QStringList{fibre, "Rendering Mode/Wire Frame  for Fiber"} << startState_;
        QTest::newRow("heart frame") << QStringList{frame} << "10100110111111";
        QTest::newRow("heart frame off again") << QStringList{frame, frame} << "10000110111111";
        QTest::newRow("heart transparent") << QStringList{transparent} << "10001110111111";
        QTest::newRow("heart polygons off") << QStringList{polygon} << "10000110111111";
        QTest::newRow("heart polygons after transparent")
            << QStringList{transparent, polygon} << startState_;
        QTest::newRow("draw features") << QStringList{"Growth/Draw Features"} << "10010101111111";
        QTest::newRow("start point tool chosen again stays")
            << QStringList{"Growth/Draw Features", "Growth/Place Start Point",
                           "Growth/Place Start Point"}
            << startState_;
        QStringList flags = {"Rendering Mode/Volume Field",
                             "Growth/Fit Offset From targetPolygon",
                             "Growth/Shuffle Growth Apex order",
                             "Growth/Create Tree Structure",
                             "&View/Outer Frame",
                             "&View/&Toolbar",
                             "&View/&Status Bar"};
        QTest::newRow("each flag turned off") << flags << "10010010000000";
        QTest::newRow("each flag turned on again") << flags + flags << startState_;
    }
    void choicesSetTheStateTheMarksShow() {
        QFETCH(QStringList, choices);
        QFETCH(QString, state);
        for (const QString& choice : choices) Item(choice)->trigger();
        QCOMPARE(State(), state);
    }

    void parameterSlidersWriteAllThreeParameters() {
        QVERIFY(ChooseMenu("Growth", "Show Parameter dlg"));
        QVERIFY(QTest::qWaitForWindowExposed(dialog_, kWindowWaitMs));
        GrowthParameters& parameters = ProgramGrowthParameters();
        const GrowthParameters saved = parameters;
        // Stored values that no slider position gives back exactly.
        parameters.GradientDirectionRate = 0.753;
        parameters.RandomDirectionRate = 0.407;
        QSlider* resolution = dialog_->segmentResolutionSlider();
        resolution->setFocus();
        QTest::keyClick(resolution, Qt::Key_Home);
        QCOMPARE(parameters.SegmentResolution, 2);
        QCOMPARE(parameters.GradientDirectionRate, 0.75);
        QCOMPARE(parameters.RandomDirectionRate, 0.4);
        QTest::keyClick(resolution, Qt::Key_End);
        QCOMPARE(parameters.SegmentResolution, 102);
        QTest::keyClick(dialog_->gradientDirectionRateSlider(), Qt::Key_Left);
        QCOMPARE(parameters.GradientDirectionRate, 0.74);
        QTest::keyClick(dialog_->randomDirectionRateSlider(), Qt::Key_End);
        QCOMPARE(parameters.RandomDirectionRate, 1.0);
        parameters = saved;
        dialog_->ShowParameters(saved);
    }

    void escapeAndReturnOnlyHideTheParameterDialog() {
        const int resolution = ProgramGrowthParameters().SegmentResolution;
        for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
            QVERIFY(ChooseMenu("Growth", "Show Parameter dlg"));
            QTRY_VERIFY(dialog_->isVisible());
            QTest::keyClick(dialog_, key);
            QTRY_VERIFY(dialog_->isHidden());
        }
        QCOMPARE(ProgramGrowthParameters().SegmentResolution, resolution);
    }

    void goGrowthRepaintsAfterEveryPassAndReportsTheStrokes() {
        PlaceStartPoints({0});
        PaintWatcher watcher(Frame()->MainView());
        Frame()->SetGrowthProgressDelay(0);  // every pass shown, however quick the growth
        QVERIFY(ChooseMenu("Growth", "Go Growth"));
        Frame()->SetGrowthProgressDelay(kGrowthProgressNever);
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
        auto waveColours = [](const QString& name) {
            const QImage picture = Screenshot(Frame()->MainView(), name);
            return CountColour(picture, QColor(255, 255, 0), 60) +
                   CountColour(picture, QColor(255, 200, 0), 40);
        };
        // Only the start points' small arrows are yellow before the wave runs.
        const int atRest = waveColours("before-animation");
        QVERIFY(atRest < 50);
        QVERIFY(ChooseMenu("Animation", "Animation1"));
        QVERIFY(Frame()->AnimationTimer().isActive());
        for (int tick = 0; tick < 20; ++tick) TickAnimation();
        QVERIFY(waveColours("animation") > atRest + 200);
        QVERIFY(ChooseMenu("Animation", "Animation1"));
        QCOMPARE(waveColours("after-animation"), atRest);
        QVERIFY(ChooseMenu("Rendering Mode", "Volume Field"));
    }

    void exportWritesOnlyAChosenFile() {
        QVERIFY(StrokeCount() > 0);
        const struct {
            QString menu, item, filter, chosen, written;
            QString text;  // a part of the file
            QString said;  // the console's last line when the name is asked
        } cases[] = {
            {"&File", "export current fibers (.obj)", "heart mesh model (*.obj)", "fibres.OBJ",
             "fibres.OBJ", "\nf ", ""},
            {"&File", "export fiber centrelines (.vtk)", "VTK centrelines (*.vtk)", "centrelines",
             "centrelines.vtk", QString("\nLINES %1 ").arg(StrokeCount()), ""},
            {"Segmentation", "Export Current Segmentation", "segmentation data (*.kxseg)",
             "painted.txt", "painted.txt.kxseg", "segmentationdata\npolygon number 8676\nid: 0 1\n",
             "system save the segemntationfile _segmentation.kxseg_"},
        };
        QString console;
        FileNames().onQuestion = [&console](const FileQuestion&) {
            console = CapturedConsoleText();
        };
        for (const auto& c : cases) {
            QFile::remove(OutputDir() + "/" + c.written);
            const QStringList before = QDir(OutputDir()).entryList(QDir::Files);
            FileNames().Answer(QString());
            QVERIFY(ChooseMenu(c.menu, c.item));
            QCOMPARE(QDir(OutputDir()).entryList(QDir::Files), before);  // cancelled
            QVERIFY2(console.endsWith(c.said), qPrintable(c.item));
            FileNames().Answer(OutputDir() + "/" + c.chosen);
            QVERIFY(ChooseMenu(c.menu, c.item));
            QCOMPARE(FileNames().LastFilter(), c.filter);
            QVERIFY2(ReadAll(OutputDir() + "/" + c.written).contains(c.text.toLatin1()),
                     qPrintable(c.item));
            QVERIFY2(console.endsWith(c.said), qPrintable(c.item));
        }
        FileNames().onQuestion = nullptr;
    }

    void initAllStrokesKeepsTheStartPoints() {
        FiberCore* fibers = TheFiberCore();
        const size_t startPoints = fibers->startPoints.size();
        fibers->featureCurves.push_back(Polyline());
        QVERIFY(ChooseMenu("Growth", "Init All Strokes"));
        QVERIFY(fibers->fibers.empty() && fibers->featureCurves.empty());
        QCOMPARE(fibers->startPoints.size(), startPoints);
    }

private:
    GrowthParameterDlg* dialog_ = nullptr;
    QString startState_;
};

VANTREL_PROGRAM_TEST_MAIN(CommandsTest)
#include "app_commands_test.moc"
