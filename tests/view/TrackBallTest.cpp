#include "view/TrackBall.h"
#include "view/Camera.h"

#include <gtest/gtest.h>

TEST(TrackBallTest, DragsTurnTheCameraOnlyWhileTracking) {
    Camera camera;
    TrackBall trackBall(camera);

    EXPECT_FALSE(trackBall.MouseMove(50, 80)); // before any press
    EXPECT_EQ(camera.GetYaw(), 0.0);

    trackBall.MouseEvent(0, 0, 100, 100);
    EXPECT_TRUE(trackBall.IsTracking());
    EXPECT_TRUE(trackBall.MouseMove(140, 100));
    EXPECT_TRUE(trackBall.MouseMove(140, 140));
    EXPECT_DOUBLE_EQ(camera.GetYaw(), 20.0);
    EXPECT_DOUBLE_EQ(camera.GetPitch(), -20.0);

    trackBall.MouseEvent(0, 1, 140, 140);
    EXPECT_FALSE(trackBall.MouseMove(300, 300));
    EXPECT_DOUBLE_EQ(camera.GetYaw(), 20.0);

    trackBall.MouseEvent(1, 0, 0, 0); // another button turns only the pitch
    trackBall.MouseMove(40, -40);
    EXPECT_DOUBLE_EQ(camera.GetYaw(), 20.0);
    EXPECT_DOUBLE_EQ(camera.GetPitch(), 0.0);
}
