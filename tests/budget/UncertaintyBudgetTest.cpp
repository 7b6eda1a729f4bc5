#include "budget/UncertaintyBudget.h"
#include "case/Case.h"
#include "casefile/DataFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>

namespace {

constexpr double kPi = 3.14159265358979323846;

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
        const double b = std::atan2(d.x, -d.z) * 180 / kPi;
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
        elevation.push_back(std::atan2(d.y, std::hypot(d.x, d.z)) * 180 / kPi);
        const double c =
            (d.x * nominal.x + d.y * nominal.y + d.z * nominal.z) /
            (std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z) *
             std::sqrt(nominal.x * nominal.x + nominal.y * nominal.y + nominal.z * nominal.z));
        cone.push_back(std::acos(std::clamp(c, -1.0, 1.0)) * 180 / kPi);
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
        ASSERT_TRUE(shared->GetBody().Load(RUVO_SOURCE_DIR "/data/default/man1.obj").ok());
    }
    static void TearDownTestSuite() { shared.reset(); }
    static std::unique_ptr<Case> shared;
};
std::unique_ptr<Case> BudgetWithBody::shared;

} // namespace

TEST(UncertaintyBudgetTest, PointsAloneAgreeWithAnIndependentSimulation) {
    Case theCase;
    Trajectory& t = *theCase.AddTrajectory(1);
    const Vec3 in = {0.02, 1.25, 0.24}, out = {0.07, 1.17, 0.03};
    t.SetPoints(in.x, in.y, in.z, out.x, out.y, out.z);
    t.SetParts("trunk", "trunk");
    ASSERT_TRUE(t.SetUncertainty(0.01));
    theCase.GetBody().GetUncertaintyModel().draws = 200000;
    const std::optional<UncertaintyBudget> budget = ComputeUncertaintyBudget(theCase, 1);
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

    // With no radius the intervals close on the nominal angles. What follows needs no such
    // precision: a few draws.
    theCase.GetBody().GetUncertaintyModel().draws = 2000;
    ASSERT_TRUE(t.SetUncertainty(0));
    const UncertaintyBudget exact = *ComputeUncertaintyBudget(theCase, 1);
    EXPECT_NEAR(exact.directionInterval[0], exact.direction, 1e-9);
    EXPECT_NEAR(exact.directionInterval[1], exact.direction, 1e-9);
    EXPECT_NEAR(exact.elevationInterval[0], exact.elevation, 1e-9);
    EXPECT_NEAR(exact.elevationInterval[1], exact.elevation, 1e-9);
    EXPECT_NEAR(exact.cone95, 0, 1e-6);
    // OUT's own ball widens the budget.
    ASSERT_TRUE(t.SetUncertaintyOut(0.02));
    EXPECT_GT(ComputeUncertaintyBudget(theCase, 1)->cone95, 1.0);
    // A track without length has no direction.
    t.SetPoints(0, 1, 0, 0, 1, 0);
    EXPECT_FALSE(ComputeUncertaintyBudget(theCase, 1).has_value());
}

TEST_F(BudgetWithBody, AnArmsSpreadMovesOnlyTheTracksTheArmCarries) {
    Case& theCase = *shared;
    while (theCase.GetTrajectoryCount() > 0) {
        theCase.DeleteTrajectory(0);
    }
    Trajectory& chest = *theCase.AddTrajectory(1);
    chest.SetPoints(0.05, 1.40, 0.26, 0.05, 1.38, 0.03);
    chest.SetParts("trunk", "trunk");
    Trajectory& forearm = *theCase.AddTrajectory(1);
    forearm.SetPoints(-0.27, 0.95, 0.13, -0.21, 0.95, 0.10);
    forearm.SetParts("right_forearm", "right_forearm");
    UncertaintyModel& model = theCase.GetBody().GetUncertaintyModel();
    model = UncertaintyModel();
    model.draws = 20000;
    ASSERT_TRUE(model.SetSigma("tissue", 0.005).ok());
    const UncertaintyBudget chestBefore = *ComputeUncertaintyBudget(theCase, 1);
    const UncertaintyBudget armBefore = *ComputeUncertaintyBudget(theCase, 2);
    ASSERT_TRUE(model.SetSigma("right_elbow", 10).ok());
    ASSERT_TRUE(model.SetSigma("right_shoulder", 8).ok());
    const UncertaintyBudget chestAfter = *ComputeUncertaintyBudget(theCase, 1);
    const UncertaintyBudget armAfter = *ComputeUncertaintyBudget(theCase, 2);
    EXPECT_EQ(chestAfter.Statement(), chestBefore.Statement());
    EXPECT_EQ(chestAfter.cone95, chestBefore.cone95);
    EXPECT_GT(armAfter.cone95, armBefore.cone95 + 2);
    EXPECT_EQ(armAfter.sources.front().source, "posture of the right arm");
    EXPECT_NE(armAfter.Statement().find("; largest source: posture of the right arm"),
              std::string::npos);

    // The same figures on one core as on two, to the last digit.
    const UncertaintyBudget one = *ComputeUncertaintyBudget(theCase, 2, 1);
    const UncertaintyBudget two = *ComputeUncertaintyBudget(theCase, 2, 2);
    EXPECT_EQ(one.directionInterval, two.directionInterval);
    EXPECT_EQ(one.elevationInterval, two.elevationInterval);
    EXPECT_EQ(one.cone95, two.cone95);
    EXPECT_EQ(one.sources.front().cone95, two.sources.front().cone95);
    model = UncertaintyModel();
}

TEST(UncertaintyBudgetTest, SourcesRoundTripAndBadFiguresAreRefusedByName) {
    Case theCase;
    theCase.GetBody().SetHeight(1.8);
    UncertaintyModel& model = theCase.GetBody().GetUncertaintyModel();
    ASSERT_TRUE(model.SetSigma("pose", 5).ok());
    ASSERT_TRUE(model.SetSigma("left_knee", 12.5).ok());
    ASSERT_TRUE(model.SetSigma("tissue", 0.01).ok());
    ASSERT_TRUE(model.SetDraws(50000).ok());
    Trajectory& t = *theCase.AddTrajectory(1);
    ASSERT_TRUE(t.SetUncertaintyOut(0.025));
    const std::string text = DataFile::Format(theCase);
    EXPECT_NE(text.find("   <sigma>pose 5.00</sigma>\r\n   <sigma>left_knee 12.50</sigma>\r\n"
                        "   <sigma>tissue 0.0100</sigma>\r\n   <draws>50000</draws>\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("  <uncertaintyout>0.0250</uncertaintyout>\r\n"), std::string::npos);
    Case reopened;
    EXPECT_TRUE(DataFile::ReadText(reopened, text).ReadingNotes().empty());
    EXPECT_EQ(reopened.GetBody().GetUncertaintyModel(), model);
    EXPECT_DOUBLE_EQ(reopened.GetTrajectory(0)->GetUncertaintyOut(), 0.025);
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
    EXPECT_TRUE(reopened.GetBody().GetUncertaintyModel().IsDefault());
}
