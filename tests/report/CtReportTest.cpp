#include "support/BoxBody.h"

#include "CtPhantom.h"
#include "case/Case.h"
#include "case/PosedCase.h"
#include "report/CtTrackFigure.h"
#include "report/ReportHtml.h"
#include "report/ReportJson.h"
#include "world/CtBodyFile.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

namespace {

// A case whose body is the phantom series, with one shot through it.
class CtReportTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WriteCtPhantom(folder.path() / "scan", phantom).ok());
        ASSERT_TRUE(OpenCtSeries(theCase, folder.File("scan")).ok());
        ASSERT_TRUE(theCase.body.GetUncertaintyModel().SetDraws(2000).ok());
        Trajectory shot;
        shot.in = {0.01, 0.07, 0.09};
        shot.out = {0.01, 0.07, 0.01};
        shot.exited = true;
        theCase.trajectories.push_back(shot);
    }

    nlohmann::json Json() {
        std::string text;
        const Status formatted = FormatReportJson(GatherCaseReport(PosedCase(theCase), {}), text);
        EXPECT_TRUE(formatted.ok()) << formatted.message();
        return nlohmann::json::parse(text);
    }

    TemporaryFolder folder;
    CtPhantomOptions phantom;
    Case theCase;
};

} // namespace

// The report says the body came from CT and cites the series as it was read: what it is, how
// the body was drawn from it, the frame, and the hash of its files with the rule it follows.
TEST_F(CtReportTest, TheReportCitesTheSeriesTheBodyCameFrom) {
    const nlohmann::json report = Json();
    EXPECT_EQ(report["body_source"], "ct");
    const nlohmann::json& ct = report["ct"];
    EXPECT_EQ(ct["series_uid"], phantom.seriesUid);
    EXPECT_EQ(ct["description"], phantom.description);
    EXPECT_EQ(ct["read"], true);
    EXPECT_EQ(ct["voxels"], (std::vector<int>{64, 64, 80}));
    EXPECT_EQ(ct["voxel_size_mm"], (std::vector<double>{2, 2, 2}));
    EXPECT_EQ(ct["skin_threshold_hu"], -500);
    EXPECT_EQ(ct["bone_threshold_hu"], 300);
    EXPECT_EQ(ct["sha256"], theCase.ct.scan->seriesSha256);
    EXPECT_EQ(ct["sha256"].get<std::string>().size(), 64u);
    EXPECT_NE(ct["sha256_rule"].get<std::string>().find("in the byte order of their names"),
              std::string::npos);
    EXPECT_NE(ct["frame"].get<std::string>().find("y = 0 at the soles"), std::string::npos);
    EXPECT_EQ(ct["posture"], "as scanned");
    EXPECT_NEAR(ct["body_length_cm"].get<double>(), 14.0, 0.2);
    // The phantom's bead, as found when the series was read (a 4 mm ball: 268 mm3).
    ASSERT_TRUE(ct["metal"].is_array());
    ASSERT_EQ(ct["metal"].size(), 1u);
    EXPECT_EQ(ct["metal_threshold_hu"], 2500);
    const CtMetalObject& bead = theCase.ct.scan->metal.at(0);
    const nlohmann::json& metal = ct["metal"][0];
    EXPECT_EQ(metal["centroid_cm"],
              (std::vector<double>{bead.centroidBody.x, bead.centroidBody.y, bead.centroidBody.z}));
    EXPECT_EQ(metal["volume_mm3"], bead.volumeMm3);
    EXPECT_NEAR(metal["volume_mm3"].get<double>(), 268, 27);
    EXPECT_EQ(metal["extent_mm"], bead.extentMm);
    EXPECT_GE(metal["peak_hu"].get<int>(), 2500);
    // The body is not the model the case started with.
    EXPECT_TRUE(report["body"]["model"]["file"].is_null());

    const std::string html = FormatReportHtml(GatherCaseReport(PosedCase(theCase), {}), {}, {});
    for (const std::string fact :
         {"CT series (the decedent's own body, as scanned)", phantom.seriesUid.c_str(),
          theCase.ct.scan->seriesSha256.c_str(), "x = 0 at the middle of the skin's width",
          "in the posture it was scanned in"}) {
        EXPECT_NE(html.find(fact), std::string::npos) << fact;
    }
    // The generic body's words do not describe a scanned one.
    EXPECT_EQ(html.find("The body stands in the anatomical position"), std::string::npos);
    EXPECT_EQ(html.find("Lateral scale"), std::string::npos);

    // A series named but not read says so, and nothing it would only know once read.
    theCase.ct.scan.reset();
    const nlohmann::json unread = Json();
    EXPECT_EQ(unread["ct"]["read"], false);
    EXPECT_TRUE(unread["ct"]["sha256"].is_null());
    EXPECT_TRUE(unread["ct"]["metal"].is_null());
    // And a body model's report has neither key.
    theCase.ct = CaseCt();
    const nlohmann::json plain = Json();
    EXPECT_FALSE(plain.contains("body_source"));
    EXPECT_FALSE(plain.contains("ct"));
}

namespace {

// A shot along the phantom's air channel up to the bead (body frame, metres): IN 4 cm right of
// the bead, OUT just short of it, a point on the channel and one well above it; the first pair
// on the arm, the second on the trunk, so that the track breaks into two pieces.
Trajectory ChannelShot(const CtMetalObject& bead) {
    const Vec3 b{bead.centroidBody.x / 100, bead.centroidBody.y / 100, bead.centroidBody.z / 100};
    Trajectory shot;
    shot.in = {b.x - 0.04, b.y, b.z};
    shot.out = {b.x - 0.008, b.y, b.z};
    shot.exited = false;
    shot.radiusIn = 0.002;
    shot.inPart = "right_arm";
    shot.outPart = "trunk";
    shot.points.push_back({{b.x - 0.03, b.y, b.z}, 0.002, ""});
    shot.points.push_back({{b.x - 0.02, b.y + 0.02, b.z}, 0.005, "trunk"});
    return shot;
}

} // namespace

// A track with points lists each with its own misfit from the line fitted through all the stops,
// the point that carries no part reported on the part before it, the pieces and the deflection;
// a track of IN and OUT alone has an empty list and no pieces. The HTML states the same and
// shows the CT slice along the track and the metal objects.
TEST_F(CtReportTest, TracksWithPointsAndTheirSliceAreReported) {
    theCase.trajectories.push_back(ChannelShot(theCase.ct.scan->metal.at(0)));
    const PosedCase posed(theCase);
    const TrackLine& line = *posed.GetTrajectories().at(1).anatomicalLine;
    const nlohmann::json report = Json();
    const nlohmann::json& plain = report["trajectories"][0];
    EXPECT_EQ(plain["points"], nlohmann::json::array());
    EXPECT_FALSE(plain.contains("pieces"));
    const nlohmann::json& shot = report["trajectories"][1];
    ASSERT_EQ(shot["points"].size(), 2u);
    const nlohmann::json& first = shot["points"][0];
    EXPECT_NEAR(first["x_cm"].get<double>(), theCase.trajectories[1].points[0].point.x * 100, 1e-9);
    EXPECT_EQ(first["radius_cm"], 0.2);
    EXPECT_EQ(first["part"], "right_arm"); // carried from IN
    EXPECT_NE(first["description"].get<std::string>().find("above the soles"), std::string::npos);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_NEAR(shot["points"][i]["misfit_cm"].get<double>(), line.misfit.at(i + 1) * 100,
                    1e-9);
    }
    // The point 2 cm off the channel lies off a line the others hold to it.
    EXPECT_EQ(shot["points"][1]["off_line"], true);
    EXPECT_GT(shot["points"][1]["misfit_cm"].get<double>(), 1.0);
    EXPECT_EQ(shot["on_one_line"], false);
    ASSERT_EQ(shot["pieces"].size(), 2u);
    EXPECT_EQ(shot["pieces"][0]["last_stop"], 1);
    EXPECT_EQ(shot["pieces"][1]["first_stop"], 2);
    EXPECT_EQ(shot["pieces"][1]["part"], "trunk");
    ASSERT_EQ(shot["deflection_deg"].size(), 1u);
    EXPECT_GT(shot["deflection_deg"][0].get<double>(), 10.0);

    // The slice along the track runs down the channel: black air just above the track past the
    // first point, soft tissue well above it (some 11 pixels a millimetre, IN 30 mm from the
    // left edge, the track on the middle row).
    const auto picture = DrawCtTrackFigure(*theCase.ct.scan, theCase.trajectories[1], 2, 1000);
    ASSERT_TRUE(picture.has_value());
    ASSERT_EQ(picture->width(), 1000);
    const int middle = picture->height() / 2;
    EXPECT_LT(qGray(picture->pixel(510, middle - 30)), 40);
    EXPECT_NEAR(qGray(picture->pixel(480, middle - 300)), 128, 30);

    const std::vector<ReportFigure> figures{{CtTrackFigureName(2), CtTrackFigureCaption(2), 800}};
    const std::string html =
        FormatReportHtml(GatherCaseReport(posed, {}), figures,
                         [](const std::string& name) { return "picture:" + name; });
    for (const std::string& fact :
         {std::string("src=\"picture:ct-track-2\""), CtTrackFigureCaption(2),
          std::string("Points along the track"), std::string("<b>(off the line)</b>"),
          std::string("<th>Misfit</th></tr>\n<tr><td>IN</td>"),
          std::string("</td></tr>\n<tr><td>OUT</td>"),
          std::string("Deflection between pieces 1 and 2"), std::string("Metal objects"),
          std::string("3000 HU")}) {
        EXPECT_NE(html.find(fact), std::string::npos) << fact;
    }

    // Stops that all coincide have no line: no misfit is claimed for them.
    Trajectory still;
    still.in = still.out = {0.01, 0.07, 0.05};
    still.points.push_back({still.in, 0.005, ""});
    theCase.trajectories.push_back(still);
    const nlohmann::json lineless = Json()["trajectories"][2];
    EXPECT_TRUE(lineless["points"][0]["misfit_cm"].is_null());
    EXPECT_TRUE(lineless["points"][0]["off_line"].is_null());
    EXPECT_TRUE(lineless["on_one_line"].is_null());
    const std::string stillHtml =
        FormatReportHtml(GatherCaseReport(PosedCase(theCase), {}), {}, {});
    EXPECT_NE(stillHtml.find("No line can be fitted: the stops coincide."), std::string::npos);
}
