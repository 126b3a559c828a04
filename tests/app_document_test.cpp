// The user's work in files, in the running program. A scene saved with "Save
// Scene..." and opened again after "New" brings the start points, rules and
// parameters back (the sliders follow without rewriting the parameters) and grows the
// very fibres vantrel-grow grows from the same file. The work document, saved, closed
// and opened again, gives the same fibre export with the same blocks; the Save /
// Discard / Cancel question comes exactly when work would be lost, and Cancel keeps
// everything. A refused scene or document changes nothing and says why; a zero-byte
// document restores nothing.
#include <QSlider>
#include <QStatusBar>

#include "app/GrowthParameterDlg.h"
#include "app/WorkState.h"
#include "app_harness.h"
#include "grow_program_runner.h"

using namespace vantrel;
using namespace vantrel::testing;

namespace {

std::string Work() {
    return SceneText(ProgramScene());
}

// The fibres as "export current fibers (.obj)" writes them to `name`; empty when the
// export fails.
QByteArray ExportFibres(const QString& name) {
    QFile::remove(OutputDir() + "/" + name + ".obj");
    FileNames().Answer(OutputDir() + "/" + name);
    ChooseMenu("&File", "export current fibers (.obj)");
    return ReadAll(OutputDir() + "/" + name + ".obj");
}

QString Status() {
    return Frame()->statusBar()->currentMessage();
}

// Writes `bytes` to `name` in the output folder and returns its path.
QString WriteFile(const QString& name, const QByteArray& bytes) {
    QFile file(OutputDir() + "/" + name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write the test file");
    return file.fileName();
}

}  // namespace

class DocumentTest : public QObject {
    Q_OBJECT

private slots:
    // First, while the program's random numbers are as vantrel-grow starts them. The
    // scene's parameters are ones that no slider position gives back.
    void sceneSavedAndOpenedAgainGrowsTheBatchProgramsFibres() {
        PlaceStartPoints({120, 6100});
        ProgramGrowthParameters().SegmentResolution = 6;
        ProgramGrowthParameters().GradientDirectionRate = 0.755;
        ProgramGrowthParameters().RandomDirectionRate = 0.3;
        const QString scene = OutputDir() + "/scene";
        FileNames().Answer(scene);
        QVERIFY(ChooseMenu("&File", "Save Scene..."));
        const QString batchOutput = OutputDir() + "/batch.obj";
        QVERIFY(RunGrowProgram({"--scene", scene + ".json", "--out", batchOutput}));

        QTest::keyClick(Frame(), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(Work(), SceneText(Scene()));
        FileNames().Answer(scene + ".json");
        QVERIFY(ChooseMenu("&File", "Open Scene..."));
        QCOMPARE(FileNames().LastFilter(), QString("scene file (*.json)"));
        auto* dialog = static_cast<GrowthParameterDlg*>(TheViewCore()->parameterDialog.data());
        QCOMPARE(dialog->segmentResolutionSlider()->value(), 4);
        QCOMPARE(dialog->gradientDirectionRateSlider()->value(), 75);
        QCOMPARE(dialog->randomDirectionRateSlider()->value(), 30);
        // Grown with the scene's own parameters, not the sliders' nearest values.
        QVERIFY(ChooseMenu("Growth", "Go Growth"));
        const QByteArray expected = ReadAll(batchOutput);
        QVERIFY(expected.size() > 10000);
        QVERIFY(ExportFibres("program") == expected);

        // A refused scene changes nothing and says so.
        const std::string before = Work();
        FileNames().Answer(WriteFile(
            "broken.json", "{\"version\": 1, \"startPoints\": [{\"position\": [1, 2]}]}"));
        QVERIFY(ChooseMenu("&File", "Open Scene..."));
        QCOMPARE(Work(), before);
        QVERIFY(Status().startsWith("Could not open the scene"));
    }

    void savedDocumentOpensToTheSameFibreExportAndBlocks() {
        QTest::keyClick(Frame(), Qt::Key_N, Qt::ControlModifier);  // a clean start
        PlaceStartPoints({120, 6100});
        QVERIFY(ChooseMenu("Growth", "Go Growth"));
        QVERIFY(SetBlockedStrokes(*TheFiberCore(), {3, 40}));
        // Edited after the growth: the document keeps what the network grew from.
        QVERIFY(ChooseMenu("RewritingRule", "add lateral to rule2"));
        const QByteArray fibres = ExportFibres("document-before");
        QVERIFY(fibres.size() > 10000);
        const std::string work = Work();
        document_ = OutputDir() + "/work.kx";
        FileNames().Answer(OutputDir() + "/work");
        QTest::keyClick(Frame(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(FileNames().LastFilter(), QString("Vantrel Files (*.kx)"));
        QVERIFY(!Frame()->isWindowModified());

        answers_.asked = 0;
        QTest::keyClick(Frame(), Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(Frame()->windowTitle(), QString("Untitled[*] - Vantrel"));
        QVERIFY(TheFiberCore()->fibers.empty() && TheFiberCore()->startPoints.empty());
        FileNames().Answer(document_);
        QTest::keyClick(Frame(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(Frame()->windowTitle(), QString("work.kx[*] - Vantrel"));
        QVERIFY(!Frame()->isWindowModified());
        QCOMPARE(Work(), work);
        QCOMPARE(BlockedStrokeIndices(*TheFiberCore()), std::vector<int>({3, 40}));
        QVERIFY(ExportFibres("document-after") == fibres);
        QCOMPARE(answers_.asked, 0);
    }

    void theQuestionComesOnlyWhenWorkWouldBeLost() {
        const auto cancel = UnsavedWorkAnswer::kCancel;
        // Closing the window asks as "Exit" does (the command closes it).
        const struct {
            const char* what;
            bool edited;
            QString command;  // in the File menu
            UnsavedWorkAnswer answer;
            bool asked, workKept;
        } cases[] = {
            {"New, nothing edited", false, "&New", cancel, false, false},
            {"New, Cancel", true, "&New", cancel, true, true},
            {"Open, Cancel", true, "&Open...", cancel, true, true},
            {"Open Heart, Cancel", true, "Open Heart...", cancel, true, true},
            {"Exit, Cancel", true, "E&xit", cancel, true, true},
            {"New, Save", true, "&New", UnsavedWorkAnswer::kSave, true, false},
            {"New, Discard", true, "&New", UnsavedWorkAnswer::kDiscard, true, false},
        };
        for (const auto& c : cases) {
            if (c.edited) QVERIFY(ChooseMenu("RewritingRule", "add lateral to rule2"));
            const std::string work = Work();
            answers_.asked = 0;
            answers_.answer = c.answer;
            const int fileQuestions = FileNames().questions.size();
            // A new document has no name yet: saving asks for one.
            if (c.answer == UnsavedWorkAnswer::kSave) FileNames().Answer(document_);
            QVERIFY(ChooseMenu("&File", c.command));
            QVERIFY2((answers_.asked == 1) == c.asked, c.what);
            QVERIFY2((Work() == work) == c.workKept, c.what);
            QVERIFY2(Frame()->isVisible(), c.what);
            QVERIFY2(Frame()->isWindowModified() == (c.edited && c.workKept), c.what);
            if (c.answer == cancel) QVERIFY2(FileNames().questions.size() == fileQuestions, c.what);
            if (c.answer == UnsavedWorkAnswer::kSave) {
                WorkDocument document;
                WorkDocumentError error;
                QVERIFY(ReadWorkDocument(document_.toStdString(), document, error) ==
                        WorkDocumentRead::kRead);
                QVERIFY2(SceneText(document.scene) == work, c.what);
            }
        }
        answers_.answer = UnsavedWorkAnswer::kDiscard;
    }

    void aRefusedDocumentChangesNothingAndAnEmptyOneRestoresNothing() {
        QVERIFY(ChooseMenu("RewritingRule", "add lateral to rule2"));
        const std::string work = Work();
        const QString title = Frame()->windowTitle();
        QByteArray text = ReadAll(document_);
        const int digest = text.indexOf("\"fnv1a64\": \"") + 12;
        text[digest] = text[digest] == '0' ? '1' : '0';
        FileNames().Answer(WriteFile("changed.kx", text));
        QTest::keyClick(Frame(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(Work(), work);
        QCOMPARE(Frame()->windowTitle(), title);
        QVERIFY2(Status().startsWith("Could not open changed.kx: heart: the heart file") &&
                     Status().endsWith("has changed since the document was saved"),
                 qPrintable(Status()));

        // A zero-byte document opens with nothing to restore.
        FileNames().Answer(WriteFile("empty.kx", QByteArray()));
        QTest::keyClick(Frame(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(Frame()->windowTitle(), QString("empty.kx[*] - Vantrel"));
        QCOMPARE(Status(), QString("empty.kx is empty: nothing to restore"));
        QCOMPARE(Work(), SceneText(Scene()));
    }

private:
    ScriptedUnsavedWorkAnswer& answers_ = UnsavedWorkAnswers();
    QString document_;
};

VANTREL_PROGRAM_TEST_MAIN(DocumentTest)
#include "app_document_test.moc"
