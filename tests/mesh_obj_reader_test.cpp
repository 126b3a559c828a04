// The OBJ reader: accepted face forms, texture coordinates, extension dispatch,
// and rejection of broken files without touching the model.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "mesh/ObjReader.h"
#include "mesh/RkPolygonModel.h"
#include "mesh_checks.h"
#include "shapes.h"

namespace vantrel {
namespace {

using meshchecks::ConsoleCapture;
using meshchecks::WriteScratchFile;

const std::string kFourVertices = "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 1 1 0\n";

RkPolygonModel Read(const std::string& text) {
    RkPolygonModel model;
    EXPECT_TRUE(ReadObjText(text, "test.obj", model)) << text;
    return model;
}

TEST(ObjReader, FaceFormsAndIndexRulesGiveTheExpectedTriangles) {
    const std::string textured = kFourVertices + "vt 0 0\nvt 1 0\nvt 0 1\n";
    const struct {
        std::string text;
        std::vector<int> corners;  // three per triangle
    } cases[] = {
        {textured + "f 1 2 3\n", {0, 1, 2}},
        {textured + "f 1/1 2/2 3/3\n", {0, 1, 2}},
        {textured + "f 1/1/1 2/2/2 3/3/3\n", {0, 1, 2}},
        {textured + "f 1//1 2//2 3//3\n", {0, 1, 2}},
        {textured + "F\t1 2 3\n", {0, 1, 2}},
        // Larger polygons keep the triangle of their first three corners.
        {kFourVertices + "f 1 2 3 4\nf 4/1 3/1 2/1 1/1\n", {0, 1, 2, 3, 2, 1}},
        // Negative indices count back from the vertices read so far; positive ones may look ahead.
        {"f 2 3 4\nv 0 0 0\nv 1 0 0\nv 0 1 0\nf -3 -2 -1\nv 1 1 0\nf -1 -2 -3\n",
         {1, 2, 3, 0, 1, 2, 3, 2, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const RkPolygonModel model = Read(c.text);
        std::vector<int> corners;
        for (const MeshPolygon& p : model.polygons)
            corners.insert(corners.end(), p.vertex, p.vertex + 3);
        EXPECT_EQ(corners, c.corners);
    }
}

TEST(ObjReader, ValuesAreReadInSinglePrecisionAndNothingElseIsComputed) {
    const RkPolygonModel model = Read("v 0.1 -2.5e3 1\nv 0 0 0\nv 1 1 1\nf 1 2 3\n");
    EXPECT_EQ(model.vertices[0].position.x, static_cast<double>(0.1f));
    EXPECT_EQ(model.vertices[0].position.y, -2500.0);
    EXPECT_EQ(model.vertices[0].normal.x, 0.0);
    EXPECT_EQ(model.vertices[0].edge, -1);
    EXPECT_TRUE(model.edges.empty());
}

TEST(ObjReader, TexturesShiftOnceForNegativeValuesTheLastPolygonWinsAndBadIndicesGiveZero) {
    RkPolygonModel model =
        Read(kFourVertices + "vt -0.25 0.5\nvt 0.5 0.5\nf 1/1 2/2 3/2\nf 2/1 4/1 3/1\n");
    // Every u moves up by 1 because one was negative; v stays. Vertex 1 keeps the second face's
    // value.
    EXPECT_DOUBLE_EQ(model.vertices[0].texCoord.x, 0.75);
    EXPECT_DOUBLE_EQ(model.vertices[0].texCoord.y, 0.5);
    EXPECT_DOUBLE_EQ(model.vertices[1].texCoord.x, 0.75);
    EXPECT_DOUBLE_EQ(model.vertices[3].texCoord.x, 0.75);
    // 0, past the list, before the list (relative), and absent in a file with vt lines.
    model = Read(kFourVertices + "vt 0.5 0.5\nf 1/0 2/7 3/-4\nf 2 3 4\n");
    for (const MeshVertex& vertex : model.vertices)
        EXPECT_TRUE(vertex.texCoord.x == 0.0 && vertex.texCoord.y == 0.0);
}

TEST(ObjReader, IgnoresOtherStatementsAndReadsLongLinesWhole) {
    const std::string longComment = "# " + std::string(600, 'x') + " f 9 9 9\n";
    const std::string longVertex = "v 1" + std::string(300, ' ') + "2 3\r\n";
    const RkPolygonModel model = Read("o heart\ng wall\nvn 0 0 1\nusemtl red\ns 1\n" + longComment +
                                      longVertex + "v 0 0 0\r\nv 0 1 0\nf 1 2 3\r\n");
    ASSERT_EQ(model.vertices.size(), 3u);
    EXPECT_EQ(model.vertices[0].position.z, 3.0);
    EXPECT_EQ(model.polygons.size(), 1u);
}

// Each broken file is rejected with one console line naming the file and line,
// and the model keeps what it had.
struct BrokenFile {
    const char* what;  // also the test's name
    std::string text;
    const char* where;  // expected start of the console line
};

class ObjReaderRejects : public ::testing::TestWithParam<BrokenFile> {};

TEST_P(ObjReaderRejects, WithOneConsoleLineAndTheModelUnchanged) {
    const BrokenFile& broken = GetParam();
    RkPolygonModel model = shapes::Tetrahedron();
    model.BuildEdgeTable();
    ConsoleCapture console;
    EXPECT_FALSE(ReadObjText(broken.text, "broken.obj", model));
    ASSERT_EQ(console.Lines().size(), 1u);
    EXPECT_EQ(console.Lines()[0].rfind(broken.where, 0), 0u) << console.Lines()[0];
    EXPECT_TRUE(model.SameCounts(shapes::Tetrahedron()));
    EXPECT_EQ(model.edges.size(), 6u);
    EXPECT_EQ(model.vertices[3].position.z, 1.0);
}

const std::string kThree = "v 0 0 0\nv 1 0 0\nv 0 1 0\n";

INSTANTIATE_TEST_SUITE_P(
    BrokenFiles, ObjReaderRejects,
    ::testing::Values(
        BrokenFile{"index 0", kThree + "f 0 1 2\n", "broken.obj:4:"},
        BrokenFile{"index past the vertices", kThree + "f 1 2 3\nf 1 2 4\n", "broken.obj:5:"},
        BrokenFile{"negative index before the first vertex", "v 0 0 0\nf -1 -2 -3\n",
                   "broken.obj:2:"},
        BrokenFile{"index beyond int", kThree + "f 1 2 4294967297\n", "broken.obj:4:"},
        BrokenFile{"face with two corners", "v 0 0 0\nv 1 0 0\nf 1 2\n", "broken.obj:3:"},
        BrokenFile{"face without numbers", "v 0 0 0\nf a b c\n", "broken.obj:2:"},
        BrokenFile{"non-numeric coordinate", "v 0 0 0\nv 1 zero 0\nf 1 2 1\n", "broken.obj:2:"},
        BrokenFile{"NaN coordinate", "v 0 0 0\nv nan 0 0\nv 0 1 0\nf 1 2 3\n", "broken.obj:2:"},
        BrokenFile{"infinite coordinate", "v 0 0 0\nv 0 1e39 0\nf 1 2 2\n", "broken.obj:2:"},
        BrokenFile{"infinite texture value", "vt inf 0\nv 0 0 0\n", "broken.obj:1:"},
        BrokenFile{"no faces", "# points only\nv 0 0 0\nv 1 0 0\n", "broken.obj: no faces"},
        BrokenFile{"empty file", "", "broken.obj: no faces"},
        BrokenFile{"binary data without NUL bytes",
                   "\x7f"
                   "ELF\x02\x01\xff\xfe\x80\n\x90\x91",
                   "broken.obj: no faces"},
        BrokenFile{"binary data holding OBJ lines",
                   kThree + std::string("\0\x01\x02\nf 1 2 3\n", 12), "broken.obj: binary"}),
    [](const ::testing::TestParamInfo<BrokenFile>& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    });

TEST(ObjReader, LoadReadsOnlyExistingObjPaths) {
    const std::string text = kFourVertices + "f 1 2 3\n";
    RkPolygonModel model = shapes::TwoTriangles();
    ConsoleCapture console;
    for (const std::string& path :
         {WriteScratchFile("mesh.obj.bak", text), WriteScratchFile("mesh.raw", text),
          std::string("obj"), meshchecks::ScratchPath("absent.obj")}) {
        EXPECT_FALSE(model.Load(path)) << path;
        ASSERT_FALSE(console.Lines().empty());
        EXPECT_NE(console.Lines().back().find(path), std::string::npos);
    }
    EXPECT_EQ(console.Lines().size(), 4u);
    EXPECT_EQ(model.polygons.size(), 2u);
    EXPECT_TRUE(model.Load(WriteScratchFile("MESH.OBJ", text)));
    EXPECT_EQ(model.vertices.size(), 4u);
}

TEST(ObjReader, ASuccessfulLoadReplacesEverything) {
    RkPolygonModel model = shapes::UnitCube();
    model.creaseThreshold = 0.5;
    model.smoothingPasses = 3;
    model.BuildEdgeTable();
    ASSERT_TRUE(model.LoadObj(WriteScratchFile("tri.obj", kFourVertices + "f 1 2 3\n")));
    EXPECT_EQ(model.vertices.size(), 4u);
    EXPECT_EQ(model.polygons.size(), 1u);
    EXPECT_TRUE(model.edges.empty());
    EXPECT_EQ(model.creaseThreshold, -1.0);
    EXPECT_EQ(model.smoothingPasses, 0);
}

}  // namespace
}  // namespace vantrel
