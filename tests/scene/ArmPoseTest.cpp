#include "scene/Body.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The shoulder and the elbow in world metres for a body of scale 1 at rest.
constexpr Vec3 kShoulder = {-0.20933, 1.5851, 0.1089};
constexpr Vec3 kElbow = {-0.19602, 1.28018, 0.09922};

Vec3 Offset(const Vec3& p, double dx, double dy, double dz) {
    return {p.x + dx, p.y + dy, p.z + dz};
}

void ExpectNear(const Vec3& actual, const Vec3& expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-5);
    EXPECT_NEAR(actual.y, expected.y, 1e-5);
    EXPECT_NEAR(actual.z, expected.z, 1e-5);
}

} // namespace

TEST(ArmPoseTest, RestPoseLeavesTrajectoriesInPlace) {
    Body body;
    const Matrix4 pose = body.ArmPoseTransform();
    for (const Vec3& p : {Vec3{0, 0, 0}, Vec3{0.3, 1.5, 0.2}, Vec3{-0.5, 1.1, -0.1}}) {
        ExpectNear(pose.TransformPoint(p), p);
    }
}

TEST(ArmPoseTest, ArmPitchTurnsAboutTheShoulder) {
    Body body;
    body.GetArm().SetPitch(45);
    const Matrix4 pose = body.ArmPoseTransform();
    ExpectNear(pose.TransformPoint(kShoulder), kShoulder);
    // A hand 0.5 m below the shoulder swings outward by -45 degrees about Z.
    const double half = 0.5 * std::sqrt(0.5);
    ExpectNear(pose.TransformPoint(Offset(kShoulder, 0, -0.5, 0)),
               Offset(kShoulder, -half, -half, 0));
    // The head joint takes no part.
    body.GetHead().Set(0.1, 0.2, 0.3, 40, 50, 60);
    ExpectNear(body.ArmPoseTransform().TransformPoint({0.1, 1.0, 0.2}),
               pose.TransformPoint({0.1, 1.0, 0.2}));
}

TEST(ArmPoseTest, ForearmAnglesTurnAboutTheElbow) {
    Body body;
    body.GetForearm().SetPitch(30);
    Matrix4 pose = body.ArmPoseTransform();
    ExpectNear(pose.TransformPoint(kElbow), kElbow);
    ExpectNear(pose.TransformPoint(Offset(kElbow, 0, -0.3, 0)),
               Offset(kElbow, 0.15, -0.3 * std::cos(M_PI / 6), 0));

    // Forearm yaw bends the elbow: a hand below it comes forward (+Z).
    body.GetForearm().Set(body.GetForearm().GetX(), body.GetForearm().GetY(),
                          body.GetForearm().GetZ(), 90, 0, 0);
    pose = body.ArmPoseTransform();
    ExpectNear(pose.TransformPoint(kElbow), kElbow);
    ExpectNear(pose.TransformPoint(Offset(kElbow, 0, -0.3, 0)), Offset(kElbow, 0, 0, 0.3));
}
