#include "view/ViewState.h"

#include <gtest/gtest.h>

namespace {

void ExpectEye(const ViewState& view, Vec3 world, double x, double y, double z) {
    const Vec3 eye = view.GetCamera().ViewMatrix().TransformPoint(world);
    EXPECT_NEAR(eye.x, x, 1e-9);
    EXPECT_NEAR(eye.y, y, 1e-9);
    EXPECT_NEAR(eye.z, z, 1e-9);
}

} // namespace

TEST(ViewMatrixTest, StandardViewsPlaceTheBodyBeforeTheEye) {
    ViewState view;
    view.ViewFront();
    ExpectEye(view, {0.5, 1, 0}, 0.5, 0, -2.5);
    view.ViewBack();
    ExpectEye(view, {0.5, 1, 0}, -0.5, 0, -2.5);
    // +X is the body's left: the right view faces its -X side, its front on the picture's
    // right; the left view the reverse.
    view.ViewRight();
    ExpectEye(view, {-1, 1, 0}, 0, 0, -1.5);
    ExpectEye(view, {0, 1, 0.5}, 0.5, 0, -2.5);
    view.ViewLeft();
    ExpectEye(view, {1, 1, 0}, 0, 0, -1.5);
    ExpectEye(view, {0, 1, 0.5}, -0.5, 0, -2.5);
    view.ViewTop(); // +Y toward the eye, the front (+Z) at the bottom
    ExpectEye(view, {0, 1, 0}, 0, 0, -2);
    ExpectEye(view, {0, 0, 0.5}, 0, -0.5, -3);
    view.RotateCameraYaw(90); // still turns about the world's vertical
    ExpectEye(view, {0, 0, 0.5}, 0.5, 0, -3);
}
