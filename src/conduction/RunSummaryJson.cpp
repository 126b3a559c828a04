#include "conduction/RunSummaryJson.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <nlohmann/json.hpp>

namespace vantrel {

namespace {

using Json = nlohmann::ordered_json;

Json Number(double value) {
    return std::isfinite(value) ? Json(value) : Json(nullptr);
}

Json Text(const std::string& value) {
    return value.empty() ? Json(nullptr) : Json(value);
}

Json Point(const Vector3& p) {
    return Json::array({p.x, p.y, p.z});
}

// Min, median (the mean of the middle two for an even count) and max; null without values.
Json Spread(std::vector<double> values) {
    Json spread = {{"min", nullptr}, {"median", nullptr}, {"max", nullptr}};
    if (values.empty()) return spread;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    spread["min"] = values.front();
    spread["median"] = n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    spread["max"] = values.back();
    return spread;
}

Json HeartPart(const RkPolygonModel& fileMesh, const RunDescription& run) {
    const double inf = std::numeric_limits<double>::infinity();
    Vector3 low(inf, inf, inf), high(-inf, -inf, -inf);
    for (const MeshVertex& vertex : fileMesh.vertices) {
        const Vector3& p = vertex.position;
        low = Vector3(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
        high = Vector3(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
    }
    Json heart = {{"vertices", fileMesh.vertices.size()},
                  {"triangles", fileMesh.polygons.size()},
                  {"extentMin", nullptr},
                  {"extentMax", nullptr},
                  {"fibreLayerCells", run.fibreLayerCells}};
    if (!fileMesh.vertices.empty()) {
        heart["extentMin"] = Point(low);
        heart["extentMax"] = Point(high);
    }
    return heart;
}

Json NetworkPart(const ConductionResult& result) {
    const ConductionGraph& graph = result.graph;
    int blocked = 0, junctions = 0, conducting = 0, reached = 0;
    for (const ConductionStroke& stroke : graph.strokes) {
        blocked += stroke.blocked ? 1 : 0;
        junctions += stroke.junction ? 1 : 0;
    }
    for (const ConductionEdge& edge : graph.edges) conducting += edge.conducts ? 1 : 0;
    const double length = graph.TotalLength();
    for (double time : result.activation) reached += std::isfinite(time) ? 1 : 0;
    return {{"strokes", graph.strokes.size()}, {"blockedStrokes", blocked},
            {"junctions", junctions},          {"nodes", graph.nodes.size()},
            {"reachedNodes", reached},         {"edges", graph.edges.size()},
            {"conductingEdges", conducting},   {"totalLength", length},
            {"roots", graph.roots.size()}};
}

}  // namespace

std::string RunSummaryJsonText(const RunDescription& run, const PhysiologySettings& settings,
                               const RkPolygonModel& fileMesh, const ConductionResult& result) {
    Json summary;
    summary["program"] = {{"name", "vantrel-grow"}, {"version", run.programVersion}};
    summary["inputs"] = {{"heart", run.heartPath},
                         {"segmentation", Text(run.segmentationPath)},
                         {"segmentAll", run.segmentAll},
                         {"scene", Text(run.scenePath)},
                         {"startPolygons", run.startPolygons},
                         {"runs", run.runs},
                         {"seed", run.seed}};
    summary["unit"] = LengthUnitName(settings.meshUnit);
    summary["physiology"] = {{"purkinjeVelocity", settings.purkinjeVelocity},
                             {"myocardialVelocity", settings.myocardialVelocity},
                             {"pmjDelay", settings.pmjDelay},
                             {"rootDelays", settings.rootDelays}};
    summary["heart"] = HeartPart(fileMesh, run);
    summary["network"] = NetworkPart(result);

    std::vector<double> times;
    for (const PurkinjeMuscleJunction& pmj : result.junctions) {
        if (std::isfinite(pmj.activation)) times.push_back(pmj.activation);
    }
    summary["pmjs"] = {{"count", result.junctions.size()},
                       {"reached", times.size()},
                       {"activation", Spread(times)}};

    const EndocardialMap& map = result.endocardium;
    const auto segmented = std::count(map.segmented.begin(), map.segmented.end(), true);
    summary["endocardium"] = {{"segmentedVertices", segmented},
                              {"total", Number(map.total)},
                              {"percentile90", Number(map.percentile90)}};
    Json timings = Json::object();
    for (const auto& [phase, seconds] : run.timings) timings[phase] = seconds;
    summary["timings"] = timings;
    return summary.dump(2) + "\n";
}

}  // namespace vantrel
