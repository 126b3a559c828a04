#pragma once
// Where a fibre starts: its first stroke leaves `position` aimed at `directionPoint`.
#include "geometry/Vector3.h"

namespace vantrel {

struct StartPoint {
    Vector3 position;
    Vector3 directionPoint;
};

}  // namespace vantrel
