#include "render/LabelLayout.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(LabelLayout, FreeLabelsStayAndCrowdedOnesMoveToTheNearestFreePlace) {
    LabelLayout layout;
    const LabelBox first{100, 100, 60, 13};
    EXPECT_EQ(layout.Place(first), first);
    const LabelBox apart{300, 100, 60, 13};
    EXPECT_EQ(layout.Place(apart), apart);

    // Ten labels asking for the same place all get one, none overlapping, each near it.
    for (int i = 0; i < 10; ++i) {
        const std::optional<LabelBox> placed = layout.Place(first);
        ASSERT_TRUE(placed);
        EXPECT_LE(std::hypot(placed->left - first.left, placed->bottom - first.bottom), 80.0);
    }
    const std::vector<LabelBox>& taken = layout.Taken();
    ASSERT_EQ(taken.size(), 12u);
    for (std::size_t a = 0; a < taken.size(); ++a) {
        for (std::size_t b = a + 1; b < taken.size(); ++b) {
            EXPECT_FALSE(taken[a].Overlaps(taken[b])) << a << " and " << b;
        }
    }
    // The first label moved for another goes one line up, not sideways.
    EXPECT_EQ(taken[2].left, first.left);
    EXPECT_EQ(taken[2].bottom, first.bottom + 13);

    // A new frame starts empty.
    layout.Clear();
    EXPECT_EQ(layout.Place(first), first);
}

TEST(LabelLayout, ALabelWithNoFreePlaceWithinReachIsNotPlaced) {
    LabelLayout layout;
    // One huge label covers everything within reach of the second one's place.
    ASSERT_TRUE(layout.Place({-1000, -1000, 3000, 3000}));
    EXPECT_FALSE(layout.Place({100, 100, 40, 13}));
    EXPECT_EQ(layout.Taken().size(), 1u);
}

TEST(LabelLayout, BoxesThatOnlyTouchDoNotOverlap) {
    const LabelBox box{0, 0, 10, 10};
    EXPECT_FALSE(box.Overlaps({10, 0, 10, 10}));
    EXPECT_FALSE(box.Overlaps({0, 10, 10, 10}));
    EXPECT_TRUE(box.Overlaps({9, 9, 10, 10}));
    EXPECT_TRUE(box.Overlaps({2, 2, 2, 2}));
}
