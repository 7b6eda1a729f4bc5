#include "support/BoxBody.h"

#include "body/BodyModel.h"
#include "case/Case.h"
#include "case/PosedCase.h"
#include "report/BodyDiagrams.h"
#include "report/ReportHtml.h"
#include "report/ReportJson.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <QColor>

#include <regex>

namespace {

using nlohmann::json;

// The default body, read once for every test here: its parts carry the measured points and its
// landmark table is what the posed skin carries.
std::shared_ptr<const BodyModel> DefaultBody() {
    static const BodyModel::Loaded loaded =
        BodyModel::Load(RUVO_SOURCE_DIR "/data/default/man1.obj");
    return loaded.model;
}

// A shot through one body part that left the body.
Trajectory Track(const Vec3& in, const Vec3& out, const std::string& part) {
    Trajectory trajectory;
    trajectory.in = in;
    trajectory.out = out;
    trajectory.inPart = trajectory.outPart = part;
    trajectory.exited = true;
    return trajectory;
}

// Whether a bearing lies within an interval read clockwise from its low end (which may exceed
// the high end's value across 0/360).
bool BearingWithin(const json& angle, const json& interval) {
    if (interval.size() != 2) {
        return false;
    }
    const double bearing = angle.get<double>();
    const double low = interval[0].get<double>(), high = interval[1].get<double>();
    return low <= high ? bearing >= low && bearing <= high : bearing >= low || bearing <= high;
}

// A case on the default body, kneeling, with a shot into the back that left through the chest.
class PosedReportTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(DefaultBody()) << "the default body cannot be read";
        theCase.body.Adopt(DefaultBody());
        // The budget's precision is not what these tests read: a few draws keep them quick.
        ASSERT_TRUE(theCase.body.GetUncertaintyModel().SetDraws(2000).ok());
        theCase.body.SetPosture(*Posture::Preset("kneeling"));
        theCase.trajectories.push_back(Track({0.05, 1.30, 0.02}, {0.03, 1.22, 0.24}, "trunk"));
    }

    CaseReport Gather() const { return GatherCaseReport(PosedCase(theCase), {}); }
    json Json() const {
        std::string text;
        EXPECT_TRUE(FormatReportJson(Gather(), text).ok());
        return json::parse(text);
    }
    // The landmark of that name in the JSON.
    static json Landmark(const json& report, const std::string& name) {
        for (const json& landmark : report["landmarks"]) {
            if (landmark["name"] == name) {
                return landmark;
            }
        }
        ADD_FAILURE() << "no landmark " << name;
        return json::object();
    }

    Case theCase;
};

} // namespace

// The diagrams used to pick the side by the posed body's box: the kneeling body's shins reach
// far behind it, and the back entry went onto the chest while the back diagram stayed empty.
TEST_F(PosedReportTest, ABackEntryOfAKneelingBodyIsMarkedOnTheBackDiagram) {
    const json shot = Json()["trajectories"][0];
    EXPECT_EQ(shot["in_diagram"], "back");
    EXPECT_EQ(shot["out_diagram"], "front");
    // The entry's red circle is on the right-hand (back) panel, the exit's blue square on the
    // left-hand (front) one.
    const QImage diagrams = DrawBodyDiagrams(theCase.body, Gather().wounds, 400);
    int marks[2][2] = {}; // [red, blue][front, back]
    for (int y = 0; y < diagrams.height(); ++y) {
        for (int x = 0; x < diagrams.width(); ++x) {
            const QColor c = diagrams.pixelColor(x, y);
            const int panel = x > diagrams.width() / 2 ? 1 : 0;
            marks[0][panel] += c.red() > 140 && c.green() < 40 && c.blue() < 40 ? 1 : 0;
            marks[1][panel] += c.blue() > 130 && c.red() < 40 ? 1 : 0;
        }
    }
    EXPECT_EQ(marks[0][0], 0);
    EXPECT_GT(marks[0][1], 20);
    EXPECT_GT(marks[1][0], 20);
    EXPECT_EQ(marks[1][1], 0);
    // A bullet that stayed inside has no exit mark.
    theCase.trajectories[0].exited = false;
    EXPECT_TRUE(Json()["trajectories"][0]["out_diagram"].is_null());
}

TEST_F(PosedReportTest, LandmarksArePosedWhereTheBodyMovedAndStayWhereItDidNot) {
    // Kneeling, the body is set down on its knees, the umbilicus with it.
    const json kneeling = Landmark(Json(), "umbilicus");
    EXPECT_NEAR(kneeling["anatomical_cm"][1].get<double>(), 120.1, 0.1) << "as the table has it";
    EXPECT_LT(kneeling["posed_cm"][1].get<double>(), 100.0);
    // Only the right arm raised: the trunk's and the legs' landmarks stay where they are.
    Posture armRaised;
    armRaised.Set(skeleton::Joint::RightShoulder, {0, 0, 78});
    theCase.body.SetPosture(armRaised);
    const json raised = Json();
    for (const char* name : {"umbilicus", "left nipple", "left patella"}) {
        const json landmark = Landmark(raised, name);
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_NEAR(landmark["posed_cm"][axis].get<double>(),
                        landmark["anatomical_cm"][axis].get<double>(), 1e-9)
                << name;
        }
    }
}

// An arm track turns with the arm: the posed angle once sat beside the anatomical angle's
// interval, which did not hold it.
TEST_F(PosedReportTest, AnArmTrackGivesBothAnglesEachWithItsOwnInterval) {
    Posture posture = *Posture::Preset("kneeling");
    posture.Set(skeleton::Joint::RightShoulder, {0, 0, 78});
    theCase.body.SetPosture(posture);
    theCase.trajectories = {Track({-0.22, 1.35, 0.16}, {-0.23, 1.30, 0.05}, "right_arm")};
    const json shot = Json()["trajectories"][0];
    for (const char* which : {"anatomical", "posed"}) {
        const json& angles = shot[which];
        EXPECT_TRUE(BearingWithin(angles["direction_deg"], angles["direction_95_deg"])) << angles;
        EXPECT_LE(angles["elevation_95_deg"][0].get<double>(), angles["elevation_deg"]) << which;
        EXPECT_GE(angles["elevation_95_deg"][1].get<double>(), angles["elevation_deg"]) << which;
    }
    EXPECT_GT(std::fabs(shot["posed"]["elevation_deg"].get<double>() -
                        shot["anatomical"]["elevation_deg"].get<double>()),
              10)
        << "the raised arm turns the track";
    // The keys every report has keep their meaning: the posed track's angles and intervals.
    EXPECT_EQ(shot["posed"]["direction_deg"], shot["direction_deg"]);
    EXPECT_EQ(shot["anatomical"]["elevation_deg"], shot["anatomical_elevation_deg"]);
    EXPECT_EQ(shot["posed"]["elevation_95_deg"], shot["uncertainty_budget"]["elevation_deg"]);

    // The wound table and the track's section label each angle, its own interval beside it.
    const CaseReport report = Gather();
    const TrajectoryFacts& t = report.trajectories[0];
    const std::string row = WoundRow(t, true);
    EXPECT_NE(row.find("<i>anatomical position</i> " + OneDecimal(t.anatomicalElevation) +
                       "\u00b0<br>(95 %: " + OneDecimal(t.budget->anatomical.elevationInterval[0])),
              std::string::npos)
        << row;
    EXPECT_NE(row.find("<i>as posed</i> " + OneDecimal(t.elevation) +
                       "\u00b0<br>(95 %: " + OneDecimal(t.budget->elevationInterval[0])),
              std::string::npos)
        << row;
    EXPECT_NE(FormatReportHtml(report, {}, {})
                  .find("Elevation angle</th><td><i>anatomical position</i> " +
                        OneDecimal(t.anatomicalElevation) + "\u00b0 (95 %: "),
              std::string::npos);
}

TEST_F(PosedReportTest, TheConventionsHoldOnePostureParagraphThatFitsTheBody) {
    const auto paragraphs = [](const std::string& html) {
        const std::regex posture("<b>Posture\\.</b>");
        return std::distance(std::sregex_iterator(html.begin(), html.end(), posture),
                             std::sregex_iterator());
    };
    const std::string posed = FormatReportHtml(Gather(), {}, {});
    EXPECT_EQ(paragraphs(posed), 1);
    EXPECT_NE(posed.find("Every angle is therefore given twice"), std::string::npos);

    theCase.body.ResetPose();
    const CaseReport standing = Gather();
    const std::string html = FormatReportHtml(standing, {}, {});
    EXPECT_EQ(paragraphs(html), 1);
    EXPECT_NE(html.find("there is one set of angles, that of the anatomical position"),
              std::string::npos);
    EXPECT_EQ(html.find("<i>as posed</i>"), std::string::npos);
}
