// The writers (simple OBJ, counted text, VRML 1.0) and the counted text reader.
#include <gtest/gtest.h>

#include <cctype>
#include <stdexcept>
#include <string>

#include "mesh/RkPolygonModel.h"
#include "mesh_checks.h"
#include "shapes.h"

namespace vantrel {
namespace {

using meshchecks::ConsoleCapture;
using meshchecks::ReadFile;
using meshchecks::ScratchPath;
using meshchecks::WriteScratchFile;

// Two triangles with coordinates that show the number formats.
RkPolygonModel SmallModel() {
    return shapes::MakeModel({{0, 0, 0}, {1.5, -0.25, 1234567}, {1.0 / 3.0, 1e-7, 2}, {1, 1, 0}},
                             {{0, 1, 2}, {2, 1, 3}});
}

const std::string kUnwritable = "/nonexistent-folder/model.out";

std::string ThrownMessage(RkPolygonModel& model, const std::string& path) {
    try {
        model.LoadIndexedText(path);
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "(nothing thrown)";
}

TEST(SaveObj, WritesTheHeaderSixDecimalsAndOneBasedTriangles) {
    const std::string path = ScratchPath("small.obj");
    ASSERT_TRUE(SmallModel().SaveObj(path));
    EXPECT_EQ(ReadFile(path),
              "#Polygon model by RkPolygonModel\n"
              "v 0.000000 0.000000 0.000000\n"
              "v 1.500000 -0.250000 1234567.000000\n"
              "v 0.333333 0.000000 2.000000\n"
              "v 1.000000 1.000000 0.000000\n"
              "f 1 2 3\n"
              "f 3 2 4\n");
}

TEST(SaveObj, ExportThenImportKeepsCountsAndTriangles) {
    RkPolygonModel model = shapes::UnitCube();
    model.RefineByCentroids();
    const std::string path = ScratchPath("cube.obj");
    ASSERT_TRUE(model.SaveObj(path));
    RkPolygonModel loaded;
    ASSERT_TRUE(loaded.LoadObj(path));
    EXPECT_TRUE(loaded.SameCounts(model));
    for (size_t i = 0; i < model.polygons.size(); ++i)
        for (int k = 0; k < 3; ++k) EXPECT_EQ(loaded.polygons[i].vertex[k], model.polygons[i].vertex[k]);
    for (size_t i = 0; i < model.vertices.size(); ++i)
        EXPECT_NEAR(loaded.vertices[i].position.y, model.vertices[i].position.y, 1e-6);
}

TEST(IndexedText, WritesCountsVerticesAndZeroBasedTriangles) {
    const std::string path = ScratchPath("small.txt");
    EXPECT_EQ(SmallModel().SaveIndexedText(path), 0);
    EXPECT_EQ(ReadFile(path),
              "4 2\n"
              "0.000000 0.000000 0.000000\n"
              "1.500000 -0.250000 1234567.000000\n"
              "0.333333 0.000000 2.000000\n"
              "1.000000 1.000000 0.000000\n"
              "0 1 2\n"
              "2 1 3\n");
}

TEST(IndexedText, RoundTripRebuildsTheEdgeTable) {
    RkPolygonModel cube = shapes::UnitCube();
    const std::string path = ScratchPath("cube.txt");
    ASSERT_EQ(cube.SaveIndexedText(path), 0);
    RkPolygonModel loaded = shapes::Tetrahedron();
    loaded.smoothingPasses = 5;
    loaded.LoadIndexedText(path);
    EXPECT_TRUE(loaded.SameCounts(cube));
    EXPECT_EQ(loaded.edges.size(), 18u);
    EXPECT_EQ(loaded.smoothingPasses, 0);
    EXPECT_EQ(loaded.vertices[7].position.z, 1.0);
    EXPECT_EQ(loaded.polygons[11].vertex[2], 5);
}

TEST(MeshWriters, UnwritablePathIsReportedNotPassedAsWritten) {
    ConsoleCapture console;
    EXPECT_FALSE(SmallModel().SaveObj(kUnwritable));
    EXPECT_FALSE(SmallModel().SaveVrml(kUnwritable));
    EXPECT_EQ(console.Lines().size(), 2u);
    try {
        SmallModel().SaveIndexedText(kUnwritable);
        FAIL() << "nothing thrown";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "cannot open file.");
    }
}

TEST(IndexedText, MissingFileThrowsCantLoadFile) {
    RkPolygonModel model;
    EXPECT_EQ(ThrownMessage(model, ScratchPath("absent.txt")), "Can't load file");
}

struct IllegalText {
    const char* what;  // also the test's name
    const char* text;
};

class IndexedTextRejects : public ::testing::TestWithParam<IllegalText> {};

TEST_P(IndexedTextRejects, AsIllegalFileLeavingTheModelAsItWas) {
    const std::string path = WriteScratchFile("illegal.txt", GetParam().text);
    RkPolygonModel model = shapes::UnitCube();
    ConsoleCapture console;
    EXPECT_EQ(ThrownMessage(model, path), "Illegal file");
    EXPECT_EQ(console.Lines().size(), 1u);
    EXPECT_EQ(model.vertices.size(), 8u);
    EXPECT_EQ(model.polygons.size(), 12u);
    EXPECT_EQ(model.vertices[7].position.y, 1.0);
}

INSTANTIATE_TEST_SUITE_P(
    IllegalFiles, IndexedTextRejects,
    ::testing::Values(IllegalText{"single number on the first line", "3\n0 0 0\n1 0 0\n0 1 0\n0 1 2\n"},
                      IllegalText{"missing vertex line", "3 1\n0 0 0\n1 0 0\n"},
                      IllegalText{"blank vertex line", "3 1\n0 0 0\n\n0 1 0\n0 1 2\n"},
                      IllegalText{"vertex line where a polygon belongs", "3 1\n0 0 0\n1 0 0\n0 1 0\n0.5 x 2\n"},
                      IllegalText{"negative vertex count", "-3 1\n0 0 0\n1 0 0\n0 1 0\n0 1 2\n"},
                      IllegalText{"negative polygon count", "3 -1\n0 0 0\n1 0 0\n0 1 0\n0 1 2\n"},
                      IllegalText{"counts far beyond the file", "2000000000 2000000000\n0 0 0\n"},
                      IllegalText{"counts beyond int", "99999999999 1\n0 0 0\n"},
                      IllegalText{"polygon index past the vertices", "3 1\n0 0 0\n1 0 0\n0 1 0\n0 1 3\n"},
                      IllegalText{"negative polygon index", "3 1\n0 0 0\n1 0 0\n0 1 0\n0 -1 2\n"},
                      IllegalText{"NaN coordinate", "3 1\n0 0 0\nnan 0 0\n0 1 0\n0 1 2\n"},
                      IllegalText{"infinite coordinate", "3 1\n0 0 0\n1 0 0\n0 -inf 0\n0 1 2\n"},
                      IllegalText{"empty file", ""}),
    [](const ::testing::TestParamInfo<IllegalText>& info) {
        std::string name = info.param.what;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        return name;
    });

TEST(SaveVrml, WritesCoordinatesAndFacesInVrmlOne) {
    const std::string path = ScratchPath("small.wrl");
    ASSERT_TRUE(SmallModel().SaveVrml(path));
    EXPECT_EQ(ReadFile(path),
              "#VRML V1.0 ascii\n\nSeparator {\n\tCoordinate3 {\n\t\tpoint [\n"
              "\t\t\t0\t0\t0,\n"
              "\t\t\t1.5\t-0.25\t1.23457e+06,\n"
              "\t\t\t0.333333\t1e-07\t2,\n"
              "\t\t\t1\t1\t0,\n"
              "\t\t]\n\t}\n\tIndexedFaceSet {\n\t\tcoordIndex [\n"
              "\t\t\t0,\t1,\t2,\t-1,\n"
              "\t\t\t2,\t1,\t3,\t-1,\n"
              "\t\t]\n\t}\n}\n");
}

}  // namespace
}  // namespace vantrel
