#pragma once
// VTK's own legacy reader, run through tests/read_vtk_polydata.py by the system
// python3 (the test target defines VANTREL_VTK_PYTHON and VANTREL_VTK_READER_SCRIPT).
//
// The script prints what VTK understood: "points N" and N lines "x y z", "lines M" and
// M lines of point ids, "verts K" / "polys K" (only when there are any) and their ids,
// then "point|cell <name> <type> <count>" and one value per line. Doubles are printed
// with repr(), the shortest text that reads back to the same double. It exits 1 with a
// message when VTK cannot read the file as polydata.
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vantrel {

inline bool VtkPythonAvailable() {
    const std::string python = VANTREL_VTK_PYTHON;
    return !python.empty() &&
           std::system(("\"" + python + "\" -c \"import vtk\" >/dev/null 2>&1").c_str()) == 0;
}

// What VTK read from the file, line by line, as printed by tests/read_vtk_polydata.py.
inline std::vector<std::string> ReadWithVtk(const std::string& path) {
    const std::string command = std::string("\"") + VANTREL_VTK_PYTHON + "\" \"" +
                                VANTREL_VTK_READER_SCRIPT + "\" \"" + path + "\"";
    std::FILE* pipe = popen(command.c_str(), "r");
    std::vector<std::string> lines;
    if (pipe == nullptr) return lines;
    std::string text;
    for (int c = std::fgetc(pipe); c != EOF; c = std::fgetc(pipe)) text += static_cast<char>(c);
    EXPECT_EQ(pclose(pipe), 0) << command;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace vantrel
