// The program started on the demo heart: start-up order, frame layout, menus,
// toolbar, status bar, document title and accelerators.
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>

#include "app/ConsoleDock.h"
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

}  // namespace

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void consoleShowsTheStartUpInOrder() {
        const QString console = CapturedConsoleText();
        QVERIFY(console.startsWith("start\n"));
        const int segmentation = console.indexOf("segmentationdata \npolygon number 8676\n");
        const int volume = console.indexOf("fiber layer voxel size is ");
        QVERIFY(segmentation > 0 && volume > segmentation && console.indexOf("test") > volume);
        // The dock shows the same text, including what was written before it existed.
        QCOMPARE(Frame()->Console()->Text()->toPlainText(), console);
    }

    void frameHoldsBothPanesAndTheStatusIndicators() {
        QCOMPARE(Frame()->windowTitle(), QString("Untitled[*] - Vantrel"));
        QCOMPARE(Frame()->Splitter()->widget(0), static_cast<QWidget*>(Frame()->RuleView()));
        QCOMPARE(Frame()->Splitter()->widget(1), static_cast<QWidget*>(Frame()->MainView()));
        // A first start: the window at 80 % of the screen, the rule window 200 px wide.
        const QRect screen = Frame()->screen()->availableGeometry();
        QCOMPARE(Frame()->size(), QSize(screen.width() * 8 / 10, screen.height() * 8 / 10));
        QCOMPARE(Frame()->RuleView()->width(), 200);
        QCOMPARE(Frame()->MessagePane()->text(), QString("Ready"));
        for (const char* indicator : {"CAP", "NUM", "SCRL"}) {
            QLabel* label = Frame()->statusBar()->findChild<QLabel*>(indicator);
            QVERIFY(label && !label->isEnabled() && label->text() == indicator);
        }
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
        QCOMPARE(MenuAction("&Edit", "&Undo")->shortcuts(),
                 QList<QKeySequence>({QKeySequence("Ctrl+Z"), QKeySequence("Alt+Backspace")}));
    }

    void functionKeysMoveTheFocusBetweenThePanes() {
        Frame()->MainView()->setFocus();
        QTRY_VERIFY(Frame()->MainView()->hasFocus());
        QTest::keyClick(Frame(), Qt::Key_F6);
        QTRY_VERIFY(Frame()->RuleView()->hasFocus());
        QTest::keyClick(Frame(), Qt::Key_F6, Qt::ShiftModifier);
        QTRY_VERIFY(Frame()->MainView()->hasFocus());
    }

    void aboutBoxShowsTheVersion() {
        QStringList texts;
        ModalDialogHandler handler([&](QDialog* box) {
            texts << box->windowTitle();
            for (QLabel* label : box->findChildren<QLabel*>()) texts << label->text();
            box->close();
        });
        QVERIFY(ChooseMenu("&Help", "&About Vantrel..."));
        QVERIFY(texts.startsWith("About Vantrel") && texts.contains("Vantrel Version 1.0"));
    }
};

VANTREL_PROGRAM_TEST_MAIN(StartupTest)
#include "app_startup_test.moc"
