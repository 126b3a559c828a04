#include "growth/CentrelineExport.h"

#include <string>
#include <vector>

#include "geometry/NumberText.h"
#include "growth/FiberCore.h"
#include "heart/HeartModel.h"

namespace vantrel {

namespace {

struct ExportedStroke {
    int fiber;
    const Stroke* stroke;
};

std::vector<ExportedStroke> StrokesInExportOrder(const FiberCore& core) {
    std::vector<ExportedStroke> strokes;
    for (std::size_t f = 0; f < core.fibers.size(); ++f) {
        for (const auto& stroke : core.fibers[f].strokes) {
            if (!stroke->path.points.empty())
                strokes.push_back({static_cast<int>(f), stroke.get()});
        }
    }
    return strokes;
}

void AppendIntField(std::string& out, const char* name, const std::vector<ExportedStroke>& strokes,
                    int (*value)(const ExportedStroke&)) {
    out += name;
    out += " 1 ";
    AppendInteger(out, static_cast<long long>(strokes.size()));
    out += " int\n";
    for (const ExportedStroke& entry : strokes) {
        AppendInteger(out, value(entry));
        out += '\n';
    }
}

}  // namespace

double TubeRingRadius(double r0, double r1, int ring, int rows) {
    // The same expression, evaluated in the same order, as the tube builder's.
    const double t = rows > 1 ? static_cast<double>(ring) / (rows - 1) : 0.0;
    double radius = r0 + (r1 - 3 * r0) * t + 2 * r0 * t * t;
    if (radius < 0.005) radius = 0.005;
    return radius;
}

bool ExportCentrelinesVtk(const FiberCore& core, std::FILE* file,
                          const HeartNormalisation* toHeart) {
    const std::vector<ExportedStroke> strokes = StrokesInExportOrder(core);
    long long pointCount = 0;
    for (const ExportedStroke& entry : strokes)
        pointCount += static_cast<long long>(entry.stroke->path.points.size());

    std::string out;
    out.reserve(static_cast<std::size_t>(pointCount) * 80 + 256);
    out += "# vtk DataFile Version 3.0\nVantrel fibre centrelines\nASCII\nDATASET POLYDATA\n";
    out += "POINTS ";
    AppendInteger(out, pointCount);
    out += " double\n";
    for (const ExportedStroke& entry : strokes) {
        for (const Vector3& model : entry.stroke->path.points) {
            const Vector3 p = toHeart != nullptr ? toHeart->ToFile(model) : model;
            AppendTriplet(out, p.x, p.y, p.z, AppendGeneral17);
            out += '\n';
        }
    }

    // LINES: cell count, then the size of the connectivity list (a count and the
    // point indices for every cell).
    out += "LINES ";
    AppendInteger(out, static_cast<long long>(strokes.size()));
    out += ' ';
    AppendInteger(out, static_cast<long long>(strokes.size()) + pointCount);
    out += '\n';
    long long nextPoint = 0;
    for (const ExportedStroke& entry : strokes) {
        const std::size_t count = entry.stroke->path.points.size();
        AppendInteger(out, static_cast<long long>(count));
        for (std::size_t i = 0; i < count; ++i) {
            out += ' ';
            AppendInteger(out, nextPoint++);
        }
        out += '\n';
    }

    if (!strokes.empty()) {
        out += "POINT_DATA ";
        AppendInteger(out, pointCount);
        out += "\nSCALARS radius double 1\nLOOKUP_TABLE default\n";
        for (const ExportedStroke& entry : strokes) {
            const Stroke& stroke = *entry.stroke;
            const int rows = static_cast<int>(stroke.path.points.size());
            for (int i = 0; i < rows; ++i) {
                const double radius = TubeRingRadius(stroke.startRadius, stroke.endRadius, i, rows);
                AppendGeneral17(out, toHeart != nullptr ? radius / toHeart->scale : radius);
                out += '\n';
            }
        }
        // A FIELD block rather than several SCALARS: readers keep every array of
        // a field, but only the first SCALARS of a block unless told otherwise.
        out += "CELL_DATA ";
        AppendInteger(out, static_cast<long long>(strokes.size()));
        out += "\nFIELD FieldData 4\n";
        AppendIntField(out, "fiber", strokes, [](const ExportedStroke& e) { return e.fiber; });
        AppendIntField(out, "branchDepth", strokes,
                       [](const ExportedStroke& e) { return e.stroke->branchDepth; });
        AppendIntField(out, "blocked", strokes,
                       [](const ExportedStroke& e) { return e.stroke->blocked ? 1 : 0; });
        AppendIntField(out, "junction", strokes,
                       [](const ExportedStroke& e) { return e.stroke->collided ? 1 : 0; });
    }

    const bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    return written && std::fflush(file) == 0 && !std::ferror(file);
}

}  // namespace vantrel
