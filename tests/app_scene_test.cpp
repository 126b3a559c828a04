// Scene files in the program: "Open Scene..." brings a user's start points, rules
// and parameters back (the sliders follow without rewriting the parameters), and
// "Go Growth" with "export current fibers (.obj)" then writes the very file that
// vantrel-grow writes for the same scene. "Save Scene..." writes what it holds.
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSlider>
#include <QStatusBar>

#include "app/GrowthParameterDlg.h"
#include "app_harness.h"
#include "grow_program_runner.h"
#include "growth/SceneFile.h"

using namespace vantrel;
using namespace vantrel::testing;

class SceneTest : public QObject {
    Q_OBJECT

private slots:
    void openedSceneGrowsTheSameFibresAsTheBatchProgram() {
        const QString dir = OutputDir();
        // A scene of two placements, then parameters that no slider position gives back.
        const QString placed = dir + "/placed.json";
        QVERIFY(RunGrowProgram(
            {"--start-polygon", "120", "--start-polygon", "6100", "--save-scene", placed}));
        QJsonObject scene = QJsonDocument::fromJson(ReadAll(placed)).object();
        QJsonObject parameters = scene["parameters"].toObject();
        parameters["SegmentResolution"] = 6;
        parameters["GradientDirectionRate"] = 0.755;
        parameters["RandomDirectionRate"] = 0.3;
        scene["parameters"] = parameters;
        const QString scenePath = dir + "/scene.json";
        QFile sceneFile(scenePath);
        QVERIFY(sceneFile.open(QIODevice::WriteOnly | QIODevice::Truncate));
        sceneFile.write(QJsonDocument(scene).toJson());
        sceneFile.close();
        const QString batchOutput = dir + "/batch.obj";
        QVERIFY(RunGrowProgram({"--scene", scenePath, "--out", batchOutput}));

        FileNames().Answer(scenePath);
        QVERIFY(ChooseMenu("&File", "Open Scene..."));
        QCOMPARE(FileNames().LastFilter(), QString("scene file (*.json)"));
        QCOMPARE(TheFiberCore()->startPoints.size(), size_t(8));
        const GrowthParameters& current = ProgramGrowthParameters();
        QCOMPARE(current.SegmentResolution, 6);
        QCOMPARE(current.GradientDirectionRate, 0.755);
        QCOMPARE(current.RandomDirectionRate, 0.3);
        auto* dialog = static_cast<GrowthParameterDlg*>(TheViewCore()->parameterDialog.data());
        QCOMPARE(dialog->segmentResolutionSlider()->value(), 4);
        QCOMPARE(dialog->gradientDirectionRateSlider()->value(), 75);
        QCOMPARE(dialog->randomDirectionRateSlider()->value(), 30);
        QVERIFY(TheViewCore()->mainGL.Pick().Rendered());
        QVERIFY(TheViewCore()->ruleGL.Pick().Rendered());

        QVERIFY(ChooseMenu("Growth", "Go Growth"));
        const QString programOutput = dir + "/program.obj";
        QFile::remove(programOutput);
        FileNames().Answer(dir + "/program");
        QVERIFY(ChooseMenu("&File", "export current fibers (.obj)"));
        const QByteArray expected = ReadAll(batchOutput);
        QVERIFY(expected.size() > 10000);
        QVERIFY(ReadAll(programOutput) == expected);
    }

    void savedSceneHoldsWhatTheProgramHolds() {
        const QString saved = OutputDir() + "/saved";
        QFile::remove(saved + ".json");
        FileNames().Answer(saved);
        QVERIFY(ChooseMenu("&File", "Save Scene..."));
        Scene scene;
        SceneFileError error;
        QVERIFY2(ReadSceneFile((saved + ".json").toStdString(), scene, error),
                 error.Describe().c_str());
        const Scene held = CaptureScene(*TheFiberCore(), ProgramGrowthParameters());
        QCOMPARE(SceneText(scene), SceneText(held));
        QCOMPARE(scene.startPoints.size(), size_t(8));
    }

    void aRefusedSceneChangesNothing() {
        const QString broken = OutputDir() + "/broken.json";
        QFile file(broken);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("{\"version\": 1, \"startPoints\": [{\"position\": [1, 2]}]}");
        file.close();
        const std::string before =
            SceneText(CaptureScene(*TheFiberCore(), ProgramGrowthParameters()));
        FileNames().Answer(broken);
        QVERIFY(ChooseMenu("&File", "Open Scene..."));
        QCOMPARE(SceneText(CaptureScene(*TheFiberCore(), ProgramGrowthParameters())), before);
        QVERIFY(Frame()->statusBar()->currentMessage().startsWith("Could not open the scene"));
    }
};

VANTREL_PROGRAM_TEST_MAIN(SceneTest)
#include "app_scene_test.moc"
