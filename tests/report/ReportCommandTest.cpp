#include "support/BoxBody.h"

#include "case/Case.h"
#include "case/EntryNumber.h"
#include "case/TrackAngles.h"
#include "case/TrajectoryCourse.h"
#include "casefile/DataFile.h"
#include "report/ReportHtml.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Runs a shell command; returns its exit status and what it printed on standard output.
int RunShell(const std::string& command, std::string& output) {
    output.clear();
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return -1;
    }
    char buffer[4096];
    size_t read = 0;
    while ((read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        output.append(buffer, read);
    }
    const int status = ::pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The program from the project folder (where its default models are), standard error captured.
int RunRuvo(const std::string& arguments, std::string& errorText) {
    std::string ignored;
    const std::string errors =
        ::testing::TempDir() + "ruvo-report-stderr-" + std::to_string(::getpid()) + ".txt";
    const int status = RunShell("cd '" RUVO_SOURCE_DIR "' && '" RUVO_BINARY "' " + arguments +
                                    " 2>'" + errors + "'",
                                ignored);
    errorText = FileText(errors);
    std::remove(errors.c_str());
    return status;
}

class ReportCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadBoxBody(theCase);
        // The budget's precision is not what these tests read: a few draws keep them quick.
        ASSERT_TRUE(theCase.body.GetUncertaintyModel().SetDraws(2000).ok());
        const double tracks[][6] = {
            {-0.05, 1.4, 0.25, 0.05, 1.3, 0.02}, {0, 1.5, 0.1, 0, 1.2, 0.1},
            {-0.15, 1.2, 0.1, 0.15, 1.2, 0.1},   {0.02, 0.9, 0.05, -0.07, 1.05, 0.22},
            {0.1, 1.0, 0.1, 0.105, 1.0, 0.1},
        };
        for (const auto& t : tracks) {
            Trajectory trajectory;
            trajectory.in = {t[0], t[1], t[2]};
            trajectory.out = {t[3], t[4], t[5]};
            trajectory.exited = true;
            theCase.trajectories.push_back(trajectory);
        }
        theCase.TrajectoryNumbered(4)->radiusIn = 0.004;
        caseFile = folder.File("case.txt");
        ASSERT_TRUE(DataFile::Write(theCase, caseFile).ok());
    }

    Case theCase;
    TemporaryFolder folder;
    std::string caseFile;
};

} // namespace

TEST_F(ReportCommandTest, PdfReadsBackEveryAngle) {
    const std::string pdf = folder.File("report.pdf");
    std::string errors;
    ASSERT_EQ(RunRuvo("--report '" + caseFile + "' --output '" + pdf + "'", errors), 0) << errors;
    EXPECT_EQ(errors, "") << "nothing on standard error on success";
    std::string text;
    ASSERT_EQ(RunShell("pdftotext -raw '" + pdf + "' -", text), 0);
    for (size_t i = 0; i < theCase.trajectories.size(); ++i) {
        const Trajectory& trajectory = theCase.trajectories[i];
        const TrajectoryCourse course = DescribeTrajectory(trajectory);
        SCOPED_TRACE(testing::Message() << "trajectory " << NumberOfIndex(i));
        std::vector<std::string> expected = {
            "Direction angle " + OneDecimal(Bearing(trajectory.in, trajectory.out)) + "\u00b0",
            "Elevation angle " + OneDecimal(Elevation(trajectory.in, trajectory.out)) + "\u00b0",
            course.sentence,
            "transverse " + DegreesText(course.planeAngles.transverse),
            "sagittal " + DegreesText(course.planeAngles.sagittal),
            "coronal " + DegreesText(course.planeAngles.coronal),
        };
        if (course.uncertainty.coneHalfAngle) {
            expected.push_back("cone half-angle " + DegreesText(course.uncertainty.coneHalfAngle));
        }
        // Lines may break anywhere between words: compare with single blanks.
        const std::string flat = std::regex_replace(text, std::regex("\\s+"), " ");
        for (const std::string& piece : expected) {
            EXPECT_NE(flat.find(piece), std::string::npos) << piece;
        }
    }
    EXPECT_NE(text.find("Ruvolane 2.7.0"), std::string::npos);
    EXPECT_NE(text.find("case.txt"), std::string::npos);
}

TEST_F(ReportCommandTest, HtmlIsOneFileAndJsonMatchesTheCase) {
    const std::string html = folder.File("report.html");
    const std::string json = folder.File("report.JSON");
    std::string errors;
    ASSERT_EQ(RunRuvo("--report '" + caseFile + "' --output '" + html + "'", errors), 0) << errors;
    ASSERT_EQ(RunRuvo("--report '" + caseFile + "' --output '" + json + "'", errors), 0) << errors;
    const std::string page = FileText(html);
    // The body diagrams, the axes figure, three views, a close-up per trajectory and the plan
    // view of the origin zones, all inline: no src that names another file.
    const std::regex source("src=\"([^\"]{0,30})");
    int images = 0;
    for (auto it = std::sregex_iterator(page.begin(), page.end(), source);
         it != std::sregex_iterator(); ++it) {
        EXPECT_EQ((*it)[1].str().rfind("data:image/png;base64,", 0), 0u) << (*it)[1];
        ++images;
    }
    EXPECT_EQ(images, 5 + 5 + 1);

    const auto report = nlohmann::json::parse(FileText(json));
    EXPECT_EQ(report["case"]["file"], "case.txt");
    EXPECT_EQ(report["body"]["model"]["file"], "man1.obj");
    ASSERT_EQ(report["trajectories"].size(), 5u);
    EXPECT_DOUBLE_EQ(report["trajectories"][3]["uncertainty"]["radius_cm"].get<double>(), 0.4);
    EXPECT_TRUE(report["trajectories"][4]["uncertainty"]["cone_half_angle_deg"].is_null());
}

TEST_F(ReportCommandTest, JsonListsWhatReadingTheCaseFileLeftOut) {
    std::string damaged = "<body>\r\n<height>0</height>\r\n</body>\r\n";
    for (int i = 0; i < 21; ++i) {
        damaged += "<trajectory>\r\n</trajectory>\r\n";
    }
    WriteText(caseFile, damaged);
    const std::string json = folder.File("report.json");
    std::string errors;
    ASSERT_EQ(RunRuvo("--report '" + caseFile + "' --output '" + json + "'", errors), 0) << errors;
    const std::vector<std::string> notes = {
        "1 trajectory of the data file left out: the scene holds at most 20 trajectories and 20 "
        "elements.",
        "The body height \"0\" of the data file left out: a body height must be more than 0 cm; "
        "the height stays 200.0 cm."};
    const auto report = nlohmann::json::parse(FileText(json));
    EXPECT_EQ(report["reading_notes"], nlohmann::json(notes));
    EXPECT_EQ(report["trajectories"].size(), 20u);
    EXPECT_EQ(errors, "ruvo: " + notes[0] + "\nruvo: " + notes[1] + "\n");
}

TEST_F(ReportCommandTest, FailuresSayOneLineAndLeaveNothingBehind) {
    std::string errors;
    const std::string pdf = folder.File("out.pdf");
    EXPECT_EQ(
        RunRuvo("--report '" + folder.File("missing.txt") + "' --output '" + pdf + "'", errors), 1);
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    EXPECT_NE(errors.find("missing.txt"), std::string::npos) << errors;

    EXPECT_EQ(
        RunRuvo("--report '" + caseFile + "' --output '" + folder.File("r.txt") + "'", errors), 2);
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    EXPECT_EQ(RunRuvo("--report '" + caseFile + "'", errors), 2);

    EXPECT_EQ(
        RunRuvo("--report '" + caseFile + "' --output '" + folder.File("no/such/r.json") + "'",
                errors),
        1);
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
    // Only the case file is left in the folder (and the out.pdf that was never written is not).
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        ++entries;
    }
    EXPECT_EQ(entries, 1);
}
