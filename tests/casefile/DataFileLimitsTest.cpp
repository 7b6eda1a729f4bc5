// Hostile data files: values no case takes, lines and labels of every length, and files that are
// no data file at all. Each input is built here; nothing may reach the case that the drawing, the
// report or the exports cannot carry, and what is left out is said.
#include "case/PosedCase.h"
#include "casefile/DataFile.h"
#include "support/BoxBody.h"
#include "support/OldArmPose.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class HostileDataFileTest : public ::testing::Test {
protected:
    void SetUp() override { LoadBoxBody(theCase); }

    // The case written and read back into `reopened`, which must say nothing was left out.
    void Reopen(Case& reopened) {
        LoadBoxBody(reopened);
        const DataFileReadResult result = DataFile::ReadText(reopened, DataFile::Format(theCase));
        EXPECT_TRUE(result.ok()) << result.status.message();
        EXPECT_FALSE(result.LeftSomethingOut()) << result.LeftOutMessage();
    }

    bool IsFinite(const Matrix4& transform) {
        for (int i = 0; i < 16; ++i) {
            if (!std::isfinite(transform.Data()[i])) {
                return false;
            }
        }
        return true;
    }

    Case theCase;
};

std::string TrajectoryBlock(const std::string& lines) {
    return "<trajectory>\r\n" + lines + "</trajectory>\r\n";
}

std::string TextLine(const std::string& text) {
    return "<text>" + text + "</text>\r\n";
}

// A trajectory of a bullet that left the body, with its label.
Trajectory LabelledTrajectory(const std::string& label) {
    Trajectory trajectory;
    trajectory.exited = true;
    trajectory.label = label;
    return trajectory;
}

} // namespace

TEST_F(HostileDataFileTest, AnglesBeyondAMillionDegreesReadAsZeroAndAreNoted) {
    const DataFileReadResult result = DataFile::ReadText(
        theCase,
        "<body>\r\n<height>1.8</height>\r\n<pose>forearm 1e300 5 0</pose>\r\n</body>\r\n" +
            TrajectoryBlock("<x1>0.1</x1>\r\n<dPitch>1e308</dPitch>\r\n<dYaw>-2e6</dYaw>\r\n") +
            "<element>\r\n<pitch>1e308</pitch>\r\n<yaw>999999</yaw>\r\n</element>\r\n");
    ASSERT_TRUE(result.ok());
    ASSERT_EQ(theCase.TrajectoryCount(), 1);
    const Trajectory& trajectory = theCase.trajectories[0];
    EXPECT_EQ(trajectory.pitchAdjustment, 0.0);
    EXPECT_EQ(trajectory.yawAdjustment, 0.0);
    EXPECT_TRUE(IsFinite(PosedCase(theCase).TrajectoryNumbered(1)->ArrowTransform()))
        << "no NaN positions";
    const Element& element = theCase.elements.at(0);
    EXPECT_EQ(element.pitch, 0.0);
    EXPECT_EQ(element.yaw, 999999.0) << "an angle within the bound reads as written";
    EXPECT_EQ(OldForearm(theCase.body).GetYaw(), 0.0);
    EXPECT_EQ(OldForearm(theCase.body).GetPitch(), 5.0);
    EXPECT_EQ(result.ReadingNotes(),
              (std::vector<std::string>{
                  "The forearm yaw \"1e300\" of the body left out: an angle must be at most "
                  "1000000 degrees either way; it reads as 0.",
                  "The dPitch \"1e308\" of trajectory 1 left out: an angle must be at most "
                  "1000000 degrees either way; it reads as 0.",
                  "The dYaw \"-2e6\" of trajectory 1 left out: an angle must be at most 1000000 "
                  "degrees either way; it reads as 0.",
                  "The pitch \"1e308\" of element 1 left out: an angle must be at most 1000000 "
                  "degrees either way; it reads as 0."}));
}

TEST_F(HostileDataFileTest, ColoursBeyondTheByteRangeAreClampedAndNoted) {
    const DataFileReadResult result =
        DataFile::ReadText(theCase, TrajectoryBlock("<r>1e300</r>\r\n<g>-7</g>\r\n") +
                                        "<element>\r\n<r>0</r>\r\n<g>300</g>\r\n</element>\r\n");
    ASSERT_TRUE(result.ok());
    const Trajectory& trajectory = theCase.trajectories.at(0);
    EXPECT_EQ(trajectory.color.x, 1.0);
    EXPECT_EQ(trajectory.color.y, 0.0);
    EXPECT_EQ(trajectory.color.z, 1.0);
    const Vec3& elementColor = theCase.elements.at(0).color;
    EXPECT_EQ(elementColor.y, 1.0);
    EXPECT_EQ(elementColor.z, 1.0);
    ASSERT_EQ(result.notes.size(), 3u);
    EXPECT_EQ(result.notes[0], "The r \"1e300\" of trajectory 1 replaced: a colour component must "
                               "lie within 0 and 255; it reads as 255.");
    EXPECT_EQ(result.notes[1], "The g \"-7\" of trajectory 1 replaced: a colour component must "
                               "lie within 0 and 255; it reads as 0.");
    // A rewrite keeps the colour it shows, never 0.
    EXPECT_NE(DataFile::Format(theCase).find("  <r>  255</r>\r\n  <g>    0</g>\r\n"),
              std::string::npos);
    Case reopened;
    Reopen(reopened);
    EXPECT_EQ(DataFile::Format(reopened), DataFile::Format(theCase));
}

TEST_F(HostileDataFileTest, UncertaintyBeyondAMetreIsRefusedAndNoted) {
    const DataFileReadResult result =
        DataFile::ReadText(theCase, TrajectoryBlock("<uncertainty>1e300</uncertainty>\r\n") +
                                        TrajectoryBlock("<uncertainty>-0.2</uncertainty>\r\n") +
                                        TrajectoryBlock("<uncertainty>1</uncertainty>\r\n"));
    ASSERT_EQ(theCase.TrajectoryCount(), 3);
    EXPECT_EQ(theCase.trajectories[0].radiusIn, Trajectory::kDefaultRadius);
    EXPECT_EQ(theCase.trajectories[1].radiusIn, Trajectory::kDefaultRadius);
    EXPECT_EQ(theCase.trajectories[2].radiusIn, 1.0) << "a metre is the bound";
    EXPECT_EQ(result.ReadingNotes(),
              (std::vector<std::string>{
                  "The uncertainty \"1e300\" of trajectory 1 left out: an uncertainty radius must "
                  "lie within 0 and 100 cm; the radius stays 1.0 cm.",
                  "The uncertainty \"-0.2\" of trajectory 2 left out: an uncertainty radius must "
                  "lie within 0 and 100 cm; the radius stays 1.0 cm."}));
    EXPECT_NE(DataFile::Format(theCase).find("<uncertainty>0.0100</uncertainty>"),
              std::string::npos);
}

TEST_F(HostileDataFileTest, LengthsAndStretchesNoBodyHasAreNoted) {
    const DataFileReadResult result = DataFile::ReadText(
        theCase,
        "<body>\r\n<height>1.8</height>\r\n<scalex>1e300</scalex>\r\n</body>\r\n" +
            TrajectoryBlock("<y1>1e308</y1>\r\n<x2>" + std::string(100, '9') + "</x2>\r\n"));
    ASSERT_EQ(theCase.TrajectoryCount(), 1);
    EXPECT_EQ(theCase.trajectories[0].in.y, 0.0);
    EXPECT_EQ(theCase.trajectories[0].out.x, 0.0);
    EXPECT_EQ(theCase.body.GetScaleX(), 1.0);
    EXPECT_EQ(result.ReadingNotes(),
              (std::vector<std::string>{
                  "The scalex \"1e300\" of the body left out: a stretch must lie within 0.01 and "
                  "100; it reads as 1.",
                  "The y1 \"1e308\" of trajectory 1 left out: a length must be at most 1000000 m "
                  "either way; it reads as 0.",
                  // A value text is cut in the note, so that a long one cannot flood the message.
                  "The x2 \"" + std::string(40, '9') +
                      "...\" of trajectory 1 left out: a length must be at most 1000000 m either "
                      "way; it reads as 0."}));
}

TEST_F(HostileDataFileTest, LabelsOfEveryLengthTheLabelDialogTakesSurviveASaveAndReopen) {
    // 1,300 ">" became a 5,217-byte line the reader cut into pieces; 4,999 characters (the label
    // dialog's limit) of three-byte UTF-8 or of five-byte entities are longer still.
    std::string euros;
    for (int i = 0; i < 4999; ++i) {
        euros += "\u20ac";
    }
    const std::vector<std::string> labels = {std::string(1300, '>'), euros, std::string(4999, '&'),
                                             std::string(4999, '\n')};
    for (const std::string& label : labels) {
        theCase.trajectories.push_back(LabelledTrajectory(label));
        theCase.elements.emplace_back().label = label;
    }
    theCase.body.SetName(std::string(4999, '<'));
    Case reopened;
    Reopen(reopened);
    ASSERT_EQ(reopened.TrajectoryCount(), 4);
    ASSERT_EQ(reopened.ElementCount(), 4);
    for (size_t i = 0; i < labels.size(); ++i) {
        EXPECT_EQ(reopened.trajectories[i].label, labels[i]) << "label " << i;
        EXPECT_EQ(reopened.elements[i].label, labels[i]) << "label " << i;
    }
    EXPECT_EQ(reopened.body.GetName(), std::string(4999, '<'));
}

TEST_F(HostileDataFileTest, LinesAndTextsTooLongToReadBackAreNamedNeverDroppedSilently) {
    // A megabyte label (hand-made: the program writes none) and a label that fits its line but
    // would not once escaped.
    const std::string text = "<root>\r\n" + TrajectoryBlock(TextLine(std::string(1 << 20, 'x'))) +
                             TrajectoryBlock(TextLine(std::string(10000, '>')));
    const DataFileReadResult result = DataFile::ReadText(theCase, text);
    ASSERT_TRUE(result.ok());
    ASSERT_EQ(theCase.TrajectoryCount(), 2);
    EXPECT_EQ(theCase.trajectories[0].label, "");
    EXPECT_EQ(theCase.trajectories[1].label, "");
    EXPECT_EQ(result.ReadingNotes(),
              (std::vector<std::string>{
                  "Line 3 of the data file is longer than 32768 bytes: it was read in pieces, and "
                  "a value or text on it may be lost.",
                  "The text of trajectory 2 left out: written to a data file it would take 40000 "
                  "bytes, more than the 32000 a text may take."}));

    // Nor does a save write a line that would not read back: the previous file stays.
    TemporaryFolder folder;
    const std::string file = folder.File("case.txt");
    WriteText(file, "previous case");
    theCase.trajectories[1].label = std::string(8001, '&');
    const Status written = DataFile::Write(theCase, file);
    EXPECT_FALSE(written.ok());
    EXPECT_EQ(written.message(), "Cannot write data file \"" + file +
                                     "\": the text of trajectory 2 would take more than the "
                                     "32000 bytes a text may take");
    EXPECT_EQ(FileText(file), "previous case");
}

TEST_F(HostileDataFileTest, TextWithoutAnyCaseTagIsNoDataFileAndChangesNothing) {
    theCase.body.SetName("Kept");
    theCase.trajectories.push_back(LabelledTrajectory("kept"));
    const std::string before = DataFile::Format(theCase);
    constexpr char kBinary[] = "\x7f"
                               "ELF\x02\x01\x01\0\0\0<r>\0\xff";
    constexpr char kJpeg[] = "\xff\xd8\xff\xe0\0\x10JFIF\0\x01\x01<x1>1</x1>";
    const std::string binary(kBinary, sizeof kBinary - 1);
    const std::string jpeg(kJpeg, sizeof kJpeg - 1);
    std::string joined = before; // a case whose line ends were lost
    std::erase(joined, '\r');
    std::erase(joined, '\n');
    for (const std::string& text :
         {std::string("root:x:0:0:root:/root:/bin/bash\nbin:x:1:1::/:/sbin/nologin\n"), binary,
          jpeg, joined, std::string("\r\n")}) {
        const DataFileReadResult result = DataFile::ReadText(theCase, text);
        EXPECT_FALSE(result.ok()) << text;
        EXPECT_EQ(result.status.message(), "not a data file");
        EXPECT_EQ(DataFile::Format(theCase), before);
    }

    TemporaryFolder folder;
    const std::string passwd = folder.File("passwd");
    WriteText(passwd, "root:x:0:0:root:/root:/bin/bash\n");
    EXPECT_EQ(DataFile::Read(theCase, passwd).status.message(),
              "Cannot open data file \"" + passwd + "\": not a data file");
    // An empty file is an empty case, and any tag of a case makes a data file.
    const std::string empty = folder.File("empty.txt");
    WriteText(empty, "");
    EXPECT_TRUE(DataFile::Read(theCase, empty).ok());
    EXPECT_TRUE(DataFile::ReadText(theCase, "<root>\r\n</root>\r\n").ok());
    EXPECT_EQ(DataFile::Format(theCase), before);
}

TEST_F(HostileDataFileTest, NotesOfAHugeDamagedFileAreCappedAndCounted) {
    // A value carries over to the following blocks, so every trajectory has both bad angles.
    std::string text = TrajectoryBlock("<dPitch>1e308</dPitch>\r\n<dYaw>1e308</dYaw>\r\n");
    for (int i = 0; i < 99999; ++i) {
        text += TrajectoryBlock("");
    }
    const DataFileReadResult result = DataFile::ReadText(theCase, text);
    EXPECT_EQ(theCase.TrajectoryCount(), 20);
    const std::vector<std::string> notes = result.ReadingNotes();
    ASSERT_EQ(notes.size(), 22u);
    EXPECT_EQ(notes.front(), "99980 trajectories of the data file left out: the scene holds at "
                             "most 20 trajectories and 20 elements.");
    EXPECT_EQ(notes.back(), "And 20 more values or lines of the data file left out or replaced.");
}

TEST_F(HostileDataFileTest, AFileCutShortNamesTheBlockItLost) {
    std::string text = DataFile::Format(theCase);
    text += "<trajectory>\r\n<x1>0.1</x1>\r\n";
    const DataFileReadResult result = DataFile::ReadText(theCase, text);
    EXPECT_EQ(theCase.TrajectoryCount(), 0);
    EXPECT_EQ(result.ReadingNotes(),
              std::vector<std::string>{"The trajectory from line 29 of the data file left out: the "
                                       "file ends before its </trajectory>."});
}

// "45,5" read as 45, "1O" as 1, "2,5" as 2 and "0,015" as 0 (soft tissue switched off), all
// without a word: a value must be one whole number, or it is named and the default stays.
TEST_F(HostileDataFileTest, NumbersThatAreNotOneWholeNumberAreNamedAndTheDefaultKept) {
    const DataFileReadResult result = DataFile::ReadText(
        theCase, "<body>\r\n<height>1,80</height>\r\n<scalex>1,2</scalex>\r\n"
                 "<pose>right_elbow 0 45,5 0</pose>\r\n<pose>trunk 1O</pose>\r\n"
                 "<pose>left_elbow 0 30 0</pose>\r\n<sigma>pose 2,5</sigma>\r\n"
                 "<sigma>tissue 0,015</sigma>\r\n<sigma>heading 2 5</sigma>\r\n"
                 "<draws>2e4x</draws>\r\n</body>\r\n" +
                     TrajectoryBlock("<r>2O0</r>\r\n<x1>0,05</x1>\r\n<y1>1.2</y1>\r\n"
                                     "<uncertainty>0x1</uncertainty>\r\n<dYaw>nan</dYaw>\r\n"));
    ASSERT_TRUE(result.ok());
    const Body& body = theCase.body;
    EXPECT_EQ(body.GetScaleX(), 1.0);
    EXPECT_EQ(body.GetPosture().Get(skeleton::Joint::RightElbow), JointAngles());
    EXPECT_EQ(body.GetPosture().Get(skeleton::Joint::Trunk), JointAngles());
    EXPECT_EQ(body.GetPosture().Get(skeleton::Joint::LeftElbow).pitch, 30.0)
        << "the other lines still pose";
    const UncertaintyModel& model = body.GetUncertaintyModel();
    EXPECT_EQ(model.poseSigma, UncertaintyModel().poseSigma);
    EXPECT_EQ(model.tissueSigma, UncertaintyModel().tissueSigma);
    EXPECT_EQ(model.draws, UncertaintyModel::kDefaultDraws);
    ASSERT_EQ(theCase.TrajectoryCount(), 1);
    const Trajectory& trajectory = theCase.trajectories[0];
    EXPECT_EQ(trajectory.color.x, 0.0);
    EXPECT_EQ(trajectory.in.x, 0.0);
    EXPECT_EQ(trajectory.in.y, 1.2);
    EXPECT_EQ(trajectory.radiusIn, Trajectory().radiusIn);
    EXPECT_EQ(
        result.ReadingNotes(),
        (std::vector<std::string>{
            "The body height \"1,80\" of the data file left out: it is not a number; the "
            "height stays 200.0 cm.",
            "The scalex \"1,2\" of the body left out: it is not a number; it reads as 1.",
            "The pose \"right_elbow 0 45,5 0\" of the body left out: \"45,5\" is not a "
            "number; the joint keeps its angles.",
            "The pose \"trunk 1O\" of the body left out: \"1O\" is not a number; the joint "
            "keeps its angles.",
            "The sigma \"pose 2,5\" of the body left out: \"2,5\" is not a number; the sigma "
            "stays as it was.",
            "The sigma \"tissue 0,015\" of the body left out: \"0,015\" is not a number; the "
            "sigma stays as it was.",
            "The sigma \"heading 2 5\" of the body left out: a sigma line is a name and one "
            "number; the sigma stays as it was.",
            "The draws \"2e4x\" of the body left out: it is not a number. The budget makes "
            "100000.",
            "The r \"2O0\" of trajectory 1 left out: it is not a number; it reads as 0.",
            "The x1 \"0,05\" of trajectory 1 left out: it is not a number; it reads as 0.",
            "The dYaw \"nan\" of trajectory 1 left out: it is not a number; it reads as 0.",
            "The uncertainty \"0x1\" of trajectory 1 left out: it is not a number; the radius "
            "stays 1.0 cm."}));
}
