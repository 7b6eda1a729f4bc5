#include "case/TrajectoryCourse.h"
#include "case/Trajectory.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TrajectoryCourse Describe(double x1, double y1, double z1, double x2, double y2, double z2,
                          double radius = Trajectory::kDefaultRadius) {
    Trajectory trajectory;
    trajectory.in = {x1, y1, z1};
    trajectory.out = {x2, y2, z2};
    trajectory.radiusIn = radius;
    return DescribeTrajectory(trajectory);
}

} // namespace

TEST(TrajectoryCourseTest, CourseNamesEachComponentAndJoinsThemInOrder) {
    // Chest to back, from the body's right to its left, going down.
    const TrajectoryCourse full = Describe(-0.05, 1.4, 0.25, 0.05, 1.3, 0.02);
    EXPECT_EQ(full.components.anteroposterior, "front to back");
    EXPECT_EQ(full.components.lateral, "right to left");
    EXPECT_EQ(full.components.vertical, "downward");
    EXPECT_EQ(full.sentence, "front to back, right to left and downward");

    const TrajectoryCourse reverse = Describe(0.05, 1.3, 0.02, -0.05, 1.4, 0.25);
    EXPECT_EQ(reverse.sentence, "back to front, left to right and upward");

    // Under a millimetre counts as no movement; exactly one millimetre is named.
    EXPECT_EQ(Describe(0, 1, 0.2, 0.0009, 1, 0).sentence, "front to back");
    EXPECT_EQ(Describe(0, 1, 0.2, 0.0009, 0.9, 0).sentence, "front to back and downward");
    EXPECT_EQ(Describe(0, 1, 0, 0, 1, -0.001).sentence, "front to back");
    EXPECT_EQ(Describe(0, 1, 0, 0.0005, 1.0005, -0.0005).sentence, "no measurable course");
    EXPECT_EQ(Describe(0, 1, 0, 0.0005, 1.0005, -0.0005).components.lateral, "none");
}

TEST(TrajectoryCourseTest, PlaneAnglesOnWorkedTracks) {
    // Purely lateral, right to left: 90 degrees from the front-back axis, level in both views.
    const PlaneAngles lateral = Describe(-0.1, 1.2, 0.1, 0.1, 1.2, 0.1).planeAngles;
    ASSERT_TRUE(lateral.transverse && lateral.coronal);
    EXPECT_DOUBLE_EQ(*lateral.transverse, 90.0);
    EXPECT_DOUBLE_EQ(*lateral.coronal, 0.0);
    EXPECT_FALSE(lateral.sagittal) << "no vertical and no front-back component";

    // Straight down: vertical seen from the side and from the front, no horizontal angle.
    const PlaneAngles down = Describe(0, 1.5, 0.1, 0, 1.2, 0.1).planeAngles;
    EXPECT_FALSE(down.transverse);
    ASSERT_TRUE(down.sagittal && down.coronal);
    EXPECT_DOUBLE_EQ(*down.sagittal, 90.0);
    EXPECT_DOUBLE_EQ(*down.coronal, 90.0);

    // Equal components: 45 degrees everywhere, whatever the signs.
    const PlaneAngles diagonal = Describe(0.1, 1.5, 0.2, 0, 1.4, 0.1).planeAngles;
    EXPECT_NEAR(*diagonal.transverse, 45.0, 1e-9);
    EXPECT_NEAR(*diagonal.sagittal, 45.0, 1e-9);
    EXPECT_NEAR(*diagonal.coronal, 45.0, 1e-9);

    // A sub-millimetre component counts as 0 but does not make the angle empty.
    const PlaneAngles slight = Describe(0, 1, 0.2, 0.0009, 1, 0).planeAngles;
    EXPECT_DOUBLE_EQ(*slight.transverse, 0.0);
    EXPECT_FALSE(slight.coronal);

    const PlaneAngles none = Describe(0, 1, 0, 0, 1, 0).planeAngles;
    EXPECT_FALSE(none.transverse || none.sagittal || none.coronal);
}

TEST(TrajectoryCourseTest, UncertaintyConeAndRanges) {
    // A level shot 20 cm long toward the back with 1 cm balls: alpha = asin(0.1).
    const DirectionUncertainty level = Describe(0, 1.5, 0.2, 0, 1.5, 0).uncertainty;
    const double alpha = std::asin(0.1) * 180 / M_PI;
    ASSERT_TRUE(level.coneHalfAngle && level.direction && level.elevation);
    EXPECT_NEAR(*level.coneHalfAngle, 5.7391704773, 1e-9);
    EXPECT_NEAR(*level.coneHalfAngle, alpha, 1e-12);
    // Around 0 the low bound wraps to just under 360.
    EXPECT_NEAR((*level.direction)[0], 360 - alpha, 1e-9);
    EXPECT_NEAR((*level.direction)[1], alpha, 1e-9);
    EXPECT_FALSE(level.directionUnbounded);
    EXPECT_NEAR((*level.elevation)[0], -alpha, 1e-9);
    EXPECT_NEAR((*level.elevation)[1], alpha, 1e-9);

    // Rising at 45 degrees toward +X: the direction spread widens by 1 / cos E.
    const DirectionUncertainty rising = Describe(0, 1, 0.1, 0.2, 1.2, 0.1).uncertainty;
    const double length = std::sqrt(0.08);
    const double risingAlpha = std::asin(0.02 / length) * 180 / M_PI;
    const double spread =
        std::asin(std::sin(risingAlpha * M_PI / 180) / std::cos(M_PI / 4)) * 180 / M_PI;
    EXPECT_NEAR(*rising.coneHalfAngle, risingAlpha, 1e-12);
    EXPECT_NEAR((*rising.direction)[0], 90 - spread, 1e-6);
    EXPECT_NEAR((*rising.direction)[1], 90 + spread, 1e-6);
    EXPECT_NEAR((*rising.elevation)[1], 45 + risingAlpha, 1e-6);

    // Straight down: the displayed elevation is -89.8, so the cone covers the whole circle and
    // the elevation is cut at -90.
    const DirectionUncertainty down = Describe(0, 1.5, 0, 0, 1.2, 0).uncertainty;
    EXPECT_TRUE(down.directionUnbounded);
    EXPECT_EQ(*down.direction, (std::array<double, 2>{0, 360}));
    EXPECT_DOUBLE_EQ((*down.elevation)[0], -90.0);
    EXPECT_NEAR((*down.elevation)[1], -89.8091 + std::asin(0.02 / 0.3) * 180 / M_PI, 1e-3);

    // Points no farther apart than the balls are wide, and coincident points: undetermined.
    for (const TrajectoryCourse& course :
         {Describe(0, 1, 0, 0.02, 1, 0), Describe(0, 1, 0, 0.01, 1, 0),
          Describe(0, 1, 0, 0, 1, 0)}) {
        EXPECT_FALSE(course.uncertainty.coneHalfAngle);
        EXPECT_FALSE(course.uncertainty.direction);
        EXPECT_FALSE(course.uncertainty.elevation);
        EXPECT_DOUBLE_EQ(course.uncertainty.radius, 0.01);
    }
    // Coincident points with no uncertainty are still undetermined (0 <= 0), never NaN.
    EXPECT_FALSE(Describe(0, 1, 0, 0, 1, 0, 0).uncertainty.coneHalfAngle);
    // Exact points: a cone of zero width.
    EXPECT_DOUBLE_EQ(*Describe(0, 1, 0, 0.1, 1, 0, 0).uncertainty.coneHalfAngle, 0.0);
}

TEST(TrajectoryCourseTest, ARadiusIsAMeasurementsOrRefused) {
    EXPECT_DOUBLE_EQ(Trajectory().radiusIn, 0.01);
    EXPECT_FALSE(Trajectory::IsRadius(-0.01));
    EXPECT_FALSE(Trajectory::IsRadius(std::nan("")));
    EXPECT_FALSE(Trajectory::IsRadius(INFINITY));
    // 1e300 is finite, but no ball around a point on a body is larger than a metre.
    EXPECT_FALSE(Trajectory::IsRadius(1e300));
    EXPECT_FALSE(Trajectory::IsRadius(1.0001));
    EXPECT_TRUE(Trajectory::IsRadius(0.025));
    EXPECT_TRUE(Trajectory::IsRadius(0));
}
