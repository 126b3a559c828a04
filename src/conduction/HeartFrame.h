#pragma once
// The heart file's own frame and length unit. The growth works in the normalised box
// [0, 10]^3; every conduction output is written in the coordinates of the heart file
// the user loaded, in the unit the user says that file is in.
#include <string>

#include "geometry/Vector3.h"
#include "growth/PhysiologySettings.h"
#include "heart/HeartModel.h"

namespace vantrel {

class HeartFrame {
public:
    HeartFrame(const HeartNormalisation& normalisation, LengthUnit unit);

    // A point of the normalised model in the heart file's coordinates.
    Vector3 ToHeart(const Vector3& model) const;
    // A length in model units as a length in the heart file's unit.
    double LengthToHeart(double modelLength) const;
    LengthUnit Unit() const { return unit_; }
    // Metres in one heart-file unit.
    double MetresPerHeartUnit() const { return MetresPerUnit(unit_); }

private:
    HeartNormalisation normalisation_;
    LengthUnit unit_;
};

}  // namespace vantrel
