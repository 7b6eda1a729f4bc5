#include "app/cli/CommandLine.h"
#include "casefile/DataFile.h"
#include "casefile/DataSummary.h"
#include "support/BoxBody.h"
#include "support/InProcessCommand.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

const std::string kCase =
    "<root>\r\n<body>\r\n   <name>Case body</name>\r\n"
    "   <height>1.8000</height>\r\n</body>\r\n"
    "<trajectory>\r\n  <inside>true</inside>\r\n  <x1>0.1000</x1>\r\n"
    "  <y1>1.2000</y1>\r\n  <z1>0.0500</z1>\r\n  <x2>-0.0500</x2>\r\n"
    "  <y2>1.1000</y2>\r\n  <z2>0.2500</z2>\r\n  <text>T &amp; U</text>\r\n"
    "</trajectory>\r\n<element>\r\n  <x>0.1234</x>\r\n  <width>0.2</width>\r\n"
    "</element>\r\n</root>\r\n";

class CaseCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteText(body, kBoxObj);
        WriteText(caseFile, kCase);
        LoadBoxBody(expected);
        ASSERT_TRUE(DataFile::ReadText(expected, kCase).ok());
    }

    TemporaryFolder folder;
    std::string body = folder.File("box.obj");
    std::string caseFile = folder.File("case.txt");
    Case expected; // the case as the core reads it
};

} // namespace

TEST_F(CaseCommandsTest, SummaryPrintsTheCaseByteForByte) {
    const InProcessRun run = RunInProcess({"--summary", caseFile, "--body", body});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, DataSummary::Build(expected, DataSummary::Texts::Printable));
    EXPECT_NE(run.out.find("\r\nBody name: Case body\r\nBody height:  1.80 m\r\n\r\nTrajectory  1 "
                           "(T & U):\r\n"),
              std::string::npos);
}

TEST_F(CaseCommandsTest, RewriteWritesTheCaseAsSaveDoes) {
    const std::string output = folder.File("out.txt");
    const InProcessRun run = RunInProcess({"--rewrite", caseFile, output, "--body", body});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(FileText(output), DataFile::Format(expected));
}

TEST_F(CaseCommandsTest, MissingFilesFailWithOneLine) {
    const std::string missing = folder.File("missing.txt");
    InProcessRun run = RunInProcess({"--summary", missing, "--body", body});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              "ruvo: Cannot open data file \"" + missing + "\": No such file or directory\n");

    const std::string noBody = folder.File("no.obj");
    run = RunInProcess({"--rewrite", caseFile, folder.File("out.txt"), "--body", noBody});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              "ruvo: Cannot open body file \"" + noBody + "\": No such file or directory\n");
    EXPECT_FALSE(std::filesystem::exists(folder.File("out.txt")));

    const std::string intoFolder = folder.path().string();
    run = RunInProcess({"--rewrite", caseFile, intoFolder, "--body", body});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.starts_with("ruvo: Cannot write data file \"" + intoFolder + "\": "))
        << run.err;
}

TEST_F(CaseCommandsTest, CaseLargerThanTheTablesIsReadAsFarAsItFits) {
    std::string big;
    for (int i = 0; i < 21; ++i) {
        big += "<trajectory>\r\n</trajectory>\r\n";
    }
    WriteText(caseFile, big);
    const InProcessRun run = RunInProcess({"--summary", caseFile, "--body", body});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "ruvo: 1 trajectory of the data file left out: the scene holds at most 20 "
                       "trajectories and 20 elements.\n");
    EXPECT_NE(run.out.find("Trajectory 20:"), std::string::npos);
    EXPECT_EQ(run.out.find("Trajectory 21"), std::string::npos);
}

TEST_F(CaseCommandsTest, FilesThatAreNoDataFileFailWithOneLine) {
    const std::string passwd = folder.File("passwd");
    WriteText(passwd,
              "root:x:0:0:root:/root:/bin/bash\ndaemon:x:1:1::/usr/sbin:/usr/sbin/nologin\n");
    const std::string joined = folder.File("joined.txt");
    std::string oneLine = kCase;
    std::erase(oneLine, '\r');
    std::erase(oneLine, '\n');
    WriteText(joined, oneLine);
    for (const std::string& file : {passwd, joined}) {
        const InProcessRun run = RunInProcess({"--summary", file, "--body", body});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "ruvo: Cannot open data file \"" + file + "\": not a data file\n");
    }
    // An empty file is still an empty case.
    const std::string empty = folder.File("empty.txt");
    WriteText(empty, "");
    EXPECT_EQ(RunInProcess({"--summary", empty, "--body", body}).status, 0);
}

TEST_F(CaseCommandsTest, EveryReadingNoteIsALineOfItsOwnWithThePrefix) {
    std::string damaged = "<body>\r\n<height>0</height>\r\n</body>\r\n";
    for (int i = 0; i < 21; ++i) {
        damaged += "<trajectory>\r\n<dPitch>1e308</dPitch>\r\n</trajectory>\r\n";
    }
    WriteText(caseFile, damaged);
    const InProcessRun run = RunInProcess({"--summary", caseFile, "--body", body});
    EXPECT_EQ(run.status, 0);
    const std::string angle = "left out: an angle must be at most 1000000 degrees either way; "
                              "it reads as 0.\n";
    std::string notes = "ruvo: 1 trajectory of the data file left out: the scene holds at most "
                        "20 trajectories and 20 elements.\n"
                        "ruvo: The body height \"0\" of the data file left out: a body height "
                        "must be more than 0 cm; the height stays 200.0 cm.\n";
    for (int i = 1; i <= 20; ++i) {
        notes += "ruvo: The dPitch \"1e308\" of trajectory " + std::to_string(i) + " " + angle;
    }
    EXPECT_EQ(run.err, notes);
}

TEST_F(CaseCommandsTest, LandmarkTableFailuresAreWarningsWithThePrefix) {
    const std::string table = folder.File("box.landmarks");
    WriteText(table, "left nipple 0.1 1.5\n");
    const InProcessRun run = RunInProcess({"--summary", caseFile, "--body", body});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "ruvo: warning: \"" + table +
                           "\": Landmark table line 1: \"nipple\" is not a number\n");
}
