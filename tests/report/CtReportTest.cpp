#include "support/BoxBody.h"

#include "CtPhantom.h"
#include "case/Case.h"
#include "case/PosedCase.h"
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
