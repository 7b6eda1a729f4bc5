#include "budget/UncertaintyBudget.h"
#include "base/WeightedLineFit.h"
#include "case/Case.h"
#include "case/PosedCase.h"
#include "case/TrajectoryCourse.h"
#include "casefile/DataFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <numbers>
#include <random>

namespace {

// The budget of the case as it stands now.
std::optional<UncertaintyBudget> BudgetOf(const Case& theCase, int number, int threads = 0) {
    return ComputeUncertaintyBudget(PosedCase(theCase), number, threads);
}

Trajectory Track(Vec3 in, Vec3 out, const std::string& part) {
    Trajectory trajectory;
    trajectory.exited = true;
    trajectory.in = in;
    trajectory.out = out;
    trajectory.inPart = trajectory.outPart = part;
    return trajectory;
}

// An independent simulation of IN and OUT each uniform in its ball, written from the definitions
// (bearing 0 toward -Z and 90 toward +X; elevation up from the horizontal): the budget must agree.
struct Simulated {
    double directionLow, directionHigh, elevationLow, elevationHigh, cone95;
};

Simulated Simulate(const Vec3& in, const Vec3& out, double r, int n) {
    std::mt19937 random(12345);
    std::uniform_real_distribution<double> unit(-1, 1);
    const auto ball = [&] {
        while (true) {
            const double x = unit(random), y = unit(random), z = unit(random);
            if (x * x + y * y + z * z <= 1) {
                return Vec3{x * r, y * r, z * r};
            }
        }
    };
    const auto bearing = [](const Vec3& d) {
        const double b = std::atan2(d.x, -d.z) * 180 / std::numbers::pi;
        return b < 0 ? b + 360 : b;
    };
    const Vec3 nominal = {out.x - in.x, out.y - in.y, out.z - in.z};
    const double nominalBearing = bearing(nominal);
    std::vector<double> deviation, elevation, cone;
    for (int i = 0; i < n; ++i) {
        const Vec3 a = ball(), b = ball();
        const Vec3 d = {nominal.x + b.x - a.x, nominal.y + b.y - a.y, nominal.z + b.z - a.z};
        double dev = bearing(d) - nominalBearing;
        dev = dev > 180 ? dev - 360 : dev < -180 ? dev + 360 : dev;
        deviation.push_back(dev);
        elevation.push_back(std::atan2(d.y, std::hypot(d.x, d.z)) * 180 / std::numbers::pi);
        const double c =
            (d.x * nominal.x + d.y * nominal.y + d.z * nominal.z) /
            (std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z) *
             std::sqrt(nominal.x * nominal.x + nominal.y * nominal.y + nominal.z * nominal.z));
        cone.push_back(std::acos(std::clamp(c, -1.0, 1.0)) * 180 / std::numbers::pi);
    }
    const auto quantile = [](std::vector<double> v, double q) {
        std::sort(v.begin(), v.end());
        return v[static_cast<size_t>(q * (v.size() - 1))];
    };
    return {nominalBearing + quantile(deviation, 0.025),
            nominalBearing + quantile(deviation, 0.975), quantile(elevation, 0.025),
            quantile(elevation, 0.975), quantile(cone, 0.95)};
}

class BudgetWithBody : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        shared = std::make_unique<Case>();
        ASSERT_TRUE(shared->body.Load(RUVO_SOURCE_DIR "/data/default/man1.obj").ok());
    }
    static void TearDownTestSuite() { shared.reset(); }
    static std::unique_ptr<Case> shared;
};
std::unique_ptr<Case> BudgetWithBody::shared;

} // namespace

TEST(UncertaintyBudgetTest, PointsAloneAgreeWithAnIndependentSimulation) {
    Case theCase;
    const Vec3 in = {0.02, 1.25, 0.24}, out = {0.07, 1.17, 0.03};
    theCase.trajectories.push_back(Track(in, out, "trunk"));
    Trajectory& t = theCase.trajectories.back();
    t.radiusIn = 0.01;
    theCase.body.GetUncertaintyModel().draws = 200000;
    const std::optional<UncertaintyBudget> budget = BudgetOf(theCase, 1);
    ASSERT_TRUE(budget.has_value());
    const Simulated expected = Simulate(in, out, 0.01, 200000);
    EXPECT_NEAR(budget->directionInterval[0], expected.directionLow, 0.1);
    EXPECT_NEAR(budget->directionInterval[1], expected.directionHigh, 0.1);
    EXPECT_NEAR(budget->elevationInterval[0], expected.elevationLow, 0.1);
    EXPECT_NEAR(budget->elevationInterval[1], expected.elevationHigh, 0.1);
    EXPECT_NEAR(budget->cone95, expected.cone95, 0.1);
    EXPECT_GT(budget->cone95, 1.0); // a spread worth measuring
    ASSERT_EQ(budget->sources.size(), 1u);
    EXPECT_EQ(budget->sources[0].source, "IN and OUT");
    // Standing, the anatomical angles are the posed ones, with the same spread.
    EXPECT_NEAR(budget->anatomical.directionInterval[0], budget->directionInterval[0], 1e-9);
    EXPECT_NEAR(budget->anatomical.elevationInterval[1], budget->elevationInterval[1], 1e-9);

    // With no radius the intervals close on the nominal angles. What follows needs no such
    // precision: a few draws.
    theCase.body.GetUncertaintyModel().draws = 2000;
    t.radiusIn = 0;
    const UncertaintyBudget exact = *BudgetOf(theCase, 1);
    EXPECT_NEAR(exact.directionInterval[0], exact.direction, 1e-9);
    EXPECT_NEAR(exact.directionInterval[1], exact.direction, 1e-9);
    EXPECT_NEAR(exact.elevationInterval[0], exact.elevation, 1e-9);
    EXPECT_NEAR(exact.elevationInterval[1], exact.elevation, 1e-9);
    EXPECT_NEAR(exact.cone95, 0, 1e-6);
    // OUT's own ball widens the budget.
    t.radiusOut = 0.02;
    EXPECT_GT(BudgetOf(theCase, 1)->cone95, 1.0);
    // A track without length has no direction.
    t.in = t.out = {0, 1, 0};
    EXPECT_FALSE(BudgetOf(theCase, 1).has_value());
}

TEST_F(BudgetWithBody, AnArmsSpreadMovesOnlyTheTracksTheArmCarries) {
    Case theCase = *shared;
    theCase.trajectories = {Track({0.05, 1.40, 0.26}, {0.05, 1.38, 0.03}, "trunk"),
                            Track({-0.27, 0.95, 0.13}, {-0.21, 0.95, 0.10}, "right_forearm")};
    // The elbow a little bent: the body is posed, so the anatomical angles have figures of their
    // own.
    theCase.body.SetJoint(skeleton::Joint::RightElbow, {0, 10, 0});
    UncertaintyModel& model = theCase.body.GetUncertaintyModel();
    model = UncertaintyModel();
    model.draws = 20000;
    ASSERT_TRUE(model.SetSigma("tissue", 0.005).ok());
    const UncertaintyBudget chestBefore = *BudgetOf(theCase, 1);
    const UncertaintyBudget armBefore = *BudgetOf(theCase, 2);
    ASSERT_TRUE(model.SetSigma("right_elbow", 10).ok());
    ASSERT_TRUE(model.SetSigma("right_shoulder", 8).ok());
    const UncertaintyBudget chestAfter = *BudgetOf(theCase, 1);
    const UncertaintyBudget armAfter = *BudgetOf(theCase, 2);
    EXPECT_EQ(chestAfter.Statement(), chestBefore.Statement());
    EXPECT_EQ(chestAfter.cone95, chestBefore.cone95);
    EXPECT_GT(armAfter.cone95, armBefore.cone95 + 2);
    EXPECT_EQ(armAfter.sources.front().source, "posture of the right arm");
    EXPECT_NE(armAfter.Statement().find("; largest source: posture of the right arm"),
              std::string::npos);
    // The posture's spread belongs to the posed angles only: the measured points' do not feel it
    // (the same spread, from other random numbers).
    for (int end = 0; end < 2; ++end) {
        EXPECT_NEAR(armAfter.anatomical.directionInterval[end],
                    armBefore.anatomical.directionInterval[end], 1.0);
        EXPECT_NEAR(armAfter.anatomical.elevationInterval[end],
                    armBefore.anatomical.elevationInterval[end], 1.0);
    }

    // The same figures on one core as on two, to the last digit.
    const UncertaintyBudget one = *BudgetOf(theCase, 2, 1);
    const UncertaintyBudget two = *BudgetOf(theCase, 2, 2);
    EXPECT_EQ(one.directionInterval, two.directionInterval);
    EXPECT_EQ(one.elevationInterval, two.elevationInterval);
    EXPECT_EQ(one.cone95, two.cone95);
    EXPECT_EQ(one.sources.front().cone95, two.sources.front().cone95);
}

TEST_F(BudgetWithBody, EachIntervalSurroundsItsOwnAngleWhenTheArmIsPosed) {
    // An arm track with the shoulder abducted: its posed and anatomical angles differ by tens of
    // degrees, and each 95 % interval lies about its own.
    Case theCase = *shared;
    theCase.trajectories = {Track({-0.22, 1.45, 0.12}, {-0.22, 1.35, 0.10}, "right_arm")};
    theCase.trajectories[0].radiusIn = 0.005;
    theCase.body.SetJoint(skeleton::Joint::RightShoulder, {0, 0, 78});
    UncertaintyModel& model = theCase.body.GetUncertaintyModel();
    model.draws = 4000;
    ASSERT_TRUE(model.SetSigma("pose", 3).ok());
    const PosedCase posed(theCase);
    const UncertaintyBudget budget = *ComputeUncertaintyBudget(posed, 1);
    const PosedTrajectory& track = posed.GetTrajectories()[0];
    EXPECT_GT(std::fabs(track.posed.elevation - track.anatomical.elevation), 20);
    EXPECT_EQ(budget.elevation, track.posed.elevation);
    EXPECT_EQ(budget.anatomical.elevation, track.anatomical.elevation);
    for (const AngleIntervals& angles : {budget.Posed(), budget.anatomical}) {
        EXPECT_LT(angles.elevationInterval[0], angles.elevation);
        EXPECT_GT(angles.elevationInterval[1], angles.elevation);
        // Bearings: the nominal lies between the ends, going clockwise from the low one.
        const double span = WrapBearing(angles.directionInterval[1] - angles.directionInterval[0]);
        EXPECT_LT(WrapBearing(angles.direction - angles.directionInterval[0]), span);
    }
    // The posture widens the posed interval, not the anatomical one.
    EXPECT_GT(budget.elevationInterval[1] - budget.elevationInterval[0],
              budget.anatomical.elevationInterval[1] - budget.anatomical.elevationInterval[0]);
}

TEST(UncertaintyBudgetTest, SourcesRoundTripAndBadFiguresAreRefusedByName) {
    Case theCase;
    theCase.body.SetHeight(1.8);
    UncertaintyModel& model = theCase.body.GetUncertaintyModel();
    ASSERT_TRUE(model.SetSigma("pose", 5).ok());
    ASSERT_TRUE(model.SetSigma("left_knee", 12.5).ok());
    ASSERT_TRUE(model.SetSigma("tissue", 0.01).ok());
    ASSERT_TRUE(model.SetDraws(50000).ok());
    Trajectory t;
    t.exited = true;
    t.radiusOut = 0.025;
    theCase.trajectories.push_back(t);
    const std::string text = DataFile::Format(theCase);
    EXPECT_NE(text.find("   <sigma>pose 5.00</sigma>\r\n   <sigma>left_knee 12.50</sigma>\r\n"
                        "   <sigma>tissue 0.0100</sigma>\r\n   <draws>50000</draws>\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("  <uncertaintyout>0.0250</uncertaintyout>\r\n"), std::string::npos);
    Case reopened;
    EXPECT_TRUE(DataFile::ReadText(reopened, text).ReadingNotes().empty());
    EXPECT_EQ(reopened.body.GetUncertaintyModel(), model);
    EXPECT_DOUBLE_EQ(reopened.trajectories.at(0).RadiusOut(), 0.025);
    EXPECT_EQ(DataFile::Format(reopened), text);

    // A case without these lines is written as before: none of them appears.
    EXPECT_EQ(DataFile::Format(Case()).find("<sigma>"), std::string::npos);

    const DataFileReadResult bad = DataFile::ReadText(
        reopened, "<root><body>\r\n<height>1.8</height>\r\n<sigma>pose -1</sigma>\r\n<sigma>tissue "
                  "-0.5</sigma>\r\n"
                  "<sigma>elbow 3</sigma>\r\n<sigma>heading 1e9</sigma>\r\n<draws>12.5</draws>\r\n"
                  "</body></root>\r\n");
    const std::vector<std::string> notes = bad.ReadingNotes();
    ASSERT_EQ(notes.size(), 5u);
    EXPECT_NE(notes[0].find("sigma of pose (-1.0000) must lie within 0 and 90 degrees"),
              std::string::npos);
    EXPECT_NE(notes[1].find("sigma of tissue (-0.5000) must lie within 0 and 1 m"),
              std::string::npos);
    EXPECT_NE(notes[2].find("There is no sigma named \"elbow\""), std::string::npos);
    EXPECT_NE(notes[3].find("sigma of heading"), std::string::npos);
    EXPECT_NE(notes[4].find("number of draws (12.50) must be a whole number"), std::string::npos);
    EXPECT_TRUE(reopened.body.GetUncertaintyModel().IsDefault());
}

TEST(UncertaintyBudgetTest, ADirectionIsUndeterminedWhereEitherConeReachesTheVertical) {
    Case theCase;
    theCase.body.GetUncertaintyModel().draws = 2000;
    // Straight down 20 cm, a 1 cm ball: the ball cone (5.7 degrees) reaches the vertical.
    theCase.trajectories.push_back(Track({0, 1.3, 0.1}, {0, 1.1, 0.1}, "trunk"));
    theCase.trajectories.back().radiusIn = 0.01;
    // Level, the same ball: its direction is well determined.
    theCase.trajectories.push_back(Track({0.1, 1.2, 0.2}, {0.1, 1.2, -0.1}, "trunk"));
    theCase.trajectories.back().radiusIn = 0.01;
    // IN and OUT 1.5 cm apart within 1 cm balls: no cone at all.
    theCase.trajectories.push_back(Track({0, 1.0, 0.1}, {0, 1.0, 0.085}, "trunk"));
    theCase.trajectories.back().radiusIn = 0.01;
    const PosedCase posed(theCase);

    const UncertaintyBudget vertical = *ComputeUncertaintyBudget(posed, 1);
    EXPECT_TRUE(DescribeTrajectory(theCase.trajectories[0]).uncertainty.directionUnbounded);
    EXPECT_FALSE(vertical.directionDetermined);
    EXPECT_FALSE(vertical.anatomical.directionDetermined);
    EXPECT_EQ(vertical.Statement().rfind("direction 0.0\u00B0 (undetermined), elevation ", 0), 0u)
        << vertical.Statement();
    EXPECT_LT(vertical.elevationInterval[0], -80.0) << "the elevation stays stated";

    const UncertaintyBudget level = *ComputeUncertaintyBudget(posed, 2);
    EXPECT_TRUE(level.directionDetermined);
    EXPECT_NE(level.Statement().find("direction 0.0\u00B0 (95 %: "), std::string::npos);

    EXPECT_FALSE(DescribeTrajectory(theCase.trajectories[2]).uncertainty.coneHalfAngle);
    EXPECT_FALSE(ComputeUncertaintyBudget(posed, 3)->directionDetermined);

    // Without a ball the vertical track's cones are points: both say 0.0 to 0.0.
    theCase.trajectories[0].radiusIn = 0;
    EXPECT_FALSE(DescribeTrajectory(theCase.trajectories[0]).uncertainty.directionUnbounded);
    EXPECT_TRUE(ComputeUncertaintyBudget(PosedCase(theCase), 1)->directionDetermined);
    // The rule itself, at its edge.
    EXPECT_TRUE(DirectionUndetermined(std::nullopt, 0));
    EXPECT_TRUE(DirectionUndetermined(10, 80));
    EXPECT_FALSE(DirectionUndetermined(9.9, 80));
    EXPECT_TRUE(DirectionUndetermined(9.9, -80.2));
}

TEST(UncertaintyBudgetTest, DrawsAreBoundedTheUserIsToldAndARunCanBeStopped) {
    Case theCase;
    const DataFileReadResult read = DataFile::ReadText(
        theCase, "<root><body>\r\n<height>1.8</height>\r\n<draws>10000000</draws>\r\n</body>"
                 "</root>\r\n");
    const std::vector<std::string> notes = read.ReadingNotes();
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_NE(notes[0].find("draws limited to 100000"), std::string::npos) << notes[0];
    UncertaintyModel& model = theCase.body.GetUncertaintyModel();
    EXPECT_EQ(model.draws, UncertaintyModel::kMostDraws);
    // Within the bound nothing is said; a fraction or too few are still left out.
    EXPECT_TRUE(DataFile::ReadText(
                    theCase,
                    "<root><body>\r\n<height>1.8</height>\r\n<draws>100000</draws>\r\n</body>"
                    "</root>\r\n")
                    .ReadingNotes()
                    .empty());
    EXPECT_FALSE(model.SetDraws(2e5 + 0.5).ok());
    EXPECT_FALSE(model.SetDraws(999).ok());
    // However the model was set, the budget draws within the bound.
    model.draws = 50000000;
    EXPECT_EQ(model.DrawCount(), UncertaintyModel::kMostDraws);
    model.draws = 5000;
    theCase.trajectories.push_back(Track({0.02, 1.25, 0.24}, {0.07, 1.17, 0.03}, "trunk"));

    // The tracks come block by block, each draw once; the progress ends at the whole.
    std::vector<int> seen(5000);
    std::vector<double> shares;
    BudgetRunHooks hooks;
    hooks.eachBlock = [&seen](int first, std::span<const DrawnTrack> tracks) {
        for (size_t i = 0; i < tracks.size(); ++i) {
            ++seen[size_t(first) + i]; // blocks share no draw, so no two threads meet here
        }
    };
    hooks.progress = [&shares](double share) { shares.push_back(share); };
    const std::optional<UncertaintyBudget> whole =
        ComputeUncertaintyBudget(PosedCase(theCase), 1, 2, hooks);
    ASSERT_TRUE(whole);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 1), 5000);
    ASSERT_FALSE(shares.empty());
    EXPECT_TRUE(std::is_sorted(shares.begin(), shares.end()));
    EXPECT_DOUBLE_EQ(shares.back(), 1.0);
    EXPECT_EQ(whole->Statement(), BudgetOf(theCase, 1)->Statement()) << "the hooks change nothing";

    std::atomic<int> asked = 0;
    hooks.cancelled = [&asked] { return ++asked > 1; };
    EXPECT_FALSE(ComputeUncertaintyBudget(PosedCase(theCase), 1, 2, hooks));
}

// A track with points between IN and OUT draws every stop in its ball and fits the line through
// them: precise points pin the line that loose IN and OUT balls leave wide, and the nominal
// angles are the fitted line's, not those from IN to OUT.
TEST(UncertaintyBudgetTest, ATrackWithPointsDrawsEveryStopAndFitsItsLine) {
    Case theCase;
    const Vec3 in = {0.02, 1.25, 0.24}, out = {0.07, 1.17, 0.03};
    theCase.trajectories.push_back(Track(in, out, "trunk"));
    Trajectory& t = theCase.trajectories.back();
    t.radiusIn = 0.02;
    theCase.body.GetUncertaintyModel().draws = 20000;
    const double loose = BudgetOf(theCase, 1)->cone95;
    EXPECT_GT(loose, 5.0);
    EXPECT_EQ(UncertaintyBudgetConvention(theCase).find("point between"), std::string::npos);

    const Vec3 d = Minus(out, in);
    const auto at = [&](double k, double sideways) {
        return Vec3{in.x + k * d.x + sideways, in.y + k * d.y, in.z + k * d.z};
    };
    for (const double k : {0.25, 0.5, 0.75}) {
        t.points.push_back({at(k, 0), 0, "trunk"});
    }
    const UncertaintyBudget pinned = *BudgetOf(theCase, 1);
    EXPECT_NE(UncertaintyBudgetConvention(theCase).find("each point between them in its own"),
              std::string::npos);
    EXPECT_LT(pinned.cone95, loose / 5);
    EXPECT_NEAR(pinned.direction, Bearing(in, out), 1e-6);
    EXPECT_LE(pinned.elevationInterval[0], pinned.elevation);
    EXPECT_GE(pinned.elevationInterval[1], pinned.elevation);

    // Points ever farther to the body's left of IN-OUT (0, 2 and 4 cm) turn the line; the
    // budget is about that line.
    for (std::size_t k = 0; k < t.points.size(); ++k) {
        t.points[k].point = at(0.25 * double(k + 1), 0.02 * double(k));
    }
    const PosedCase posed(theCase);
    const UncertaintyBudget turned = *ComputeUncertaintyBudget(posed, 1);
    EXPECT_NEAR(turned.direction, posed.TrajectoryNumbered(1)->posed.direction, 1e-9);
    EXPECT_GT(std::fabs(turned.direction - Bearing(in, out)), 1.0);
    const double low = turned.directionInterval[0], high = turned.directionInterval[1];
    EXPECT_TRUE(low <= turned.direction && turned.direction <= high) << low << " " << high;
    // The draws' tracks run along the fitted lines: their mean direction is the nominal one.
    const std::vector<DrawnTrack> drawn = DrawPosedTracks(posed, 1, 2000);
    Vec3 sum;
    for (const DrawnTrack& track : drawn) {
        const Vec3 step = Minus(track.out, track.in);
        const double length = std::sqrt(Dot(step, step));
        sum = {sum.x + step.x / length, sum.y + step.y / length, sum.z + step.z / length};
    }
    EXPECT_NEAR(Bearing({}, sum), turned.direction, 0.2);

    // More points than a trajectory holds (none the file or the dialogs make) still draw a
    // budget, OUT carried as OUT: exact stops, the points all 2 cm off the middle of IN-OUT, give
    // a line along IN-OUT, where one through IN and the points alone would turn 10 degrees.
    Trajectory crowded = t;
    crowded.radiusIn = 0;
    crowded.points.assign(Trajectory::kMaxTrackPoints + 5, {at(0.5, 0.02), 0, "trunk"});
    Case crowdedCase;
    crowdedCase.trajectories = {crowded};
    ASSERT_TRUE(BudgetOf(crowdedCase, 1).has_value());
    const DrawnTrack crowdedDraw = DrawPosedTracks(PosedCase(crowdedCase), 1, 1).at(0);
    EXPECT_LT(AngleBetween(Minus(crowdedDraw.out, crowdedDraw.in), Minus(out, in)), 1);

    // Stops known exactly draw the fitted line itself: IN where it lies on it, OUT likewise.
    t.radiusIn = 0;
    for (TrackPoint& point : t.points) {
        point.radius = 0;
    }
    const PosedCase exact(theCase);
    const TrackLine& line = *exact.TrajectoryNumbered(1)->posedLine;
    for (const DrawnTrack& track : DrawPosedTracks(exact, 1, 3)) {
        EXPECT_NEAR(DistanceFromLine(track.in, line.start, line.direction), 0, 1e-12);
        EXPECT_NEAR(Dot(Minus(track.in, line.start), line.direction), 0, 1e-12);
        EXPECT_NEAR(AngleBetween(Minus(track.out, track.in), line.direction), 0, 1e-6);
        EXPECT_NEAR(DistanceFromLine(track.out, line.start, line.direction), 0, 1e-12);
    }
}
