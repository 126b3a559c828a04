#pragma once
// The growth's one source of randomness: a linear congruential generator with
// state 1 at start, state = state * 214013 + 2531011 (mod 2^32) per draw, and the
// value (state >> 16) & 0x7FFF (0 to 32767). Every process that starts from a fresh
// generator draws the same sequence, so the same inputs grow the same fibres. The
// program owns one instance and hands it to every growth run, so the sequence
// carries on from one run to the next.
#include <cstdint>

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

}  // namespace vantrel
