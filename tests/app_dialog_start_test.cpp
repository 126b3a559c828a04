// The program started without --heart, through Qt's real file dialogs: the heart-mesh
// dialog and then the segmentation dialog come before any window; a document name on
// the command line names the window. Then File > "Open Heart..." in the same dialog,
// with "Cap open valves" ticked, closes an open LV before it is refined. Each dialog is
// answered from its own event loop once it is shown, so no clock decides when.
#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>

#include "app/ConsoleDock.h"
#include "app_harness.h"

using namespace vantrel;
using namespace vantrel::testing;

class DialogStartTest : public QObject {
    Q_OBJECT

private slots:
    void dialogsComeBeforeAnyWindow() {
        QStringList answers = {QString::fromStdString(DemoHeart()),
                               QString::fromStdString(DemoSegmentation())};
        QStringList filters;
        bool frameExisted = false;
        // A dialog beyond the expected two is cancelled, so the start never waits.
        ModalDialogHandler handler([&](QDialog* shown) {
            auto* dialog = qobject_cast<QFileDialog*>(shown);
            if (!dialog || answers.isEmpty()) return shown->reject();
            filters += dialog->nameFilters();
            for (QWidget* widget : QApplication::topLevelWidgets())
                frameExisted = frameExisted || qobject_cast<QMainWindow*>(widget);
            dialog->selectFile(answers.takeFirst());
            static_cast<QDialog*>(dialog)->accept();  // QFileDialog checks the name first
        });
        StartOptions options;
        options.documentPath = "/somewhere/case.kx";
        QVERIFY(program_.Start(options));
        KeepGlDriverLoaded();
        Running().program = &program_;
        QCOMPARE(filters, QStringList({"heart mesh model (*.obj *.stl *.ply *.off *.vtk)",
                                       "segmentation data (*.kxseg)"}));
        QVERIFY(!frameExisted);
        QCOMPARE(TheHeartModel()->mesh.polygons.size(), size_t(8676));
        QVERIFY(CapturedConsoleText().startsWith("start\nsegmentationdata \n"));
        QCOMPARE(Frame()->windowTitle(), QString("case.kx[*] - Vantrel"));
    }

    // The open LV's 3072 triangles and 72 caps make a closed surface, 3 x 3144 refined.
    void capOpenValvesBoxCapsTheChosenHeart() {
        const QString openLv = QString(VANTREL_SHARED_DATA_DIR) + "/bivme_p1_lv_endo_open.obj";
        if (!QFileInfo::exists(openLv)) QSKIP("shared open LV not found");
        bool boxShownUnticked = false;
        // The heart dialog has the box; the segmentation dialog after it is cancelled.
        ModalDialogHandler handler([&](QDialog* shown) {
            QCheckBox* box = shown->findChild<QCheckBox*>("questionOption");
            if (!qobject_cast<QFileDialog*>(shown) || !box) return shown->reject();
            boxShownUnticked = box->isVisible() && !box->isChecked();
            box->setChecked(true);
            qobject_cast<QFileDialog*>(shown)->selectFile(openLv);
            shown->accept();
        });
        QVERIFY(ChooseMenu("&File", "Open Heart..."));
        QVERIFY(boxShownUnticked);
        QCOMPARE(TheHeartModel()->mesh.polygons.size(), size_t(3 * 3144));
        QVERIFY(CapturedConsoleText().contains("2 open boundary loops capped with 72 triangles"));
    }

    void cleanupTestCase() { program_.Exit(0); }

private:
    CVantrelApp program_;
};

VANTREL_QT_TEST_MAIN(DialogStartTest)
#include "app_dialog_start_test.moc"
