#pragma once

#include "case/Element.h"
#include "case/Trajectory.h"
#include "export/CapturedImage.h"
#include "ui/ViewDrag.h"
#include "view/ViewModes.h"

#include <QOpenGLWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class Body;
class Platform;
class PointPlacement;
class QKeyEvent;
class QMenu;
class SceneRenderer;
class TrackBall;
class Case;
class ViewCommands;
class WindowRenderer;

// The single OpenGL view of the main window. It turns mouse buttons and motion into picking,
// camera drags and the moving or turning of the selected object, and keys and commands into
// scene operations; selection, mode and handle live in the scene so the drawing can show them.
class CaseView : public QOpenGLWidget {
    Q_OBJECT

public:
    // How far setting up the drawing has come; known after the view was first shown.
    enum class ContextState { Pending, Ready, ContextFailed, ModelsFailed };
    using RendererFactory = std::function<std::unique_ptr<SceneRenderer>()>;

    CaseView(Case& scene, Platform& platform, QWidget* parent = nullptr,
             RendererFactory makeRenderer = {});
    ~CaseView() override;

    ViewCommands& GetCommands() { return *commands; }
    Case& GetScene() { return scene; }
    ContextState GetContextState() const { return contextState; }
    // The reader's message when a default model could not be read.
    const std::string& GetStartupError() const { return startupError; }
    // Frames asked for and frames drawn, for tests.
    int FramesRequested() const;
    int FramesPainted() const;

    // Draws one frame (Qt presents it at the next paint).
    void Redraw();
    // The displayed pixels as a 32-bit bitmap, bottom row first.
    std::optional<CapturedImage> CaptureView();
    // Arrow keys, Page Up/Down and the typed characters f k l p r t + -. Returns false for keys
    // that are not the view's, so the main window can pass on keys the view did not see.
    bool HandleKey(QKeyEvent* event);

    // Commands acting on the scene directly.
    void OnDeleteAll();
    void OnViewProfile();
    void OnViewFront();
    void OnViewBack();
    void OnViewRight();
    void OnViewLeft();
    void OnViewTop();
    void OnIncreaseBodyLighting();
    void OnDecreaseBodyLighting();
    void OnToggleText();
    void OnToggleAxes();
    void OnToggleFrontGrid();
    void OnToggleLateralGrid();
    void OnToggleBodyTransparency();
    void OnToggleUncertaintyCones();
    bool GetShowUncertaintyCones() const;
    void OnToggleLandmarks();
    void OnSetManipulationMode(ManipulationMode mode);
    // "Place points": left clicks on the body place IN and OUT of a new trajectory; Esc leaves.
    void OnPlacePoints();
    PointPlacement& GetPlacement() { return *placement; }
    // Help and About.
    void OnHelpContents();
    void OnWebsite();
    void OnAbout();

    // The context menu offered on a right press over a selected object.
    QMenu& GetContextMenu() { return *contextMenu; }
    // The context menu offered on a right click (no drag) over the view with nothing selected.
    QMenu& GetPlacementMenu() { return *placementMenu; }

signals:
    // The drawing is set up, or it failed (see GetContextState).
    void contextStateKnown();
    // A message for the status bar; an empty text clears it.
    void statusMessage(const QString& text);

protected:
    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void BuildContextMenu();
    void SetContextState(ContextState state);
    void RightButtonPressed(int x, int y);
    void PointerMoved(int x, int y);
    bool MoveDrivesObject() const;
    bool MoveDrivesCamera() const;
    int DevicePixels(double logical) const;
    void ReleaseContext();
    void PlacePointAt(const QPointF& position);
    // A drag of the selected object starts from the values it had at the press; the release
    // makes the whole drag one edit.
    void RememberDragOrigin();
    void CommitDrag();

    // The first seven members of the original view are the dialogs; they live in `commands`.
    bool leftButtonDown = false;
    bool rightButtonDown = false;
    Case& scene;
    Platform& platform;
    Body* body = nullptr;
    std::unique_ptr<TrackBall> trackBall;
    DragStep dragStep;
    double lastMouseX = 0;
    double lastMouseY = 0;
    std::unique_ptr<ViewCommands> commands;
    RendererFactory makeRenderer;
    std::unique_ptr<WindowRenderer> renderer;
    ContextState contextState = ContextState::Pending;
    std::string startupError;
    QMenu* contextMenu = nullptr;
    QMenu* placementMenu = nullptr;
    std::unique_ptr<PointPlacement> placement;
    std::optional<QPoint> rightPressOnNothing; // where a right press began with nothing selected
    QMetaObject::Connection contextGone;
    int sceneListener = 0;
    struct DragOrigin {
        int trajectoryIndex = -1;
        Trajectory trajectory;
        int elementIndex = -1;
        Element element;
    };
    DragOrigin dragOrigin;
};
