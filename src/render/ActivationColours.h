#pragma once
// The colours of the Activation Map: one perceptually uniform map (viridis, dark
// violet at 0 ms through blue and green to yellow at the last activation time) for
// fibres, surface and legend alike, and a neutral grey for what the wave never (or
// not yet) reaches.
namespace vantrel {

struct MapColour {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};

constexpr MapColour kUnreachedGrey{0.6f, 0.6f, 0.6f};

// The map's colour at `fraction` of the range, clamped to [0, 1].
MapColour ViridisAt(double fraction);

// The colour of time `ms` on a map from 0 to `maxMs`; grey for a time that is not
// finite. A range of 0 ms (a single source) shows everything at the map's start.
MapColour ActivationColour(double ms, double maxMs);

}  // namespace vantrel
