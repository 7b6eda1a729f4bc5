#include "case/Trajectory.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(TrajectoryTest, AnglesMatchTheWorkedCases) {
    struct Case {
        double in[3], out[3], bearing, elevation;
    };
    const Case cases[] = {
        {{0, 1.5, 0}, {0.2, 1.5, 0}, 90.0, -0.0},
        {{0, 1.5, 0}, {-0.2, 1.5, 0}, 270.0, -0.0},
        {{0, 1.5, 0}, {0, 1.5, 0.2}, 180.0, -0.0},
        {{0, 1.5, 0.2}, {0, 1.5, 0}, 0.0, -0.0},
        {{0, 1.5, 0}, {0.1, 1.6, -0.1}, 45.0, 35.26},
        {{0, 1.5, 0}, {-0.1, 1.3, 0.1}, 225.0, -54.74},
        {{0, 1.5, 0}, {0, 1.2, 0}, 0.0, -89.81},
        {{0, 1.5, 0}, {0, 1.5, 0}, 0.0, -0.0},
        {{0, 1, 0}, {-1e-18, 1, -1}, 0.0, -0.0}, // a hair west of -Z reads 0, not 360
    };
    for (const Case& c : cases) {
        Trajectory trajectory;
        trajectory.SetPoints(c.in[0], c.in[1], c.in[2], c.out[0], c.out[1], c.out[2]);
        SCOPED_TRACE(testing::Message()
                     << "OUT " << c.out[0] << " " << c.out[1] << " " << c.out[2]);
        EXPECT_NEAR(trajectory.GetDirectionAngle(), c.bearing, 0.005);
        EXPECT_NEAR(trajectory.GetElevationDegrees(), c.elevation, 0.005);
        EXPECT_FALSE(std::signbit(trajectory.GetDirectionAngle())) << "must never print -0.0";
        EXPECT_EQ(std::signbit(trajectory.GetElevationDegrees()), std::signbit(c.elevation));
    }
    // Degrees use pi as 3.1415926535, so a quarter turn reads a hair over 90.
    Trajectory sideways;
    sideways.SetPoints(0, 1.5, 0, 0.2, 1.5, 0);
    EXPECT_NEAR(sideways.GetDirectionDegrees(), -90.0000000026, 1e-9);
}
