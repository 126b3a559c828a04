#pragma once
// The program's console: every progress and diagnostic line of every layer goes
// through ConsoleLog. The text is written unchanged to standard error (some lines
// deliberately carry no line end and run on into the next) and, when the program
// has installed one, to a sink such as the window's console dock.
#include <functional>
#include <string>

namespace vantrel {

using ConsoleSink = std::function<void(const std::string& text)>;

// printf-style. Numbers follow LC_NUMERIC, which the programs set to "C" at start.
void ConsoleLog(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Installs the sink that receives a copy of every text; an empty function removes it.
void SetConsoleSink(ConsoleSink sink);

}  // namespace vantrel
