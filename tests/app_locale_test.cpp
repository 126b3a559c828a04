// The program under a comma locale: every number it writes keeps its decimal point.
#include <locale.h>
#include <QFile>
#include <QRegularExpression>
#include <cstdlib>

#include "app/ConsoleDock.h"
#include "app_harness.h"

using namespace vantrel;
using namespace vantrel::testing;

class LocaleTest : public QObject {
    Q_OBJECT

private slots:
    void exportedFibresAndConsoleKeepTheDecimalPoint() {
        // The program started under LC_ALL=de_DE.UTF-8 (set in main below).
        locale_t german = newlocale(LC_NUMERIC_MASK, "de_DE.UTF-8", nullptr);
        if (!german) QSKIP("the de_DE.UTF-8 locale is not installed");
        freelocale(german);
        PlaceStartPoints({2000});
        QVERIFY(ChooseMenu("Growth", "Go Growth"));
        const QString path = OutputDir() + "/comma-locale.obj";
        QFile::remove(path);
        FileNames().Answer(path);
        QVERIFY(ChooseMenu("&File", "export current fibers (.obj)"));
        const QByteArray text = ReadAll(path);
        QVERIFY(text.count("\nv ") > 1000 && text.contains('.') && !text.contains(','));
        QVERIFY(
            CapturedConsoleText().contains(QRegularExpression("volume creation \\d+\\.\\d{6} ")));
    }
};

int main(int argc, char** argv) {
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    return RunOnDemoHeart<LocaleTest>(argc, argv);
}
#include "app_locale_test.moc"
