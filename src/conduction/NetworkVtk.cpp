#include "conduction/NetworkVtk.h"

#include "conduction/ExportFile.h"
#include "geometry/NumberText.h"

namespace vantrel {

namespace {

template <typename Value>
void AppendIntArray(std::string& out, const char* name, const ConductionGraph& graph, Value value) {
    out += name;
    out += " 1 ";
    AppendInteger(out, static_cast<long long>(graph.edges.size()));
    out += " int\n";
    for (const ConductionEdge& edge : graph.edges) {
        AppendInteger(out, value(edge, graph.strokes[static_cast<std::size_t>(edge.stroke)]));
        out += '\n';
    }
}

}  // namespace

std::string NetworkVtkText(const ConductionGraph& graph, const std::vector<double>& activation,
                           LengthUnit unit) {
    std::string out;
    out.reserve(graph.nodes.size() * 90 + graph.edges.size() * 40 + 256);
    AppendVtkPolyDataHeader(out, std::string("Vantrel conduction network, lengths in ") +
                                     LengthUnitName(unit) + ", activation_ms -1 = not reached");
    out += "POINTS ";
    AppendInteger(out, static_cast<long long>(graph.nodes.size()));
    out += " double\n";
    for (const Vector3& p : graph.nodes) {
        AppendTriplet(out, p.x, p.y, p.z);
        out += '\n';
    }

    out += "LINES ";
    AppendInteger(out, static_cast<long long>(graph.edges.size()));
    out += ' ';
    AppendInteger(out, 3 * static_cast<long long>(graph.edges.size()));
    out += '\n';
    for (const ConductionEdge& edge : graph.edges) {
        // Infinity (not reached) compares above every time, so it ends up last.
        const bool reversed = activation[static_cast<std::size_t>(edge.to)] <
                              activation[static_cast<std::size_t>(edge.from)];
        out += "2 ";
        AppendInteger(out, reversed ? edge.to : edge.from);
        out += ' ';
        AppendInteger(out, reversed ? edge.from : edge.to);
        out += '\n';
    }
    if (graph.nodes.empty()) return out;

    out += "POINT_DATA ";
    AppendInteger(out, static_cast<long long>(graph.nodes.size()));
    out += "\nSCALARS activation_ms double 1\nLOOKUP_TABLE default\n";
    for (double time : activation) {
        AppendShortest(out, ActivationForFile(time));
        out += '\n';
    }
    if (graph.edges.empty()) return out;

    // A FIELD block: readers keep every array of a field, but only the first SCALARS.
    out += "CELL_DATA ";
    AppendInteger(out, static_cast<long long>(graph.edges.size()));
    out += "\nFIELD FieldData 5\n";
    AppendIntArray(out, "fiber", graph,
                   [](const ConductionEdge&, const ConductionStroke& s) { return s.fiber; });
    AppendIntArray(out, "branchDepth", graph,
                   [](const ConductionEdge&, const ConductionStroke& s) { return s.branchDepth; });
    AppendIntArray(out, "blocked", graph, [](const ConductionEdge& e, const ConductionStroke&) {
        return e.conducts ? 0 : 1;
    });
    AppendIntArray(out, "junction", graph, [](const ConductionEdge&, const ConductionStroke& s) {
        return s.junction ? 1 : 0;
    });
    AppendIntArray(out, "stroke", graph,
                   [](const ConductionEdge& e, const ConductionStroke&) { return e.stroke; });
    return out;
}

}  // namespace vantrel
