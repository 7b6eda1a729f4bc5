#include "body/SegmentPoses.h"

using skeleton::Joint;
using skeleton::Segment;

namespace {

Matrix4 TurnAbout(const Vec3& pivot, const Matrix4& rotation) {
    return Matrix4::Translation(pivot.x, pivot.y, pivot.z) * rotation *
           Matrix4::Translation(-pivot.x, -pivot.y, -pivot.z);
}

} // namespace

SegmentPoses::SegmentPoses(const Posture& posture, const skeleton::Pivots& pivots) {
    const JointAngles& turn = posture.GetBodyTurn();
    transforms[static_cast<size_t>(Segment::Pelvis)] =
        TurnAbout(pivots[Joint::Trunk], Matrix4::Rotation(turn.yaw, 0, 1, 0) *
                                            Matrix4::Rotation(turn.pitch, 1, 0, 0) *
                                            Matrix4::Rotation(turn.roll, 0, 0, 1));
    // Segments are listed after their parents, so one pass in order places them all.
    for (int s = 1; s < skeleton::kSegmentCount; ++s) {
        const Segment segment = static_cast<Segment>(s);
        const Joint joint = *skeleton::JointCarrying(segment);
        const JointAngles& a = posture.Get(joint);
        transforms[s] =
            (*this)[skeleton::ParentOf(segment)] *
            TurnAbout(pivots[joint], skeleton::JointRotation(joint, a.yaw, a.pitch, a.roll));
    }
}

void SegmentPoses::Raise(double dy) {
    const Matrix4 lift = Matrix4::Translation(0, dy, 0);
    for (Matrix4& transform : transforms) {
        transform = lift * transform;
    }
}
