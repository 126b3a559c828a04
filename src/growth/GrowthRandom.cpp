#include "growth/GrowthRandom.h"

#include <cmath>

namespace vantrel {

namespace {

constexpr double kFullTurn = 6.28318530717958;

}  // namespace

double GaussianFactor(GrowthRandom& random, double s) {
    const double u1 = random.Next() / 32767.0;
    const double u2 = random.Next() / 32767.0;
    const double z = std::sqrt(-2.0 * std::log(u1)) * std::sin(kFullTurn * u2);
    const double factor = 1.0 + s * z;
    // u1 = 0 makes the deviate infinite; times a zero spread or a zero sine that is
    // not a number, which no clamp below would catch.
    if (std::isnan(factor)) return 1.0;
    if (factor < 0) return 0.0;
    if (factor > 2.0) return 2.0;
    return factor;
}

}  // namespace vantrel
