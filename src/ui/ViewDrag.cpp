#include "ui/ViewDrag.h"

#include "base/Angles.h"
#include "case/Case.h"
#include "edit/CaseEditor.h"
#include "view/ViewState.h"

#include <algorithm>
#include <cmath>

namespace {

// Trajectory shifts match the +-40 cm range of the Adjust trajectory sliders.
constexpr double kMaxShift = 0.4;
// Degrees of turn per metre of pointer step: half a degree per pixel.
constexpr double kTurnPerStep = 100;

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

void MoveTrajectory(Trajectory& trajectory, Handle handle, const ScreenAxes& axes,
                    const DragStep& step) {
    switch (handle) {
    case Handle::X:
        trajectory.SetDx(ClampShift(trajectory.GetDx() + axes.ax.Along(step)));
        break;
    case Handle::Y:
        trajectory.SetDy(ClampShift(trajectory.GetDy() + axes.ay.Along(step)));
        break;
    case Handle::Z:
        trajectory.SetDz(ClampShift(trajectory.GetDz() + axes.az.Along(step)));
        break;
    default:
        break;
    }
}

void TurnTrajectory(Trajectory& trajectory, Handle handle, const ScreenAxes& axes,
                    const DragStep& step) {
    switch (handle) {
    case Handle::X:
        trajectory.SetDPitch(trajectory.GetDPitch() - kTurnPerStep * axes.ay.Along(step));
        break;
    case Handle::Y:
        trajectory.SetDYaw(trajectory.GetDYaw() + kTurnPerStep * step.x);
        break;
    default:
        break; // a trajectory has no roll
    }
}

void MoveElement(Element& element, Handle handle, const ScreenAxes& axes, const DragStep& step) {
    switch (handle) {
    case Handle::X:
        element.SetX(element.GetX() + axes.ax.Along(step));
        break;
    case Handle::Y:
        element.SetY(element.GetY() + axes.ay.Along(step));
        break;
    case Handle::Z:
        element.SetZ(element.GetZ() + axes.az.Along(step));
        break;
    default:
        break;
    }
}

void TurnElement(Element& element, Handle handle, const ScreenAxes& axes, const DragStep& step) {
    switch (handle) {
    case Handle::X:
        element.SetPitch(element.GetPitch() - kTurnPerStep * axes.ay.Along(step));
        break;
    case Handle::Y:
        element.SetYaw(element.GetYaw() + kTurnPerStep * step.x);
        break;
    case Handle::Z:
        element.SetRoll(element.GetRoll() - kTurnPerStep * axes.ay.Along(step));
        break;
    default:
        break;
    }
}

} // namespace

ScreenAxes ComputeScreenAxes(double yawDegrees, double pitchDegrees) {
    const double yaw = DegreesToRadians(yawDegrees);
    const double pitch = DegreesToRadians(pitchDegrees);
    return {OnScreen({1, 0, 0}, yaw, pitch), OnScreen({0, 1, 0}, yaw, pitch),
            OnScreen({0, 0, 1}, yaw, pitch)};
}

bool DragSelectedObject(CaseEditor& editor, const ViewState& view, Handle handle,
                        const DragStep& step) {
    const Case& theCase = editor.GetCase();
    const ManipulationMode mode = view.GetManipulationMode();
    const ScreenAxes axes =
        ComputeScreenAxes(view.GetCamera().GetYaw(), view.GetCamera().GetPitch());
    if (view.SelectedTrajectory(theCase) != nullptr) {
        return editor.PreviewTrajectory(view.GetSelectedTrajectoryNumber() - 1,
                                        [&](Trajectory& trajectory) {
                                            if (mode == ManipulationMode::Move) {
                                                MoveTrajectory(trajectory, handle, axes, step);
                                            } else if (mode == ManipulationMode::Rotate) {
                                                TurnTrajectory(trajectory, handle, axes, step);
                                            }
                                        });
    }
    if (view.SelectedElement(theCase) != nullptr) {
        return editor.PreviewElement(view.GetSelectedElementNumber() - 1, [&](Element& element) {
            if (mode == ManipulationMode::Move) {
                MoveElement(element, handle, axes, step);
            } else if (mode == ManipulationMode::Rotate) {
                TurnElement(element, handle, axes, step);
            }
        });
    }
    return false;
}
