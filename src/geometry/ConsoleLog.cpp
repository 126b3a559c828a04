#include "geometry/ConsoleLog.h"

#include <cstdarg>
#include <cstdio>
#include <utility>
#include <vector>

namespace vantrel {
namespace {
ConsoleSink& Sink() {
    static ConsoleSink sink;
    return sink;
}
}  // namespace

void ConsoleLog(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (length < 0) {
        va_end(args);
        return;
    }
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    va_end(args);

    std::fwrite(buffer.data(), 1, static_cast<size_t>(length), stderr);
    std::fflush(stderr);
    if (Sink()) Sink()(std::string(buffer.data(), static_cast<size_t>(length)));
}

void SetConsoleSink(ConsoleSink sink) {
    Sink() = std::move(sink);
}

}  // namespace vantrel
