#pragma once
// The statistics a growth run ends with: the lengths of every stroke in millimetres
// (mean, a histogram of 20 mm bins), the branch density over the fixed area and the
// junction rate, written to the console.
#include <vector>

#include "growth/FiberCore.h"

namespace vantrel {

// Millimetres per model unit, and the fixed area of the branch density line, as
// the doubles the statistics have always used.
constexpr double kModelUnitMm = 6.837000000000001;
constexpr double kStatisticsArea = 4674.456900000001;

// Prints the statistics lines for the `strokes` of every fibre, in fibre and stroke
// order. A network without strokes prints counts and ratios of 0.
GrowthSummary PrintGrowthStatistics(const std::vector<Fiber>& fibers, int collisionCount);

}  // namespace vantrel
