#include "app/cli/CommandLine.h"
#include "support/BoxBody.h"
#include "support/InProcessCommand.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

// Two shots into a body standing 2 m in front of a wall at z = 3 (its own frame turned by 180,
// so that its front faces the wall): both falling by 1 in 10 toward OUT, so that going back they
// rise toward the standing height.
std::string CaseText(const std::string& model) {
    std::string text = "<root>\r\n<body>\r\n   <name>b</name>\r\n   <height>2.0</height>\r\n"
                       "   <placement>0 0 1 180</placement>\r\n   <draws>2000</draws>\r\n"
                       "</body>\r\n";
    const char* tracks[] = {"0.05 1.30 0.25 0.05 1.28 0.05", "-0.05 1.30 0.25 -0.03 1.28 0.05"};
    for (const char* track : tracks) {
        std::istringstream values(track);
        double v[6];
        for (double& value : v) {
            values >> value;
        }
        text += "<trajectory>\r\n  <x1>" + std::to_string(v[0]) + "</x1>\r\n  <y1>" +
                std::to_string(v[1]) + "</y1>\r\n  <z1>" + std::to_string(v[2]) +
                "</z1>\r\n  <x2>" + std::to_string(v[3]) + "</x2>\r\n  <y2>" +
                std::to_string(v[4]) + "</y2>\r\n  <z2>" + std::to_string(v[5]) +
                "</z2>\r\n  <uncertainty>0.005</uncertainty>\r\n  "
                "<group>door</group>\r\n</trajectory>\r\n";
    }
    return text + "<scene>\r\n  <model>" + model +
           "</model>\r\n  <muzzleheights>150 30</muzzleheights>\r\n</scene>\r\n</root>\r\n";
}

// A wall across z = -1.5 (the body's front, turned by 180, faces -Z), 10 m wide and high.
constexpr const char* kWall =
    "v -5 0 -1.5\nv 5 0 -1.5\nv 5 5 -1.5\nv -5 5 -1.5\nusemtl wall\nf 1 2 3\nf 1 3 4\n";

class OriginCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteText(body, kBoxObj);
        WriteText(folder.File("wall.obj"), kWall);
    }

    TemporaryFolder folder;
    std::string body = folder.File("box.obj");
    std::string caseFile = folder.File("case.txt");
};

} // namespace

TEST_F(OriginCommandTest, PrintsEachZoneInTheSceneFrameTheWallThatLimitsItAndTheConvergence) {
    WriteText(caseFile, CaseText("wall.obj")); // beside the case file
    const InProcessRun run = RunInProcess({"--origin", caseFile, "--body", body});
    ASSERT_EQ(run.status, 0) << run.err;
    // The wall names a material it has no library for: the warning is said on the error stream;
    // it came first on stdout, before the table.
    EXPECT_EQ(run.err, "ruvo: warning: glmFindMaterial():  can't find material \"wall\".\n");
    EXPECT_EQ(run.out.rfind("Origin zones, scene frame", 0), 0u) << run.out;
    // The body at z = 1 turned by 180: IN (0.05, 1.3, 0.25) is at (-0.05, 1.3, 0.75) in the scene.
    EXPECT_NE(run.out.find("Body placed at x 0.0, y 0.0, z 100.0 cm, heading 180.0 degrees"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("Trajectory 1: IN -5.0 130.0 75.0, OUT -5.0 128.0 95.0 cm"),
              std::string::npos)
        << run.out;
    // Rising 1 in 10 going back: 20 cm up to 150 cm takes 200 cm, to z = -125, before the wall
    // at -150; the prone height lies below, never reached.
    EXPECT_NE(run.out.find("  150 cm    -5.0 150.0 -125.0         200.0     "), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("  30 cm     not reached going back"), std::string::npos) << run.out;
    // The cone's far lines reach 150 cm only behind the wall, 225 cm from IN: capped there.
    EXPECT_NE(run.out.find("wall at 225.0"), std::string::npos) << run.out;
    // The budget's draws at each height: a quarter of them would reach 150 cm only behind the
    // wall, and none reaches the prone height.
    EXPECT_NE(run.out.find("Draws: the uncertainty budget's 2000, each with the body's heading "
                           "(sigma 0.00 degrees)"),
              std::string::npos)
        << run.out;
    const size_t drawn = run.out.find("  height    draws reaching  distance, 95 % of them (cm)\n"
                                      "  150 cm    7");
    ASSERT_NE(drawn, std::string::npos) << run.out;
    EXPECT_NE(run.out.find("  30 cm     0 %             -\n", drawn), std::string::npos) << run.out;
    // The two tracks close in toward the front: behind the entries their back lines draw apart.
    EXPECT_NE(run.out.find("Shot group \"door\", trajectories 1, 2: the back lines do not "
                           "converge behind the entries"),
              std::string::npos)
        << run.out;
}

TEST_F(OriginCommandTest, ASceneModelThatDoesNotReadKeepsTheCaseAndSaysWhy) {
    WriteText(folder.File("broken.obj"), "v 1 2\nf 1 2 3\n");
    WriteText(caseFile, CaseText("broken.obj"));
    InProcessRun run = RunInProcess({"--origin", caseFile, "--body", body});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.err.find("ruvo: warning: Cannot read the scene model"), std::string::npos)
        << run.err;
    EXPECT_NE(run.out.find("(not read: its surfaces limit no zone)"), std::string::npos);
    EXPECT_NE(run.out.find("Trajectory 2:"), std::string::npos);
    EXPECT_EQ(run.out.find("wall at"), std::string::npos);

    WriteText(caseFile, CaseText("nowhere/missing.ply"));
    run = RunInProcess({"--origin", caseFile, "--body", body});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.err.find("missing.ply"), std::string::npos) << run.err;

    run = RunInProcess({"--origin"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err, "ruvo: --origin needs a data file\n");
    // The whole-scene view belongs to --render; a pixel of it would name no standard view.
    run = RunInProcess({"--surface-point", caseFile, "--view", "scene", "--pixel", "1,1"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("unknown view \"scene\""), std::string::npos) << run.err;
}

TEST_F(OriginCommandTest, LabelsGroupsAndNotesReachTheTerminalEscapedAndForgeNoRow) {
    // A label whose line break would start a forged zone row, ESC and BEL in the group, a scene
    // model path with a NUL-free control, and a case field the reader refuses with a note.
    std::string text = CaseText("wall\x1b[2J.obj");
    const std::string forgedRow = "x&#10;  150 cm    0.0 0.0 0.0          1.0       forged";
    for (size_t at = text.find("<group>door</group>"); at != std::string::npos;
         at = text.find("<group>door</group>", at)) {
        text.replace(at, 19, "<group>do\x1b[31mor\x07</group>");
    }
    text.insert(text.find("<group>"), "<text>" + forgedRow + "</text>\r\n  ");
    text.insert(text.find("<body>"),
                "<case>\r\n  <number>2026-71-D\xe2\x80\xae tnedeceD</number>\r\n</case>\r\n");
    WriteText(caseFile, text);
    const InProcessRun run = RunInProcess({"--origin", caseFile, "--body", body});
    ASSERT_EQ(run.status, 0) << run.err;
    for (const std::string& stream : {run.out, run.err}) {
        for (const char raw : {'\x1b', '\x07', '\0'}) {
            EXPECT_EQ(stream.find(raw), std::string::npos) << stream;
        }
        EXPECT_EQ(stream.find("\xe2\x80\xae"), std::string::npos) << stream;
    }
    EXPECT_NE(run.out.find("Trajectory 1 (x\\n  150 cm    0.0 0.0 0.0"), std::string::npos)
        << run.out;
    EXPECT_EQ(run.out.find("\n  150 cm    0.0 0.0 0.0"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Shot group \"do\\x1b[31mor\\x07\""), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("/wall\\x1b[2J.obj, placed at"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("2026-71-D\\u202e tnedeceD\" on line 3 of the data file left out"),
              std::string::npos)
        << run.err;

    // The summary shows the label on its header line.
    const InProcessRun summary = RunInProcess({"--summary", caseFile, "--body", body});
    EXPECT_NE(summary.out.find("Trajectory  1 (x\\n  150 cm"), std::string::npos) << summary.out;
    EXPECT_EQ(summary.out.find('\x1b'), std::string::npos);
}
