#pragma once
// Processor time for the volume's timing lines: clock() counts CLOCKS_PER_SEC
// ticks per second (10^6 here, 1000 elsewhere), so convert with the constant.
#include <ctime>

namespace vantrel {

inline double ProcessorSecondsSince(std::clock_t start) {
    return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

}  // namespace vantrel
