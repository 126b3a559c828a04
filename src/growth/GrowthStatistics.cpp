#include "growth/GrowthStatistics.h"

#include <string>

#include "geometry/ConsoleLog.h"

namespace vantrel {

namespace {

constexpr int kHistogramBins = 21;
constexpr double kBinWidthMm = 20.0;

// hist / count in double; 0 for an empty network instead of not-a-number.
double Ratio(double part, int count) {
    return count > 0 ? part / count : 0.0;
}

}  // namespace

GrowthSummary PrintGrowthStatistics(const std::vector<Fiber>& fibers, int collisionCount) {
    double sum = 0.0;
    int count = 0;
    int histogram[kHistogramBins] = {};
    for (const Fiber& fiber : fibers) {
        for (const auto& stroke : fiber.strokes) {
            const double length = stroke->path.Length() * kModelUnitMm;
            sum += length;
            ++count;
            const double bin = length / kBinWidthMm;
            // Everything from the last bin's start on (and a not-a-number) goes there.
            histogram[bin < kHistogramBins ? static_cast<int>(bin) : kHistogramBins - 1] += 1;
        }
    }

    ConsoleLog("mean length = %f!!!!!!!!!\n", Ratio(sum, count));
    for (int i = 0; i < kHistogramBins; ++i) {
        const int dashes = count > 0 ? static_cast<int>(100.0 * histogram[i] / count) : 0;
        std::string bar;
        for (int d = 0; d < dashes; ++d) bar += "--";
        ConsoleLog("%s  %d[%d-%d]%f\n", bar.c_str(), histogram[i], 20 * i, 20 * i + 20,
                   Ratio(histogram[i], count));
    }
    ConsoleLog("area = %f, numOfBranchPointParUnit %f \n", kStatisticsArea,
               count * 1000.0 / kStatisticsArea);
    ConsoleLog("collisionEdge %d / %d  rate = %f \n", collisionCount, count,
               Ratio(collisionCount, count));

    GrowthSummary summary;
    summary.strokeCount = count;
    summary.collisionCount = collisionCount;
    summary.totalLengthMm = sum;
    return summary;
}

}  // namespace vantrel
