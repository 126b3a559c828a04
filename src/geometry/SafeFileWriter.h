#pragma once
// One way to write a file without ever destroying the previous one: the content goes
// to a new temporary file in the target's folder, which is flushed to disk and then
// renamed over the target. A failed or interrupted write leaves the target exactly as
// it was (or absent, if it was absent) and removes the temporary file.
#include <cstdio>
#include <functional>
#include <string>

namespace vantrel {

enum class FileWriteResult {
    kWritten,      // the target now holds everything `write` wrote
    kCannotOpen,   // no temporary file could be made next to the target (errno tells why)
    kCannotWrite,  // `write` returned false, or writing, flushing or renaming failed
};

// Writes `path` through `write`, which receives the open file and returns false when it
// could not write everything.
// - A new file gets the permissions a plain fopen would give it (0666 less the umask);
//   a replaced file keeps its own. A file the caller may not write is not replaced.
// - A symbolic link stays a link: the file it points to is replaced.
// - A target that exists and is not a regular file (a device, a pipe) cannot be
//   replaced; it is opened and written in place.
FileWriteResult WriteFileSafely(const std::string& path,
                                const std::function<bool(std::FILE*)>& write);

// WriteFileSafely for a finished text.
FileWriteResult WriteTextSafely(const std::string& path, const std::string& text);

// The one-line reason of a failed write for a message ("cannot open '<path>' for
// writing" or "cannot write '<path>'"); empty for kWritten.
std::string FileWriteFailureReason(const std::string& path, FileWriteResult result);

// Writes the console line for a failed write ("<path>: cannot open the file for
// writing" or "<path>: writing the file failed"); nothing for kWritten.
void LogFileWriteFailure(const std::string& path, FileWriteResult result);

}  // namespace vantrel
