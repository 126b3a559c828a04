#pragma once
// Writes a triangle mesh as the bytes of each format the mesh readers take, so
// that tests and benchmarks can make their files from one model. Coordinates are
// written exactly (17 significant digits, or the raw float32/float64 bits).
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "mesh/RkPolygonModel.h"

namespace vantrel {
namespace formatwriters {

inline std::string Number(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

// "a b c" as text; whole numbers print without a fraction.
inline std::string Triple(double a, double b, double c) {
    return Number(a) + " " + Number(b) + " " + Number(c);
}

// Appends `value` in `size` bytes, little endian unless `big`.
inline void AppendRaw(std::string& out, std::uint64_t value, int size, bool big) {
    for (int i = 0; i < size; ++i) {
        const int shift = 8 * (big ? size - 1 - i : i);
        out.push_back(static_cast<char>((value >> shift) & 0xff));
    }
}

inline void AppendFloat32(std::string& out, double value, bool big) {
    const float single = static_cast<float>(value);
    std::uint32_t bits;
    std::memcpy(&bits, &single, sizeof bits);
    AppendRaw(out, bits, 4, big);
}

inline void AppendFloat64(std::string& out, double value, bool big) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    AppendRaw(out, bits, 8, big);
}

inline std::string BinaryStl(const RkPolygonModel& model) {
    std::string out(80, ' ');
    AppendRaw(out, model.polygons.size(), 4, false);
    for (const MeshPolygon& polygon : model.polygons) {
        for (int i = 0; i < 3; ++i) AppendFloat32(out, 0.0, false);
        for (int k = 0; k < 3; ++k) {
            const Vector3& p = model.vertices[polygon.vertex[k]].position;
            for (double c : {p.x, p.y, p.z}) AppendFloat32(out, c, false);
        }
        out += std::string(2, '\0');
    }
    return out;
}

enum class PlyEncoding { kAscii, kLittle, kBig };

// Vertices as float x, y, z plus a uchar property that readers must skip; faces
// as "list uchar int vertex_indices".
inline std::string Ply(const RkPolygonModel& model, PlyEncoding encoding) {
    const char* const names[] = {"ascii", "binary_little_endian", "binary_big_endian"};
    std::string out = std::string("ply\nformat ") + names[static_cast<int>(encoding)] +
                      " 1.0\ncomment test mesh\nelement vertex " +
                      std::to_string(model.vertices.size()) +
                      "\nproperty float x\nproperty float y\nproperty float z\nproperty uchar "
                      "red\nelement face " +
                      std::to_string(model.polygons.size()) +
                      "\nproperty list uchar int vertex_indices\nend_header\n";
    const bool text = encoding == PlyEncoding::kAscii, big = encoding == PlyEncoding::kBig;
    for (const MeshVertex& vertex : model.vertices) {
        const Vector3& p = vertex.position;
        if (text) {
            out += Triple(p.x, p.y, p.z) + " 255\n";
            continue;
        }
        for (double c : {p.x, p.y, p.z}) AppendFloat32(out, c, big);
        out.push_back('\xff');
    }
    for (const MeshPolygon& polygon : model.polygons) {
        const int* v = polygon.vertex;
        if (text) {
            out += "3 " + Triple(v[0], v[1], v[2]) + "\n";
            continue;
        }
        out.push_back('\x03');
        for (int k = 0; k < 3; ++k) AppendRaw(out, v[k], 4, big);
    }
    return out;
}

// Legacy VTK 3.0 with double points; the triangles as POLYGONS, or as
// three-point TRIANGLE_STRIPS when `asStrips`. A LINES section and POINT_DATA
// follow or precede them to be skipped. Binary values are big endian.
inline std::string Vtk(const RkPolygonModel& model, bool binary, bool asStrips) {
    // One cell: its point count, then its points.
    const auto cell = [binary](std::string& out, const int* points, int count) {
        if (binary) {
            AppendRaw(out, count, 4, true);
            for (int k = 0; k < count; ++k) AppendRaw(out, points[k], 4, true);
            return;
        }
        out += std::to_string(count);
        for (int k = 0; k < count; ++k) out += " " + std::to_string(points[k]);
        out += "\n";
    };
    std::string out = std::string("# vtk DataFile Version 3.0\ntest mesh\n") +
                      (binary ? "BINARY" : "ASCII") + "\nDATASET POLYDATA\nPOINTS " +
                      std::to_string(model.vertices.size()) + " double\n";
    for (const MeshVertex& vertex : model.vertices) {
        const Vector3& p = vertex.position;
        if (!binary) {
            out += Triple(p.x, p.y, p.z) + "\n";
            continue;
        }
        for (double c : {p.x, p.y, p.z}) AppendFloat64(out, c, true);
    }
    const int line[] = {0, 1};
    out += "\nLINES 1 3\n";
    cell(out, line, 2);
    out += std::string("\n") + (asStrips ? "TRIANGLE_STRIPS " : "POLYGONS ") +
           std::to_string(model.polygons.size()) + " " + std::to_string(model.polygons.size() * 4) +
           "\n";
    for (const MeshPolygon& polygon : model.polygons) cell(out, polygon.vertex, 3);
    out += "\nPOINT_DATA " + std::to_string(model.vertices.size()) +
           "\nSCALARS radius float 1\nLOOKUP_TABLE default\n";
    return out;
}

}  // namespace formatwriters
}  // namespace vantrel
