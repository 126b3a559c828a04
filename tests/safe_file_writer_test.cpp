// The safe file writer: a failed write keeps the previous file, links and devices are
// written where they lead.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "geometry/SafeFileWriter.h"

namespace vantrel {
namespace {

namespace fs = std::filesystem;

// Each test gets an empty folder of its own.
class SafeFileWriter : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::path(::testing::TempDir()) /
                  (std::string("vantrel_safe_writer_") +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }

    std::string PathOf(const std::string& name) const { return (folder_ / name).string(); }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder_))
            names.push_back(entry.path().filename().string());
        return names;
    }

    static std::string Contents(const std::string& path) {
        std::stringstream text;
        text << std::ifstream(path, std::ios::binary).rdbuf();
        return text.str();
    }

    static FileWriteResult WriteText(const std::string& path, const std::string& text) {
        return WriteFileSafely(path, [&text](std::FILE* file) {
            return std::fwrite(text.data(), 1, text.size(), file) == text.size();
        });
    }

    fs::path folder_;
};

// Every open fails while the descriptor limit is below the lowest free descriptor,
// which makes "no temporary file can be made" reproducible even for root.
FileWriteResult WriteWithNoDescriptorLeft(const std::string& path) {
    rlimit saved{};
    getrlimit(RLIMIT_NOFILE, &saved);
    const int lowestFree = ::dup(0);
    ::close(lowestFree);
    rlimit starved = saved;
    starved.rlim_cur = static_cast<rlim_t>(lowestFree);
    setrlimit(RLIMIT_NOFILE, &starved);
    const FileWriteResult result =
        WriteFileSafely(path, [](std::FILE* file) { return std::fputs("new", file) >= 0; });
    setrlimit(RLIMIT_NOFILE, &saved);
    return result;
}

TEST_F(SafeFileWriter, FailedWriteLeavesThePreviousFileAndNoTemporary) {
    const std::string path = PathOf("scene.json");
    const struct {
        const char* what;
        std::function<FileWriteResult()> write;
        FileWriteResult expected;
    } cases[] = {
        {"the writer fails midway",
         [&] {
             return WriteFileSafely(path, [](std::FILE* file) {
                 std::fputs(std::string(100000, 'x').c_str(), file);
                 return false;
             });
         },
         FileWriteResult::kCannotWrite},
        {"no temporary file can be made", [&] { return WriteWithNoDescriptorLeft(path); },
         FileWriteResult::kCannotOpen},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(WriteText(path, "previous"), FileWriteResult::kWritten);
        EXPECT_EQ(c.write(), c.expected);
        EXPECT_EQ(Contents(path), "previous");
        EXPECT_EQ(Names(), std::vector<std::string>{"scene.json"});
    }
}

TEST_F(SafeFileWriter, ReplacedFileKeepsItsPermissions) {
    const std::string path = PathOf("fibres.obj");
    ASSERT_EQ(WriteText(path, "old"), FileWriteResult::kWritten);
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_EQ(WriteText(path, "new"), FileWriteResult::kWritten);
    struct stat written {};
    ASSERT_EQ(::stat(path.c_str(), &written), 0);
    EXPECT_EQ(written.st_mode & 07777, 0640u);
    EXPECT_EQ(Contents(path), "new");
}

TEST_F(SafeFileWriter, LinkStaysALinkToTheReplacedFile) {
    const std::string real = PathOf("real.obj");
    const std::string link = PathOf("link.obj");
    ASSERT_EQ(WriteText(real, "old"), FileWriteResult::kWritten);
    fs::create_symlink(real, link);
    ASSERT_EQ(WriteText(link, "new"), FileWriteResult::kWritten);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Contents(real), "new");
}

TEST_F(SafeFileWriter, PipeIsWrittenInPlace) {
    const std::string pipe = PathOf("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    // Holding the reading end open lets the writer open the pipe without blocking.
    const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_EQ(WriteText(pipe, "through"), FileWriteResult::kWritten);
    char received[16] = {};
    EXPECT_EQ(::read(reader, received, sizeof received), 7);
    ::close(reader);
    EXPECT_EQ(std::string(received), "through");
    EXPECT_TRUE(fs::is_fifo(pipe));
}

TEST_F(SafeFileWriter, LongestLegalNameCanBeWritten) {
    const std::string path = PathOf(std::string(255, 'n'));
    EXPECT_EQ(WriteText(path, "long"), FileWriteResult::kWritten);
    EXPECT_EQ(Contents(path), "long");
}

}  // namespace
}  // namespace vantrel
