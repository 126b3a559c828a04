// vantrel-grow: grows the fibre network on a heart without a display. See
// GrowOptions.h for the command line and GrowJob.h for what it does.
#include <clocale>

#include "cli/GrowJob.h"
#include "cli/GrowOptions.h"

int main(int argc, char** argv) {
    // Messages and file names follow the user's locale, but numbers are always
    // read and written with a decimal point.
    std::setlocale(LC_ALL, "");
    std::setlocale(LC_NUMERIC, "C");

    vantrel::GrowOptions options;
    if (const auto exitStatus = vantrel::ParseGrowOptions(argc, argv, options)) return *exitStatus;
    return vantrel::RunGrowJob(options);
}
