#include "support/ArmTestModel.h"
#include "support/OldArmPose.h"
#include "support/RenderTestSupport.h"

#include <gtest/gtest.h>

namespace {

bool IsBlue(const Rgb& pixel) {
    return pixel.b > 100 && pixel.r < 60 && pixel.g < 60;
}

class ArmPoseRendering : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(h.Ready()) << h.Error();
        std::unique_ptr<Mesh> arm = armtest::ReadMesh(armtest::ArmObj(false));
        ASSERT_TRUE(arm);
        ASSERT_TRUE(theCase.body.LoadMesh(std::move(arm)).ok());
    }

    Rgb PixelAt(double x, double y, double z) {
        const auto at = h.Project(x, y, z);
        return h.Pixel(static_cast<int>(at[0]), static_cast<int>(at[1]));
    }

    void PickPoint(double x, double y, double z) {
        const auto at = h.Project(x, y, z);
        h.PickAt(at[0], at[1]);
    }

    RenderHarness h;
    Case& theCase = h.GetCase();
    ViewState& view = h.GetView();
};

} // namespace

// The arm swung out level (pitch 0): a forearm point 0.5 m below the shoulder goes 0.5 m to the
// body's right at shoulder height.
TEST_F(ArmPoseRendering, PosedArmIsDrawnAndOnlyItsTrajectoriesFollow) {
    const double shoulderY = 1.5851, forearmX = -0.2, front = 0.15;
    h.Render();
    EXPECT_TRUE(IsBlue(PixelAt(forearmX, shoulderY - 0.5, front)));
    EXPECT_FALSE(IsBlue(PixelAt(forearmX - 0.5, shoulderY, front)));

    // Two arrows hanging in front of the forearm's rest place: one follows the arm, one not.
    Trajectory& arm = h.AddTrajectory(true, -0.2, 1.0, 0.5, 1, 0, 0);
    arm.out = {-0.2, 0.7, 0.5};
    Trajectory& trunk = h.AddTrajectory(true, 0.1, 1.0, 0.5, 0, 1, 0);
    trunk.out = {0.1, 0.7, 0.5};
    trunk.withArm = false;

    OldArm(theCase.body).SetPitch(0);
    h.Render();
    EXPECT_FALSE(IsBlue(PixelAt(forearmX, shoulderY - 0.5, front)));
    EXPECT_TRUE(IsBlue(PixelAt(forearmX - 0.5, shoulderY, front)));
    // The trunk stays: the red block on the body's left is where it was.
    const Rgb block = PixelAt(0.22, 1.0, 0.3);
    EXPECT_GT(block.r, 30) << block.g << " " << block.b;
    EXPECT_LT(block.g, 10);
    EXPECT_LT(block.b, 10);

    const Vec3 moved = h.Posed()
                           .GetBody()
                           .SegmentTransform(skeleton::Segment::RightForearm)
                           .TransformPoint({-0.2, 0.9, 0.53});
    PickPoint(moved.x, moved.y, moved.z);
    EXPECT_EQ(view.GetSelectedTrajectoryNumber(), 1);
    PickPoint(0.1, 0.9, 0.53);
    EXPECT_EQ(view.GetSelectedTrajectoryNumber(), 2);
    PickPoint(-0.2, 0.9, 0.53); // the following arrow left its rest place
    EXPECT_EQ(view.GetSelectedTrajectoryNumber(), 0);

    // Back at the initial pose the model is drawn as read.
    theCase.body.ResetPose();
    h.Render();
    EXPECT_TRUE(IsBlue(PixelAt(forearmX, shoulderY - 0.5, front)));
}
