#include "mesh/io/stl/PositionWelder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

// Numbers follow first appearance through many growths of the table, a repeat gets its first
// number back, and -0 is +0 while a NaN is the same vertex only with the same bits.
TEST(PositionWelder, NumbersFollowFirstAppearanceThroughGrowth) {
    PositionWelder welder(3); // far too small on purpose: the table must grow many times
    constexpr int kDistinct = 20000;
    bool added = false;
    for (int i = 0; i < kDistinct; ++i) {
        const float f = static_cast<float>(i);
        ASSERT_EQ(welder.Weld({f, -f, 0.5f * f}, added), static_cast<uint32_t>(i + 1));
        ASSERT_TRUE(added);
    }
    for (int i = kDistinct - 1; i >= 0; i -= 7) {
        const float f = static_cast<float>(i);
        ASSERT_EQ(welder.Weld({f, -f, 0.5f * f}, added), static_cast<uint32_t>(i + 1));
        ASSERT_FALSE(added);
    }
    EXPECT_EQ(welder.Count(), static_cast<uint32_t>(kDistinct));
    EXPECT_EQ(welder.Positions()[41].y, -41.0f);

    PositionWelder zeros(30);
    const uint32_t plus = zeros.Weld({0.0f, 1.0f, 0.0f}, added);
    EXPECT_EQ(zeros.Weld({-0.0f, 1.0f, -0.0f}, added), plus);
    EXPECT_FALSE(std::signbit(zeros.Positions()[0].x));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const uint32_t first = zeros.Weld({nan, 0.0f, 0.0f}, added);
    EXPECT_EQ(zeros.Weld({nan, 0.0f, 0.0f}, added), first);
    EXPECT_NE(zeros.Weld({-nan, 0.0f, 0.0f}, added), first);
}
