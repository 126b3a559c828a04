#include "growth/PhysiologySettings.h"

#include <algorithm>

namespace vantrel {

bool ParseLengthUnit(const std::string& text, LengthUnit& unit) {
    if (text == "um") {
        unit = LengthUnit::kMicrometre;
    } else if (text == "mm") {
        unit = LengthUnit::kMillimetre;
    } else if (text == "cm") {
        unit = LengthUnit::kCentimetre;
    } else if (text == "m") {
        unit = LengthUnit::kMetre;
    } else {
        return false;
    }
    return true;
}

const char* LengthUnitName(LengthUnit unit) {
    switch (unit) {
        case LengthUnit::kMicrometre:
            return "um";
        case LengthUnit::kMillimetre:
            return "mm";
        case LengthUnit::kCentimetre:
            return "cm";
        case LengthUnit::kMetre:
            return "m";
    }
    return "mm";
}

double MetresPerUnit(LengthUnit unit) {
    switch (unit) {
        case LengthUnit::kMicrometre:
            return 1e-6;
        case LengthUnit::kMillimetre:
            return 1e-3;
        case LengthUnit::kCentimetre:
            return 1e-2;
        case LengthUnit::kMetre:
            return 1.0;
    }
    return 1e-3;
}

std::vector<double> FibreRootDelays(const RootDelays& delays, std::size_t startPointCount) {
    std::vector<double> byFibre(startPointCount, 0.0);
    std::copy_n(delays.startPoints.begin(), std::min(startPointCount, delays.startPoints.size()),
                byFibre.begin());
    byFibre.insert(byFibre.end(), delays.featureCurves.begin(), delays.featureCurves.end());
    return byFibre;
}

}  // namespace vantrel
