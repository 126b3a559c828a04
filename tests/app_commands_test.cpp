// The program's menu commands on the demo heart: check marks and mode groups, the
// parameter dialog, growth with its progress, animation and the export questions.
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

// The checkable menu items, one digit of State() each; the last seven are on/off flags.
const QStringList kCheckables =
    QString(
        "Polygon      for Fiber|Wire Frame  for Fiber|Target Object Frame|"
        "Target Object Polygon|Target Object Transparent|Place Start Point|Draw Features|"
        "Volume Field|Fit Offset From targetPolygon|Shuffle Growth Apex order|"
        "Create Tree Structure|Outer Frame|&Toolbar|&Status Bar")
        .split('|');
const QString kStartState = "10010101111111";

QAction* Item(const QString& text) {
    for (QAction* top : Frame()->menuBar()->actions()) {
        for (QAction* item : top->menu()->actions())
            if (item->text() == text) return item;
    }
    return nullptr;
}

// The check marks the menus show, one digit per checkable item.
QString State() {
    QString state;
    for (const QString& item : kCheckables) state += Item(item)->isChecked() ? '1' : '0';
    return state;
}

GrowthParameterDlg* ParameterDialog() {
    return static_cast<GrowthParameterDlg*>(TheViewCore()->parameterDialog.data());
}

}  // namespace

class CommandsTest : public QObject {
    Q_OBJECT

private slots:
    // A walk through the mode groups that ends where it began: each target-object mode
    // turns the other two off and itself off when chosen again; the fibre modes are a
    // pair; "Place Start Point" is a tool, not a toggle. Then each flag goes off and on.
    void choicesSetTheMarksOfTheirGroup() {
        enum { kFibre, kWire, kFrame, kPolygon, kTransparent, kStartPoint, kFeatures };
        // The item chosen and the first seven digits of State() after it.
        const QList<QPair<int, QString>> walk = {
            {kFibre, "0101010"},       {kWire, "1001010"},      {kFrame, "1010010"},
            {kTransparent, "1000110"}, {kFrame, "1010010"},     {kPolygon, "1001010"},
            {kTransparent, "1000110"}, {kPolygon, "1001010"},   {kPolygon, "1000010"},
            {kFrame, "1010010"},       {kFrame, "1000010"},     {kTransparent, "1000110"},
            {kTransparent, "1000010"}, {kPolygon, "1001010"},   {kFeatures, "1001001"},
            {kStartPoint, "1001010"},  {kStartPoint, "1001010"}};
        QCOMPARE(State(), kStartState);
        for (const auto& [item, marks] : walk) {
            Item(kCheckables[item])->trigger();
            QVERIFY2(State() == marks + kStartState.mid(7), qPrintable(kCheckables[item]));
        }
        for (int flag = 7; flag < kCheckables.size(); ++flag) {
            Item(kCheckables[flag])->trigger();
            QVERIFY2(State() == QString(kStartState).replace(flag, 1, '0'),
                     qPrintable(kCheckables[flag]));
            Item(kCheckables[flag])->trigger();
        }
        QCOMPARE(State(), kStartState);
    }

    void parameterSlidersWriteAllThreeAndKeysOnlyHideTheDialog() {
        QVERIFY(ChooseMenu("Growth", "Show Parameter dlg"));
        QVERIFY(QTest::qWaitForWindowExposed(ParameterDialog(), kWindowWaitMs));
        GrowthParameters& parameters = ProgramGrowthParameters();
        const GrowthParameters saved = parameters;
        // Stored values that no slider position gives back exactly.
        parameters.GradientDirectionRate = 0.753;
        parameters.RandomDirectionRate = 0.407;
        QSlider* resolution = ParameterDialog()->segmentResolutionSlider();
        resolution->setFocus();
        QTest::keyClick(resolution, Qt::Key_End);
        QCOMPARE(parameters.SegmentResolution, 102);
        QCOMPARE(parameters.GradientDirectionRate, 0.75);
        QCOMPARE(parameters.RandomDirectionRate, 0.4);
        QTest::keyClick(ParameterDialog()->randomDirectionRateSlider(), Qt::Key_Home);
        QCOMPARE(parameters.RandomDirectionRate, 0.0);
        for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
            QVERIFY(ChooseMenu("Growth", "Show Parameter dlg"));
            QTRY_VERIFY(ParameterDialog()->isVisible());
            QTest::keyClick(ParameterDialog(), key);
            QTRY_VERIFY(ParameterDialog()->isHidden());
        }
        QCOMPARE(parameters.SegmentResolution, 102);
        parameters = saved;
        ParameterDialog()->ShowParameters(saved);
    }

    void goGrowthRepaintsAfterEveryPassAndReportsTheStrokes() {
        PlaceStartPoints({0});
        PaintWatcher watcher(Frame()->MainView());
        Frame()->SetGrowthProgressDelay(0);  // every pass shown, however quick the growth
        QVERIFY(ChooseMenu("Growth", "Go Growth"));
        Frame()->SetGrowthProgressDelay(kGrowthProgressNever);
        QVERIFY(watcher.paints >= 3);  // the set-up and every pass
        QVERIFY(Frame()->statusBar()->currentMessage().startsWith(
            QString("Growth finished: %1 strokes kept; Network ").arg(StrokeCount())));
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
        for (int tick = 0; tick < 20; ++tick) TickAnimation();
        QVERIFY(waveColours("animation") > atRest + 200);
        QVERIFY(ChooseMenu("Animation", "Animation1"));
        QCOMPARE(waveColours("after-animation"), atRest);
        QVERIFY(ChooseMenu("Rendering Mode", "Volume Field"));
    }

    // What the exports write is checked against the batch program elsewhere; here each
    // asks with its own filter, and a cancelled question writes and reports nothing.
    void exportsAskWithTheirFilterAndCancelWritesNothing() {
        const struct {
            QString item, filter;
            QString said;  // the console's last line when the question is asked
        } cases[] = {
            {"export current fibers (.obj)", "heart mesh model (*.obj)", ""},
            {"export fiber centrelines (.vtk)", "VTK centrelines (*.vtk)", ""},
            {"Export Current Segmentation", "segmentation data (*.kxseg)",
             "system save the segemntationfile _segmentation.kxseg_"},
        };
        const QString status = Frame()->statusBar()->currentMessage();
        const QStringList files = QDir::current().entryList(QDir::Files | QDir::Hidden);
        for (const auto& c : cases) {
            FileNames().Answer(QString());
            Item(c.item)->trigger();
            QCOMPARE(FileNames().LastFilter(), c.filter);
            QVERIFY2(CapturedConsoleText().endsWith(c.said), qPrintable(c.item));
        }
        QCOMPARE(Frame()->statusBar()->currentMessage(), status);
        QCOMPARE(QDir::current().entryList(QDir::Files | QDir::Hidden), files);
    }

    void initAllStrokesKeepsTheStartPoints() {
        FiberCore* fibers = TheFiberCore();
        const size_t startPoints = fibers->startPoints.size();
        fibers->featureCurves.push_back(Polyline());
        QVERIFY(ChooseMenu("Growth", "Init All Strokes"));
        QVERIFY(fibers->fibers.empty() && fibers->featureCurves.empty());
        QCOMPARE(fibers->startPoints.size(), startPoints);
    }
};

VANTREL_PROGRAM_TEST_MAIN(CommandsTest)
#include "app_commands_test.moc"
