// Steering the views of the running program: the start-up framing, the wheel zoom
// towards the cursor, Fit Heart and Fit Rules after camera drags, and depth ranges
// that never cut the heart; the panels and the parameter dialog's values and
// defaults. Then growth: "Go Growth" is reproducible from one random
// state, Esc in the progress dialog ends it with a partial network, and Auto Growth
// regrows once per burst of edits (real mouse drags, slider steps, commands) what
// "Go Growth" grows.
#include <QLabel>
#include <QMenuBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QWheelEvent>

#include "app/CommandIds.h"
#include "app/ConsoleDock.h"
#include "app/GrowthParameterDlg.h"
#include "edit_harness.h"

using namespace vantrel;
using namespace vantrel::testing;

namespace {

// How far the points reach in the view of `gl`: the largest |x| and |y| of their
// device coordinates, and whether every point in front of the eye has a depth inside
// the depth range (none cut by the near or far plane).
struct Reach {
    double widest = 0.0;
    bool allDepthsInside = true;
};

template <typename Points>
Reach ReachOf(const RkOGL& gl, const Points& points) {
    const Matrix4 clip = gl.Projection().Multiply(gl.ModelView());
    Reach reach;
    for (const Vector3& p : points) {
        double h[4];
        for (int r = 0; r < 4; ++r)
            h[r] = clip.At(r, 0) * p.x + clip.At(r, 1) * p.y + clip.At(r, 2) * p.z + clip.At(r, 3);
        if (h[3] <= 0.0) {
            reach.allDepthsInside = false;
            continue;
        }
        reach.widest = std::max({reach.widest, std::fabs(h[0] / h[3]), std::fabs(h[1] / h[3])});
        if (std::fabs(h[2] / h[3]) >= 1.0) reach.allDepthsInside = false;
    }
    return reach;
}

// The points fill most of the view, and none is cut.
bool Framed(const Reach& reach) {
    return reach.allDepthsInside && reach.widest < 1.0 && reach.widest > 0.5;
}

std::vector<Vector3> HeartPoints() {
    std::vector<Vector3> points;
    for (const auto& vertex : TheHeartModel()->mesh.vertices) points.push_back(vertex.position);
    return points;
}

std::vector<Vector3> RuleBoxCorners() {
    const SceneBox box = TheRuleLayout()->RulesBox();
    std::vector<Vector3> corners;
    for (int i = 0; i < 8; ++i) {
        corners.emplace_back(i & 1 ? box.high.x : box.low.x, i & 2 ? box.high.y : box.low.y,
                             i & 4 ? box.high.z : box.low.z);
    }
    return corners;
}

// A wheel event as the windowing system delivers it to the view.
void Wheel(QWidget* view, QPoint at, QPoint angleDelta, QPoint pixelDelta = QPoint()) {
    QWheelEvent event(QPointF(at), QPointF(view->mapToGlobal(at)), pixelDelta, angleDelta,
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(view, &event);
}

// The current fibres as "export current fibers" writes them.
QByteArray FibreObj() {
    FileNames().Answer(OutputDir() + "/fibres.obj");
    return ChooseMenu("&File", "export current fibers (.obj)")
               ? ReadAll(OutputDir() + "/fibres.obj")
               : QByteArray();
}

// The fibres "Go Growth" grows from the random state `state`.
QByteArray GoGrowthFrom(std::uint32_t state) {
    ProgramRandom().SetState(state);
    return ChooseMenu("Growth", "Go Growth") ? FibreObj() : QByteArray();
}

// The Auto Growth runs so far, once the queued ones have run.
int AutoRuns() {
    QCoreApplication::processEvents();
    return Frame()->AutoGrowthRuns();
}

}  // namespace

class ViewTest : public QObject {
    Q_OBJECT

private:
    QWidget* view_ = nullptr;
    QWidget* rules_ = nullptr;
    RkOGL& Main() { return TheViewCore()->mainGL; }
    std::uint32_t state_ = 0;
    QByteArray grown_;  // "Go Growth" from state_ on two placements

private slots:
    void initTestCase() {
        view_ = Frame()->MainView();
        rules_ = Frame()->RuleView();
    }

    void startUpShowsTheWholeHeartAndBothRules() {
        QVERIFY(Framed(ReachOf(Main(), HeartPoints())));
        const Reach rules = ReachOf(TheViewCore()->ruleGL, RuleBoxCorners());
        QVERIFY(rules.allDepthsInside && rules.widest < 1.0);
    }

    void wheelZoomsTowardsThePointUnderTheCursorAndBack() {
        const Camera start = Main().CurrentCamera();
        const std::optional<QPoint> onHeart =
            AreaWhere(view_, 0, [](QPoint p) { return PolygonAt(p) >= 0; });
        QVERIFY(onHeart);
        const QPoint at = *onHeart + QPoint(40, 25);
        Vector3 target, normal;
        QVERIFY(SurfaceAt(at, &target, &normal));
        // A mouse notch and a trackpad's pixel deltas of the same size.
        Wheel(view_, at, QPoint(0, 240));
        Wheel(view_, at, QPoint(0, 0), QPoint(0, 100));
        const Camera zoomed = Main().CurrentCamera();
        QVERIFY((zoomed.eye - target).Length() < 0.7 * (start.eye - target).Length());
        const std::optional<QPointF> seen =
            ProjectToView(Main(), target, view_->devicePixelRatioF());
        QVERIFY(seen);
        QVERIFY2(std::hypot(seen->x() - at.x() - 0.5, seen->y() - at.y() - 0.5) < 1.5,
                 qPrintable(QString("%1 %2").arg(seen->x()).arg(seen->y())));
        Wheel(view_, at, QPoint(0, -360));
        QVERIFY((Main().CurrentCamera().eye - start.eye).Length() < 1e-6);
    }

    void fitHeartFramesTheHeartAfterAnyDragsAndNothingIsCutAtTheZoomLimits() {
        ViewMouse mouse(view_);
        mouse.Drag(Qt::RightButton, {QPoint(200, 200), QPoint(330, 120), QPoint(380, 260)});
        // Far out with the wheel until the limit refuses, then through the centre
        // with a middle drag: the heart is never cut by the depth range.
        for (int i = 0; i < 40; ++i) Wheel(view_, QPoint(300, 200), QPoint(0, -120));
        QVERIFY(ReachOf(Main(), HeartPoints()).allDepthsInside);
        mouse.Drag(Qt::MiddleButton, {QPoint(300, 10), QPoint(300, 400)});
        QTest::keyClick(Frame(), Qt::Key_F);
        QVERIFY(Framed(ReachOf(Main(), HeartPoints())));
        // Close in on the surface until the limit refuses: the near plane still keeps
        // the surface point ahead.
        const std::optional<QPoint> onHeart =
            AreaWhere(view_, 0, [](QPoint p) { return PolygonAt(p) >= 0; });
        QVERIFY(onHeart);
        Vector3 target, normal;
        QVERIFY(SurfaceAt(*onHeart, &target, &normal));
        for (int i = 0; i < 60; ++i) Wheel(view_, *onHeart, QPoint(0, 120));
        QVERIFY((Main().CurrentCamera().eye - target).Length() < 0.1);
        QVERIFY(ReachOf(Main(), std::vector<Vector3>{target}).allDepthsInside);
        QTest::keyClick(Frame(), Qt::Key_F);
    }

    void fitRulesFromTheViewMenuFramesBothRules() {
        ViewMouse(rules_).Drag(Qt::RightButton, {QPoint(50, 300), QPoint(150, 200)});
        for (int i = 0; i < 15; ++i) Wheel(rules_, QPoint(100, 300), QPoint(0, 120));
        QVERIFY(ReachOf(TheViewCore()->ruleGL, RuleBoxCorners()).widest > 1.0);
        QVERIFY(ChooseMenu("&View", "Fit &Rules"));
        QVERIFY(Framed(ReachOf(TheViewCore()->ruleGL, RuleBoxCorners())));
    }

    void theViewMenuHidesAndBringsBackTheConsoleAndTheRulePane() {
        QVERIFY(ChooseMenu("&View", "&Console"));
        QVERIFY(!Frame()->Console()->isVisible());
        QVERIFY(ChooseMenu("&View", "&Console"));
        QVERIFY(Frame()->Console()->isVisible());
        QVERIFY(ChooseMenu("&View", "R&ule Pane"));
        QVERIFY(!Frame()->RuleView()->isVisible());
        QVERIFY(ChooseMenu("&View", "R&ule Pane"));
        QVERIFY(Frame()->RuleView()->isVisible());
        // A rule pane collapsed with the splitter comes back too.
        Frame()->Splitter()->setSizes({0, 900});
        QVERIFY(ChooseMenu("&View", "R&ule Pane"));
        QCOMPARE(Frame()->RuleView()->width(), 200);
    }

    // The frequent commands' keys (Space only in the main view), and a tip on every command.
    void frequentCommandsHaveKeysAndEveryCommandSaysWhatItDoes() {
        FiberCore* fibers = TheFiberCore();
        HeartModel* heart = TheHeartModel();
        const struct {
            Qt::Key key;
            const bool* state;
            bool after;
        } presses[] = {{Qt::Key_D, &fibers->placeStartPoint, false},
                       {Qt::Key_P, &fibers->placeStartPoint, true},
                       {Qt::Key_1, &heart->fiberAsPolygon, false},
                       {Qt::Key_2, &heart->fiberAsPolygon, true},
                       {Qt::Key_M, &heart->segmentationMode, true},
                       {Qt::Key_M, &heart->segmentationMode, false}};
        for (const auto& press : presses) {
            QTest::keyClick(Frame(), press.key);
            QCOMPARE(*press.state, press.after);
        }
        view_->setFocus();
        QTest::keyClick(view_, Qt::Key_Space);
        QVERIFY(fibers->animation);
        QTest::keyClick(view_, Qt::Key_Space);
        rules_->setFocus();
        QTest::keyClick(rules_, Qt::Key_Space);
        QVERIFY(!fibers->animation);
        QCOMPARE(Frame()->Commands().Action(command::kGoGrowth)->shortcut(),
                 QKeySequence(Qt::Key_F5));
        QList<QAction*> actions = Frame()->ToolBar()->actions();
        for (QAction* top : Frame()->menuBar()->actions()) actions += top->menu()->actions();
        for (QAction* action : actions) {
            QVERIFY2(action->isSeparator() || (!action->statusTip().isEmpty() &&
                                               action->toolTip() == action->statusTip()),
                     qPrintable(action->text()));
        }
    }

    void theParameterDialogShowsEachValueAndRestoresTheDefaults() {
        auto* dialog = static_cast<GrowthParameterDlg*>(TheViewCore()->parameterDialog.data());
        GrowthParameters& parameters = ProgramGrowthParameters();
        dialog->segmentResolutionSlider()->setValue(40);
        dialog->randomDirectionRateSlider()->setValue(7);
        QCOMPARE(dialog->valueLabel(0)->text(), QString("42"));
        QTest::mouseClick(dialog->defaultsButton(), Qt::LeftButton);
        const GrowthParameters defaults;
        QCOMPARE(parameters.SegmentResolution, defaults.SegmentResolution);
        QCOMPARE(parameters.RandomDirectionRate, defaults.RandomDirectionRate);
        QCOMPARE(dialog->valueLabel(2)->text(), QString("0.40"));
    }

    // Growth: two "Go Growth" runs from one random state grow the same fibres.
    void twoGoGrowthRunsFromOneRandomStateExportTheSameFibres() {
        UseCloseUpCamera();
        PlaceStartPoints({1200, 5200});
        state_ = ProgramRandom().State();
        grown_ = GoGrowthFrom(state_);
        QVERIFY(grown_.size() > 1000);
        QVERIFY(GoGrowthFrom(state_) == grown_);
    }

    void escInTheProgressDialogEndsTheGrowthWithAMarkedPartialNetwork() {
        Frame()->SetGrowthProgressDelay(0);  // every growth counts as long
        Frame()->SetGrowthPassObserver([](int pass) {
            auto* dialog = qobject_cast<QProgressDialog*>(QApplication::activeModalWidget());
            if (dialog && pass == 3) QTest::keyClick(dialog, Qt::Key_Escape);
        });
        ProgramRandom().SetState(state_);
        QVERIFY(ChooseMenu("Growth", "Go Growth"));
        Frame()->SetGrowthPassObserver({});
        Frame()->SetGrowthProgressDelay(kGrowthProgressNever);
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(Frame()->statusBar()->currentMessage().startsWith(
            "Growth cancelled after pass 3: the network is partial"));
        QVERIFY(StrokeCount() > 0 && FibreObj().size() < grown_.size());
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
        const QByteArray before = FibreObj();
        for (const auto& drag : drags) {
            const int runs = AutoRuns();
            ProgramRandom().SetState(state_);
            ViewMouse(drag.view).Drag(Qt::LeftButton, drag.path);
            QCOMPARE(AutoRuns(), runs + 1);
            const QByteArray regrown = FibreObj();
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
};

VANTREL_PROGRAM_TEST_MAIN(ViewTest)
#include "app_view_test.moc"
