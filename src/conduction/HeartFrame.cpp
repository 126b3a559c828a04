#include "conduction/HeartFrame.h"

namespace vantrel {

HeartFrame::HeartFrame(const HeartNormalisation& normalisation, LengthUnit unit)
    : normalisation_(normalisation), unit_(unit) {}

Vector3 HeartFrame::ToHeart(const Vector3& model) const {
    return normalisation_.ToFile(model);
}

double HeartFrame::LengthToHeart(double modelLength) const {
    return modelLength / normalisation_.scale;
}

}  // namespace vantrel
