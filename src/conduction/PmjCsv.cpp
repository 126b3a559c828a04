#include "conduction/PmjCsv.h"

#include "conduction/ExportFile.h"
#include "geometry/NumberText.h"

namespace vantrel {

std::string PmjCsvText(const ConductionGraph& graph,
                       const std::vector<PurkinjeMuscleJunction>& junctions, LengthUnit unit) {
    const std::string u = LengthUnitName(unit);
    std::string out = "x_" + u + ",y_" + u + ",z_" + u +
                      ",activation_ms,fiber,nearest_vertex_0based,vertex_distance_" + u + "\n";
    out.reserve(out.size() + junctions.size() * 110);
    for (const PurkinjeMuscleJunction& pmj : junctions) {
        const Vector3& p = graph.nodes[static_cast<std::size_t>(pmj.node)];
        AppendJoined(out, ',', {p.x, p.y, p.z, ActivationForFile(pmj.activation)});
        out += ',';
        AppendInteger(out, pmj.fiber);
        out += ',';
        AppendInteger(out, pmj.nearestVertex);
        out += ',';
        AppendShortest(out, pmj.vertexDistance);
        out += '\n';
    }
    return out;
}

}  // namespace vantrel
