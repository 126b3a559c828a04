#include "render/ActivationColours.h"

#include <algorithm>
#include <cmath>

namespace vantrel {
namespace {

// Viridis sampled at eleven even steps; linear interpolation between them stays
// within a small fraction of a colour step of the full table.
constexpr MapColour kViridis[] = {
    {0.267f, 0.005f, 0.329f}, {0.283f, 0.141f, 0.458f}, {0.254f, 0.265f, 0.530f},
    {0.207f, 0.372f, 0.553f}, {0.164f, 0.471f, 0.558f}, {0.128f, 0.567f, 0.551f},
    {0.135f, 0.659f, 0.518f}, {0.267f, 0.749f, 0.441f}, {0.478f, 0.821f, 0.318f},
    {0.741f, 0.873f, 0.150f}, {0.993f, 0.906f, 0.144f}};
constexpr int kSteps = static_cast<int>(sizeof(kViridis) / sizeof(kViridis[0])) - 1;

}  // namespace

MapColour ViridisAt(double fraction) {
    const double x = std::clamp(fraction, 0.0, 1.0) * kSteps;
    const int low = std::min(static_cast<int>(x), kSteps - 1);
    const float t = static_cast<float>(x - low);
    const MapColour& a = kViridis[low];
    const MapColour& b = kViridis[low + 1];
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

MapColour ActivationColour(double ms, double maxMs) {
    if (!std::isfinite(ms)) return kUnreachedGrey;
    return ViridisAt(maxMs > 0.0 ? ms / maxMs : 0.0);
}

}  // namespace vantrel
