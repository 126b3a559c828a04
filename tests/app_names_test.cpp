// The program's file-name rules and command line, without a display.
#include <gtest/gtest.h>

#include "app/FileNames.h"
#include "app/StartOptions.h"

using namespace vantrel;

TEST(PathWithExtension, AppendsUnlessTheExtensionMatchesInAnyCase) {
    EXPECT_EQ(PathWithExtension("/tmp/fibres", "obj"), "/tmp/fibres.obj");
    EXPECT_EQ(PathWithExtension("/tmp/fibres.txt", "obj"), "/tmp/fibres.txt.obj");
    EXPECT_EQ(PathWithExtension("/tmp/fibres.obj", "obj"), "/tmp/fibres.obj");
    EXPECT_EQ(PathWithExtension("/tmp/FIBRES.OBJ", "obj"), "/tmp/FIBRES.OBJ");
    EXPECT_EQ(PathWithExtension("/tmp/fibres.Obj", "obj"), "/tmp/fibres.Obj");
    // A dot in a folder name is not an extension.
    EXPECT_EQ(PathWithExtension("/tmp/my.obj/fibres", "obj"), "/tmp/my.obj/fibres.obj");
    EXPECT_EQ(PathWithExtension("/tmp/fibres.objx", "obj"), "/tmp/fibres.objx.obj");
    EXPECT_EQ(PathWithExtension("scene.", "json"), "scene..json");
}

TEST(StartOptions, ReadsHeartSegmentationAndDocument) {
    int exitCode = -1;
    const auto options = ParseStartOptions(
        {"vantrel", "--heart", "h.obj", "--segmentation", "s.kxseg", "name.kx"}, exitCode);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->heartPath, "h.obj");
    EXPECT_EQ(options->segmentationPath, "s.kxseg");
    EXPECT_FALSE(options->noSegmentation);
    EXPECT_EQ(options->documentPath, "name.kx");

    const auto bare = ParseStartOptions({"vantrel"}, exitCode);
    ASSERT_TRUE(bare);
    EXPECT_FALSE(bare->heartPath);
    EXPECT_FALSE(bare->segmentationPath);
    EXPECT_FALSE(bare->documentPath);
}

TEST(StartOptions, RejectsContradictionsAndUnknownOptions) {
    int exitCode = -1;
    EXPECT_FALSE(
        ParseStartOptions({"vantrel", "--segmentation", "s.kxseg", "--no-segmentation"}, exitCode));
    EXPECT_EQ(exitCode, 2);
    exitCode = -1;
    EXPECT_FALSE(ParseStartOptions({"vantrel", "--colour", "red"}, exitCode));
    EXPECT_EQ(exitCode, 2);
    exitCode = -1;
    EXPECT_FALSE(ParseStartOptions({"vantrel", "a.kx", "b.kx"}, exitCode));
    EXPECT_EQ(exitCode, 2);
    exitCode = -1;
    EXPECT_FALSE(ParseStartOptions({"vantrel", "--heart"}, exitCode));
    EXPECT_EQ(exitCode, 2);
    exitCode = -1;
    EXPECT_FALSE(ParseStartOptions({"vantrel", "--help"}, exitCode));
    EXPECT_EQ(exitCode, 0);
}
