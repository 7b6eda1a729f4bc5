#include "base/Xoshiro256.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cmath>

// A generator that drops or sticks a bit, or repeats itself across seeds, skews every budget
// drawn from it: each of the 64 bits is set half the time, and seeds give other sequences.
TEST(Xoshiro256Test, EveryBitIsSetHalfTheTimeAndSeedsGiveTheirOwnSequences) {
    Xoshiro256 random(42);
    constexpr int kDraws = 100000;
    std::array<int, 64> set{};
    int changedBits = 0;
    uint64_t previous = random();
    for (int i = 0; i < kDraws; ++i) {
        const uint64_t value = random();
        for (int bit = 0; bit < 64; ++bit) {
            set[size_t(bit)] += (value >> bit) & 1 ? 1 : 0;
        }
        changedBits += std::popcount(value ^ previous);
        previous = value;
    }
    for (int bit = 0; bit < 64; ++bit) {
        // Five standard deviations of a fair coin over kDraws tosses.
        EXPECT_NEAR(set[size_t(bit)], kDraws / 2, 5 * std::sqrt(kDraws / 4.0)) << "bit " << bit;
    }
    EXPECT_NEAR(changedBits / double(kDraws), 32, 0.1); // successive values are not alike

    Xoshiro256 same(42), other(43);
    Xoshiro256 again(42);
    int equal = 0, differing = 0;
    for (int i = 0; i < 1000; ++i) {
        const uint64_t a = same(), b = other();
        equal += a == again() ? 1 : 0;
        differing += a != b ? 1 : 0;
    }
    EXPECT_EQ(equal, 1000);
    EXPECT_EQ(differing, 1000);
}
