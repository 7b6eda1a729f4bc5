#include "case/Case.h"

#include <gtest/gtest.h>

#include <string>

namespace {

void AddLabelled(Case& scene, const std::string& text) {
    Trajectory* path = scene.AddTrajectory(1);
    ASSERT_NE(path, nullptr);
    path->SetText(text);
}

void ExpectCamera(const Camera& camera, double y, double z, double yaw, double pitch) {
    EXPECT_NEAR(camera.GetX(), 0, 1e-12);
    EXPECT_NEAR(camera.GetY(), y, 1e-12);
    EXPECT_NEAR(camera.GetZ(), z, 1e-12);
    EXPECT_EQ(camera.GetYaw(), yaw);
    EXPECT_EQ(camera.GetPitch(), pitch);
    EXPECT_EQ(camera.GetRoll(), 0.0);
}

} // namespace

TEST(CaseTest, DeletingKeepsOrderAndTheTableHoldsTwenty) {
    Case scene;
    for (int i = 1; i <= 4; ++i) {
        AddLabelled(scene, std::to_string(i));
    }
    scene.DeleteTrajectory(1);
    scene.DeleteTrajectory(3);
    scene.DeleteTrajectory(-1);
    ASSERT_EQ(scene.GetTrajectoryCount(), 3);
    EXPECT_EQ(scene.GetTrajectory(0)->GetText(), "1");
    EXPECT_EQ(scene.GetTrajectory(1)->GetText(), "3");
    EXPECT_EQ(scene.GetTrajectory(2)->GetText(), "4");
    EXPECT_EQ(scene.GetTrajectory(3), nullptr);

    for (int i = 5; i <= 21; ++i) {
        AddLabelled(scene, std::to_string(i));
    }
    EXPECT_EQ(scene.AddTrajectory(0), nullptr);
    EXPECT_EQ(scene.GetTrajectoryCount(), 20);
    EXPECT_EQ(scene.GetLastTrajectory()->GetText(), "21");

    scene.SelectTrajectory(2);
    scene.DeleteAll();
    EXPECT_EQ(scene.GetTrajectoryCount(), 0);
    EXPECT_EQ(scene.GetSelectionState(), SelectionState::Nothing);
    EXPECT_EQ(scene.GetSelectedTrajectory(), nullptr);
    EXPECT_EQ(scene.GetLastTrajectory(), nullptr);
}

TEST(CaseTest, SelectionKeepsOneKindAtATime) {
    Case scene;
    AddLabelled(scene, "shot");
    scene.GetElements().Add(std::make_unique<Element>());

    scene.SelectTrajectory(1);
    scene.SelectHandle(Handle::Y);
    EXPECT_EQ(scene.GetSelectionState(), SelectionState::ObjectSelected);
    scene.SelectElement(1);
    EXPECT_EQ(scene.GetSelectedTrajectory(), nullptr);
    EXPECT_EQ(scene.GetSelectedElement(), scene.GetElements().GetItem(0));
    scene.SelectTrajectory(1);
    EXPECT_EQ(scene.GetSelectedElement(), nullptr);
    EXPECT_EQ(scene.GetSelectedTrajectory(), scene.GetTrajectory(0));

    scene.MissSelection();
    EXPECT_EQ(scene.GetSelectionState(), SelectionState::Nothing);
    EXPECT_EQ(scene.GetSelectedTrajectoryNumber() + scene.GetSelectedElementNumber(), 0);
    EXPECT_EQ(scene.GetSelectedHandle(), Handle::Y) << "a miss keeps the handle in force";
    scene.ClearSelection();
    EXPECT_EQ(scene.GetSelectedHandle(), Handle::None);
}

TEST(CaseTest, StandardViewsAndCameraSteps) {
    Case scene;
    struct View {
        void (Case::*set)();
        double y, z, yaw, pitch;
    };
    const View views[] = {{&Case::ViewProfile, 1, 2.5, 45, 0}, {&Case::ViewBack, 1, 2.5, 180, 0},
                          {&Case::ViewRight, 1, 2.5, -90, 0},  {&Case::ViewLeft, 1, 2.5, 90, 0},
                          {&Case::ViewTop, 0, 3.0, 0, -90},    {&Case::ViewFront, 1, 2.5, 0, 0}};
    for (const View& view : views) {
        scene.GetCamera().Set(0.7, 0.7, 0.7, 7, 7, 7);
        (scene.*view.set)();
        ExpectCamera(scene.GetCamera(), view.y, view.z, view.yaw, view.pitch);
    }
    scene.CameraLeft();
    EXPECT_NEAR(scene.GetCamera().GetX(), -0.2, 1e-12);
    scene.CameraRight();
    scene.CameraUp();
    for (int i = 0; i < 14; ++i) {
        scene.CameraCloser(); // not bounded: the origin may pass behind the eye
    }
    scene.CameraFarther();
    ExpectCamera(scene.GetCamera(), 1.2, -0.1, 0, 0);
    scene.CameraDown();
    EXPECT_NEAR(scene.GetCamera().GetY(), 1.0, 1e-12);
}
