#include "scene/Matrix4.h"
#include "scene/VkCamera.h"

#include <gtest/gtest.h>

namespace {

void ExpectPoint(const Vec3& actual, double x, double y, double z) {
    EXPECT_NEAR(actual.x, x, 1e-9);
    EXPECT_NEAR(actual.y, y, 1e-9);
    EXPECT_NEAR(actual.z, z, 1e-9);
}

} // namespace

TEST(ViewMatrixTest, ProductsApplyTheRightFactorFirst) {
    // Translate after turning 90 degrees about Z: (1, 0, 0) -> (0, 1, 0) -> (0, 1, 5).
    const Matrix4 turnThenShift = Matrix4::Translation(0, 0, 5) * Matrix4::Rotation(90, 0, 0, 1);
    ExpectPoint(turnThenShift.TransformPoint({1, 0, 0}), 0, 1, 5);
    // glRotated turns counter-clockwise about the axis and normalises it.
    ExpectPoint(Matrix4::Rotation(90, 0, 2, 0).TransformPoint({0, 0, 1}), 1, 0, 0);
    ExpectPoint(Matrix4::Rotation(90, -1, 0, 0).TransformPoint({0, 1, 0}), 0, 0, -1);
    ExpectPoint(Matrix4::Scaling(2, 3, 4).TransformPoint({1, 1, 1}), 2, 3, 4);
    EXPECT_EQ(turnThenShift.Data()[14], 5.0) << "column-major: translation in elements 12..14";
}

TEST(ViewMatrixTest, StandardViewsPlaceTheSceneBeforeTheEye) {
    VkCamera camera;
    camera.Set(0, 1.0, 2.5, 0, 0, 0); // Front
    ExpectPoint(camera.ViewMatrix().TransformPoint({0.5, 1, 0}), 0.5, 0, -2.5);

    camera.Set(0, 1.0, 2.5, 180, 0, 0); // Back: the body's left side is on screen left
    ExpectPoint(camera.ViewMatrix().TransformPoint({0.5, 1, 0}), -0.5, 0, -2.5);

    camera.Set(0, 1.0, 2.5, -90, 0, 0); // Right: the +X side faces the eye
    ExpectPoint(camera.ViewMatrix().TransformPoint({1, 1, 0}), 0, 0, -1.5);

    camera.Set(0, 0, 3.0, 0, -90, 0); // Top: +Y toward the eye, the front (+Z) at the bottom
    ExpectPoint(camera.ViewMatrix().TransformPoint({0, 1, 0}), 0, 0, -2);
    ExpectPoint(camera.ViewMatrix().TransformPoint({0, 0, 0.5}), 0, -0.5, -3);

    // From the top, yaw still turns about the world's vertical axis.
    camera.Set(0, 0, 3.0, 90, -90, 0);
    ExpectPoint(camera.ViewMatrix().TransformPoint({0, 1, 0}), 0, 0, -2);
}
