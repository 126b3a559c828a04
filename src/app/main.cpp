// vantrel: the desktop program. See CVantrelApp for the start-up order.
#include <QApplication>

#include "app/CVantrelApp.h"
#include "app/StartOptions.h"
#include "render/SurfaceFormat.h"

int main(int argc, char** argv) {
    vantrel::UseFixedFunctionSurfaceFormat();
    QApplication application(argc, argv);
    QApplication::setApplicationName("Vantrel");

    int exitCode = 0;
    const std::optional<vantrel::StartOptions> options =
        vantrel::ParseStartOptions(QApplication::arguments(), exitCode);
    if (!options) return exitCode;

    vantrel::CVantrelApp program;
    if (!program.Start(*options)) return program.Exit(1);
    return program.Exit(QApplication::exec());
}
