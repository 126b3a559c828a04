// Growth in the running program: two "Go Growth" runs from one random state grow the
// same fibres; a long growth shows its progress and Esc ends it with a partial
// network; Auto Growth regrows once when a rule-handle drag or a start-point
// placement ends (real mouse events) and grows what "Go Growth" grows.
#include <QProgressDialog>
#include <QStatusBar>
#include <cstdio>

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

// A rule-window pixel of the handle with pick code `code` in the last pick pass, one
// whose eight neighbours show the handle too.
std::optional<QPoint> HandlePixel(std::uint32_t code) {
    const PickBuffer& pick = TheViewCore()->ruleGL.Pick();
    const double ratio = Frame()->RuleView()->devicePixelRatioF();
    std::vector<QPoint> inner;
    for (int row = 1; row + 1 < pick.Height(); ++row) {
        for (int column = 1; column + 1 < pick.Width(); ++column) {
            bool all = true;
            for (int d = 0; d < 9 && all; ++d) {
                const PickSample sample = pick.Read(column + d % 3 - 1, row + d / 3 - 1);
                all = sample.hit && (sample.code & 0xFFFFFFu) == code;
            }
            if (all) inner.push_back(QPoint(column, pick.Height() - 1 - row));
        }
    }
    if (inner.empty()) return std::nullopt;
    const QPoint middle = inner[inner.size() / 2];
    return QPoint(static_cast<int>(middle.x() / ratio), static_cast<int>(middle.y() / ratio));
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

    void ruleHandleDragRegrowsOnceAtTheReleaseAsGoGrowthWould() {
        SwitchAutoGrowthOn();
        const std::optional<QPoint> tip = HandlePixel(256 + 128);  // rule 2's stem tip
        QVERIFY(tip);
        const int runs = Frame()->AutoGrowthRuns();
        ProgramRandom().SetState(state_);
        ViewMouse(Frame()->RuleView())
            .Drag(Qt::LeftButton, {*tip, *tip + QPoint(0, -10), *tip + QPoint(0, -20)});
        QVERIFY(TheFiberCore()->rule2.stemLength > 1.0);
        QCoreApplication::processEvents();
        QCOMPARE(Frame()->AutoGrowthRuns(), runs + 1);
        QVERIFY(FibreObj() == GoGrowthFrom(state_));
    }

    void startPointPlacementRegrowsOnceAtTheReleaseAsGoGrowthWould() {
        SwitchAutoGrowthOn();
        QWidget* view = Frame()->MainView();
        const std::optional<QPoint> area = SegmentedArea(view, 4);
        QVERIFY(area);
        const int runs = Frame()->AutoGrowthRuns();
        const std::size_t starts = TheFiberCore()->startPoints.size();
        ProgramRandom().SetState(state_);
        ViewMouse(view).Drag(Qt::LeftButton, {*area, *area + QPoint(3, 2)});
        QCOMPARE(TheFiberCore()->startPoints.size(), starts + 4);
        QCoreApplication::processEvents();
        QCOMPARE(Frame()->AutoGrowthRuns(), runs + 1);
        QVERIFY(FibreObj() == GoGrowthFrom(state_));
    }

private:
    // Switching it on regrows the scene once; the tests count from there.
    static void SwitchAutoGrowthOn() {
        if (!MenuAction("Growth", "Auto Growth")->isChecked()) {
            QVERIFY(ChooseMenu("Growth", "Auto Growth"));
            QCoreApplication::processEvents();
        }
    }

    std::uint32_t state_ = 0;
    std::string grown_;  // "Go Growth" from state_ on the two placements
};

VANTREL_PROGRAM_TEST_MAIN(GrowthTest)
#include "app_growth_test.moc"
