#include "scene/Body.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The shoulder and the elbow in world metres for a body of scale 1 at rest.
constexpr Vec3 kShoulder = {-0.20933, 1.5851, 0.1089};
constexpr Vec3 kElbow = {-0.19602, 1.28018, 0.09922};

void ExpectMoved(const Body& body, Vec3 p, Vec3 offset, Vec3 movedOffset) {
    const Vec3 moved =
        body.ArmPoseTransform().TransformPoint({p.x + offset.x, p.y + offset.y, p.z + offset.z});
    EXPECT_NEAR(moved.x, p.x + movedOffset.x, 1e-5);
    EXPECT_NEAR(moved.y, p.y + movedOffset.y, 1e-5);
    EXPECT_NEAR(moved.z, p.z + movedOffset.z, 1e-5);
}

} // namespace

TEST(ArmPoseTest, JointsTurnAboutShoulderAndElbow) {
    Body body;
    for (Vec3 p : {Vec3{0, 0, 0}, Vec3{0.3, 1.5, 0.2}, kShoulder}) {
        ExpectMoved(body, p, {0, 0, 0}, {0, 0, 0}); // the rest pose changes nothing
    }
    body.GetHead().Set(0.1, 0.2, 0.3, 40, 50, 60); // no part in the pose
    ExpectMoved(body, {0.3, 1.5, 0.2}, {0, 0, 0}, {0, 0, 0});

    body.GetArm().SetPitch(45); // a hand below the shoulder swings out by -45 about Z
    const double half = 0.5 * std::sqrt(0.5);
    ExpectMoved(body, kShoulder, {0, 0, 0}, {0, 0, 0});
    ExpectMoved(body, kShoulder, {0, -0.5, 0}, {-half, -half, 0});

    body.GetArm().SetPitch(90);
    body.GetForearm().SetPitch(30);
    ExpectMoved(body, kElbow, {0, 0, 0}, {0, 0, 0});
    ExpectMoved(body, kElbow, {0, -0.3, 0}, {0.15, -0.3 * std::cos(M_PI / 6), 0});
    body.GetForearm().SetPitch(0);
    body.GetForearm().SetYaw(90); // bending the elbow brings the hand forward
    ExpectMoved(body, kElbow, {0, -0.3, 0}, {0, 0, 0.3});
}
