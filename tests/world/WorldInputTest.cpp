#include "world/WorldInput.h"

#include <gtest/gtest.h>

TEST(WorldInputTest, TypedValuesAreReadInCentimetresOrRefusedWithTheirFieldNamed) {
    std::vector<double> heights;
    ASSERT_TRUE(ReadMuzzleHeights(" 160  97.5 30 ", heights).ok());
    EXPECT_EQ(heights, (std::vector<double>{1.6, 0.975, 0.3}));
    EXPECT_EQ(MuzzleHeightsText(heights), "160 97.5 30");
    for (const char* bad : {"", "150 abc", "-5", "150 1e7", "1 2 3 4 5 6 7 8 9", "nan"}) {
        const Status refused = ReadMuzzleHeights(bad, heights);
        EXPECT_FALSE(refused.ok()) << bad;
        EXPECT_NE(refused.message().find("muzzle height"), std::string::npos) << bad;
    }
    EXPECT_EQ(heights.size(), 3u) << "a refusal changes nothing";

    std::vector<ExteriorPoint> points;
    ASSERT_TRUE(ReadExteriorPoints("120 140.5 -250 before\n\n-50 90 325 after\n", points).ok());
    ASSERT_EQ(points.size(), 2u);
    EXPECT_DOUBLE_EQ(points[0].point.y, 1.405);
    EXPECT_TRUE(points[0].beforeEntry);
    EXPECT_FALSE(points[1].beforeEntry);
    EXPECT_EQ(ExteriorPointsText(points), "120 140.5 -250 before\n-50 90 325 after\n");
    Status refused = ReadExteriorPoints("1 2 3 before\n1 2 three after\n", points);
    EXPECT_EQ(refused.message(), "Exterior point 2 (line 2) \"1 2 three after\": its z \"three\" "
                                 "is refused: it must be a number of centimetres within 1000000 "
                                 "either way.");
    refused = ReadExteriorPoints("1 2 3 sideways", points);
    EXPECT_NE(refused.message().find("\"before\" (IN) or \"after\" (OUT)"), std::string::npos);
    EXPECT_FALSE(ReadExteriorPoints("1e12 0 0 after", points).ok());
    EXPECT_EQ(points.size(), 2u);
    // A radius of its own in cm, shown again only where it is not the default.
    ASSERT_TRUE(ReadExteriorPoints("120 140.5 -250 before 2.5\n-50 90 325 after 1\n", points).ok());
    EXPECT_DOUBLE_EQ(points[0].radius, 0.025);
    EXPECT_DOUBLE_EQ(points[1].radius, ExteriorPoint::kDefaultRadius);
    EXPECT_EQ(ExteriorPointsText(points), "120 140.5 -250 before 2.5\n-50 90 325 after\n");
    for (const char* bad :
         {"1 2 3 before -1", "1 2 3 before 101", "1 2 3 before wide", "1 2 3 before 1 2"}) {
        EXPECT_FALSE(ReadExteriorPoints(bad, points).ok()) << bad;
    }
    EXPECT_DOUBLE_EQ(points[0].radius, 0.025) << "a refusal changes nothing";

    double metres = 7;
    EXPECT_TRUE(ReadSceneCoordinate("+250", "the body's x", metres).ok());
    EXPECT_DOUBLE_EQ(metres, 2.5);
    refused = ReadSceneCoordinate("2,5", "the body's x", metres);
    EXPECT_EQ(refused.message().rfind("the body's x \"2,5\" is refused", 0), 0u);
    double heading = 0;
    EXPECT_FALSE(ReadHeading("east", "the body's heading", heading).ok());
    std::string group = "x";
    EXPECT_TRUE(ReadGroupName("  door  ", group).ok());
    EXPECT_EQ(group, "door");
    EXPECT_FALSE(ReadGroupName(std::string(81, 'g'), group).ok());
    // The limit counts characters: 50 Cyrillic letters (100 bytes) are a name.
    std::string cyrillic;
    for (int i = 0; i < 50; ++i) {
        cyrillic += "\u0416";
    }
    EXPECT_TRUE(ReadGroupName(cyrillic, group).ok());
    EXPECT_EQ(group, cyrillic);
}
