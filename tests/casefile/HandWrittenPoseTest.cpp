// Hand-written data files pose the body with joint lines or a posture name and leave the body
// parts out: each wound must still move with the part it lies on, and only files of the older
// arm-only kind keep their follow-the-arm rule.
#include "case/Case.h"
#include "case/PosedCase.h"
#include "casefile/CaseFileApplication.h"
#include "casefile/DataFile.h"
#include "casefile/DataFileReader.h"
#include "support/ArmTestModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <type_traits>

namespace {

// The arm test model: a trunk block on the left, the right arm hanging at x = -0.2, 2 m tall.
class HandWrittenPoseTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::unique_ptr<Mesh> mesh = armtest::ReadMesh(armtest::ArmObj(false));
        ASSERT_TRUE(mesh);
        ASSERT_TRUE(theCase.body.LoadMesh(std::move(mesh)).ok());
        ASSERT_TRUE(theCase.body.HasPostureParts());
    }

    DataFileReadResult Read(const std::string& text) { return DataFile::ReadText(theCase, text); }

    Case theCase;
};

std::string BodyBlock(const std::string& lines) {
    return "<root>\r\n<body>\r\n<name>hand</name>\r\n<height>2</height>\r\n" + lines +
           "</body>\r\n";
}

std::string PoseCaseTrajectoryBlock(const std::string& lines) {
    return "<trajectory>\r\n" + lines + "</trajectory>\r\n";
}

// A wound through the trunk from front to back, and one through the right forearm.
const std::string kChest = "<x1>0.22</x1>\r\n<y1>1.0</y1>\r\n<z1>0.3</z1>\r\n"
                           "<x2>0.22</x2>\r\n<y2>1.1</y2>\r\n<z2>0.0</z2>\r\n";
const std::string kForearm = "<x1>-0.2</x1>\r\n<y1>0.9</y1>\r\n<z1>0.14</z1>\r\n"
                             "<x2>-0.2</x2>\r\n<y2>0.9</y2>\r\n<z2>0.06</z2>\r\n";

double Distance(const Vec3& a, const Vec3& b) {
    return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z);
}

} // namespace

TEST_F(HandWrittenPoseTest, JointLinesWithoutPartsGiveEachWoundThePartsUnderItsPoints) {
    const std::string wounds =
        PoseCaseTrajectoryBlock(kChest) + PoseCaseTrajectoryBlock(kForearm) + "</root>\r\n";
    const DataFileReadResult read =
        Read(BodyBlock("<pose>right_shoulder 0 0 78</pose>\r\n") + wounds);
    ASSERT_EQ(theCase.TrajectoryCount(), 2);
    EXPECT_EQ(theCase.trajectories[0].inPart, "trunk");
    EXPECT_EQ(theCase.trajectories[0].outPart, "trunk");
    EXPECT_EQ(theCase.trajectories[1].inPart, "right_forearm");
    EXPECT_EQ(theCase.trajectories[1].outPart, "right_forearm");
    EXPECT_EQ(read.ReadingNotes(),
              (std::vector<std::string>{
                  "Trajectory 1 has no body parts in the data file: IN is taken as on the trunk "
                  "and OUT as on the trunk, the parts nearest to its points.",
                  "Trajectory 2 has no body parts in the data file: IN is taken as on the right "
                  "forearm and OUT as on the right forearm, the parts nearest to its points."}));
    // The raised arm carries the forearm wound and leaves the chest wound where it was measured.
    const PosedCase posed(theCase);
    EXPECT_LT(Distance(posed.TrajectoryNumbered(1)->in, theCase.trajectories[0].in), 1e-9);
    EXPECT_LT(Distance(posed.TrajectoryNumbered(1)->out, theCase.trajectories[0].out), 1e-9);
    EXPECT_GT(Distance(posed.TrajectoryNumbered(2)->in, theCase.trajectories[1].in), 0.2);

    // Written with its parts, the case reopens as it was, with nothing more to say.
    const std::string written = DataFile::Format(theCase);
    EXPECT_NE(written.find("  <inpart>right_forearm</inpart>\r\n"), std::string::npos);
    Case reopened;
    reopened.body = theCase.body;
    EXPECT_TRUE(DataFile::ReadText(reopened, written).ReadingNotes().empty());
    EXPECT_EQ(DataFile::Format(reopened), written);

    // Standing, the parts move nothing: they are taken without a word.
    Case standing;
    standing.body = theCase.body;
    const DataFileReadResult still =
        DataFile::ReadText(standing, BodyBlock("<pose>right_shoulder 0 0 0</pose>\r\n") + wounds);
    EXPECT_TRUE(still.ReadingNotes().empty());
    ASSERT_EQ(standing.TrajectoryCount(), 2);
    EXPECT_EQ(standing.trajectories[1].inPart, "right_forearm");
}

TEST_F(HandWrittenPoseTest, OlderArmLinesKeepTheArmRuleAndAWithArmLineItsMeaning) {
    // An older file posed only the arm, and drew every trajectory with it.
    const DataFileReadResult older =
        Read(BodyBlock("<pose>arm 0 40 0</pose>\r\n<pose>head 0 0 0</pose>\r\n") +
             PoseCaseTrajectoryBlock(kChest) + "</root>\r\n");
    EXPECT_TRUE(older.ReadingNotes().empty());
    ASSERT_EQ(theCase.TrajectoryCount(), 1);
    EXPECT_FALSE(theCase.trajectories[0].HasParts());
    EXPECT_TRUE(theCase.trajectories[0].withArm);

    // Today's program writes a with-arm line for such a trajectory: it says what it follows.
    theCase.trajectories.clear();
    const DataFileReadResult written =
        Read(BodyBlock("<pose>right_shoulder 0 0 78</pose>\r\n") +
             PoseCaseTrajectoryBlock(kChest + "<witharm>false</witharm>\r\n") +
             PoseCaseTrajectoryBlock(kChest + "<witharm>true</witharm>\r\n") + "</root>\r\n");
    EXPECT_TRUE(written.ReadingNotes().empty());
    ASSERT_EQ(theCase.TrajectoryCount(), 2);
    EXPECT_FALSE(theCase.trajectories[0].HasParts());
    EXPECT_FALSE(theCase.trajectories[0].withArm);
    EXPECT_FALSE(theCase.trajectories[1].HasParts());
    EXPECT_TRUE(theCase.trajectories[1].withArm);
}

TEST_F(HandWrittenPoseTest, APostureLineWithoutPoseLinesNamesThePreset) {
    EXPECT_TRUE(Read(BodyBlock("<posture> Kneeling </posture>\r\n")).ReadingNotes().empty());
    EXPECT_EQ(theCase.body.GetPosture(), *Posture::Preset("kneeling"));

    // "custom" is no preset: said, and the body stands.
    const DataFileReadResult custom = Read(BodyBlock("<posture>custom</posture>\r\n"));
    EXPECT_TRUE(theCase.body.HasInitialPose());
    EXPECT_EQ(custom.ReadingNotes(),
              std::vector<std::string>{
                  "The posture \"custom\" of the body left out: without pose lines a posture must "
                  "be one of standing, kneeling, kneeling on one knee, seated, bent forward, arms "
                  "raised, lying on the back, lying face down; the body stands in the anatomical "
                  "position."});

    // Pose lines hold the posture, whatever the name line says.
    const DataFileReadResult posed =
        Read(BodyBlock("<posture>kneeling</posture>\r\n<pose>right_knee 0 30 0</pose>\r\n"));
    EXPECT_TRUE(posed.ReadingNotes().empty());
    Posture expected;
    expected.Set(skeleton::Joint::RightKnee, {0, 30, 0});
    EXPECT_EQ(theCase.body.GetPosture(), expected);
    EXPECT_TRUE(Read(BodyBlock("<posture>custom</posture>\r\n<pose>arm 0 40 0</pose>\r\n"))
                    .ReadingNotes()
                    .empty());
}

// Reading needs no body: the parser takes text and the counts of what the case holds.
static_assert(std::is_invocable_r_v<CaseFileRecord, decltype(&ReadCaseFileText), std::string_view,
                                    EntriesHeld>);

TEST(CaseFileRecordTest, TheParserReadsAFileIntoARecordWithoutAnyBody) {
    const std::string text = BodyBlock("<height>0</height>\r\n<pose>forearm 20 0 0</pose>\r\n"
                                       "<pose>neck 1e300 0 0</pose>\r\n") +
                             PoseCaseTrajectoryBlock(kForearm + "<inpart>wing</inpart>\r\n"
                                                                "<outpart>TRUNK</outpart>\r\n") +
                             PoseCaseTrajectoryBlock(kChest) +
                             "<element>\r\n<x>0.1</x>\r\n</element>\r\n</root>\r\n";
    const CaseFileRecord record = ReadCaseFileText(text, {.trajectories = 19, .elements = 20});
    EXPECT_TRUE(record.sawCaseTag);
    ASSERT_EQ(record.bodyBlocks.size(), 1u);
    const CaseFileRecord::BodyBlock& body = record.bodyBlocks[0];
    EXPECT_EQ(body.name, "hand");
    EXPECT_EQ(body.heightText, "0"); // only the body can refuse it
    EXPECT_EQ(body.poseSource, CaseFileRecord::PoseSource::JointLines);
    EXPECT_EQ(body.poseLines.size(), 2u);
    EXPECT_EQ(body.posture.Get(skeleton::Joint::RightElbow),
              Posture::RightElbowFromOldForearm(20, 0));
    // The file's blocks are numbered after the case's 19 trajectories; the rest is left out.
    ASSERT_EQ(record.trajectories.size(), 1u);
    const CaseFileRecord::TrajectoryRecord& forearm = record.trajectories[0];
    EXPECT_TRUE(forearm.hadPartLines);
    EXPECT_FALSE(forearm.hadWithArmLine);
    EXPECT_EQ(forearm.trajectory.inPart, ""); // for the body to find
    EXPECT_EQ(forearm.trajectory.outPart, "trunk");
    EXPECT_DOUBLE_EQ(forearm.trajectory.in.z, 0.14);
    EXPECT_EQ(record.trajectoriesLeftOut, 1);
    EXPECT_EQ(record.elementsLeftOut, 1);
    ASSERT_EQ(record.notes.listed.size(), 2u);
    EXPECT_EQ(record.notes.listed[0].rfind("The neck yaw \"1e300\" of the body left out", 0), 0u);
    EXPECT_EQ(record.notes.listed[1].rfind("The inpart \"wing\" of trajectory 20 left out", 0), 0u);

    // Applied, the body refuses the height and puts the missing part under the point.
    Case theCase;
    std::unique_ptr<Mesh> mesh = armtest::ReadMesh(armtest::ArmObj(false));
    ASSERT_TRUE(mesh);
    ASSERT_TRUE(theCase.body.LoadMesh(std::move(mesh)).ok());
    theCase.trajectories.resize(19);
    theCase.elements.resize(20);
    const DataFileReadResult applied = ApplyCaseFile(record, theCase);
    EXPECT_TRUE(applied.bodyHeightRefused);
    EXPECT_EQ(applied.trajectoriesLeftOut, 1);
    EXPECT_EQ(applied.elementsLeftOut, 1);
    EXPECT_EQ(applied.notes, record.notes.listed);
    ASSERT_EQ(theCase.TrajectoryCount(), 20);
    EXPECT_EQ(theCase.trajectories[19].inPart, "right_forearm");
    EXPECT_EQ(theCase.trajectories[19].outPart, "trunk");
}
