#pragma once
// Reading the bytes of a mesh file held in memory: whitespace-separated tokens
// and header lines for the text parts, raw little- or big-endian values for the
// binary parts, and the console line that refuses a file. Shared by the STL,
// PLY, OFF and legacy VTK readers.
//
// Nothing read is trusted: every raw read checks what is left, and counts from
// headers must be checked against Remaining() before anything is sized by them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

class MeshFileCursor {
public:
    // `bytes` and `sourceName` must outlive the cursor.
    MeshFileCursor(const std::string& bytes, const std::string& sourceName)
        : bytes_(bytes), sourceName_(sourceName) {}

    // ---- text
    // Skips blanks and line ends (and, when comments are on, '#' to the end of the
    // line), then returns the next run of non-blank characters. False at the end.
    bool NextToken(std::string_view& token);
    // The rest of the current line without its line end ("\n" or "\r\n"); moves
    // past the line end. False at the end of the bytes.
    bool NextLine(std::string_view& line);
    // Skips blanks up to and including the next line end (binary bodies start on
    // the line after their keyword).
    void SkipToNextLine();
    void SetHashComments(bool on) { hashComments_ = on; }

    // Token conversions (locale-free, the whole token must be the number).
    static bool ParseInteger(std::string_view token, long long& value);
    static bool ParseFloat(std::string_view token, float& value);
    static bool ParseDouble(std::string_view token, double& value);

    // ---- binary
    size_t Offset() const { return position_; }
    size_t Remaining() const { return bytes_.size() - position_; }
    // The next `count` bytes, moving past them; nullptr (not moving) when fewer remain.
    const unsigned char* Take(size_t count);

    // ---- refusal: one console line, always false.
    // "<source>:<line>: <reason>" with the line of the first non-blank byte from
    // `offset` on (the line of `offset` when only blanks follow).
    bool FailAtLineOf(size_t offset, const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 3, 4)))
#endif
        ;
    // "<source>: byte <offset>: <reason>"
    bool FailAtByte(size_t offset, const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 3, 4)))
#endif
        ;
    // "<source>: <reason>"
    bool Fail(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;

    const std::string& SourceName() const {
        return sourceName_;
    }
    const std::string& Bytes() const {
        return bytes_;
    }

private:
    const std::string& bytes_;
    const std::string& sourceName_;
    size_t position_ = 0;
    bool hashComments_ = false;
};

// Fixed-size values in either byte order.
enum class ByteOrder { kLittle, kBig };
std::uint64_t LoadUnsigned(const unsigned char* bytes, int size, ByteOrder order);
float LoadFloat32(const unsigned char* bytes, ByteOrder order);
double LoadFloat64(const unsigned char* bytes, ByteOrder order);

// Replaces `tokens` with the runs of `line` between spaces and tabs.
void SplitBlanks(std::string_view line, std::vector<std::string_view>& tokens);

}  // namespace vantrel
