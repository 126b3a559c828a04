// Rule handles dragged in the rule window of the running program: every handle's
// edit as the rule's own drag makes it, both views redrawn at every step, the
// listener's reset and the new pick pass at the release. Every input is a real mouse
// event sent through the frame's window.

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

// The rule-window pixel of the handle with pick code `code`, where its placement draws it.
QPoint Handle(std::uint32_t code) {
    for (const bool rule2 : {false, true}) {
        const RewritingRule& rule = rule2 ? TheFiberCore()->rule2 : TheFiberCore()->rule1;
        const Vector3 origin = rule2 ? TheRuleLayout()->rule2Origin : TheRuleLayout()->rule1Origin;
        for (const RulePartPlacement& part : rule.Placements()) {
            if (part.tipPickCode != code && part.sidePickCode != code) continue;
            const Vector3 handle = part.tipPickCode == code ? part.tipHandle : part.sideHandle;
            return ProjectToView(TheViewCore()->ruleGL, origin + part.transform.Transform(handle),
                                 Frame()->RuleView()->devicePixelRatioF())
                ->toPoint();
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

private:
    CRuleView* view_ = nullptr;
    MLforRuleWindow* listener_ = nullptr;
    RewritingRule* rule1_ = nullptr;
    RewritingRule* rule2_ = nullptr;
};

VANTREL_PROGRAM_TEST_MAIN(EditRuleTest)
#include "app_edit_rule_test.moc"
