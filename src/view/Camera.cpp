#include "view/Camera.h"

void Camera::Set(double newX, double newY, double newZ, double newYaw, double newPitch,
                 double newRoll) {
    x = newX;
    y = newY;
    z = newZ;
    yaw = newYaw;
    pitch = newPitch;
    roll = newRoll;
}

// The scene is turned by yaw first, then pitch, then roll, and then shifted by the eye offset.
Matrix4 Camera::ViewMatrix() const {
    return Matrix4::Translation(-x, -y, -z) * Matrix4::Rotation(roll, 0, 0, 1) *
           Matrix4::Rotation(pitch, -1, 0, 0) * Matrix4::Rotation(yaw, 0, 1, 0) *
           Matrix4::Translation(-pivot.x, -pivot.y, -pivot.z);
}

Matrix4 Camera::ProjectionMatrix(int width, int height) {
    const int rows = height > 0 ? height : 1;
    return Matrix4::Perspective(kFieldOfView, static_cast<double>(width) / rows, kNearPlane,
                                kFarPlane);
}
