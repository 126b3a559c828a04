// The segmentation file: its exact text, the token-based reader, and the refusals
// that must leave every region id as it was.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "heart/SegmentationFile.h"
#include "mesh_checks.h"

namespace vantrel {
namespace {

using namespace meshchecks;  // the shared mesh and file checks

bool ReadFromText(const std::string& text, std::vector<std::int32_t>& ids) {
    std::istringstream in(text);
    return ReadSegmentation(in, "test.kxseg", ids);
}

TEST(SegmentationFile, WritesTheSixLinesOfThreePolygonsAndImportsAnyNonZeroIdAsOne) {
    const std::string path = ScratchPath("three.kxseg");
    ASSERT_TRUE(WriteSegmentationFile(path, {0, 1, 0}));
    EXPECT_EQ(ReadFile(path),
              "segmentationdata\npolygon number 3\nid: 0 0\nid: 1 1\nid: 2 0\nend\n");

    const std::string in = WriteScratchFile(
        "sevens.kxseg",
        "segmentationdata\npolygon number 4\nid: 0 7\nid: 1 0\nid: 2 -3\nid: 3 1\nend\n");
    std::vector<std::int32_t> ids(4, 0);
    ConsoleCapture console;
    ASSERT_TRUE(ImportSegmentationFile(in, ids));
    EXPECT_EQ(ids, (std::vector<std::int32_t>{1, 0, 1, 1}));
    EXPECT_EQ(console.Text(), "segmentationdata \npolygon number 4\nfin end");
}

TEST(SegmentationFile, ReaderTakesAnyWordsAndWhiteSpaceAndIgnoresTheIndexColumn) {
    std::vector<std::int32_t> ids(3, 0);
    ConsoleCapture console;
    ASSERT_TRUE(ReadFromText("seg\r\n count is\t+3 a 9 0\n\nb -1 1   c 5 2 done", ids));
    EXPECT_EQ(ids, (std::vector<std::int32_t>{0, 1, 1}));
    EXPECT_EQ(console.Text(), "seg \ncount is 3\nfin done");
}

// Every malformed file is refused as a whole with one line: a partial import would
// leave a segmentation that matches neither the file nor the state before.
TEST(SegmentationFile, RejectsTruncatedNonNumericAndOtherMeshFilesWithoutChangingIds) {
    const std::string head = "segmentationdata\npolygon number 3\n";
    const std::string badFiles[] = {
        "",
        "segmentationdata\n",
        "segmentationdata\npolygon number\n",
        head + "id: 0 1\nid: 1 1\n",                  // ends before its entries
        head + "id: 0 1\nid: 1 1\nid: 2\n",           // last entry cut
        head + "id: 0 1\nid: 1 1\nid: 2 1\n",         // no closing word (could be cut in a number)
        "segmentationdata\npolygon number three\n",   // non-numeric count
        head + "id: 0 1\nid: 1 1x\nid: 2 1\nend\n",   // non-numeric id
        head + "id: 0 1\nid: one 1\nid: 2 1\nend\n",  // non-numeric index
        head + "id: 0 1\nid: 1 99999999999\nid: 2 1\nend\n",  // out of the int range
        head + "id: 0 1\nid: 1 +-1\nid: 2 1\nend\n",
        head + "id: 0 1\nid: 1 1.5\nid: 2 1\nend\n",
        "segmentationdata\npolygon number 2\nid: 0 1\nid: 1 1\nend\n",  // a count of another mesh
    };
    for (const std::string& text : badFiles) {
        SCOPED_TRACE(text);
        std::vector<std::int32_t> ids = {0, 1, 0};
        ConsoleCapture console;
        EXPECT_FALSE(ReadFromText(text, ids));
        EXPECT_EQ(ids, (std::vector<std::int32_t>{0, 1, 0}));
        // Exactly one refusal line, and no closing echo.
        const std::string all = console.Text();
        EXPECT_NE(all.find("no region id changed"), std::string::npos);
        EXPECT_EQ(all.find("no region id changed"), all.rfind("no region id changed"));
        EXPECT_EQ(all.find("fin "), std::string::npos);
    }
}

TEST(SegmentationFile, ImportRefusesOtherExtensionsAndMissingFilesWithOneLine) {
    const std::string good = "segmentationdata\npolygon number 1\nid: 0 1\nend\n";
    for (const std::string& path :
         {WriteScratchFile("seg.txt", good), WriteScratchFile("seg.KXSEG", good),
          ScratchPath("missing.kxseg")}) {
        SCOPED_TRACE(path);
        std::vector<std::int32_t> ids = {0};
        ConsoleCapture console;
        EXPECT_FALSE(ImportSegmentationFile(path, ids));
        EXPECT_EQ(ids, std::vector<std::int32_t>{0});
        ASSERT_EQ(console.Lines().size(), 1u);
        EXPECT_NE(console.Lines()[0].find(path), std::string::npos);
    }
}

TEST(SegmentationFile, ExportPathKeepsTheFolderAndEndsInKxseg) {
    EXPECT_EQ(SegmentationExportPath("left"), "left.kxseg");
    EXPECT_EQ(SegmentationExportPath("left.txt"), "left.txt.kxseg");
    EXPECT_EQ(SegmentationExportPath("/data/left.kxseg"), "/data/left.kxseg");
    EXPECT_EQ(SegmentationExportPath("/data/v1.2/left"), "/data/v1.2/left.kxseg");
    EXPECT_EQ(SegmentationExportPath("left.KXSEG"), "left.KXSEG.kxseg");
}

// A missing folder fails on opening, a full device (where there is one) on writing.
TEST(SegmentationFile, WriteFailureIsReportedWithOneLine) {
    std::vector<std::string> paths = {ScratchPath("no-such-folder/left.kxseg")};
    if (std::FILE* probe = std::fopen("/dev/full", "w"))
        paths.push_back("/dev/full"), std::fclose(probe);
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        ConsoleCapture console;
        EXPECT_FALSE(WriteSegmentationFile(path, std::vector<std::int32_t>(100000, 1)));
        ASSERT_EQ(console.Lines().size(), 1u);
        EXPECT_NE(console.Lines()[0].find("cannot write segmentation file"), std::string::npos);
    }
}

}  // namespace
}  // namespace vantrel
