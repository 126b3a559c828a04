// The conduction layer on the demo heart's usual run (four start points on the first
// segmented polygon, one growth run): the conduction run (graph, activation, junctions,
// endocardial map), each export's text, and all of it with every file written. Goal:
// conduction and all exports together at most 100 ms per run.
#include <cstdio>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "cli/ConductionStep.h"
#include "cli/GrowJob.h"
#include "conduction/EndocardiumVtk.h"
#include "conduction/MonoAlg3dNetwork.h"
#include "conduction/NetworkVtk.h"
#include "conduction/OpenCarpPkje.h"
#include "conduction/PmjCsv.h"
#include "demo_grow.h"

namespace vantrel {
namespace {

// The grown demo network, made once for every benchmark of this file.
struct DemoRun {
    GrowOptions options;
    std::unique_ptr<GrowSession> session;
    bool ready = false;

    DemoRun() {
        if (!SetDemoHeartOptions(options)) return;
        const std::string prefix = "conduction_export_bench_";
        options.networkPath = prefix + "network.vtk";
        options.pmjPath = prefix + "pmj.csv";
        options.endocardiumPath = prefix + "endocardium.vtk";
        options.openCarpPath = prefix + "network.pkje";
        options.monoAlg3dPath = prefix + "monoalg3d.vtk";
        options.monoAlg3dPmjPath = prefix + "monoalg3d_pmj.vtk";
        options.summaryPath = prefix + "summary.json";
        session = std::make_unique<GrowSession>();
        std::string error;
        if (!GrowOneRun(options, *session, error)) return;
        session->conduction = RunConduction(session->core, session->heart, session->physiology);
        ready = true;
    }
    ~DemoRun() {
        for (const std::string* path :
             {&options.networkPath, &options.pmjPath, &options.endocardiumPath,
              &options.openCarpPath, &options.monoAlg3dPath, &options.monoAlg3dPmjPath,
              &options.summaryPath})
            std::remove(path->c_str());
    }
};

DemoRun& Demo() {
    static DemoRun demo;
    return demo;
}

void BM_ConductionRun(benchmark::State& state) {
    DemoRun& demo = Demo();
    if (!demo.ready) return state.SkipWithError("demo heart not found in data/");
    for (auto _ : state) {
        const ConductionResult result =
            RunConduction(demo.session->core, demo.session->heart, demo.session->physiology);
        benchmark::DoNotOptimize(result.activation.data());
    }
    state.counters["edges"] = static_cast<double>(demo.session->conduction.graph.edges.size());
}
BENCHMARK(BM_ConductionRun)->Unit(benchmark::kMillisecond);

void BM_Activation(benchmark::State& state) {
    DemoRun& demo = Demo();
    if (!demo.ready) return state.SkipWithError("demo heart not found in data/");
    const ConductionGraph& graph = demo.session->conduction.graph;
    for (auto _ : state) {
        const std::vector<double> times = ComputeActivation(graph, demo.session->physiology, 1e-3);
        benchmark::DoNotOptimize(times.data());
    }
    state.counters["edges/s"] = benchmark::Counter(static_cast<double>(graph.edges.size()),
                                                   benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_Activation)->Unit(benchmark::kMillisecond);

template <typename MakeText>
void ExportText(benchmark::State& state, MakeText makeText) {
    DemoRun& demo = Demo();
    if (!demo.ready) return state.SkipWithError("demo heart not found in data/");
    std::size_t bytes = 0;
    for (auto _ : state) {
        const std::string text = makeText(*demo.session);
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_NetworkVtkText(benchmark::State& state) {
    ExportText(state, [](const GrowSession& s) {
        return NetworkVtkText(s.conduction.graph, s.conduction.activation, LengthUnit::kMillimetre);
    });
}
BENCHMARK(BM_NetworkVtkText)->Unit(benchmark::kMillisecond);

void BM_PmjCsvText(benchmark::State& state) {
    ExportText(state, [](const GrowSession& s) {
        return PmjCsvText(s.conduction.graph, s.conduction.junctions, LengthUnit::kMillimetre);
    });
}
BENCHMARK(BM_PmjCsvText)->Unit(benchmark::kMillisecond);

void BM_EndocardiumVtkText(benchmark::State& state) {
    ExportText(state, [](const GrowSession& s) {
        return EndocardiumVtkText(s.heart.fileMesh, s.conduction.endocardium,
                                  LengthUnit::kMillimetre);
    });
}
BENCHMARK(BM_EndocardiumVtkText)->Unit(benchmark::kMillisecond);

void BM_OpenCarpPkjeText(benchmark::State& state) {
    ExportText(state, [](const GrowSession& s) {
        return OpenCarpPkjeText(s.conduction.graph, s.conduction.activation,
                                LengthUnit::kMillimetre, PkjeCableSettings());
    });
}
BENCHMARK(BM_OpenCarpPkjeText)->Unit(benchmark::kMillisecond);

void BM_MonoAlg3dText(benchmark::State& state) {
    ExportText(state, [](const GrowSession& s) {
        MonoAlg3dExport result;
        std::string error;
        BuildMonoAlg3dExport(s.conduction.graph, 0, LengthUnit::kMillimetre, result, error);
        return result.networkText + result.pmjText;
    });
}
BENCHMARK(BM_MonoAlg3dText)->Unit(benchmark::kMillisecond);

// What a run with every conduction file adds: the conduction run, every text and
// every file written (the summary included).
void BM_ConductionAndAllExports(benchmark::State& state) {
    DemoRun& demo = Demo();
    if (!demo.ready) return state.SkipWithError("demo heart not found in data/");
    for (auto _ : state) {
        ConductionFiles files;
        std::string error;
        if (!PrepareConductionStep(demo.options, *demo.session, files, error) ||
            !WriteConductionStep(files, error) ||
            !WriteSummaryStep(demo.options, *demo.session, error))
            return state.SkipWithError(error.c_str());
    }
}
BENCHMARK(BM_ConductionAndAllExports)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantrel
