#include "case/Case.h"
#include "case/PosedCase.h"
#include "mesh/io/obj/ObjReader.h"
#include "world/OriginAnalysis.h"
#include "world/OriginText.h"
#include "world/SceneSurfaces.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>

namespace {

// A kneeling man shot from the next room: the bullet came through a 4 cm door, hit obliquely
// (71.6 degrees from its normal), two metres before IN, and before that through a 12 cm wall.
// The shot's line going back, b = (3, 0.5, -1) / |(3, 0.5, -1)|, rises 9 degrees.
const Vec3 kKneelingIn{0, 0.9, 0};

Vec3 BackUnit() {
    const double length = std::sqrt(3 * 3 + 0.5 * 0.5 + 1.0);
    return {3 / length, 0.5 / length, -1 / length};
}

Vec3 AlongBackLine(double s) {
    const Vec3 b = BackUnit();
    return {kKneelingIn.x + s * b.x, kKneelingIn.y + s * b.y, kKneelingIn.z + s * b.z};
}

// The door's faces, at z of the hole 2 m back and 4 cm farther; the wall's, at x of 4 m back
// and 12 cm farther; the far wall of the shooter's room at x = 6, in the same group as the holed
// wall.
double DoorZ() {
    return AlongBackLine(2.0).z;
}
double WallX() {
    return AlongBackLine(4.0).x;
}
constexpr double kDoorThickness = 0.04, kWallThickness = 0.12, kFarWallX = 6.0;

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9f", value);
    return text;
}

// A quad as two triangles, with its own four vertices from `first` (1-based).
std::string Quad(const Vec3 (&corners)[4], int first) {
    std::string text;
    for (const Vec3& c : corners) {
        text += "v " + Number(c.x) + " " + Number(c.y) + " " + Number(c.z) + "\n";
    }
    const std::string a = std::to_string(first), b = std::to_string(first + 1),
                      c = std::to_string(first + 2), d = std::to_string(first + 3);
    return text + "f " + a + " " + b + " " + c + "\nf " + a + " " + c + " " + d + "\n";
}

std::string ZFace(double z, int first) {
    return Quad({{0.5, 0, z}, {3.0, 0, z}, {3.0, 2.5, z}, {0.5, 2.5, z}}, first);
}
std::string XFace(double x, double z0, int first) {
    return Quad({{x, 0, z0}, {x, 0, 3}, {x, 2.5, 3}, {x, 2.5, z0}}, first);
}

std::unique_ptr<Mesh> TwoRooms() {
    const std::string obj =
        "usemtl door\n" + ZFace(DoorZ(), 1) + ZFace(DoorZ() - kDoorThickness, 5) + "usemtl wall\n" +
        XFace(WallX(), -3, 9) + XFace(WallX() + kWallThickness, -3, 13) + XFace(kFarWallX, -6, 17);
    ObjReadResult read = ReadObjFromMemory(
        obj, "rooms.obj", [](const std::string&) { return std::optional<std::string>(); });
    EXPECT_TRUE(read.mesh) << read.error;
    return std::move(read.mesh);
}

// The kneeling man's trajectory: OUT 25 cm on, along the line of travel; the door's hole
// recorded on its near face, the wall's on its far face (the shooter's side).
Trajectory KneelingShot() {
    Trajectory shot;
    shot.in = kKneelingIn;
    shot.out = AlongBackLine(-0.25);
    shot.exited = true;
    const double wallFar = (WallX() + kWallThickness - kKneelingIn.x) / BackUnit().x;
    shot.exterior = {{AlongBackLine(2.0), true}, {AlongBackLine(wallFar), true}};
    return shot;
}

} // namespace

TEST(BackLineTest, HolesFixTheLineTheZonesLieBeyondThemAndTheirSurfacesAreAPassage) {
    Case theCase;
    theCase.trajectories.push_back(KneelingShot());
    theCase.world.muzzleHeights = {1.2, 1.5, 1.7};
    const std::unique_ptr<Mesh> rooms = TwoRooms();
    ASSERT_TRUE(rooms);
    SceneSurfaces surfaces;
    ASSERT_TRUE(surfaces.Build(*rooms, {}).ok());

    OriginAnalysis analysis = AnalyseOrigins(PosedCase(theCase), &surfaces);
    TrajectoryOrigin origin = analysis.trajectories[0];
    ASSERT_TRUE(origin.fit && origin.hasDirection);
    EXPECT_LT(AngleBetween(origin.back, BackUnit()), 1e-6) << "oriented toward the holes";
    EXPECT_TRUE(origin.fit->onOneLine);
    ASSERT_EQ(origin.fit->misfit.size(), 4u);
    const double farthest = (WallX() + kWallThickness) / BackUnit().x;
    EXPECT_NEAR(origin.fit->holeReach, farthest, 1e-6);
    // The cone is bounded by OUT and the farthest hole, 1 cm each over 4.38 m.
    ASSERT_TRUE(origin.halfAngle);
    EXPECT_NEAR(*origin.halfAngle, std::asin(0.02 / (farthest + 0.25)) * 180 / std::numbers::pi,
                1e-6);

    // 120 cm is reached 1.92 m back, before the door's hole; 150 cm at 3.84 m, between the door
    // and the wall: no shooter stood in either place. 170 cm lies beyond the wall's hole.
    ASSERT_EQ(origin.zones.size(), 3u);
    EXPECT_TRUE(origin.zones[0].beforeHole && !origin.zones[0].reached);
    EXPECT_TRUE(origin.zones[1].beforeHole && !origin.zones[1].reached);
    const OriginZone& standing = origin.zones[2];
    ASSERT_TRUE(standing.reached);
    const double horizontal = std::hypot(BackUnit().x, BackUnit().z);
    EXPECT_NEAR(standing.nominalDistance, 0.8 / BackUnit().y * horizontal, 1e-6);
    EXPECT_GE(standing.minDistance, farthest * horizontal - 1e-9);
    // The door's far face lies 12.8 cm from its hole along the line, the wall's near face as far
    // from its: both are the holes' passages. The far wall of the shooter's room, of the same
    // group as the holed wall but 2.2 m on, is not.
    EXPECT_FALSE(standing.limitedBy);
    std::vector<Vec3> holes;
    for (const ExteriorPoint& hole : theCase.trajectories[0].exterior) {
        holes.push_back(hole.point);
    }
    const std::optional<BackLineObstacle> stop =
        surfaces.FirstAlong(origin.lineStart, origin.back, kBackLineReach, holes);
    ASSERT_TRUE(stop);
    EXPECT_EQ(stop->surface, "wall");
    EXPECT_NEAR(stop->t, kFarWallX / BackUnit().x, 1e-4);
    // Without the holes the door stops the line at its near face.
    const std::optional<BackLineObstacle> unholed =
        surfaces.FirstAlong(origin.lineStart, origin.back, kBackLineReach, {});
    ASSERT_TRUE(unholed);
    EXPECT_EQ(unholed->surface, "door");
    EXPECT_NEAR(unholed->t, 2.0, 1e-4);

    // OUT measured a centimetre off the line: the track alone turns 2.3 degrees, the line that
    // also runs through the holes far less, as their weight says.
    Trajectory& shot = theCase.trajectories[0];
    shot.out = {shot.out.x, shot.out.y + 0.01, shot.out.z};
    origin = AnalyseOrigins(PosedCase(theCase), &surfaces).trajectories[0];
    ASSERT_TRUE(origin.fit);
    EXPECT_GT(AngleBetween(*BackDirection(shot.in, shot.out), BackUnit()), 2.0);
    EXPECT_LT(AngleBetween(origin.back, BackUnit()), 0.1);
    EXPECT_TRUE(origin.fit->onOneLine);
}

TEST(BackLineTest, APointOffTheLineIsNamedWithItsMisfitInTheTable) {
    Case theCase;
    theCase.trajectories.push_back(KneelingShot());
    // A mark after OUT, a metre on, 15 cm beside the line: it cannot lie on it.
    const Vec3 on = AlongBackLine(-1.25);
    theCase.trajectories[0].exterior.push_back({{on.x, on.y, on.z + 0.15}, false, 0.02});
    const PosedCase posed(theCase);
    const OriginAnalysis analysis = AnalyseOrigins(posed);
    const TrajectoryOrigin& origin = analysis.trajectories[0];
    ASSERT_TRUE(origin.fit);
    EXPECT_FALSE(origin.fit->onOneLine);
    ASSERT_EQ(origin.fit->misfit.size(), 5u);
    EXPECT_GT(origin.fit->misfit[4], 0.10);
    EXPECT_DOUBLE_EQ(origin.fit->radius[4], 0.02);
    const std::string table = FormatOriginTable(theCase, analysis);
    char expected[96];
    std::snprintf(expected, sizeof expected, "exterior 3 lies %.1f cm off it",
                  origin.fit->misfit[4] * 100);
    EXPECT_NE(table.find("WARNING: the points do not lie on one line"), std::string::npos) << table;
    EXPECT_NE(table.find(expected), std::string::npos) << table;
}

namespace {

// A trajectory of an older file (no parts) in the group `group`.
void AddGroupShot(Case& theCase, Vec3 in, Vec3 out, const std::string& group) {
    Trajectory shot;
    shot.in = in;
    shot.out = out;
    shot.exited = true;
    shot.group = group;
    theCase.trajectories.push_back(shot);
}

// IN and an OUT 20 cm on: the line of a shot fired from `from`.
void AddShotFrom(Case& theCase, Vec3 from, Vec3 in, const std::string& group) {
    const Vec3 travel = Minus(in, from);
    const double length = std::sqrt(Dot(travel, travel));
    const Vec3 out{in.x + 0.2 * travel.x / length, in.y + 0.2 * travel.y / length,
                   in.z + 0.2 * travel.z / length};
    AddGroupShot(theCase, in, out, group);
}

} // namespace

TEST(BackLineTest, AGroupConvergesOnlyBehindItsEntries) {
    // Two shots from one muzzle 3 m in front of the body, entering 30 cm apart.
    const Vec3 muzzle{0.5, 1.5, 3.2};
    Case theCase;
    AddShotFrom(theCase, muzzle, {0.1, 1.3, 0.2}, "A");
    AddShotFrom(theCase, muzzle, {-0.2, 1.1, 0.15}, "A");
    // Two shots entering 30 cm apart whose lines draw apart going back: they cross 20 cm ahead
    // of the entries, on the side they went toward (inside the victim).
    const Vec3 ahead{0.0, 1.2, -0.05};
    AddGroupShot(theCase, {0.15, 1.2, 0.15}, ahead, "B");
    AddGroupShot(theCase, {-0.15, 1.2, 0.15}, ahead, "B");
    // Two level shots whose lines cross in plan 1.2 m behind the entries, one 60 cm above the
    // other: each misses their midpoint by 30 cm, more than its cone allows there.
    AddShotFrom(theCase, {-0.7, 1.0, 4.2}, {0.3, 1.0, 0.2}, "C");
    AddShotFrom(theCase, {0.7, 1.6, 4.2}, {-0.3, 1.6, 0.2}, "C");
    const OriginAnalysis analysis = AnalyseOrigins(PosedCase(theCase));
    ASSERT_EQ(analysis.groups.size(), 3u);

    const GroupConvergence& a = analysis.groups[0];
    ASSERT_TRUE(a.convergence) << a.refusal;
    EXPECT_NEAR(a.convergence->point.x, muzzle.x, 1e-6);
    EXPECT_NEAR(a.convergence->point.y, muzzle.y, 1e-6);
    EXPECT_NEAR(a.convergence->point.z, muzzle.z, 1e-6);
    ASSERT_TRUE(a.rays);
    EXPECT_GT(a.rays->along[0], 2.9);
    EXPECT_EQ(a.linesUsed, (std::vector<std::string>{"IN and OUT", "IN and OUT"}));

    // The whole lines meet ahead of the entries with no miss at all; the rays behind them come
    // nearest at their starts, 30 cm apart: no point.
    const GroupConvergence& b = analysis.groups[1];
    Convergence lines;
    ASSERT_TRUE(ConvergeLines({{analysis.trajectories[2].lineStart, analysis.trajectories[2].back},
                               {analysis.trajectories[3].lineStart, analysis.trajectories[3].back}},
                              lines)
                    .ok());
    EXPECT_LT(lines.point.z, 0.15) << "the lines' point lies ahead of the entries";
    EXPECT_FALSE(b.convergence);
    ASSERT_TRUE(b.rays);
    ASSERT_EQ(b.rays->gaps.size(), 1u);
    EXPECT_NEAR(b.rays->gaps[0].distance, 0.30, 1e-9);
    EXPECT_NE(b.refusal.find("do not converge behind the entries"), std::string::npos);
    const std::string table = FormatOriginTable(theCase, analysis);
    EXPECT_NE(table.find("closest distances between the rays: 3-4 30.0 cm"), std::string::npos)
        << table;
    EXPECT_NE(table.find("consistent with a shooter near 50.0 150.0 320.0 cm"), std::string::npos)
        << table;

    const GroupConvergence& c = analysis.groups[2];
    EXPECT_FALSE(c.convergence);
    ASSERT_TRUE(c.rays);
    EXPECT_NEAR(c.rays->gaps[0].distance, 0.6, 1e-9);
    EXPECT_NE(c.refusal.find("trajectory 5's ray passes 30.0 cm from the rays' nearest point, "
                             "more than the 25.0 cm"),
              std::string::npos)
        << c.refusal;
}

// The rays of a line that passed a hole start at the hole: a point between the hole and the body
// is no shooter's.
TEST(BackLineTest, RaysStartBeyondTheHoleAndTheirGapsAreThoseOfRays) {
    const BackRay fromHole{{0, 0, 0}, {0, 0, 1}, 2.0, 1.0};
    const BackRay across{{-1, 0, 1}, {1, 0, 0}, 0.0, 1.0};
    // The lines cross at z = 1, before the first ray's start at z = 2.
    EXPECT_NEAR(RayDistance(fromHole, across), 1.0, 1e-12);
    Convergence lines;
    ASSERT_TRUE(ConvergeLines(
                    {{fromHole.start, fromHole.direction}, {across.start, across.direction}}, lines)
                    .ok());
    const RayConvergence rays = ConvergeRays({fromHole, across}, lines.point);
    EXPECT_FALSE(rays.close);
    EXPECT_TRUE(rays.atStart[0]);
    // Parallel rays side by side, and ones pointing away from each other.
    EXPECT_NEAR(RayDistance({{0, 0, 0}, {0, 0, 1}, 0, {}}, {{0.3, 0, 5}, {0, 0, 1}, 0, {}}), 0.3,
                1e-12);
    EXPECT_NEAR(RayDistance({{0, 0, 0}, {1, 0, 0}, 0, {}}, {{-0.4, 0, 0}, {-1, 0, 0}, 0, {}}), 0.4,
                1e-12);
    // Skew rays whose nearest points lie on both: the common perpendicular.
    EXPECT_NEAR(RayDistance({{0, 0, 0}, {1, 0, 0}, 0, {}}, {{2, 0.5, -3}, {0, 0, 1}, 0, {}}), 0.5,
                1e-12);
}

// A track with points between IN and OUT runs back along the line fitted through all of them:
// an OUT measured 3 cm off the line that precise points inside the body fix no longer turns the
// back line by 7 degrees.
TEST(BackLineTest, ATrackWithPointsRunsBackAlongItsFittedLine) {
    Case theCase;
    Trajectory shot = KneelingShot();
    shot.exterior.clear();
    shot.out.z += 0.03;
    theCase.trajectories.push_back(shot);
    const TrajectoryOrigin without = AnalyseOrigins(PosedCase(theCase)).trajectories.at(0);
    ASSERT_TRUE(without.hasDirection);
    EXPECT_GT(AngleBetween(without.back, BackUnit()), 5);

    theCase.trajectories[0].points = {{AlongBackLine(-0.08), 0.001, ""},
                                      {AlongBackLine(-0.16), 0.001, ""}};
    const PosedCase posed(theCase);
    const TrajectoryOrigin with = AnalyseOrigins(posed).trajectories.at(0);
    ASSERT_TRUE(with.hasDirection);
    const Vec3 fitted = posed.TrajectoryNumbered(1)->posedLine->direction;
    EXPECT_GT(AngleBetween(with.back, fitted), 180 - 1e-6);
    EXPECT_LT(AngleBetween(with.back, BackUnit()), 1);
    EXPECT_LT(std::hypot(with.lineStart.x - kKneelingIn.x, with.lineStart.y - kKneelingIn.y,
                         with.lineStart.z - kKneelingIn.z),
              0.002);
    // The posed points themselves stay as the case holds them.
    EXPECT_EQ(with.sceneOut.z, theCase.trajectories[0].out.z);
}
