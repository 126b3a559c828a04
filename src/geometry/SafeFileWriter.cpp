#include "geometry/SafeFileWriter.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

namespace vantrel {
namespace {

// The umask can only be read by setting it; it is put back at once.
mode_t CurrentUmask() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// A mkstemp template in the target's folder, so that the final rename stays on one
// file system and is atomic.
std::vector<char> TemporaryTemplate(const std::string& path) {
    const std::string name = path + ".tmp-XXXXXX";
    return std::vector<char>(name.begin(), name.end() + 1);
}

}  // namespace

FileWriteResult WriteFileSafely(const std::string& path,
                                const std::function<bool(std::FILE*)>& write) {
    std::vector<char> temporary = TemporaryTemplate(path);
    const int descriptor = ::mkstemp(temporary.data());
    if (descriptor < 0) return FileWriteResult::kCannotOpen;
    std::FILE* file = ::fdopen(descriptor, "wb");
    if (file == nullptr) {
        ::close(descriptor);
        ::unlink(temporary.data());
        return FileWriteResult::kCannotOpen;
    }

    bool written = write(file);
    written = std::fflush(file) == 0 && written;
    written = ::fchmod(descriptor, 0666 & ~CurrentUmask()) == 0 && written;
    written = ::fsync(descriptor) == 0 && written;
    written = std::fclose(file) == 0 && written;
    if (written && std::rename(temporary.data(), path.c_str()) == 0) {
        return FileWriteResult::kWritten;
    }
    ::unlink(temporary.data());
    return FileWriteResult::kCannotWrite;
}

}  // namespace vantrel
