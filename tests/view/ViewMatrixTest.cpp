#include "case/Case.h"

#include <gtest/gtest.h>

namespace {

void ExpectEye(const Case& scene, Vec3 world, double x, double y, double z) {
    const Vec3 eye = scene.GetCamera().ViewMatrix().TransformPoint(world);
    EXPECT_NEAR(eye.x, x, 1e-9);
    EXPECT_NEAR(eye.y, y, 1e-9);
    EXPECT_NEAR(eye.z, z, 1e-9);
}

} // namespace

TEST(ViewMatrixTest, StandardViewsPlaceTheSceneBeforeTheEye) {
    Case scene;
    scene.ViewFront();
    ExpectEye(scene, {0.5, 1, 0}, 0.5, 0, -2.5);
    scene.ViewBack();
    ExpectEye(scene, {0.5, 1, 0}, -0.5, 0, -2.5);
    scene.ViewRight(); // the +X side faces the eye
    ExpectEye(scene, {1, 1, 0}, 0, 0, -1.5);
    scene.ViewTop(); // +Y toward the eye, the front (+Z) at the bottom
    ExpectEye(scene, {0, 1, 0}, 0, 0, -2);
    ExpectEye(scene, {0, 0, 0.5}, 0, -0.5, -3);
    scene.RotateCameraYaw(90); // still turns about the world's vertical
    ExpectEye(scene, {0, 0, 0.5}, 0.5, 0, -3);
}
