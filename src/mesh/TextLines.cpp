#include "mesh/TextLines.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace vantrel {

bool ReadWholeFile(const std::string& path, std::string& contents) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    contents.clear();
    char chunk[65536];
    size_t count;
    while ((count = std::fread(chunk, 1, sizeof chunk, file)) > 0) contents.append(chunk, count);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return !failed;
}

bool HoldsNulByte(const std::string& text) {
    return std::memchr(text.data(), '\0', text.size()) != nullptr;
}

bool LineCursor::Next() {
    if (position_ >= text_.size()) return false;
    size_t end = text_.find('\n', position_);
    if (end == std::string::npos) end = text_.size();
    size_t length = end - position_;
    if (length > 0 && text_[position_ + length - 1] == '\r') --length;
    line_.assign(text_, position_, length);
    position_ = end + 1;
    ++lineNumber_;
    return true;
}

size_t LineCursor::RemainingLines() const {
    if (position_ >= text_.size()) return 0;
    size_t count = 0;
    for (size_t i = position_; i < text_.size(); ++i)
        if (text_[i] == '\n') ++count;
    // A last line without a line end counts too.
    if (text_.back() != '\n') ++count;
    return count;
}

}  // namespace vantrel
