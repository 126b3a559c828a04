// The Activation Map, its legend and the ms-wave on the running program, grown on the
// demo heart.
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <cmath>

#include "app/PhysiologyDlg.h"
#include "app_harness.h"
#include "render/ActivationColours.h"
#include "render/ActivationLegend.h"

namespace vantrel::testing {

namespace {

bool IsGrey(const QColor& c) {
    return std::abs(c.red() - c.green()) < 6 && std::abs(c.green() - c.blue()) < 6;
}

}  // namespace

class ActivationTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        PlaceStartPoints({1200, 5200, 7300});
        QVERIFY(ChooseMenu("Growth", "Go Growth"));
        QVERIFY(StrokeCount() > 0);
        if (TheHeartModel()->showVolumeField) QVERIFY(ChooseMenu("Rendering Mode", "Volume Field"));
        // Polygon heart, so the surface map shows.
        if (!TheHeartModel()->targetPolygon)
            QVERIFY(ChooseMenu("Rendering Mode", "Target Object Polygon"));
    }

    void switchingTheMapOffRestoresTheDesignedPicture() {
        const QImage designed = Screenshot(Frame()->MainView(), "designed");
        QCOMPARE(Screenshot(Frame()->MainView(), "designed-twice"), designed);
        QVERIFY(ChooseMenu("Rendering Mode", "Activation Map"));
        const QImage map = Screenshot(Frame()->MainView(), "activation-map");
        QVERIFY(map != designed);
        QVERIFY(ChooseMenu("Rendering Mode", "Activation Map"));
        QCOMPARE(Screenshot(Frame()->MainView(), "designed-again"), designed);
    }

    void mapColoursTheSurfaceAcrossTheWholeRange() {
        QVERIFY(ChooseMenu("Rendering Mode", "Activation Map"));
        const QImage map = Screenshot(Frame()->MainView(), "activation-map-on");
        // Early (violet-blue: blue above red and green) and late (yellow: red and green
        // well above blue) surface colours are both on screen.
        const int early = CountPixels(map, [](const QColor& c) {
            return c.blue() > c.green() + 40 && c.blue() > 60 && c.red() < c.blue();
        });
        const int late = CountPixels(map, [](const QColor& c) {
            return c.red() > 120 && c.green() > 120 && c.blue() + 60 < c.green();
        });
        QVERIFY2(early > 200, qPrintable(QString::number(early)));
        QVERIFY2(late > 200, qPrintable(QString::number(late)));
        QVERIFY(ChooseMenu("Rendering Mode", "Activation Map"));
    }

    void legendLabelsTheLastActivationTime() {
        const double maxMs = TheViewCore()->mainRenderer.Activation().maxTime;
        QVERIFY(maxMs > 1.0);
        const std::vector<double> ticks = LegendTicks(maxMs);
        QCOMPARE(ticks.front(), 0.0);
        QCOMPARE(ticks.back(), maxMs);
        // The endocardial total is among the times the map spans.
        QVERIFY(Frame()->Conduction().endocardium.total <= maxMs + 1e-9);
    }

    void waveNeverTurnsAPixelBackToGrey() {
        QVERIFY(ChooseMenu("Animation", "Animation2 (ms)"));
        QVERIFY(Frame()->WaveRunning());
        const double maxMs = TheViewCore()->mainRenderer.Activation().maxTime;
        QImage previous;
        int greyBefore = -1;
        for (int step = 0; step <= 8; ++step) {
            Frame()->SetWaveCursor(maxMs * step / 8.0);
            const QImage frame = Screenshot(Frame()->MainView(), QString("wave-%1").arg(step));
            QVERIFY(Frame()->statusBar()->currentMessage().contains("ms"));
            if (!previous.isNull()) {
                int regressed = 0;
                for (int y = 0; y < frame.height(); y += 2) {
                    for (int x = 0; x < frame.width(); x += 2) {
                        if (!IsGrey(previous.pixelColor(x, y)) && IsGrey(frame.pixelColor(x, y)))
                            ++regressed;
                    }
                }
                // A handful of edge pixels may change shade across the grey test.
                QVERIFY2(regressed < 20, qPrintable(QString::number(regressed)));
            }
            const int grey = CountPixels(frame, IsGrey);
            if (greyBefore >= 0) QVERIFY(grey <= greyBefore + 20);
            greyBefore = grey;
            previous = frame;
        }
        QVERIFY(ChooseMenu("Animation", "Animation2 (ms)"));
        QVERIFY(!Frame()->WaveRunning());
    }

    void doublingThePurkinjeVelocityHalvesTheJunctionTimes() {
        auto lastJunction = [] {
            double last = 0.0;
            for (const PurkinjeMuscleJunction& j : Frame()->Conduction().junctions) {
                if (std::isfinite(j.activation)) last = std::max(last, j.activation);
            }
            return last;
        };
        const double before = lastJunction();
        QVERIFY(before > 0.0);
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
        QVERIFY(std::abs(lastJunction() / before - 0.5) < 0.01);
        QVERIFY(Frame()->statusBar()->currentMessage().contains("90th percentile"));
        ProgramPhysiology().settings.purkinjeVelocity = velocity;
        Frame()->UpdateConduction();
    }

    void physiologyTravelsWithTheSceneFile() {
        const QString path = OutputDir() + "/physiology-scene.json";
        ProgramPhysiology().settings.pmjDelay = 7.5;
        FileNames().Answer(path);
        QVERIFY(ChooseMenu("&File", "Save Scene..."));
        ProgramPhysiology().settings.pmjDelay = 5.0;
        FileNames().Answer(path);
        QVERIFY(ChooseMenu("&File", "Open Scene..."));
        QCOMPARE(ProgramPhysiology().settings.pmjDelay, 7.5);
        ProgramPhysiology().settings.pmjDelay = 5.0;
        Frame()->UpdateConduction();
    }

    void everyExportWritesItsFileWithItsExtension() {
        const QString base = OutputDir() + "/export-";
        const struct {
            const char* item;
            const char* name;
        } exports[] = {
            {"export network (.vtk)", "network.vtk"},
            {"export PMJs (.csv)", "pmj.csv"},
            {"export endocardium (.vtk)", "endocardium.vtk"},
            {"export openCARP network (.pkje)", "network.pkje"},
            {"export MonoAlg3D network (.vtk)", "monoalg3d.vtk"},
            {"export run summary (.json)", "summary.json"},
        };
        for (const auto& entry : exports) {
            const QString name = QString(entry.name);
            QFile::remove(base + name);
            // The extension is added to a name chosen without it.
            FileNames().Answer(base + name.section('.', 0, 0));
            if (name == "monoalg3d.vtk") FileNames().Answer(base + "monoalg3d-pmj.vtk");
            QVERIFY2(ChooseMenu("&File", entry.item), entry.item);
            QVERIFY2(!ReadAll(base + name).isEmpty(), entry.name);
        }
        QVERIFY(!ReadAll(base + "monoalg3d-pmj.vtk").isEmpty());
        QVERIFY(ReadAll(base + "network.vtk").contains("POLYDATA"));
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
