// Growth in the running program: two "Go Growth" runs from one random state grow the
// same fibres; a long growth shows its progress and Esc ends it with a partial
// network; Auto Growth regrows once per burst of edits (a rule-handle drag or a
// start-point placement by real mouse events, slider steps, commands) and grows what
// "Go Growth" grows.
#include <QProgressDialog>
#include <QSlider>
#include <QStatusBar>
#include <cstdio>

#include "app/GrowthParameterDlg.h"
#include "edit_harness.h"

using namespace vantrel;
using namespace vantrel::testing;

namespace {

// The current fibres as "export current fibers" writes them.
std::string FibreObj() {
    std::FILE* file = std::tmpfile();
    TheFiberCore()->ExportFibersObj(file);
    std::string text(static_cast<std::size_t>(std::ftell(file)), '\0');
    std::rewind(file);
    text.resize(std::fread(text.data(), 1, text.size(), file));
    std::fclose(file);
    return text;
}

// The fibres "Go Growth" grows from the random state `state`.
std::string GoGrowthFrom(std::uint32_t state) {
    ProgramRandom().SetState(state);
    if (!ChooseMenu("Growth", "Go Growth")) return std::string();
    return FibreObj();
}

// The Auto Growth runs so far, once the queued ones have run.
int AutoRuns() {
    QCoreApplication::processEvents();
    return Frame()->AutoGrowthRuns();
}

}  // namespace

class GrowthTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        UseCloseUpCamera();
        PlaceStartPoints({1200, 5200});
        state_ = ProgramRandom().State();
        grown_ = GoGrowthFrom(state_);
        QVERIFY(grown_.size() > 1000);
    }

    void twoGoGrowthRunsFromOneRandomStateExportTheSameFibres() {
        QVERIFY(GoGrowthFrom(state_) == grown_);
    }

    void escInTheProgressDialogEndsTheGrowthWithAMarkedPartialNetwork() {
        Frame()->SetGrowthProgressDelay(0);  // every growth counts as long
        std::vector<int> passesInDialog;
        Frame()->SetGrowthPassObserver([&passesInDialog](int pass) {
            auto* dialog = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            passesInDialog.push_back(pass);
            if (pass == 3) QTest::keyClick(dialog, Qt::Key_Escape);
        });
        const std::string partial = GoGrowthFrom(state_);
        Frame()->SetGrowthPassObserver({});
        Frame()->SetGrowthProgressDelay(kGrowthProgressNever);
        QCOMPARE(passesInDialog, std::vector<int>({0, 1, 2, 3}));
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(Frame()->statusBar()->currentMessage().startsWith(
            "Growth cancelled after pass 3: the network is partial"));
        QVERIFY(StrokeCount() > 0 && partial.size() < grown_.size());
        // The next growth is whole again.
        QVERIFY(GoGrowthFrom(state_) == grown_);
    }

    void autoGrowthRegrowsOncePerEditBurstAsGoGrowthWould() {
        // Off (as at start): edits grow nothing. Switched on: the edited scene grows.
        QVERIFY(ChooseMenu("RewritingRule", "add lateral to rule2"));
        QCOMPARE(AutoRuns(), 0);
        QVERIFY(ChooseMenu("Growth", "Auto Growth"));
        QCOMPARE(AutoRuns(), 1);
        // A rule-handle drag and a start-point placement each regrow once, at the
        // release, what Go Growth grows.
        const std::optional<QPoint> tip = HandlePixel(256 + 128);  // rule 2's stem tip
        const std::optional<QPoint> area = SegmentedArea(Frame()->MainView(), 4);
        QVERIFY(tip && area);
        const struct {
            QWidget* view;
            std::vector<QPoint> path;
        } drags[] = {
            {Frame()->RuleView(), {*tip, *tip + QPoint(0, -10), *tip + QPoint(0, -20)}},
            {Frame()->MainView(), {*area, *area + QPoint(3, 2)}},
        };
        const std::string before = FibreObj();
        for (const auto& drag : drags) {
            const int runs = AutoRuns();
            ProgramRandom().SetState(state_);
            ViewMouse(drag.view).Drag(Qt::LeftButton, drag.path);
            QCOMPARE(AutoRuns(), runs + 1);
            const std::string regrown = FibreObj();
            QVERIFY(regrown != before);
            QVERIFY(regrown == GoGrowthFrom(state_));
        }
        // Two slider steps and a command: one regrowth. A command that edits nothing
        // that grows: none.
        auto* dialog = static_cast<GrowthParameterDlg*>(TheViewCore()->parameterDialog.data());
        const int runs = AutoRuns();
        dialog->gradientDirectionRateSlider()->setValue(60);
        dialog->gradientDirectionRateSlider()->setValue(55);
        QVERIFY(ChooseMenu("RewritingRule", "remove lateral to rule 2"));
        QCOMPARE(AutoRuns(), runs + 1);
        QVERIFY(ChooseMenu("Rendering Mode", "Volume Field"));
        QVERIFY(ChooseMenu("Rendering Mode", "Volume Field"));
        QCOMPARE(AutoRuns(), runs + 1);
        QVERIFY(ChooseMenu("Growth", "Auto Growth"));
        QVERIFY(ChooseMenu("RewritingRule", "add lateral to rule2"));
        QCOMPARE(AutoRuns(), runs + 1);
    }

private:
    std::uint32_t state_ = 0;
    std::string grown_;  // "Go Growth" from state_ on the two placements
};

VANTREL_PROGRAM_TEST_MAIN(GrowthTest)
#include "app_growth_test.moc"
