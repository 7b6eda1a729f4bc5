#include "support/BoxBody.h"

#include "case/Case.h"
#include "case/PosedCase.h"
#include "mesh/ArrowModels.h"
#include "report/ReportHtml.h"
#include "report/ReportJson.h"
#include "report/ReportPdf.h"
#include "report/ReportWriter.h"
#include "view/ViewState.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <limits>
#include <regex>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using nlohmann::json;

class CaseReportTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadBoxBody(theCase);
        // The budget's precision is not what these tests read: a few draws keep them quick.
        ASSERT_TRUE(theCase.body.GetUncertaintyModel().SetDraws(2000).ok());
        theCase.body.SetName("Doe & <Co>");
        Trajectory chest = Track({-0.05, 1.4, 0.25}, {0.05, 1.3, 0.02}, true);
        chest.label = "Chest";
        chest.offset.x = 0.03;
        theCase.trajectories.push_back(chest);
        theCase.trajectories.push_back(Track({0, 1.5, 0.1}, {0, 1.2, 0.1}, false));
        Trajectory coincident = Track({0.1, 1, 0.1}, {0.1, 1, 0.1}, true);
        coincident.radiusIn = 0.02;
        theCase.trajectories.push_back(coincident);
        Element element;
        element.centre = {0.1, 1.0, 0.12};
        element.size.x = 0.05;
        element.yaw = 10;
        element.label = "Projectile";
        theCase.elements.push_back(element);
    }

    static Trajectory Track(const Vec3& in, const Vec3& out, bool exited) {
        Trajectory trajectory;
        trajectory.in = in;
        trajectory.out = out;
        trajectory.exited = exited;
        return trajectory;
    }

    CaseReport Gather(const ReportSource& source = {}) {
        return GatherCaseReport(PosedCase(theCase), source);
    }
    std::string JsonText(const ReportSource& source = {}) {
        std::string text;
        const Status formatted = FormatReportJson(Gather(source), text);
        EXPECT_TRUE(formatted.ok()) << formatted.message();
        return text;
    }
    json Json(const ReportSource& source = {}) { return json::parse(JsonText(source)); }

    Case theCase;
};

} // namespace

TEST_F(CaseReportTest, JsonHasTheDocumentedShapeAndFullPrecision) {
    const json report = Json({"", "2026-01-02T03:04:05+01:00", {}, {}});
    const auto ordered =
        nlohmann::ordered_json::parse(JsonText({"", "2026-01-02T03:04:05+01:00", {}, {}}));
    EXPECT_EQ(ordered.begin().key(), "format") << "the format comes first";
    EXPECT_EQ(report["format"], "ruvolane-report");
    EXPECT_EQ(report["version"], 1);
    EXPECT_EQ(report["software"], "Ruvolane 2.7.0");
    EXPECT_EQ(report["generated"], "2026-01-02T03:04:05+01:00");
    EXPECT_EQ(report["body"]["name"], "Doe & <Co>");
    EXPECT_DOUBLE_EQ(report["body"]["height_m"].get<double>(), 2.0);
    for (const char* key : {"scale_x", "scale_z", "model", "arm", "forearm"}) {
        EXPECT_TRUE(report["body"].contains(key)) << key;
    }
    EXPECT_TRUE(report["body"]["arm"].contains("yaw") && report["body"]["arm"].contains("pitch"));

    ASSERT_EQ(report["trajectories"].size(), 3u);
    const json& chest = report["trajectories"][0];
    EXPECT_EQ(chest["number"], 1);
    EXPECT_EQ(chest["label"], "Chest");
    EXPECT_EQ(chest["bullet_inside"], false);
    EXPECT_DOUBLE_EQ(chest["in_cm"][2].get<double>(), 25.0);
    // Not rounded: the value the summary prints to one decimal.
    const Trajectory& measured = theCase.trajectories[0];
    EXPECT_DOUBLE_EQ(chest["direction_deg"].get<double>(), Bearing(measured.in, measured.out));
    EXPECT_DOUBLE_EQ(chest["elevation_deg"].get<double>(), Elevation(measured.in, measured.out));
    EXPECT_EQ(chest["course"]["anteroposterior"], "front to back");
    EXPECT_EQ(chest["description"], "front to back, right to left and downward");
    EXPECT_NEAR(chest["plane_angles_deg"]["coronal"].get<double>(), 45.0, 1e-9);
    EXPECT_DOUBLE_EQ(chest["uncertainty"]["radius_cm"].get<double>(), 1.0);
    EXPECT_EQ(chest["uncertainty"]["direction_deg"].size(), 2u);
    EXPECT_DOUBLE_EQ(chest["adjustment"]["offset_cm"][0].get<double>(), 3.0);

    const json& down = report["trajectories"][1];
    EXPECT_EQ(down["bullet_inside"], true);
    EXPECT_TRUE(down["plane_angles_deg"]["transverse"].is_null());
    EXPECT_EQ(down["uncertainty"]["direction_deg"], json::parse("[0.0, 360.0]"));

    const json& coincident = report["trajectories"][2];
    EXPECT_EQ(coincident["description"], "no measurable course");
    EXPECT_DOUBLE_EQ(coincident["uncertainty"]["radius_cm"].get<double>(), 2.0);
    for (const char* key : {"cone_half_angle_deg", "direction_deg", "elevation_deg"}) {
        EXPECT_TRUE(coincident["uncertainty"][key].is_null()) << key;
    }

    // Standing and not placed, the JSON is what it always was: none of a posed case's keys.
    EXPECT_FALSE(report.contains("landmarks"));
    for (const json& trajectory : report["trajectories"]) {
        for (const char* key : {"anatomical", "posed", "in_diagram", "out_diagram"}) {
            EXPECT_FALSE(trajectory.contains(key)) << key;
        }
    }

    ASSERT_EQ(report["elements"].size(), 1u);
    const json& element = report["elements"][0];
    EXPECT_EQ(element["label"], "Projectile");
    EXPECT_DOUBLE_EQ(element["centre_cm"][2].get<double>(), 12.0);
    EXPECT_DOUBLE_EQ(element["size_cm"][0].get<double>(), 5.0);
    EXPECT_DOUBLE_EQ(element["yaw"].get<double>(), 10.0);
}

TEST_F(CaseReportTest, UnsavedCaseAndSavedCaseNameTheirFile) {
    const json unsaved = Json();
    EXPECT_TRUE(unsaved["case"]["file"].is_null());
    EXPECT_TRUE(unsaved["case"]["sha256"].is_null());
    const std::string html = FormatReportHtml(Gather(), {}, {});
    EXPECT_NE(
        html.find(
            "<th align=\"left\" valign=\"top\">Case file</th><td colspan=\"3\">not saved</td>"),
        std::string::npos);
    // Texts of the case are escaped, never taken as markup.
    EXPECT_NE(html.find("Doe &amp; &lt;Co&gt;"), std::string::npos);

    TemporaryFolder folder;
    const std::string file = folder.File("case.txt");
    std::ofstream(file, std::ios::binary) << "abc";
    const json saved = Json({file, "", {}, {}});
    EXPECT_EQ(saved["case"]["file"], "case.txt");
    // SHA-256 of "abc".
    EXPECT_EQ(saved["case"]["sha256"],
              "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_TRUE(std::regex_match(saved["generated"].get<std::string>(),
                                 std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d)")));

    const json missing = Json({folder.File("gone.txt"), "", {}, {}});
    EXPECT_EQ(missing["case"]["file"], "gone.txt");
    EXPECT_TRUE(missing["case"]["sha256"].is_null());

    // The bytes the case was read from are what the report cites, whatever the file holds now
    // (here "abc" replaced the "abd" that was read).
    const json read = Json({file, "", {}, {}, std::string("abd")});
    EXPECT_EQ(read["case"]["file"], "case.txt");
    EXPECT_EQ(read["case"]["sha256"],
              "a52d159f262b2c6ddb724a61840befc36eb30c88877a4030b65cbe86298449c9");
}

TEST_F(CaseReportTest, PointsAreLocatedOnTheBody) {
    // By default each point is located on the body from its midline and heel.
    EXPECT_NE(Json()["trajectories"][0]["in_description"].get<std::string>().find("midline"),
              std::string::npos);
    ReportSource source;
    source.describePoint = [](double, double y, double) {
        return y > 1.35 ? std::string("high") : std::string("low");
    };
    const json described = Json(source);
    EXPECT_EQ(described["trajectories"][0]["in_description"], "high");
    EXPECT_EQ(described["trajectories"][0]["out_description"], "low");
}

// JSON has no NaN: its writer put a null there, which reads as "not determined".
TEST_F(CaseReportTest, JsonRefusesANumberThatIsNotFinite) {
    theCase.trajectories[1].yawAdjustment = std::numeric_limits<double>::quiet_NaN();
    std::string text = "untouched";
    const Status formatted = FormatReportJson(Gather(), text);
    EXPECT_FALSE(formatted.ok());
    EXPECT_EQ(formatted.message(), "trajectories[1].adjustment.yaw is not a finite number");
    EXPECT_EQ(text, "untouched");

    TemporaryFolder folder;
    const std::string previous = folder.File("report.json");
    WriteText(previous, "the previous report");
    const Status written =
        WriteCaseReport(PosedCase(theCase), ArrowModels(), ViewState(), previous, {});
    EXPECT_EQ(written.message(), "Cannot write the report \"" + previous +
                                     "\": trajectories[1].adjustment.yaw is not a finite number");
    EXPECT_EQ(FileText(previous), "the previous report");
}

// The reasons of the file API's own codes used to reach the reader as "Unknown error 65537".
TEST_F(CaseReportTest, ReportsOntoWhatCannotBeReplacedSayWhyInWords) {
    TemporaryFolder folder;
    const std::string fifo = folder.File("pipe.json");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string locked = folder.File("locked.json");
    WriteText(locked, "evidence");
    ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
    const std::string full = folder.File("full.json");
    ASSERT_EQ(::symlink("/dev/full", full.c_str()), 0);
    const std::string subfolder = folder.File("folder.json");
    ASSERT_EQ(::mkdir(subfolder.c_str(), 0700), 0);
    const std::pair<std::string, std::string> cases[] = {{fifo, "not a regular file"},
                                                         {locked, "the file is read-only"},
                                                         {full, "not a regular file"},
                                                         {subfolder, "not a regular file"}};
    for (const auto& [target, reason] : cases) {
        const Status written =
            WriteCaseReport(PosedCase(theCase), ArrowModels(), ViewState(), target, {});
        EXPECT_EQ(written.message(), "Cannot write the report \"" + target + "\": " + reason);
    }
    EXPECT_EQ(FileText(locked), "evidence");

    // A case file that cannot be hashed is named with the reason in words.
    const std::string html = FormatReportHtml(Gather({fifo, "", {}, {}}), {}, {});
    EXPECT_NE(html.find("cannot be read: not a regular file"), std::string::npos) << html;
}

TEST_F(CaseReportTest, WhatReadingTheCaseFileLeftOutIsListedInEveryFormat) {
    // A report citing the file's SHA-256 must not pass off a reduced case as the whole file.
    ReportSource source;
    source.caseFile = RUVO_SOURCE_DIR "/README.md"; // any file: only its hash is cited
    source.readingNotes = {"99980 trajectories of the data file left out: the scene holds at most "
                           "20 trajectories and 20 elements.",
                           "The text of trajectory 2 left out: <text> & more"};
    EXPECT_EQ(Json(source)["reading_notes"], json(source.readingNotes));
    EXPECT_EQ(Json()["reading_notes"], json::array()) << "the key is there when nothing was";

    const std::string html = FormatReportHtml(Gather(source), {}, {});
    const size_t notes = html.find("<h2>Reading the case file</h2>");
    ASSERT_NE(notes, std::string::npos);
    EXPECT_LT(html.find("Case file SHA-256"), notes);
    EXPECT_LT(notes, html.find("<h2>Conventions</h2>"));
    EXPECT_NE(html.find("<li>99980 trajectories of the data file left out: the scene holds at most "
                        "20 trajectories and 20 elements.</li>"),
              std::string::npos);
    EXPECT_NE(html.find("<li>The text of trajectory 2 left out: &lt;text&gt; &amp; more</li>"),
              std::string::npos);
    EXPECT_EQ(FormatReportHtml(Gather(), {}, {}).find("Reading the case"), std::string::npos);

    // The PDF is laid out from the same HTML: the notes are on its page.
    const QByteArray pdf = RenderReportPdf(FormatReportBlocks(Gather(source), {}, {}), {}, {});
    TemporaryFolder folder;
    const std::string file = folder.File("report.pdf");
    std::ofstream(file, std::ios::binary).write(pdf.constData(), pdf.size());
    std::string text;
    if (FILE* pipe = ::popen(("pdftotext -raw '" + file + "' -").c_str(), "r")) {
        char buffer[4096];
        for (size_t read = 0; (read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
            text.append(buffer, read);
        }
        ::pclose(pipe);
    }
    const std::string flat = std::regex_replace(text, std::regex("\\s+"), " ");
    EXPECT_NE(flat.find("Reading the case file"), std::string::npos) << flat;
    EXPECT_NE(flat.find("99980 trajectories of the data file left out"), std::string::npos);
}

TEST(ReportTextTest, UncertaintyInWords) {
    EXPECT_EQ(UncertaintyText(ComputeUncertainty(0.2, 0.01, 0, -0.0)),
              "radius 1.0 cm; cone half-angle 5.7\u00b0; direction 354.3\u00b0 to 5.7\u00b0 "
              "(through 0\u00b0); elevation -5.7\u00b0 to 5.7\u00b0");
    EXPECT_EQ(UncertaintyText(ComputeUncertainty(0.01, 0.01, 0, 0)),
              "radius 1.0 cm; undetermined (IN and OUT are no farther apart than twice the "
              "radius)");
    EXPECT_EQ(DegreesText(std::nullopt), "not defined");
    EXPECT_EQ(ReportFormatForPath("a/B.PDF"), ReportFormat::Pdf);
    EXPECT_EQ(ReportFormatForPath("r.htm"), ReportFormat::Html);
    EXPECT_EQ(ReportFormatForPath("r.json"), ReportFormat::Json);
    EXPECT_FALSE(ReportFormatForPath("r.txt"));
    EXPECT_FALSE(ReportFormatForPath("pdf"));
}
