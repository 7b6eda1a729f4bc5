#include "case/TrackLine.h"
#include "case/Trajectory.h"
#include "case/TrajectoryCourse.h"

#include <gtest/gtest.h>

#include <cmath>

// The course of a track with points between IN and OUT runs along the line fitted through them
// all, from where IN lies on it to where OUT does; without points it is IN to OUT.
TEST(TrackPointCourseTest, TheCourseOfATrackWithPointsFollowsItsFittedLine) {
    Trajectory track;
    track.in = {0.00, 1.20, 0.00};
    track.out = {0.00, 1.20, 0.20}; // straight ahead: back to front
    const TrajectoryCourse straight = DescribeTrajectory(track);
    EXPECT_EQ(straight.sentence, "back to front");
    EXPECT_DOUBLE_EQ(straight.length, 0.2);

    // Precise points 4 cm to the left of IN's end and on OUT's line turn the fitted line from
    // right to left as it runs forward and lift it.
    track.radiusIn = 0.02;
    track.points = {{{0.04, 1.23, 0.05}, 0.001, ""}, {{0.02, 1.215, 0.125}, 0.001, ""}};
    const std::optional<TrackLine> line = FitTrackLine(StopsOfTrajectory(track));
    ASSERT_TRUE(line.has_value());
    const TrajectoryCourse course = DescribeTrajectory(track);
    EXPECT_EQ(course.components.lateral, "left to right");
    EXPECT_EQ(course.components.vertical, "downward");
    const double along = Dot(Minus(track.out, line->start), line->direction);
    EXPECT_NEAR(course.length, along, 1e-12);
    ASSERT_TRUE(course.uncertainty.direction.has_value());
    const auto& range = *course.uncertainty.direction;
    EXPECT_NEAR((range[0] + range[1]) / 2, line->angles.direction, 0.5);
    ASSERT_TRUE(course.uncertainty.elevation.has_value());
    EXPECT_NEAR(((*course.uncertainty.elevation)[0] + (*course.uncertainty.elevation)[1]) / 2,
                line->angles.elevation, 1e-9);
}
