#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>

#include "growth/GrowthRandom.h"

namespace vantrel {
namespace {

// The state whose next draw lands on `next` (the generator's step is invertible).
std::uint32_t StateBefore(std::uint32_t next) {
    std::uint32_t inverse = 214013u;  // Newton iteration for the inverse mod 2^32
    for (int i = 0; i < 5; ++i) inverse *= 2u - 214013u * inverse;
    return (next - 2531011u) * inverse;
}

TEST(Shuffle, KnownStateGivesKnownOrder) {
    // A fresh generator draws 41, 18467, 6334, 26500, 19169, 15724, ...
    // j = 41 % 2 = 1 (stay), 18467 % 3 = 2 (stay),
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
    GrowthRandom random, counter;
    ShuffleWithGenerator(items, random);
    for (std::size_t i = 0; i < (count - 1) + (count - 32767); ++i) counter.Next();
    EXPECT_EQ(random.State(), counter.State());

    std::vector<int> sorted = items;
    std::sort(sorted.begin(), sorted.end());
    for (std::size_t i = 0; i < count; ++i) ASSERT_EQ(sorted[i], static_cast<int>(i));
    EXPECT_NE(items[count - 1], static_cast<int>(count - 1));
}

TEST(GaussianFactor, DrawsU1ThenU2ClampsAndNeverGivesNotANumber) {
    // The fresh generator gives u1 = 41/32767, |z| of about 3.6: a spread of 1 leaves [0, 2].
    const double z =
        std::sqrt(-2.0 * std::log(41 / 32767.0)) * std::sin(6.28318530717958 * (18467 / 32767.0));
    ASSERT_LT(1.0 + z, 0.0);
    const std::uint32_t fresh = GrowthRandom().State(), zeroU1 = StateBefore(0u);
    struct Case {
        const char* name;
        std::uint32_t state;
        double spread, factor;
    };
    const Case cases[] = {
        {"1 + spread * z", fresh, 0.1, 1.0 + 0.1 * z},
        {"clamped to 0", fresh, 1.0, 0.0},
        {"clamped to 2", fresh, -1.0, 2.0},
        // u1 = 0 makes the deviate infinite: clamped when there is a spread (u2 =
        // 38/32767, sin > 0), and 1.0 (not 1 + 0 * infinity) when there is none.
        {"u1 = 0 with a spread", zeroU1, 0.4, 2.0},
        {"u1 = 0 without a spread", zeroU1, 0.0, 1.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GrowthRandom random(c.state), twoDraws(c.state);
        twoDraws.Next();
        twoDraws.Next();
        EXPECT_EQ(GaussianFactor(random, c.spread), c.factor);
        EXPECT_EQ(random.State(), twoDraws.State());
    }
}

}  // namespace
}  // namespace vantrel
