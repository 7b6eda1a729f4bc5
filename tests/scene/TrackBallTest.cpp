#include "scene/TrackBall.h"
#include "scene/SceneRenderer.h"
#include "scene/Universe.h"

#include <gtest/gtest.h>

namespace {

class CountingRenderer : public SceneRenderer {
public:
    bool InitializeContext(Universe&) override { return true; }
    void Resize(int, int) override {}
    void RenderFrame(Universe&) override { ++frames; }
    void Pick(Universe&, int, int) override {}
    void DestroyContext() override {}
    int frames = 0;
};

class TrackBallTest : public testing::Test {
protected:
    TrackBallTest() {
        scene.SetRenderer(&renderer);
        trackBall.SetScene(&scene);
    }
    Universe scene;
    CountingRenderer renderer;
    TrackBall trackBall;
};

} // namespace

TEST_F(TrackBallTest, DragWithFirstButtonTurnsYawAndPitch) {
    trackBall.MouseEvent(0, 0, 100, 100);
    trackBall.MouseMove(140, 100);
    EXPECT_DOUBLE_EQ(scene.GetCameraYaw(), 20.0);
    EXPECT_DOUBLE_EQ(scene.GetCameraPitch(), 0.0);
    trackBall.MouseMove(140, 140);
    EXPECT_DOUBLE_EQ(scene.GetCameraYaw(), 20.0);
    EXPECT_DOUBLE_EQ(scene.GetCameraPitch(), -20.0);
    EXPECT_EQ(renderer.frames, 2);

    trackBall.MouseEvent(0, 1, 140, 140);
    EXPECT_FALSE(TrackBall::IsTracking());
    trackBall.MouseMove(300, 300);
    EXPECT_DOUBLE_EQ(scene.GetCameraYaw(), 20.0);
    EXPECT_EQ(renderer.frames, 2);
}

TEST_F(TrackBallTest, MovesBeforeAPressDoNothing) {
    trackBall.MouseMove(50, 80);
    trackBall.MouseMove(90, 10);
    EXPECT_EQ(scene.GetCameraYaw(), 0.0);
    EXPECT_EQ(scene.GetCameraPitch(), 0.0);
    EXPECT_EQ(renderer.frames, 0);
}

TEST_F(TrackBallTest, OtherButtonTurnsOnlyPitch) {
    trackBall.MouseEvent(1, 0, 0, 0);
    trackBall.MouseMove(40, -40);
    EXPECT_EQ(scene.GetCameraYaw(), 0.0);
    EXPECT_DOUBLE_EQ(scene.GetCameraPitch(), 20.0);
}

TEST_F(TrackBallTest, ConstructionEndsAnyDragInProgress) {
    trackBall.MouseEvent(0, 0, 0, 0);
    ASSERT_TRUE(TrackBall::IsTracking());
    TrackBall another;
    EXPECT_FALSE(TrackBall::IsTracking());
}
