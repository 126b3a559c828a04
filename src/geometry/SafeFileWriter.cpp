#include "geometry/SafeFileWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>

#include "geometry/ConsoleLog.h"

namespace vantrel {
namespace {

// The longest file name the common file systems accept.
constexpr std::size_t kLongestName = 255;

// The file the target names: a symbolic link is followed so that the link itself
// survives the rename. A link that leads nowhere is replaced like a missing file.
std::string FileBehind(const std::string& path) {
    struct stat link;
    if (::lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return path;
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return path;
    const std::string target(resolved);
    std::free(resolved);
    return target;
}

// A name for the temporary file in the target's folder, so that the final rename stays
// on one file system and is atomic. The process id and a counter keep concurrent
// writers apart; a long target name is cut so that the temporary name stays legal.
std::string TemporaryName(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    const std::string suffix =
        ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    const std::size_t slash = path.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t nameLength = std::min(path.size() - nameStart, kLongestName - suffix.size());
    return path.substr(0, nameStart + nameLength) + suffix;
}

// Creates a new temporary file beside `path`. O_CREAT with 0666 lets the umask decide
// the permissions, as fopen would. -1 with errno set when none can be made.
int CreateTemporary(const std::string& path, std::string& temporary) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = TemporaryName(path);
        const int descriptor =
            ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor >= 0 || errno != EEXIST) return descriptor;
    }
    return -1;
}

// Devices and pipes have no previous content to keep and cannot be renamed over.
FileWriteResult WriteInPlace(const std::string& path,
                             const std::function<bool(std::FILE*)>& write) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return FileWriteResult::kCannotOpen;
    bool written = write(file);
    written = std::fflush(file) == 0 && written;
    written = std::fclose(file) == 0 && written;
    return written ? FileWriteResult::kWritten : FileWriteResult::kCannotWrite;
}

}  // namespace

FileWriteResult WriteFileSafely(const std::string& path,
                                const std::function<bool(std::FILE*)>& write) {
    const std::string target = FileBehind(path);
    struct stat existing;
    const bool exists = ::stat(target.c_str(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode)) return WriteInPlace(target, write);
    // A file the user may not write stays as it is, as it would for fopen, even where
    // the folder would allow replacing it.
    if (exists && ::access(target.c_str(), W_OK) != 0) return FileWriteResult::kCannotOpen;

    std::string temporary;
    const int descriptor = CreateTemporary(target, temporary);
    if (descriptor < 0) return FileWriteResult::kCannotOpen;
    std::FILE* file = ::fdopen(descriptor, "wb");
    if (file == nullptr) {
        const int reason = errno;
        ::close(descriptor);
        ::unlink(temporary.c_str());
        errno = reason;
        return FileWriteResult::kCannotOpen;
    }

    bool written = write(file);
    written = std::fflush(file) == 0 && written;
    if (exists) written = ::fchmod(descriptor, existing.st_mode & 07777) == 0 && written;
    written = ::fsync(descriptor) == 0 && written;
    written = std::fclose(file) == 0 && written;
    if (written && std::rename(temporary.c_str(), target.c_str()) == 0) {
        return FileWriteResult::kWritten;
    }
    ::unlink(temporary.c_str());
    return FileWriteResult::kCannotWrite;
}

FileWriteResult WriteTextSafely(const std::string& path, const std::string& text) {
    return WriteFileSafely(path, [&text](std::FILE* file) {
        return std::fwrite(text.data(), 1, text.size(), file) == text.size();
    });
}

std::string FileWriteFailureReason(const std::string& path, FileWriteResult result) {
    if (result == FileWriteResult::kCannotOpen) return "cannot open '" + path + "' for writing";
    if (result == FileWriteResult::kCannotWrite) return "cannot write '" + path + "'";
    return "";
}

void LogFileWriteFailure(const std::string& path, FileWriteResult result) {
    if (result == FileWriteResult::kCannotOpen)
        ConsoleLog("%s: cannot open the file for writing\n", path.c_str());
    if (result == FileWriteResult::kCannotWrite)
        ConsoleLog("%s: writing the file failed\n", path.c_str());
}

}  // namespace vantrel
