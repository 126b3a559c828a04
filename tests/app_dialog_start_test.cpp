// The program started without --heart, through Qt's real file dialogs: the heart-mesh
// dialog and then the segmentation dialog come before any window; a document name on
// the command line names the window. Each dialog is answered from its own event loop
// once it is shown, so no clock decides when.
#include <QFileDialog>
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
        CVantrelApp program;
        StartOptions options;
        options.documentPath = "/somewhere/case.kx";
        QVERIFY(program.Start(options));
        KeepGlDriverLoaded();
        QCOMPARE(filters, QStringList({"heart mesh model (*.obj *.stl *.ply *.off *.vtk)",
                                       "segmentation data (*.kxseg)"}));
        QVERIFY(!frameExisted);
        QCOMPARE(TheHeartModel()->mesh.polygons.size(), size_t(8676));
        QVERIFY(CapturedConsoleText().startsWith("start\nsegmentationdata \n"));
        QCOMPARE(program.Frame()->windowTitle(), QString("case.kx[*] - Vantrel"));
        program.Exit(0);
    }
};

VANTREL_QT_TEST_MAIN(DialogStartTest)
#include "app_dialog_start_test.moc"
