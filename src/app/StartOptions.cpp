#include "app/StartOptions.h"

#include <QCommandLineParser>
#include <cstdio>

namespace vantrel {

std::optional<StartOptions> ParseStartOptions(const QStringList& arguments, int& exitCode) {
    QCommandLineParser parser;
    parser.setApplicationDescription("Grows cardiac conduction fibres under a heart surface.");
    const QCommandLineOption help({"h", "help"}, "Show this help.");
    const QCommandLineOption heart(
        "heart", "Heart mesh (.obj, .stl, .ply, .off or .vtk) to load instead of asking for it.",
        "FILE");
    const QCommandLineOption capHoles("cap-holes",
                                      "Close the heart's open valves by fans of triangles.");
    const QCommandLineOption segmentation(
        "segmentation", "Segmentation file to read instead of asking for it.", "FILE.kxseg");
    const QCommandLineOption noSegmentation("no-segmentation",
                                            "Start without a segmentation (and without asking).");
    parser.addOption(help);
    parser.addOption(heart);
    parser.addOption(capHoles);
    parser.addOption(segmentation);
    parser.addOption(noSegmentation);
    parser.addPositionalArgument("NAME.kx", "Document name shown in the window title.",
                                 "[NAME.kx]");

    auto fail = [&](const QString& message) -> std::optional<StartOptions> {
        std::fprintf(stderr, "vantrel: %s\n%s", qPrintable(message), qPrintable(parser.helpText()));
        exitCode = 2;
        return std::nullopt;
    };
    if (!parser.parse(arguments)) return fail(parser.errorText());
    if (parser.isSet(help)) {
        std::fprintf(stderr, "%s", qPrintable(parser.helpText()));
        exitCode = 0;
        return std::nullopt;
    }
    if (parser.isSet(segmentation) && parser.isSet(noSegmentation)) {
        return fail("--segmentation and --no-segmentation exclude each other");
    }
    if (parser.positionalArguments().size() > 1)
        return fail("at most one document name may be given");

    StartOptions options;
    if (parser.isSet(heart)) options.heartPath = parser.value(heart).toStdString();
    options.capHoles = parser.isSet(capHoles);
    if (parser.isSet(segmentation))
        options.segmentationPath = parser.value(segmentation).toStdString();
    options.noSegmentation = parser.isSet(noSegmentation);
    if (!parser.positionalArguments().isEmpty())
        options.documentPath = parser.positionalArguments().first().toStdString();
    return options;
}

}  // namespace vantrel
