#include "support/RenderTestSupport.h"

#include "render/Picking.h"

#include <gtest/gtest.h>

namespace {

class Picking : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(h.Ready()) << h.Error(); }

    // A trajectory whose arrow hangs straight down from (x, y, z): arrows side by side never
    // cover each other on the screen. Its front face is at z + 0.03.
    void AddHanging(double x, double y, double z) {
        Trajectory& trajectory = h.AddTrajectory(true, x, y, z, 1, 0, 0);
        trajectory.out = {x, y - 0.3, z};
    }

    void PickPoint(double x, double y, double z) {
        const auto at = h.Project(x, y, z);
        h.PickAt(at[0], at[1]);
    }

    RenderHarness h;
    Case& theCase = h.GetCase();
    ViewState& view = h.GetView();
};

TEST_F(Picking, MissClearsTheSelectionButKeepsTheHandle) {
    h.AddTrajectory(true, -0.4, 1.2, 0.5, 1, 0, 0);
    view.SelectTrajectory(1);
    view.SelectHandle(Handle::Y);
    PickPoint(0.6, 0.3, 0.5); // only the body and the axes could be there; neither is picked
    EXPECT_EQ(view.GetSelectionState(), SelectionState::Nothing);
    EXPECT_EQ(view.GetSelectedTrajectoryNumber(), 0);
    EXPECT_EQ(view.GetSelectedHandle(), Handle::Y);
    PickPoint(0, 1.0, 0.23); // on the body
    EXPECT_EQ(view.GetSelectionState(), SelectionState::Nothing);
}

TEST_F(Picking, HandlesBelongToTheSelectedObjectInMoveAndRotateModesOnly) {
    h.AddTrajectory(true, -0.6, 1.2, 0.5, 1, 0, 0);
    h.AddTrajectory(true, 0.0, 0.9, 0.5, 0, 1, 0); // along -Z from its entry point
    view.SelectTrajectory(2);

    // Select mode: no handles, so a press on the X handle's place misses.
    PickPoint(0.7, 0.9, 0.5);
    EXPECT_EQ(view.GetSelectedTrajectoryNumber(), 0);

    view.SelectTrajectory(2);
    view.SetManipulationMode(ManipulationMode::Move);
    PickPoint(0.7, 0.9, 0.5);
    EXPECT_EQ(view.GetSelectedHandle(), Handle::X);
    EXPECT_EQ(view.GetSelectedTrajectoryNumber(), 2);
    PickPoint(0.0, 0.9 + 0.7, 0.5);
    EXPECT_EQ(view.GetSelectedHandle(), Handle::Y);
    // The arrow itself reselects the trajectory and keeps the handle.
    PickPoint(0.0, 0.9, 0.5);
    EXPECT_EQ(view.GetSelectedTrajectoryNumber(), 2);
    EXPECT_EQ(view.GetSelectedHandle(), Handle::Y);

    // Rotate mode: the yaw ring (radius 0.5, horizontal round the entry point), at 45 degrees.
    view.SetManipulationMode(ManipulationMode::Rotate);
    view.SelectHandle(Handle::X);
    PickPoint(0.3536, 0.9, 0.5 + 0.3536);
    EXPECT_EQ(view.GetSelectedHandle(), Handle::Y);
    EXPECT_EQ(view.GetSelectedTrajectoryNumber(), 2);
}

TEST_F(Picking, ASelectedElementKeepsItsSolidAboveItsHandlesAndOwnsTheRollRing) {
    h.AddElement(0.4, 1.0, 0.5, 0.2, 0, 1, 0);
    view.SelectElement(1);
    view.SetManipulationMode(ManipulationMode::Move);
    PickPoint(0.4, 1.0, 0.6); // the solid, where the three axes start
    EXPECT_EQ(view.GetSelectedElementNumber(), 1);
    EXPECT_EQ(view.GetSelectedHandle(), Handle::None);
    PickPoint(0.4 + 0.7, 1.0, 0.5);
    EXPECT_EQ(view.GetSelectedHandle(), Handle::X);
    EXPECT_EQ(view.GetSelectedElementNumber(), 1);

    // The roll ring stands in the plane z = centre; at 45 degrees no other ring passes.
    view.SetManipulationMode(ManipulationMode::Rotate);
    PickPoint(0.4 + 0.3536, 1.0 - 0.3536, 0.5);
    EXPECT_EQ(view.GetSelectedHandle(), Handle::Z);
    EXPECT_EQ(view.GetSelectedElementNumber(), 1);

    // A trajectory has no roll ring: the same place misses.
    h.AddTrajectory(true, -0.4, 1.0, 0.5, 1, 0, 0);
    view.SelectTrajectory(1);
    PickPoint(-0.4 + 0.3536, 1.0 - 0.3536, 0.5);
    EXPECT_EQ(view.GetSelectionState(), SelectionState::Nothing);
    EXPECT_EQ(view.GetSelectedHandle(), Handle::Z);
}

TEST_F(Picking, LaterDrawingWinsWhateverTheDepth) {
    // Two trajectories one behind the other: the higher number, though it is farther.
    AddHanging(0, 1.7, 0.6);
    AddHanging(0, 1.7, 0.4);
    PickPoint(0, 1.6, 0.63);
    EXPECT_EQ(view.GetSelectedTrajectoryNumber(), 2);
    // An element behind a trajectory: the element.
    AddHanging(0, 0.9, 0.7);
    h.AddElement(0, 0.7, 0.4, 0.2, 0, 1, 0);
    PickPoint(0, 0.7, 0.73);
    EXPECT_EQ(view.GetSelectedElementNumber(), 1);
    EXPECT_EQ(view.GetSelectedTrajectoryNumber(), 0);
    EXPECT_EQ(view.GetSelectionState(), SelectionState::ObjectSelected);
}

TEST_F(Picking, EveryTrajectoryAndElementCanBeSelected) {
    // Twenty trajectories on a row above, twenty elements on a row below.
    for (int n = 0; n < 20; ++n) {
        AddHanging(-0.95 + 0.1 * n, 1.7, 0.6);
        h.AddElement(-0.95 + 0.1 * n, 0.8, 0.6, 0.05, 0, 1, 0);
    }
    for (int n = 1; n <= 20; ++n) {
        PickPoint(-0.95 + 0.1 * (n - 1), 1.6, 0.63);
        EXPECT_EQ(view.GetSelectedTrajectoryNumber(), n);
        EXPECT_EQ(view.GetSelectedElementNumber(), 0);
        PickPoint(-0.95 + 0.1 * (n - 1), 0.8, 0.625);
        EXPECT_EQ(view.GetSelectedElementNumber(), n);
        EXPECT_EQ(view.GetSelectedTrajectoryNumber(), 0);
    }
}

TEST_F(Picking, TrajectoryTwentyIsNeverElementOne) {
    for (int n = 0; n < 20; ++n) {
        AddHanging(-0.95 + 0.1 * n, 1.7, 0.6);
    }
    h.AddElement(0.5, 0.6, 0.6, 0.1, 0, 1, 0);
    PickPoint(0.95, 1.6, 0.63);
    EXPECT_EQ(view.GetSelectedTrajectoryNumber(), 20);
    EXPECT_EQ(view.GetSelectedElementNumber(), 0);
}

TEST(PickDecoding, RecordsAreWalkedSafely) {
    // Two records: name 3, then name 25.
    const GLuint buffer[] = {1, 10, 20, 3, 1, 5, 6, 25};
    EXPECT_EQ(LastHitName(buffer, 8, 2), std::optional<GLuint>(25));
    EXPECT_EQ(LastHitName(buffer, 8, 0), std::nullopt);
    EXPECT_EQ(LastHitName(buffer, 8, -1), std::nullopt); // overflow
    // A count running past the buffer stops at the last complete record.
    EXPECT_EQ(LastHitName(buffer, 8, 5), std::optional<GLuint>(25));
    const GLuint truncated[] = {1, 10, 20, 3, 7, 5, 6, 25};
    EXPECT_EQ(LastHitName(truncated, 8, 2), std::optional<GLuint>(3));

    Case theCase;
    ViewState view;
    theCase.trajectories.emplace_back();
    ApplyPickName(theCase, view, 2); // no trajectory 2
    EXPECT_EQ(view.GetSelectionState(), SelectionState::Nothing);
    ApplyPickName(theCase, view, 21); // no element 1
    EXPECT_EQ(view.GetSelectionState(), SelectionState::Nothing);
    ApplyPickName(theCase, view, 1);
    EXPECT_EQ(view.GetSelectedTrajectoryNumber(), 1);
    ApplyPickName(theCase, view, 44);
    EXPECT_EQ(view.GetSelectionState(), SelectionState::Nothing);
}

// Of balls one behind another, the one in front: the least minimum depth, whatever the order of
// the records; truncated records and overflows are skipped as for the last name.
TEST(PickDecoding, NearestRecordIsTheOneInFront) {
    const GLuint buffer[] = {1, 900, 950, 101, 1, 300, 320, 103, 0, 100, 100, 1, 200, 250, 7};
    EXPECT_EQ(NearestHitName(buffer, 15, 3), std::optional<GLuint>(103));
    EXPECT_EQ(NearestHitName(buffer, 15, 4), std::optional<GLuint>(7)); // the nameless skipped
    EXPECT_EQ(NearestHitName(buffer, 15, -1), std::nullopt);
    EXPECT_EQ(NearestHitName(buffer, 6, 3), std::optional<GLuint>(101)); // the second cut off
}

} // namespace
