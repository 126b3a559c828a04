// The program started on the demo heart as a user meets it: the start-up console,
// the window's layout, menus and toolbar, and the menu commands: check marks and mode
// groups, the parameter dialog, growth with its progress, animation and the export
// questions.
#include <QPlainTextEdit>
#include <QScreen>
#include <QSlider>
#include <QStatusBar>
#include <QToolBar>

#include "app/ConsoleDock.h"
#include "app/GrowthParameterDlg.h"
#include "app_harness.h"

using namespace vantrel;
using namespace vantrel::testing;

namespace {

// Menu titles and items in order, '|' between items; "-" is a separator, a leading
// '*' marks an item checked after start-up.
const QList<QPair<QString, QString>> kExpectedMenus = {
    {"&File",
     "&New|&Open...|&Save|Save &As...|-|Open Heart...|-|export current fibers (.obj)|"
     "export fiber centrelines (.vtk)|Fibres and Centrelines in Heart Frame|-|"
     "export network (.vtk)|export PMJs (.csv)|export endocardium (.vtk)|"
     "export openCARP network (.pkje)|export MonoAlg3D network (.vtk)|"
     "export run summary (.json)|-|Save View Image...|-|Open Scene...|Save Scene...|-|E&xit"},
    {"&Edit", "&Undo|&Redo|-|Clear Start Points|Clear Feature Curves"},
    {"Segmentation", "SegmentationMode|Export Current Segmentation"},
    {"&View",
     "*&Toolbar|*&Status Bar|*Outer Frame|-|Fit &Heart|Fit &Rules|-|*&Console|*R&ule Pane"},
    {"&Help", "&About Vantrel..."},
    {"Rendering Mode",
     "Wire Frame  for Fiber|*Polygon      for Fiber|-|*Volume Field|Target Object Frame|"
     "*Target Object Polygon|Target Object Transparent|-|Activation Map"},
    {"Growth",
     "Go Growth|Auto Growth|-|*Fit Offset From targetPolygon|Fit Rotation|"
     "*Shuffle Growth Apex order|*Create Tree Structure|-|Init All Strokes|-|"
     "Show Parameter dlg|Physiology...|-|Draw Features|*Place Start Point"},
    {"RewritingRule", "add lateral to rule2|remove lateral to rule 2"},
    {"Animation", "Animation1|Animation2 (ms)|Animation2 faster (x2)|Animation2 slower (/2)"},
};

// Menu or toolbar entries as text, '|' between them: "-" for a separator, a leading
// '*' when checked.
QString Entries(const QList<QAction*>& actions, QString (QAction::*text)() const) {
    QStringList entries;
    for (QAction* action : actions) {
        entries << (action->isSeparator() ? "-"
                                          : (action->isChecked() ? "*" : "") + (action->*text)());
    }
    return entries.join('|');
}

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
    void startUpIsLoggedInOrderAndSizesTheWindow() {
        const QString console = CapturedConsoleText();
        QVERIFY(console.startsWith("start\n"));
        const int segmentation = console.indexOf("segmentationdata \npolygon number 8676\n");
        const int volume = console.indexOf("fiber layer voxel size is ");
        QVERIFY(segmentation > 0 && volume > segmentation && console.indexOf("test") > volume);
        // The dock shows the same text, including what was written before it existed.
        QCOMPARE(Frame()->Console()->Text()->toPlainText(), console);
        QCOMPARE(Frame()->windowTitle(), QString("Untitled[*] - Vantrel"));
        // A first start: the window at 80 % of the screen, the rule window 200 px wide.
        const QRect screen = Frame()->screen()->availableGeometry();
        QCOMPARE(Frame()->size(), QSize(screen.width() * 8 / 10, screen.height() * 8 / 10));
        QCOMPARE(Frame()->RuleView()->width(), 200);
    }

    void menusAndToolBarHaveTheirEntriesInOrder() {
        const QList<QAction*> tops = Frame()->menuBar()->actions();
        QCOMPARE(tops.size(), kExpectedMenus.size());
        for (int m = 0; m < tops.size(); ++m) {
            QCOMPARE(tops[m]->text(), kExpectedMenus[m].first);
            emit tops[m]->menu()->aboutToShow();
            QCOMPARE(Entries(tops[m]->menu()->actions(), &QAction::text), kExpectedMenus[m].second);
        }
        QCOMPARE(Entries(Frame()->ToolBar()->actions(), &QAction::iconText),
                 QString("*Polygon|Line|-|obj Frame obj|*obj Poly|*Volume|-|Growth|-|*Position|"
                         "Stroke|-|Activation"));
    }

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
        QVERIFY(ChooseMenu("Animation", "Animation1"));
        for (int tick = 0; tick < 20; ++tick) TickAnimation();
        QVERIFY(waveColours("animation") > atRest + 200);
        QVERIFY(ChooseMenu("Animation", "Animation1"));
        QCOMPARE(waveColours("after-animation"), atRest);
        QVERIFY(ChooseMenu("Rendering Mode", "Volume Field"));
    }

    // What the exports write is checked against the batch program elsewhere; here each
    // asks with its own filter, and a cancelled question writes nothing (a written file
    // would be reported in the status bar).
    void exportsAskWithTheirFilterAndCancelWritesNothing() {
        const QList<QPair<QString, QString>> cases = {
            {"export current fibers (.obj)", "heart mesh model (*.obj)"},
            {"export fiber centrelines (.vtk)", "VTK centrelines (*.vtk)"},
            {"Export Current Segmentation", "segmentation data (*.kxseg)"}};
        const QString status = Frame()->statusBar()->currentMessage();
        for (const auto& [item, filter] : cases) {
            FileNames().Answer(QString());
            Item(item)->trigger();
            QCOMPARE(FileNames().LastFilter(), filter);
        }
        QCOMPARE(Frame()->statusBar()->currentMessage(), status);
    }
};

VANTREL_PROGRAM_TEST_MAIN(CommandsTest)
#include "app_commands_test.moc"
