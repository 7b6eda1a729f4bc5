#include "ui/ViewDrag.h"

#include "base/Radians.h"
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
        trajectory.offset.x = ClampShift(trajectory.offset.x + axes.ax.Along(step));
        break;
    case Handle::Y:
        trajectory.offset.y = ClampShift(trajectory.offset.y + axes.ay.Along(step));
        break;
    case Handle::Z:
        trajectory.offset.z = ClampShift(trajectory.offset.z + axes.az.Along(step));
        break;
    default:
        break;
    }
}

void TurnTrajectory(Trajectory& trajectory, Handle handle, const ScreenAxes& axes,
                    const DragStep& step) {
    switch (handle) {
    case Handle::X:
        trajectory.pitchAdjustment -= kTurnPerStep * axes.ay.Along(step);
        break;
    case Handle::Y:
        trajectory.yawAdjustment += kTurnPerStep * step.x;
        break;
    default:
        break; // a trajectory has no roll
    }
}

void MoveElement(Element& element, Handle handle, const ScreenAxes& axes, const DragStep& step) {
    switch (handle) {
    case Handle::X:
        element.centre.x += axes.ax.Along(step);
        break;
    case Handle::Y:
        element.centre.y += axes.ay.Along(step);
        break;
    case Handle::Z:
        element.centre.z += axes.az.Along(step);
        break;
    default:
        break;
    }
}

void TurnElement(Element& element, Handle handle, const ScreenAxes& axes, const DragStep& step) {
    switch (handle) {
    case Handle::X:
        element.pitch -= kTurnPerStep * axes.ay.Along(step);
        break;
    case Handle::Y:
        element.yaw += kTurnPerStep * step.x;
        break;
    case Handle::Z:
        element.roll -= kTurnPerStep * axes.ay.Along(step);
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
        return editor.PreviewTrajectory(view.GetSelectedTrajectoryNumber(),
                                        [&](Trajectory& trajectory) {
                                            if (mode == ManipulationMode::Move) {
                                                MoveTrajectory(trajectory, handle, axes, step);
                                            } else if (mode == ManipulationMode::Rotate) {
                                                TurnTrajectory(trajectory, handle, axes, step);
                                            }
                                        });
    }
    if (view.SelectedElement(theCase) != nullptr) {
        return editor.PreviewElement(view.GetSelectedElementNumber(), [&](Element& element) {
            if (mode == ManipulationMode::Move) {
                MoveElement(element, handle, axes, step);
            } else if (mode == ManipulationMode::Rotate) {
                TurnElement(element, handle, axes, step);
            }
        });
    }
    return false;
}
