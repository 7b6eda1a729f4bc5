#include "budget/UncertaintyBudget.h"
#include "case/Case.h"
#include "case/EntryNumber.h"
#include "case/PosedCase.h"
#include "mesh/io/obj/ObjReader.h"
#include "world/OriginAnalysis.h"
#include "world/OriginText.h"
#include "world/SceneSurfaces.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

// Few draws keep the sanitizer run short; two blocks of the budget's draws need more than 4096.
constexpr int kDraws = 2000;

void AddShot(Case& theCase, Vec3 in, Vec3 out, double radius) {
    ASSERT_TRUE(Trajectory::IsRadius(radius));
    Trajectory trajectory;
    trajectory.in = in;
    trajectory.out = out;
    trajectory.exited = true;
    trajectory.radiusIn = radius;
    theCase.trajectories.push_back(trajectory);
}

void SetModel(Case& theCase, int draws, double tissue, double heading, double placement) {
    UncertaintyModel& model = theCase.body.GetUncertaintyModel();
    ASSERT_TRUE(model.SetDraws(draws).ok());
    ASSERT_TRUE(model.SetSigma("tissue", tissue).ok());
    ASSERT_TRUE(model.SetSigma("heading", heading).ok());
    ASSERT_TRUE(model.SetSigma("placement", placement).ok());
}

OriginAnalysis WithDraws(const Case& theCase, int threads = 0,
                         const SceneSurfaces* surfaces = nullptr) {
    return AnalyseOrigins(PosedCase(theCase), surfaces, {.budgetDraws = true, .threads = threads});
}

std::optional<UncertaintyBudget> BudgetOf(const Case& theCase, int number, int threads) {
    return ComputeUncertaintyBudget(PosedCase(theCase), number, threads);
}

// A copy, so that it outlives an analysis made for the call.
OriginReach ReachOf(const OriginAnalysis& analysis, int number) {
    const std::optional<OriginReach>& reach = analysis.trajectories[IndexOfNumber(number)].reach;
    EXPECT_TRUE(reach) << "trajectory " << number;
    return reach.value_or(OriginReach());
}

double Width(const HeightReach& height) {
    return height.distance95 ? (*height.distance95)[1] - (*height.distance95)[0] : 0;
}

// Rising toward OUT by 0.1 m over 0.3 m: going back it falls, to the kneeling height 5 cm below
// IN and to the prone one, never to the standing one above.
constexpr Vec3 kRisingIn{0, 1.05, 0.3}, kRisingOut{0, 1.15, 0};

} // namespace

TEST(OriginDrawsTest, WithoutSpreadsEveryDrawReachesAsTheNominalZoneDoesAndAtItsDistance) {
    Case theCase;
    SetModel(theCase, kDraws, 0, 0, 0);
    theCase.world.body = {1.0, 0.05, 2.0, 30};
    AddShot(theCase, kRisingIn, kRisingOut, 0);
    AddShot(theCase, {0.1, 1.2, 0.25}, {0.1, 1.0, 0.05}, 0); // falling: reaches standing only
    AddShot(theCase, {0, 1.2, 0.3}, {0, 1.2, 0.05}, 0);      // level: reaches none
    EXPECT_FALSE(AnalyseOrigins(PosedCase(theCase)).trajectories[0].reach)
        << "draws only when asked for";

    const OriginAnalysis analysis = WithDraws(theCase);
    for (const TrajectoryOrigin& origin : analysis.trajectories) {
        const OriginReach reach = ReachOf(analysis, origin.number);
        EXPECT_EQ(reach.draws, kDraws);
        ASSERT_EQ(reach.heights.size(), origin.zones.size());
        for (size_t z = 0; z < origin.zones.size(); ++z) {
            const OriginZone& zone = origin.zones[z];
            const HeightReach& height = reach.heights[z];
            EXPECT_EQ(height.height, zone.height);
            EXPECT_EQ(height.share, zone.reached ? 1.0 : 0.0) << origin.number << " " << z;
            ASSERT_EQ(height.distance95.has_value(), zone.reached);
            if (zone.reached) {
                // The draws pose through the budget's own transforms: a micrometre apart.
                EXPECT_NEAR((*height.distance95)[0], zone.nominalDistance, 1e-5);
                EXPECT_NEAR((*height.distance95)[1], zone.nominalDistance, 1e-5);
            }
        }
    }
    EXPECT_EQ(ReachOf(analysis, 1).heights[2].share, 1.0);
    EXPECT_EQ(ReachOf(analysis, 2).heights[0].share, 1.0);

    // Without muzzle heights nothing is drawn.
    theCase.world.muzzleHeights.clear();
    EXPECT_FALSE(WithDraws(theCase).trajectories[0].reach);
}

TEST(OriginDrawsTest, ADrawCountsOnlyBeforeTheSurfaceTheNominalBackLineMeets) {
    Case theCase;
    SetModel(theCase, kDraws, 0, 0, 0);
    // IN at z = 1.3; the wall at z = 3, 1.7 m behind it: the kneeling height is reached 0.15 m
    // back, the prone one only behind the wall, at 2.25 m.
    AddShot(theCase, {0, 1.05, 1.3}, {0, 1.15, 1.0}, 0);
    ObjReadResult read = ReadObjFromMemory(
        "v -5 -5 3\nv 5 -5 3\nv 5 5 3\nv -5 5 3\nusemtl north_wall\nf 1 2 3\nf 1 3 4\n", "room.obj",
        [](const std::string&) { return std::optional<std::string>(); });
    ASSERT_TRUE(read.mesh) << read.error;
    SceneSurfaces surfaces;
    ASSERT_TRUE(surfaces.Build(*read.mesh, {}).ok());

    const OriginReach reach = ReachOf(WithDraws(theCase, 0, &surfaces), 1);
    EXPECT_EQ(reach.heights[1].share, 1.0);
    EXPECT_EQ(reach.heights[2].share, 0.0);
    EXPECT_FALSE(reach.heights[2].distance95);
    // A hole where the line passes the wall: the bullet came through, the draws count again.
    theCase.trajectories[0].exterior = {{{0, 1.05 - 1.7 / 3, 3.0}, true}};
    EXPECT_EQ(ReachOf(WithDraws(theCase, 0, &surfaces), 1).heights[2].share, 1.0);
}

TEST(OriginDrawsTest, HeadingAndPlacementMoveTheDrawsInTheSceneButNotTheBodyFrameBudget) {
    Case theCase;
    SetModel(theCase, kDraws, 0.003, 0, 0);
    // 20 cm beside the body's vertical axis, about which the heading turns it: a turn moves the
    // back line's points toward or away from IN as well as sideways.
    AddShot(theCase, {0.2, 1.05, 0.3}, {0.2, 1.15, 0}, 0.01);
    const std::optional<UncertaintyBudget> still = BudgetOf(theCase, 1, 1);
    const OriginReach fixed = ReachOf(WithDraws(theCase, 1), 1);
    ASSERT_TRUE(still);
    ASSERT_EQ(fixed.heights[1].share, 1.0) << "every draw's IN lies above the kneeling height";

    SetModel(theCase, kDraws, 0.003, 20, 0);
    const OriginReach turned = ReachOf(WithDraws(theCase, 1), 1);
    // Turning the body about +Y keeps every draw's elevation, so the same draws reach each
    // height; their points at the prone height spread wider.
    for (size_t h = 0; h < 3; ++h) {
        EXPECT_EQ(turned.heights[h].share, fixed.heights[h].share) << h;
    }
    EXPECT_GT(Width(turned.heights[2]), Width(fixed.heights[2]) + 0.02);

    SetModel(theCase, kDraws, 0.003, 20, 0.05);
    const OriginReach moved = ReachOf(WithDraws(theCase, 1), 1);
    // A body 5 cm lower (one sigma) puts IN below the kneeling height: about 84 % still reach it.
    EXPECT_GT(moved.heights[1].share, 0.75);
    EXPECT_LT(moved.heights[1].share, 0.92);

    // The body-frame budget is what it was, to the last bit.
    const std::optional<UncertaintyBudget> placed = BudgetOf(theCase, 1, 1);
    ASSERT_TRUE(placed);
    EXPECT_EQ(placed->directionInterval, still->directionInterval);
    EXPECT_EQ(placed->elevationInterval, still->elevationInterval);
    EXPECT_EQ(placed->cone95, still->cone95);
    ASSERT_EQ(placed->sources.size(), still->sources.size());
    for (size_t s = 0; s < placed->sources.size(); ++s) {
        EXPECT_EQ(placed->sources[s].source, still->sources[s].source);
        EXPECT_EQ(placed->sources[s].cone95, still->sources[s].cone95);
    }
}

TEST(OriginDrawsTest, TheFiguresAreTheSameOnOneThreadOrTwoAndWhateverTheOtherTrajectories) {
    const auto build = [](Case& theCase, bool another) {
        SetModel(theCase, 5000, 0.004, 3, 0.02); // two blocks of the budget's draws
        theCase.world.body = {0.5, 0, -1, 45};
        if (another) {
            AddShot(theCase, {0.1, 1.2, 0.25}, {0.1, 1.0, 0.05}, 0.02);
        }
        AddShot(theCase, kRisingIn, kRisingOut, 0.01);
    };
    Case alone, second;
    build(alone, false);
    build(second, true);
    const OriginReach one = ReachOf(WithDraws(alone, 1), 1);
    const OriginReach two = ReachOf(WithDraws(alone, 2), 1);
    const OriginReach after = ReachOf(WithDraws(second, 2), 2);
    for (size_t h = 0; h < 3; ++h) {
        EXPECT_EQ(one.heights[h].share, two.heights[h].share);
        EXPECT_EQ(one.heights[h].distance95, two.heights[h].distance95);
        EXPECT_EQ(one.heights[h].share, after.heights[h].share);
        EXPECT_EQ(one.heights[h].distance95, after.heights[h].distance95);
    }
    EXPECT_GT(one.heights[2].share, 0);
}

TEST(OriginDrawsTest, ANearlyLevelShotIsReachedByOnlySomeOfTheDraws) {
    Case theCase;
    SetModel(theCase, kDraws, 0, 0, 0);
    // Rising 1 cm over 30 cm toward OUT (1.9 degrees) with a cone of 3.8: some draws fall going
    // back, the others rise, toward the standing height the nominal line never reaches.
    AddShot(theCase, {0, 1.2, 0.3}, {0, 1.21, 0}, 0.01);
    const OriginAnalysis analysis = WithDraws(theCase);
    const TrajectoryOrigin& origin = analysis.trajectories[0];
    const OriginReach reach = ReachOf(analysis, 1);
    const HeightReach& standing = reach.heights[0];
    const HeightReach& kneeling = reach.heights[1];
    const HeightReach& prone = reach.heights[2];
    EXPECT_FALSE(origin.zones[0].reached);
    EXPECT_GT(prone.share, 0.5);
    EXPECT_LT(prone.share, 1.0);
    EXPECT_GT(standing.share, 0.0);
    // A draw going back downward reaches both lower heights; one going upward the standing one.
    EXPECT_EQ(kneeling.share, prone.share);
    EXPECT_DOUBLE_EQ(standing.share + prone.share, 1.0);
    ASSERT_TRUE(prone.distance95);
    EXPECT_LT((*prone.distance95)[0], origin.zones[2].nominalDistance);
    EXPECT_GT((*prone.distance95)[1], origin.zones[2].nominalDistance);
}

TEST(OriginDrawsTest, AShareSaysAllOrNoneOnlyWhenItIs) {
    EXPECT_EQ(ReachShareText(1.0), "100 %");
    EXPECT_EQ(ReachShareText(0.0), "0 %");
    EXPECT_EQ(ReachShareText(0.99996), "> 99.9 %");
    EXPECT_EQ(ReachShareText(0.00004), "< 0.1 %");
    EXPECT_EQ(ReachShareText(0.62345), "62.3 %");
}

TEST(OriginDrawsTest, AHeightAtTheWoundsLevelIsUnboundedAndAFewDrawsGiveNoInterval) {
    Case theCase;
    SetModel(theCase, kDraws, 0, 0, 0);
    theCase.world.muzzleHeights = {1.2, 1.5, 1.0};
    AddShot(theCase, {0, 1.2, 0.3}, {0, 1.2, 0}, 0.01);    // level, IN at 120 cm
    AddShot(theCase, {0, 1.2, 0.3}, {0, 1.0, 0.1}, 0.005); // steep, IN at 120 cm
    AddShot(theCase, {0, 1.2, 0.3}, {0, 1.214, 0}, 0.01);  // rising 1.4 cm over 30
    const OriginAnalysis analysis = WithDraws(theCase);

    // Level: the cone reaches the horizontal, so neither the zone nor the draws at its own
    // height have a far end; about a quarter of the draws reach it (IN above it and going
    // back downward, or below it and going back upward: the ball moves both the other way).
    const TrajectoryOrigin& level = analysis.trajectories[0];
    ASSERT_TRUE(level.zones[0].reached);
    EXPECT_EQ(level.zones[0].minDistance, 0.0);
    EXPECT_FALSE(level.zones[0].maxDistance);
    const OriginReach levelReach = ReachOf(analysis, 1);
    const HeightReach& atLevel = levelReach.heights[0];
    EXPECT_GT(atLevel.share, 0.15);
    EXPECT_LT(atLevel.share, 0.6);
    ASSERT_TRUE(atLevel.distance95);
    EXPECT_TRUE(atLevel.unbounded);
    // Steep: every line of the cone leaves the height at IN, which stays the whole zone.
    const TrajectoryOrigin& steep = analysis.trajectories[1];
    ASSERT_TRUE(steep.zones[0].maxDistance);
    EXPECT_EQ(*steep.zones[0].maxDistance, 0.0);
    EXPECT_FALSE(ReachOf(analysis, 2).heights[2].unbounded);

    // Rising: a handful of draws fall going back to the standing height, too few for an
    // interval; the rest reach the lower one, whose interval keeps its far end (fewer than
    // 2.5 % of the elevations lie across the horizontal).
    const OriginReach rising = ReachOf(analysis, 3);
    const HeightReach& few = rising.heights[1];
    EXPECT_GT(few.reaching, 0);
    EXPECT_LT(few.reaching, kFewestReachingDraws);
    EXPECT_FALSE(few.distance95);
    EXPECT_DOUBLE_EQ(few.share, few.reaching / double(kDraws));
    ASSERT_TRUE(rising.heights[2].distance95);
    EXPECT_FALSE(rising.heights[2].unbounded);

    const std::string table = FormatOriginTable(theCase, analysis);
    EXPECT_NE(table.find("0.0       0.0 - unbounded"), std::string::npos) << table;
    EXPECT_NE(table.find(" - unbounded"), std::string::npos);
    EXPECT_NE(table.find("too few draws for an interval (" + std::to_string(few.reaching) +
                         " of 40 needed)"),
              std::string::npos)
        << table;
}
