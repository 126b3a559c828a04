#include "geometry/NumberText.h"

#include <charconv>

namespace vantrel {

void AppendShortest(std::string& out, double value) {
    // std::to_chars without a precision writes the shortest text that parses back to
    // the same double, never using the process locale.
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void AppendInteger(std::string& out, long long value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void AppendTriplet(std::string& out, double x, double y, double z) {
    AppendShortest(out, x);
    out += ' ';
    AppendShortest(out, y);
    out += ' ';
    AppendShortest(out, z);
}

}  // namespace vantrel
