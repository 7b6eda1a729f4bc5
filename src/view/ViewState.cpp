#include "view/ViewState.h"

#include "case/Case.h"
#include "edit/CaseChange.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kViewHeight = 1.0;   // m, the eye's height in the horizontal views
constexpr double kViewDistance = 2.5; // m from the vertical axis
constexpr double kCameraStep = 0.2;   // metres per arrow-key step

} // namespace

void ViewState::SelectTrajectory(int number) {
    selectedTrajectory = number;
    selectedElement = 0;
    selectionState = SelectionState::ObjectSelected;
}

void ViewState::SelectElement(int number) {
    selectedElement = number;
    selectedTrajectory = 0;
    selectionState = SelectionState::ObjectSelected;
}

void ViewState::SelectHandle(Handle handle) {
    selectedHandle = handle;
}

void ViewState::ClearSelection() {
    selectedHandle = Handle::None;
    MissSelection();
}

void ViewState::MissSelection() {
    selectedTrajectory = 0;
    selectedElement = 0;
    selectionState = SelectionState::Nothing;
}

void ViewState::AfterCaseChange(const CaseChange& change) {
    if (change.Renumbers()) {
        ClearSelection();
    }
}

const Trajectory* ViewState::SelectedTrajectory(const Case& theCase) const {
    return theCase.TrajectoryNumbered(selectedTrajectory);
}

const Element* ViewState::SelectedElement(const Case& theCase) const {
    return theCase.ElementNumbered(selectedElement);
}

void ViewState::ViewProfile() {
    camera.SetPivot({});
    camera.Set(0, kViewHeight, kViewDistance, 45, 0, 0);
}

void ViewState::ViewFront() {
    camera.SetPivot({});
    camera.Set(0, kViewHeight, kViewDistance, 0, 0, 0);
}

void ViewState::ViewBack() {
    camera.SetPivot({});
    camera.Set(0, kViewHeight, kViewDistance, 180, 0, 0);
}

// +X points to the body's left: the right view looks from the -X side, the scene turned so that
// -X faces the eye, the body's front (+Z) on the right of the picture.
void ViewState::ViewRight() {
    camera.SetPivot({});
    camera.Set(0, kViewHeight, kViewDistance, 90, 0, 0);
}

// From the +X side, the body's front on the left of the picture.
void ViewState::ViewLeft() {
    camera.SetPivot({});
    camera.Set(0, kViewHeight, kViewDistance, -90, 0, 0);
}

void ViewState::ViewTop() {
    camera.SetPivot({});
    camera.Set(0, 0, 3.0, 0, -90, 0);
}

void ViewState::OrbitAround(const Vec3& centre, double radius) {
    camera.SetPivot(centre);
    // Far enough for a sphere of the radius to fit the 60 degree field, from above and the front.
    const double distance =
        std::min(radius / std::tan(std::numbers::pi / 6) * 1.15, Camera::kFarPlane / 2);
    camera.Set(0, 0, distance, 30, -30, 0);
}

void ViewState::CameraCloser() {
    camera.SetZ(camera.GetZ() - kCameraStep);
}

void ViewState::CameraFarther() {
    camera.SetZ(camera.GetZ() + kCameraStep);
}

void ViewState::CameraLeft() {
    camera.SetX(camera.GetX() - kCameraStep);
}

void ViewState::CameraRight() {
    camera.SetX(camera.GetX() + kCameraStep);
}

void ViewState::CameraUp() {
    camera.SetY(camera.GetY() + kCameraStep);
}

void ViewState::CameraDown() {
    camera.SetY(camera.GetY() - kCameraStep);
}

void ViewState::RotateCameraYaw(double delta) {
    camera.SetYaw(camera.GetYaw() + delta);
}

void ViewState::RotateCameraPitch(double delta) {
    camera.SetPitch(camera.GetPitch() + delta);
}
