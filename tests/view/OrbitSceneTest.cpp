#include "case/Case.h"
#include "case/PosedCase.h"
#include "view/ViewState.h"
#include "world/SceneFraming.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(OrbitSceneTest, TheViewTurnsAboutTheScenesCentreUntilAStandardViewReturnsToTheBody) {
    Case theCase;
    // Falling 1 in 10 toward OUT at the back: the standing zone lies 2 m in front of IN.
    Trajectory& shot = theCase.trajectories.emplace_back();
    shot.in = {0, 1.3, 0.25};
    shot.out = {0, 1.28, 0.05};
    theCase.world.muzzleHeights = {1.5};
    theCase.world.body = {1, 0, 0, 90};
    const SceneFraming framing = FrameScene(PosedCase(theCase));
    // In the body frame the body stands at the origin up to 1.8 m and the zone at z = 2.25.
    EXPECT_NEAR(framing.centre.z, 1.125, 1e-6);
    EXPECT_NEAR(framing.centre.y, 0.9, 1e-6);
    EXPECT_NEAR(framing.centre.x, 0, 1e-6);
    EXPECT_GT(framing.radius, 1.4);

    ViewState view;
    view.OrbitAround(framing.centre, framing.radius);
    const Matrix4 matrix = view.GetCamera().ViewMatrix();
    // The pivot lies straight ahead of the eye, whatever the turn.
    const Vec3 eyeSpace = matrix.TransformPoint(framing.centre);
    EXPECT_NEAR(eyeSpace.x, 0, 1e-9);
    EXPECT_NEAR(eyeSpace.y, 0, 1e-9);
    EXPECT_LT(eyeSpace.z, -framing.radius);
    view.GetCamera().SetYaw(view.GetCamera().GetYaw() + 40);
    EXPECT_NEAR(view.GetCamera().ViewMatrix().TransformPoint(framing.centre).x, 0, 1e-9);

    view.ViewFront();
    const Vec3 origin = view.GetCamera().ViewMatrix().TransformPoint({0, 0, 0});
    EXPECT_NEAR(origin.x, 0, 1e-12);
    EXPECT_NEAR(origin.y, -1.0, 1e-12); // the front view's eye at 1 m, 2.5 m away
    EXPECT_NEAR(origin.z, -2.5, 1e-12);
}
