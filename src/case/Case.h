#pragma once

#include "base/Status.h"
#include "case/Body.h"
#include "case/ElementList.h"
#include "case/Trajectory.h"
#include "mesh/Mesh.h"
#include "view/Camera.h"
#include "view/ViewModes.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

class CaseEditor;
class SceneRenderer;

// The root of everything the 3-D view shows: the body, up to 20 trajectories, up to 20 elements,
// the camera, the display switches, the selection and the manipulation mode.
class Case {
public:
    static constexpr int kMaxTrajectories = 20;

    Case();
    virtual ~Case();
    Case(const Case&) = delete;
    Case& operator=(const Case&) = delete;

    // The process-wide scene that the view shows, created on first use.
    static Case& Instance();

    Body& GetBody() { return *body; }
    const Body& GetBody() const { return *body; }
    Camera& GetCamera() { return *camera; }
    const Camera& GetCamera() const { return *camera; }
    ElementList& GetElements() { return *elements; }
    const ElementList& GetElements() const { return *elements; }

    // The one entry through which the program's commands change the case, as undoable edits.
    CaseEditor& GetEditor() { return *editor; }

    // Trajectory table. AddTrajectory returns nullptr (and adds nothing) when the table is full.
    Trajectory* AddTrajectory(int exited);
    // Puts a copy of `path` at the 0-based index (0..count); later entries move up one place.
    // Returns the new entry, or nullptr (adding nothing) when the table is full or the index is
    // out of range.
    Trajectory* InsertTrajectory(int index, const Trajectory& path);
    int GetTrajectoryCount() const { return trajectoryCount; }
    // The entry at the 0-based index, or nullptr outside 0..count-1.
    Trajectory* GetTrajectory(int index);
    const Trajectory* GetTrajectory(int index) const;
    Trajectory* GetLastTrajectory();
    Trajectory* GetSelectedTrajectory();
    // Removes the entry; later ones move down one place. An index out of range changes nothing.
    void DeleteTrajectory(int index);
    // Deletes every trajectory and element and clears the selection.
    void DeleteAll();

    void GetTrajectoryColor(double& r, double& g, double& b) const;
    void SetTrajectoryColor(double r, double g, double b);

    // Selection. Selecting a trajectory clears the element selection and the reverse.
    void SelectTrajectory(int number);
    void SelectElement(int number);
    void SelectHandle(Handle handle);
    void ClearSelection();
    // A pick that hits nothing: nothing selected, but the handle stays in force.
    void MissSelection();
    Element* GetSelectedElement();
    SelectionState GetSelectionState() const { return selectionState; }
    Handle GetSelectedHandle() const { return selectedHandle; }
    int GetSelectedTrajectoryNumber() const { return selectedTrajectory; }
    int GetSelectedElementNumber() const { return selectedElement; }
    void SetManipulationMode(ManipulationMode mode) { manipulationMode = mode; }
    ManipulationMode GetManipulationMode() const { return manipulationMode; }

    // Points placed on the body surface that are not yet a trajectory: the first is IN, the
    // second OUT. The frame draws them as markers.
    void AddSurfaceMarker(const Vec3& point) { surfaceMarkers.push_back(point); }
    void ClearSurfaceMarkers() { surfaceMarkers.clear(); }
    const std::vector<Vec3>& GetSurfaceMarkers() const { return surfaceMarkers; }

    // Display switches.
    void ToggleAxes() { showAxes = !showAxes; }
    void ToggleFrontGrid() { showFrontGrid = !showFrontGrid; }
    void ToggleLateralGrid() { showLateralGrid = !showLateralGrid; }
    void ToggleBodyTransparency() { bodyTransparent = !bodyTransparent; }
    void ToggleText() { showText = !showText; }
    // The translucent cones of the trajectories' uncertainty; off until asked for.
    void ToggleUncertaintyCones() { showUncertaintyCones = !showUncertaintyCones; }
    bool GetShowUncertaintyCones() const { return showUncertaintyCones; }
    // Markers at the body's landmarks (with their names while texts are shown); off at first.
    void ToggleLandmarks() { showLandmarks = !showLandmarks; }
    bool GetShowLandmarks() const { return showLandmarks; }
    bool GetShowText() const { return showText; }
    bool GetShowAxes() const { return showAxes; }
    bool GetShowFrontGrid() const { return showFrontGrid; }
    bool GetShowLateralGrid() const { return showLateralGrid; }
    bool GetBodyTransparent() const { return bodyTransparent; }

    // Standard views and camera steps.
    void ViewProfile();
    void ViewFront();
    void ViewBack();
    void ViewRight();
    void ViewLeft();
    void ViewTop();
    void CameraCloser();
    void CameraFarther();
    void CameraLeft();
    void CameraRight();
    void CameraUp();
    void CameraDown();
    void RotateCameraYaw(double delta);
    void RotateCameraPitch(double delta);
    double GetCameraYaw() const;
    double GetCameraPitch() const;

    // Default models: the full arrow, the half arrow, then the body (whose reader's warnings go
    // to `warnings` when given).
    Status LoadDefaultModels(const Body::WarningSink& warnings = nullptr);
    const Mesh* GetArrowModel() const { return arrowModel.get(); }
    const Mesh* GetHalfArrowModel() const { return halfArrowModel.get(); }
    const std::string& GetBodyModelFile() const { return bodyModelFile; }
    void SetBodyModelFile(const std::string& path) { bodyModelFile = path; }
    const std::string& GetArrowModelFile() const { return arrowModelFile; }
    void SetArrowModelFile(const std::string& path) { arrowModelFile = path; }
    const std::string& GetHalfArrowModelFile() const { return halfArrowModelFile; }
    void SetHalfArrowModelFile(const std::string& path) { halfArrowModelFile = path; }

    // Rendering entry points; they do nothing while no renderer is attached.
    void SetRenderer(SceneRenderer* value) { renderer = value; }
    // Sets the Front view, loads the default models and initialises the renderer's context.
    // 0 on success, -1 on failure (the reason in `error` when given).
    int CreateContext(std::string* error = nullptr);
    void Resize(int width, int height);
    int RenderFrame();
    int DestroyContext();
    void Pick(int x, int y);

private:
    std::array<double, 3> trajectoryColor = {1, 1, 1};
    std::unique_ptr<Body> body;
    std::array<std::unique_ptr<Trajectory>, kMaxTrajectories> trajectories;
    int trajectoryCount = 0;
    int lastTrajectory = 0;
    std::string bodyModelFile = "./data/default/man1.obj";
    std::unique_ptr<Mesh> arrowModel;
    std::unique_ptr<Mesh> halfArrowModel;
    int selectedTrajectory = 0;
    Handle selectedHandle = Handle::None;
    SelectionState selectionState = SelectionState::Nothing;
    int selectedElement = 0;
    ManipulationMode manipulationMode = ManipulationMode::Select;
    std::unique_ptr<Camera> camera;
    std::unique_ptr<ElementList> elements;
    bool showAxes = true;
    bool showFrontGrid = false;
    bool showLateralGrid = false;
    bool bodyTransparent = false;
    bool showText = true;
    bool showUncertaintyCones = false;
    bool showLandmarks = false;
    SceneRenderer* renderer = nullptr;
    std::string arrowModelFile = "./data/default/Arrow1.obj";
    std::string halfArrowModelFile = "./data/default/HalfArrow1.obj";
    double viewTargetHeight = 1.0;
    std::vector<Vec3> surfaceMarkers;
    std::unique_ptr<CaseEditor> editor;
};
