#include "ui/ViewDrag.h"

#include "scene/Universe.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMoveMode = 1;
constexpr int kRotateMode = 2;
// Trajectory shifts match the +-40 cm range of the Adjust trajectory sliders.
constexpr double kMaxShift = 0.4;
// Degrees of turn per metre of pointer step: half a degree per pixel.
constexpr double kTurnPerStep = 100;

double Radians(double degrees) {
    return degrees * 3.1415 / 180;
}

struct Vector3 {
    double x, y, z;
};

Vector3 RotateAboutY(const Vector3& v, double angle) {
    const double c = std::cos(angle), s = std::sin(angle);
    return {v.x * c + v.z * s, v.y, -v.x * s + v.z * c};
}

Vector3 RotateAboutX(const Vector3& v, double angle) {
    const double c = std::cos(angle), s = std::sin(angle);
    return {v.x, v.y * c - v.z * s, v.y * s + v.z * c};
}

ScreenDirection OnScreen(const Vector3& axis, double yaw, double pitch) {
    const Vector3 turned = RotateAboutX(RotateAboutY(axis, yaw), -pitch);
    return {turned.x, turned.y};
}

double ClampShift(double value) {
    return std::clamp(value, -kMaxShift, kMaxShift);
}

void MoveTrajectory(Path& path, int handle, const ScreenAxes& axes, const DragStep& step) {
    switch (handle) {
    case 1:
        path.SetDx(ClampShift(path.GetDx() + axes.ax.Along(step)));
        break;
    case 2:
        path.SetDy(ClampShift(path.GetDy() + axes.ay.Along(step)));
        break;
    case 3:
        path.SetDz(ClampShift(path.GetDz() + axes.az.Along(step)));
        break;
    default:
        break;
    }
}

void TurnTrajectory(Path& path, int handle, const ScreenAxes& axes, const DragStep& step) {
    switch (handle) {
    case 1:
        path.SetDPitch(path.GetDPitch() - kTurnPerStep * axes.ay.Along(step));
        break;
    case 2:
        path.SetDYaw(path.GetDYaw() + kTurnPerStep * step.x);
        break;
    default:
        break; // a trajectory has no roll
    }
}

void MoveElement(VkElement& element, int handle, const ScreenAxes& axes, const DragStep& step) {
    switch (handle) {
    case 1:
        element.SetX(element.GetX() + axes.ax.Along(step));
        break;
    case 2:
        element.SetY(element.GetY() + axes.ay.Along(step));
        break;
    case 3:
        element.SetZ(element.GetZ() + axes.az.Along(step));
        break;
    default:
        break;
    }
}

void TurnElement(VkElement& element, int handle, const ScreenAxes& axes, const DragStep& step) {
    switch (handle) {
    case 1:
        element.SetPitch(element.GetPitch() - kTurnPerStep * axes.ay.Along(step));
        break;
    case 2:
        element.SetYaw(element.GetYaw() + kTurnPerStep * step.x);
        break;
    case 3:
        element.SetRoll(element.GetRoll() - kTurnPerStep * axes.ay.Along(step));
        break;
    default:
        break;
    }
}

} // namespace

ScreenAxes ComputeScreenAxes(double yawDegrees, double pitchDegrees) {
    const double yaw = Radians(yawDegrees);
    const double pitch = Radians(pitchDegrees);
    return {OnScreen({1, 0, 0}, yaw, pitch), OnScreen({0, 1, 0}, yaw, pitch),
            OnScreen({0, 0, 1}, yaw, pitch)};
}

bool DragSelectedObject(Universe& scene, int mode, int handle, const DragStep& step) {
    Path* trajectory =
        scene.GetSelectedTrajectoryNumber() != 0 ? scene.GetSelectedTrajectory() : nullptr;
    VkElement* element = trajectory ? nullptr : scene.GetSelectedElement();
    if (!trajectory && !element) {
        return false;
    }
    const ScreenAxes axes = ComputeScreenAxes(scene.GetCameraYaw(), scene.GetCameraPitch());
    if (trajectory && mode == kMoveMode) {
        MoveTrajectory(*trajectory, handle, axes, step);
    } else if (trajectory && mode == kRotateMode) {
        TurnTrajectory(*trajectory, handle, axes, step);
    } else if (mode == kMoveMode) {
        MoveElement(*element, handle, axes, step);
    } else if (mode == kRotateMode) {
        TurnElement(*element, handle, axes, step);
    }
    return true;
}
