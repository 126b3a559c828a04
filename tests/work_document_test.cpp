// The work document: what is written reads back the same (the heart path relative to
// the document), and bad documents are refused with the place and the problem.
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include <gtest/gtest.h>

#include "growth/WorkDocument.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

void WriteText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class WorkDocumentTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() / ("work-document-" + std::to_string(::getpid()));
        fs::create_directories(folder_ / "hearts");
        heart_ = (folder_ / "hearts" / "heart.obj").string();
        // Its digest, a37fcefb073fd440, has every hexadecimal letter.
        WriteText(heart_, "v 0 0 0\nv 4 0 0\nv 0 1 0\nf 1 2 3\n");
        ASSERT_TRUE(FingerprintFile(heart_, document_.heart));
        document_.heartPath = heart_;
        document_.regionIds = {0, 0, 1, 1, 1, 7};
        document_.scene.startPoints.push_back({Vector3(1, 2, 3), Vector3(1, 2, 4)});
        document_.scene.blockedStrokes = {3, 9};
        document_.growth = GrownNetwork{123456789u, Scene()};
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string DocumentPath() const { return (folder_ / "work.kx").string(); }

    fs::path folder_;
    std::string heart_;
    WorkDocument document_;
};

TEST_F(WorkDocumentTest, WrittenDocumentReadsBackTheSameWithTheHeartBesideIt) {
    std::string error;
    ASSERT_TRUE(WriteWorkDocument(DocumentPath(), document_, error)) << error;
    const std::string text = WorkDocumentText(document_, DocumentPath());
    EXPECT_NE(text.find("\"path\": \"hearts/heart.obj\""), std::string::npos);
    WorkDocument read;
    WorkDocumentError refusal;
    ASSERT_EQ(ReadWorkDocument(DocumentPath(), read, refusal), WorkDocumentRead::kRead)
        << refusal.Describe();
    EXPECT_EQ(read.heartPath, heart_);
    EXPECT_EQ(WorkDocumentText(read, DocumentPath()), text);
}

TEST_F(WorkDocumentTest, BadDocumentsAreRefusedNamingTheProblem) {
    const std::string good = WorkDocumentText(document_, DocumentPath());
    auto replaced = [&good](const std::string& from, const std::string& to) {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    struct Case {
        const char* what;
        std::string text;
        std::string expected;  // the start of WorkDocumentError::Describe()
    };
    const Case cases[] = {
        {"truncated", good.substr(0, good.size() / 2), "scene"},
        {"not an object", "[1, 2]", "expected an object, found array"},
        {"wrong type", replaced("\"capValves\": false", "\"capValves\": 0"),
         "heart.capValves: expected true or false, found a number"},
        {"missing key", replaced("\"regionIds\"", "\"regionIdz\""), "regionIdz: unknown key"},
        {"empty run", replaced("[0, 2]", "[0, 0]"),
         "regionIds[0][1]: must be a whole number from 1"},
        {"bad digest", replaced("\"fnv1a64\": \"", "\"fnv1a64\": \"x"),
         "heart.fnv1a64: must be 16 hexadecimal digits"},
        {"bad scene", replaced("\"SegmentResolution\": 5", "\"SegmentResolution\": 1"),
         "scene.parameters.SegmentResolution: must be an integer from 2 to 102"},
        {"other version", replaced("\"version\": 1,\n  \"heart\"", "\"version\": 2,\n  \"heart\""),
         "version: unsupported version"},
        {"missing heart file", replaced("hearts/heart.obj", "hearts/gone.obj"),
         "heart.path: the heart file"},
    };
    for (const Case& c : cases) {
        WriteText(DocumentPath(), c.text);
        WorkDocument read;
        read.heartPath = "untouched";
        WorkDocumentError refusal;
        EXPECT_EQ(ReadWorkDocument(DocumentPath(), read, refusal), WorkDocumentRead::kRefused)
            << c.what;
        EXPECT_EQ(refusal.Describe().substr(0, c.expected.size()), c.expected)
            << c.what << ": " << refusal.Describe();
        EXPECT_EQ(read.heartPath, "untouched") << c.what;
    }
}

}  // namespace
}  // namespace vantrel
