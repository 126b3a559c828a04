// The Activation Map, the physiology dialog, block toggles, the exports and the view
// image on the running program, grown on the demo heart from a scene that
// vantrel-grow grew first (placements, physiology and blocked strokes).
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>

#include "app/PhysiologyDlg.h"
#include "edit_harness.h"
#include "grow_program_runner.h"

namespace vantrel::testing {

namespace {

QJsonObject ReadJson(const QString& path) {
    return QJsonDocument::fromJson(ReadAll(path)).object();
}

const QString kBatch = "/batch-";
const QString kMenu = "/menu-";

// The File menu's exports, the grower's option that writes the same file and its name.
const struct {
    const char* item;
    const char* option;
    const char* name;
} kExports[] = {
    {"export current fibers (.obj)", "--out", "fibres.obj"},
    {"export fiber centrelines (.vtk)", "--centrelines", "centrelines.vtk"},
    {"export network (.vtk)", "--network", "network.vtk"},
    {"export PMJs (.csv)", "--pmj", "pmj.csv"},
    {"export endocardium (.vtk)", "--endocardium", "endocardium.vtk"},
    {"export openCARP network (.pkje)", "--opencarp", "network.pkje"},
    {"export MonoAlg3D network (.vtk)", "--monoalg3d", "monoalg3d.vtk"},
    {"export run summary (.json)", "--summary", "summary.json"},
};

}  // namespace

class ActivationTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // The batch program places three start points and saves them as a scene with a
        // faster Purkinje system and the heart in cm; the scene then gets three blocks,
        // which the program's Go Growth after Open Scene must honour as the batch does.
        const QString dir = OutputDir();
        QVERIFY(RunGrowProgram({"--start-polygon", "1200", "--start-polygon", "5200",
                                "--start-polygon", "7201", "--runs", "0", "--purkinje-velocity",
                                "3", "--mesh-units", "cm", "--save-scene", dir + "/placed.json"}));
        QJsonObject scene = ReadJson(dir + "/placed.json");
        scene["blockedStrokes"] = QJsonArray({3, 40, 41});
        const QString scenePath = dir + "/scene.json";
        QFile sceneFile(scenePath);
        QVERIFY(sceneFile.open(QIODevice::WriteOnly) &&
                sceneFile.write(QJsonDocument(scene).toJson()));
        sceneFile.close();
        QStringList options = {"--scene", scenePath,         "--frame",
                               "heart",   "--monoalg3d-pmj", dir + kBatch + "monoalg3d-pmj.vtk"};
        for (const auto& entry : kExports) options << entry.option << dir + kBatch + entry.name;
        QVERIFY(RunGrowProgram(options));
        FileNames().Answer(scenePath);
        QVERIFY(ChooseMenu("&File", "Open Scene..."));
        QVERIFY(ChooseMenu("Growth", "Go Growth"));
        QVERIFY(StrokeCount() > 1000);
        if (TheHeartModel()->showVolumeField) QVERIFY(ChooseMenu("Rendering Mode", "Volume Field"));
        // Polygon heart, so the surface map shows.
        if (!TheHeartModel()->targetPolygon)
            QVERIFY(ChooseMenu("Rendering Mode", "Target Object Polygon"));
    }

    void everyMenuExportEqualsTheBatchProgramsFile() {
        const QString dir = OutputDir();
        QVERIFY(ChooseMenu("&File", "Fibres and Centrelines in Heart Frame"));
        for (const auto& entry : kExports) {
            const QString name(entry.name);
            QFile::remove(dir + kMenu + name);
            // The extension is added to a name chosen without it.
            FileNames().Answer(dir + kMenu + name.section('.', 0, 0));
            if (name == "monoalg3d.vtk") FileNames().Answer(dir + kMenu + "monoalg3d-pmj");
            QVERIFY2(ChooseMenu("&File", entry.item), entry.item);
            if (name == "summary.json") continue;
            QVERIFY2(ReadAll(dir + kMenu + name) == ReadAll(dir + kBatch + name), entry.name);
        }
        QVERIFY(ChooseMenu("&File", "Fibres and Centrelines in Heart Frame"));
        QVERIFY(ReadAll(dir + kMenu + "monoalg3d-pmj.vtk") ==
                ReadAll(dir + kBatch + "monoalg3d-pmj.vtk"));
        // The summary's inputs, program and timings describe the run, not the network.
        QJsonObject menu = ReadJson(dir + kMenu + "summary.json");
        QJsonObject batch = ReadJson(dir + kBatch + "summary.json");
        for (const char* key : {"program", "inputs", "timings"}) {
            menu.remove(key);
            batch.remove(key);
        }
        QVERIFY(!batch.isEmpty());
        QCOMPARE(menu, batch);
    }

    void mapColoursTheSurfaceFromEarlyToLateAndSwitchedOffRestoresThePicture() {
        const QImage designed = Screenshot(Frame()->MainView(), "designed");
        QVERIFY(ChooseMenu("Rendering Mode", "Activation Map"));
        const QImage map = Screenshot(Frame()->MainView(), "activation-map");
        // Early (violet-blue: blue above red and green) and late (yellow: red and green
        // well above blue) surface colours are both on screen.
        const int early = CountPixels(map, [](const QColor& c) {
            return c.blue() > c.green() + 40 && c.blue() > 60 && c.red() < c.blue();
        });
        const int late = CountPixels(map, [](const QColor& c) {
            return c.red() > 120 && c.green() > 120 && c.blue() + 60 < c.green();
        });
        QVERIFY2(early > 200 && late > 200, qPrintable(QString("%1 %2").arg(early).arg(late)));
        QVERIFY(ChooseMenu("Rendering Mode", "Activation Map"));
        QCOMPARE(Screenshot(Frame()->MainView(), "designed-again"), designed);
    }

    void physiologyFromTheDialogRetimesTheNetworkAndTravelsWithTheScene() {
        const std::vector<double> before = Frame()->Conduction().activation;
        const double velocity = ProgramPhysiology().settings.purkinjeVelocity;
        QString refusal;
        ModalDialogHandler handler([&](QDialog* dialog) {
            auto* physiology = static_cast<PhysiologyDlg*>(dialog);
            physiology->purkinjeEdit->setText("0");
            physiology->accept();  // refused: stays open and says why
            refusal = physiology->message->text();
            physiology->purkinjeEdit->setText(QString::number(2.0 * velocity, 'g', 17));
            physiology->accept();
        });
        QVERIFY(ChooseMenu("Growth", "Physiology..."));
        QCOMPARE(refusal, QString("Purkinje velocity: expected a finite number above 0, got '0'"));
        QCOMPARE(ProgramPhysiology().settings.purkinjeVelocity, 2.0 * velocity);
        QVERIFY(Frame()->Conduction().activation != before);
        // Saved with the scene and read back from it.
        const QString path = OutputDir() + "/physiology-scene.json";
        FileNames().Answer(path);
        QVERIFY(ChooseMenu("&File", "Save Scene..."));
        ProgramPhysiology().settings.purkinjeVelocity = velocity;
        FileNames().Answer(path);
        QVERIFY(ChooseMenu("&File", "Open Scene..."));
        QCOMPARE(ProgramPhysiology().settings.purkinjeVelocity, 2.0 * velocity);
        ProgramPhysiology().settings.purkinjeVelocity = velocity;
        Frame()->UpdateConduction();
    }

    void aBlockToggleRecomputesTheTimesOfAFullRun() {
        Stroke* stroke = const_cast<Stroke*>(StrokesInGraphOrder(*TheFiberCore())[100]);
        const std::vector<double> unblocked = Frame()->Conduction().activation;
        stroke->blocked = true;
        TheViewCore()->networkEdited();
        const ConductionResult shown = Frame()->Conduction();
        const ConductionResult full =
            RunConduction(*TheFiberCore(), *TheHeartModel(), ProgramPhysiology().settings);
        stroke->blocked = false;
        TheViewCore()->networkEdited();
        QVERIFY(full.activation != unblocked);
        QVERIFY(shown.activation == full.activation);
        QVERIFY(shown.endocardium.vertexActivation == full.endocardium.vertexActivation);
    }

    void savedViewImageIsTheViewInDevicePixels() {
        const QString path = OutputDir() + "/view-image";
        QFile::remove(path + ".png");
        FileNames().Answer(path);
        QVERIFY(ChooseMenu("&File", "Save View Image..."));
        QOpenGLWidget* view = Frame()->MainView();
        const QImage shown = view->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
        QVERIFY(QImage(path + ".png").convertToFormat(QImage::Format_RGB32) == shown);
    }

    void growthStopsTheWave() {
        QVERIFY(ChooseMenu("Animation", "Animation2 (ms)"));
        QVERIFY(ChooseMenu("Growth", "Go Growth"));
        QVERIFY(!Frame()->WaveRunning());
        QVERIFY(std::isinf(Frame()->WaveCursor()));
    }
};

}  // namespace vantrel::testing

VANTREL_PROGRAM_TEST_MAIN(vantrel::testing::ActivationTest)
#include "app_activation_test.moc"
