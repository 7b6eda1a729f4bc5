#include "view/ViewState.h"
#include "case/Case.h"
#include "edit/CaseEditor.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

void ExpectCamera(const Camera& camera, double y, double z, double yaw, double pitch) {
    EXPECT_NEAR(camera.GetX(), 0, 1e-12);
    EXPECT_NEAR(camera.GetY(), y, 1e-12);
    EXPECT_NEAR(camera.GetZ(), z, 1e-12);
    EXPECT_EQ(camera.GetYaw(), yaw);
    EXPECT_EQ(camera.GetPitch(), pitch);
    EXPECT_EQ(camera.GetRoll(), 0.0);
}

} // namespace

TEST(ViewStateTest, SelectionKeepsOneKindAtATime) {
    Case theCase;
    theCase.trajectories.emplace_back().label = "shot";
    theCase.elements.emplace_back();
    ViewState view;

    view.SelectTrajectory(1);
    view.SelectHandle(Handle::Y);
    EXPECT_EQ(view.GetSelectionState(), SelectionState::ObjectSelected);
    view.SelectElement(1);
    EXPECT_EQ(view.SelectedTrajectory(theCase), nullptr);
    EXPECT_EQ(view.SelectedElement(theCase), &theCase.elements[0]);
    view.SelectTrajectory(1);
    EXPECT_EQ(view.SelectedElement(theCase), nullptr);
    EXPECT_EQ(view.SelectedTrajectory(theCase), &theCase.trajectories[0]);
    view.SelectTrajectory(2);
    EXPECT_EQ(view.SelectedTrajectory(theCase), nullptr) << "number 2 names no trajectory";

    view.MissSelection();
    EXPECT_EQ(view.GetSelectionState(), SelectionState::Nothing);
    EXPECT_EQ(view.GetSelectedTrajectoryNumber() + view.GetSelectedElementNumber(), 0);
    EXPECT_EQ(view.GetSelectedHandle(), Handle::Y) << "a miss keeps the handle in force";
    view.ClearSelection();
    EXPECT_EQ(view.GetSelectedHandle(), Handle::None);
}

TEST(ViewStateTest, ASelectionDoesNotOutliveARenumbering) {
    Case theCase;
    CaseEditor editor(theCase);
    ViewState view;
    editor.AddListener([&view](const CaseChange& change) { view.AfterCaseChange(change); });
    Trajectory trajectory;
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(editor.AddTrajectory("New trajectory", trajectory));
    }

    view.SelectTrajectory(3);
    ASSERT_TRUE(editor.EditTrajectory(3, "Properties", [](Trajectory& t) { t.label = "x"; }));
    EXPECT_EQ(view.GetSelectedTrajectoryNumber(), 3) << "an edit in place keeps the selection";

    view.SelectTrajectory(3);
    view.SelectHandle(Handle::X);
    ASSERT_TRUE(editor.DeleteTrajectory("Delete trajectory", 1));
    EXPECT_EQ(view.GetSelectionState(), SelectionState::Nothing);
    EXPECT_EQ(view.GetSelectedHandle(), Handle::None);

    view.SelectElement(1);
    ASSERT_TRUE(editor.EditCase("Delete all", [](Case& edited) { edited.trajectories.clear(); }));
    EXPECT_EQ(view.GetSelectedElementNumber(), 0);
}

TEST(ViewStateTest, StandardViewsAndCameraSteps) {
    ViewState view;
    struct Standard {
        void (ViewState::*set)();
        double y, z, yaw, pitch;
    };
    const Standard views[] = {
        {&ViewState::ViewProfile, 1, 2.5, 45, 0}, {&ViewState::ViewBack, 1, 2.5, 180, 0},
        {&ViewState::ViewRight, 1, 2.5, 90, 0},   {&ViewState::ViewLeft, 1, 2.5, -90, 0},
        {&ViewState::ViewTop, 0, 3.0, 0, -90},    {&ViewState::ViewFront, 1, 2.5, 0, 0}};
    for (const Standard& standard : views) {
        view.GetCamera().Set(0.7, 0.7, 0.7, 7, 7, 7);
        (view.*standard.set)();
        ExpectCamera(view.GetCamera(), standard.y, standard.z, standard.yaw, standard.pitch);
    }
    view.CameraLeft();
    EXPECT_NEAR(view.GetCamera().GetX(), -0.2, 1e-12);
    view.CameraRight();
    view.CameraUp();
    for (int i = 0; i < 14; ++i) {
        view.CameraCloser(); // not bounded: the origin may pass behind the eye
    }
    view.CameraFarther();
    ExpectCamera(view.GetCamera(), 1.2, -0.1, 0, 0);
    view.CameraDown();
    EXPECT_NEAR(view.GetCamera().GetY(), 1.0, 1e-12);
}
