// The work document in the running program: saved, closed and opened again it gives
// the same fibre export with the same blocks; the Save / Discard / Cancel question
// comes exactly when work would be lost, and Cancel keeps everything; a refused
// document changes nothing and says why; a zero-byte one restores nothing.
#include <QStatusBar>

#include "app/WorkState.h"
#include "app_harness.h"

using namespace vantrel;
using namespace vantrel::testing;

namespace {

std::string Work() {
    return SceneText(ProgramScene());
}

QByteArray ExportFibres(const QString& name) {
    const QString path = OutputDir() + "/" + name;
    QFile::remove(path + ".obj");
    FileNames().Answer(path);
    if (!ChooseMenu("&File", "export current fibers (.obj)")) return QByteArray();
    return ReadAll(path + ".obj");
}

QString Status() {
    return Frame()->statusBar()->currentMessage();
}

}  // namespace

class DocumentTest : public QObject {
    Q_OBJECT

private slots:
    void savedDocumentOpensToTheSameFibreExportAndBlocks() {
        PlaceStartPoints({120, 6100});
        QVERIFY(ChooseMenu("Growth", "Go Growth"));
        QVERIFY(SetBlockedStrokes(*TheFiberCore(), {3, 40}));
        // Edited after the growth: the document keeps what the network grew from.
        QVERIFY(ChooseMenu("RewritingRule", "add lateral to rule2"));
        const QByteArray fibres = ExportFibres("document-before");
        QVERIFY(fibres.size() > 10000);
        const std::string work = Work();
        document_ = OutputDir() + "/work.kx";
        QFile::remove(document_);
        FileNames().Answer(document_);
        QTest::keyClick(Frame(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!Frame()->isWindowModified());

        QTest::keyClick(Frame(), Qt::Key_N, Qt::ControlModifier);
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
        struct Case {
            const char* what;
            bool edited;
            std::function<void()> command;
            UnsavedWorkAnswer answer;
            bool asked;
            bool workKept;
        };
        const auto newDocument = [] { QTest::keyClick(Frame(), Qt::Key_N, Qt::ControlModifier); };
        const auto cancel = UnsavedWorkAnswer::kCancel;
        const Case cases[] = {
            {"New, nothing edited", false, newDocument, cancel, false, false},
            {"New, Cancel", true, newDocument, cancel, true, true},
            {"Open, Cancel", true, [] { QTest::keyClick(Frame(), Qt::Key_O, Qt::ControlModifier); },
             cancel, true, true},
            {"Open Heart, Cancel", true, [] { QVERIFY(ChooseMenu("&File", "Open Heart...")); },
             cancel, true, true},
            {"Exit, Cancel", true, [] { QVERIFY(ChooseMenu("&File", "E&xit")); }, cancel, true,
             true},
            {"closing the window, Cancel", true, [] { Frame()->close(); }, cancel, true, true},
            {"New, Save", true, newDocument, UnsavedWorkAnswer::kSave, true, false},
            {"New, Discard", true, newDocument, UnsavedWorkAnswer::kDiscard, true, false},
        };
        for (const Case& c : cases) {
            if (c.edited) QVERIFY(ChooseMenu("RewritingRule", "add lateral to rule2"));
            const std::string work = Work();
            answers_.asked = 0;
            answers_.answer = c.answer;
            const int fileQuestions = FileNames().questions.size();
            // A new document has no name yet: saving asks for one.
            if (c.answer == UnsavedWorkAnswer::kSave) FileNames().Answer(document_);
            c.command();
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
    }

    void aRefusedDocumentChangesNothingAndSaysWhy() {
        QVERIFY(ChooseMenu("RewritingRule", "add lateral to rule2"));
        const std::string work = Work();
        const QString title = Frame()->windowTitle();
        QByteArray text = ReadAll(document_);
        const int digest = text.indexOf("\"fnv1a64\": \"") + 12;
        text[digest] = text[digest] == '0' ? '1' : '0';
        const QString changed = OutputDir() + "/changed.kx";
        QFile file(changed);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
        file.close();
        answers_.answer = UnsavedWorkAnswer::kDiscard;
        FileNames().Answer(changed);
        QTest::keyClick(Frame(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(Work(), work);
        QCOMPARE(Frame()->windowTitle(), title);
        QVERIFY2(Status().startsWith("Could not open changed.kx: heart: the heart file") &&
                     Status().endsWith("has changed since the document was saved"),
                 qPrintable(Status()));
    }

    void aZeroByteDocumentOpensWithNothingToRestore() {
        const QString empty = OutputDir() + "/empty.kx";
        QFile file(empty);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.close();
        answers_.answer = UnsavedWorkAnswer::kDiscard;
        FileNames().Answer(empty);
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
