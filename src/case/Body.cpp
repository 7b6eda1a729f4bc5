#include "case/Body.h"

#include "case/PosedBodyMesh.h"

#include <cmath>

namespace {

// The pose frame is the fitted mesh's frame enlarged by this factor and shifted forward.
constexpr double kPoseScale = 1.21;
constexpr double kPoseScaleInverse = 0.8264463;
constexpr double kPoseShiftZ = 0.104;
// The arm hangs at the sides: its rest pitch about the shoulder.
constexpr double kRestArmPitch = 90;

bool IsUsableScale(double s) {
    return std::isfinite(s) && s > 0;
}

} // namespace

Body::PosedCache::PosedCache() : mesh(std::make_unique<PosedBodyMesh>()) {}

Body::PosedCache::PosedCache(const PosedCache&) : mesh(std::make_unique<PosedBodyMesh>()) {}

Body::PosedCache::~PosedCache() = default;

Body::Body() {
    head.SetPosition(0, 1.43, 0.015);
    arm.SetPosition(-0.173, 1.31, -0.014);
    // The elbow is given relative to the shoulder.
    forearm.SetPosition(-0.252, -0.011, -0.008);
    ResetPose();
}

void Body::ResetPose() {
    for (Placement* joint : {&head, &arm, &forearm}) {
        joint->SetYaw(0);
        joint->SetPitch(0);
        joint->SetRoll(0);
    }
    arm.SetPitch(kRestArmPitch);
}

bool Body::HasInitialPose() const {
    return arm.GetYaw() == 0 && arm.GetPitch() == kRestArmPitch && forearm.GetYaw() == 0 &&
           forearm.GetPitch() == 0;
}

const Mesh* Body::GetPosedModel() const {
    return posedModel->Update(*this);
}

bool Body::HasArmParts() const {
    posedModel->Update(*this);
    return posedModel->HasArmParts();
}

Body::~Body() = default;

void Body::SetScaleX(double s) {
    if (IsUsableScale(s)) {
        scaleX = s;
    }
}

void Body::SetScaleZ(double s) {
    if (!IsUsableScale(s)) {
        return;
    }
    scaleZ = s;
    depth = baseDepth * scale * s;
}

Body::ArmTurns Body::ArmPoseTurns() const {
    // W takes a pose-frame point q to the world point S * (q + shift); inverse is its undoing.
    const Matrix4 toWorld = Matrix4::Scaling(scaleX * scale * kPoseScale, scale * kPoseScale,
                                             scaleZ * scale * kPoseScale) *
                            Matrix4::Translation(0, 0, kPoseShiftZ);
    const Matrix4 toPose =
        Matrix4::Translation(0, 0, -kPoseShiftZ) *
        Matrix4::Scaling(kPoseScaleInverse / (scaleX * scale), kPoseScaleInverse / scale,
                         kPoseScaleInverse / (scaleZ * scale));

    const double ax = arm.GetX(), ay = arm.GetY(), az = arm.GetZ();
    const double fx = forearm.GetX(), fy = forearm.GetY(), fz = forearm.GetZ();
    const Matrix4 toShoulder = Matrix4::Translation(ax, ay, az);
    const Matrix4 fromShoulder = Matrix4::Translation(-ax, -ay, -az);

    const Matrix4 armTurn = toWorld * toShoulder * Matrix4::Rotation(arm.GetYaw(), 0, 1, 0) *
                            Matrix4::Rotation(arm.GetPitch(), 0, 0, 1) * fromShoulder * toPose;
    const Matrix4 forearmTurn = toWorld * toShoulder * Matrix4::Translation(fx, fy, fz) *
                                Matrix4::Rotation(forearm.GetYaw(), 0, 1, 0) *
                                Matrix4::Rotation(forearm.GetPitch(), 0, 0, 1) *
                                Matrix4::Translation(-fx, -fy, -fz) * fromShoulder * toPose;
    // The modelled arm hangs down; this brings the pose frame's arm to the rest angle of 90.
    const Matrix4 restTurn =
        toWorld * toShoulder * Matrix4::Rotation(-90, 0, 0, 1) * fromShoulder * toPose;

    return {armTurn, forearmTurn, restTurn};
}

Matrix4 Body::ArmPoseTransform() const {
    const ArmTurns turns = ArmPoseTurns();
    return turns.arm * turns.forearm * turns.rest;
}

Matrix4 Body::UpperArmTransform() const {
    const ArmTurns turns = ArmPoseTurns();
    return turns.arm * turns.rest;
}

Vec3 Body::RestElbow() const {
    // The elbow pivot A + F lies in the pose frame's level arm; the rest turn's undoing brings it
    // down beside the body, and W takes it into the world.
    const Matrix4 restUndone = Matrix4::Translation(arm.GetX(), arm.GetY(), arm.GetZ()) *
                               Matrix4::Rotation(90, 0, 0, 1) *
                               Matrix4::Translation(-arm.GetX(), -arm.GetY(), -arm.GetZ());
    const Vec3 elbowInPose = restUndone.TransformPoint(
        {arm.GetX() + forearm.GetX(), arm.GetY() + forearm.GetY(), arm.GetZ() + forearm.GetZ()});
    return Matrix4::Scaling(scaleX * scale * kPoseScale, scale * kPoseScale,
                            scaleZ * scale * kPoseScale)
        .TransformPoint({elbowInPose.x, elbowInPose.y, elbowInPose.z + kPoseShiftZ});
}

Matrix4 Body::TrajectoryPoseTransform(bool movesWithArm, const Vec3& entry) const {
    if (!movesWithArm) {
        return Matrix4::Identity();
    }
    return entry.y >= RestElbow().y ? UpperArmTransform() : ArmPoseTransform();
}

Matrix4 Body::DrawTransform() const {
    return Matrix4::Translation(0, height * 0.5, depth * 0.5) *
           Matrix4::Scaling(scaleX, 1, scaleZ) * Matrix4::Scaling(scale, scale, scale);
}

Matrix4 Body::DrawTransformInverse() const {
    return Matrix4::Scaling(1 / (scaleX * scale), 1 / scale, 1 / (scaleZ * scale)) *
           Matrix4::Translation(0, -height * 0.5, -depth * 0.5);
}
