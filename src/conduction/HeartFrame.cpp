#include "conduction/HeartFrame.h"

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

HeartFrame::HeartFrame(const HeartNormalisation& normalisation, LengthUnit unit)
    : normalisation_(normalisation), unit_(unit) {}

Vector3 HeartFrame::ToHeart(const Vector3& model) const {
    return normalisation_.ToFile(model);
}

double HeartFrame::LengthToHeart(double modelLength) const {
    return modelLength / normalisation_.scale;
}

}  // namespace vantrel
