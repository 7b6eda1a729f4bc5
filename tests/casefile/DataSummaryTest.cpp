#include "casefile/DataSummary.h"
#include "base/NumberText.h"
#include "case/Case.h"
#include "case/TrackLine.h"
#include "support/BoxBody.h"

#include <gtest/gtest.h>

namespace {

class DataSummaryTest : public ::testing::Test {
protected:
    void SetUp() override { LoadBoxBody(theCase); }

    // The new entry, valid until the next one is added.
    Trajectory& AddTrajectory(const std::string& text) {
        Trajectory& added = theCase.trajectories.emplace_back();
        added.exited = true;
        added.label = text;
        return added;
    }

    Element& AddElement(const std::string& text) {
        Element& added = theCase.elements.emplace_back();
        added.label = text;
        return added;
    }

    Case theCase;
};

} // namespace

TEST_F(DataSummaryTest, BodyAloneIsTwoLinesAfterAnEmptyLine) {
    theCase.body.SetName("Jo");
    theCase.body.SetHeight(1.75);
    EXPECT_EQ(DataSummary::Build(theCase), "\r\nBody name:    Jo\r\nBody height:  1.75 m\r\n");
    theCase.body.SetName("Johanna Example");
    EXPECT_EQ(DataSummary::Build(theCase),
              "\r\nBody name: Johanna Example\r\nBody height:  1.75 m\r\n");
}

TEST_F(DataSummaryTest, WorkedTrajectoryExample) {
    theCase.body.SetName("Jane");
    Trajectory& trajectory = AddTrajectory("T");
    trajectory.in = {0.10, 1.20, 0.05};
    trajectory.out = {-0.05, 1.10, 0.25};
    EXPECT_EQ(DataSummary::Build(theCase),
              "\r\n"
              "Body name:  Jane\r\n"
              "Body height:  2.00 m\r\n"
              "\r\n"
              "Trajectory  1 (T):\r\n"
              "x1 =  10.0 cm    y1 = 120.0 cm    z1 =   5.0 cm\r\n"
              "x2 =  -5.0 cm    y2 = 110.0 cm    z2 =  25.0 cm\r\n"
              "Adjustment x =   0.0 cm    y =   0.0 cm    z =   0.0 cm\r\n"
              "Direction angle: 216.9 deg\r\n"
              "Elevation angle: -21.8 deg\r\n"
              "Adjustment yaw =   0.0    pitch =   0.0\r\n");
}

TEST_F(DataSummaryTest, HeaderVariantsAdjustmentAndElements) {
    theCase.body.SetName("Jane");
    for (int i = 0; i < 9; ++i) {
        AddTrajectory("");
    }
    Trajectory& tenth = AddTrajectory("");
    tenth.offset = {-0.004, 0.0126, 0};
    tenth.yawAdjustment = 12.26;
    tenth.pitchAdjustment = -3;
    const std::string longText(6000, 'L');
    AddTrajectory(longText);
    AddElement("").centre = {0.1, -0.004, 1.5};
    AddElement("E 2");

    const std::string summary = DataSummary::Build(theCase);
    EXPECT_NE(summary.find("\r\n\r\nTrajectory  9:\r\nx1 =   0.0 cm"), std::string::npos);
    EXPECT_NE(summary.find("\r\n\r\nTrajectory 10:\r\n"), std::string::npos);
    EXPECT_NE(summary.find("Adjustment x =  -0.4 cm    y =   1.3 cm    z =   0.0 cm\r\n"
                           "Direction angle:"),
              std::string::npos);
    EXPECT_NE(summary.find("Adjustment yaw =  12.3    pitch =  -3.0\r\n"), std::string::npos);
    EXPECT_NE(summary.find("\r\n\r\nTrajectory 11 (" + longText + "):\r\n"), std::string::npos);
    const std::string elements = "\r\n"
                                 "Element  1 :\r\n"
                                 "x =  10.0 cm    y =  -0.4 cm    z = 150.0 cm\r\n"
                                 "\r\n"
                                 "Element  2 (E 2):\r\n"
                                 "x =   0.0 cm    y =   0.0 cm    z =   0.0 cm\r\n";
    ASSERT_GE(summary.size(), elements.size());
    EXPECT_EQ(summary.substr(summary.size() - elements.size()), elements);
}

// The window shows a label's line break as the user typed it; a terminal gets it escaped, so that
// the label cannot start a line of its own nor send the terminal a control sequence.
TEST_F(DataSummaryTest, LabelsAreAsTypedInTheWindowAndEscapedForATerminal) {
    AddTrajectory("left\r\narm\x1b[2J");
    EXPECT_NE(DataSummary::Build(theCase).find("\r\nTrajectory  1 (left\r\narm\x1b[2J):\r\n"),
              std::string::npos);
    const std::string printable = DataSummary::Build(theCase, DataSummary::Texts::Printable);
    EXPECT_NE(printable.find("\r\nTrajectory  1 (left\\r\\narm\\x1b[2J):\r\n"), std::string::npos)
        << printable;
}

// A track with points between IN and OUT has the angles of the line fitted through all its
// stops, then each point with its misfit, and for a track through two parts each piece and the
// deflection between them.
TEST_F(DataSummaryTest, ATrackWithPointsListsThemWithTheFittedLine) {
    Trajectory& trajectory = AddTrajectory("");
    // Straight ahead (+Z) through the left arm, then turned 45 degrees toward the right in the
    // trunk.
    trajectory.in = {0.10, 1.20, 0.00};
    trajectory.inPart = "left_arm";
    trajectory.points = {{{0.10, 1.20, 0.10}, 0.005, "left_arm"},
                         {{0.10, 1.20, 0.20}, 0.002, "trunk"}};
    trajectory.out = {0.00, 1.20, 0.30};
    trajectory.outPart = "trunk";
    const std::string summary = DataSummary::Build(theCase);
    const std::optional<TrackLine> line = FitTrackLine(StopsOfTrajectory(trajectory));
    ASSERT_TRUE(line.has_value());
    EXPECT_NE(summary.find("Direction angle: " + FormatFixed(line->angles.direction, 5, 1)),
              std::string::npos)
        << summary;
    // The pieces run straight ahead (180) and ahead and to the right (225): 45 degrees apart.
    EXPECT_EQ(summary.substr(summary.find("Adjustment yaw")),
              "Adjustment yaw =   0.0    pitch =   0.0\r\n"
              "Point 1: x =  10.0 cm    y = 120.0 cm    z =  10.0 cm\r\n"
              "   radius   0.5 cm, part left_arm, misfit   1.0 cm\r\n"
              "Point 2: x =  10.0 cm    y = 120.0 cm    z =  20.0 cm\r\n"
              "   radius   0.2 cm, part trunk, misfit   0.6 cm (off the line)\r\n"
              "Misfit of IN:   2.5 cm (off the line)    of OUT:   7.8 cm (off the line)\r\n"
              "Piece 1 (left_arm, IN to point 1): direction 180.0 deg, elevation   0.0 deg\r\n"
              "Deflection between pieces 1 and 2:  45.0 deg\r\n"
              "Piece 2 (trunk, point 2 to OUT): direction 225.0 deg, elevation   0.0 deg\r\n");

    // On one part, the track is one piece: no piece lines.
    trajectory.points[1].part = "left_arm";
    trajectory.outPart = "left_arm";
    const std::string onePiece = DataSummary::Build(theCase);
    EXPECT_EQ(onePiece.find("Piece"), std::string::npos) << onePiece;
    EXPECT_NE(onePiece.find("Misfit of IN"), std::string::npos) << onePiece;
}
