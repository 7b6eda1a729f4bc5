#include "scene/Body.h"

#include <cmath>

namespace {

// The pose frame is the fitted mesh's frame enlarged by this factor and shifted forward.
constexpr double kPoseScale = 1.21;
constexpr double kPoseScaleInverse = 0.8264463;
constexpr double kPoseShiftZ = 0.104;

bool IsUsableScale(double s) {
    return std::isfinite(s) && s > 0;
}

} // namespace

Body::Body() {
    head.SetPosition(0, 1.43, 0.015);
    arm.SetPosition(-0.173, 1.31, -0.014);
    arm.SetPitch(90);
    // The elbow is given relative to the shoulder.
    forearm.SetPosition(-0.252, -0.011, -0.008);
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

Matrix4 Body::ArmPoseTransform() const {
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

    return armTurn * forearmTurn * restTurn;
}

Matrix4 Body::DrawTransform() const {
    return Matrix4::Translation(0, height * 0.5, depth * 0.5) *
           Matrix4::Scaling(scaleX, 1, scaleZ) * Matrix4::Scaling(scale, scale, scale);
}
