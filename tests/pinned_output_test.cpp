// Pinned outputs: growth from fixed scenes on the demo heart and on one real mesh must
// give exactly the stroke count, statistics lines and fibre OBJ recorded here. Any
// change of results fails loudly; a commit that changes them on purpose updates the
// values and says why. The values hold for every build type (-ffp-contract=off).
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "demo_growth.h"
#include "growth_fixtures.h"

namespace vantrel {
namespace {

// FNV-1a, 64 bits, as 16 hexadecimal digits.
std::string Fnv1aHex(const std::string& bytes) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char byte : bytes) hash = (hash ^ byte) * 0x100000001b3ull;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

// The statistics lines that are not histogram bars: mean length, area, junctions.
std::string SummaryLines(const std::string& console) {
    std::istringstream in(console);
    std::string lines;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("mean length", 0) == 0 || line.rfind("area", 0) == 0 ||
            line.rfind("collisionEdge", 0) == 0)
            lines += line + "\n";
    }
    return lines;
}

// Grows the loaded scene and compares the stroke count, the statistics' summary lines,
// and the hashes of all statistics lines (histogram included) and of the fibre OBJ.
void ExpectPinned(SceneGrowth& growth, int strokes, const char* summaryLines,
                  const char* consoleHash, const char* objHash) {
    growth_test::ConsoleCapture console;
    const GrowthSummary summary = growth.Grow();
    const std::string obj = growth_test::ExportedObj(growth.core);
    EXPECT_EQ(summary.strokeCount, strokes);
    EXPECT_EQ(SummaryLines(console.Text()), summaryLines);
    EXPECT_EQ(Fnv1aHex(console.Text()), consoleHash) << console.Text();
    EXPECT_EQ(Fnv1aHex(obj), objHash) << obj.size() << " bytes";
}

TEST(PinnedOutput, DemoHeartWithStartPointsAndAFeatureCurve) {
    SceneGrowth growth;
    ASSERT_TRUE(growth.Load(DemoDataPath("demo-heart.obj"),
                            SegmentationChoice::File(DemoDataPath("demo-heart.kxseg")),
                            kDemoHeartScene));
    ExpectPinned(growth, 8747,
                 "mean length = 1.342249!!!!!!!!!\n"
                 "area = 4674.456900, numOfBranchPointParUnit 1871.233426 \n"
                 "collisionEdge 4222 / 8747  rate = 0.482680 \n",
                 "5b84a8ec921b726e", "963a4c3e5a12344e");
}

// Eight start points on two polygons of a real right-ventricular surface, every
// polygon segmented, with other growth options than the start values.
const char* const kRealMeshScene = R"({"version": 1,
  "startPoints": [
    {"position": [7.5581586914721255, 1.2674273930454412, 1.8025499172294188],
     "directionPoint": [7.659448514090754, 1.1617150864295922, 1.6662954491784834]},
    {"position": [7.5581586914721255, 1.2674273930454412, 1.8025499172294188],
     "directionPoint": [7.540094566214662, 1.418072749329972, 1.6722438774285358]},
    {"position": [7.5581586914721255, 1.2674273930454412, 1.8025499172294188],
     "directionPoint": [7.456868869100526, 1.3731396997740704, 1.9388043853764927]},
    {"position": [7.5581586914721255, 1.2674273930454412, 1.8025499172294188],
     "directionPoint": [7.576222816976618, 1.1167820368736905, 1.9328559571264405]},
    {"position": [6.9056112540216565, 3.0593245692989717, 1.2946671612491705],
     "directionPoint": [6.788416282890406, 3.189475006419612, 1.3912394267235375]},
    {"position": [6.9056112540216565, 3.0593245692989717, 1.2946671612491705],
     "directionPoint": [6.919191539852829, 2.9484535630460837, 1.4605683240215144]},
    {"position": [6.9056112540216565, 3.0593245692989717, 1.2946671612491705],
     "directionPoint": [7.0228062253783765, 2.92917413232321, 1.1980948958531685]},
    {"position": [6.9056112540216565, 3.0593245692989717, 1.2946671612491705],
     "directionPoint": [6.892030968415954, 3.170195575696738, 1.1287659985551919]}],
  "rule2": {"stemLength": 1.5},
  "parameters": {"SegmentResolution": 7, "RandomDirectionRate": 0.2,
                 "CreateTreeStructure": false}})";

TEST(PinnedOutput, RealRightVentricleWithOtherOptions) {
    const std::string mesh = std::string(VANTREL_SHARED_DATA_DIR) + "/bivme_p1_rv_endo_capped.obj";
    if (!std::ifstream(mesh)) GTEST_SKIP() << "no " << mesh;
    SceneGrowth growth;
    ASSERT_TRUE(growth.Load(mesh, SegmentationChoice::AllSegmented(), kRealMeshScene));
    ExpectPinned(growth, 2503,
                 "mean length = 2.623658!!!!!!!!!\n"
                 "area = 4674.456900, numOfBranchPointParUnit 535.463275 \n"
                 "collisionEdge 0 / 2503  rate = 0.000000 \n",
                 "da2b56447df19d3e", "42eec9fc31be42b5");
}

}  // namespace
}  // namespace vantrel
