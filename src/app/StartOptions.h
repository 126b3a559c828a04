#pragma once
// The program's command line:
//   vantrel [--heart FILE] [--cap-holes] [--segmentation FILE.kxseg | --no-segmentation]
//           [NAME.kx]
// A given heart or segmentation replaces its start-up dialog; NAME.kx only names
// the (empty) document shown in the window title.
#include <QStringList>
#include <optional>
#include <string>

namespace vantrel {

struct StartOptions {
    std::optional<std::string> heartPath;
    // Close the heart's open boundary loops (set by --cap-holes or the heart dialog's box).
    bool capHoles = false;
    std::optional<std::string> segmentationPath;
    bool noSegmentation = false;
    std::optional<std::string> documentPath;
};

// Parses `arguments` (the program name first, Qt's own options already removed).
// Returns the options, or nothing after printing the help (`exitCode` 0) or one
// error line and the usage (`exitCode` 2) to standard error.
std::optional<StartOptions> ParseStartOptions(const QStringList& arguments, int& exitCode);

}  // namespace vantrel
