// The mesh readers (OBJ, STL, PLY, OFF, legacy VTK, counted text) and writers (OBJ,
// counted text, VRML): a real mesh written as STL, PLY and VTK loads to exactly its OBJ
// twin; small files show face forms, welding, strips and skipped sections; bad files
// are refused with one line and change nothing.
#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "mesh/ObjReader.h"
#include "mesh/RkPolygonModel.h"
#include "mesh_checks.h"
#include "mesh_format_writers.h"
#include "shapes.h"

namespace vantrel {
namespace {

using namespace meshchecks;  // the shared mesh and file checks
namespace fw = formatwriters;

using Triangles = std::vector<std::array<int, 3>>;

Triangles TrianglesOf(const RkPolygonModel& model) {
    Triangles triangles;
    for (const MeshPolygon& polygon : model.polygons)
        triangles.push_back({polygon.vertex[0], polygon.vertex[1], polygon.vertex[2]});
    return triangles;
}

const std::string kFourVertices = "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\n";

RkPolygonModel Read(const std::string& text) {
    RkPolygonModel model;
    EXPECT_TRUE(ReadObjText(text, "test.obj", model)) << text;
    return model;
}

// Other statements are ignored, long lines read whole, values kept in single precision.
TEST(ObjReader, FaceFormsAndIndexRulesGiveTheExpectedTriangles) {
    const std::string textured = kFourVertices + "vt 0 0\nvt 1 0\nvt 0 1\n";
    const std::string others = "o heart\ng wall\nvn 0 0 1\nusemtl red\ns 1\n# " +
                               std::string(600, 'x') + " f 9 9 9\nv 0.1" + std::string(300, ' ') +
                               "-2.5e3 3\r\nv 0 0 0\r\nv 0 1 0\nf 1 2 3\r\n";
    const struct {
        std::string text;
        Triangles triangles;
    } cases[] = {
        {textured + "f 1 2 3\nf 2/1 3/2 4/3\nf 3/1/1 4/2/2 1/3/3\nf 4//1 1//2 2//3\nF\t1 3 4\n",
         {{0, 1, 2}, {1, 2, 3}, {2, 3, 0}, {3, 0, 1}, {0, 2, 3}}},
        // Larger polygons keep the triangle of their first three corners.
        {kFourVertices + "f 1 2 3 4\nf 4/1 3/1 2/1 1/1\n", {{0, 1, 2}, {3, 2, 1}}},
        // Negative indices count back from the vertices read so far; positive ones may look ahead.
        {"f 2 3 4\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf -3 -2 -1\nv 1 1 0\nf -1 -2 -3\n",
         {{1, 2, 3}, {0, 1, 2}, {3, 2, 1}}},
        {others, {{0, 1, 2}}},
    };
    for (const auto& c : cases) EXPECT_EQ(TrianglesOf(Read(c.text)), c.triangles) << c.text;
    const RkPolygonModel model = Read(others);
    ASSERT_EQ(model.vertices.size(), 3u);
    ExpectNear(model.vertices[0].position, Vector3(0.1f, -2500.0, 3.0), 0.0);
}

TEST(ObjReader, LoadNeedsAnObjPathAndASuccessfulLoadReplacesEverything) {
    RkPolygonModel model = shapes::UnitCube();
    model.BuildEdgeTable();
    ConsoleCapture console;
    EXPECT_FALSE(model.Load(ScratchPath("absent.obj")));
    EXPECT_EQ(console.Lines().size(), 1u);
    ASSERT_TRUE(model.Load(WriteScratchFile("MESH.OBJ", kFourVertices + "f 1 2 3\n")));
    EXPECT_EQ(model.vertices.size(), 4u);
    EXPECT_TRUE(model.edges.empty());
}

// The LV file lists its vertices in order of first use, so even STL, which welds
// corners into vertices, gives back the same numbering. The extension chooses the
// reader, in any case.
TEST(MeshReaders, RealMeshInEveryFormatLoadsToTheSameVerticesAndTrianglesAsTheObj) {
    const std::string objPath = SharedMesh("bivme_p1_lv_endo_capped.obj");
    if (!std::ifstream(objPath).good()) GTEST_SKIP() << objPath << " not found";
    RkPolygonModel obj;
    ASSERT_TRUE(obj.Load(objPath));
    const std::pair<const char*, std::string> twins[] = {
        {"lv-binary.STL", fw::BinaryStl(obj)},
        {"lv.ply", fw::Ply(obj, fw::PlyEncoding::kAscii)},
        {"lv-le.Ply", fw::Ply(obj, fw::PlyEncoding::kLittle)},
        {"lv-be.ply", fw::Ply(obj, fw::PlyEncoding::kBig)},
        {"lv.vtk", fw::Vtk(obj, false, false)},
        {"lv-binary.VTK", fw::Vtk(obj, true, false)},
        {"lv-strips.vtk", fw::Vtk(obj, false, true)},
    };
    for (const auto& [name, bytes] : twins) {
        SCOPED_TRACE(name);
        RkPolygonModel other;
        ASSERT_TRUE(other.Load(WriteScratchFile(name, bytes)));
        ASSERT_EQ(other.vertices.size(), obj.vertices.size());
        for (size_t i = 0; i < obj.vertices.size(); ++i) {
            const Vector3 &a = other.vertices[i].position, &b = obj.vertices[i].position;
            ASSERT_TRUE(a.x == b.x && a.y == b.y && a.z == b.z) << "vertex " << i;
        }
        EXPECT_EQ(TrianglesOf(other), TrianglesOf(obj));
    }
}

const std::string kPlyLimits =
    "ply\nformat ascii 1.0\nelement vertex 3\nproperty char x\nproperty ushort y\nproperty "
    "float z\nelement face 1\nproperty list uchar int vertex_indices\nend_header\n";

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

TEST(MeshReaders, SmallFilesLoadTheirVerticesAndTrianglesInFileOrder) {
    const struct {
        const char* name;
        std::string bytes;
        size_t vertices;
        Triangles triangles;
    } cases[] = {
        // Exactly equal corners weld, -0 and +0 included; a second solid carries on.
        {"welded.stl",
         "solid a\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\nvertex 0 1 0\n"
         "endloop\nendfacet\nendsolid a\nsolid b\nfacet normal 0 0 1\nouter loop\nvertex 1 0 0\n"
         "vertex 1 1 0\nvertex -0 1 0\nendloop\nendfacet\nendsolid b\n",
         4,
         {{0, 1, 2}, {1, 3, 2}}},
        {"skips.ply", BinaryPlyWithEdgesAndShortIndices(), 4, {{3, 2, 1}}},
        // Whole numbers at the limits of their declared types.
        {"limits.ply", kPlyLimits + "-128 65535 0\n127 0 0\n0 0 1\n3 0 1 2\n", 3, {{0, 1, 2}}},
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
         "0 0 0 1 0 0 0 1 0 1 1 0\nPOLYGONS 3 7\nOFFSETS long\n0 3 7\n"
         "CONNECTIVITY vtktypeint64\n0 1 2 2 1 3 0\n",
         4,
         {{0, 1, 2}, {2, 1, 3}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RkPolygonModel model;
        ConsoleCapture console;
        ASSERT_TRUE(model.Load(WriteScratchFile(c.name, c.bytes)))
            << (console.Lines().empty() ? "" : console.Lines().front());
        EXPECT_EQ(model.vertices.size(), c.vertices);
        EXPECT_EQ(TrianglesOf(model), c.triangles);
        EXPECT_TRUE(console.Lines().empty());
    }
}

// The two triangles with vertex 1 at height `y`.
RkPolygonModel TwoTrianglesWithY(double y) {
    RkPolygonModel model = shapes::TwoTriangles();
    model.vertices[1].position.y = y;
    return model;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

const std::string kPlyVertices =
    "ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\nproperty float y\nproperty "
    "float z\nelement face 1\nproperty list uchar int vertex_indices\nend_header\n"
    "0 0 0\n1 0 0\n0 1 0\n";
const std::string kVtkHead = "# vtk DataFile Version 3.0\nt\nASCII\nDATASET POLYDATA\n";
const std::string kThree = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";

// Each bad file is refused with one console line starting with the file's path and
// naming the reason (with its line or byte where known); the model keeps its vertices,
// triangles and edge table.
TEST(MeshReaders, BadFilesAreRefusedWithOneLineNamingFileAndReasonAndChangeNothing) {
    const struct {
        const char* name;
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"index0.obj", kThree + "f 0 1 2\n", ":4: face index"},
        {"past.obj", kThree + "f 1 2 3\nf 1 2 4\n", ":5: face index"},
        {"beyond-int.obj", kThree + "f 1 2 4294967297\n", ":4:"},
        {"two-corners.obj", "v 0 0 0\nv 1 0 0\nf 1 2\n", ":3: a face needs three"},
        {"word.obj", "v 0 0 0\nv 1 zero 0\nf 1 2 1\n", ":2: a vertex needs three numbers"},
        {"infinite.obj", "v 0 0 0\nv 0 1e39 0\nf 1 2 2\n", ":2: vertex coordinate is not"},
        {"texture.obj", "vt inf 0\nv 0 0 0\n", ":1: texture coordinate is not"},
        {"empty.obj", "", ": no faces"},
        {"nul.obj", kThree + std::string("\0\x01\x02\nf 1 2 3\n", 12), ": binary data"},
        {"truncated.stl", fw::BinaryStl(shapes::TwoTriangles()).substr(0, 144),
         "byte 144: binary STL body is 60 bytes where the header's 2 triangles need 100"},
        {"infinite.stl", fw::BinaryStl(TwoTrianglesWithY(1e39)), "byte 84: triangle 0 has a"},
        {"empty.stl", fw::BinaryStl(RkPolygonModel()), "no faces"},
        {"unfinished.stl",
         "solid x\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\nvertex 0 1 0\n"
         "endloop\nendfacet\n",
         ":9: file ends before \"endsolid\""},
        {"word.stl", "solid x\nfacet normal 0 0 1\nouter loop\nvertex 0 zero 0\n",
         ":4: expected a number"},
        {"counts.ply",
         Replaced(fw::Ply(shapes::TwoTriangles(), fw::PlyEncoding::kLittle), "vertex 4",
                  "vertex 1000000"),
         "element vertex count 1000000 is more than the file holds"},
        {"nan.ply", fw::Ply(TwoTrianglesWithY(std::nan("")), fw::PlyEncoding::kBig),
         "byte 216: vertex coordinate is not a finite number"},
        {"index.ply", kPlyVertices + "3 0 1 3\n", ":13: face index 3 is outside the 3 vertices"},
        {"ushort.ply", kPlyLimits + "0 65536 0\n127 0 0\n0 0 1\n3 0 1 2\n",
         ":10: expected a whole number of the declared"},
        {"two-corners.ply", kPlyVertices + "2 0 1\n", ":13: a face needs three vertex indices"},
        {"short.ply", kPlyVertices + "3 0 1\n", ":13: list is longer than the rest of the file"},
        {"blank-end.ply", kPlyVertices + "3 0 1\n\n\n\n\n", ":13: file ends early"},
        {"faceless.ply", Replaced(kPlyVertices, "element face 1", "element face 0"), "no faces"},
        {"counts.off", "OFF\n3000 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 2\n",
         ":2: counts of 3000 vertices and 1 faces are more than the file holds"},
        {"index.off", "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n3 0 1 -1\n",
         ":6: face index -1 is outside the 3 vertices"},
        {"infinite.off", "OFF\n3 1 0\n0 0 0\n1 inf 0\n0 1 0\n3 0 1 2\n",
         ":4: vertex coordinate is not a finite number"},
        {"faceless.off", "OFF\n3 0 0\n0 0 0\n1 0 0\n0 1 0\n", ":2: no faces"},
        {"two-corners.off", "OFF\n3 1 0\n0 0 0\n1 0 0\n0 1 0\n2 0 1 2\n",
         ":6: a face needs three vertex indices"},
        {"counts.vtk",
         Replaced(fw::Vtk(shapes::TwoTriangles(), true, false), "POINTS 4", "POINTS 500000"),
         "byte 61: count 1500000 is more than the file holds"},
        {"truncated.vtk", fw::Vtk(shapes::TwoTriangles(), true, false).substr(0, 230),
         "is more than the file holds"},
        {"index.vtk", kVtkHead + "POINTS 3 float\n0 0 0 1 0 0 0 1 0\nPOLYGONS 1 4\n3 0 1 7\n",
         ":7: point index 7 is outside the 3 points"},
        {"nan.vtk", fw::Vtk(TwoTrianglesWithY(std::nan("")), false, false),
         ":5: point 1 has a coordinate that is not a finite number"},
        {"cellsize.vtk", kVtkHead + "POINTS 3 float\n0 0 0 1 0 0 0 1 0\nPOLYGONS 2 5\n3 0 1 2 0\n",
         ":7: polygon 1 has fewer than three points"},
        {"faceless.vtk", kVtkHead + "POINTS 3 float\n0 0 0 1 0 0 0 1 0\nLINES 1 3\n2 0 1\n",
         "no faces"},
        {"grid.vtk", "# vtk DataFile Version 3.0\nt\nASCII\nDATASET STRUCTURED_POINTS\n",
         "not POLYDATA"},
        {"mesh.obj.bak", kThree + "f 1 2 3\n", "not a mesh file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RkPolygonModel model = shapes::TwoTriangles();
        model.BuildEdgeTable();
        const std::string path = WriteScratchFile(c.name, c.bytes);
        ConsoleCapture console;
        EXPECT_FALSE(model.Load(path));
        ASSERT_EQ(console.Lines().size(), 1u);
        const std::string& line = console.Lines().front();
        EXPECT_EQ(line.rfind(path, 0), 0u) << line;
        EXPECT_NE(line.find(c.reason), std::string::npos) << line;
        EXPECT_EQ(TrianglesOf(model), TrianglesOf(shapes::TwoTriangles()));
        EXPECT_EQ(model.vertices.size(), 4u);
        EXPECT_EQ(model.edges.size(), 5u);
    }
}

// Two triangles with coordinates that show the number formats.
RkPolygonModel SmallModel() {
    return shapes::MakeModel({{0, 0, 0}, {1.5, -0.25, 1234567}, {1.0 / 3.0, 1e-7, 2}, {1, 1, 0}},
                             {{0, 1, 2}, {2, 1, 3}});
}

TEST(MeshWriters, WriteTheExactLineFormats) {
    const struct {
        const char* file;
        std::function<bool(const std::string&)> write;
        std::string expected;
    } cases[] = {
        {"small.obj", [](const std::string& path) { return SmallModel().SaveObj(path); },
         "#Polygon model by RkPolygonModel\nv 0.000000 0.000000 0.000000\nv 1.500000 -0.250000 "
         "1234567.000000\nv 0.333333 0.000000 2.000000\nv 1.000000 1.000000 0.000000\nf 1 2 3\n"
         "f 3 2 4\n"},
        {"small.txt",
         [](const std::string& path) { return SmallModel().SaveIndexedText(path) == 0; },
         "4 2\n0.000000 0.000000 0.000000\n1.500000 -0.250000 1234567.000000\n0.333333 0.000000 "
         "2.000000\n1.000000 1.000000 0.000000\n0 1 2\n2 1 3\n"},
        {"small.wrl", [](const std::string& path) { return SmallModel().SaveVrml(path); },
         "#VRML V1.0 ascii\n\nSeparator {\n\tCoordinate3 {\n\t\tpoint [\n\t\t\t0\t0\t0,\n"
         "\t\t\t1.5\t-0.25\t1.23457e+06,\n\t\t\t0.333333\t1e-07\t2,\n\t\t\t1\t1\t0,\n\t\t]\n\t}\n"
         "\tIndexedFaceSet {\n\t\tcoordIndex [\n\t\t\t0,\t1,\t2,\t-1,\n\t\t\t2,\t1,\t3,\t-1,\n"
         "\t\t]\n\t}\n}\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = ScratchPath(c.file);
        ASSERT_TRUE(c.write(path));
        EXPECT_EQ(ReadFile(path), c.expected);
    }
    const char* const unwritable = "/nonexistent-folder/model.out";
    ConsoleCapture console;
    EXPECT_FALSE(SmallModel().SaveObj(unwritable));
    EXPECT_EQ(console.Lines().size(), 1u);
    // The indexed text reads back to its model, with an edge table.
    RkPolygonModel loaded = shapes::Tetrahedron();
    loaded.LoadIndexedText(ScratchPath("small.txt"));
    EXPECT_EQ(loaded.edges.size(), 5u);
    EXPECT_EQ(TrianglesOf(loaded), TrianglesOf(SmallModel()));
    ExpectNear(loaded.vertices[1].position, Vector3(1.5, -0.25, 1234567));
    EXPECT_EQ(ThrownMessage([&] { loaded.LoadIndexedText(ScratchPath("absent.txt")); }),
              "Can't load file");
}

TEST(MeshReaders, IllegalIndexedTextIsRefusedLeavingTheModelAsItWas) {
    const char* const illegal[] = {
        "3\n0 0 0\n1 0 0\n0 1 0\n0 1 2\n",      // a single number on the first line
        "3 1\n0 0 0\n1 0 0\n",                  // a missing vertex line
        "3 1\n0 0 0\n\n0 1 0\n0 1 2\n",         // a blank vertex line
        "3 1\n0 0 0\n1 0 0\n0 1 0\n0.5 x 2\n",  // a vertex line where a polygon belongs
        "3 1\n0 0 0\n1 0 0\n0 1 0\n0 1 3\n",    // a polygon index past the vertices
        "3 1\n0 0 0\nnan 0 0\n0 1 0\n0 1 2\n",  // a NaN coordinate
    };
    for (const char* text : illegal) {
        SCOPED_TRACE(text);
        const std::string path = WriteScratchFile("illegal.txt", text);
        RkPolygonModel model = shapes::UnitCube();
        ConsoleCapture console;
        EXPECT_EQ(ThrownMessage([&] { model.LoadIndexedText(path); }), "Illegal file");
        EXPECT_EQ(console.Lines().size(), 1u);
        EXPECT_EQ(TrianglesOf(model), TrianglesOf(shapes::UnitCube()));
        EXPECT_EQ(model.vertices[7].position.y, 1.0);
    }
}

}  // namespace
}  // namespace vantrel
