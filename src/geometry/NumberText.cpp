#include "geometry/NumberText.h"

#include <charconv>
#include <cmath>

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

void AppendFixed6(std::string& out, double value) {
    char buffer[400];  // enough for any double in fixed notation
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    out.append(buffer, result.ptr);
}

void AppendGeneral17(std::string& out, double value) {
    char buffer[40];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 17);
    out.append(buffer, result.ptr);
}

void AppendJoined(std::string& out, char separator, std::initializer_list<double> values,
                  NumberWriter write) {
    bool first = true;
    for (double value : values) {
        if (!first) out += separator;
        write(out, value);
        first = false;
    }
}

void AppendTriplet(std::string& out, double x, double y, double z, NumberWriter write) {
    AppendJoined(out, ' ', {x, y, z}, write);
}

bool ReadBoundedNumber(const std::string& text, double minimum, bool allowMinimum, double& value) {
    double parsed = 0.0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, parsed);
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(parsed)) return false;
    if (!(parsed > minimum || (allowMinimum && parsed == minimum))) return false;
    value = parsed;
    return true;
}

std::string BoundedNumberRefusal(const std::string& text, bool allowMinimum) {
    const char* expected = allowMinimum ? "a finite number 0 or more" : "a finite number above 0";
    return std::string("expected ") + expected + ", got '" + text + "'";
}

}  // namespace vantrel
