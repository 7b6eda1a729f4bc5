#include "case/TrackLine.h"

#include "base/WeightedLineFit.h"
#include "case/TrackPointPlace.h"
#include "case/Trajectory.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace {

Vec3 AlongTrack(const Vec3& from, const Vec3& step, double times) {
    return {from.x + step.x * times, from.y + step.y * times, from.z + step.z * times};
}

} // namespace

TEST(TrackLineTest, FitsStraightTrackAndReportsPointsOffIt) {
    Trajectory trajectory;
    trajectory.in = {0.10, 1.40, 0.20};
    trajectory.out = {-0.05, 1.25, 0.02};
    const Vec3 step = Minus(trajectory.out, trajectory.in);
    trajectory.points = {{AlongTrack(trajectory.in, step, 0.3), 0.005, ""},
                         {AlongTrack(trajectory.in, step, 0.7), 0.005, ""}};
    const std::vector<TrackStop> stops = StopsOfTrajectory(trajectory);
    ASSERT_EQ(stops.size(), 4u);
    std::optional<TrackLine> line = FitTrackLine(stops);
    ASSERT_TRUE(line);
    const TrackAngles measured = AnglesOfTrack(trajectory.in, trajectory.out);
    EXPECT_NEAR(line->angles.direction, measured.direction, 1e-9);
    EXPECT_NEAR(line->angles.elevation, measured.elevation, 1e-9);
    EXPECT_TRUE(line->onOneLine);
    ASSERT_EQ(line->misfit.size(), 4u);
    for (double misfit : line->misfit) {
        EXPECT_LT(misfit, 1e-9);
    }
    ASSERT_EQ(line->pieces.size(), 1u);
    EXPECT_TRUE(line->deflection.empty());
    // The line starts at IN and runs toward OUT, whatever order the scatter's axis came in.
    EXPECT_LT(std::hypot(line->start.x - trajectory.in.x, line->start.y - trajectory.in.y,
                         line->start.z - trajectory.in.z),
              1e-9);
    EXPECT_GT(Dot(line->direction, step), 0);

    // A point 5 cm off a track its others fix lies off the line; the well-known
    // points keep the line where they are.
    trajectory.points[1].point.x += 0.05;
    trajectory.points[1].radius = 0.01;
    line = FitTrackLine(StopsOfTrajectory(trajectory));
    ASSERT_TRUE(line);
    EXPECT_FALSE(line->onOneLine);
    EXPECT_GT(line->misfit[2], kMisfitFactor * 0.01);
    EXPECT_LT(line->misfit[1], 0.01);
}

TEST(TrackLineTest, BreaksAtBodyPartsIntoPiecesWithTheirDeflection) {
    // Through the forearm along +X, then into the trunk turned 30 degrees down.
    const double turn = 30.0 * M_PI / 180.0;
    const Vec3 bend{0.30, 1.20, 0.10};
    const Vec3 onward{std::cos(turn), -std::sin(turn), 0};
    std::vector<TrackStop> stops{{{0.20, 1.20, 0.10}, 0.005, "right_forearm"},
                                 {{0.28, 1.20, 0.10}, 0.005, "right_forearm"},
                                 {AlongTrack(bend, onward, 0.05), 0.005, "trunk"},
                                 {AlongTrack(bend, onward, 0.20), 0.005, "trunk"}};
    std::optional<TrackLine> line = FitTrackLine(stops);
    ASSERT_TRUE(line);
    ASSERT_EQ(line->pieces.size(), 2u);
    EXPECT_EQ(line->pieces[0].part, "right_forearm");
    EXPECT_EQ(line->pieces[1].part, "trunk");
    EXPECT_EQ(line->pieces[0].last, 1u);
    EXPECT_EQ(line->pieces[1].first, 2u);
    ASSERT_EQ(line->deflection.size(), 1u);
    EXPECT_NEAR(line->deflection[0], 30.0, 1e-6);
    EXPECT_NEAR(line->pieces[1].angles.elevation, -30.0, 1e-6);

    // A lone stop on a part gives no direction of its own: it joins the piece after it.
    stops.erase(stops.begin() + 1);
    line = FitTrackLine(stops);
    ASSERT_TRUE(line);
    ASSERT_EQ(line->pieces.size(), 1u);
    EXPECT_EQ(line->pieces[0].first, 0u);
    EXPECT_EQ(line->pieces[0].last, 2u);
    EXPECT_EQ(line->pieces[0].part, "trunk");
}

TEST(TrackLineTest, RefusesTracksWithoutDirection) {
    EXPECT_FALSE(FitTrackLine({}));
    EXPECT_FALSE(FitTrackLine({{{0, 1, 0}, 0.01, ""}}));
    EXPECT_FALSE(FitTrackLine({{{0, 1, 0}, 0.01, ""}, {{0, 1, 0}, 0.01, ""}}));
    // IN and OUT the same with a point aside: the line has no way from IN to OUT.
    EXPECT_FALSE(
        FitTrackLine({{{0, 1, 0}, 0.01, ""}, {{0.1, 1, 0}, 0.01, ""}, {{0, 1, 0}, 0.01, ""}}));
}

// A point found along a track goes between the stops it lies between, measured along the track
// from IN (not by its distance from IN); a trajectory full of points refuses one more; a track
// whose IN and OUT coincide takes it last.
TEST(TrackPointPlace, APointGoesBetweenTheStopsItLiesBetween) {
    Trajectory t;
    t.in = {0, 1, 0.2};
    t.out = {0, 1, -0.2};
    EXPECT_EQ(TrackPointPlace(t, {0, 1, 0}), 0u);
    ASSERT_TRUE(InsertTrackPoint(t, {{0, 1, 0}, 0.01, "trunk"}));
    // Far off to the side but before the first point along the track.
    ASSERT_TRUE(InsertTrackPoint(t, {{0.3, 1, 0.1}, 0.01, ""}));
    ASSERT_TRUE(InsertTrackPoint(t, {{0, 1, -0.1}, 0.01, ""}));
    // Beyond OUT: last.
    ASSERT_TRUE(InsertTrackPoint(t, {{0, 1, -0.5}, 0.01, ""}));
    ASSERT_EQ(t.points.size(), 4u);
    EXPECT_DOUBLE_EQ(t.points[0].point.z, 0.1);
    EXPECT_DOUBLE_EQ(t.points[1].point.z, 0);
    EXPECT_EQ(t.points[1].part, "trunk");
    EXPECT_DOUBLE_EQ(t.points[2].point.z, -0.1);
    EXPECT_DOUBLE_EQ(t.points[3].point.z, -0.5);
    // Behind IN: first.
    EXPECT_EQ(TrackPointPlace(t, {0, 1, 0.5}), 0u);

    t.points.assign(Trajectory::kMaxTrackPoints, TrackPoint{});
    const Trajectory full = t;
    EXPECT_FALSE(InsertTrackPoint(t, {{0, 1, 0}, 0.01, ""}));
    EXPECT_EQ(t, full);

    Trajectory still;
    still.in = still.out = {0, 1, 0};
    still.points.push_back({{0, 1, 0.1}, 0.01, ""});
    EXPECT_EQ(TrackPointPlace(still, {0, 1, -0.3}), 1u);
}

TEST(TrackLineTest, StraightEndsLieOnTheFittedLine) {
    Trajectory trajectory;
    trajectory.in = {0.10, 1.40, 0.20};
    trajectory.out = {-0.05, 1.25, 0.02};
    auto [in, out] = StraightTrackEnds(trajectory);
    EXPECT_EQ(in, trajectory.in);
    EXPECT_EQ(out, trajectory.out);

    // Precise points pull the line off IN and OUT: the ends follow the line, and the track read
    // between them has the fitted line's angles.
    trajectory.points = {{{0.06, 1.37, 0.16}, 0.002, ""}, {{0.00, 1.31, 0.09}, 0.002, ""}};
    const std::optional<TrackLine> line = FitTrackLine(StopsOfTrajectory(trajectory));
    ASSERT_TRUE(line);
    std::tie(in, out) = StraightTrackEnds(trajectory);
    EXPECT_LT(DistanceFromLine(in, line->start, line->direction), 1e-12);
    EXPECT_LT(DistanceFromLine(out, line->start, line->direction), 1e-12);
    EXPECT_NEAR(AnglesOfTrack(in, out).direction, line->angles.direction, 1e-9);
    EXPECT_NEAR(AnglesOfTrack(in, out).elevation, line->angles.elevation, 1e-9);
    EXPECT_GT(Dot(Minus(trajectory.in, in), Minus(trajectory.in, in)), 1e-6);
}
