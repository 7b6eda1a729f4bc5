#include "casefile/DataFile.h"
#include "support/BoxBody.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class SceneDataLinesTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadBoxBody(theCase);
        LoadBoxBody(readBack);
    }

    // The new entry, valid until the next one is added.
    Trajectory& AddTrajectory() {
        Trajectory& added = theCase.trajectories.emplace_back();
        added.in = {0.02, 1.3, 0.25};
        added.out = {-0.03, 1.25, 0.04};
        added.exited = true;
        return added;
    }

    // The notes of reading `text` into `readBack`, one per line.
    std::string ReadNotes(const std::string& text) {
        const DataFileReadResult result = DataFile::ReadText(readBack, text);
        EXPECT_TRUE(result.ok()) << result.status.message();
        return result.LeftOutMessage();
    }

    Case theCase;
    Case readBack;
};

// A file with the lines of one trajectory block around `lines`, and a body block with `body`.
std::string FileWith(const std::string& body, const std::string& trajectory,
                     const std::string& after = {}) {
    return "<root>\r\n<body>\r\n   <name>x</name>\r\n   <height>1.8</height>\r\n" + body +
           "</body>\r\n<trajectory>\r\n  <x1>0.1</x1>\r\n  <z2>0.3</z2>\r\n" + trajectory +
           "</trajectory>\r\n" + after + "</root>\r\n";
}

} // namespace

TEST_F(SceneDataLinesTest, TheWorldsLinesFollowTheExistingOnesAndReadBackExactly) {
    Trajectory& first = AddTrajectory();
    first.exterior = {{{1.2345, 1.1, -2.5}, true}, {{-0.5, 0.9, 3.25}, false}};
    first.group = "A <door> & hall";
    const Trajectory written = first;
    AddTrajectory();
    CaseWorld& world = theCase.world;
    world.body = {1.5, 0, 2.25, 90};
    world.sceneModelFile = "rooms/kitchen scan.ply";
    world.scene = {-0.5, 0.02, 0, -12.5};
    world.muzzleHeights = {1.6, 0.975, 0.3};
    theCase.elements.emplace_back();

    const std::string text = DataFile::Format(theCase);
    const auto expectInOrder = [&text](const std::string& before, const std::string& line) {
        const size_t at = text.find(line);
        ASSERT_NE(at, std::string::npos) << line;
        EXPECT_LT(text.find(before), at) << line << " comes after " << before;
    };
    expectInOrder("   <pose>body", "   <placement>1.5000 0.0000 2.2500 90.00</placement>\r\n"
                                   "</body>");
    expectInOrder("  <text>", "  <exterior>1.2345 1.1000 -2.5000 before</exterior>\r\n"
                              "  <exterior>-0.5000 0.9000 3.2500 after</exterior>\r\n"
                              "  <group>A &lt;door&gt; &amp; hall</group>\r\n"
                              "</trajectory>");
    expectInOrder("</element>", "<scene>");
    EXPECT_NE(text.find("\r\n<scene>\r\n"
                        "  <model>rooms/kitchen scan.ply</model>\r\n"
                        "  <placement>-0.5000 0.0200 0.0000 -12.50</placement>\r\n"
                        "  <muzzleheights>160 97.5 30</muzzleheights>\r\n"
                        "</scene>\r\n"
                        "</root>\r\n"),
              std::string::npos)
        << text;

    EXPECT_EQ(ReadNotes(text), "");
    EXPECT_EQ(readBack.world, theCase.world);
    ASSERT_EQ(readBack.TrajectoryCount(), 2);
    EXPECT_EQ(readBack.trajectories[0].exterior, written.exterior);
    EXPECT_EQ(readBack.trajectories[0].group, written.group);
    EXPECT_TRUE(readBack.trajectories[1].exterior.empty());
    EXPECT_EQ(readBack.trajectories[1].group, "");
    EXPECT_EQ(DataFile::Format(readBack), text);
}

// An exterior point's own radius is a line of its own after the point's, which earlier versions
// skip; a point with the default radius writes none, so its file is what they wrote.
TEST_F(SceneDataLinesTest, AnExteriorRadiusFollowsItsPointAndAnOldFileKeepsTheDefault) {
    Trajectory& first = AddTrajectory();
    first.exterior = {{{1, 1.2, -2}, true, 0.025}, {{2, 1.3, -3}, true}, {{0, 1, 1}, false, 0}};
    const std::string text = DataFile::Format(theCase);
    EXPECT_NE(text.find("  <exterior>1.0000 1.2000 -2.0000 before</exterior>\r\n"
                        "  <exteriorradius>0.0250</exteriorradius>\r\n"
                        "  <exterior>2.0000 1.3000 -3.0000 before</exterior>\r\n"
                        "  <exterior>0.0000 1.0000 1.0000 after</exterior>\r\n"
                        "  <exteriorradius>0.0000</exteriorradius>\r\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(ReadNotes(text), "");
    EXPECT_EQ(readBack.trajectories.at(0).exterior, first.exterior);

    // An older file: no radius lines, every point the default. A radius that is no radius, or
    // one before any point, is left out and named.
    Case older;
    LoadBoxBody(older);
    const DataFileReadResult result =
        DataFile::ReadText(older, FileWith("", "  <exteriorradius>0.02</exteriorradius>\r\n"
                                               "  <exterior>1 2 3 before</exterior>\r\n"
                                               "  <exterior>1 2 4 before</exterior>\r\n"
                                               "  <exteriorradius>2</exteriorradius>\r\n"));
    ASSERT_TRUE(result.ok());
    EXPECT_EQ(result.LeftOutMessage(),
              "The exterior radius \"0.02\" left out: it follows no exterior point of its "
              "trajectory.\nThe exterior radius \"2\" of trajectory 1 left out: a radius is a "
              "number of metres within 0 and 1; the point keeps 0.0100.");
    ASSERT_EQ(older.trajectories.at(0).exterior.size(), 2u);
    for (const ExteriorPoint& point : older.trajectories[0].exterior) {
        EXPECT_EQ(point.radius, ExteriorPoint::kDefaultRadius);
    }
}

TEST_F(SceneDataLinesTest, ACaseWithoutAWorldIsWrittenAndReadAsBefore) {
    AddTrajectory();
    const std::string text = DataFile::Format(theCase);
    for (const char* tag : {"<placement>", "<scene>", "<exterior>", "<group>", "<muzzle"}) {
        EXPECT_EQ(text.find(tag), std::string::npos) << tag;
    }
    // Read over a case placed in a scene, an old file leaves no scene behind.
    readBack.world.body = {3, 0, 3, 45};
    readBack.world.sceneModelFile = "room.obj";
    readBack.world.muzzleHeights = {2.0};
    EXPECT_EQ(ReadNotes(text), "");
    EXPECT_EQ(readBack.world, CaseWorld());
    EXPECT_TRUE(readBack.trajectories.at(0).exterior.empty());
    EXPECT_EQ(readBack.trajectories.at(0).group, "");
}

TEST_F(SceneDataLinesTest, HostileValuesAreLeftOutWithTheirFieldNamedAndTheRestKept) {
    const std::string text =
        FileWith("   <placement>1 2 three 0</placement>\r\n",
                 "  <exterior>1 2 3 before</exterior>\r\n"
                 "  <exterior>1 2 abc before</exterior>\r\n"
                 "  <exterior>1e9 0 0 after</exterior>\r\n"
                 "  <exterior>1 2 3 sideways</exterior>\r\n"
                 "  <exterior>nan 2 3 after</exterior>\r\n"
                 "  <group>" +
                     std::string(200, 'g') + "</group>\r\n",
                 "<scene>\r\n  <placement>0 0 0 1e300</placement>\r\n"
                 "  <muzzleheights>150 -5 1e7 abc 30</muzzleheights>\r\n</scene>\r\n");
    const std::string notes = ReadNotes(text);
    for (const char* expected :
         {"The placement \"1 2 three 0\" of the body left out: a placement is four numbers",
          "The exterior \"1 2 abc before\" of trajectory 1 left out",
          "The exterior \"1e9 0 0 after\" of trajectory 1 left out: a point of the scene must "
          "lie within 10000 m",
          "The exterior \"1 2 3 sideways\" of trajectory 1 left out: an exterior point is x y z "
          "in metres and \"before\" or \"after\".",
          "The exterior \"nan 2 3 after\" of trajectory 1", "The group \"gggg",
          "The placement \"0 0 0 1e300\" of the scene left out",
          "The muzzle height \"-5\" of the scene left out: a muzzle height must lie within 0 "
          "and 10000 cm.",
          "The muzzle height \"1e7\"", "The muzzle height \"abc\""}) {
        EXPECT_NE(notes.find(expected), std::string::npos) << expected << "\n" << notes;
    }
    // What was sound is kept: the trajectory, its one good exterior point, two heights.
    ASSERT_EQ(readBack.TrajectoryCount(), 1);
    EXPECT_DOUBLE_EQ(readBack.trajectories[0].in.x, 0.1);
    ASSERT_EQ(readBack.trajectories[0].exterior.size(), 1u);
    EXPECT_EQ(readBack.trajectories[0].group, "");
    EXPECT_EQ(readBack.world.body, ScenePlacement());
    EXPECT_EQ(readBack.world.scene, ScenePlacement());
    EXPECT_EQ(readBack.world.muzzleHeights, (std::vector<double>{1.5, 0.3}));

    // A line with no height at all keeps the standard ones; a scene block cut short is said.
    readBack.trajectories.clear();
    readBack.elements.clear();
    const std::string none = ReadNotes(
        FileWith("", "",
                 "<scene>\r\n  <muzzleheights>x</muzzleheights>\r\n</scene>\r\n<scene>\r\n"
                 "  <model>lost.obj</model>\r\n"));
    EXPECT_NE(none.find("the case keeps 150, 100 and 30 cm"), std::string::npos) << none;
    EXPECT_NE(none.find("The scene from line"), std::string::npos) << none;
    EXPECT_EQ(readBack.world.muzzleHeights, CaseWorld::DefaultMuzzleHeights());
    EXPECT_EQ(readBack.world.sceneModelFile, "");
}

TEST_F(SceneDataLinesTest, ASceneBlockAnywhereInTheFileBelongsToTheCaseAndIsWrittenBack) {
    const std::string scene = "<scene>\r\n  <model>hall.obj</model>\r\n"
                              "  <placement>1 0 2 90</placement>\r\n"
                              "  <muzzleheights>120</muzzleheights>\r\n</scene>\r\n";
    const std::string body = "<body>\r\n   <height>1.8</height>\r\n"
                             "   <placement>0.5 0 0.5 0</placement>\r\n</body>\r\n";
    const std::string track =
        "<trajectory>\r\n  <x1>0.1</x1>\r\n  <z2>0.3</z2>\r\n</trajectory>\r\n";
    CaseWorld expected;
    expected.body = {0.5, 0, 0.5, 0};
    expected.sceneModelFile = "hall.obj";
    expected.scene = {1, 0, 2, 90};
    expected.muzzleHeights = {1.2};
    for (const std::string& text : {"<root>\r\n" + scene + body + track + "</root>\r\n",
                                    "<root>\r\n" + body + track + scene + track + "</root>\r\n",
                                    "<root>\r\n" + track + scene + body + "</root>\r\n"}) {
        readBack.trajectories.clear();
        readBack.world = CaseWorld();
        EXPECT_EQ(ReadNotes(text), "");
        EXPECT_EQ(readBack.world, expected) << text;
        const std::string written = DataFile::Format(readBack);
        EXPECT_NE(written.find("  <model>hall.obj</model>\r\n"), std::string::npos) << written;
    }

    // Two blocks that say different things: the later one is taken, the earlier one named.
    readBack.world = CaseWorld();
    const std::string notes = ReadNotes(
        "<root>\r\n<scene>\r\n  <model>first.obj</model>\r\n  <muzzleheights>90</muzzleheights>"
        "\r\n</scene>\r\n" +
        body +
        "<scene>\r\n  <model>second.obj</model>\r\n  <muzzleheights>90</muzzleheights>\r\n"
        "</scene>\r\n</root>\r\n");
    EXPECT_EQ(readBack.world.sceneModelFile, "second.obj");
    EXPECT_EQ(notes, "The scene model \"first.obj\" of the scene from line 2 left out: the scene "
                     "from line 10 sets another.")
        << notes;
}

TEST_F(SceneDataLinesTest, AGroupNameIsLimitedInCharactersNotBytes) {
    // 50 Cyrillic letters take 100 bytes: well inside the 80 characters a group name takes.
    std::string cyrillic;
    for (int i = 0; i < 50; ++i) {
        cyrillic += "\u0416";
    }
    std::string over;
    for (int i = 0; i < 81; ++i) {
        over += "\u0416";
    }
    EXPECT_EQ(ReadNotes(FileWith("", "  <group>" + cyrillic + "</group>\r\n")), "");
    const std::string notes = ReadNotes(FileWith("", "  <group>" + over + "</group>\r\n"));
    ASSERT_EQ(readBack.TrajectoryCount(), 2);
    EXPECT_EQ(readBack.trajectories[0].group, cyrillic);
    EXPECT_EQ(readBack.trajectories[1].group, "");
    EXPECT_NE(notes.find("at most 80 characters"), std::string::npos) << notes;
}
