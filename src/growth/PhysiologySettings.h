#pragma once
// The physiological settings of a conduction run, with their defaults, and the length
// units a heart file may be in. They live with the growth layer because the scene
// file carries them; the conduction layer reads them.
#include <cstddef>
#include <string>
#include <vector>

namespace vantrel {

enum class LengthUnit { kMicrometre, kMillimetre, kCentimetre, kMetre };

// "um", "mm", "cm" or "m" (exactly); false for anything else.
bool ParseLengthUnit(const std::string& text, LengthUnit& unit);
// The short name that ParseLengthUnit reads ("mm").
const char* LengthUnitName(LengthUnit unit);
// Metres in one `unit`.
double MetresPerUnit(LengthUnit unit);

// The physiological settings of a run, with their defaults.
struct PhysiologySettings {
    LengthUnit meshUnit = LengthUnit::kMillimetre;
    double purkinjeVelocity = 2.5;    // m/s
    double myocardialVelocity = 0.8;  // m/s
    double pmjDelay = 5.0;            // ms
    // Delay of each fibre's root in ms, by fibre index (start points first, then
    // curves); a fibre beyond the end starts at 0 ms.
    std::vector<double> rootDelays;
};

// Root delays in ms as a scene file gives them: one per start point and one per
// feature curve, in their order; the ones left out are 0.
struct RootDelays {
    std::vector<double> startPoints;
    std::vector<double> featureCurves;
};

// The delays by fibre index for `startPointCount` start points followed by the
// curves (what PhysiologySettings::rootDelays holds).
std::vector<double> FibreRootDelays(const RootDelays& delays, std::size_t startPointCount);

}  // namespace vantrel
