#include "case/TrackAngles.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(TrackAnglesTest, AnglesMatchTheWorkedCases) {
    struct Worked {
        Vec3 in, out;
        double bearing, elevation;
    };
    const Worked cases[] = {
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
    for (const Worked& c : cases) {
        SCOPED_TRACE(testing::Message() << "OUT " << c.out.x << " " << c.out.y << " " << c.out.z);
        const TrackAngles angles = AnglesOfTrack(c.in, c.out);
        EXPECT_NEAR(angles.direction, c.bearing, 0.005);
        EXPECT_NEAR(angles.elevation, c.elevation, 0.005);
        EXPECT_EQ(angles.direction, Bearing(c.in, c.out));
        EXPECT_EQ(angles.elevation, Elevation(c.in, c.out));
        EXPECT_FALSE(std::signbit(angles.direction)) << "must never print -0.0";
        EXPECT_EQ(std::signbit(angles.elevation), std::signbit(c.elevation));
        // The arrow's turn and the bearing are one direction, read two ways.
        EXPECT_NEAR(std::fmod(360 - ArrowYaw(c.in, c.out) + 720, 360.0),
                    angles.direction == 0 ? 0.0 : angles.direction, 1e-9);
    }
    // The two angles use pi as 3.1415926535, so a quarter turn reads a hair over 90: stored cases
    // and printed figures have always been made so.
    EXPECT_NEAR(ArrowYaw({0, 1.5, 0}, {0.2, 1.5, 0}), -90.0000000026, 1e-9);
}

TEST(TrackAnglesTest, WrappedBearingsStayWithinACircle) {
    EXPECT_EQ(WrapBearing(-10), 350);
    EXPECT_EQ(WrapBearing(725), 5);
    EXPECT_EQ(WrapBearing(-1e-17), 0); // would round to 360
    EXPECT_FALSE(std::signbit(WrapBearing(-0.0)));
}
