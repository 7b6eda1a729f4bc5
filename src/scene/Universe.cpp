#include "scene/Universe.h"

#include "scene/SceneEditor.h"

#include <utility>

Universe::Universe()
    : body(std::make_unique<Body>()), camera(std::make_unique<VkCamera>()),
      elements(std::make_unique<VkElementList>()), editor(std::make_unique<SceneEditor>(*this)) {}

Universe::~Universe() = default;

Universe& Universe::Instance() {
    static Universe scene;
    return scene;
}

Path* Universe::AddTrajectory(int exited) {
    if (trajectoryCount >= kMaxTrajectories) {
        return nullptr;
    }
    lastTrajectory = trajectoryCount;
    trajectories[lastTrajectory] = std::make_unique<Path>();
    trajectories[lastTrajectory]->SetExited(exited);
    ++trajectoryCount;
    return trajectories[lastTrajectory].get();
}

Path* Universe::InsertTrajectory(int index, const Path& path) {
    if (trajectoryCount >= kMaxTrajectories || index < 0 || index > trajectoryCount) {
        return nullptr;
    }
    for (int i = trajectoryCount; i > index; --i) {
        trajectories[i] = std::move(trajectories[i - 1]);
    }
    trajectories[index] = std::make_unique<Path>(path);
    ++trajectoryCount;
    lastTrajectory = index;
    return trajectories[index].get();
}

Path* Universe::GetTrajectory(int index) {
    return (index >= 0 && index < trajectoryCount) ? trajectories[index].get() : nullptr;
}

const Path* Universe::GetTrajectory(int index) const {
    return (index >= 0 && index < trajectoryCount) ? trajectories[index].get() : nullptr;
}

Path* Universe::GetLastTrajectory() {
    return GetTrajectory(lastTrajectory);
}

Path* Universe::GetSelectedTrajectory() {
    return selectedTrajectory == 0 ? nullptr : GetTrajectory(selectedTrajectory - 1);
}

void Universe::DeleteTrajectory(int index) {
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

void Universe::DeleteAll() {
    for (auto& trajectory : trajectories) {
        trajectory.reset();
    }
    trajectoryCount = 0;
    elements->Clear();
    ClearSelection();
}

void Universe::GetTrajectoryColor(double& r, double& g, double& b) const {
    r = trajectoryColor[0];
    g = trajectoryColor[1];
    b = trajectoryColor[2];
}

void Universe::SetTrajectoryColor(double r, double g, double b) {
    trajectoryColor = {r, g, b};
}

void Universe::SelectTrajectory(int number) {
    selectedTrajectory = number;
    selectedElement = 0;
    selectionState = SelectionState::ObjectSelected;
}

void Universe::SelectElement(int number) {
    selectedElement = number;
    selectedTrajectory = 0;
    selectionState = SelectionState::ObjectSelected;
}

void Universe::SelectHandle(Handle handle) {
    selectedHandle = handle;
}

void Universe::ClearSelection() {
    selectedHandle = Handle::None;
    MissSelection();
}

void Universe::MissSelection() {
    selectedTrajectory = 0;
    selectedElement = 0;
    selectionState = SelectionState::Nothing;
}

VkElement* Universe::GetSelectedElement() {
    return elements->GetItem(selectedElement - 1);
}

void Universe::ViewProfile() {
    camera->Set(0, viewTargetHeight, 2.5, 45, 0, 0);
}

void Universe::ViewFront() {
    camera->Set(0, viewTargetHeight, 2.5, 0, 0, 0);
}

void Universe::ViewBack() {
    camera->Set(0, viewTargetHeight, 2.5, 180, 0, 0);
}

void Universe::ViewRight() {
    camera->Set(0, viewTargetHeight, 2.5, -90, 0, 0);
}

void Universe::ViewLeft() {
    camera->Set(0, viewTargetHeight, 2.5, 90, 0, 0);
}

void Universe::ViewTop() {
    camera->Set(0, 0, 3.0, 0, -90, 0);
}

namespace {
constexpr double kCameraStep = 0.2; // metres per arrow-key step
}

void Universe::CameraCloser() {
    camera->SetZ(camera->GetZ() - kCameraStep);
}

void Universe::CameraFarther() {
    camera->SetZ(camera->GetZ() + kCameraStep);
}

void Universe::CameraLeft() {
    camera->SetX(camera->GetX() - kCameraStep);
}

void Universe::CameraRight() {
    camera->SetX(camera->GetX() + kCameraStep);
}

void Universe::CameraUp() {
    camera->SetY(camera->GetY() + kCameraStep);
}

void Universe::CameraDown() {
    camera->SetY(camera->GetY() - kCameraStep);
}

void Universe::RotateCameraYaw(double delta) {
    camera->SetYaw(camera->GetYaw() + delta);
}

void Universe::RotateCameraPitch(double delta) {
    camera->SetPitch(camera->GetPitch() + delta);
}

double Universe::GetCameraYaw() const {
    return camera->GetYaw();
}

double Universe::GetCameraPitch() const {
    return camera->GetPitch();
}
