// The program started without --heart: the heart-mesh dialog and then the
// segmentation dialog come before any window; a document name on the command
// line names the window.
#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>

#include "app/ConsoleDock.h"
#include "app_harness.h"

using namespace vantrel;
using namespace vantrel::testing;

namespace {

// What the start-up dialogs saw when they opened.
struct DialogVisit {
    QStringList filters;
    bool frameExisted = true;
};

bool AnyFrameExists() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(widget)) return true;
    }
    return false;
}

// Answers the next file dialog with `path`, noting its filters and whether the main
// window existed at that moment.
void AnswerStartDialog(const QString& path, DialogVisit* visit, std::function<void()> then = {}) {
    QTimer* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, path, visit, then] {
        QFileDialog* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        visit->filters = dialog->nameFilters();
        visit->frameExisted = AnyFrameExists();
        if (then) then();
        dialog->selectFile(path);
        static_cast<QDialog*>(dialog)->accept();
    });
    timer->start();
}

}  // namespace

class DialogStartTest : public QObject {
    Q_OBJECT

private slots:
    void dialogsComeBeforeAnyWindow() {
        DialogVisit heartDialog, segmentationDialog;
        // The segmentation dialog is answered once the heart dialog has closed.
        AnswerStartDialog(QString::fromStdString(DemoHeart()), &heartDialog, [&segmentationDialog] {
            AnswerStartDialog(QString::fromStdString(DemoSegmentation()), &segmentationDialog);
        });
        CVantrelApp program;
        StartOptions options;
        options.documentPath = "/somewhere/case.kx";
        QVERIFY(program.Start(options));
        KeepGlDriverLoaded();

        QCOMPARE(heartDialog.filters,
                 QStringList({"heart mesh model (*.obj *.stl *.ply *.off *.vtk)"}));
        QVERIFY(!heartDialog.frameExisted);
        QCOMPARE(segmentationDialog.filters, QStringList({"segmentation data (*.kxseg)"}));
        QVERIFY(!segmentationDialog.frameExisted);

        QCOMPARE(TheHeartModel()->mesh.polygons.size(), size_t(8676));
        QVERIFY(TheHeartModel()->volume.LayerVoxelCount() > 0);
        const QString console = CapturedConsoleText();
        QVERIFY(console.startsWith("start\nsegmentationdata \n"));
        QVERIFY(console.indexOf("test") > console.indexOf("fiber layer voxel size is"));
        QCOMPARE(program.Frame()->windowTitle(), QString("case.kx - Vantrel"));
        program.Exit(0);
    }

    // Ticking "Cap open valves" in the heart dialog closes the open LV before it is
    // refined: its 3072 triangles and 72 caps make a closed surface, 3 x 3144 refined.
    void capOpenValvesBoxCapsTheChosenHeart() {
        const QString openLv = QString(VANTREL_SHARED_DATA_DIR) + "/bivme_p1_lv_endo_open.obj";
        if (!QFileInfo::exists(openLv)) QSKIP("shared open LV not found");
        DialogVisit heartDialog;
        AnswerStartDialog(openLv, &heartDialog, [] {
            QCheckBox* box =
                QApplication::activeModalWidget()->findChild<QCheckBox*>("capOpenValves");
            QVERIFY(box && box->isVisible() && !box->isChecked());
            box->setChecked(true);
        });
        CVantrelApp program;
        StartOptions options;
        options.noSegmentation = true;
        QVERIFY(program.Start(options));
        KeepGlDriverLoaded();
        QCOMPARE(TheHeartModel()->mesh.polygons.size(), size_t(3 * 3144));
        QVERIFY(!TheHeartModel()->capPolygons.empty());
        QVERIFY(CapturedConsoleText().contains("2 open boundary loops capped with 72 triangles"));
        program.Exit(0);
    }
};

VANTREL_QT_TEST_MAIN(DialogStartTest)
#include "app_dialog_start_test.moc"
