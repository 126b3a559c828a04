#include "mesh/MeshFileCursor.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "geometry/ConsoleLog.h"

namespace vantrel {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

std::string FormatReason(const char* format, va_list args) {
    char reason[256];
    std::vsnprintf(reason, sizeof reason, format, args);
    return reason;
}

}  // namespace

bool MeshFileCursor::NextToken(std::string_view& token) {
    const size_t size = bytes_.size();
    while (position_ < size) {
        const char c = bytes_[position_];
        if (IsBlank(c)) {
            ++position_;
        } else if (c == '#' && hashComments_) {
            while (position_ < size && bytes_[position_] != '\n') ++position_;
        } else {
            break;
        }
    }
    if (position_ >= size) return false;
    const size_t start = position_;
    while (position_ < size && !IsBlank(bytes_[position_]) &&
           !(hashComments_ && bytes_[position_] == '#'))
        ++position_;
    token = std::string_view(bytes_.data() + start, position_ - start);
    return true;
}

bool MeshFileCursor::NextLine(std::string_view& line) {
    if (position_ >= bytes_.size()) return false;
    size_t end = bytes_.find('\n', position_);
    if (end == std::string::npos) end = bytes_.size();
    size_t length = end - position_;
    if (length > 0 && bytes_[position_ + length - 1] == '\r') --length;
    line = std::string_view(bytes_.data() + position_, length);
    position_ = std::min(end + 1, bytes_.size());
    return true;
}

void MeshFileCursor::SkipToNextLine() {
    while (position_ < bytes_.size() && bytes_[position_] != '\n') {
        if (!IsBlank(bytes_[position_])) return;
        ++position_;
    }
    if (position_ < bytes_.size()) ++position_;
}

bool MeshFileCursor::ParseInteger(std::string_view token, long long& value) {
    const char* first = token.data();
    const char* last = first + token.size();
    // from_chars takes no '+'; some writers put one before positive numbers.
    if (first != last && *first == '+') ++first;
    const auto result = std::from_chars(first, last, value);
    return result.ec == std::errc() && result.ptr == last;
}

bool MeshFileCursor::ParseFloat(std::string_view token, float& value) {
    const char* first = token.data();
    const char* last = first + token.size();
    if (first != last && *first == '+') ++first;
    const auto result = std::from_chars(first, last, value);
    return result.ec == std::errc() && result.ptr == last;
}

bool MeshFileCursor::ParseDouble(std::string_view token, double& value) {
    const char* first = token.data();
    const char* last = first + token.size();
    if (first != last && *first == '+') ++first;
    const auto result = std::from_chars(first, last, value);
    return result.ec == std::errc() && result.ptr == last;
}

const unsigned char* MeshFileCursor::Take(size_t count) {
    if (count > Remaining()) return nullptr;
    const unsigned char* start = reinterpret_cast<const unsigned char*>(bytes_.data()) + position_;
    position_ += count;
    return start;
}

bool MeshFileCursor::FailAtLineOf(size_t offset, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string reason = FormatReason(format, args);
    va_end(args);
    // The line of the text at fault: blanks before it lead to the token that follows.
    size_t end = std::min(offset, bytes_.size());
    size_t next = end;
    while (next < bytes_.size() && IsBlank(bytes_[next])) ++next;
    if (next < bytes_.size()) end = next;
    const long line = 1 + std::count(bytes_.begin(), bytes_.begin() + static_cast<long>(end), '\n');
    ConsoleLog("%s:%ld: %s\n", sourceName_.c_str(), line, reason.c_str());
    return false;
}

bool MeshFileCursor::FailAtByte(size_t offset, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string reason = FormatReason(format, args);
    va_end(args);
    ConsoleLog("%s: byte %zu: %s\n", sourceName_.c_str(), offset, reason.c_str());
    return false;
}

bool MeshFileCursor::Fail(const char* format, ...) {
    va_list args;
    va_start(args, format);
    const std::string reason = FormatReason(format, args);
    va_end(args);
    ConsoleLog("%s: %s\n", sourceName_.c_str(), reason.c_str());
    return false;
}

std::uint64_t LoadUnsigned(const unsigned char* bytes, int size, ByteOrder order) {
    std::uint64_t value = 0;
    for (int i = 0; i < size; ++i) {
        const int k = order == ByteOrder::kBig ? i : size - 1 - i;
        value = (value << 8) | bytes[k];
    }
    return value;
}

float LoadFloat32(const unsigned char* bytes, ByteOrder order) {
    const std::uint32_t bits = static_cast<std::uint32_t>(LoadUnsigned(bytes, 4, order));
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

double LoadFloat64(const unsigned char* bytes, ByteOrder order) {
    const std::uint64_t bits = LoadUnsigned(bytes, 8, order);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

void SplitBlanks(std::string_view line, std::vector<std::string_view>& tokens) {
    tokens.clear();
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        const size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
        if (i > start) tokens.push_back(line.substr(start, i - start));
    }
}

}  // namespace vantrel
