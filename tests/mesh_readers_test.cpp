// The STL, PLY, OFF and legacy VTK readers: a real mesh written in every format
// loads to exactly its OBJ twin; small files show welding, first triangles,
// strips and skipped sections; bad files are refused with one line and change
// nothing.
#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "mesh/RkPolygonModel.h"
#include "mesh_checks.h"
#include "mesh_format_writers.h"
#include "shapes.h"

namespace vantrel {
namespace {

using meshchecks::ConsoleCapture;
using meshchecks::SharedMesh;
using meshchecks::WriteScratchFile;
namespace fw = formatwriters;

using Triangles = std::vector<std::array<int, 3>>;

Triangles TrianglesOf(const RkPolygonModel& model) {
    Triangles triangles;
    for (const MeshPolygon& polygon : model.polygons)
        triangles.push_back({polygon.vertex[0], polygon.vertex[1], polygon.vertex[2]});
    return triangles;
}

struct Twin {
    const char* name;  // file name: the extension chooses the reader, in any case
    std::string (*write)(const RkPolygonModel&);
};

const Twin kTwins[] = {
    {"lv.stl", fw::AsciiStl},
    {"lv-binary.STL", fw::BinaryStl},
    {"lv.ply", [](const RkPolygonModel& m) { return fw::Ply(m, fw::PlyEncoding::kAscii); }},
    {"lv-le.Ply", [](const RkPolygonModel& m) { return fw::Ply(m, fw::PlyEncoding::kLittle); }},
    {"lv-be.ply", [](const RkPolygonModel& m) { return fw::Ply(m, fw::PlyEncoding::kBig); }},
    {"lv.off", fw::Off},
    {"lv.vtk", [](const RkPolygonModel& m) { return fw::Vtk(m, false, false); }},
    {"lv-binary.VTK", [](const RkPolygonModel& m) { return fw::Vtk(m, true, false); }},
    {"lv-strips.vtk", [](const RkPolygonModel& m) { return fw::Vtk(m, false, true); }},
    {"lv-binary-strips.vtk", [](const RkPolygonModel& m) { return fw::Vtk(m, true, true); }},
};

class RealMeshTwin : public ::testing::TestWithParam<Twin> {};

// The LV file lists its vertices in order of first use, so even STL, which
// welds corners into vertices, gives back the same numbering.
TEST_P(RealMeshTwin, LoadsToTheSameVerticesAndTrianglesAsTheObj) {
    const std::string objPath = SharedMesh("bivme_p1_lv_endo_capped.obj");
    if (!std::ifstream(objPath).good()) GTEST_SKIP() << objPath << " not found";
    RkPolygonModel obj;
    ASSERT_TRUE(obj.Load(objPath));
    const std::string path = WriteScratchFile(GetParam().name, GetParam().write(obj));
    RkPolygonModel other;
    ASSERT_TRUE(other.Load(path));
    ASSERT_EQ(other.vertices.size(), obj.vertices.size());
    for (size_t i = 0; i < obj.vertices.size(); ++i) {
        const Vector3& a = other.vertices[i].position;
        const Vector3& b = obj.vertices[i].position;
        ASSERT_TRUE(a.x == b.x && a.y == b.y && a.z == b.z) << "vertex " << i;
    }
    EXPECT_EQ(TrianglesOf(other), TrianglesOf(obj));
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, RealMeshTwin, ::testing::ValuesIn(kTwins),
                         [](const ::testing::TestParamInfo<Twin>& info) {
                             std::string name;
                             for (const char* c = info.param.name; *c; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

struct GoodFile {
    const char* name;
    std::string bytes;
    size_t vertices;
    Triangles triangles;
};

std::string BinaryPlyWithEdgesAndShortIndices() {
    std::string out =
        "ply\nformat binary_big_endian 1.0\nelement vertex 4\nproperty double x\nproperty "
        "double y\nproperty double z\nelement edge 1\nproperty list uchar int ends\nelement "
        "face 1\nproperty list ushort short vertex_indices\nend_header\n";
    for (int v = 0; v < 4; ++v)
        for (int k = 0; k < 3; ++k) fw::AppendFloat64(out, v == k ? 1.0 : 0.0, true);
    out += '\x02';
    fw::AppendRaw(out, 0, 4, true);
    fw::AppendRaw(out, 1, 4, true);
    fw::AppendRaw(out, 4, 2, true);  // a quad keeps its first triangle
    for (int v : {3, 2, 1, 0}) fw::AppendRaw(out, static_cast<std::uint64_t>(v), 2, true);
    return out;
}

const GoodFile kGoodFiles[] = {
    // Exactly equal corners weld, -0 and +0 included; a second solid carries on.
    {"welded.stl",
     "solid a\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\nvertex 0 1 0\n"
     "endloop\nendfacet\nendsolid a\nsolid b\nfacet normal 0 0 1\nouter loop\nvertex 1 0 0\n"
     "vertex 1 1 0\nvertex -0 1 0\nendloop\nendfacet\nendsolid b\n",
     4,
     {{0, 1, 2}, {1, 3, 2}}},
    {"skips.ply", BinaryPlyWithEdgesAndShortIndices(), 4, {{3, 2, 1}}},
    // Colours after the coordinates and the indices, comments, counts on the header line.
    {"colours.off",
     "COFF 4 2 0 # counts\n0 0 0 1 0 0 1\n1 0 0 1 0 0 1\n\n0 1 0 1 0 0 1\n"
     "1 1 0 1 0 0 1\n4 0 1 3 2 255 0 0\n3 2 1 3\n",
     4,
     {{0, 1, 3}, {2, 1, 3}}},
    // Strips come after the polygons and alternate their winding; VERTICES,
    // METADATA and FIELD are read past.
    {"strip.vtk",
     "# vtk DataFile Version 4.2\nstrip\nASCII\nDATASET POLYDATA\nFIELD FieldData 1\n"
     "TimeValue 1 1 double\n0.5\nPOINTS 5 float\n0 0 0 1 0 0 0 1 0 1 1 0 0 2 0\nMETADATA\n"
     "INFORMATION 0\n\nVERTICES 1 2\n1 4\nTRIANGLE_STRIPS 1 6\n5 0 1 2 3 4\nPOLYGONS 1 4\n"
     "3 4 3 2\nCELL_DATA 4\n",
     5,
     {{4, 3, 2}, {0, 1, 2}, {2, 1, 3}, {2, 3, 4}}},
    {"offsets.vtk",
     "# vtk DataFile Version 5.1\nnew layout\nASCII\nDATASET POLYDATA\nPOINTS 4 double\n"
     "0 0 0 1 0 0 0 1 0 1 1 0\nPOLYGONS 3 7\nOFFSETS vtktypeint64\n0 3 7\n"
     "CONNECTIVITY vtktypeint64\n0 1 2 2 1 3 0\n",
     4,
     {{0, 1, 2}, {2, 1, 3}}},
};

class GoodSmallFile : public ::testing::TestWithParam<GoodFile> {};

TEST_P(GoodSmallFile, LoadsItsVerticesAndTrianglesInFileOrder) {
    RkPolygonModel model;
    ConsoleCapture console;
    ASSERT_TRUE(model.Load(WriteScratchFile(GetParam().name, GetParam().bytes)))
        << (console.Lines().empty() ? "" : console.Lines().front());
    EXPECT_EQ(model.vertices.size(), GetParam().vertices);
    EXPECT_EQ(TrianglesOf(model), GetParam().triangles);
    EXPECT_TRUE(console.Lines().empty());
}

INSTANTIATE_TEST_SUITE_P(Formats, GoodSmallFile, ::testing::ValuesIn(kGoodFiles));

struct BadFile {
    const char* name;
    std::string bytes;
    const char* reason;  // part of the console line, with its line or byte where known
};

std::string BinaryStlHeader(std::uint32_t triangles) {
    std::string out(80, ' ');
    fw::AppendRaw(out, triangles, 4, false);
    return out;
}

std::string BinaryStlWithInfinity() {
    std::string out = BinaryStlHeader(1);
    for (int i = 0; i < 12; ++i) fw::AppendFloat32(out, i == 5 ? 1e39 : 0.0, false);
    return out + std::string(2, '\0');
}

const std::string kPlyVertices =
    "ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\nproperty float y\nproperty "
    "float z\nelement face 1\nproperty list uchar int vertex_indices\nend_header\n"
    "0 0 0\n1 0 0\n0 1 0\n";

std::string BinaryPlyHeader(int vertices, int faces) {
    return "ply\nformat binary_little_endian 1.0\nelement vertex " + std::to_string(vertices) +
           "\nproperty float x\nproperty float y\nproperty float z\nelement face " +
           std::to_string(faces) + "\nproperty list uchar uint vertex_indices\nend_header\n";
}

std::string BinaryPlyWithNan() {
    std::string out = BinaryPlyHeader(1, 1);
    for (double v : {0.0, std::nan(""), 0.0}) fw::AppendFloat32(out, v, false);
    return out + std::string("\x03", 1) + std::string(12, '\0');
}

const std::string kVtkHead = "# vtk DataFile Version 3.0\nt\nASCII\nDATASET POLYDATA\n";
const std::string kVtkBinaryHead = "# vtk DataFile Version 3.0\nt\nBINARY\nDATASET POLYDATA\n";

std::string BinaryVtkTruncatedPolygons() {
    std::string out = kVtkBinaryHead + "POINTS 3 float\n";
    for (int i = 0; i < 9; ++i) fw::AppendFloat32(out, i % 4 == 0 ? 1.0 : 0.0, true);
    out += "\nPOLYGONS 1 4\n";
    fw::AppendRaw(out, 3, 4, true);
    fw::AppendRaw(out, 0, 4, true);
    return out;
}

const BadFile kBadFiles[] = {
    {"truncated.stl", BinaryStlHeader(2) + std::string(60, '\0'),
     "byte 144: binary STL body is 60 bytes where the header's 2 triangles need 100"},
    {"infinite.stl", BinaryStlWithInfinity(), "byte 84: triangle 0 has a coordinate"},
    {"empty.stl", BinaryStlHeader(0), "no faces"},
    {"unfinished.stl",
     "solid x\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\nvertex 0 1 0\n"
     "endloop\nendfacet\n",
     ":9: file ends before \"endsolid\""},
    {"word.stl", "solid x\nfacet normal 0 0 1\nouter loop\nvertex 0 zero 0\n",
     ":4: expected a number"},
    {"counts.ply", BinaryPlyHeader(1000000, 1) + std::string(20, '\0'),
     "element vertex count 1000000 is more than the file holds"},
    {"nan.ply", BinaryPlyWithNan(), "byte 170: vertex coordinate is not a finite number"},
    {"index.ply", kPlyVertices + "3 0 1 3\n", ":13: face index 3 is outside the 3 vertices"},
    {"two-corners.ply", kPlyVertices + "2 0 1\n", ":13: a face needs three vertex indices"},
    {"short.ply", kPlyVertices + "3 0 1\n", ":13: list is longer than the rest of the file"},
    {"faceless.ply",
     "ply\nformat ascii 1.0\nelement vertex 1\nproperty float x\nproperty float y\nproperty "
     "float z\nend_header\n0 0 0\n",
     "no faces"},
    {"counts.off", "OFF\n3000 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n",
     ":2: counts of 3000 vertices and 1 faces are more than the file holds"},
    {"index.off", "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 -1\n",
     ":6: face index -1 is outside the 3 vertices"},
    {"infinite.off", "OFF\n3 1 0\n0 0 0\n1 inf 0\n0 1 0\n3 0 1 2\n",
     ":4: vertex coordinate is not a finite number"},
    {"faceless.off", "OFF\n3 0 0\n0 0 0\n1 0 0\n0 1 0\n", ":2: no faces"},
    {"counts.vtk", kVtkBinaryHead + "POINTS 500000 float\n" + std::string(64, '\0'),
     "byte 53: count 1500000 is more than the file holds"},
    {"truncated.vtk", BinaryVtkTruncatedPolygons(), "count 4 is more than the file holds"},
    {"index.vtk", kVtkHead + "POINTS 3 float\n0 0 0 1 0 0 0 1 0\nPOLYGONS 1 4\n3 0 1 7\n",
     ":7: point index 7 is outside the 3 points"},
    {"nan.vtk", kVtkHead + "POINTS 3 float\n0 0 0 1 0 0 0 nan 0\nPOLYGONS 1 4\n3 0 1 2\n",
     ":5: point 2 has a coordinate that is not a finite number"},
    {"cellsize.vtk", kVtkHead + "POINTS 3 float\n0 0 0 1 0 0 0 1 0\nPOLYGONS 2 5\n3 0 1 2 0\n",
     ":7: polygon 1 has fewer than three points"},
    {"faceless.vtk", kVtkHead + "POINTS 3 float\n0 0 0 1 0 0 0 1 0\nLINES 1 3\n2 0 1\n",
     "no faces"},
    {"grid.vtk", "# vtk DataFile Version 3.0\nt\nASCII\nDATASET STRUCTURED_POINTS\n",
     "not POLYDATA"},
    {"mesh.xyz", "0 0 0\n", "not a mesh file"},
};

class BadSmallFile : public ::testing::TestWithParam<BadFile> {};

TEST_P(BadSmallFile, IsRefusedWithOneLineNamingFileAndReasonAndChangesNothing) {
    RkPolygonModel model = shapes::TwoTriangles();
    const std::string path = WriteScratchFile(GetParam().name, GetParam().bytes);
    ConsoleCapture console;
    EXPECT_FALSE(model.Load(path));
    ASSERT_EQ(console.Lines().size(), 1u);
    const std::string& line = console.Lines().front();
    EXPECT_EQ(line.rfind(path, 0), 0u) << line;
    EXPECT_NE(line.find(GetParam().reason), std::string::npos) << line;
    EXPECT_EQ(TrianglesOf(model), TrianglesOf(shapes::TwoTriangles()));
    EXPECT_EQ(model.vertices.size(), 4u);
}

INSTANTIATE_TEST_SUITE_P(Formats, BadSmallFile, ::testing::ValuesIn(kBadFiles),
                         [](const ::testing::TestParamInfo<BadFile>& info) {
                             std::string name;
                             for (const char* c = info.param.name; *c; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

}  // namespace
}  // namespace vantrel
