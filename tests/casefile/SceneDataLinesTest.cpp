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
