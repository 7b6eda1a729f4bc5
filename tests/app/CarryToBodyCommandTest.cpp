#include "CtPhantom.h"
#include "base/ProgramFiles.h"
#include "case/Case.h"
#include "casefile/DataFile.h"
#include "support/BoxBody.h"
#include "support/InProcessCommand.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace {

// A case whose body is the cylinder phantom's series, beside it in the case's folder, with one
// trajectory through the cylinder (front to back, 7 cm above its lower end).
class CarryToBodyCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WriteCtPhantom(folder.path() / "case" / "scan", phantom).ok());
        ctCase = folder.File("case/case.txt");
        std::ofstream(ctCase, std::ios::binary)
            << "<root>\r\n<trajectory>\r\n  <x1>0.01</x1>\r\n  <y1>0.07</y1>\r\n  "
               "<z1>0.09</z1>\r\n  <x2>0.01</x2>\r\n  <y2>0.07</y2>\r\n  <z2>0.01</z2>\r\n"
               "  <text>through</text>\r\n</trajectory>\r\n"
               "<ct>\r\n  <folder>scan</folder>\r\n</ct>\r\n</root>\r\n";
    }

    TemporaryFolder folder;
    CtPhantomOptions phantom;
    std::string ctCase;
};

} // namespace

// The carried case is written on the posable body at the scan's length, reads back with its
// record of the CT body, writes back the same bytes, and its reports name both bodies.
TEST_F(CarryToBodyCommandTest, WritesTheCarriedCaseThatReadsBackAndReportsBothBodies) {
    const std::string out = folder.File("carried.txt");
    const InProcessRun run = RunInProcess({"--carry-to-body", ctCase, out});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const std::string text = FileText(out);
    EXPECT_EQ(text.find("<ct>"), std::string::npos) << text;
    EXPECT_NE(text.find("<ctseries>" + phantom.seriesUid + "</ctseries>"), std::string::npos)
        << text;

    Case read;
    ASSERT_TRUE(read.body.Load(DefaultModelFiles::Located().body).ok());
    ASSERT_TRUE(DataFile::Read(read, out).ok());
    EXPECT_FALSE(read.ct.IsCtBody());
    EXPECT_EQ(read.carriedFrom.seriesUid, phantom.seriesUid);
    EXPECT_EQ(read.carriedFrom.ctFolder, folder.File("case/scan"));
    EXPECT_EQ(read.carriedFrom.seriesSha256.size(), 64u);
    EXPECT_NEAR(read.carriedFrom.ctLength, 0.14, 0.002); // the cylinder is 140 mm long
    EXPECT_NEAR(read.body.GetHeight(), read.carriedFrom.ctLength, 1e-4);
    ASSERT_EQ(read.trajectories.size(), 1u);
    EXPECT_EQ(read.trajectories[0].label, "through");
    EXPECT_TRUE(read.trajectories[0].HasParts());

    const std::string again = folder.File("again.txt");
    ASSERT_EQ(RunInProcess({"--rewrite", out, again}).status, 0);
    EXPECT_EQ(FileText(again), text);

    const std::string json = folder.File("report.json");
    const InProcessRun report = RunInProcess({"--report", out, "--output", json});
    ASSERT_EQ(report.status, 0) << report.err;
    const std::string jsonText = FileText(json);
    EXPECT_NE(jsonText.find("\"carried_from\""), std::string::npos);
    EXPECT_NE(jsonText.find("\"series_uid\": \"" + phantom.seriesUid + "\""), std::string::npos);
    const std::string html = folder.File("report.html");
    ASSERT_EQ(RunInProcess({"--report", out, "--output", html}).status, 0);
    const std::string htmlText = FileText(html);
    EXPECT_NE(
        htmlText.find("Carried from the CT body of series " + phantom.seriesUid + " (length 14."),
        std::string::npos);
    EXPECT_NE(htmlText.find("to the posable body scaled to 14."), std::string::npos);
    EXPECT_NE(htmlText.find("each point by its height above the soles and its offsets from the "
                            "midline and the back"),
              std::string::npos);
}

// A case without a CT body, an output that is the input (under any name) or cannot be written:
// one line, status 1, and the input as it was.
TEST_F(CarryToBodyCommandTest, RefusesWithoutTouchingTheInput) {
    const std::string before = FileText(ctCase);
    const auto refused = [](const InProcessRun& run) {
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        return run.err;
    };
    EXPECT_NE(refused(RunInProcess({"--carry-to-body", ctCase, ctCase})).find("another file"),
              std::string::npos);
    const std::string dotted = folder.File("case/../case/case.txt");
    refused(RunInProcess({"--carry-to-body", ctCase, dotted}));
    EXPECT_EQ(FileText(ctCase), before);
    refused(RunInProcess({"--carry-to-body", ctCase, folder.File("missing/out.txt")}));

    const std::string plain = folder.File("plain.txt");
    WriteText(plain, "<root>\r\n<trajectory>\r\n  <x1>0.01</x1>\r\n</trajectory>\r\n</root>\r\n");
    EXPECT_NE(refused(RunInProcess({"--carry-to-body", plain, folder.File("out.txt")}))
                  .find("has no CT body"),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder.File("out.txt")));
    EXPECT_EQ(RunInProcess({"--carry-to-body", ctCase}).status, 2);
}
