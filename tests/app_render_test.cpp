// Screenshots of both views in the rendering modes, with a grown network; each
// picture is kept under the build folder (program-output/app_render_test) and
// checked for what the mode must show.
#include "app_harness.h"

using namespace vantrel;
using namespace vantrel::testing;

namespace {

bool Reddish(const QColor& c) {
    return c.red() > 120 && c.red() > c.green() + 60 && c.red() > c.blue() + 60;
}
// The fibre layer's translucent points tint everything towards yellow-blue.
bool FieldTinted(const QColor& c) {
    return c.red() > 150 && c.green() > 150 && c.blue() < c.green() - 20;
}

}  // namespace

class RenderTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        main_ = Frame()->MainView();
        UseCloseUpCamera();
        PlaceStartPoints({1200, 5200, 7300});
        QVERIFY(ChooseMenu("Growth", "Go Growth"));
    }

    // From the start-up modes (field shown) through each heart mode; the field stays off.
    void heartModesShowTheFieldTheLitWallItsEdgesOrNothing() {
        const QImage withField = Screenshot(main_, "main-polygon-field");
        QVERIFY(ChooseMenu("Rendering Mode", "Volume Field"));
        const QImage opaque = Screenshot(main_, "main-polygon");
        QVERIFY(CountPixels(withField, FieldTinted) > CountPixels(opaque, FieldTinted) + 20000);
        QVERIFY(CountPixels(opaque, Reddish) > 50000);  // the segmented heart and the red tubes

        QVERIFY(ChooseMenu("Rendering Mode", "Target Object Frame"));
        const QImage frame = Screenshot(main_, "main-frame");
        QVERIFY(CountColour(frame, QColor(0, 128, 128), 8) > 20000);  // teal edges

        QVERIFY(ChooseMenu("Rendering Mode", "Target Object Frame"));
        const QImage none = Screenshot(main_, "main-no-heart");
        // Only the fibres are left: red tubes over black, no edges, no lit wall.
        QCOMPARE(CountColour(none, QColor(0, 128, 128), 8), 0);
        QVERIFY(CountPixels(none, Reddish) > 20000);
        auto greyish = [](const QColor& c) {  // the lit wall, unsegmented or pink
            return c.red() > 30 && std::abs(c.red() - c.green()) < 12 &&
                   std::abs(c.green() - c.blue()) < 12;
        };
        QVERIFY(CountPixels(none, greyish) < 2000);

        QVERIFY(ChooseMenu("Rendering Mode", "Target Object Transparent"));
        const QImage transparent = Screenshot(main_, "main-transparent");
        auto bright = [](const QColor& c) { return c.red() > 230 && c.green() > 150; };
        auto black = [](const QColor& c) { return c.red() + c.green() + c.blue() < 10; };
        // The blended wall is darker red than the lit opaque one; the background stays.
        QVERIFY(CountPixels(transparent, bright) < CountPixels(opaque, bright));
        QVERIFY(std::abs(CountPixels(transparent, black) - CountPixels(opaque, black)) < 3000);
        QVERIFY(ChooseMenu("Rendering Mode", "Target Object Polygon"));
    }

    void wireFrameDrawsThePathsInTheirStateColours() {
        QVERIFY(ChooseMenu("Rendering Mode", "Target Object Polygon"));  // heart off
        QVERIFY(ChooseMenu("Rendering Mode", "Wire Frame  for Fiber"));
        const QImage wire = Screenshot(main_, "main-wire");
        const int plainStrokes = CountColour(wire, QColor(204, 51, 51), 10);
        QVERIFY(plainStrokes > 3000);
        QVERIFY(CountColour(wire, QColor(255, 255, 0), 10) > 300);  // junctions
        QVERIFY(ChooseMenu("Rendering Mode", "Polygon      for Fiber"));
        const QImage tubes = Screenshot(main_, "main-tubes");
        QVERIFY(CountColour(tubes, QColor(204, 51, 51), 10) < plainStrokes / 10);
        QVERIFY(ChooseMenu("Rendering Mode", "Target Object Polygon"));
    }

    void ruleWindowShowsBothRulesHandlesAndGrid() {
        const QImage rules = Screenshot(Frame()->RuleView(), "rule-default");
        const int sideHandles = CountColour(rules, QColor(0, 255, 0), 0);
        QVERIFY(CountColour(rules, QColor(255, 0, 0), 0) > 4 * 100);  // tip handles, 15 px squares
        QVERIFY(sideHandles > 3 * 100);
        QVERIFY(CountColour(rules, QColor(204, 204, 204), 2) > 500);  // floor grid
        QVERIFY(ChooseMenu("RewritingRule", "add lateral to rule2"));
        const QImage three = Screenshot(Frame()->RuleView(), "rule-three-laterals");
        QVERIFY(CountColour(three, QColor(0, 255, 0), 0) > sideHandles);
        QVERIFY(ChooseMenu("RewritingRule", "remove lateral to rule 2"));
    }

private:
    CVantrelView* main_ = nullptr;
};

VANTREL_PROGRAM_TEST_MAIN(RenderTest)
#include "app_render_test.moc"
