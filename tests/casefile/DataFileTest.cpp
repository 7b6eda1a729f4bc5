#include "casefile/DataFile.h"
#include "case/TrackAngles.h"
#include "support/BoxBody.h"
#include "support/OldArmPose.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::string kHeader = "<root>\r\n"
                            "\r\n"
                            "<software>\r\n"
                            "  <title>Ruvolane</title>\r\n"
                            "  <version>2.7.0</version>\r\n"
                            "  <copyright>Copyright (C) 2026 Kestrane</copyright>\r\n"
                            "  <rights>All rights reserved.</rights>\r\n"
                            "</software>\r\n"
                            "\r\n";

// The body block's posture lines of a body standing in the anatomical position.
const std::string kStandingPose = "   <posture>standing</posture>\r\n"
                                  "   <pose>neck  0.00  0.00  0.00</pose>\r\n"
                                  "   <pose>trunk  0.00  0.00  0.00</pose>\r\n"
                                  "   <pose>right_shoulder  0.00  0.00  0.00</pose>\r\n"
                                  "   <pose>right_elbow  0.00  0.00  0.00</pose>\r\n"
                                  "   <pose>left_shoulder  0.00  0.00  0.00</pose>\r\n"
                                  "   <pose>left_elbow  0.00  0.00  0.00</pose>\r\n"
                                  "   <pose>right_hip  0.00  0.00  0.00</pose>\r\n"
                                  "   <pose>right_knee  0.00  0.00  0.00</pose>\r\n"
                                  "   <pose>left_hip  0.00  0.00  0.00</pose>\r\n"
                                  "   <pose>left_knee  0.00  0.00  0.00</pose>\r\n"
                                  "   <pose>body  0.00  0.00  0.00</pose>\r\n";

class DataFileTest : public ::testing::Test {
protected:
    void SetUp() override { LoadBoxBody(theCase); }

    // The new entry, valid until the next one is added.
    Trajectory& AddTrajectory(bool exited) {
        theCase.trajectories.push_back(Trajectory{});
        theCase.trajectories.back().exited = exited;
        return theCase.trajectories.back();
    }

    Element& AddElement() { return theCase.elements.emplace_back(); }

    Case theCase;
};

} // namespace

TEST_F(DataFileTest, EmptySceneWritesSoftwareAndBodyBlocks) {
    theCase.body.SetName("Jane");
    theCase.body.SetHeight(1.75);
    const std::string text = DataFile::Format(theCase);
    EXPECT_EQ(text, kHeader +
                        "<body>\r\n"
                        "   <name>Jane</name>\r\n"
                        "   <height>1.7500</height>\r\n"
                        "   <scalex>1.0000</scalex>\r\n"
                        "   <scalez>1.0000</scalez>\r\n" +
                        kStandingPose +
                        "</body>\r\n"
                        "</root>\r\n");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 28);
}

TEST_F(DataFileTest, TrajectoryAndElementBlocksByteForByte) {
    theCase.body.SetName("Jane");
    Trajectory& trajectory = AddTrajectory(false);
    trajectory.in = {0.1234, 1.2, 0.05};
    trajectory.out = {-0.05, 1.1, 0.25};
    trajectory.offset.x = 0.0015;
    trajectory.pitchAdjustment = 2.5;
    trajectory.yawAdjustment = -10;
    trajectory.color = {1, 0.5, 0};
    trajectory.label = "T";
    Element& element = AddElement();
    element.color = {0.5, 0.25, 1};
    element.centre = {0.1, 1.0, 0.123};
    element.size = {0.2, 0.1, 0.4};
    element.pitch = 10;
    element.yaw = -20.5;
    element.label = "E";

    const std::string expected = kHeader +
                                 "<body>\r\n"
                                 "   <name>Jane</name>\r\n"
                                 "   <height>2.0000</height>\r\n"
                                 "   <scalex>1.0000</scalex>\r\n"
                                 "   <scalez>1.0000</scalez>\r\n" +
                                 kStandingPose +
                                 "</body>\r\n"
                                 "\r\n"
                                 "<trajectory>\r\n"
                                 "  <number>1</number>\r\n"
                                 "  <inside>true</inside>\r\n"
                                 "  <r>  255</r>\r\n"
                                 "  <g>  127</g>\r\n"
                                 "  <b>    0</b>\r\n"
                                 "  <x1>0.1234</x1>\r\n"
                                 "  <y1>1.2000</y1>\r\n"
                                 "  <z1>0.0500</z1>\r\n"
                                 "  <x2>-0.0500</x2>\r\n"
                                 "  <y2>1.1000</y2>\r\n"
                                 "  <z2>0.2500</z2>\r\n"
                                 "  <dx>0.0015</dx>\r\n"
                                 "  <dy>0.0000</dy>\r\n"
                                 "  <dz>0.0000</dz>\r\n"
                                 "  <dPitch> 2.50</dPitch>\r\n"
                                 "  <dYaw>-10.00</dYaw>\r\n"
                                 "  <dRoll> 0.00</dRoll>\r\n"
                                 "  <uncertainty>0.0100</uncertainty>\r\n"
                                 "  <witharm>true</witharm>\r\n"
                                 "  <text>T</text>\r\n"
                                 "</trajectory>\r\n"
                                 "\r\n"
                                 "<element>\r\n"
                                 "  <r>  128</r>\r\n"
                                 "  <g>   64</g>\r\n"
                                 "  <b>  255</b>\r\n"
                                 "  <x>0.1000</x>\r\n"
                                 "  <y>1.0000</y>\r\n"
                                 "  <z>0.1230</z>\r\n"
                                 "  <width>0.2000</width>\r\n"
                                 "  <height>0.1000</height>\r\n"
                                 "  <length>0.4000</length>\r\n"
                                 "  <pitch>10.00</pitch>\r\n"
                                 "  <yaw>-20.50</yaw>\r\n"
                                 "  <roll> 0.00</roll>\r\n"
                                 "  <text>E</text>\r\n"
                                 "</element>\r\n"
                                 "</root>\r\n";
    EXPECT_EQ(DataFile::Format(theCase), expected);

    // A bullet that left the body, and a text line with nothing between its tags.
    AddTrajectory(true);
    const std::string second = DataFile::Format(theCase);
    EXPECT_NE(second.find("  <number>2</number>\r\n  <inside>false</inside>\r\n"),
              std::string::npos);
    EXPECT_NE(second.find("  <dRoll> 0.00</dRoll>\r\n  <uncertainty>0.0100</uncertainty>\r\n  "
                          "<witharm>true</witharm>\r\n  <text></text>\r\n</trajectory>\r\n\r\n"
                          "<element>"),
              std::string::npos);
}

TEST_F(DataFileTest, ReaderToleratesHandEditedAndOldFiles) {
    // Lines are read in pieces of 32768 characters.
    const std::string overLongText =
        "<text>" + std::string(DataFile::kMaxLineLength, 'x') + "</text>\r\n";
    const std::string valueInSecondPiece =
        std::string(DataFile::kMaxLineLength, 'y') + "<dy>0.5</dy>\r\n";
    const std::string text =
        "<body>\r\n<name>Old</name>\r\n<HEIGHT> 1.80abc</HEIGHT>\r\n</body>\r\n"
        // 1: capital tags, blanks around numbers, "untrue" counts as inside, a raw "<" and ">" in
        // text; a number with anything after it is no number (it was read as far as it went).
        "<Trajectory>\r\n<INSIDE>untrue</INSIDE>\r\n<X1>  0.10</X1>\r\n<y1>1.5abc</y1>\r\n"
        "<z1>abc</z1>\r\n<DPITCH> 12.5</DPITCH>\r\n<dx>0.02</dx>\r\n<r>0</r>\r\n"
        "<text>a > b < c</text>\r\n</TRAJECTORY>\r\n"
        // 2: "TRUE" is not inside; values not given carry over, colours start again at 255; an old
        // text holding a tag is taken by that tag.
        "<trajectory>\r\n<inside>TRUE</inside>\r\n<text>see <g> here</text>\r\n"
        "</trajectory>\r\n"
        // 3: a line longer than a piece: its second piece is read as a line of its own.
        "<trajectory>\r\n" +
        overLongText + valueInSecondPiece +
        "<text>line one\r\nline two</text>\r\n</trajectory>\r\n"
        // An element whose block never ends is dropped.
        "<element>\r\n<x>0.3</x>\r\n";

    DataFileReadResult result = DataFile::ReadText(theCase, text);
    ASSERT_TRUE(result.ok());
    // The values that are no numbers, the two over-long lines and the unfinished block are
    // worth a word; raw texts are not.
    EXPECT_EQ(result.ReadingNotes(),
              (std::vector<std::string>{
                  "The body height \" 1.80abc\" of the data file left out: it is not a number; "
                  "the height stays 200.0 cm.",
                  "The y1 \"1.5abc\" of trajectory 1 left out: it is not a number; it reads as 0.",
                  "The z1 \"abc\" of trajectory 1 left out: it is not a number; it reads as 0.",
                  "The g \"see <g> here\" of trajectory 2 left out: it is not a number; it reads "
                  "as 0.",
                  "The y1 \"1.5abc\" of trajectory 2 left out: it is not a number; it reads as 0.",
                  "The z1 \"abc\" of trajectory 2 left out: it is not a number; it reads as 0.",
                  "Line 20 of the data file is longer than 32768 bytes: it was read in pieces, "
                  "and a value or text on it may be lost.",
                  "Line 21 of the data file is longer than 32768 bytes: it was read in pieces, "
                  "and a value or text on it may be lost.",
                  "The y1 \"1.5abc\" of trajectory 3 left out: it is not a number; it reads as 0.",
                  "The z1 \"abc\" of trajectory 3 left out: it is not a number; it reads as 0.",
                  "The element from line 25 of the data file left out: the file ends before its "
                  "</element>."}));
    EXPECT_EQ(theCase.body.GetName(), "Old");
    EXPECT_FLOAT_EQ(theCase.body.GetHeight(), 2.0f) << "as it was";
    ASSERT_EQ(theCase.TrajectoryCount(), 3);
    EXPECT_EQ(theCase.ElementCount(), 0);

    const Trajectory& first = theCase.trajectories[0];
    EXPECT_FALSE(first.exited);
    EXPECT_DOUBLE_EQ(first.in.x, 0.10);
    EXPECT_DOUBLE_EQ(first.in.y, 0);
    EXPECT_DOUBLE_EQ(first.in.z, 0);
    EXPECT_DOUBLE_EQ(first.pitchAdjustment, 12.5);
    EXPECT_DOUBLE_EQ(first.color.x, 0);
    EXPECT_DOUBLE_EQ(first.color.y, 1);
    EXPECT_EQ(first.label, "a > b < c");

    const Trajectory& second = theCase.trajectories[1];
    EXPECT_TRUE(second.exited);
    EXPECT_DOUBLE_EQ(second.in.x, 0.10);
    EXPECT_DOUBLE_EQ(second.offset.x, 0.02);
    EXPECT_DOUBLE_EQ(second.pitchAdjustment, 12.5);
    EXPECT_DOUBLE_EQ(second.color.x, 1);
    EXPECT_DOUBLE_EQ(second.color.y, 0);
    EXPECT_EQ(second.label, "");

    const Trajectory& third = theCase.trajectories[2];
    EXPECT_DOUBLE_EQ(third.offset.y, 0.5);
    EXPECT_EQ(third.label, ""); // an over-long line and a raw line break both lose the text

    // Reading again appends again and applies the body block again.
    theCase.body.SetName("Changed");
    DataFile::ReadText(theCase, text);
    EXPECT_EQ(theCase.TrajectoryCount(), 6);
    EXPECT_EQ(theCase.body.GetName(), "Old");
}

TEST_F(DataFileTest, SavedCaseReopensWithMillimetresAndTextsIntact) {
    const std::string awkward = "a & b <r> c &amp; d\r\nsecond line > </text>\nthird";
    const std::string longName(83, 'n');
    theCase.body.SetName(longName + "&<>");
    theCase.body.SetHeight(1.234);
    Trajectory& trajectory = AddTrajectory(true);
    trajectory.in = {0.1234, 1.2345, -0.0011};
    trajectory.out = {-0.0567, 1.1009, 0.2468};
    trajectory.offset = {0.0012, -0.0034, 0.0056};
    trajectory.label = awkward;
    Element& element = AddElement();
    element.centre = {0.0101, 1.0203, 0.3045};
    element.size = {0.0123, 0.0456, 0.0789};
    element.label = awkward;

    TemporaryFolder folder;
    const std::string file = folder.File("case.txt");
    ASSERT_TRUE(DataFile::Write(theCase, file).ok());

    Case reopened;
    LoadBoxBody(reopened);
    ASSERT_TRUE(DataFile::Read(reopened, file).ok());
    EXPECT_EQ(reopened.body.GetName(), longName + "&<>");
    EXPECT_FLOAT_EQ(reopened.body.GetHeight(), 1.234f);
    ASSERT_EQ(reopened.TrajectoryCount(), 1);
    const Trajectory& read = reopened.trajectories[0];
    EXPECT_DOUBLE_EQ(read.in.x, 0.1234);
    EXPECT_DOUBLE_EQ(read.in.y, 1.2345);
    EXPECT_DOUBLE_EQ(read.in.z, -0.0011);
    EXPECT_DOUBLE_EQ(read.out.x, -0.0567);
    EXPECT_DOUBLE_EQ(read.out.y, 1.1009);
    EXPECT_DOUBLE_EQ(read.out.z, 0.2468);
    EXPECT_DOUBLE_EQ(read.offset.x, 0.0012);
    EXPECT_DOUBLE_EQ(read.offset.y, -0.0034);
    EXPECT_DOUBLE_EQ(read.offset.z, 0.0056);
    EXPECT_NEAR(Bearing(read.in, read.out), Bearing(trajectory.in, trajectory.out), 1e-9);
    EXPECT_NEAR(Elevation(read.in, read.out), Elevation(trajectory.in, trajectory.out), 1e-9);
    EXPECT_EQ(read.label, awkward);
    ASSERT_EQ(reopened.ElementCount(), 1);
    const Element& readElement = reopened.elements[0];
    EXPECT_DOUBLE_EQ(readElement.centre.x, 0.0101);
    EXPECT_DOUBLE_EQ(readElement.centre.z, 0.3045);
    EXPECT_DOUBLE_EQ(readElement.size.x, 0.0123);
    EXPECT_DOUBLE_EQ(readElement.size.y, 0.0456);
    EXPECT_DOUBLE_EQ(readElement.size.z, 0.0789);
    EXPECT_EQ(readElement.label, awkward);

    // The written file is still one value per line: every line ends in CR LF and no text breaks it.
    const std::string written = FileText(file);
    EXPECT_EQ(written, DataFile::Format(theCase));
    EXPECT_NE(written.find("<text>a &amp; b &lt;r&gt; c &amp;amp; d&#13;&#10;second line &gt; "
                           "&lt;/text&gt;&#10;third</text>\r\n"),
              std::string::npos);
}

TEST_F(DataFileTest, UncertaintyRoundTripsAndOldFilesReadTheDefault) {
    AddTrajectory(true).radiusIn = 0.0234;
    AddTrajectory(true).radiusIn = 0;
    TemporaryFolder folder;
    const std::string file = folder.File("case.txt");
    ASSERT_TRUE(DataFile::Write(theCase, file).ok());
    EXPECT_NE(FileText(file).find("  <dRoll> 0.00</dRoll>\r\n  <uncertainty>0.0234</uncertainty>"),
              std::string::npos);

    Case reopened;
    LoadBoxBody(reopened);
    ASSERT_TRUE(DataFile::Read(reopened, file).ok());
    ASSERT_EQ(reopened.TrajectoryCount(), 2);
    EXPECT_DOUBLE_EQ(reopened.trajectories[0].radiusIn, 0.0234);
    EXPECT_DOUBLE_EQ(reopened.trajectories[1].radiusIn, 0.0);

    // A block without the line (an older file) gets the default, not the previous block's value;
    // a negative radius is refused and a value with capital tags reads as written.
    Case old;
    LoadBoxBody(old);
    DataFile::ReadText(old, "<trajectory>\n<uncertainty>0.05</uncertainty>\n</trajectory>\n"
                            "<trajectory>\n<x1>0.1</x1>\n</trajectory>\n"
                            "<trajectory>\n<uncertainty>-0.2</uncertainty>\n</trajectory>\n"
                            "<trajectory>\n<UNCERTAINTY>0.03</UNCERTAINTY>\n</trajectory>\n");
    ASSERT_EQ(old.TrajectoryCount(), 4);
    EXPECT_DOUBLE_EQ(old.trajectories[0].radiusIn, 0.05);
    EXPECT_DOUBLE_EQ(old.trajectories[1].radiusIn, Trajectory::kDefaultRadius);
    EXPECT_DOUBLE_EQ(old.trajectories[2].radiusIn, Trajectory::kDefaultRadius);
    EXPECT_DOUBLE_EQ(old.trajectories[3].radiusIn, 0.03);
}

TEST_F(DataFileTest, BodyShapePoseAndArmFollowingRoundTrip) {
    Body& body = theCase.body;
    body.SetScaleX(1.24);
    body.SetScaleZ(0.7);
    body.SetHeight(1.75);
    OldArm(body).Set(0, 0, 0, -12, 46, 8);
    OldForearm(body).Set(0, 0, 0, 30, -4, 0);
    AddTrajectory(true).withArm = false;
    AddTrajectory(true);
    const std::string text = DataFile::Format(theCase);
    EXPECT_NE(text.find("   <height>1.7500</height>\r\n"
                        "   <scalex>1.2400</scalex>\r\n"
                        "   <scalez>0.7000</scalez>\r\n"
                        "   <posture>custom</posture>\r\n"
                        "   <pose>neck  0.00  0.00  0.00</pose>\r\n"
                        "   <pose>trunk  0.00  0.00  0.00</pose>\r\n"
                        "   <pose>right_shoulder -12.00  0.00 44.00</pose>\r\n"
                        "   <pose>right_elbow  0.00 30.00  4.00</pose>\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("<witharm>false</witharm>"), std::string::npos);

    Case reopened;
    LoadBoxBody(reopened);
    OldArm(reopened.body).SetPitch(10); // whatever pose was there before goes
    DataFile::ReadText(reopened, text);
    const Body& read = reopened.body;
    EXPECT_DOUBLE_EQ(read.GetScaleX(), 1.24);
    EXPECT_DOUBLE_EQ(read.GetScaleZ(), 0.7);
    EXPECT_FLOAT_EQ(read.GetDepth(), body.GetDepth());
    EXPECT_EQ(read.GetPosture(), body.GetPosture());
    ASSERT_EQ(reopened.TrajectoryCount(), 2);
    EXPECT_FALSE(reopened.trajectories[0].withArm);
    EXPECT_TRUE(reopened.trajectories[1].withArm); // not carried over from the first
    EXPECT_EQ(DataFile::Format(reopened), text);
}

TEST_F(DataFileTest, CasesWithoutShapeLinesReadAtRestAndFollowTheArm) {
    Body& body = theCase.body;
    body.SetScaleX(1.3);
    OldForearm(body).SetYaw(40);
    DataFile::ReadText(theCase, "<body>\r\n<name>Old</name>\r\n<height>1.80</height>\r\n</body>\r\n"
                                "<trajectory>\r\n<x1>0.1</x1>\r\n</trajectory>\r\n"
                                // hand-edited values: any case, blanks, a zero, unknown joints
                                "<trajectory>\r\n<WITHARM> FALSE </WITHARM>\r\n</trajectory>\r\n"
                                "<trajectory>\r\n<witharm>0</witharm>\r\n</trajectory>\r\n"
                                "<trajectory>\r\n<witharm>yes</witharm>\r\n</trajectory>\r\n");
    EXPECT_DOUBLE_EQ(body.GetScaleX(), 1.0);
    EXPECT_DOUBLE_EQ(body.GetScaleZ(), 1.0);
    EXPECT_TRUE(body.HasInitialPose());
    ASSERT_EQ(theCase.TrajectoryCount(), 4);
    EXPECT_TRUE(theCase.trajectories[0].withArm);
    EXPECT_FALSE(theCase.trajectories[1].withArm);
    EXPECT_FALSE(theCase.trajectories[2].withArm);
    EXPECT_TRUE(theCase.trajectories[3].withArm);

    DataFile::ReadText(theCase, "<body>\r\n<height>1.80</height>\r\n<scalex>-2</scalex>\r\n"
                                "<scalez>wide</scalez>\r\n<pose>ARM 10</pose>\r\n"
                                "<pose>knee 1 2 3</pose>\r\n<pose>head 1 2 3 4</pose>\r\n"
                                "<pose>forearm 1e300 5 -7e6</pose>\r\n</body>\r\n");
    EXPECT_DOUBLE_EQ(body.GetScaleX(), 1.0); // unusable stretches read as none
    EXPECT_DOUBLE_EQ(body.GetScaleZ(), 1.0);
    EXPECT_DOUBLE_EQ(OldArm(body).GetYaw(), 10);
    EXPECT_DOUBLE_EQ(OldArm(body).GetPitch(), 0); // a missing angle reads as 0
    // The older head line turned nothing, and still turns nothing.
    EXPECT_EQ(body.GetPosture().Get(skeleton::Joint::Neck), JointAngles{});
    // Angles no pose has read as 0.
    EXPECT_DOUBLE_EQ(OldForearm(body).GetYaw(), 0);
    EXPECT_DOUBLE_EQ(OldForearm(body).GetPitch(), 5);
    EXPECT_DOUBLE_EQ(OldForearm(body).GetRoll(), 0);
    DataFile::ReadText(theCase, "<body>\r\n<scalex>1e300</scalex>\r\n<scalez>0.001</scalez>\r\n"
                                "</body>\r\n");
    EXPECT_DOUBLE_EQ(body.GetScaleX(), 1.0);
    EXPECT_DOUBLE_EQ(body.GetScaleZ(), 1.0);
}

TEST_F(DataFileTest, BodyHeightOfZeroOrLessLeavesTheBodyAsItWasAndIsReported) {
    // 1e300 is a finite double but an infinite float, and the height is kept as a float.
    for (const char* height : {"0", "-1.7", "none", "1e999", "nan", "1e300", "1e-300"}) {
        const DataFileReadResult result =
            DataFile::ReadText(theCase, std::string("<body>\r\n<name>B</name>\r\n<height>") +
                                            height + "</height>\r\n</body>\r\n");
        EXPECT_FLOAT_EQ(theCase.body.GetHeight(), 2.0f) << height;
        EXPECT_FLOAT_EQ(theCase.body.GetScale(), 1.0f) << height;
        EXPECT_TRUE(result.LeftSomethingOut()) << height;
        const bool number = std::string_view(height) != "none" &&
                            std::string_view(height) != "1e999" &&
                            std::string_view(height) != "nan";
        EXPECT_EQ(result.LeftOutMessage(),
                  std::string("The body height \"") + height + "\" of the data file left out: " +
                      (number ? "a body height must be more than 0 cm" : "it is not a number") +
                      "; the height stays 200.0 cm.");
    }
    EXPECT_EQ(theCase.body.GetName(), "B");
    const DataFileReadResult taken = DataFile::ReadText(
        theCase, "<body>\r\n<name>B</name>\r\n<height>1.5</height>\r\n</body>\r\n");
    EXPECT_FALSE(taken.LeftSomethingOut());
    // Of two body blocks, the message names the height refused, not the one taken after it.
    const DataFileReadResult two = DataFile::ReadText(
        theCase, "<body>\r\n<height>0</height>\r\n</body>\r\n<body>\r\n<height>1.6</height>\r\n"
                 "</body>\r\n");
    EXPECT_FLOAT_EQ(theCase.body.GetHeight(), 1.6f);
    EXPECT_EQ(two.LeftOutMessage(),
              "The body height \"0\" of the data file left out: a body height "
              "must be more than 0 cm; the height stays 160.0 cm.");
}

TEST_F(DataFileTest, FilesThatCannotBeOpenedAreReported) {
    TemporaryFolder folder;
    const std::string missing = folder.File("missing.txt");
    DataFileReadResult result = DataFile::Read(theCase, missing);
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.status.message(),
              "Cannot open data file \"" + missing + "\": No such file or directory");
    result = DataFile::Read(theCase, folder.path().string());
    EXPECT_EQ(result.status.message(),
              "Cannot open data file \"" + folder.path().string() + "\": Is a directory");
    EXPECT_EQ(theCase.TrajectoryCount(), 0);

    const std::string nowhere = folder.File("no-such-folder/case.txt");
    const Status written = DataFile::Write(theCase, nowhere);
    EXPECT_FALSE(written.ok());
    EXPECT_EQ(written.message(),
              "Cannot write data file \"" + nowhere + "\": No such file or directory");
}

TEST_F(DataFileTest, FailedSaveLeavesThePreviousFileAndNoLeftovers) {
    TemporaryFolder folder;
    const std::string file = folder.File("case.txt");
    WriteText(file, "previous case");
    ::chmod(file.c_str(), 0640);
    AddTrajectory(true);
    ASSERT_TRUE(DataFile::Write(theCase, file).ok());
    EXPECT_EQ(FileText(file), DataFile::Format(theCase));
    struct stat info {};
    ASSERT_EQ(::stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u); // a replaced file keeps its permissions

    // A folder where the file should go: the rename fails and the folder stays as it was.
    const std::string blocked = folder.File("blocked.txt");
    std::filesystem::create_directory(blocked);
    WriteText(blocked + "/inside", "kept");
    EXPECT_FALSE(DataFile::Write(theCase, blocked).ok());
    EXPECT_EQ(FileText(blocked + "/inside"), "kept");

    // A folder that cannot be written to (root may write anyway, so only checked for others).
    const std::string locked = folder.File("locked");
    std::filesystem::create_directory(locked);
    WriteText(locked + "/case.txt", "previous case");
    ::chmod(locked.c_str(), 0555);
    if (::geteuid() != 0) {
        EXPECT_FALSE(DataFile::Write(theCase, locked + "/case.txt").ok());
        EXPECT_EQ(FileText(locked + "/case.txt"), "previous case");
    }
    ::chmod(locked.c_str(), 0755);

    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"blocked.txt", "case.txt", "locked"}));
}

TEST_F(DataFileTest, TablesTakeWhatFitsAndCountWhatWasLeftOut) {
    for (int i = 0; i < 18; ++i) {
        AddTrajectory(true);
    }
    std::string text;
    for (int i = 1; i <= 3; ++i) {
        text += "<trajectory>\r\n<x1>0." + std::to_string(i) + "</x1>\r\n</trajectory>\r\n";
    }
    for (int i = 0; i < 22; ++i) {
        text += "<element>\r\n<width>0.1</width>\r\n</element>\r\n";
    }
    const DataFileReadResult result = DataFile::ReadText(theCase, text);
    EXPECT_TRUE(result.ok());
    EXPECT_EQ(result.trajectoriesLeftOut, 1);
    EXPECT_EQ(result.elementsLeftOut, 2);
    EXPECT_EQ(result.LeftOutMessage(), "1 trajectory and 2 elements of the data file left out: the "
                                       "scene holds at most 20 trajectories and 20 elements.");
    ASSERT_EQ(theCase.TrajectoryCount(), 20);
    EXPECT_DOUBLE_EQ(theCase.trajectories[19].in.x, 0.2);
    EXPECT_EQ(theCase.ElementCount(), 20);
}

TEST_F(DataFileTest, LineEndsOfEveryKindAndHugeNumbersReadSafely) {
    const std::string unix = "<body>\n<name>Unix</name>\n<height>1.80</height>\n</body>\n"
                             "<trajectory>\n<x1>0.1</x1>\n<y1>1e308</y1>\n<y2>-1e308</y2>\n"
                             "<text>a</text>\n</trajectory>\n";
    std::string oldMac = unix;
    std::replace(oldMac.begin(), oldMac.end(), '\n', '\r');
    for (const std::string& text : {unix, oldMac}) {
        Case fresh;
        LoadBoxBody(fresh);
        DataFile::ReadText(fresh, text);
        EXPECT_EQ(fresh.body.GetName(), "Unix");
        EXPECT_FLOAT_EQ(fresh.body.GetHeight(), 1.8f);
        ASSERT_EQ(fresh.TrajectoryCount(), 1);
        const Trajectory& trajectory = fresh.trajectories[0];
        EXPECT_DOUBLE_EQ(trajectory.in.x, 0.1);
        // A length no body has would overflow centimetres and angles: it reads as 0.
        EXPECT_EQ(trajectory.in.y, 0.0);
        EXPECT_EQ(trajectory.out.y, 0.0);
        EXPECT_TRUE(std::isfinite(Bearing(trajectory.in, trajectory.out)));
        EXPECT_EQ(trajectory.label, "a");
        // What is written reads back to the same bytes.
        const std::string written = DataFile::Format(fresh);
        Case again;
        LoadBoxBody(again);
        DataFile::ReadText(again, written);
        EXPECT_EQ(DataFile::Format(again), written);
    }
}

TEST_F(DataFileTest, ReadOnlyCasesDevicesAndFifosAreRefusedWithAReason) {
    TemporaryFolder folder;
    const std::string locked = folder.File("locked.txt");
    WriteText(locked, "evidence");
    ::chmod(locked.c_str(), 0444);
    AddTrajectory(true);
    const Status written = DataFile::Write(theCase, locked);
    EXPECT_FALSE(written.ok());
    EXPECT_EQ(written.message(), "\"" + locked + "\" is read-only.");
    EXPECT_EQ(FileText(locked), "evidence");

    const std::string fifo = folder.File("pipe.txt");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(DataFile::Read(theCase, fifo).status.message(),
              "Cannot open data file \"" + fifo + "\": not a regular file");
    EXPECT_EQ(DataFile::Write(theCase, fifo).message(),
              "Cannot write data file \"" + fifo + "\": not a regular file");
    EXPECT_EQ(DataFile::Read(theCase, "/dev/zero").status.message(),
              "Cannot open data file \"/dev/zero\": not a regular file");

    const std::string huge = folder.File("huge.txt");
    {
        std::ofstream file(huge, std::ios::binary);
        file.seekp((64 << 20) + 1);
        file << 'x';
    }
    EXPECT_EQ(DataFile::Read(theCase, huge).status.message(),
              "Cannot open data file \"" + huge +
                  "\": it is larger than 64 MiB, more than any case needs");
    EXPECT_EQ(theCase.TrajectoryCount(), 1);
}
