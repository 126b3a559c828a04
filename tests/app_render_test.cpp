// Screenshots of both views in every rendering mode, with a grown network; each
// picture is kept under the build folder (program-output/app_render_test) and
// checked for what the mode must show. Also the whole-model drawing with its
// display list, and the bitmap the main view saves.
#include <QImage>
#include <QOpenGLWidget>

#include <GL/gl.h>

#include "app_harness.h"
#include "render/ModelDrawing.h"
#include "shapes.h"

using namespace vantrel;
using namespace vantrel::testing;

namespace {

bool Reddish(const QColor& c) {
    return c.red() > 120 && c.red() > c.green() + 60 && c.red() > c.blue() + 60;
}
bool Black(const QColor& c) {
    return c.red() + c.green() + c.blue() < 10;
}
// The heart's unsegmented grey and the pink of its segmented part (lit).
bool Greyish(const QColor& c) {
    return c.red() > 30 && std::abs(c.red() - c.green()) < 12 &&
           std::abs(c.green() - c.blue()) < 12;
}
// The fibre layer's translucent points tint everything towards yellow-blue.
bool FieldTinted(const QColor& c) {
    return c.red() > 150 && c.green() > 150 && c.blue() < c.green() - 20;
}

// Draws a unit cube with DrawModel through a display list, in either mode.
class ModelView : public QOpenGLWidget {
public:
    int mode = 0;
    unsigned listId = 0;
    bool replayList = false;

protected:
    void paintGL() override {
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-1, 10, -1, 10, -20, 20);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glRotated(20, 1, 1, 0);
        glDisable(GL_LIGHTING);
        glEnable(GL_DEPTH_TEST);
        glDisable(GL_CULL_FACE);
        if (replayList) {
            glCallList(listId);
            return;
        }
        const unsigned char red[3] = {255, 0, 0};
        DrawModel(cube_, mode, &listId, red);
    }

private:
    RkPolygonModel cube_ = [] {
        RkPolygonModel cube = shapes::UnitCube();
        cube.ScaleAbout(8.0, Vector3(0, 0, 0));
        cube.ComputeNormals();
        return cube;
    }();
};

}  // namespace

class RenderTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        main_ = Frame()->MainView();
        UseCloseUpCamera();
        PlaceStartPoints({1200, 5200, 7300});
        QVERIFY(ChooseMenu("Growth", "Go Growth"));
        QVERIFY(!TheFiberCore()->fibers.empty());
    }

    void polygonModeShowsTheLitHeartUnderTheField() {
        const QImage withField = Screenshot(main_, "main-polygon-field");
        QVERIFY(ChooseMenu("Rendering Mode", "Volume Field"));
        const QImage plain = Screenshot(main_, "main-polygon");
        QVERIFY(CountPixels(withField, FieldTinted) > CountPixels(plain, FieldTinted) + 20000);
        QVERIFY(CountPixels(plain, Reddish) > 50000);  // the segmented heart and the red tubes
        QVERIFY(CountPixels(plain, Black) > 50000);    // the background around the heart
    }

    void frameModeDrawsTheEdgesInTeal() {
        QVERIFY(ChooseMenu("Rendering Mode", "Target Object Frame"));
        const QImage picture = Screenshot(main_, "main-frame");
        QVERIFY(CountColour(picture, QColor(0, 128, 128), 8) > 20000);
        QVERIFY(ChooseMenu("Rendering Mode", "Target Object Frame"));
        const QImage none = Screenshot(main_, "main-no-heart");
        QCOMPARE(CountColour(none, QColor(0, 128, 128), 8), 0);
        // Only the fibres are left: red tubes over black, no lit grey or pink wall.
        QVERIFY(CountPixels(none, Reddish) > 20000);
        QVERIFY(CountPixels(none, Black) > CountPixels(picture, Black));
        QVERIFY(CountPixels(none, Greyish) < 2000);
    }

    void transparentModeLetsTheFibresShowThrough() {
        auto bright = [](const QColor& c) { return c.red() > 230 && c.green() > 150; };
        QVERIFY(ChooseMenu("Rendering Mode", "Target Object Polygon"));  // from no heart
        const QImage opaque = Screenshot(main_, "main-opaque");
        QVERIFY(ChooseMenu("Rendering Mode", "Target Object Transparent"));
        const QImage transparent = Screenshot(main_, "main-transparent");
        // The blended wall is darker red than the lit opaque one; the background stays.
        QVERIFY(CountPixels(transparent, bright) < CountPixels(opaque, bright));
        QVERIFY(std::abs(CountPixels(transparent, Black) - CountPixels(opaque, Black)) < 3000);
        QVERIFY(ChooseMenu("Rendering Mode", "Target Object Polygon"));
    }

    void wireFrameDrawsThePathsInTheirStateColours() {
        QVERIFY(ChooseMenu("Rendering Mode", "Target Object Polygon"));  // heart off
        QVERIFY(ChooseMenu("Rendering Mode", "Wire Frame  for Fiber"));
        const QImage wire = Screenshot(main_, "main-wire");
        QVERIFY(CountColour(wire, QColor(204, 51, 51), 10) > 3000);  // plain strokes
        QVERIFY(CountColour(wire, QColor(255, 255, 0), 10) > 300);   // junctions
        QVERIFY(ChooseMenu("Rendering Mode", "Polygon      for Fiber"));
        const QImage tubes = Screenshot(main_, "main-tubes");
        QVERIFY(CountColour(tubes, QColor(204, 51, 51), 10) <
                CountColour(wire, QColor(204, 51, 51), 10) / 10);
        QVERIFY(ChooseMenu("Rendering Mode", "Target Object Polygon"));
    }

    void ruleWindowShowsBothRulesHandlesAndGrid() {
        const QImage rules = Screenshot(Frame()->RuleView(), "rule-default");
        QVERIFY(CountColour(rules, QColor(255, 0, 0), 0) > 4 * 100);  // tip handles, 15 px squares
        QVERIFY(CountColour(rules, QColor(0, 255, 0), 0) > 3 * 100);  // side handles
        QVERIFY(CountColour(rules, QColor(204, 204, 204), 2) > 500);  // floor grid
        QVERIFY(CountPixels(rules, [](const QColor& c) {
                    return c.red() < 40 && c.green() > 150 && c.blue() > 150;
                }) > 500);
        QVERIFY(ChooseMenu("RewritingRule", "add lateral to rule2"));
        const QImage three = Screenshot(Frame()->RuleView(), "rule-three-laterals");
        QVERIFY(CountColour(three, QColor(0, 255, 0), 0) >
                CountColour(rules, QColor(0, 255, 0), 0));
        QVERIFY(ChooseMenu("RewritingRule", "remove lateral to rule 2"));
    }

    void savedBitmapIsTheViewsPicture() {
        const QString path = OutputDir() + "/main-view.bmp";
        QVERIFY(TheViewCore()->mainGL.SaveBitmap(path.toStdString()));
        const QImage saved(path);
        QVERIFY(!saved.isNull());
        const QImage shown = main_->grabFramebuffer().convertToFormat(QImage::Format_RGB888);
        QCOMPARE(saved.convertToFormat(QImage::Format_RGB888), shown);
        QFile file(path);
        QCOMPARE(file.size(), qint64(54 + ((shown.width() * 3 + 3) / 4 * 4) * shown.height()));
    }

    void drawModelFillsOrOutlinesAndRecordsAList() {
        ModelView view;
        view.resize(200, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        auto red = [&view](int mode, const QString& name) {
            view.mode = mode;
            const QImage picture = view.grabFramebuffer();
            picture.save(OutputDir() + "/" + name + ".png");
            return CountColour(picture, QColor(255, 0, 0), 0);
        };
        const int filled = red(0, "model-filled");
        QVERIFY(filled > 10000 && view.listId != 0);
        const QImage picture = view.grabFramebuffer();
        view.replayList = true;
        QCOMPARE(view.grabFramebuffer(), picture);  // the list draws the same picture
        view.replayList = false;
        const int outline = red(1, "model-wire");
        QVERIFY(outline > 200 && outline < filled / 5);
        QCOMPARE(red(7, "model-none"), 0);
    }

private:
    CVantrelView* main_ = nullptr;
};

VANTREL_PROGRAM_TEST_MAIN(RenderTest)
#include "app_render_test.moc"
