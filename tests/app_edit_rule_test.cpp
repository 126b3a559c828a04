// Rule handles dragged in the rule window of the running program: every handle's
// edit with its strict bounds, the twist of the side handles, the lateral tip
// swinging to the pointer, the listener's reset and the new pick pass at the
// release, picks after a resize and laterals without handles. Every input is a real
// mouse event sent through the frame's window.
#include <QSplitter>
#include <QStatusBar>
#include <cmath>

#include "edit_harness.h"

using namespace vantrel;
using namespace vantrel::testing;

namespace {

constexpr std::uint32_t kRule1 = 0;
constexpr std::uint32_t kRule2 = 256;
constexpr std::uint32_t kContinuationSide = 1;
constexpr std::uint32_t kLateralTip = 64;
constexpr std::uint32_t kLateralSide = 65;
constexpr std::uint32_t kStemTip = 128;
constexpr std::uint32_t kStemSide = 129;

// Everything a drag can change in a rule, in one list.
std::vector<double> Shape(const RewritingRule& rule) {
    std::vector<double> shape = {rule.stemLength, rule.stemWidth, rule.continuationLength,
                                 rule.continuationWidth};
    shape.insert(shape.end(), rule.continuationMatrix.m, rule.continuationMatrix.m + 16);
    for (const Lateral& lateral : rule.laterals) {
        shape.insert(shape.end(), {lateral.length, lateral.width});
        shape.insert(shape.end(), lateral.matrix.m, lateral.matrix.m + 16);
    }
    return shape;
}

// Where a handle of a rule's part is drawn in the rule window, in logical pixels.
std::optional<QPointF> HandleInView(bool rule2, const RulePartPlacement& part,
                                    const Vector3& handle) {
    const Vector3 origin = rule2 ? TheRuleLayout()->rule2Origin : TheRuleLayout()->rule1Origin;
    return ProjectToView(TheViewCore()->ruleGL, origin + part.transform.Transform(handle),
                         Frame()->RuleView()->devicePixelRatioF());
}

// The rule-window pixel of the handle with pick code `code`.
QPoint Handle(std::uint32_t code) {
    RewritingRule* rules[] = {&TheFiberCore()->rule1, &TheFiberCore()->rule2};
    for (RewritingRule* rule : rules) {
        for (const RulePartPlacement& part : rule->Placements()) {
            const bool rule2 = rule == rules[1];
            if (part.tipPickCode == code)
                return HandleInView(rule2, part, part.tipHandle)->toPoint();
            if (part.sidePickCode == code)
                return HandleInView(rule2, part, part.sideHandle)->toPoint();
        }
    }
    qFatal("no handle has the code %u", code);
}

}  // namespace

class EditRuleTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        view_ = Frame()->RuleView();
        listener_ = TheMLforRuleWindow();
        rule1_ = &TheFiberCore()->rule1;
        rule2_ = &TheFiberCore()->rule2;
    }

    void cleanup() {
        // Every release leaves the listener idle as constructed.
        QVERIFY(!listener_->leftDown && !listener_->rightDown && !listener_->middleDown);
        QVERIFY(!listener_->editing && listener_->pickDepth == 1.0f);
        for (std::uint32_t pick : {listener_->pickRule, listener_->pickPart, listener_->pickLateral,
                                   listener_->pickHandle})
            QCOMPARE(pick, 0xFFFFFFFFu);
        QVERIFY(!TheViewCore()->ruleGL.Dragging());
        // Each test starts from rules as built.
        rule1_->Rebuild();
        rule2_->Rebuild();
        TheRuleLayout()->RedrawRulePick(TheViewCore()->ruleGL);
        view_->repaint();
    }

    void pressReleaseOrDoubleClickOnAHandleChangesNothing() {
        const std::vector<double> before = Shape(*rule2_);
        const QPoint at = Handle(kRule2 + kStemSide);
        ViewMouse mouse(view_);
        mouse.Press(Qt::LeftButton, at);
        QVERIFY(listener_->editing);
        QVERIFY(!TheViewCore()->ruleGL.Dragging());  // a grabbed handle moves no camera
        mouse.Release(Qt::LeftButton, at);
        mouse.DoubleClick(Qt::LeftButton, at);
        QVERIFY(Shape(*rule2_) == before);
    }

    void sideHandleSetsTheWidthWithinItsBoundsAndTwists_data() {
        QTest::addColumn<std::uint32_t>("handle");
        QTest::addColumn<QList<QPoint>>("moves");   // from the handle
        QTest::addColumn<QList<double>>("widths");  // after each move
        // A thousandth per pixel for the stem, a hundredth for the others; the twist
        // a hundredth of a radian per pixel down. Widths beyond the bounds are refused.
        QTest::newRow("stem") << kRule2 + kStemSide
                              << QList<QPoint>{{100, 0}, {200, 0}, {300, 0}, {0, 0}, {-100, 0}}
                              << QList<double>{0.25, 0.35, 0.35, 0.35, 0.25};
        QTest::newRow("continuation")
            << kRule1 + kContinuationSide << QList<QPoint>{{10, 5}, {-10, 5}}
            << QList<double>{0.95, 0.75};
        QTest::newRow("lateral") << kRule1 + kLateralSide << QList<QPoint>{{-30, 20}, {-90, 40}}
                                 << QList<double>{0.68, 0.68};
    }
    void sideHandleSetsTheWidthWithinItsBoundsAndTwists() {
        QFETCH(std::uint32_t, handle);
        QFETCH(QList<QPoint>, moves);
        QFETCH(QList<double>, widths);
        const QPoint at = Handle(handle);
        const bool stem = handle == kRule2 + kStemSide;
        double& width = stem                              ? rule2_->stemWidth
                        : handle == kRule1 + kLateralSide ? rule1_->laterals[0].width
                                                          : rule1_->continuationWidth;
        Matrix4& matrix = handle == kRule1 + kLateralSide ? rule1_->laterals[0].matrix
                                                          : rule1_->continuationMatrix;
        Matrix4 expected = matrix;
        PaintWatcher mainPaints(Frame()->MainView());
        PaintWatcher rulePaints(view_);
        ViewMouse mouse(view_);
        mouse.Press(Qt::LeftButton, at);
        QPoint last;
        for (int i = 0; i < moves.size(); ++i) {
            const int paints[] = {mainPaints.paints, rulePaints.paints};
            mouse.Move(at + moves[i]);
            QCOMPARE(width, widths[i]);
            Matrix4 turn;
            turn.SetRotation(Vector3(0, 1, 0), (moves[i].y() - last.y()) * 0.01);
            expected = expected.Multiply(turn);
            last = moves[i];
            for (int k = 0; k < 16 && !stem; ++k)
                QVERIFY(std::abs(matrix.m[k] - expected.m[k]) < 1e-14);
            // Every step redraws both views at once.
            QVERIFY(mainPaints.paints > paints[0] && rulePaints.paints > paints[1]);
        }
        mouse.Release(Qt::LeftButton, at + moves.back());
    }

    void stemTipFollowsThePointerStrictlyBetweenOneAndThree() {
        const QPoint at = Handle(kRule1 + kStemTip);
        ViewMouse mouse(view_);
        mouse.Press(Qt::LeftButton, at);
        const float depth = listener_->pickDepth;
        const QPoint up = at + QPoint(0, -40);
        mouse.Move(up);
        const Vector3 pointer = TheViewCore()->ruleGL.UnprojectAt(up.x(), up.y(), depth);
        const double height = pointer.y - TheRuleLayout()->rule1Origin.y;
        QVERIFY(height > 1.2 && height < 3.0);
        QCOMPARE(rule1_->stemLength, height);
        // Far above 3.0 and below 1.0 the length stays.
        for (const QPoint to : {at + QPoint(0, -400), at + QPoint(0, 60)}) {
            mouse.Move(to);
            QCOMPARE(rule1_->stemLength, height);
        }
        mouse.Release(Qt::LeftButton, at + QPoint(0, 60));
        Screenshot(view_, "rule-stem-lengthened");
        // The release rendered new picks: the tip is grabbed where it went.
        const QPoint moved = Handle(kRule1 + kStemTip);
        QVERIFY(moved.y() < at.y() - 30);
        mouse.Press(Qt::LeftButton, moved);
        QVERIFY(listener_->editing && listener_->pickPart == 2u && listener_->pickHandle == 0u);
        mouse.Release(Qt::LeftButton, moved);
    }

    void lateralTipSwingsToPointAtThePointer() {
        // Rule 1's lateral (rule 2's first lateral leans out of the narrow window).
        const QPoint at = Handle(kRule1 + kLateralTip);
        ViewMouse mouse(view_);
        mouse.Press(Qt::LeftButton, at);
        const float depth = listener_->pickDepth;
        for (const QPoint to : {at + QPoint(-15, -10), at + QPoint(-25, 10)}) {
            mouse.Move(to);
            const Vector3 pointer = TheViewCore()->ruleGL.UnprojectAt(to.x(), to.y(), depth);
            Vector3 wanted =
                pointer - TheRuleLayout()->rule1Origin - Vector3(0, rule1_->stemLength, 0);
            wanted.Normalize();
            const Vector3 direction = rule1_->laterals[0].matrix.Transform(Vector3(0, 1, 0));
            QVERIFY((direction - wanted).Length() < 1e-9);
            QCOMPARE(rule1_->laterals[0].length, 1.0);
        }
        mouse.Release(Qt::LeftButton, at + QPoint(-25, 10));
    }

    void handleIsGrabbedAfterTheWindowWasCollapsedAndWidened() {
        QSplitter* splitter = Frame()->Splitter();
        const QList<int> sizes = splitter->sizes();
        const Camera camera = TheViewCore()->ruleGL.CurrentCamera();
        // Collapsed to nothing first: opened again, the window keeps its camera.
        splitter->setSizes({0, sizes[0] + sizes[1]});
        QTRY_COMPARE(view_->width(), 0);
        splitter->setSizes({sizes[0] + 40, sizes[1] - 40});
        QTRY_COMPARE(view_->width(), sizes[0] + 40);
        QVERIFY(SameCamera(TheViewCore()->ruleGL.CurrentCamera(), camera));
        const QPoint at = Handle(kRule2 + kStemTip);
        ViewMouse(view_).Press(Qt::LeftButton, at);
        QVERIFY(listener_->editing);
        ViewMouse(view_).Release(Qt::LeftButton, at);
        splitter->setSizes(sizes);
        QTRY_COMPARE(view_->width(), sizes[0]);
    }

    void lateralsFromSixteenOnAreGreyAndCannotBeGrabbed() {
        auto grey = [](const QImage& image) {
            return CountColour(image, QColor(128, 128, 128), 2);
        };
        const int greyBefore = grey(view_->grabFramebuffer());
        for (int i = 0; i < 15; ++i) QVERIFY(ChooseMenu("RewritingRule", "add lateral to rule2"));
        QVERIFY(Frame()->statusBar()->currentMessage().contains("only the first 16"));
        // Pan rule 2 into the middle of the narrow window: a left drag off the handles.
        ViewMouse(view_).Drag(Qt::LeftButton, {QPoint(10, 10), QPoint(-15, 10), QPoint(-40, 10)});
        view_->repaint();
        QVERIFY(grey(Screenshot(view_, "rule-seventeen-laterals")) > greyBefore + 20);
        // Lateral 16's codes would be the stem's: the stem tip's code shows in one spot
        // only, and where lateral 16's handles are drawn no stem code is read.
        const PickBuffer& pick = TheViewCore()->ruleGL.Pick();
        QRect stemTip;
        for (int row = 0; row < pick.Height(); ++row) {
            for (int column = 0; column < pick.Width(); ++column) {
                const PickSample sample = pick.Read(column, row);
                if (sample.hit && (sample.code & 0xFFFFFFu) == kRule2 + kStemTip)
                    stemTip |= QRect(column, row, 1, 1);
            }
        }
        QVERIFY(!stemTip.isEmpty() && stemTip.width() <= 16 && stemTip.height() <= 16);
        const RulePartPlacement lateral16 = rule2_->Placements().back();
        QCOMPARE(lateral16.lateralIndex, 16);
        for (const Vector3& handle : {lateral16.tipHandle, lateral16.sideHandle}) {
            const QPoint at = HandleInView(true, lateral16, handle)->toPoint();
            const PickSample sample = TheViewCore()->ruleGL.ReadPick(at.x(), at.y());
            const std::uint32_t code = sample.code & 0xFFFFFFu;
            QVERIFY(!sample.hit || (code != kRule2 + kStemTip && code != kRule2 + kStemSide));
        }
        for (int i = 0; i < 15; ++i)
            QVERIFY(ChooseMenu("RewritingRule", "remove lateral to rule 2"));
        QCOMPARE(rule2_->laterals.size(), size_t(2));
        TheViewCore()->ruleGL.ResetCamera();
    }

private:
    CRuleView* view_ = nullptr;
    MLforRuleWindow* listener_ = nullptr;
    RewritingRule* rule1_ = nullptr;
    RewritingRule* rule2_ = nullptr;
};

VANTREL_PROGRAM_TEST_MAIN(EditRuleTest)
#include "app_edit_rule_test.moc"
