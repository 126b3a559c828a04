#include "geometry/Vector3.h"

#include <cmath>

namespace vantrel {

bool Vector3::Normalize() {
    const double length = std::sqrt(x * x + y * y + z * z);
    if (length == 0.0) {
        zero = true;
        return false;
    }
    x /= length;
    y /= length;
    z /= length;
    return true;
}

}  // namespace vantrel
