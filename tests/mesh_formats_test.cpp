// The writers (simple OBJ, counted text, VRML 1.0) and the counted text reader.
#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <stdexcept>
#include <string>

#include "mesh/RkPolygonModel.h"
#include "mesh_checks.h"
#include "shapes.h"

namespace vantrel {
namespace {

using namespace meshchecks;  // the shared mesh and file checks

// Two triangles with coordinates that show the number formats.
RkPolygonModel SmallModel() {
    return shapes::MakeModel({{0, 0, 0}, {1.5, -0.25, 1234567}, {1.0 / 3.0, 1e-7, 2}, {1, 1, 0}},
                             {{0, 1, 2}, {2, 1, 3}});
}

const char* const kUnwritable = "/nonexistent-folder/model.out";

std::string ThrownMessage(const std::function<void()>& action) {
    try {
        action();
    } catch (const std::runtime_error& error) {
        return error.what();
    }
    return "(nothing thrown)";
}

TEST(MeshWriters, WriteTheExactLineFormats) {
    const std::string vrmlHeader =
        "#VRML V1.0 ascii\n\nSeparator {\n\tCoordinate3 {\n\t\tpoint [\n";
    const struct {
        const char* file;
        std::function<bool(const std::string&)> write;
        std::string expected;
    } cases[] = {
        {"small.obj", [](const std::string& path) { return SmallModel().SaveObj(path); },
         "#Polygon model by RkPolygonModel\nv 0.000000 0.000000 0.000000\nv 1.500000 -0.250000 "
         "1234567.000000\n"
         "v 0.333333 0.000000 2.000000\nv 1.000000 1.000000 0.000000\nf 1 2 3\nf 3 2 4\n"},
        {"small.txt",
         [](const std::string& path) { return SmallModel().SaveIndexedText(path) == 0; },
         "4 2\n0.000000 0.000000 0.000000\n1.500000 -0.250000 1234567.000000\n0.333333 0.000000 "
         "2.000000\n"
         "1.000000 1.000000 0.000000\n0 1 2\n2 1 3\n"},
        {"small.wrl", [](const std::string& path) { return SmallModel().SaveVrml(path); },
         vrmlHeader + "\t\t\t0\t0\t0,\n\t\t\t1.5\t-0.25\t1.23457e+06,\n\t\t\t0.333333\t1e-07\t2,"
                      "\n\t\t\t1\t1\t0,\n"
                      "\t\t]\n\t}\n\tIndexedFaceSet {\n\t\tcoordIndex "
                      "[\n\t\t\t0,\t1,\t2,\t-1,\n\t\t\t2,\t1,\t3,\t-1,\n"
                      "\t\t]\n\t}\n}\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = ScratchPath(c.file);
        ASSERT_TRUE(c.write(path));
        EXPECT_EQ(ReadFile(path), c.expected);
    }
}

TEST(MeshWriters, ObjAndIndexedTextRoundTripsKeepTheModel) {
    RkPolygonModel model = shapes::UnitCube();
    model.RefineByCentroids();
    ASSERT_TRUE(model.SaveObj(ScratchPath("cube.obj")));
    ASSERT_EQ(model.SaveIndexedText(ScratchPath("cube.txt")), 0);
    RkPolygonModel fromObj, fromText = shapes::Tetrahedron();
    fromText.smoothingPasses = 5;
    ASSERT_TRUE(fromObj.LoadObj(ScratchPath("cube.obj")));
    fromText.LoadIndexedText(ScratchPath("cube.txt"));
    EXPECT_EQ(fromText.edges.size(), model.edges.size())
        << "the counted text reader rebuilds the edge table";
    EXPECT_EQ(fromText.smoothingPasses, 0);
    for (const RkPolygonModel* loaded : {&fromObj, &fromText}) {
        ASSERT_TRUE(loaded->SameCounts(model));
        for (size_t i = 0; i < model.polygons.size(); ++i)
            for (int k = 0; k < 3; ++k)
                EXPECT_EQ(loaded->polygons[i].vertex[k], model.polygons[i].vertex[k]);
        for (size_t i = 0; i < model.vertices.size(); ++i)
            EXPECT_NEAR(loaded->vertices[i].position.y, model.vertices[i].position.y, 1e-6);
    }
    EXPECT_EQ(ThrownMessage([&] { fromText.LoadIndexedText(ScratchPath("absent.txt")); }),
              "Can't load file");
}

TEST(MeshWriters, UnwritablePathIsReportedNotPassedAsWritten) {
    ConsoleCapture console;
    EXPECT_FALSE(SmallModel().SaveObj(kUnwritable));
    EXPECT_FALSE(SmallModel().SaveVrml(kUnwritable));
    EXPECT_EQ(console.Lines().size(), 2u);
    EXPECT_EQ(ThrownMessage([] { SmallModel().SaveIndexedText(kUnwritable); }),
              "cannot open file.");
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
    EXPECT_EQ(ThrownMessage([&] { model.LoadIndexedText(path); }), "Illegal file");
    EXPECT_EQ(console.Lines().size(), 1u);
    EXPECT_EQ(model.vertices.size(), 8u);
    EXPECT_EQ(model.polygons.size(), 12u);
    EXPECT_EQ(model.vertices[7].position.y, 1.0);
}

INSTANTIATE_TEST_SUITE_P(
    IllegalFiles, IndexedTextRejects,
    ::testing::Values(
        IllegalText{"single number on the first line", "3\n0 0 0\n1 0 0\n0 1 0\n0 1 2\n"},
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

}  // namespace
}  // namespace vantrel
