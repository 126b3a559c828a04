#pragma once
// The walk of a new stroke over the fibre layer, and the random draws of growth.
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

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
void WalkStroke(Stroke& s, double length, bool& collided, bool& leftVolume, const ExcludedStrokes& excluded,
                VolumeStroke*& hit, GrowthContext& context);

// 1 + s z with z a normal deviate from two draws u1, u2 (Box-Muller, u1 first),
// clamped to [0, 2]. A not-a-number factor (s = 0 or sin = 0 against an infinite
// deviate when u1 = 0) counts as 1.0.
double GaussianFactor(GrowthRandom& random, double s);

// Shuffles the elements with the generator: for i = 1 .. size-1, j is drawn from
// 0 .. i (widening the draw by 15 bits while the range is too small) and elements
// i and j are swapped.
template <typename T>
void ShuffleWithGenerator(std::vector<T>& items, GrowthRandom& random) {
    for (std::size_t i = 1; i < items.size(); ++i) {
        std::uint64_t draw = static_cast<std::uint64_t>(random.Next());
        std::uint64_t range = 32767;
        while (range < i + 1) {
            range = range * 32768 + 32767;
            draw = draw * 32768 + static_cast<std::uint64_t>(random.Next());
        }
        const std::size_t j = static_cast<std::size_t>(draw % (i + 1));
        if (j != i) std::swap(items[i], items[j]);
    }
}

}  // namespace vantrel
