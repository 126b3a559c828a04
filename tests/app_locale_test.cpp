// The program under a comma locale: every number it writes keeps its decimal point.
#include <QFile>
#include <QRegularExpression>
#include <clocale>
#include <cstdlib>
#include <cstring>

#include "app/ConsoleDock.h"
#include "app_harness.h"
#include "cli/StartPolygon.h"

using namespace vantrel;
using namespace vantrel::testing;

class LocaleTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        // QApplication has taken the locale from LC_ALL (set in main below).
        if (std::strncmp(std::setlocale(LC_NUMERIC, nullptr), "de_DE", 5) != 0) {
            QSKIP("the de_DE.UTF-8 locale is not installed");
        }
        program_ = StartOnDemoHeart();
        QVERIFY(program_);
        frame_ = program_->Frame();
    }

    void cleanupTestCase() {
        if (program_) program_->Exit(0);
    }

    void exportsUseDecimalPoints() {
        QCOMPARE(std::strcmp(std::setlocale(LC_NUMERIC, nullptr), "C"), 0);
        HeartModel* heart = TheHeartModel();
        const MeshPolygon& p = heart->mesh.polygons[2000];
        for (const StartPoint& start : StartPointsOnPolygon(
                 heart->mesh.vertices[p.vertex[0]].position,
                 heart->mesh.vertices[p.vertex[1]].position,
                 heart->mesh.vertices[p.vertex[2]].position, p.normal, heart->LayerDepth())) {
            TheFiberCore()->startPoints.push_back(start);
        }
        QVERIFY(ChooseMenu(frame_, "Growth", "Go Growth"));
        const QString path = OutputDir() + "/comma-locale.obj";
        QFile::remove(path);
        AnswerNextFileDialog(path);
        QVERIFY(ChooseMenu(frame_, "&File", "export current fibers (.obj)"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromLatin1(file.readAll());
        const QRegularExpression vertex("^v -?\\d+\\.\\d{6} -?\\d+\\.\\d{6} -?\\d+\\.\\d{6}$");
        int vertices = 0;
        for (const QString& line : text.split('\n', Qt::SkipEmptyParts)) {
            if (!line.startsWith("v ")) continue;
            QVERIFY2(vertex.match(line).hasMatch(), qPrintable(line));
            ++vertices;
        }
        QVERIFY(vertices > 1000);
        QVERIFY(!text.contains(','));
        // The console's numbers too.
        QVERIFY(QRegularExpression("volume creation \\d+\\.\\d{6} ")
                    .match(CapturedConsoleText())
                    .hasMatch());
    }

private:
    std::unique_ptr<CVantrelApp> program_;
    CMainFrame* frame_ = nullptr;
};

int main(int argc, char** argv) {
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    vantrel::UseFixedFunctionSurfaceFormat();
    QApplication application(argc, argv);
    LocaleTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "app_locale_test.moc"
