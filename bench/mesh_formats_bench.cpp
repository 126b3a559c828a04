// Reading a one-million-triangle heart-sized mesh from binary STL (which welds
// its corners into vertices) and binary PLY: a closed torus grid of 1000 x 500
// quads, written once to a scratch folder. The goal is well under a second each.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "mesh/RkPolygonModel.h"
#include "mesh_format_writers.h"

namespace vantrel {
namespace {

RkPolygonModel MillionTriangleTorus() {
    const int around = 1000, across = 500;
    const double pi = 3.14159265358979323846;
    RkPolygonModel model;
    for (int i = 0; i < around; ++i) {
        for (int j = 0; j < across; ++j) {
            const double u = 2.0 * pi * i / around, v = 2.0 * pi * j / across;
            MeshVertex vertex;
            vertex.position =
                Vector3((40.0 + 15.0 * std::cos(v)) * std::cos(u),
                        (40.0 + 15.0 * std::cos(v)) * std::sin(u), 15.0 * std::sin(v));
            model.vertices.push_back(vertex);
        }
    }
    auto at = [&](int i, int j) { return (i % around) * across + (j % across); };
    for (int i = 0; i < around; ++i) {
        for (int j = 0; j < across; ++j) {
            MeshPolygon a, b;
            a.vertex[0] = at(i, j), a.vertex[1] = at(i + 1, j), a.vertex[2] = at(i + 1, j + 1);
            b.vertex[0] = at(i, j), b.vertex[1] = at(i + 1, j + 1), b.vertex[2] = at(i, j + 1);
            model.polygons.push_back(a);
            model.polygons.push_back(b);
        }
    }
    return model;
}

// Writes the torus in the format `name` ends in, once; the path.
const std::string& TorusFile(const std::string& name) {
    static std::string stl, ply;
    std::string& path = name == "stl" ? stl : ply;
    if (path.empty()) {
        const RkPolygonModel model = MillionTriangleTorus();
        const std::filesystem::path folder =
            std::filesystem::temp_directory_path() / "vantrel_bench";
        std::filesystem::create_directories(folder);
        path = (folder / ("torus-1m." + name)).string();
        std::ofstream(path, std::ios::binary)
            << (name == "stl" ? formatwriters::BinaryStl(model)
                              : formatwriters::Ply(model, formatwriters::PlyEncoding::kLittle));
    }
    return path;
}

void LoadEach(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        RkPolygonModel model;
        if (!model.Load(path)) {
            state.SkipWithError("the benchmark mesh could not be read");
            return;
        }
        benchmark::DoNotOptimize(model.polygons.data());
        state.counters["triangles"] = static_cast<double>(model.polygons.size());
        state.counters["vertices"] = static_cast<double>(model.vertices.size());
    }
}

void BM_ReadBinaryStlMillionTriangles(benchmark::State& state) {
    LoadEach(state, TorusFile("stl"));
}
BENCHMARK(BM_ReadBinaryStlMillionTriangles)->Unit(benchmark::kMillisecond);

void BM_ReadBinaryPlyMillionTriangles(benchmark::State& state) {
    LoadEach(state, TorusFile("ply"));
}
BENCHMARK(BM_ReadBinaryPlyMillionTriangles)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace vantrel
