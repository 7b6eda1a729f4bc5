#include "view/TrackBall.h"
#include "case/Case.h"
#include "view/SceneRenderer.h"

#include <gtest/gtest.h>

namespace {

class CountingRenderer : public SceneRenderer {
public:
    bool InitializeContext(Case&) override { return true; }
    void Resize(int, int) override {}
    void RenderFrame(Case&) override { ++frames; }
    void Pick(Case&, int, int) override {}
    void DestroyContext() override {}
    int frames = 0;
};

} // namespace

TEST(TrackBallTest, DragsTurnTheCameraOnlyWhileTracking) {
    Case scene;
    CountingRenderer renderer;
    scene.SetRenderer(&renderer);
    TrackBall trackBall;
    trackBall.SetScene(&scene);

    trackBall.MouseMove(50, 80); // before any press
    EXPECT_EQ(scene.GetCameraYaw(), 0.0);
    EXPECT_EQ(renderer.frames, 0);

    trackBall.MouseEvent(0, 0, 100, 100);
    trackBall.MouseMove(140, 100);
    trackBall.MouseMove(140, 140);
    EXPECT_DOUBLE_EQ(scene.GetCameraYaw(), 20.0);
    EXPECT_DOUBLE_EQ(scene.GetCameraPitch(), -20.0);
    EXPECT_EQ(renderer.frames, 2);

    trackBall.MouseEvent(0, 1, 140, 140);
    trackBall.MouseMove(300, 300);
    EXPECT_DOUBLE_EQ(scene.GetCameraYaw(), 20.0);

    trackBall.MouseEvent(1, 0, 0, 0); // another button turns only the pitch
    trackBall.MouseMove(40, -40);
    EXPECT_DOUBLE_EQ(scene.GetCameraYaw(), 20.0);
    EXPECT_DOUBLE_EQ(scene.GetCameraPitch(), 0.0);
}
