#pragma once

#include "case/Element.h"
#include "case/Trajectory.h"
#include "export/CapturedImage.h"
#include "ui/ViewDrag.h"
#include "view/TrackBall.h"
#include "view/ViewModes.h"

#include <QOpenGLWidget>

#include <functional>
#include <memory>
#include <optional>

struct ArrowModels;
class CaseEditor;
class CommandSet;
class FrameRenderer;
class PointPicking;
class QKeyEvent;
class QMenu;
class ViewState;

// The single OpenGL view of the main window: it draws the editor's posed case as the view state
// shows it, and turns mouse buttons and motion into picking, camera drags and the moving or
// turning of the selected object, and keys into camera steps and commands. Selection, mode and
// handle live in the view state so the drawing can show them.
class CaseView : public QOpenGLWidget {
    Q_OBJECT

public:
    // How far setting up the drawing has come; known after the view was first shown.
    enum class ContextState { Pending, Ready, ContextFailed };
    using RendererFactory = std::function<std::unique_ptr<FrameRenderer>()>;

    // `makeRenderer` draws the view; empty for the OpenGL renderer, which draws the trajectories
    // with `arrows` (tests pass their own).
    CaseView(CaseEditor& editor, ViewState& view, const ArrowModels& arrows,
             RendererFactory makeRenderer = {}, QWidget* parent = nullptr);
    ~CaseView() override;

    // The commands the typed keys and the context menus run, and the point picking the left
    // clicks feed while it is active. Set once, before the view takes input.
    void Attach(CommandSet& commands, PointPicking& pointPicking);

    ContextState GetContextState() const { return contextState; }
    // Frames asked for and frames drawn, for tests.
    int FramesRequested() const { return framesRequested; }
    int FramesPainted() const { return framesPainted; }

    // Asks for a frame (Qt draws it at the next paint); nothing while there is nothing to draw
    // with.
    void Redraw();
    // The displayed pixels as a 32-bit bitmap, bottom row first; without `withSelection` the
    // frame is drawn once more with nothing selected (no selection box, no handles).
    std::optional<CapturedImage> CaptureView(bool withSelection = true);
    // Arrow keys, Page Up/Down and the typed characters f k l p r t + -. Returns false for keys
    // that are not the view's, so the main window can pass on keys the view did not see.
    bool HandleKey(QKeyEvent* event);

    // The context menu offered on a right press over a selected object.
    QMenu& GetContextMenu() { return *contextMenu; }
    // The context menu offered on a right click (no drag) over the view with nothing selected.
    QMenu& GetPlacementMenu() { return *placementMenu; }

signals:
    // The drawing is set up, or it failed (see GetContextState).
    void contextStateKnown();
    // A message for the status bar; an empty text clears it.
    void statusMessage(const QString& text);
    // A left click on the ball of the CT scan's metal object at this index of its list: the
    // slices dock places a point at its centroid.
    void metalClicked(int index);
    // A left click picked in the view: the selection may have changed.
    void picked();

protected:
    void initializeGL() override;
    void resizeGL(int width, int height) override;
    void paintGL() override;
    void mousePressEvent(QMouseEvent* event) override;
    // The second press of a double click picks as any press does; on a trajectory it opens Edit
    // trajectory on it.
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void BuildMenus();
    void SetContextState(ContextState state);
    void RightButtonPressed(int x, int y);
    void PointerMoved(int x, int y);
    bool MoveDrivesObject() const;
    bool MoveDrivesCamera() const;
    int DevicePixels(double logical) const;
    void ReleaseContext();
    void PlacePointAt(const QPointF& position);
    // The metal object whose ball is drawn under the pointer, if any.
    std::optional<int> MetalAt(const QPointF& position);
    // A drag of the selected object starts from the values it had at the press; the release
    // makes the whole drag one edit.
    void RememberDragOrigin();
    void CommitDrag();

    CaseEditor& editor;
    ViewState& view;
    CommandSet* commands = nullptr;
    PointPicking* pointPicking = nullptr;
    bool leftButtonDown = false;
    bool rightButtonDown = false;
    TrackBall trackBall;
    DragStep dragStep;
    double lastMouseX = 0;
    double lastMouseY = 0;
    RendererFactory makeRenderer;
    std::unique_ptr<FrameRenderer> renderer;
    ContextState contextState = ContextState::Pending;
    int framesRequested = 0;
    int framesPainted = 0;
    QMenu* contextMenu = nullptr;
    QMenu* placementMenu = nullptr;
    std::optional<QPoint> rightPressOnNothing; // where a right press began with nothing selected
    QMetaObject::Connection contextGone;
    int caseListener = 0;
    struct DragOrigin {
        int trajectoryNumber = 0; // 0: no trajectory is dragged
        Trajectory trajectory;
        int elementNumber = 0;
        Element element;
    };
    DragOrigin dragOrigin;
};
