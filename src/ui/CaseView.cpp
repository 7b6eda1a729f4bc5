#include "ui/CaseView.h"

#include "base/AppInfo.h"
#include "case/Case.h"
#include "case/CaseEditor.h"
#include "render/Renderer.h"
#include "ui/AboutDialog.h"
#include "ui/ImageCapture.h"
#include "ui/Platform.h"
#include "ui/PointPlacement.h"
#include "ui/ViewCommands.h"
#include "ui/WindowRenderer.h"
#include "view/SurfacePicking.h"
#include "view/TrackBall.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QSurfaceFormat>
#include <QWheelEvent>

#include <cmath>

namespace {

// Pointer pixels per metre of drag step.
constexpr double kPixelsPerStep = 200;
// The help file, below the start directory.
const char* const kHelpFile = "doc/index.html";

QSurfaceFormat ViewFormat() {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setProfile(QSurfaceFormat::CompatibilityProfile);
    format.setVersion(2, 1);
    format.setRedBufferSize(8);
    format.setGreenBufferSize(8);
    format.setBlueBufferSize(8);
    format.setAlphaBufferSize(8);
    format.setDepthBufferSize(24);
    format.setStencilBufferSize(8);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    return format;
}

// The fixed-function drawing needs OpenGL 2.1 or a compatibility context.
bool ContextCanDraw(const QOpenGLContext* context) {
    if (!context || !context->isValid()) {
        return false;
    }
    const QSurfaceFormat format = context->format();
    const bool atLeast21 =
        format.majorVersion() > 2 || (format.majorVersion() == 2 && format.minorVersion() >= 1);
    return atLeast21 && format.profile() != QSurfaceFormat::CoreProfile;
}

} // namespace

CaseView::CaseView(Case& scene, Platform& platform, QWidget* parent, RendererFactory makeRenderer)
    : QOpenGLWidget(parent), scene(scene), platform(platform),
      trackBall(std::make_unique<TrackBall>()), makeRenderer(std::move(makeRenderer)) {
    if (!this->makeRenderer) {
        this->makeRenderer = [] { return std::make_unique<Renderer>(); };
    }
    commands = std::make_unique<ViewCommands>(
        scene, platform, this, [this] { Redraw(); }, [this] { return CaptureView(); });
    placement = std::make_unique<PointPlacement>(
        scene, *commands, [this](const QString& text) { emit statusMessage(text); },
        [this] { Redraw(); });
    setFormat(ViewFormat());
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true); // every pointer move draws a frame
    // The view offers its own menu on a right press; the keyboard's menu key opens nothing.
    setContextMenuPolicy(Qt::PreventContextMenu);
    BuildContextMenu();
    // Every change of the case, and every preview of one, is drawn.
    sceneListener = scene.GetEditor().AddListener([this](const CaseChange&) { Redraw(); });
}

CaseView::~CaseView() {
    scene.GetEditor().RemoveListener(sceneListener);
    // The base class destroys the context after this class is gone.
    disconnect(contextGone);
    ReleaseContext();
}

void CaseView::ReleaseContext() {
    if (!renderer) {
        return;
    }
    makeCurrent();
    scene.DestroyContext();
    doneCurrent();
    scene.SetRenderer(nullptr);
    renderer.reset();
}

int CaseView::FramesRequested() const {
    return renderer ? renderer->FramesRequested() : 0;
}

int CaseView::FramesPainted() const {
    return renderer ? renderer->FramesPainted() : 0;
}

void CaseView::BuildContextMenu() {
    contextMenu = new QMenu(QStringLiteral("TopItem"), this);
    contextMenu->addAction(QStringLiteral("Move"), this,
                           [this] { OnSetManipulationMode(ManipulationMode::Move); });
    contextMenu->addAction(QStringLiteral("Rotate"), this,
                           [this] { OnSetManipulationMode(ManipulationMode::Rotate); });
    contextMenu->addAction(QStringLiteral("Select"), this,
                           [this] { OnSetManipulationMode(ManipulationMode::Select); });
    contextMenu->addAction(QStringLiteral("Delete"), this, [this] { commands->DeleteSelected(); });
    contextMenu->addSeparator();
    contextMenu->addAction(QStringLiteral("Change color"), this,
                           [this] { commands->ChangeColor(); });
    contextMenu->addSeparator();
    contextMenu->addAction(QStringLiteral("Properties"), this, [this] { commands->Properties(); });

    placementMenu = new QMenu(QStringLiteral("View"), this);
    placementMenu->addAction(QStringLiteral("Place points"), this, [this] { OnPlacePoints(); });
}

void CaseView::SetContextState(ContextState state) {
    contextState = state;
    emit contextStateKnown();
}

void CaseView::initializeGL() {
    body = &scene.GetBody();
    trackBall->SetScene(&scene);
    if (!ContextCanDraw(context())) {
        SetContextState(ContextState::ContextFailed);
        return;
    }
    renderer = std::make_unique<WindowRenderer>(makeRenderer(), [this] { update(); });
    scene.SetRenderer(renderer.get());
    contextGone =
        connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, [this] { ReleaseContext(); });
    if (scene.CreateContext(&startupError) == 0) {
        SetContextState(ContextState::Ready);
        return;
    }
    // Without its models or its context the scene must not draw: the view stays blank.
    const bool contextFailed = renderer->ContextFailed();
    scene.SetRenderer(nullptr);
    renderer.reset();
    SetContextState(contextFailed ? ContextState::ContextFailed : ContextState::ModelsFailed);
}

void CaseView::resizeGL(int width, int height) {
    const qreal ratio = devicePixelRatioF();
    scene.Resize(qRound(width * ratio), qRound(height * ratio));
}

void CaseView::paintGL() {
    if (renderer) {
        renderer->Paint(scene);
        return;
    }
    QOpenGLFunctions* gl = context()->functions();
    gl->glClearColor(1, 1, 1, 1);
    gl->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void CaseView::Redraw() {
    scene.RenderFrame();
}

std::optional<CapturedImage> CaseView::CaptureView() {
    if (!renderer) {
        return std::nullopt;
    }
    return CapturedImageFromQImage(grabFramebuffer());
}

int CaseView::DevicePixels(double logical) const {
    return qRound(logical * devicePixelRatioF());
}

void CaseView::mousePressEvent(QMouseEvent* event) {
    const QPointF position = event->position();
    if (event->button() == Qt::LeftButton) {
        if (placement->IsActive()) {
            PlacePointAt(position);
        } else if (renderer) {
            makeCurrent();
            scene.Pick(DevicePixels(position.x()), DevicePixels(position.y()));
        }
        leftButtonDown = true;
        RememberDragOrigin();
    } else if (event->button() == Qt::RightButton) {
        RightButtonPressed(qRound(position.x()), qRound(position.y()));
    }
}

void CaseView::PlacePointAt(const QPointF& position) {
    // The ray through the centre of the pixel under the pointer, in the view's own proportions.
    placement->Click(BodySurfaceAt(scene, width(), height(), std::floor(position.x()) + 0.5,
                                   std::floor(position.y()) + 0.5));
}

void CaseView::wheelEvent(QWheelEvent* event) {
    const double steps = event->angleDelta().y() / 120.0;
    if (steps == 0) {
        event->ignore();
        return;
    }
    const QPointF position = event->position();
    ZoomTowardPixel(scene, width(), height(), position.x(), position.y(), steps);
    event->accept();
    Redraw();
}

void CaseView::RightButtonPressed(int x, int y) {
    rightPressOnNothing.reset();
    if (scene.GetSelectionState() == SelectionState::ObjectSelected) {
        rightButtonDown = true;
        contextMenu->exec(mapToGlobal(QPoint(x, y)));
        // The menu takes the button's release when the user lets go over it.
        rightButtonDown = QGuiApplication::mouseButtons().testFlag(Qt::RightButton);
        return;
    }
    trackBall->MouseEvent(0, 0, x, y);
    rightButtonDown = true;
    rightPressOnNothing = QPoint(x, y);
}

void CaseView::mouseReleaseEvent(QMouseEvent* event) {
    const int x = qRound(event->position().x());
    const int y = qRound(event->position().y());
    if (event->button() == Qt::LeftButton) {
        trackBall->MouseEvent(1, 1, x, y);
        leftButtonDown = false;
        CommitDrag();
        Redraw();
    } else if (event->button() == Qt::RightButton) {
        const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
        trackBall->MouseEvent(shift ? 1 : 0, 1, x, y);
        rightButtonDown = false;
        Redraw();
        // A right click that did not drag the camera offers the view's menu.
        const bool clicked = rightPressOnNothing && *rightPressOnNothing == QPoint(x, y);
        rightPressOnNothing.reset();
        if (clicked) {
            placementMenu->exec(mapToGlobal(QPoint(x, y)));
        }
    }
}

void CaseView::mouseMoveEvent(QMouseEvent* event) {
    PointerMoved(qRound(event->position().x()), qRound(event->position().y()));
}

namespace {

bool ManipulatesObjects(ManipulationMode mode) {
    return mode == ManipulationMode::Move || mode == ManipulationMode::Rotate;
}

} // namespace

bool CaseView::MoveDrivesObject() const {
    return ManipulatesObjects(scene.GetManipulationMode()) && leftButtonDown;
}

bool CaseView::MoveDrivesCamera() const {
    return ManipulatesObjects(scene.GetManipulationMode()) && !leftButtonDown && rightButtonDown;
}

void CaseView::RememberDragOrigin() {
    dragOrigin = {};
    if (const Trajectory* trajectory = scene.GetSelectedTrajectory()) {
        dragOrigin.trajectoryIndex = scene.GetSelectedTrajectoryNumber() - 1;
        dragOrigin.trajectory = *trajectory;
    } else if (const Element* element = scene.GetSelectedElement()) {
        dragOrigin.elementIndex = scene.GetSelectedElementNumber() - 1;
        dragOrigin.element = *element;
    }
}

void CaseView::CommitDrag() {
    const std::string name =
        scene.GetManipulationMode() == ManipulationMode::Rotate ? "Rotate" : "Move";
    CaseEditor& editor = scene.GetEditor();
    if (dragOrigin.trajectoryIndex >= 0) {
        editor.CommitTrajectory(dragOrigin.trajectoryIndex, name, dragOrigin.trajectory);
    } else if (dragOrigin.elementIndex >= 0) {
        editor.CommitElement(dragOrigin.elementIndex, name, dragOrigin.element);
    }
    dragOrigin = {};
}

void CaseView::PointerMoved(int x, int y) {
    dragStep = {(x - lastMouseX) / kPixelsPerStep, (y - lastMouseY) / -kPixelsPerStep};
    const Handle handle = scene.GetSelectedHandle();
    if (handle == Handle::None || MoveDrivesCamera()) {
        trackBall->MouseMove(x, y);
    } else if (MoveDrivesObject()) {
        if (!DragSelectedObject(scene, scene.GetManipulationMode(), handle, dragStep)) {
            return; // nothing selected: nothing drawn, the position is not remembered
        }
    }
    lastMouseX = x;
    lastMouseY = y;
    Redraw();
}

bool CaseView::HandleKey(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && placement->IsActive()) {
        placement->Leave();
        return true;
    }
    switch (event->key()) {
    case Qt::Key_PageUp:
        scene.CameraUp();
        break;
    case Qt::Key_PageDown:
        scene.CameraDown();
        break;
    case Qt::Key_Left:
        scene.CameraLeft();
        break;
    case Qt::Key_Up:
        scene.CameraCloser();
        break;
    case Qt::Key_Right:
        scene.CameraRight();
        break;
    case Qt::Key_Down:
        scene.CameraFarther();
        break;
    default: {
        // Typed characters: only these lower-case letters act, and "+" and "-" from any key.
        const QString text = event->text();
        if (text == "f")
            OnViewFront();
        else if (text == "k")
            OnViewBack();
        else if (text == "l")
            OnViewLeft();
        else if (text == "p")
            OnViewProfile();
        else if (text == "r")
            OnViewRight();
        else if (text == "t")
            OnViewTop();
        else if (text == "+")
            OnIncreaseBodyLighting();
        else if (text == "-")
            OnDecreaseBodyLighting();
        else
            return false;
        return true;
    }
    }
    Redraw();
    return true;
}

void CaseView::keyPressEvent(QKeyEvent* event) {
    if (!HandleKey(event)) {
        QOpenGLWidget::keyPressEvent(event);
    }
}

void CaseView::OnDeleteAll() {
    scene.GetEditor().EditCase("Delete all trajectories and elements",
                               [](Case& edited) { edited.DeleteAll(); });
    Redraw();
}

void CaseView::OnViewProfile() {
    scene.ViewProfile();
    Redraw();
}

void CaseView::OnViewFront() {
    scene.ViewFront();
    Redraw();
}

void CaseView::OnViewBack() {
    scene.ViewBack();
    Redraw();
}

void CaseView::OnViewRight() {
    scene.ViewRight();
    Redraw();
}

void CaseView::OnViewLeft() {
    scene.ViewLeft();
    Redraw();
}

void CaseView::OnViewTop() {
    scene.ViewTop();
    Redraw();
}

void CaseView::OnIncreaseBodyLighting() {
    scene.GetEditor().EditBody("Increase body lighting",
                               [](Body& edited) { edited.IncreaseBodyLighting(); });
}

void CaseView::OnDecreaseBodyLighting() {
    scene.GetEditor().EditBody("Decrease body lighting",
                               [](Body& edited) { edited.DecreaseBodyLighting(); });
}

void CaseView::OnToggleUncertaintyCones() {
    scene.ToggleUncertaintyCones();
    Redraw();
}

bool CaseView::GetShowUncertaintyCones() const {
    return scene.GetShowUncertaintyCones();
}

void CaseView::OnToggleText() {
    scene.ToggleText();
    Redraw();
}

void CaseView::OnToggleAxes() {
    scene.ToggleAxes();
    Redraw();
}

void CaseView::OnToggleFrontGrid() {
    scene.ToggleFrontGrid();
    Redraw();
}

void CaseView::OnToggleLateralGrid() {
    scene.ToggleLateralGrid();
    Redraw();
}

void CaseView::OnToggleBodyTransparency() {
    scene.ToggleBodyTransparency();
    Redraw();
}

void CaseView::OnToggleLandmarks() {
    scene.ToggleLandmarks();
    Redraw();
}

void CaseView::OnSetManipulationMode(ManipulationMode mode) {
    scene.SetManipulationMode(mode);
}

void CaseView::OnPlacePoints() {
    placement->Enter();
}

void CaseView::OnHelpContents() {
    platform.ShellOpen(QString::fromLatin1(kHelpFile),
                       QString::fromStdString(GetAppInfo().startDirectory));
}

void CaseView::OnWebsite() {
    platform.ShellOpen(QString::fromStdString(GetAppInfo().website), QString());
}

void CaseView::OnAbout() {
    AboutDialog about(window());
    about.exec();
}
