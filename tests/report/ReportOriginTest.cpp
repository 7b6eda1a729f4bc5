#include "support/BoxBody.h"

#include "case/Case.h"
#include "case/PosedCase.h"
#include "report/ReportHtml.h"
#include "report/ReportJson.h"
#include "report/ReportPlanView.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

namespace {

using nlohmann::json;

// The body 2 m along +X from the scene's origin, turned to face +X (heading 90); two shots
// falling by 1 in 10 toward OUT, in one group, and a third one level.
class ReportOriginTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadBoxBody(theCase);
        // Few draws of the budget keep the sanitizer run short.
        ASSERT_TRUE(theCase.body.GetUncertaintyModel().SetDraws(2000).ok());
        theCase.world.body = {2, 0, 0, 90};
        Trajectory& first = Add({0.05, 1.3, 0.25}, {0.05, 1.28, 0.05});
        first.radiusIn = 0.005;
        first.group = "A";
        // A hole on the back line 80 cm behind IN.
        first.exterior = {{{3.05, 1.38, -0.05}, true}};
        Add({-0.05, 1.3, 0.25}, {-0.03, 1.285, 0.05}).group = "A";
        Add({0, 1.1, 0.25}, {0, 1.1, 0.05}).group = "alone";
    }

    // A trajectory the bullet left the body by.
    Trajectory& Add(const Vec3& in, const Vec3& out) {
        Trajectory trajectory;
        trajectory.in = in;
        trajectory.out = out;
        trajectory.exited = true;
        theCase.trajectories.push_back(trajectory);
        return theCase.trajectories.back();
    }

    CaseReport Gather() { return GatherCaseReport(PosedCase(theCase), {}); }

    Case theCase;
};

} // namespace

TEST_F(ReportOriginTest, JsonGivesTheSceneTrackEachZoneAndEachGroup) {
    std::string text;
    ASSERT_TRUE(FormatReportJson(Gather(), text).ok());
    const json report = json::parse(text);
    const json& first = report["trajectories"][0];
    // Heading 90: body (x, z) = (0.05, 0.25) lies at (2 + 0.25, -0.05) in the scene.
    EXPECT_NEAR(first["scene_in_cm"][0].get<double>(), 225.0, 1e-3);
    EXPECT_NEAR(first["scene_in_cm"][1].get<double>(), 130.0, 1e-3);
    EXPECT_NEAR(first["scene_in_cm"][2].get<double>(), -5.0, 1e-3);
    EXPECT_NEAR(first["scene_out_cm"][0].get<double>(), 205.0, 1e-3);
    ASSERT_EQ(first["origin"].size(), 3u);
    const json& standing = first["origin"][0];
    EXPECT_EQ(standing["height_cm"], 150.0);
    EXPECT_TRUE(standing["reached"]);
    // 20 cm up at 1 in 10: 200 cm back along +X.
    EXPECT_NEAR(standing["nominal_distance_cm"].get<double>(), 200.0, 1e-3);
    EXPECT_NEAR(standing["nominal_point_cm"][0].get<double>(), 425.0, 1e-3);
    ASSERT_EQ(standing["distance_cm"].size(), 2u);
    EXPECT_TRUE(standing["distance_cm"][1].is_number());
    EXPECT_TRUE(standing["limited_by"].is_null());
    EXPECT_FALSE(first["origin"][1]["reached"]);
    EXPECT_TRUE(first["origin"][1]["distance_cm"].is_null());
    // The second shot's cone (5.7 degrees about an elevation of 4.3) reaches the horizontal:
    // no upper bound.
    EXPECT_TRUE(report["trajectories"][1]["origin"][0]["distance_cm"][1].is_null());
    // On the line 80 cm back from IN: the line through the three points is the track's, its
    // zones start beyond the hole.
    EXPECT_NEAR(first["exterior"][0]["distance_from_line_cm"].get<double>(), 0.0, 1e-6);
    EXPECT_EQ(first["exterior"][0]["side"], "before");
    EXPECT_EQ(first["exterior"][0]["radius_cm"], 1.0);
    const json& line = first["back_line"];
    EXPECT_TRUE(line["on_one_line"]);
    EXPECT_NEAR(line["farthest_hole_cm"].get<double>(), 80.0, 1e-6);
    ASSERT_EQ(line["points"].size(), 3u);
    EXPECT_EQ(line["points"][2]["point"], "exterior 1");
    EXPECT_NEAR(standing["farthest_hole_cm"].get<double>(), 80.0, 1e-6);
    EXPECT_FALSE(standing["before_farthest_hole"]);
    EXPECT_FALSE(report["trajectories"][1].contains("back_line")) << "no exterior point";
    EXPECT_FALSE(report["trajectories"][1]["origin"][0].contains("farthest_hole_cm"));

    ASSERT_EQ(report["convergence"].size(), 2u);
    // The two back lines of group A draw apart going back (the whole lines come nearest on the
    // exit side, a metre ahead of the entries): no point, and the rays' closest distance, from
    // the start of the first one's (its hole, 80 cm back) to the second.
    const json& group = report["convergence"][0];
    EXPECT_EQ(group["group"], "A");
    EXPECT_EQ(group["trajectories"], json::array({1, 2}));
    EXPECT_TRUE(group["point_cm"].is_null());
    EXPECT_FALSE(group["converges"]);
    EXPECT_NE(group["refused"].get<std::string>().find("do not converge behind the entries"),
              std::string::npos);
    ASSERT_EQ(group["ray_gaps"].size(), 1u);
    EXPECT_NEAR(group["ray_gaps"][0]["distance_cm"].get<double>(), 18.04, 0.01);
    EXPECT_EQ(group["lines_used"], json::array({"IN, OUT and exterior 1", "IN and OUT"}));
    EXPECT_TRUE(report["convergence"][1]["point_cm"].is_null());
    EXPECT_NE(report["convergence"][1]["refused"].get<std::string>().find("two or more"),
              std::string::npos);

    // A placed body says which angles are which, after the keys every report has, though
    // standing they are the same.
    const auto ordered = nlohmann::ordered_json::parse(text);
    const auto& shot = ordered["trajectories"][0];
    EXPECT_EQ(std::prev(shot.end()).key(), "out_diagram");
    EXPECT_EQ(shot["anatomical"]["direction_deg"], shot["posed"]["direction_deg"]);
    EXPECT_EQ(shot["posed"]["direction_95_deg"], shot["uncertainty_budget"]["direction_deg"]);
    EXPECT_EQ(shot["in_diagram"], "front");
    EXPECT_EQ(shot["out_diagram"], "back");
    EXPECT_EQ(std::prev(ordered.end()).key(), "landmarks");
    EXPECT_EQ(ordered["landmarks"], nlohmann::ordered_json::array()) << "the box has none";
}

TEST_F(ReportOriginTest, TheHtmlSectionAndThePlanViewShowTheZones) {
    const CaseReport report = Gather();
    const std::string html = FormatReportHtml(report, {}, [](const std::string& name) {
        return name == kPlanViewImage ? std::string("plan.png") : std::string();
    });
    const size_t origin = html.find("<h2>Origin</h2>");
    ASSERT_NE(origin, std::string::npos);
    EXPECT_LT(html.find("Trajectory 1"), origin);
    EXPECT_LT(origin, html.find("<h2>Elements</h2>"));
    EXPECT_NE(html.find("<img src=\"plan.png\""), std::string::npos);
    EXPECT_NE(html.find("heading 90.0&deg;"), std::string::npos);
    EXPECT_NE(html.find("<h3>Origin of trajectory 3</h3>"), std::string::npos);
    EXPECT_NE(html.find("unbounded"), std::string::npos);
    EXPECT_NE(html.find("not reached going back"), std::string::npos);
    EXPECT_NE(html.find("<h3>Shot groups</h3>"), std::string::npos);
    EXPECT_NE(html.find("none: a point of convergence needs"), std::string::npos);

    // The standing zone of the first shot runs along +X from x = 4.25 m: the picture holds its
    // colour (blue), and the body's skin colour where it stands.
    const QImage plan = DrawPlanView(PosedCase(theCase), report.origin);
    ASSERT_FALSE(plan.isNull());
    int blue = 0, skin = 0;
    for (int y = 0; y < plan.height(); ++y) {
        for (int x = 0; x < plan.width(); ++x) {
            const QColor c = plan.pixelColor(x, y);
            blue += c.blue() > 150 && c.red() < 80 ? 1 : 0;
            skin += c == QColor(240, 210, 180) ? 1 : 0;
        }
    }
    EXPECT_GT(blue, 200);
    EXPECT_GT(skin, 10);
}

TEST_F(ReportOriginTest, TheBudgetsDrawsReachEachHeightInTheJsonAndTheOriginSection) {
    std::string text;
    ASSERT_TRUE(FormatReportJson(Gather(), text).ok());
    json report = json::parse(text);
    EXPECT_NE(report["origin_draws_convention"].get<std::string>().find("2000 draws"),
              std::string::npos);
    const json& budget = report["trajectories"][0]["uncertainty_budget"];
    for (const char* key : {"draws", "direction_deg", "elevation_deg", "cone95_deg", "sources"}) {
        EXPECT_TRUE(budget.contains(key)) << key;
    }
    ASSERT_EQ(budget["origin"].size(), 3u);
    // Rising 1 in 10 going back with a cone of 2.9 degrees: every draw reaches the standing
    // height, about the nominal 200 cm, and none of the lower ones.
    const json& standing = budget["origin"][0];
    EXPECT_EQ(standing["height_cm"], 150.0);
    EXPECT_EQ(standing["reach_share"], 1.0);
    ASSERT_EQ(standing["distance_95_cm"].size(), 2u);
    EXPECT_LT(standing["distance_95_cm"][0].get<double>(), 200.0);
    EXPECT_GT(standing["distance_95_cm"][1].get<double>(), 200.0);
    EXPECT_EQ(budget["origin"][2]["reach_share"], 0.0);
    EXPECT_TRUE(budget["origin"][2]["distance_95_cm"].is_null());
    // The level shot: its draws go back upward or downward, about half each.
    const json& level = report["trajectories"][2]["uncertainty_budget"]["origin"];
    const double up = level[0]["reach_share"].get<double>();
    EXPECT_GT(up, 0.2);
    EXPECT_LT(up, 0.8);
    EXPECT_DOUBLE_EQ(up + level[1]["reach_share"].get<double>(), 1.0);

    const std::string html = FormatReportHtml(Gather(), {}, {});
    EXPECT_NE(html.find("<p><b>Draws.</b> Each of the uncertainty budget's 2000 draws"),
              std::string::npos);
    EXPECT_NE(html.find("<th>Limited by</th><th>Draws reaching (95 % of those, cm)</th>"),
              std::string::npos);
    EXPECT_NE(html.find("<td colspan=\"4\">not reached going back</td><td>0 %</td>"),
              std::string::npos);
    EXPECT_NE(html.find("<td>100 % ("), std::string::npos);
    EXPECT_NE(html.find("worst case of the balls alone. The body's heading in the scene (sigma "
                        "0.00 degrees)"),
              std::string::npos);

    // Without muzzle heights nothing is drawn, and the budget says so.
    theCase.world.muzzleHeights.clear();
    ASSERT_TRUE(FormatReportJson(Gather(), text).ok());
    report = json::parse(text);
    EXPECT_TRUE(report["origin_draws_convention"].is_null());
    EXPECT_EQ(report["trajectories"][0]["uncertainty_budget"]["origin"], json::array());
    EXPECT_EQ(FormatReportHtml(Gather(), {}, {}).find("Draws reaching"), std::string::npos);
}

TEST_F(ReportOriginTest, ANearlyLevelShotKeepsThePlanViewReadable) {
    // Falling 1 mm over 30 cm toward OUT: the prone zone lies some 270 m away, and its cone has
    // no upper bound.
    Add({0, 1.2, 0.3}, {0, 1.201, 0});
    const CaseReport report = Gather();
    ASSERT_TRUE(report.origin.analysis.trajectories[3].zones[2].reached);
    const QImage plan = DrawPlanView(PosedCase(theCase), report.origin);
    ASSERT_FALSE(plan.isNull());
    // The zone runs off the edge: the body is still drawn at a readable size.
    int skin = 0;
    for (int y = 0; y < plan.height(); ++y) {
        for (int x = 0; x < plan.width(); ++x) {
            skin += plan.pixelColor(x, y) == QColor(240, 210, 180) ? 1 : 0;
        }
    }
    EXPECT_GT(skin, 10);
}

TEST_F(ReportOriginTest, AVerticalDirectionAndALevelShotsFarEndAreNotStatedAsFigures) {
    Add({0.1, 1.3, 0.1}, {0.1, 1.1, 0.1}).radiusIn = 0.01; // straight down
    const CaseReport report = Gather();
    std::string text;
    ASSERT_TRUE(FormatReportJson(report, text).ok());
    const json parsed = json::parse(text);
    const json& vertical = parsed["trajectories"][3];
    EXPECT_TRUE(vertical["uncertainty"]["cone_half_angle_deg"].is_number());
    EXPECT_EQ(vertical["uncertainty"]["direction_deg"], (json{0.0, 360.0}));
    EXPECT_TRUE(vertical["uncertainty_budget"]["direction_deg"].is_null());
    EXPECT_EQ(vertical["uncertainty_budget"]["elevation_deg"].size(), 2u);
    EXPECT_NE(vertical["uncertainty_budget"]["statement"].get<std::string>().find("(undetermined)"),
              std::string::npos);

    // The level shot at 110 cm: half its draws rise to the standing height, at any distance.
    const json& standing = parsed["trajectories"][2]["uncertainty_budget"]["origin"][0];
    ASSERT_GT(standing["reach_share"].get<double>(), 0.3);
    ASSERT_EQ(standing["distance_95_cm"].size(), 2u);
    EXPECT_TRUE(standing["distance_95_cm"][0].is_number());
    EXPECT_TRUE(standing["distance_95_cm"][1].is_null());

    const std::string html = FormatReportHtml(report, {}, {});
    EXPECT_NE(html.find("direction 0.0\u00B0 (undetermined)"), std::string::npos);
    EXPECT_NE(html.find("at least 40 draws reach the height"), std::string::npos);
}
