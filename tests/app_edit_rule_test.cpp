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
        // Every release leaves the listener idle.
        QVERIFY(!listener_->editing && !TheViewCore()->ruleGL.Dragging());
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
        mouse.Click(Qt::LeftButton, at);
        mouse.DoubleClick(Qt::LeftButton, at);
        QVERIFY(Shape(*rule2_) == before);
    }

    void draggedHandleEditsItsPartByThePixelsMoved_data() {
        QTest::addColumn<std::uint32_t>("code");
        QTest::addColumn<std::uint32_t>("part");    // 0 continuation, 1 lateral, 2 stem
        QTest::addColumn<std::uint32_t>("handle");  // 0 tip, 1 side
        QTest::addColumn<QPoint>("step");           // each of two moves
        QTest::newRow("stem tip") << kRule1 + kStemTip << 2u << 0u << QPoint(0, -20);
        QTest::newRow("stem side") << kRule2 + kStemSide << 2u << 1u << QPoint(50, 0);
        QTest::newRow("continuation side")
            << kRule1 + kContinuationSide << 0u << 1u << QPoint(-10, 5);
        QTest::newRow("lateral tip") << kRule1 + kLateralTip << 1u << 0u << QPoint(-15, -10);
        QTest::newRow("lateral side") << kRule1 + kLateralSide << 1u << 1u << QPoint(-15, 10);
    }
    void draggedHandleEditsItsPartByThePixelsMoved() {
        QFETCH(std::uint32_t, code);
        QFETCH(std::uint32_t, part);
        QFETCH(std::uint32_t, handle);
        QFETCH(QPoint, step);
        const bool second = code >= kRule2;
        RewritingRule& rule = second ? *rule2_ : *rule1_;
        RewritingRule expected = rule;
        const std::vector<double> before = Shape(rule);
        const QPoint at = Handle(code);
        const float depth = TheViewCore()->ruleGL.ReadPick(at.x(), at.y()).depth;
        PaintWatcher mainPaints(Frame()->MainView());
        PaintWatcher rulePaints(view_);
        ViewMouse mouse(view_);
        mouse.Press(Qt::LeftButton, at);
        QVERIFY(!TheViewCore()->ruleGL.Dragging());  // a grabbed handle moves no camera
        for (const QPoint to : {at + step, at + 2 * step}) {
            const int paints[] = {mainPaints.paints, rulePaints.paints};
            mouse.Move(to);
            // The pointer at the grabbed handle's depth, in the rule's own frame.
            const Vector3 origin =
                second ? TheRuleLayout()->rule2Origin : TheRuleLayout()->rule1Origin;
            const Vector3 pointer =
                TheViewCore()->ruleGL.UnprojectAt(to.x(), to.y(), depth) - origin;
            expected.DragHandle(part, 0, handle, step.x(), step.y(), pointer);
            QVERIFY(Shape(rule) == Shape(expected));
            // Every step redraws both views at once.
            QVERIFY(mainPaints.paints > paints[0] && rulePaints.paints > paints[1]);
        }
        QVERIFY(Shape(rule) != before);
        mouse.Release(Qt::LeftButton, at + 2 * step);
        // The release rendered new picks: the handle is grabbed where it went.
        mouse.Press(Qt::LeftButton, Handle(code));
        QVERIFY(listener_->editing);
        mouse.Release(Qt::LeftButton, Handle(code));
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
        const int greyBefore = CountColour(view_->grabFramebuffer(), QColor(128, 128, 128), 2);
        for (int i = 0; i < 15; ++i) QVERIFY(ChooseMenu("RewritingRule", "add lateral to rule2"));
        QVERIFY(Frame()->statusBar()->currentMessage().contains("only the first 16"));
        // Pan rule 2 into the middle of the narrow window: a left drag off the handles.
        ViewMouse(view_).Drag(Qt::LeftButton, {QPoint(10, 10), QPoint(-15, 10), QPoint(-40, 10)});
        view_->repaint();
        QVERIFY(CountColour(Screenshot(view_, "rule-seventeen-laterals"), QColor(128, 128, 128),
                            2) > greyBefore + 20);
        // Lateral 16's codes would be the stem's: where its handles are drawn no stem
        // code is read.
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
