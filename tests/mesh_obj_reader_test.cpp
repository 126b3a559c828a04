// The OBJ reader: accepted face forms, texture coordinates, extension dispatch,
// and rejection of broken files without touching the model.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "mesh/ObjReader.h"
#include "mesh/RkPolygonModel.h"
#include "mesh_checks.h"
#include "shapes.h"

namespace vantrel {
namespace {

using meshchecks::ConsoleCapture;
using meshchecks::WriteScratchFile;

const char* const kThreeVertices = "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\n";

RkPolygonModel Read(const std::string& text) {
    RkPolygonModel model;
    EXPECT_TRUE(ReadObjText(text, "test.obj", model)) << text;
    return model;
}

void ExpectTriangle(const RkPolygonModel& model, int polygon, int a, int b, int c) {
    ASSERT_LT(polygon, static_cast<int>(model.polygons.size()));
    EXPECT_EQ(model.polygons[polygon].vertex[0], a);
    EXPECT_EQ(model.polygons[polygon].vertex[1], b);
    EXPECT_EQ(model.polygons[polygon].vertex[2], c);
}

TEST(ObjReader, EveryFaceFormGivesTheSameTriangle) {
    for (const char* face : {"f 1 2 3", "f 1/1 2/2 3/3", "f 1/1/1 2/2/2 3/3/3", "f 1//1 2//2 3//3", "F\t1 2 3"}) {
        const RkPolygonModel model = Read(std::string(kThreeVertices) + "vt 0 0\nvt 1 0\nvt 0 1\n" + face + "\n");
        ASSERT_EQ(model.polygons.size(), 1u) << face;
        ExpectTriangle(model, 0, 0, 1, 2);
    }
}

TEST(ObjReader, LargerPolygonsKeepTheTriangleOfTheirFirstThreeCorners) {
    const RkPolygonModel model = Read(std::string(kThreeVertices) + "f 1 2 3 4\nf 4/1 3/1 2/1 1/1\n");
    ASSERT_EQ(model.polygons.size(), 2u);
    ExpectTriangle(model, 0, 0, 1, 2);
    ExpectTriangle(model, 1, 3, 2, 1);
}

TEST(ObjReader, ValuesAreReadInSinglePrecisionAndNothingElseIsComputed) {
    const RkPolygonModel model = Read("v 0.1 -2.5e3 1\nv 0 0 0\nv 1 1 1\nf 1 2 3\n");
    EXPECT_EQ(model.vertices[0].position.x, static_cast<double>(0.1f));
    EXPECT_EQ(model.vertices[0].position.y, -2500.0);
    EXPECT_EQ(model.vertices[0].normal.x, 0.0);
    EXPECT_EQ(model.vertices[0].edge, -1);
    EXPECT_TRUE(model.edges.empty());
}

TEST(ObjReader, TexturesShiftOnceForNegativeValuesAndTheLastPolygonWins) {
    const RkPolygonModel model =
        Read(std::string(kThreeVertices) + "vt -0.25 0.5\nvt 0.5 0.5\nf 1/1 2/2 3/2\nf 2/1 4/1 3/1\n");
    // Every u moves up by 1 because one was negative; v stays.
    EXPECT_DOUBLE_EQ(model.vertices[0].texCoord.x, 0.75);
    EXPECT_DOUBLE_EQ(model.vertices[0].texCoord.y, 0.5);
    // Vertex 1 is textured by both faces and keeps the second one's value.
    EXPECT_DOUBLE_EQ(model.vertices[1].texCoord.x, 0.75);
    EXPECT_DOUBLE_EQ(model.vertices[3].texCoord.x, 0.75);
}

TEST(ObjReader, UnusableTextureIndicesLeaveTheCoordinateAtZero) {
    // 0, past the list, before the list (relative), and absent in a file with vt lines.
    const RkPolygonModel model = Read(std::string(kThreeVertices) + "vt 0.5 0.5\nf 1/0 2/7 3/-4\nf 2 3 4\n");
    for (const MeshVertex& vertex : model.vertices) {
        EXPECT_EQ(vertex.texCoord.x, 0.0);
        EXPECT_EQ(vertex.texCoord.y, 0.0);
    }
}

TEST(ObjReader, NegativeIndicesCountBackAndPositiveOnesMayLookAhead) {
    const RkPolygonModel model =
        Read("f 2 3 4\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf -3 -2 -1\nv 1 1 0\nf -1 -2 -3\n");
    ExpectTriangle(model, 0, 1, 2, 3);
    ExpectTriangle(model, 1, 0, 1, 2);
    ExpectTriangle(model, 2, 3, 2, 1);
}

TEST(ObjReader, IgnoresOtherStatementsAndReadsLongLinesWhole) {
    const std::string longComment = "# " + std::string(600, 'x') + " f 9 9 9\n";
    const std::string longVertex = "v 1" + std::string(300, ' ') + "2 3\r\n";
    const RkPolygonModel model = Read("o heart\ng wall\nvn 0 0 1\nusemtl red\ns 1\n" + longComment + longVertex +
                                      "v 0 0 0\r\nv 0 1 0\nf 1 2 3\r\n");
    ASSERT_EQ(model.vertices.size(), 3u);
    EXPECT_EQ(model.vertices[0].position.z, 3.0);
    EXPECT_EQ(model.polygons.size(), 1u);
}

// Each broken file is rejected with one console line naming the file and line,
// and the model keeps what it had.
struct BrokenFile {
    const char* what;  // also the test's name
    const char* text;
    const char* where;  // expected "<file>:<line>" part of the console line
};

class ObjReaderRejects : public ::testing::TestWithParam<BrokenFile> {};

TEST_P(ObjReaderRejects, WithOneConsoleLineAndTheModelUnchanged) {
    const BrokenFile& broken = GetParam();
    RkPolygonModel model = shapes::Tetrahedron();
    model.BuildEdgeTable();
    const RkPolygonModel before = model;
    ConsoleCapture console;
    EXPECT_FALSE(ReadObjText(broken.text, "broken.obj", model)) << broken.what;
    ASSERT_EQ(console.Lines().size(), 1u) << broken.what;
    EXPECT_EQ(console.Lines()[0].rfind(broken.where, 0), 0u) << console.Lines()[0];
    EXPECT_TRUE(model.SameCounts(before));
    EXPECT_EQ(model.edges.size(), before.edges.size());
    EXPECT_EQ(model.vertices[3].position.z, 1.0);
}

INSTANTIATE_TEST_SUITE_P(
    BrokenFiles, ObjReaderRejects,
    ::testing::Values(BrokenFile{"index 0", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 0 1 2\n", "broken.obj:4:"},
                      BrokenFile{"index past the vertices", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\nf 1 2 4\n",
                                 "broken.obj:5:"},
                      BrokenFile{"negative index before the first vertex", "v 0 0 0\nv 1 0 0\nf -1 -2 -3\n",
                                 "broken.obj:3:"},
                      BrokenFile{"index beyond int", "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 4294967297\n",
                                 "broken.obj:4:"},
                      BrokenFile{"face with two corners", "v 0 0 0\nv 1 0 0\nf 1 2\n", "broken.obj:3:"},
                      BrokenFile{"face without numbers", "v 0 0 0\nf a b c\n", "broken.obj:2:"},
                      BrokenFile{"non-numeric coordinate", "v 0 0 0\nv 1 zero 0\nf 1 2 1\n", "broken.obj:2:"},
                      BrokenFile{"NaN coordinate", "v 0 0 0\nv nan 0 0\nv 0 1 0\nf 1 2 3\n", "broken.obj:2:"},
                      BrokenFile{"infinite coordinate", "v 0 0 0\nv 1 0 0\nv 0 1e39 0\nf 1 2 3\n",
                                 "broken.obj:3:"},
                      BrokenFile{"infinite texture value", "vt inf 0\nv 0 0 0\n", "broken.obj:1:"},
                      BrokenFile{"no faces", "# points only\nv 0 0 0\nv 1 0 0\n", "broken.obj: no faces"},
                      BrokenFile{"empty file", "", "broken.obj: no faces"},
                      BrokenFile{"binary data without NUL bytes", "\x7f" "ELF\x02\x01\xff\xfe\x80\n\x90\x91",
                                 "broken.obj: no faces"}),
    [](const ::testing::TestParamInfo<BrokenFile>& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    });

TEST(ObjReader, RejectsBinaryDataEvenWhenItHoldsObjLines) {
    const std::string binary("v 0 0 0\nv 1 0 0\nv 0 1 0\n\0\x01\x02\nf 1 2 3\n", 35);
    RkPolygonModel model;
    ConsoleCapture console;
    EXPECT_FALSE(ReadObjText(binary, "renamed.obj", model));
    EXPECT_TRUE(model.vertices.empty());
    ASSERT_EQ(console.Lines().size(), 1u);
    EXPECT_NE(console.Lines()[0].find("binary"), std::string::npos);
}

TEST(ObjReader, LoadReadsOnlyObjPaths) {
    const std::string text = std::string(kThreeVertices) + "f 1 2 3\n";
    const std::string upper = WriteScratchFile("MESH.OBJ", text);
    const std::string backup = WriteScratchFile("mesh.obj.bak", text);
    const std::string raw = WriteScratchFile("mesh.raw", text);
    RkPolygonModel model;
    ConsoleCapture console;
    EXPECT_FALSE(model.Load(backup));
    EXPECT_FALSE(model.Load(raw));
    EXPECT_FALSE(model.Load("obj"));
    EXPECT_TRUE(model.vertices.empty());
    EXPECT_TRUE(model.Load(upper));
    EXPECT_EQ(model.vertices.size(), 4u);
    EXPECT_EQ(console.Lines().size(), 3u);
}

TEST(ObjReader, AMissingFileGivesFalseWithAConsoleLine) {
    RkPolygonModel model = shapes::TwoTriangles();
    ConsoleCapture console;
    EXPECT_FALSE(model.LoadObj(meshchecks::ScratchPath("absent.obj")));
    EXPECT_EQ(model.polygons.size(), 2u);
    ASSERT_EQ(console.Lines().size(), 1u);
    EXPECT_NE(console.Lines()[0].find("absent.obj"), std::string::npos);
}

TEST(ObjReader, ASuccessfulLoadReplacesEverything) {
    RkPolygonModel model = shapes::UnitCube();
    model.creaseThreshold = 0.5;
    model.smoothingPasses = 3;
    model.BuildEdgeTable();
    ASSERT_TRUE(model.LoadObj(WriteScratchFile("tri.obj", std::string(kThreeVertices) + "f 1 2 3\n")));
    EXPECT_EQ(model.vertices.size(), 4u);
    EXPECT_EQ(model.polygons.size(), 1u);
    EXPECT_TRUE(model.edges.empty());
    EXPECT_EQ(model.creaseThreshold, -1.0);
    EXPECT_EQ(model.smoothingPasses, 0);
}

}  // namespace
}  // namespace vantrel
