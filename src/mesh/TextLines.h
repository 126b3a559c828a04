#pragma once
// Reading small text formats: the whole file into memory, then line by line.
// Lines are returned whole (no length limit), so a long line is never split
// into pieces that would each be read as a line of their own.
#include <string>

namespace vantrel {

// Reads the file at `path` into `contents`. False when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::string& contents);

// True when `text` holds a NUL byte, which no text format of the library has:
// such a file is binary data, whatever its name says.
bool HoldsNulByte(const std::string& text);

// Walks the lines of a text held in memory. Each line comes without its line
// end ("\n" or "\r\n"), as a NUL-terminated string ready for sscanf.
class LineCursor {
public:
    explicit LineCursor(const std::string& text) : text_(text) {}

    // Moves to the next line; false after the last one.
    bool Next();
    // The current line.
    const char* Line() const { return line_.c_str(); }
    // Number of lines after the current one (without reading them).
    size_t RemainingLines() const;
    // 1-based number of the current line, for messages.
    int LineNumber() const { return lineNumber_; }

private:
    const std::string& text_;
    size_t position_ = 0;
    std::string line_;
    int lineNumber_ = 0;
};

}  // namespace vantrel
