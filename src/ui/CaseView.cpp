#include "ui/CaseView.h"

#include "case/Case.h"
#include "ct/CtScan.h"
#include "edit/CaseEditor.h"
#include "mesh/ArrowModels.h"
#include "render/Renderer.h"
#include "ui/CommandSet.h"
#include "ui/ImageCapture.h"
#include "ui/PointPicking.h"
#include "view/SurfacePicking.h"
#include "view/ViewState.h"

#include <QAction>
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

bool ManipulatesObjects(ManipulationMode mode) {
    return mode == ManipulationMode::Move || mode == ManipulationMode::Rotate;
}

} // namespace

CaseView::CaseView(CaseEditor& theEditor, ViewState& theView, const ArrowModels& arrows,
                   RendererFactory theMakeRenderer, QWidget* parent)
    : QOpenGLWidget(parent), editor(theEditor), view(theView), trackBall(theView.GetCamera()),
      makeRenderer(std::move(theMakeRenderer)) {
    if (!this->makeRenderer) {
        this->makeRenderer = [&arrows] {
            auto made = std::make_unique<Renderer>();
            made->SetArrowModels(std::make_shared<const ArrowModels>(arrows));
            return made;
        };
    }
    setFormat(ViewFormat());
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true); // every pointer move draws a frame
    // The view offers its own menu on a right press; the keyboard's menu key opens nothing.
    setContextMenuPolicy(Qt::PreventContextMenu);
    // Every change of the case, and every preview of one, is drawn.
    caseListener = theEditor.AddListener([this](const CaseChange& change) {
        this->view.AfterCaseChange(change);
        Redraw();
    });
}

CaseView::~CaseView() {
    editor.RemoveListener(caseListener);
    // The base class destroys the context after this class is gone.
    disconnect(contextGone);
    ReleaseContext();
}

void CaseView::Attach(CommandSet& commandSet, PointPicking& picking) {
    commands = &commandSet;
    pointPicking = &picking;
    BuildMenus();
}

void CaseView::ReleaseContext() {
    if (!renderer) {
        return;
    }
    makeCurrent();
    renderer->DestroyContext();
    doneCurrent();
    renderer.reset();
}

void CaseView::BuildMenus() {
    contextMenu = new QMenu(QStringLiteral("TopItem"), this);
    contextMenu->addAction(commands->Action(Command::ModeMove));
    contextMenu->addAction(commands->Action(Command::ModeRotate));
    contextMenu->addAction(commands->Action(Command::ModeSelect));
    contextMenu->addAction(commands->Action(Command::ContextDelete));
    contextMenu->addSeparator();
    contextMenu->addAction(commands->Action(Command::ChangeColor));
    contextMenu->addSeparator();
    contextMenu->addAction(commands->Action(Command::Properties));

    placementMenu = new QMenu(QStringLiteral("View"), this);
    placementMenu->addAction(commands->Action(Command::ContextPlacePoints));
}

void CaseView::SetContextState(ContextState state) {
    contextState = state;
    emit contextStateKnown();
}

void CaseView::initializeGL() {
    if (!ContextCanDraw(context())) {
        SetContextState(ContextState::ContextFailed);
        return;
    }
    renderer = makeRenderer();
    contextGone =
        connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, [this] { ReleaseContext(); });
    if (renderer->InitializeContext()) {
        SetContextState(ContextState::Ready);
        return;
    }
    // Without its context the view must not draw: it stays blank.
    renderer.reset();
    SetContextState(ContextState::ContextFailed);
}

void CaseView::resizeGL(int width, int height) {
    if (renderer) {
        const qreal ratio = devicePixelRatioF();
        renderer->Resize(qRound(width * ratio), qRound(height * ratio));
    }
}

void CaseView::paintGL() {
    if (renderer) {
        renderer->RenderFrame(editor.GetPosed(), view);
        ++framesPainted;
        return;
    }
    QOpenGLFunctions* gl = context()->functions();
    gl->glClearColor(1, 1, 1, 1);
    gl->glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void CaseView::Redraw() {
    if (renderer) {
        ++framesRequested;
        update();
    }
}

std::optional<CapturedImage> CaseView::CaptureView(bool withSelection) {
    if (!renderer) {
        return std::nullopt;
    }
    if (!withSelection) {
        return CaptureWithoutSelection(view, [this] { return grabFramebuffer(); });
    }
    return CapturedImageFromQImage(grabFramebuffer());
}

int CaseView::DevicePixels(double logical) const {
    return qRound(logical * devicePixelRatioF());
}

std::optional<int> CaseView::MetalAt(const QPointF& position) {
    const Case& theCase = editor.GetCase();
    if (!renderer || !theCase.ct.scan || theCase.ct.scan->metal.empty()) {
        return std::nullopt;
    }
    makeCurrent();
    return renderer->PickMetal(editor.GetPosed(), view, DevicePixels(position.x()),
                               DevicePixels(position.y()));
}

void CaseView::mousePressEvent(QMouseEvent* event) {
    const QPointF position = event->position();
    if (event->button() == Qt::LeftButton) {
        // A metal ball lies inside the skin, where no click on the body could reach: a click on
        // it places a point at the object, in Place points too, keeps the selection (whose IN or
        // OUT it may place) and starts no drag.
        if (const std::optional<int> metal = MetalAt(position)) {
            emit metalClicked(*metal);
            return;
        }
        if (pointPicking != nullptr && pointPicking->IsActive()) {
            PlacePointAt(position);
        } else if (renderer) {
            makeCurrent();
            renderer->Pick(editor.GetPosed(), view, DevicePixels(position.x()),
                           DevicePixels(position.y()));
            emit picked();
        }
        leftButtonDown = true;
        RememberDragOrigin();
    } else if (event->button() == Qt::RightButton) {
        RightButtonPressed(qRound(position.x()), qRound(position.y()));
    }
}

void CaseView::mouseDoubleClickEvent(QMouseEvent* event) {
    // The first press of the double click placed the point at the metal: the second would place
    // the next point of a pair there too.
    if (event->button() == Qt::LeftButton && MetalAt(event->position())) {
        return;
    }
    const bool picking = pointPicking != nullptr && pointPicking->IsActive();
    mousePressEvent(event);
    if (event->button() != Qt::LeftButton || picking || commands == nullptr ||
        view.GetSelectionState() != SelectionState::ObjectSelected ||
        view.GetSelectedTrajectoryNumber() == 0) {
        return;
    }
    // The dialog takes the button's release: no drag may go on behind it, nor become an edit
    // after it.
    leftButtonDown = false;
    dragOrigin = {};
    commands->Trigger(Command::EditTrajectory);
}

void CaseView::PlacePointAt(const QPointF& position) {
    // The ray through the centre of the pixel under the pointer, in the view's own proportions.
    pointPicking->Click(BodySurfaceAt(editor.GetPosed(), view.GetCamera(), width(), height(),
                                      std::floor(position.x()) + 0.5,
                                      std::floor(position.y()) + 0.5));
}

void CaseView::wheelEvent(QWheelEvent* event) {
    const double steps = event->angleDelta().y() / 120.0;
    if (steps == 0) {
        event->ignore();
        return;
    }
    const QPointF position = event->position();
    ZoomTowardPixel(editor.GetPosed(), view.GetCamera(), width(), height(), position.x(),
                    position.y(), steps);
    event->accept();
    Redraw();
}

void CaseView::RightButtonPressed(int x, int y) {
    rightPressOnNothing.reset();
    if (view.GetSelectionState() == SelectionState::ObjectSelected && contextMenu != nullptr) {
        rightButtonDown = true;
        contextMenu->exec(mapToGlobal(QPoint(x, y)));
        // The menu takes the button's release when the user lets go over it.
        rightButtonDown = QGuiApplication::mouseButtons().testFlag(Qt::RightButton);
        return;
    }
    trackBall.MouseEvent(0, 0, x, y);
    rightButtonDown = true;
    rightPressOnNothing = QPoint(x, y);
}

void CaseView::mouseReleaseEvent(QMouseEvent* event) {
    const int x = qRound(event->position().x());
    const int y = qRound(event->position().y());
    if (event->button() == Qt::LeftButton) {
        trackBall.MouseEvent(1, 1, x, y);
        leftButtonDown = false;
        CommitDrag();
        Redraw();
    } else if (event->button() == Qt::RightButton) {
        const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
        trackBall.MouseEvent(shift ? 1 : 0, 1, x, y);
        rightButtonDown = false;
        Redraw();
        // A right click that did not drag the camera offers the view's menu.
        const bool clicked = rightPressOnNothing && *rightPressOnNothing == QPoint(x, y);
        rightPressOnNothing.reset();
        if (clicked && placementMenu != nullptr) {
            placementMenu->exec(mapToGlobal(QPoint(x, y)));
        }
    }
}

void CaseView::mouseMoveEvent(QMouseEvent* event) {
    PointerMoved(qRound(event->position().x()), qRound(event->position().y()));
}

bool CaseView::MoveDrivesObject() const {
    return ManipulatesObjects(view.GetManipulationMode()) && leftButtonDown;
}

bool CaseView::MoveDrivesCamera() const {
    return ManipulatesObjects(view.GetManipulationMode()) && !leftButtonDown && rightButtonDown;
}

void CaseView::RememberDragOrigin() {
    dragOrigin = {};
    const Case& theCase = editor.GetCase();
    if (const Trajectory* trajectory = view.SelectedTrajectory(theCase)) {
        dragOrigin.trajectoryNumber = view.GetSelectedTrajectoryNumber();
        dragOrigin.trajectory = *trajectory;
    } else if (const Element* element = view.SelectedElement(theCase)) {
        dragOrigin.elementNumber = view.GetSelectedElementNumber();
        dragOrigin.element = *element;
    }
}

void CaseView::CommitDrag() {
    const std::string name =
        view.GetManipulationMode() == ManipulationMode::Rotate ? "Rotate" : "Move";
    if (dragOrigin.trajectoryNumber != 0) {
        editor.CommitTrajectory(dragOrigin.trajectoryNumber, name, dragOrigin.trajectory);
    } else if (dragOrigin.elementNumber != 0) {
        editor.CommitElement(dragOrigin.elementNumber, name, dragOrigin.element);
    }
    dragOrigin = {};
}

void CaseView::PointerMoved(int x, int y) {
    dragStep = {(x - lastMouseX) / kPixelsPerStep, (y - lastMouseY) / -kPixelsPerStep};
    const Handle handle = view.GetSelectedHandle();
    if (handle == Handle::None || MoveDrivesCamera()) {
        trackBall.MouseMove(x, y);
    } else if (MoveDrivesObject()) {
        if (!DragSelectedObject(editor, view, handle, dragStep)) {
            return; // nothing selected: nothing drawn, the position is not remembered
        }
    }
    lastMouseX = x;
    lastMouseY = y;
    Redraw();
}

bool CaseView::HandleKey(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && pointPicking != nullptr && pointPicking->IsActive()) {
        pointPicking->Leave();
        return true;
    }
    switch (event->key()) {
    case Qt::Key_PageUp:
        view.CameraUp();
        break;
    case Qt::Key_PageDown:
        view.CameraDown();
        break;
    case Qt::Key_Left:
        view.CameraLeft();
        break;
    case Qt::Key_Up:
        view.CameraCloser();
        break;
    case Qt::Key_Right:
        view.CameraRight();
        break;
    case Qt::Key_Down:
        view.CameraFarther();
        break;
    default: {
        // Typed characters: only these lower-case letters act, and "+" and "-" from any key.
        static const std::pair<const char*, Command> kTypedCommands[] = {
            {"f", Command::ViewFront},        {"k", Command::ViewBack},
            {"l", Command::ViewLeft},         {"p", Command::ViewProfile},
            {"r", Command::ViewRight},        {"t", Command::ViewTop},
            {"+", Command::IncreaseLighting}, {"-", Command::DecreaseLighting},
        };
        const QString text = event->text();
        for (const auto& [typed, command] : kTypedCommands) {
            if (text == QLatin1String(typed)) {
                if (commands != nullptr) {
                    commands->Trigger(command);
                }
                return true;
            }
        }
        return false;
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
