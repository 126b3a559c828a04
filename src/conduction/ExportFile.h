#pragma once
// What the conduction exports share: the safe write of a finished text, the legacy
// VTK header, and how a time that was never reached is written.
#include <string>

#include "conduction/HeartFrame.h"

namespace vantrel {

// Micrometres in one `unit` (1, 1000, 10000 or 1000000, exactly).
double MicrometresPerUnit(LengthUnit unit);

// Written in place of the activation time of a node or vertex the wave never reaches.
constexpr double kNotReachedInFiles = -1.0;

// `time` (ms), or kNotReachedInFiles when it is not finite.
double ActivationForFile(double time);

// Writes `text` to `path` through WriteFileSafely. False with a one-line reason
// ("cannot write <what> '<path>'") when the file cannot be made or written completely.
bool WriteExportFile(const std::string& path, const std::string& text, const char* what,
                     std::string& error);

// Appends the four header lines of an ASCII legacy VTK POLYDATA file; `title` must be
// one line of at most 255 characters.
void AppendVtkPolyDataHeader(std::string& out, const std::string& title);

}  // namespace vantrel
