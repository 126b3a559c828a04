// The program started on the demo heart: start-up order, frame layout, menus,
// toolbar, status bar, document title and accelerators.
#include <QLabel>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <clocale>
#include <cstring>

#include "app/CommandIds.h"
#include "app/ConsoleDock.h"
#include "app_harness.h"

using namespace vantrel;
using namespace vantrel::testing;

namespace {

// Menu titles and items in order; "-" is a separator, a leading '*' marks an item
// checked after start-up.
const QList<QPair<QString, QStringList>> kExpectedMenus = {
    {"&File",
     {"export current fibers (.obj)", "export fiber centrelines (.vtk)", "-", "Open Scene...",
      "Save Scene...", "-", "E&xit"}},
    {"Segmentation", {"SegmentationMode", "Export Current Segmentation"}},
    {"&View", {"*&Toolbar", "*&Status Bar", "*Outer Frame"}},
    {"&Help", {"&About Vantrel..."}},
    {"Rendering Mode",
     {"Wire Frame  for Fiber", "*Polygon      for Fiber", "-", "*Volume Field",
      "Target Object Frame", "*Target Object Polygon", "Target Object Transparent"}},
    {"Growth",
     {"Go Growth", "-", "*Fit Offset From targetPolygon", "Fit Rotation",
      "*Shuffle Growth Apex order", "*Create Tree Structure", "-", "Init All Strokes", "-",
      "Show Parameter dlg", "-", "Draw Features", "*Place Start Point"}},
    {"RewritingRule", {"add lateral to rule2", "remove lateral to rule 2"}},
    {"Animation", {"Animation1"}},
};

}  // namespace

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        program_ = StartOnDemoHeart();
        QVERIFY(program_);
        frame_ = program_->Frame();
    }

    void cleanupTestCase() {
        if (program_) program_->Exit(0);
    }

    void consoleShowsStartThenHeartLinesThenTest() {
        const QString console = CapturedConsoleText();
        QVERIFY(console.startsWith("start\n"));
        const int segmentation = console.indexOf("segmentationdata \npolygon number 8676\n");
        const int volume = console.indexOf("fiber layer voxel size is ");
        const int test = console.indexOf("test");
        QVERIFY(segmentation > 0);
        QVERIFY(volume > segmentation);
        QVERIFY(test > volume);
        // The dock shows the same text, including what was written before it existed.
        QCOMPARE(frame_->Console()->Text()->toPlainText(), console);
        QCOMPARE(frame_->Console()->windowTitle(), QString("Console"));
    }

    void numbersUseTheCLocale() {
        QCOMPARE(std::strcmp(std::setlocale(LC_NUMERIC, nullptr), "C"), 0);
    }

    void frameHasTitleSplitterAndStatusBar() {
        QCOMPARE(frame_->windowTitle(), QString("Untitled - Vantrel"));
        QCOMPARE(frame_->Splitter()->widget(0), static_cast<QWidget*>(frame_->RuleView()));
        QCOMPARE(frame_->Splitter()->widget(1), static_cast<QWidget*>(frame_->MainView()));
        QCOMPARE(frame_->RuleView()->width(), 200);
        QCOMPARE(frame_->MainView()->width(), 700);
        QCOMPARE(frame_->MessagePane()->text(), QString("Ready"));
        for (const char* indicator : {"CAP", "NUM", "SCRL"}) {
            QLabel* label = frame_->statusBar()->findChild<QLabel*>(indicator);
            QVERIFY(label);
            QCOMPARE(label->text(), QString(indicator));
            QVERIFY(!label->isEnabled());
        }
    }

    void sharedObjectsExistOnceAndViewsAreBound() {
        QCOMPARE(TheViewCore(), TheViewCore());
        QCOMPARE(TheViewCore()->mainFrame.data(), static_cast<QWidget*>(frame_));
        QCOMPARE(TheViewCore()->mainView.data(), static_cast<QOpenGLWidget*>(frame_->MainView()));
        QCOMPARE(TheViewCore()->ruleView.data(), static_cast<QOpenGLWidget*>(frame_->RuleView()));
        QCOMPARE(TheListenerManager()->mainListener, static_cast<MLState*>(TheMLforMainWindow()));
        QCOMPARE(TheListenerManager()->ruleListener, static_cast<MLState*>(TheMLforRuleWindow()));
        QVERIFY(TheViewCore()->parameterDialog);
        QVERIFY(TheViewCore()->parameterDialog->isHidden());
        // Both views' pick buffers are rendered before the first click.
        QVERIFY(TheViewCore()->mainGL.Pick().Rendered());
        QVERIFY(TheViewCore()->ruleGL.Pick().Rendered());
    }

    void menusHaveTheirTextsOrderAndCheckMarks() {
        const QList<QAction*> tops = frame_->menuBar()->actions();
        QCOMPARE(tops.size(), kExpectedMenus.size());
        for (int m = 0; m < tops.size(); ++m) {
            QCOMPARE(tops[m]->text(), kExpectedMenus[m].first);
            QMenu* menu = tops[m]->menu();
            emit menu->aboutToShow();
            QStringList seen;
            for (QAction* item : menu->actions()) {
                if (item->isSeparator()) {
                    seen << "-";
                } else {
                    seen << (item->isChecked() ? "*" : "") + item->text();
                }
            }
            QCOMPARE(seen, kExpectedMenus[m].second);
        }
    }

    void toolBarHasItsElevenEntries() {
        QStringList seen;
        for (QAction* action : frame_->ToolBar()->actions()) {
            seen << (action->isSeparator() ? "-"
                                           : (action->isChecked() ? "*" : "") + action->iconText());
        }
        QCOMPARE(seen, QStringList({"*Polygon", "Line", "-", "obj Frame obj", "*obj Poly",
                                    "*Volume", "-", "Growth", "-", "*Position", "Stroke"}));
    }

    void editAcceleratorsStayDisabled() {
        for (int id : {command::kUndo, command::kCut, command::kCopy, command::kPaste}) {
            QAction* action = frame_->Commands().Action(id);
            QVERIFY(action);
            QVERIFY(!action->isEnabled());
            QVERIFY(!action->shortcuts().isEmpty());
        }
        QCOMPARE(frame_->Commands().Action(command::kUndo)->shortcuts(),
                 QList<QKeySequence>({QKeySequence("Ctrl+Z"), QKeySequence("Alt+Backspace")}));
    }

    void documentAcceleratorsOnlyChangeTheTitle() {
        const size_t startPoints = TheFiberCore()->startPoints.size();
        const QString saved = OutputDir() + "/startup-document";
        QFile::remove(saved + ".kx");
        AnswerNextFileDialog(saved);
        QTest::keyClick(frame_, Qt::Key_S, Qt::ControlModifier);
        QTRY_COMPARE(frame_->windowTitle(), QString("startup-document.kx - Vantrel"));
        QFileInfo written(saved + ".kx");
        QVERIFY(written.exists());
        QCOMPARE(written.size(), 0);

        QTest::keyClick(frame_, Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(frame_->windowTitle(), QString("Untitled - Vantrel"));

        AnswerNextFileDialog(saved + ".kx");
        QTest::keyClick(frame_, Qt::Key_O, Qt::ControlModifier);
        QTRY_COMPARE(frame_->windowTitle(), QString("startup-document.kx - Vantrel"));
        QCOMPARE(TheFiberCore()->startPoints.size(), startPoints);
        QCOMPARE(TheHeartModel()->mesh.polygons.size(), size_t(8676));
    }

    void functionKeysMoveTheFocusBetweenThePanes() {
        frame_->activateWindow();
        frame_->MainView()->setFocus();
        QTRY_VERIFY(frame_->MainView()->hasFocus());
        QTest::keyClick(frame_, Qt::Key_F6);
        QTRY_VERIFY(frame_->RuleView()->hasFocus());
        QTest::keyClick(frame_, Qt::Key_F6, Qt::ShiftModifier);
        QTRY_VERIFY(frame_->MainView()->hasFocus());
    }

    void aboutBoxShowsTheVersion() {
        QString title;
        QStringList texts;
        QTimer::singleShot(50, [&] {
            QWidget* box = QApplication::activeModalWidget();
            if (!box) return;
            title = box->windowTitle();
            for (QLabel* label : box->findChildren<QLabel*>()) texts << label->text();
            box->close();
        });
        QVERIFY(ChooseMenu(frame_, "&Help", "&About Vantrel..."));
        QCOMPARE(title, QString("About Vantrel"));
        QVERIFY(texts.contains("Vantrel Version 1.0"));
    }

private:
    std::unique_ptr<CVantrelApp> program_;
    CMainFrame* frame_ = nullptr;
};

VANTREL_QT_TEST_MAIN(StartupTest)
#include "app_startup_test.moc"
