#include "casefile/DataFile.h"
#include "support/BoxBody.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A file whose one trajectory block holds `lines` after IN and OUT.
std::string FileWithTrackLines(const std::string& lines) {
    return "<root>\r\n<body>\r\n   <name>x</name>\r\n   <height>1.8</height>\r\n</body>\r\n"
           "<trajectory>\r\n  <x1>0.1</x1>\r\n  <y1>1.2</y1>\r\n  <y2>1.2</y2>\r\n"
           "  <z2>0.3</z2>\r\n" +
           lines + "</trajectory>\r\n</root>\r\n";
}

} // namespace

// Points stand after the trajectory's text, each with its radius and part only when they say
// more than the default, and read back exactly; a file without points is written as before.
TEST(TrackPointLinesTest, PointsFollowTheTrajectoryAndReadBackExactly) {
    Case theCase;
    LoadBoxBody(theCase);
    Trajectory& track = theCase.trajectories.emplace_back();
    track.in = {0.1, 1.2, 0.0};
    track.out = {0.0, 1.2, 0.3};
    const std::string withoutPoints = DataFile::Format(theCase);
    EXPECT_EQ(withoutPoints.find("<point"), std::string::npos);

    track.points = {{{0.0712, 1.2, 0.1}, 0.004, "left_arm"},
                    {{0.05, 1.19, 0.15}, TrackPoint::kDefaultRadius, ""},
                    {{0.03, 1.21, 0.2}, 0, "trunk"}};
    const std::string text = DataFile::Format(theCase);
    EXPECT_NE(text.find("  <point>0.0712 1.2000 0.1000</point>\r\n"
                        "  <pointradius>0.0040</pointradius>\r\n"
                        "  <pointpart>left_arm</pointpart>\r\n"
                        "  <point>0.0500 1.1900 0.1500</point>\r\n"
                        "  <point>0.0300 1.2100 0.2000</point>\r\n"
                        "  <pointradius>0.0000</pointradius>\r\n"
                        "  <pointpart>trunk</pointpart>\r\n"
                        "</trajectory>"),
              std::string::npos)
        << text;

    Case readBack;
    LoadBoxBody(readBack);
    const DataFileReadResult result = DataFile::ReadText(readBack, text);
    ASSERT_TRUE(result.ok()) << result.status.message();
    EXPECT_EQ(result.LeftOutMessage(), "");
    ASSERT_EQ(readBack.TrajectoryCount(), 1);
    EXPECT_EQ(readBack.trajectories[0].points, track.points);
    EXPECT_EQ(DataFile::Format(readBack), text);

    // A file without points reads as none and is written as it was.
    Case older;
    LoadBoxBody(older);
    ASSERT_TRUE(DataFile::ReadText(older, withoutPoints).ok());
    EXPECT_TRUE(older.trajectories.at(0).points.empty());
    EXPECT_EQ(DataFile::Format(older), withoutPoints);
}

// A hand-edited line that is no point, radius or part is named with its line and left out; the
// points around it are kept, and so is everything else of the block.
TEST(TrackPointLinesTest, HandEditedPointLinesAreNamedAndLeftOutAlone) {
    Case theCase;
    LoadBoxBody(theCase);
    const DataFileReadResult result = DataFile::ReadText(
        theCase, FileWithTrackLines("  <pointradius>0.02</pointradius>\r\n"     // line 11
                                    "  <point>0.05 1.2 0.1</point>\r\n"         // 12
                                    "  <pointradius>2</pointradius>\r\n"        // 13
                                    "  <pointpart>tail</pointpart>\r\n"         // 14
                                    "  <point>0.05 x 0.1</point>\r\n"           // 15
                                    "  <pointradius>0.003</pointradius>\r\n"    // 16
                                    "  <point>0.04 1.2</point>\r\n"             // 17
                                    "  <point>0.03 1.2 0.2</point>\r\n"         // 18
                                    "  <pointpart>Left_Forearm</pointpart>\r\n" // 19
                                    "  <text>shot</text>\r\n"));
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.LeftOutMessage(),
              "The point radius \"0.02\" on line 11 left out: it follows no point of its "
              "trajectory.\n"
              "The point radius \"2\" on line 13 (trajectory 1) left out: a radius is a number "
              "of metres within 0 and 1; the point keeps 0.0100.\n"
              "The point part \"tail\" on line 14 (trajectory 1) left out: a part is one of "
              "head, trunk, right_arm, right_forearm, left_arm, left_forearm, right_thigh, "
              "right_shank, left_thigh, left_shank; the point takes the part of the stop before "
              "it.\n"
              "The point \"0.05 x 0.1\" on line 15 (trajectory 1) left out: a point is three "
              "numbers, x y z in metres.\n"
              "The point \"0.04 1.2\" on line 17 (trajectory 1) left out: a point is three "
              "numbers, x y z in metres.");
    ASSERT_EQ(theCase.TrajectoryCount(), 1);
    const Trajectory& track = theCase.trajectories[0];
    EXPECT_EQ(track.label, "shot");
    EXPECT_EQ(track.in.x, 0.1);
    ASSERT_EQ(track.points.size(), 2u);
    EXPECT_EQ(track.points[0], (TrackPoint{{0.05, 1.2, 0.1}, TrackPoint::kDefaultRadius, ""}));
    EXPECT_EQ(track.points[1],
              (TrackPoint{{0.03, 1.2, 0.2}, TrackPoint::kDefaultRadius, "left_forearm"}));
}

// A trajectory holds at most its limit of points: those beyond it are named, the rest kept.
TEST(TrackPointLinesTest, PointsBeyondTheLimitAreNamed) {
    std::string lines;
    for (int i = 0; i < Trajectory::kMaxTrackPoints + 2; ++i) {
        lines += "  <point>0.01 1.2 " + std::to_string(i) + "</point>\r\n";
    }
    Case theCase;
    LoadBoxBody(theCase);
    const DataFileReadResult result = DataFile::ReadText(theCase, FileWithTrackLines(lines));
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.LeftOutMessage(),
              "The point \"0.01 1.2 20\" on line 31 (trajectory 1) left out: a trajectory holds "
              "at most 20 points between IN and OUT.\n"
              "The point \"0.01 1.2 21\" on line 32 (trajectory 1) left out: a trajectory holds "
              "at most 20 points between IN and OUT.");
    ASSERT_EQ(theCase.trajectories.at(0).points.size(),
              static_cast<size_t>(Trajectory::kMaxTrackPoints));
    EXPECT_EQ(theCase.trajectories[0].points.back().point.z, 19);
}
