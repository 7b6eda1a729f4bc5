#include "body/Body.h"
#include "body/PosedBody.h"
#include "support/OldArmPose.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

// The shoulder and the elbow in world metres for a body of scale 1 at rest.
constexpr Vec3 kShoulder = {-0.20933, 1.5851, 0.1089};
constexpr Vec3 kElbow = {-0.19602, 1.28018, 0.09922};

Matrix4 ForearmTransform(const Body& body) {
    return PosedBody(body).SegmentTransform(skeleton::Segment::RightForearm);
}

void ExpectMoved(const Body& body, Vec3 p, Vec3 offset, Vec3 movedOffset) {
    const Vec3 moved =
        ForearmTransform(body).TransformPoint({p.x + offset.x, p.y + offset.y, p.z + offset.z});
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
    ExpectMoved(body, {0.3, 1.5, 0.2}, {0, 0, 0}, {0, 0, 0});

    OldArm(body).SetPitch(45); // a hand below the shoulder swings out by -45 about Z
    const double half = 0.5 * std::sqrt(0.5);
    ExpectMoved(body, kShoulder, {0, 0, 0}, {0, 0, 0});
    ExpectMoved(body, kShoulder, {0, -0.5, 0}, {-half, -half, 0});

    OldArm(body).SetPitch(90);
    OldForearm(body).SetPitch(30);
    ExpectMoved(body, kElbow, {0, 0, 0}, {0, 0, 0});
    ExpectMoved(body, kElbow, {0, -0.3, 0}, {0.15, -0.3 * std::cos(std::numbers::pi / 6), 0});
    OldForearm(body).SetPitch(0);
    OldForearm(body).SetYaw(90); // bending the elbow brings the hand forward
    ExpectMoved(body, kElbow, {0, -0.3, 0}, {0, 0, 0.3});
}

TEST(ArmPoseTest, TrajectoriesTurnWithThePartTheyEnter) {
    Body body;
    const Vec3 elbow = body.RestElbow();
    EXPECT_NEAR(elbow.x, kElbow.x, 1e-5);
    EXPECT_NEAR(elbow.y, kElbow.y, 1e-5);
    EXPECT_NEAR(elbow.z, kElbow.z, 1e-5);

    OldForearm(body).SetPitch(30);
    OldArm(body).SetPitch(45);
    const Vec3 upperArmWound = {kShoulder.x, kShoulder.y - 0.15, kShoulder.z};
    const Vec3 forearmWound = {kElbow.x, kElbow.y - 0.2, kElbow.z};
    const PosedBody posed(body);
    const auto carried = [&posed](bool withArm, Vec3 entry) {
        return posed.OlderFilePose(withArm, entry).TransformPoint(entry);
    };
    const Matrix4 upperArm = posed.SegmentTransform(skeleton::Segment::RightUpperArm);
    const Matrix4 forearm = posed.SegmentTransform(skeleton::Segment::RightForearm);
    // The upper arm's wound turns with the shoulder only, the forearm's with both joints.
    const Vec3 upper = carried(true, upperArmWound);
    const Vec3 expectedUpper = upperArm.TransformPoint(upperArmWound);
    EXPECT_NEAR(upper.x, expectedUpper.x, 1e-9);
    EXPECT_NEAR(upper.y, expectedUpper.y, 1e-9);
    const Vec3 fore = carried(true, forearmWound);
    const Vec3 expectedFore = forearm.TransformPoint(forearmWound);
    EXPECT_NEAR(fore.x, expectedFore.x, 1e-9);
    EXPECT_NEAR(fore.y, expectedFore.y, 1e-9);
    EXPECT_GT(std::hypot(expectedFore.x - upperArm.TransformPoint(forearmWound).x,
                         expectedFore.y - upperArm.TransformPoint(forearmWound).y),
              0.05);
    // A trajectory that does not move with the arm stays where its points say.
    const Vec3 still = carried(false, forearmWound);
    EXPECT_DOUBLE_EQ(still.x, forearmWound.x);
    EXPECT_DOUBLE_EQ(still.y, forearmWound.y);
    EXPECT_DOUBLE_EQ(still.z, forearmWound.z);
}
