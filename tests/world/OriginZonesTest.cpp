#include "support/ArmTestModel.h"

#include "case/Case.h"
#include "case/PosedCase.h"
#include "mesh/io/obj/ObjReader.h"
#include "world/OriginAnalysis.h"
#include "world/SceneSurfaces.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>

namespace {

// The posed track comes through the body's pose transform in single precision: a micrometre is
// far below anything measured.
constexpr double kMicrometre = 1e-6;

void ExpectPoint(const Vec3& actual, const Vec3& expected, double tolerance = kMicrometre) {
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// Adds a trajectory of an older file (no parts) and gives its number.
int AddTrack(Case& theCase, Vec3 in, Vec3 out, double radius = 0.01) {
    EXPECT_TRUE(Trajectory::IsRadius(radius));
    Trajectory trajectory;
    trajectory.in = in;
    trajectory.out = out;
    trajectory.exited = true;
    trajectory.radiusIn = radius;
    theCase.trajectories.push_back(trajectory);
    return theCase.TrajectoryCount();
}

OriginAnalysis Analyse(const Case& theCase, const SceneSurfaces* surfaces = nullptr) {
    return AnalyseOrigins(PosedCase(theCase), surfaces);
}

// A wall of the scene: the square x, y in [-5, 5] at z = 3, in its own usemtl group.
std::unique_ptr<Mesh> WallAtZ3() {
    ObjReadResult read = ReadObjFromMemory(
        "v -5 -5 3\nv 5 -5 3\nv 5 5 3\nv -5 5 3\nusemtl north_wall\nf 1 2 3\nf 1 3 4\n", "room.obj",
        [](const std::string&) { return std::optional<std::string>(); });
    EXPECT_TRUE(read.mesh) << read.error;
    return std::move(read.mesh);
}

} // namespace

// The shot's line going back, u = IN - OUT, measured as the figures below were worked by hand.
TEST(OriginZonesTest, ShotsReachOnlyTheHeightsTheirBackLinesGoTowardWithTheConesInterval) {
    Case theCase;
    // Level: front to back at 1.2 m; going back it stays at 1.2 m and reaches no muzzle height.
    AddTrack(theCase, {0, 1.2, 0.3}, {0, 1.2, 0.05});
    // Rising toward OUT by 0.1 m over 0.3 m (tan e = 1/3): going back it falls, so it reaches
    // the kneeling height 5 cm below IN at 0.15 m and the prone one 75 cm below at 2.25 m, never
    // the standing one above. Its cone: L = 0.3162 m, r = 1 cm, a = asin(0.02 / L) = 3.626 deg
    // about e = 18.435 deg.
    AddTrack(theCase, {0, 1.05, 0.3}, {0, 1.15, 0});
    // Nearly level (e = 1.909 deg) with a cone of 3.82 deg: it crosses the horizontal.
    AddTrack(theCase, {0, 1.2, 0.3}, {0, 1.21, 0});
    const OriginAnalysis analysis = Analyse(theCase);
    ASSERT_EQ(analysis.trajectories.size(), 3u);

    const TrajectoryOrigin& level = analysis.trajectories[0];
    ASSERT_EQ(level.zones.size(), 3u);
    for (const OriginZone& zone : level.zones) {
        EXPECT_FALSE(zone.reached) << zone.height;
    }

    const TrajectoryOrigin& rising = analysis.trajectories[1];
    ASSERT_TRUE(rising.halfAngle);
    EXPECT_NEAR(*rising.halfAngle, 3.626123, 1e-5);
    const OriginZone& standing = rising.zones[0];
    const OriginZone& kneeling = rising.zones[1];
    const OriginZone& prone = rising.zones[2];
    EXPECT_DOUBLE_EQ(standing.height, 1.5);
    EXPECT_FALSE(standing.reached);
    ASSERT_TRUE(kneeling.reached && prone.reached);
    EXPECT_NEAR(kneeling.nominalDistance, 0.15, kMicrometre);
    ExpectPoint(kneeling.nominalPoint, {0, 1.0, 0.45});
    EXPECT_NEAR(prone.nominalDistance, 2.25, kMicrometre);
    ExpectPoint(prone.nominalPoint, {0, 0.3, 2.55});
    // 0.75 / tan(e + a) and 0.75 / tan(e - a).
    EXPECT_NEAR(prone.minDistance, 1.850633, 1e-6);
    ASSERT_TRUE(prone.maxDistance);
    EXPECT_NEAR(*prone.maxDistance, 2.836867, 1e-6);
    EXPECT_NEAR(kneeling.minDistance, 0.123376, 1e-6);
    EXPECT_NEAR(*kneeling.maxDistance, 0.189124, 1e-6);
    EXPECT_FALSE(prone.limitedBy);

    const OriginZone& flat = analysis.trajectories[2].zones[2];
    ASSERT_TRUE(flat.reached);
    EXPECT_NEAR(flat.nominalDistance, 27.0, kMicrometre); // 0.9 m fall at 0.01 / 0.3
    EXPECT_FALSE(flat.maxDistance) << "a cone reaching the horizontal has no upper bound";
    EXPECT_GT(flat.minDistance, 0);
}

TEST(OriginZonesTest, TheBodysPlacementCarriesThePosedTrackIntoTheScene) {
    Case theCase;
    AddTrack(theCase, {0.1, 1.2, 0.25}, {0.1, 1.0, 0.05});
    theCase.world.body = {2, 0, 3, 90};
    // Heading 90 turns +Z toward +X: (x, z) = (0.1, 0.25) becomes (0.25, -0.1), then moves.
    const TrajectoryOrigin track = Analyse(theCase).trajectories[0];
    ExpectPoint(track.sceneIn, {2.25, 1.2, 2.9}, kMicrometre);
    ExpectPoint(track.sceneOut, {2.05, 1.0, 2.9}, kMicrometre);
    ExpectPoint(theCase.world.body.Unplace(track.sceneIn), {0.1, 1.2, 0.25}, kMicrometre);
    // The matrix the drawing uses places points the same way.
    ExpectPoint(theCase.world.body.ToScene().TransformPoint({0.1, 1.2, 0.25}), track.sceneIn,
                kMicrometre);
    // A body at the origin with heading 0 is the scene frame: old cases read the same, to the
    // last bit.
    theCase.world.body = {};
    const TrajectoryOrigin unplaced = Analyse(theCase).trajectories[0];
    EXPECT_EQ(unplaced.sceneIn, theCase.trajectories[0].in);
    EXPECT_EQ(unplaced.sceneOut, theCase.trajectories[0].out);
}

TEST(OriginZonesTest, ConvergenceFindsTheCommonPointAndRefusesParallelLines) {
    const Vec3 muzzle{1.0, 1.5, 4.0};
    const auto lineThrough = [&muzzle](Vec3 direction, double from) {
        const double length = std::sqrt(Dot(direction, direction));
        const Vec3 u{direction.x / length, direction.y / length, direction.z / length};
        return BackLine{{muzzle.x - from * u.x, muzzle.y - from * u.y, muzzle.z - from * u.z}, u};
    };
    Convergence convergence;
    ASSERT_TRUE(ConvergeLines({lineThrough({0.2, 0.1, 1}, 3.0), lineThrough({-0.3, 0.05, 1}, 4.0),
                               lineThrough({0.05, -0.2, 1}, 2.5)},
                              convergence)
                    .ok());
    ExpectPoint(convergence.point, muzzle, 1e-4);
    ASSERT_EQ(convergence.miss.size(), 3u);
    for (const double miss : convergence.miss) {
        EXPECT_LT(miss, 1e-4); // 0.1 mm
    }

    // Two lines that pass 10 cm apart: the point lies halfway, each 5 cm off.
    ASSERT_TRUE(
        ConvergeLines({{{0, 0, 0}, {1, 0, 0}}, {{0, 0.1, 0}, {0, 0, 1}}}, convergence).ok());
    ExpectPoint(convergence.point, {0, 0.05, 0}, 1e-12);
    EXPECT_NEAR(convergence.miss[0], 0.05, 1e-12);
    EXPECT_NEAR(convergence.miss[1], 0.05, 1e-12);

    const Status parallel = ConvergeLines(
        {{{0, 1, 0}, {0, 0, 1}}, {{0.3, 1, 0}, {0, 0, 1}}, {{0, 2, 5}, {0, 0, -1}}}, convergence);
    EXPECT_FALSE(parallel.ok());
    EXPECT_NE(parallel.message().find("parallel"), std::string::npos);
    EXPECT_FALSE(ConvergeLines({{{0, 1, 0}, {0, 0, 1}}}, convergence).ok());
}

TEST(OriginZonesTest, ShotGroupsConvergeInTheCaseAndExteriorPointsAreMeasuredFromTheLine) {
    Case theCase;
    // Two tracks whose back lines meet at (0, 1.5, 3): from IN (0, 1.2, 0.2) and (0.4, 1.1, 0.2).
    const int first = AddTrack(theCase, {0, 1.2, 0.2}, {0, 1.2 - 0.3 / 2.8 * 0.2, 0});
    const int second =
        AddTrack(theCase, {0.4, 1.1, 0.2}, {0.4 + 0.4 / 2.8 * 0.2, 1.1 - 0.4 / 2.8 * 0.2, 0});
    theCase.TrajectoryNumbered(first)->group = "A";
    theCase.TrajectoryNumbered(second)->group = "A";
    const OriginAnalysis converging = Analyse(theCase);
    ASSERT_EQ(converging.groups.size(), 1u);
    const GroupConvergence& group = converging.groups[0];
    EXPECT_EQ(group.group, "A");
    EXPECT_EQ(group.trajectories, (std::vector<int>{1, 2}));
    ASSERT_TRUE(group.convergence) << group.refusal;
    ExpectPoint(group.convergence->point, {0, 1.5, 3.0}, kMicrometre);

    // 10 cm beside the back line, 2.8 m behind IN along it; and one 5 cm beside the line 1 m
    // beyond OUT. Each is measured from the track's own line (IN to OUT); the back line now runs
    // through them as well, and says that they do not lie on one line with IN and OUT.
    const double run = std::hypot(2.8, 0.3);
    theCase.TrajectoryNumbered(first)->exterior = {
        {{0.1, 1.5, 3.0}, true}, {{0.05, 1.2 - 0.3 / 2.8 * 0.2 - 0.3 / run, -2.8 / run}, false}};
    const OriginAnalysis analysis = Analyse(theCase);
    ASSERT_TRUE(analysis.trajectories[0].fit);
    EXPECT_FALSE(analysis.trajectories[0].fit->onOneLine);

    const std::vector<std::optional<ExteriorDeviation>>& exterior =
        analysis.trajectories[0].exterior;
    ASSERT_EQ(exterior.size(), 2u);
    ASSERT_TRUE(exterior[0] && exterior[1]);
    EXPECT_NEAR(exterior[0]->distance, 0.1, kMicrometre);
    EXPECT_NEAR(exterior[0]->angle, std::atan2(0.1, run) * 180 / std::numbers::pi, 1e-4);
    EXPECT_NEAR(exterior[1]->distance, 0.05, kMicrometre);
    EXPECT_NEAR(exterior[1]->angle, std::atan2(0.05, 1.0) * 180 / std::numbers::pi, 1e-4);

    // A group whose tracks are parallel gives no point and says why.
    theCase.TrajectoryNumbered(first)->exterior.clear();
    theCase.TrajectoryNumbered(second)->out = {0.4, 1.1 - 0.3 / 2.8 * 0.2, 0};
    const OriginAnalysis refused = Analyse(theCase);
    EXPECT_FALSE(refused.groups[0].convergence);
    EXPECT_NE(refused.groups[0].refusal.find("parallel"), std::string::npos);
}

TEST(OriginZonesTest, TheFirstSurfaceTheBackLineMeetsLimitsTheZoneUnlessTheBulletPassedIt) {
    Case theCase;
    // Falling going back by 0.1 m per 0.3 m: at the prone height 2.25 m behind IN, beyond a wall
    // 1.7 m behind it (IN at z = 1.3, the wall at z = 3).
    const int number = AddTrack(theCase, {0, 1.05, 1.3}, {0, 1.15, 1.0});
    std::vector<ExteriorPoint>& exterior = theCase.TrajectoryNumbered(number)->exterior;
    const std::unique_ptr<Mesh> wall = WallAtZ3();
    ASSERT_TRUE(wall);
    SceneSurfaces surfaces;
    ASSERT_TRUE(surfaces.Build(*wall, {}).ok());

    OriginAnalysis analysis = Analyse(theCase, &surfaces);
    const OriginZone& kneeling = analysis.trajectories[0].zones[1];
    const OriginZone& prone = analysis.trajectories[0].zones[2];
    EXPECT_FALSE(kneeling.limitedBy) << "the kneeling zone lies before the wall";
    ASSERT_TRUE(prone.limitedBy);
    EXPECT_EQ(*prone.limitedBy, "north_wall");
    EXPECT_NEAR(prone.limitDistance, 1.7, 1e-5);
    ASSERT_TRUE(prone.maxDistance);
    EXPECT_NEAR(*prone.maxDistance, 1.7, 1e-5);
    // The cone's nearest reach (1.85 m) lies behind the wall: no shooter lay prone there.
    EXPECT_FALSE(prone.reached);

    // A hole in the wall where the back line crosses it: the bullet came through.
    exterior = {{{0, 1.05 - 1.7 / 3, 3.0}, true}};
    analysis = Analyse(theCase, &surfaces);
    EXPECT_FALSE(analysis.trajectories[0].zones[2].limitedBy);
    EXPECT_TRUE(analysis.trajectories[0].zones[2].reached);

    // The wall turned away (heading 90 puts it at x = 3): nothing in the way.
    exterior.clear();
    ASSERT_TRUE(surfaces.Build(*wall, {0, 0, 0, 90}).ok());
    EXPECT_FALSE(Analyse(theCase, &surfaces).trajectories[0].zones[2].limitedBy);
}

// A track on the right upper arm of a body whose shoulder is raised: the zones start from the
// IN the posture carries, placed in the scene, and follow the posed track's line, as the posed
// case gives them; the exterior points and the budget's draws are measured from that line too.
TEST(OriginZonesTest, ThePosedTrackPlacedInTheSceneIsWhereTheZonesStart) {
    Case theCase;
    ASSERT_TRUE(theCase.body.LoadMesh(armtest::ReadMesh(armtest::ArmObj(false))).ok());
    Trajectory arm;
    arm.in = {-0.2, 1.45, 0.14}; // the upper arm's front face, to its back face
    arm.out = {-0.2, 1.40, 0.06};
    arm.inPart = arm.outPart = "right_arm";
    arm.radiusIn = 0;
    theCase.trajectories.push_back(arm);
    theCase.body.SetJoint(skeleton::Joint::RightShoulder, {0, 0, 78});
    theCase.world.body = {1.0, 0.0, 2.0, 30};
    UncertaintyModel& model = theCase.body.GetUncertaintyModel();
    model.draws = 2000;
    ASSERT_TRUE(model.SetSigma("pose", 0).ok());

    const PosedCase posedCase(theCase);
    const PosedTrajectory& posed = *posedCase.TrajectoryNumbered(1);
    ASSERT_TRUE(posedCase.IsPosed());
    ASSERT_GT(std::sqrt(Dot(Minus(posed.in, arm.in), Minus(posed.in, arm.in))), 0.05)
        << "the raised shoulder moves IN";
    // The muzzle at the posed IN's own height in the scene, and one half a metre along the back
    // line's way.
    const Vec3 back = *BackDirection(posed.sceneIn, posed.sceneOut);
    ASSERT_GT(std::fabs(back.y), 0.05);
    const double inHeight = posed.sceneIn.y;
    theCase.world.muzzleHeights = {inHeight, inHeight + std::copysign(0.5, back.y)};
    // A mark a metre beyond OUT, on the line: known exactly, so that the draws' lines are the
    // nominal one. (A hole before IN would put both heights between it and the body.)
    theCase.trajectories[0].exterior = {
        {{posed.sceneIn.x - back.x, posed.sceneIn.y - back.y, posed.sceneIn.z - back.z}, false, 0}};

    const OriginAnalysis analysis =
        AnalyseOrigins(PosedCase(theCase), nullptr, {.budgetDraws = true, .threads = 1});
    const TrajectoryOrigin& origin = analysis.trajectories[0];
    EXPECT_EQ(origin.sceneIn, posed.sceneIn);
    EXPECT_EQ(origin.sceneOut, posed.sceneOut);
    EXPECT_EQ(origin.sceneIn, theCase.world.body.Place(posed.in));
    ASSERT_EQ(origin.zones.size(), 2u);
    ASSERT_TRUE(origin.zones[0].reached);
    // The line fitted through IN, OUT and the mark is the posed line, to rounding.
    ExpectPoint(origin.zones[0].nominalPoint, posed.sceneIn);
    // Half a metre away: on the posed line going back.
    const OriginZone& away = origin.zones[1];
    ASSERT_TRUE(away.reached);
    const Vec3 off = Minus(away.nominalPoint, posed.sceneIn);
    const Vec3 across = Cross(off, back);
    EXPECT_LT(std::sqrt(Dot(across, across)), kMicrometre);
    EXPECT_NEAR(away.nominalDistance, std::hypot(off.x, off.z), kMicrometre);
    ASSERT_EQ(origin.exterior.size(), 1u);
    ASSERT_TRUE(origin.exterior[0]);
    EXPECT_NEAR(origin.exterior[0]->distance, 0, kMicrometre) << "on the posed back line";
    // Without any spread every draw is the posed track: each reaches as the zone does (the
    // draws pose through the budget's own transforms: a micrometre apart).
    ASSERT_TRUE(origin.reach);
    const HeightReach& drawn = origin.reach->heights[1];
    EXPECT_EQ(drawn.share, 1.0);
    ASSERT_TRUE(drawn.distance95);
    EXPECT_NEAR((*drawn.distance95)[0], away.nominalDistance, 1e-5);
    EXPECT_NEAR((*drawn.distance95)[1], away.nominalDistance, 1e-5);
}

TEST(OriginZonesTest, AConeWhoseFlattestLineIsLevelWithinRoundingHasNoFarEnd) {
    // Rising 1 cm over about 28 cm with 5 mm balls: the elevation equals the half-angle, so the
    // flattest line of the cone is level, whatever the last bits of the two arc sines say.
    const Vec3 in{-0.036, 0.665, 0.709}, out{0.156, 0.675, 0.499};
    const double length = std::sqrt(Dot(Minus(out, in), Minus(out, in)));
    const double halfAngle = std::asin(2 * 0.005 / length) * 180 / std::numbers::pi;
    const OriginZone zone = ComputeOriginZone(in, *BackDirection(in, out), halfAngle, 0.3);
    ASSERT_TRUE(zone.reached);
    EXPECT_FALSE(zone.maxDistance) << *zone.maxDistance;
    // A cone a hundredth of a degree narrower has its far end again.
    const OriginZone narrower =
        ComputeOriginZone(in, *BackDirection(in, out), halfAngle - 0.01, 0.3);
    ASSERT_TRUE(narrower.maxDistance);
    EXPECT_GT(*narrower.maxDistance, zone.minDistance);
}
