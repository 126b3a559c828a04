#include "conduction/ExportFile.h"

#include <cmath>
#include <cstdio>

#include "geometry/SafeFileWriter.h"

namespace vantrel {

double MicrometresPerUnit(LengthUnit unit) {
    // Whole numbers: rounding removes the error of the division in metres.
    return std::round(MetresPerUnit(unit) * 1e6);
}

double ActivationForFile(double time) {
    return std::isfinite(time) ? time : kNotReachedInFiles;
}

bool WriteExportFile(const std::string& path, const std::string& text, const char* what,
                     std::string& error) {
    const FileWriteResult result = WriteTextSafely(path, text);
    if (result == FileWriteResult::kWritten) return true;
    error = std::string("cannot write ") + what + " '" + path + "'";
    return false;
}

void AppendVtkPolyDataHeader(std::string& out, const std::string& title) {
    out += "# vtk DataFile Version 3.0\n";
    out += title;
    out += "\nASCII\nDATASET POLYDATA\n";
}

}  // namespace vantrel
