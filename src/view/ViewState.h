#pragma once

#include "base/Matrix4.h"
#include "view/Camera.h"
#include "view/ViewModes.h"

#include <vector>

struct Case;
struct CaseChange;
struct Element;
struct Trajectory;

// What the display shows of a case, switched from the View menu.
struct DisplaySwitches {
    bool axes = true;
    bool frontGrid = false;
    bool lateralGrid = false;
    bool bodyTransparent = false;
    bool text = true;
    // The translucent cones of the trajectories' uncertainty.
    bool uncertaintyCones = false;
    // Markers at the body's landmarks (with their names while texts are shown).
    bool landmarks = false;
    // Dark outlines around the arrows and the labels, so that they read on skin and on the grey
    // field alike (the report's pictures).
    bool outlines = false;
    // The case's scene model (a room, a vehicle), drawn with the body when the case has one, and
    // whether it is see-through.
    bool scene = true;
    bool sceneTransparent = false;
    // The opaque scene model is not drawn where it stands between the eye and the body (the
    // report's pictures of the body in its room).
    bool sceneCutAway = false;
    // Each trajectory's back line and cone with each muzzle height's zone outlined on its plane,
    // and a floor grid when there is no scene model.
    bool originZones = false;
    // When not 0, the one trajectory (1-based) drawn with its cone and back line, as a close-up
    // of it shows it; 0 draws them all.
    int soleTrajectory = 0;

    bool ShowsTrajectory(int number) const {
        return soleTrajectory == 0 || soleTrajectory == number;
    }

    bool operator==(const DisplaySwitches&) const = default;
};

// What the user looks at, as opposed to what the case holds: the camera, the selection and the
// manipulation mode, the display switches and the points placed on the body that are not yet a
// trajectory. A value: the report copies it to draw its own views.
class ViewState {
public:
    Camera& GetCamera() { return camera; }
    const Camera& GetCamera() const { return camera; }

    // Selection of trajectory or element by number (1-based, 0 for none). Selecting a trajectory
    // clears the element selection and the reverse.
    void SelectTrajectory(int number);
    void SelectElement(int number);
    void SelectHandle(Handle handle);
    // Nothing selected and no handle in force.
    void ClearSelection();
    // A pick that hits nothing: nothing selected, but the handle stays in force.
    void MissSelection();
    // Follows a change of the case: a change that renumbers the trajectories or elements leaves
    // nothing selected, since a number would name another entry.
    void AfterCaseChange(const CaseChange& change);
    SelectionState GetSelectionState() const { return selectionState; }
    Handle GetSelectedHandle() const { return selectedHandle; }
    int GetSelectedTrajectoryNumber() const { return selectedTrajectory; }
    int GetSelectedElementNumber() const { return selectedElement; }
    // The selected entries of `theCase`; nullptr when none is selected or the number names none.
    const Trajectory* SelectedTrajectory(const Case& theCase) const;
    const Element* SelectedElement(const Case& theCase) const;

    void SetManipulationMode(ManipulationMode mode) { manipulationMode = mode; }
    ManipulationMode GetManipulationMode() const { return manipulationMode; }

    // Points placed on the body surface that are not yet a trajectory: the first is IN, the
    // second OUT. The frame draws them as markers.
    void AddSurfaceMarker(const Vec3& point) { surfaceMarkers.push_back(point); }
    void ClearSurfaceMarkers() { surfaceMarkers.clear(); }
    const std::vector<Vec3>& GetSurfaceMarkers() const { return surfaceMarkers; }

    DisplaySwitches& Switches() { return switches; }
    const DisplaySwitches& Switches() const { return switches; }
    void ToggleAxes() { switches.axes = !switches.axes; }
    void ToggleFrontGrid() { switches.frontGrid = !switches.frontGrid; }
    void ToggleLateralGrid() { switches.lateralGrid = !switches.lateralGrid; }
    void ToggleBodyTransparency() { switches.bodyTransparent = !switches.bodyTransparent; }
    void ToggleText() { switches.text = !switches.text; }
    void ToggleUncertaintyCones() { switches.uncertaintyCones = !switches.uncertaintyCones; }
    void ToggleLandmarks() { switches.landmarks = !switches.landmarks; }
    void ToggleScene() { switches.scene = !switches.scene; }
    void ToggleSceneTransparency() { switches.sceneTransparent = !switches.sceneTransparent; }
    void ToggleOriginZones() { switches.originZones = !switches.originZones; }

    // Standard views: the eye 2.5 m from the vertical axis at a height of 1 m, or 3 m above the
    // origin looking down; and the arrow-key steps of 0.2 m.
    void ViewProfile();
    void ViewFront();
    void ViewBack();
    void ViewRight();
    void ViewLeft();
    void ViewTop();
    // The camera turns about `centre` (body frame, m) from far enough to see a ball of `radius`
    // around it, looking down from the front left; the standard views return to the body.
    void OrbitAround(const Vec3& centre, double radius);
    void CameraCloser();
    void CameraFarther();
    void CameraLeft();
    void CameraRight();
    void CameraUp();
    void CameraDown();
    void RotateCameraYaw(double delta);
    void RotateCameraPitch(double delta);

private:
    Camera camera;
    int selectedTrajectory = 0;
    int selectedElement = 0;
    Handle selectedHandle = Handle::None;
    SelectionState selectionState = SelectionState::Nothing;
    ManipulationMode manipulationMode = ManipulationMode::Select;
    DisplaySwitches switches;
    std::vector<Vec3> surfaceMarkers;
};
