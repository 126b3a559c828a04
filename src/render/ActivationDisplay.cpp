#include "render/ActivationDisplay.h"

#include <algorithm>
#include <cmath>

namespace vantrel {

double ActivationDisplay::StrokeTime(const Stroke* stroke) const {
    const auto found = strokeTimes.find(stroke);
    return found == strokeTimes.end() ? NotShown() : found->second;
}

void FillActivationDisplay(const FiberCore& fibers, const HeartModel& heart,
                           const ConductionResult& result, ActivationDisplay& display) {
    const double inf = ActivationDisplay::NotShown();
    ++display.revision;
    display.strokeTimes.clear();
    display.maxTime = 0.0;
    const std::vector<const Stroke*> order = StrokesInGraphOrder(fibers);
    std::vector<double> strokeTime(order.size(), inf);
    for (const ConductionEdge& edge : result.graph.edges) {
        if (edge.stroke < 0 || static_cast<size_t>(edge.stroke) >= order.size()) continue;
        const double t = std::min(result.activation[edge.from], result.activation[edge.to]);
        strokeTime[edge.stroke] = std::min(strokeTime[edge.stroke], t);
    }
    for (size_t s = 0; s < order.size(); ++s) {
        display.strokeTimes[order[s]] = strokeTime[s];
        if (std::isfinite(strokeTime[s]))
            display.maxTime = std::max(display.maxTime, strokeTime[s]);
    }

    const std::vector<double>& fileTimes = result.endocardium.vertexActivation;
    const RkPolygonModel& mesh = heart.mesh;
    const size_t fileCount = std::min(fileTimes.size(), mesh.vertices.size());
    display.vertexTimes.assign(mesh.vertices.size(), inf);
    for (size_t v = 0; v < fileCount; ++v) {
        display.vertexTimes[v] = fileTimes[v];
        if (std::isfinite(fileTimes[v])) display.maxTime = std::max(display.maxTime, fileTimes[v]);
    }
    std::vector<double> sum(mesh.vertices.size(), 0.0);
    std::vector<int> count(mesh.vertices.size(), 0);
    for (const MeshPolygon& polygon : mesh.polygons) {
        for (int corner = 0; corner < 3; ++corner) {
            const size_t v = static_cast<size_t>(polygon.vertex[corner]);
            if (v < fileCount) continue;
            for (int other = 0; other < 3; ++other) {
                const size_t w = static_cast<size_t>(polygon.vertex[other]);
                if (w < fileCount && std::isfinite(fileTimes[w])) {
                    sum[v] += fileTimes[w];
                    ++count[v];
                }
            }
        }
    }
    for (size_t v = fileCount; v < mesh.vertices.size(); ++v) {
        if (count[v] > 0) display.vertexTimes[v] = sum[v] / count[v];
    }
}

}  // namespace vantrel
