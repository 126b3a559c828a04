// Rule handles dragged in the rule window of the running program: every handle's
// edit with its strict bounds, the twist of the side handles, the lateral tip
// swinging to the pointer, the listener's reset and the new pick pass at the
// release, picks after a resize, laterals without handles, and drags that end in
// unusual ways. Every input is a real mouse event sent through the frame's window.
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
        shape.push_back(lateral.length);
        shape.push_back(lateral.width);
        shape.insert(shape.end(), lateral.matrix.m, lateral.matrix.m + 16);
    }
    return shape;
}

bool Near(const Matrix4& a, const Matrix4& b, double tolerance) {
    for (int i = 0; i < 16; ++i) {
        if (std::abs(a.m[i] - b.m[i]) > tolerance) return false;
    }
    return true;
}

Matrix4 TurnAboutY(double angle) {
    Matrix4 turn;
    turn.SetRotation(Vector3(0, 1, 0), angle);
    return turn;
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
        QVERIFY(!listener_->editing);
        QCOMPARE(listener_->pickDepth, 1.0f);
        QCOMPARE(listener_->pickRule, 0xFFFFFFFFu);
        QCOMPARE(listener_->pickPart, 0xFFFFFFFFu);
        QCOMPARE(listener_->pickLateral, 0xFFFFFFFFu);
        QCOMPARE(listener_->pickHandle, 0xFFFFFFFFu);
        QVERIFY(!TheViewCore()->ruleGL.Dragging());
        // Each test starts from rules as built.
        rule1_->Rebuild();
        rule2_->Rebuild();
        TheRuleLayout()->RedrawRulePick(TheViewCore()->ruleGL);
        view_->repaint();
    }

    void pressAndReleaseOnAHandleChangeNothing() {
        const std::vector<double> before = Shape(*rule2_);
        const QPoint at = Handle(kRule2 + kStemSide);
        ViewMouse mouse(view_);
        mouse.Press(Qt::LeftButton, at);
        QVERIFY(listener_->editing);
        QCOMPARE(listener_->pickRule, 1u);
        QCOMPARE(listener_->pickPart, 2u);
        QCOMPARE(listener_->pickHandle, 1u);
        QVERIFY(listener_->pickDepth < 1.0f);
        QVERIFY(!TheViewCore()->ruleGL.Dragging());  // a grabbed handle moves no camera
        mouse.Release(Qt::LeftButton, at);
        QVERIFY(Shape(*rule2_) == before);
        // Nor does a double click on it.
        mouse.DoubleClick(Qt::LeftButton, at);
        QVERIFY(Shape(*rule2_) == before);
    }

    void stemSideWidensByAThousandthPerPixelWithinItsBounds() {
        const QPoint at = Handle(kRule2 + kStemSide);
        PaintWatcher mainPaints(Frame()->MainView());
        PaintWatcher rulePaints(view_);
        ViewMouse mouse(view_);
        mouse.Press(Qt::LeftButton, at);
        // 100 pixels to the right in one step (out of the rule window, which keeps the
        // mouse while the button is held): 0.15 -> 0.25 -> 0.35, then 0.45 is refused.
        double expected = 0.15;
        for (int step = 1; step <= 3; ++step) {
            const int mainBefore = mainPaints.paints;
            const int ruleBefore = rulePaints.paints;
            mouse.Move(at + QPoint(100 * step, 0));
            if (step < 3) expected = expected + 100 * 0.001;
            QCOMPARE(rule2_->stemWidth, expected);
            // Every step redraws both views at once.
            QVERIFY(mainPaints.paints > mainBefore && rulePaints.paints > ruleBefore);
        }
        // 300 back in one step would give 0.05: refused too; then 100 back is taken.
        mouse.Move(at);
        QCOMPARE(rule2_->stemWidth, expected);
        mouse.Move(at + QPoint(-100, 0));
        QCOMPARE(rule2_->stemWidth, expected - 100 * 0.001);
        mouse.Release(Qt::LeftButton, at + QPoint(-100, 0));
        Screenshot(view_, "rule-stem-widened");
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
        mouse.Move(at + QPoint(0, -400));
        QCOMPARE(rule1_->stemLength, height);
        mouse.Move(at + QPoint(0, 60));
        QCOMPARE(rule1_->stemLength, height);
        mouse.Release(Qt::LeftButton, at + QPoint(0, 60));
        // The release rendered new picks: the tip is found where it went.
        const QPoint moved = Handle(kRule1 + kStemTip);
        QVERIFY(moved.y() < at.y() - 30);
        mouse.Press(Qt::LeftButton, moved);
        QVERIFY(listener_->editing);
        QCOMPARE(listener_->pickPart, 2u);
        QCOMPARE(listener_->pickHandle, 0u);
        mouse.Release(Qt::LeftButton, moved);
        Screenshot(view_, "rule-stem-lengthened");
    }

    void continuationSideTwistsAlsoWhenItsWidthIsRefused() {
        const QPoint at = Handle(kRule1 + kContinuationSide);
        ViewMouse mouse(view_);
        mouse.Press(Qt::LeftButton, at);
        Matrix4 expected = rule1_->continuationMatrix;
        // 0.95 + 10 * 0.01 = 1.05 is refused; the twist by 5 * 0.01 is taken.
        mouse.Move(at + QPoint(10, 5));
        expected = expected.Multiply(TurnAboutY(5 * 0.01));
        QCOMPARE(rule1_->continuationWidth, 0.95);
        QVERIFY(Near(rule1_->continuationMatrix, expected, 1e-14));
        mouse.Move(at + QPoint(-10, 5));
        QCOMPARE(rule1_->continuationWidth, 0.95 + -20 * 0.01);
        QVERIFY(Near(rule1_->continuationMatrix, expected, 1e-14));  // no vertical motion
        mouse.Release(Qt::LeftButton, at + QPoint(-10, 5));
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
        Screenshot(view_, "rule-lateral-swung");
    }

    void lateralSideWidensAndTwists() {
        const QPoint at = Handle(kRule1 + kLateralSide);
        Lateral& lateral = rule1_->laterals[0];
        ViewMouse mouse(view_);
        mouse.Press(Qt::LeftButton, at);
        Matrix4 expected = lateral.matrix;
        mouse.Move(at + QPoint(-30, 20));
        expected = expected.Multiply(TurnAboutY(20 * 0.01));
        QCOMPARE(lateral.width, 0.98 + -30 * 0.01);
        QVERIFY(Near(lateral.matrix, expected, 1e-14));
        // Down to 0.08: refused, the twist still taken.
        mouse.Move(at + QPoint(-90, 40));
        expected = expected.Multiply(TurnAboutY(20 * 0.01));
        QCOMPARE(lateral.width, 0.98 + -30 * 0.01);
        QVERIFY(Near(lateral.matrix, expected, 1e-14));
        mouse.Release(Qt::LeftButton, at + QPoint(-90, 40));
    }

    void resizeThenClickStillHitsTheHandle() {
        QSplitter* splitter = Frame()->Splitter();
        const QList<int> sizes = splitter->sizes();
        const Camera camera = TheViewCore()->ruleGL.CurrentCamera();
        // Collapsed to nothing first: opened again, the window keeps its camera.
        splitter->setSizes({0, sizes[0] + sizes[1]});
        QTRY_COMPARE(view_->width(), 0);
        splitter->setSizes({sizes[0] + 40, sizes[1] - 40});
        QTRY_COMPARE(view_->width(), sizes[0] + 40);
        QVERIFY(SameCamera(TheViewCore()->ruleGL.CurrentCamera(), camera));
        ViewMouse mouse(view_);
        const QPoint at = Handle(kRule2 + kStemTip);
        mouse.Press(Qt::LeftButton, at);
        QVERIFY(listener_->editing);
        mouse.Release(Qt::LeftButton, at);
        splitter->setSizes(sizes);
        QTRY_COMPARE(view_->width(), sizes[0]);

        // Between a resize of the wrapper and the next pick pass, a click hits nothing
        // and pans.
        TheViewCore()->ruleGL.Resize(view_->width(), view_->height());
        mouse.Press(Qt::LeftButton, at);
        QVERIFY(!listener_->editing);
        QCOMPARE(TheViewCore()->ruleGL.DragMode(), CameraDragMode::Pan);
        mouse.Release(Qt::LeftButton, at);
    }

    void dragsThatLeaveTheWindowOrMeetASecondButtonEndCleanly() {
        ViewMouse mouse(view_);
        const QPoint at = Handle(kRule2 + kStemSide);
        const QPoint outside(view_->width() + Frame()->width(), -40);
        mouse.Press(Qt::LeftButton, at);
        mouse.Move(outside);
        mouse.Release(Qt::LeftButton, outside);
        // An edit with the right button pressed and released in between.
        mouse.Press(Qt::LeftButton, at);
        mouse.Press(Qt::RightButton, at);
        mouse.Move(at + QPoint(20, 0));
        QVERIFY(listener_->editing);
        mouse.Release(Qt::RightButton, at + QPoint(20, 0));
        mouse.Release(Qt::LeftButton, at + QPoint(20, 0));
        // A pan with the middle button pressed during it.
        const QPoint empty(10, 10);
        mouse.Press(Qt::LeftButton, empty);
        QVERIFY(!listener_->editing);
        mouse.Press(Qt::MiddleButton, empty);
        mouse.Release(Qt::LeftButton, empty);
        mouse.Release(Qt::MiddleButton, empty);
        TheViewCore()->ruleGL.ResetCamera();
    }

    void lateralsFromSixteenOnAreGreyAndCannotBeGrabbed() {
        auto grey = [](const QImage& image) {
            return CountColour(image, QColor(128, 128, 128), 2);
        };
        const int greyBefore = grey(view_->grabFramebuffer());
        for (int i = 0; i < 15; ++i) QVERIFY(ChooseMenu("RewritingRule", "add lateral to rule2"));
        QCOMPARE(rule2_->laterals.size(), size_t(17));
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
        QVERIFY(!stemTip.isEmpty());
        QVERIFY(stemTip.width() <= 16 && stemTip.height() <= 16);
        const RulePartPlacement lateral16 = rule2_->Placements().back();
        QCOMPARE(lateral16.lateralIndex, 16);
        for (const Vector3& handle : {lateral16.tipHandle, lateral16.sideHandle}) {
            const Vector3 world =
                TheRuleLayout()->rule2Origin + lateral16.transform.Transform(handle);
            const auto at = ProjectToView(TheViewCore()->ruleGL, world, view_->devicePixelRatioF());
            QVERIFY(at);
            const PickSample sample = TheViewCore()->ruleGL.ReadPick(static_cast<int>(at->x()),
                                                                     static_cast<int>(at->y()));
            const std::uint32_t code = sample.code & 0xFFFFFFu;
            QVERIFY(!sample.hit || (code != kRule2 + kStemTip && code != kRule2 + kStemSide));
        }
        for (int i = 0; i < 15; ++i)
            QVERIFY(ChooseMenu("RewritingRule", "remove lateral to rule 2"));
        QCOMPARE(rule2_->laterals.size(), size_t(2));
        TheViewCore()->ruleGL.ResetCamera();
    }

private:
    // The rule-window pixel of the handle with pick code `code` in the last pick pass:
    // of its pixels whose eight neighbours show it too, the one nearest their centre.
    std::optional<QPoint> HandleAt(std::uint32_t code) const {
        const PickBuffer& pick = TheViewCore()->ruleGL.Pick();
        const double ratio = view_->devicePixelRatioF();
        auto codeAt = [&pick](int column, int row) {
            const PickSample sample = pick.Read(column, row);
            return sample.hit ? sample.code & 0xFFFFFFu : kPickBackground;
        };
        std::vector<QPoint> inner;
        for (int row = 1; row + 1 < pick.Height(); ++row) {
            for (int column = 1; column + 1 < pick.Width(); ++column) {
                bool all = true;
                for (int dy = -1; dy <= 1 && all; ++dy) {
                    for (int dx = -1; dx <= 1 && all; ++dx)
                        all = codeAt(column + dx, row + dy) == code;
                }
                if (all) inner.push_back(QPoint(column, pick.Height() - 1 - row));
            }
        }
        if (inner.empty()) return std::nullopt;
        QPointF centre;
        for (const QPoint& p : inner) centre += QPointF(p);
        centre /= static_cast<double>(inner.size());
        QPoint best = inner.front();
        for (const QPoint& p : inner) {
            if (QLineF(QPointF(p), centre).length() < QLineF(QPointF(best), centre).length())
                best = p;
        }
        return QPoint(static_cast<int>(best.x() / ratio), static_cast<int>(best.y() / ratio));
    }

    QPoint Handle(std::uint32_t code) const {
        const std::optional<QPoint> at = HandleAt(code);
        if (!at) qFatal("handle %u is not in sight", code);
        return *at;
    }

    CRuleView* view_ = nullptr;
    MLforRuleWindow* listener_ = nullptr;
    RewritingRule* rule1_ = nullptr;
    RewritingRule* rule2_ = nullptr;
};

VANTREL_PROGRAM_TEST_MAIN(EditRuleTest)
#include "app_edit_rule_test.moc"
