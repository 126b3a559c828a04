#pragma once
// The walk of a new stroke over the fibre layer.
#include "growth/GrowthContext.h"
#include "growth/Stroke.h"

namespace vantrel {

// Fills s.path from the origin of s.startFrame along its +y in
// SegmentResolution - 1 sub-steps of length / (SegmentResolution - 1): each step
// follows the surface's tangent plane, from the third step on bent towards the
// layer's escape direction, and is snapped under the surface when the option is
// on. Sets leftVolume (the path stays as far as it got) when the start or a step
// lies outside the fibre layer; sets collided and `hit` when a step meets a stroke
// not in `excluded` (the path then ends at the contact point, resampled and
// smoothed). Only a walk that reaches its end gets an end frame (its rotation
// carries the start frame's +y onto the last step's direction); otherwise the end
// frame is left as it was. SegmentResolution below 2 counts as 2.
void WalkStroke(Stroke& s, double length, bool& collided, bool& leftVolume,
                const ExcludedStrokes& excluded, VolumeStroke*& hit, GrowthContext& context);

}  // namespace vantrel
