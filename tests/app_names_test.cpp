// The program's file-name rules and command line, without a display.
#include <gtest/gtest.h>

#include "app/FileNames.h"
#include "app/StartOptions.h"

using namespace vantrel;

TEST(PathWithExtension, AppendsUnlessTheNameEndsInTheExtensionInAnyCase) {
    const std::pair<std::string, std::string> cases[] = {
        {"/tmp/fibres", "/tmp/fibres.obj"},
        {"/tmp/fibres.txt", "/tmp/fibres.txt.obj"},
        {"/tmp/FIBRES.OBJ", "/tmp/FIBRES.OBJ"},
        {"/tmp/my.obj/fibres", "/tmp/my.obj/fibres.obj"},  // a dot in a folder name
        {"/tmp/fibres.objx", "/tmp/fibres.objx.obj"},
    };
    for (const auto& [chosen, written] : cases)
        EXPECT_EQ(PathWithExtension(chosen, "obj"), written);
}

TEST(StartOptions, ReadsTheFilesOrEndsARefusedCommandLineWithItsExitStatus) {
    int exitCode = -1;
    const auto options = ParseStartOptions(
        {"vantrel", "--heart", "h.obj", "--segmentation", "s.kxseg", "name.kx"}, exitCode);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->heartPath, "h.obj");
    EXPECT_EQ(options->segmentationPath, "s.kxseg");
    EXPECT_FALSE(options->noSegmentation);
    EXPECT_EQ(options->documentPath, "name.kx");
    const std::pair<QStringList, int> refused[] = {
        {{"vantrel", "--segmentation", "s.kxseg", "--no-segmentation"}, 2},
        {{"vantrel", "--colour", "red"}, 2},
        {{"vantrel", "a.kx", "b.kx"}, 2},
        {{"vantrel", "--heart"}, 2},
        {{"vantrel", "--help"}, 0},
    };
    for (const auto& [arguments, status] : refused) {
        exitCode = -1;
        EXPECT_FALSE(ParseStartOptions(arguments, exitCode)) << arguments.join(' ').toStdString();
        EXPECT_EQ(exitCode, status) << arguments.join(' ').toStdString();
    }
}
