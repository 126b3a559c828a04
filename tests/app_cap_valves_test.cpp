// The program started without --heart, with "Cap open valves" ticked in the real heart
// dialog. The program's singletons live once per process, so this start has a test
// program of its own.
#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>

#include "app/ConsoleDock.h"
#include "app_harness.h"

using namespace vantrel;
using namespace vantrel::testing;

class CapValvesTest : public QObject {
    Q_OBJECT

private slots:
    // Ticking "Cap open valves" in the heart dialog closes the open LV before it is
    // refined: its 3072 triangles and 72 caps make a closed surface, 3 x 3144 refined.
    void capOpenValvesBoxCapsTheChosenHeart() {
        const QString openLv = QString(VANTREL_SHARED_DATA_DIR) + "/bivme_p1_lv_endo_open.obj";
        if (!QFileInfo::exists(openLv)) QSKIP("shared open LV not found");
        bool boxShownUnticked = false;
        ModalDialogHandler handler([&](QDialog* shown) {
            auto* dialog = qobject_cast<QFileDialog*>(shown);
            QCheckBox* box = dialog ? dialog->findChild<QCheckBox*>("questionOption") : nullptr;
            if (!box) return shown->reject();
            boxShownUnticked = box->isVisible() && !box->isChecked();
            box->setChecked(true);
            dialog->selectFile(openLv);
            static_cast<QDialog*>(dialog)->accept();
        });
        CVantrelApp program;
        StartOptions options;
        options.noSegmentation = true;
        QVERIFY(program.Start(options));
        KeepGlDriverLoaded();
        QVERIFY(boxShownUnticked);
        QCOMPARE(TheHeartModel()->mesh.polygons.size(), size_t(3 * 3144));
        QVERIFY(CapturedConsoleText().contains("2 open boundary loops capped with 72 triangles"));
        program.Exit(0);
    }
};

VANTREL_QT_TEST_MAIN(CapValvesTest)
#include "app_cap_valves_test.moc"
