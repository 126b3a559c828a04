// Another heart without restarting, a segmentation that takes effect when its mode is
// left, and the frame's mended faults, on the running program through its menus and
// real mouse events. Two starts run in child processes of this test program (the
// program's singletons live once per process): one whose heart question is cancelled,
// and one that chooses Exit with the parameter dialog open.
#include <QMessageBox>
#include <QProcess>
#include <QStatusBar>
#include <QTimer>

#include "edit_harness.h"

using namespace vantrel;
using namespace vantrel::testing;

namespace {

const char kCancelledStart[] = "--start-with-the-heart-question-cancelled";
const char kExitWithDialog[] = "--exit-with-the-parameter-dialog-open";

int CountMarked() {
    const std::vector<std::int32_t>& ids = TheHeartModel()->regionIds;
    return static_cast<int>(std::count_if(ids.begin(), ids.end(), [](auto id) { return id; }));
}

}  // namespace

class OpenHeartTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { view_ = Frame()->MainView(); }

    void refusedHeartLeavesThePreviousOneIntact() {
        const QString bad = OutputDir() + "/no-such-heart.obj";
        PlaceStartPoints({100});
        QString shown;
        ModalDialogHandler handler([&](QDialog* box) {
            if (auto* message = qobject_cast<QMessageBox*>(box)) shown = message->text();
            box->accept();
        });
        const int questions = FileNames().questions.size();
        FileNames().Answer(bad);
        QVERIFY(ChooseMenu("&File", "Open Heart..."));
        // No segmentation question for a heart that did not load.
        QCOMPARE(FileNames().questions.size(), questions + 1);
        QVERIFY(shown.startsWith("Could not open the heart " + bad + ": "));
        QCOMPARE(Frame()->statusBar()->currentMessage(), shown);
        QCOMPARE(TheHeartModel()->mesh.polygons.size(), size_t(8676));
        QCOMPARE(TheFiberCore()->startPoints.size(), size_t(4));
    }

    void openHeartReplacesHeartLayerNetworkAndScene() {
        const QString lv = QString(VANTREL_SHARED_DATA_DIR) + "/bivme_p1_lv_endo_capped.obj";
        if (!QFileInfo::exists(lv)) QSKIP("shared LV not found");
        QVERIFY(ChooseMenu("Growth", "Go Growth"));
        QVERIFY(StrokeCount() > 0);
        TheFiberCore()->rule2.AddLateral();
        const int questions = FileNames().questions.size();
        FileNames().Answer(lv);
        FileNames().Answer(QString());  // no segmentation
        QVERIFY(ChooseMenu("&File", "Open Heart..."));
        QCOMPARE(FileNames().questions.size(), questions + 2);  // heart, then segmentation
        QCOMPARE(TheHeartModel()->mesh.polygons.size(), size_t(3 * 3144));
        QCOMPARE(CountMarked(), 0);
        QCOMPARE(TheHeartModel()->volume.LayerVoxelCount(), 0);
        QVERIFY(TheFiberCore()->fibers.empty() && TheFiberCore()->startPoints.empty());
        QCOMPARE(TheFiberCore()->rule2.laterals.size(), size_t(2));
        // The view picks the new heart: every picked point lies on the picked polygon.
        int hits = 0;
        for (int y = 20; y < view_->height(); y += 40) {
            for (int x = 20; x < view_->width(); x += 40) {
                Vector3 point, normal;
                if (!SurfaceAt(QPoint(x, y), &point, &normal)) continue;
                const MeshPolygon& p = TheHeartModel()->mesh.polygons[PolygonAt(QPoint(x, y))];
                QVERIFY(std::abs(normal.Dot(
                            point - TheHeartModel()->mesh.vertices[p.vertex[0]].position)) < 0.05);
                ++hits;
            }
        }
        QVERIFY(hits > 20);
        QVERIFY(Frame()->statusBar()->currentMessage().startsWith("Heart read from"));
        // The notice gives way to "Ready" when the status bar's timer fires (fired here).
        auto* timer =
            Frame()->statusBar()->findChild<QTimer*>(QString(), Qt::FindDirectChildrenOnly);
        QVERIFY(timer && timer->isActive() && timer->interval() == CMainFrame::kNoticeMs);
        QMetaObject::invokeMethod(timer, "timeout");
        QVERIFY(Frame()->statusBar()->currentMessage().isEmpty());
        QCOMPARE(Frame()->MessagePane()->text(), QString("Ready"));
    }

    void paintedRegionGrowsFibresAfterLeavingSegmentationMode() {
        const int asked = SegmentationAnswers().asked;
        QVERIFY(ChooseMenu("Segmentation", "SegmentationMode"));
        QCOMPARE(SegmentationAnswers().asked, asked);  // nothing marked: nothing to ask
        const std::optional<QPoint> area =
            AreaWhere(view_, 60, [](QPoint p) { return PolygonAt(p) >= 0; });
        QVERIFY(area);
        ViewMouse mouse(view_);
        for (int row = -40; row <= 40; row += 20) {
            std::vector<QPoint> path;
            for (int x = -50; x <= 50; x += 10) path.push_back(*area + QPoint(x, row));
            mouse.Drag(Qt::LeftButton, path);
        }
        QVERIFY(ChooseMenu("Segmentation", "SegmentationMode"));
        QVERIFY(ChooseMenu("Growth", "Place Start Point"));
        mouse.Click(Qt::LeftButton, *area);
        QCOMPARE(TheFiberCore()->startPoints.size(), size_t(4));
        QVERIFY(ChooseMenu("Growth", "Go Growth"));
        QVERIFY(StrokeCount() > 4);
    }

    void enteringWithAMarkedRegionAsksToClearOrKeepIt() {
        const std::vector<std::int32_t> painted = TheHeartModel()->regionIds;
        const int asked = SegmentationAnswers().asked;
        SegmentationAnswers().Answer(SegmentationAnswer::kKeep);
        QTest::keyClick(Frame(), Qt::Key_M);
        QTest::keyClick(Frame(), Qt::Key_M);
        QVERIFY(TheHeartModel()->regionIds == painted);

        SegmentationAnswers().Answer(SegmentationAnswer::kClear);
        QTest::keyClick(Frame(), Qt::Key_M);
        QCOMPARE(CountMarked(), 0);
        QTest::keyClick(Frame(), Qt::Key_M);
        QCOMPARE(SegmentationAnswers().asked, asked + 2);
        TheHeartModel()->regionIds = painted;
        TheHeartModel()->RebuildFibreLayer();
    }

    void goGrowthDuringTheAnimationRestartsTheWaveOnTheNewNetwork() {
        QVERIFY(ChooseMenu("Animation", "Animation1"));
        QVERIFY(ChooseMenu("Growth", "Go Growth"));
        // The wave passes beyond the fibres' first strokes.
        for (int tick = 0; tick < 6; ++tick) TickAnimation();
        int reachedLater = 0;
        for (const Fiber& fiber : TheFiberCore()->fibers)
            reachedLater += fiber.strokes.size() > 1 && fiber.strokes[1]->activation > 0;
        QVERIFY(reachedLater > 0);
        QVERIFY(ChooseMenu("Animation", "Animation1"));
    }

    // A start whose heart question is cancelled stays usable, and Exit with the
    // parameter dialog open ends the program.
    void childStartsBehave() {
        // A child that hangs is ended by the test run's time limit.
        for (const char* mode : {kCancelledStart, kExitWithDialog})
            QCOMPARE(QProcess::execute(QCoreApplication::applicationFilePath(), {mode}), 0);
    }

private:
    CVantrelView* view_ = nullptr;
};

namespace {

// The program started in a child process; 0 when it behaved as the mode expects.
int RunChildProgram(int argc, char** argv, const QByteArray& mode) {
    UseFixedFunctionSurfaceFormat();
    QApplication application(argc, argv);
    IsolateSettings();
    ScriptedFileNames fileNames;
    InstallFileNameProvider(&fileNames);
    CVantrelApp program;
    Running() = {&program, &fileNames};
    QString shown;
    ModalDialogHandler handler([&](QDialog* box) {
        if (auto* message = qobject_cast<QMessageBox*>(box)) shown = message->text();
        box->accept();
    });
    StartOptions options;
    if (mode == kExitWithDialog) options = {DemoHeart(), false, std::nullopt, true, std::nullopt};
    if (!program.Start(options)) return program.Exit(10);
    KeepGlDriverLoaded();
    int failure = 0;
    if (mode == kCancelledStart) {
        // The heart question was cancelled: the window says so and can open a heart.
        if (!shown.contains("cancelled") || Frame()->statusBar()->currentMessage() != shown)
            failure = 11;
        fileNames.Answer(QString::fromStdString(DemoHeart()));
        fileNames.Answer(QString::fromStdString(DemoSegmentation()));
        if (!ChooseMenu("&File", "Open Heart...") || TheHeartModel()->volume.LayerVoxelCount() == 0)
            failure = 12;
        return program.Exit(failure);
    }
    // Chosen from the running event loop, as a user would.
    QMetaObject::invokeMethod(
        &application,
        [&] {
            failure = ChooseMenu("Growth", "Show Parameter dlg") ? 0 : 21;
            ChooseMenu("&File", "E&xit");
        },
        Qt::QueuedConnection);
    const int exitCode = QApplication::exec();
    return program.Exit(failure ? failure : exitCode);
}

}  // namespace

int main(int argc, char** argv) {
    for (const char* mode : {kCancelledStart, kExitWithDialog}) {
        if (argc == 2 && qstrcmp(argv[1], mode) == 0) return RunChildProgram(argc, argv, mode);
    }
    return RunOnDemoHeart<OpenHeartTest>(argc, argv);
}

#include "app_open_heart_test.moc"
