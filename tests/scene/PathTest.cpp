#include "scene/Path.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct AngleCase {
    double in[3];
    double out[3];
    double directionAngle;
    double elevation;
};

} // namespace

TEST(PathTest, AnglesMatchTheWorkedCases) {
    const AngleCase cases[] = {
        {{0, 1.5, 0}, {0.2, 1.5, 0}, 90.0, -0.0},
        {{0, 1.5, 0}, {-0.2, 1.5, 0}, 270.0, -0.0},
        {{0, 1.5, 0}, {0, 1.5, 0.2}, 180.0, -0.0},
        {{0, 1.5, 0.2}, {0, 1.5, 0}, 0.0, -0.0},
        {{0, 1.5, 0}, {0.1, 1.6, -0.1}, 45.0, 35.26},
        {{0, 1.5, 0}, {-0.1, 1.3, 0.1}, 225.0, -54.74},
        {{0, 1.5, 0}, {0, 1.2, 0}, 0.0, -89.81},
        {{0, 1.5, 0}, {0, 1.5, 0}, 0.0, -0.0},
    };
    for (const AngleCase& c : cases) {
        Path path;
        path.SetPoints(c.in[0], c.in[1], c.in[2], c.out[0], c.out[1], c.out[2]);
        SCOPED_TRACE(testing::Message()
                     << "OUT " << c.out[0] << " " << c.out[1] << " " << c.out[2]);
        EXPECT_NEAR(path.GetDirectionAngle(), c.directionAngle, 0.005);
        EXPECT_NEAR(path.GetElevationDegrees(), c.elevation, 0.005);
        EXPECT_GE(path.GetDirectionAngle(), 0.0);
        EXPECT_LT(path.GetDirectionAngle(), 360.0);
        if (c.directionAngle == 0.0) {
            EXPECT_FALSE(std::signbit(path.GetDirectionAngle())) << "printed as -0.0";
        }
        if (c.out[1] == c.in[1]) {
            EXPECT_TRUE(std::signbit(path.GetElevationDegrees())) << "level shots read -0.0";
        }
    }

    // Degrees use pi as 3.1415926535, so a quarter turn reads a hair over 90.
    Path sideways;
    sideways.SetPoints(0, 1.5, 0, 0.2, 1.5, 0);
    EXPECT_NEAR(sideways.GetDirectionDegrees(), -90.0000000026, 1e-9);
    Path backwards;
    backwards.SetPoints(0, 1.5, 0, -0.2, 1.5, 0);
    EXPECT_NEAR(backwards.GetDirectionDegrees(), 90.0000000026, 1e-9);
}

TEST(PathTest, AdjustmentsLeavePointsAndAnglesAlone) {
    Path path;
    path.SetPoints(0, 1.5, 0, 0.1, 1.6, -0.1);
    const double direction = path.GetDirection();
    const double elevation = path.GetElevation();
    path.SetDx(0.3);
    path.SetDYaw(25);
    path.SetDPitch(-10);
    EXPECT_EQ(path.GetDirection(), direction);
    EXPECT_EQ(path.GetElevation(), elevation);
    EXPECT_EQ(path.GetX2(), 0.1);
}

TEST(PathTest, NearlyStraightBackBearingIsZeroNot360) {
    Path path;
    path.SetPoints(0, 1, 0, -1e-18, 1, -1);
    EXPECT_EQ(path.GetDirectionAngle(), 0.0);
}
