#include "case/Case.h"

#include "case/CaseEditor.h"

#include <utility>

Case::Case()
    : body(std::make_unique<Body>()), camera(std::make_unique<Camera>()),
      elements(std::make_unique<ElementList>()), editor(std::make_unique<CaseEditor>(*this)) {}

Case::~Case() = default;

Case& Case::Instance() {
    static Case scene;
    return scene;
}

Trajectory* Case::AddTrajectory(int exited) {
    if (trajectoryCount >= kMaxTrajectories) {
        return nullptr;
    }
    lastTrajectory = trajectoryCount;
    trajectories[lastTrajectory] = std::make_unique<Trajectory>();
    trajectories[lastTrajectory]->SetExited(exited);
    ++trajectoryCount;
    return trajectories[lastTrajectory].get();
}

Trajectory* Case::InsertTrajectory(int index, const Trajectory& path) {
    if (trajectoryCount >= kMaxTrajectories || index < 0 || index > trajectoryCount) {
        return nullptr;
    }
    for (int i = trajectoryCount; i > index; --i) {
        trajectories[i] = std::move(trajectories[i - 1]);
    }
    trajectories[index] = std::make_unique<Trajectory>(path);
    ++trajectoryCount;
    lastTrajectory = index;
    return trajectories[index].get();
}

Trajectory* Case::GetTrajectory(int index) {
    return (index >= 0 && index < trajectoryCount) ? trajectories[index].get() : nullptr;
}

const Trajectory* Case::GetTrajectory(int index) const {
    return (index >= 0 && index < trajectoryCount) ? trajectories[index].get() : nullptr;
}

Trajectory* Case::GetLastTrajectory() {
    return GetTrajectory(lastTrajectory);
}

Trajectory* Case::GetSelectedTrajectory() {
    return selectedTrajectory == 0 ? nullptr : GetTrajectory(selectedTrajectory - 1);
}

void Case::DeleteTrajectory(int index) {
    if (index < 0 || index >= trajectoryCount) {
        return;
    }
    // The survivors keep their order; every later trajectory is renumbered one lower.
    for (int i = index; i + 1 < trajectoryCount; ++i) {
        trajectories[i] = std::move(trajectories[i + 1]);
    }
    --trajectoryCount;
    trajectories[trajectoryCount].reset();
}

void Case::DeleteAll() {
    for (auto& trajectory : trajectories) {
        trajectory.reset();
    }
    trajectoryCount = 0;
    elements->Clear();
    ClearSelection();
}

void Case::GetTrajectoryColor(double& r, double& g, double& b) const {
    r = trajectoryColor[0];
    g = trajectoryColor[1];
    b = trajectoryColor[2];
}

void Case::SetTrajectoryColor(double r, double g, double b) {
    trajectoryColor = {r, g, b};
}

void Case::SelectTrajectory(int number) {
    selectedTrajectory = number;
    selectedElement = 0;
    selectionState = SelectionState::ObjectSelected;
}

void Case::SelectElement(int number) {
    selectedElement = number;
    selectedTrajectory = 0;
    selectionState = SelectionState::ObjectSelected;
}

void Case::SelectHandle(Handle handle) {
    selectedHandle = handle;
}

void Case::ClearSelection() {
    selectedHandle = Handle::None;
    MissSelection();
}

void Case::MissSelection() {
    selectedTrajectory = 0;
    selectedElement = 0;
    selectionState = SelectionState::Nothing;
}

Element* Case::GetSelectedElement() {
    return elements->GetItem(selectedElement - 1);
}

void Case::ViewProfile() {
    camera->Set(0, viewTargetHeight, 2.5, 45, 0, 0);
}

void Case::ViewFront() {
    camera->Set(0, viewTargetHeight, 2.5, 0, 0, 0);
}

void Case::ViewBack() {
    camera->Set(0, viewTargetHeight, 2.5, 180, 0, 0);
}

void Case::ViewRight() {
    camera->Set(0, viewTargetHeight, 2.5, -90, 0, 0);
}

void Case::ViewLeft() {
    camera->Set(0, viewTargetHeight, 2.5, 90, 0, 0);
}

void Case::ViewTop() {
    camera->Set(0, 0, 3.0, 0, -90, 0);
}

namespace {
constexpr double kCameraStep = 0.2; // metres per arrow-key step
}

void Case::CameraCloser() {
    camera->SetZ(camera->GetZ() - kCameraStep);
}

void Case::CameraFarther() {
    camera->SetZ(camera->GetZ() + kCameraStep);
}

void Case::CameraLeft() {
    camera->SetX(camera->GetX() - kCameraStep);
}

void Case::CameraRight() {
    camera->SetX(camera->GetX() + kCameraStep);
}

void Case::CameraUp() {
    camera->SetY(camera->GetY() + kCameraStep);
}

void Case::CameraDown() {
    camera->SetY(camera->GetY() - kCameraStep);
}

void Case::RotateCameraYaw(double delta) {
    camera->SetYaw(camera->GetYaw() + delta);
}

void Case::RotateCameraPitch(double delta) {
    camera->SetPitch(camera->GetPitch() + delta);
}

double Case::GetCameraYaw() const {
    return camera->GetYaw();
}

double Case::GetCameraPitch() const {
    return camera->GetPitch();
}
