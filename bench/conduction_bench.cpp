// The conduction layer on the demo heart grown as vantrel-grow grows it (four start
// points on polygon 0, one run): graph, activation, junctions and endocardial map,
// each alone and all together. Goal: all together well under 100 ms; the
// activation pass at least ten million edges per second.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "cli/GrowJob.h"
#include "conduction/ConductionRun.h"
#include "demo_grow.h"

namespace vantrel {
namespace {

// The session is grown once for all benchmarks of this program.
GrowSession* DemoSession() {
    static GrowSession* session = [] {
        auto grown = std::make_unique<GrowSession>();
        GrowOptions options;
        options.heartPath = std::string(VANTREL_DATA_DIR) + "/demo-heart.obj";
        options.segmentationPath = std::string(VANTREL_DATA_DIR) + "/demo-heart.kxseg";
        options.startPolygons = {"0"};
        std::string error;
        if (!GrowOneRun(options, *grown, error)) return static_cast<GrowSession*>(nullptr);
        return grown.release();
    }();
    return session;
}

HeartFrame Frame(const GrowSession& session) {
    return HeartFrame(session.heart.normalisation, LengthUnit::kMillimetre);
}

void BM_ConductionGraph(benchmark::State& state) {
    const GrowSession* session = DemoSession();
    if (!session) return state.SkipWithError("demo heart not found in data/");
    std::size_t edges = 0;
    for (auto _ : state) {
        const ConductionGraph graph = BuildConductionGraph(session->core, Frame(*session));
        edges = graph.edges.size();
        benchmark::DoNotOptimize(edges);
    }
    state.counters["strokes"] = session->timings.strokes;
    state.counters["edges"] = static_cast<double>(edges);
}
BENCHMARK(BM_ConductionGraph)->Unit(benchmark::kMillisecond);

void BM_Activation(benchmark::State& state) {
    const GrowSession* session = DemoSession();
    if (!session) return state.SkipWithError("demo heart not found in data/");
    const ConductionGraph graph = BuildConductionGraph(session->core, Frame(*session));
    for (auto _ : state) {
        benchmark::DoNotOptimize(ComputeActivation(graph, PhysiologySettings(), 1e-3));
    }
    state.counters["edges/s"] = benchmark::Counter(
        static_cast<double>(graph.edges.size()) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Activation)->Unit(benchmark::kMillisecond);

void BM_PurkinjeMuscleJunctions(benchmark::State& state) {
    const GrowSession* session = DemoSession();
    if (!session) return state.SkipWithError("demo heart not found in data/");
    const ConductionGraph graph = BuildConductionGraph(session->core, Frame(*session));
    const std::vector<double> times = ComputeActivation(graph, PhysiologySettings(), 1e-3);
    std::size_t count = 0;
    for (auto _ : state) {
        count = FindPurkinjeMuscleJunctions(graph, times, session->heart.fileMesh).size();
        benchmark::DoNotOptimize(count);
    }
    state.counters["junctions"] = static_cast<double>(count);
}
BENCHMARK(BM_PurkinjeMuscleJunctions)->Unit(benchmark::kMillisecond);

void BM_EndocardialMap(benchmark::State& state) {
    const GrowSession* session = DemoSession();
    if (!session) return state.SkipWithError("demo heart not found in data/");
    const ConductionGraph graph = BuildConductionGraph(session->core, Frame(*session));
    const std::vector<double> times = ComputeActivation(graph, PhysiologySettings(), 1e-3);
    const std::vector<PurkinjeMuscleJunction> junctions =
        FindPurkinjeMuscleJunctions(graph, times, session->heart.fileMesh);
    const std::vector<bool> segmented = SegmentedFileVertices(session->heart);
    for (auto _ : state) {
        benchmark::DoNotOptimize(ComputeEndocardialMap(session->heart.fileMesh, segmented,
                                                       junctions, PhysiologySettings(), 1e-3));
    }
    state.counters["vertices"] = static_cast<double>(session->heart.fileMesh.vertices.size());
}
BENCHMARK(BM_EndocardialMap)->Unit(benchmark::kMillisecond);

void BM_RunConduction(benchmark::State& state) {
    const GrowSession* session = DemoSession();
    if (!session) return state.SkipWithError("demo heart not found in data/");
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            RunConduction(session->core, session->heart, PhysiologySettings()));
    }
}
BENCHMARK(BM_RunConduction)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantrel
