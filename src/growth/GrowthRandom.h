#pragma once
// The growth's one source of randomness: a linear congruential generator with
// state 1 at start, state = state * 214013 + 2531011 (mod 2^32) per draw, and the
// value (state >> 16) & 0x7FFF (0 to 32767). Every process that starts from a fresh
// generator draws the same sequence, so the same inputs grow the same fibres. The
// program owns one instance and hands it to every growth run, so the sequence
// carries on from one run to the next. Below it, the two kinds of draw the growth
// makes: a child's length factor and the shuffle of a fibre's growth front.
#include <cstdint>
#include <utility>
#include <vector>

namespace vantrel {

class GrowthRandom {
public:
    static constexpr int kMaxValue = 32767;

    GrowthRandom() = default;
    explicit GrowthRandom(std::uint32_t state) : state_(state) {}

    // Advances the state and returns the next value, 0 to kMaxValue.
    int Next() {
        state_ = state_ * 214013u + 2531011u;
        return static_cast<int>((state_ >> 16) & 0x7FFFu);
    }

    std::uint32_t State() const { return state_; }
    void SetState(std::uint32_t state) { state_ = state; }

private:
    std::uint32_t state_ = 1;
};

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
