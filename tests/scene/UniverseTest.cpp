#include "scene/Universe.h"

#include <gtest/gtest.h>

#include <string>

namespace {

void AddLabelled(Universe& scene, const std::string& text) {
    Path* path = scene.AddTrajectory(1);
    ASSERT_NE(path, nullptr);
    path->SetText(text);
}

void ExpectCamera(const VkCamera& camera, double x, double y, double z, double yaw, double pitch) {
    EXPECT_DOUBLE_EQ(camera.GetX(), x);
    EXPECT_DOUBLE_EQ(camera.GetY(), y);
    EXPECT_DOUBLE_EQ(camera.GetZ(), z);
    EXPECT_DOUBLE_EQ(camera.GetYaw(), yaw);
    EXPECT_DOUBLE_EQ(camera.GetPitch(), pitch);
    EXPECT_DOUBLE_EQ(camera.GetRoll(), 0.0);
}

} // namespace

TEST(UniverseTest, NewSceneIsEmptyWithDefaultSwitches) {
    Universe scene;
    EXPECT_EQ(scene.GetTrajectoryCount(), 0);
    EXPECT_EQ(scene.GetElements().GetCount(), 0);
    EXPECT_TRUE(scene.GetShowAxes());
    EXPECT_TRUE(scene.GetShowText());
    EXPECT_FALSE(scene.GetShowFrontGrid());
    EXPECT_FALSE(scene.GetShowLateralGrid());
    EXPECT_FALSE(scene.GetBodyTransparent());
    EXPECT_EQ(scene.GetSelectionState(), 1);
    EXPECT_EQ(scene.GetManipulationMode(), 0);
    EXPECT_EQ(scene.GetSelectedTrajectory(), nullptr);
    EXPECT_EQ(scene.GetSelectedElement(), nullptr);
    EXPECT_EQ(scene.GetLastTrajectory(), nullptr);
    double r = 0, g = 0, b = 0;
    scene.GetTrajectoryColor(r, g, b);
    EXPECT_EQ(r + g + b, 3.0);
    EXPECT_EQ(&Universe::Instance(), &Universe::Instance());
}

TEST(UniverseTest, DeletingRenumbersTheLaterTrajectories) {
    Universe scene;
    for (const char* text : {"1", "2", "3", "4"}) {
        AddLabelled(scene, text);
    }
    EXPECT_EQ(scene.GetLastTrajectory()->GetText(), "4");
    scene.DeleteTrajectory(1);
    ASSERT_EQ(scene.GetTrajectoryCount(), 3);
    EXPECT_EQ(scene.GetTrajectory(0)->GetText(), "1");
    EXPECT_EQ(scene.GetTrajectory(1)->GetText(), "3");
    EXPECT_EQ(scene.GetTrajectory(2)->GetText(), "4");
    EXPECT_EQ(scene.GetTrajectory(3), nullptr);

    scene.DeleteTrajectory(3);
    scene.DeleteTrajectory(-1);
    EXPECT_EQ(scene.GetTrajectoryCount(), 3);

    scene.SelectTrajectory(2);
    EXPECT_EQ(scene.GetSelectedTrajectory()->GetText(), "3");
    scene.DeleteAll();
    EXPECT_EQ(scene.GetTrajectoryCount(), 0);
    EXPECT_EQ(scene.GetSelectionState(), 1);
    EXPECT_EQ(scene.GetSelectedTrajectory(), nullptr);
    scene.DeleteAll();
    EXPECT_EQ(scene.GetTrajectoryCount(), 0);
}

TEST(UniverseTest, TwentyFirstTrajectoryIsRefused) {
    Universe scene;
    for (int i = 1; i <= Universe::kMaxTrajectories; ++i) {
        AddLabelled(scene, std::to_string(i));
    }
    EXPECT_EQ(scene.AddTrajectory(0), nullptr);
    EXPECT_EQ(scene.GetTrajectoryCount(), 20);
    EXPECT_EQ(scene.GetLastTrajectory()->GetText(), "20");
    EXPECT_EQ(scene.GetTrajectory(19)->GetExited(), 1);
}

TEST(UniverseTest, SelectionKeepsOneKindAtATime) {
    Universe scene;
    AddLabelled(scene, "shot");
    scene.GetElements().Add(std::make_unique<VkElement>());

    scene.SelectTrajectory(1);
    scene.SelectHandle(2);
    EXPECT_EQ(scene.GetSelectionState(), 2);
    EXPECT_NE(scene.GetSelectedTrajectory(), nullptr);

    scene.SelectElement(1);
    EXPECT_EQ(scene.GetSelectedTrajectoryNumber(), 0);
    EXPECT_EQ(scene.GetSelectedTrajectory(), nullptr);
    EXPECT_EQ(scene.GetSelectedElement(), scene.GetElements().GetItem(0));
    EXPECT_EQ(scene.GetSelectedHandle(), 2);

    scene.SelectTrajectory(1);
    EXPECT_EQ(scene.GetSelectedElementNumber(), 0);
    EXPECT_EQ(scene.GetSelectedElement(), nullptr);

    scene.MissSelection();
    EXPECT_EQ(scene.GetSelectionState(), 1);
    EXPECT_EQ(scene.GetSelectedTrajectoryNumber(), 0);
    EXPECT_EQ(scene.GetSelectedElementNumber(), 0);
    EXPECT_EQ(scene.GetSelectedHandle(), 2) << "a miss keeps the handle in force";

    scene.ClearSelection();
    EXPECT_EQ(scene.GetSelectedHandle(), 0);
}

TEST(UniverseTest, StandardViewsAndCameraSteps) {
    Universe scene;
    scene.ViewProfile();
    ExpectCamera(scene.GetCamera(), 0, 1.0, 2.5, 45, 0);
    scene.ViewFront();
    ExpectCamera(scene.GetCamera(), 0, 1.0, 2.5, 0, 0);
    scene.ViewBack();
    ExpectCamera(scene.GetCamera(), 0, 1.0, 2.5, 180, 0);
    scene.ViewRight();
    ExpectCamera(scene.GetCamera(), 0, 1.0, 2.5, -90, 0);
    scene.ViewLeft();
    ExpectCamera(scene.GetCamera(), 0, 1.0, 2.5, 90, 0);
    scene.GetCamera().SetRoll(30);
    scene.ViewTop();
    ExpectCamera(scene.GetCamera(), 0, 0, 3.0, 0, -90);

    scene.ViewFront();
    scene.CameraCloser();
    scene.CameraCloser();
    scene.CameraLeft();
    scene.CameraUp();
    EXPECT_NEAR(scene.GetCamera().GetZ(), 2.1, 1e-12);
    EXPECT_NEAR(scene.GetCamera().GetX(), -0.2, 1e-12);
    EXPECT_NEAR(scene.GetCamera().GetY(), 1.2, 1e-12);
    scene.CameraFarther();
    scene.CameraRight();
    scene.CameraDown();
    ExpectCamera(scene.GetCamera(), 0, 1.0, 2.3, 0, 0);
    for (int i = 0; i < 15; ++i) {
        scene.CameraCloser();
    }
    EXPECT_NEAR(scene.GetCamera().GetZ(), -0.7, 1e-12) << "steps are not bounded";
}

TEST(UniverseTest, TogglingTwiceRestoresTheDisplay) {
    Universe scene;
    scene.ToggleAxes();
    scene.ToggleFrontGrid();
    scene.ToggleLateralGrid();
    scene.ToggleBodyTransparency();
    scene.ToggleText();
    EXPECT_FALSE(scene.GetShowAxes());
    EXPECT_TRUE(scene.GetShowFrontGrid());
    EXPECT_TRUE(scene.GetShowLateralGrid());
    EXPECT_TRUE(scene.GetBodyTransparent());
    EXPECT_FALSE(scene.GetShowText());
    scene.ToggleAxes();
    scene.ToggleFrontGrid();
    scene.ToggleLateralGrid();
    scene.ToggleBodyTransparency();
    scene.ToggleText();
    EXPECT_TRUE(scene.GetShowAxes());
    EXPECT_FALSE(scene.GetShowFrontGrid());
    EXPECT_FALSE(scene.GetShowLateralGrid());
    EXPECT_FALSE(scene.GetBodyTransparent());
    EXPECT_TRUE(scene.GetShowText());
}
