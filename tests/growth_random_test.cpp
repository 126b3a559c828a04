#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>

#include "growth/GrowthRandom.h"
#include "growth/GrowthRandom.h"

namespace vantrel {
namespace {

// The state whose next draw lands on `next` (the generator's step is invertible).
std::uint32_t StateBefore(std::uint32_t next) {
    std::uint32_t inverse = 214013u;  // Newton iteration for the inverse mod 2^32
    for (int i = 0; i < 5; ++i) inverse *= 2u - 214013u * inverse;
    return (next - 2531011u) * inverse;
}

TEST(GrowthRandom, FreshGeneratorDrawsTheFixedSequence) {
    GrowthRandom random;
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358};
    for (int value : expected) EXPECT_EQ(random.Next(), value);
}

TEST(Shuffle, KnownStateGivesKnownOrder) {
    // Draws 41, 18467, 6334: j = 41 % 2 = 1 (stay), 18467 % 3 = 2 (stay),
    // 6334 % 4 = 2 (swap elements 3 and 2).
    std::vector<int> items = {0, 1, 2, 3};
    GrowthRandom random;
    ShuffleWithGenerator(items, random);
    EXPECT_EQ(items, (std::vector<int>{0, 1, 3, 2}));
    EXPECT_EQ(random.Next(), 26500);  // exactly three draws were used

    // Then 19169 % 2 = 1 (stay), 15724 % 3 = 1 (swap elements 2 and 1).
    std::vector<int> three = {7, 8, 9};
    ShuffleWithGenerator(three, random);
    EXPECT_EQ(three, (std::vector<int>{7, 9, 8}));
}

TEST(Shuffle, LargeRangesWidenTheDrawAndStayAPermutation) {
    // From i = 32767 on one draw no longer covers 0..i: two draws are combined.
    const std::size_t count = 33000;
    std::vector<int> items(count);
    std::iota(items.begin(), items.end(), 0);
    GrowthRandom random;
    ShuffleWithGenerator(items, random);

    GrowthRandom counter;
    const std::size_t widened = count - 32767;  // i = 32767 .. 32999
    for (std::size_t i = 0; i < (count - 1) + widened; ++i) counter.Next();
    EXPECT_EQ(random.State(), counter.State());

    std::vector<int> sorted = items;
    std::sort(sorted.begin(), sorted.end());
    for (std::size_t i = 0; i < count; ++i) ASSERT_EQ(sorted[i], static_cast<int>(i));
    EXPECT_NE(items[count - 1], static_cast<int>(count - 1));
}

TEST(GaussianFactor, DrawsU1ThenU2) {
    GrowthRandom random;
    const double factor = GaussianFactor(random, 0.1);
    const double u1 = 41 / 32767.0, u2 = 18467 / 32767.0;
    const double z = std::sqrt(-2.0 * std::log(u1)) * std::sin(6.28318530717958 * u2);
    EXPECT_EQ(factor, 1.0 + 0.1 * z);
    EXPECT_EQ(random.Next(), 6334);
}

TEST(GaussianFactor, ClampsToZeroAndTwo) {
    // u1 = 41/32767 gives |z| of about 3.6; a spread of 1 leaves [0, 2].
    GrowthRandom random;
    const double z = std::sqrt(-2.0 * std::log(41 / 32767.0)) * std::sin(6.28318530717958 * (18467 / 32767.0));
    ASSERT_LT(1.0 + z, 0.0);
    EXPECT_EQ(GaussianFactor(random, 1.0), 0.0);
    GrowthRandom again;
    EXPECT_EQ(GaussianFactor(again, -1.0), 2.0);
}

TEST(GaussianFactor, ZeroFirstDrawNeverGivesNotANumber) {
    // u1 = 0 makes the deviate infinite: clamped when there is a spread, and 1.0
    // (not 1 + 0 * infinity) when there is none.
    GrowthRandom withSpread(StateBefore(0u));
    EXPECT_EQ(GaussianFactor(withSpread, 0.4), 2.0);  // u2 = 38/32767, sin > 0
    GrowthRandom withoutSpread(StateBefore(0u));
    EXPECT_EQ(GaussianFactor(withoutSpread, 0.0), 1.0);
}

}  // namespace
}  // namespace vantrel
