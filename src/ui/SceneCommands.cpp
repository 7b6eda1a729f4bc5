#include "ui/SceneCommands.h"

#include "case/Case.h"
#include "case/PosedCase.h"
#include "edit/CaseEditor.h"
#include "ui/ExteriorPointsDialog.h"
#include "ui/Platform.h"
#include "ui/ScenePlacementDialog.h"
#include "view/ViewState.h"
#include "world/OriginAnalysis.h"
#include "world/OriginText.h"
#include "world/SceneFraming.h"
#include "world/SceneModelFile.h"
#include "world/SceneSurfaces.h"

#include <cmath>

#include "view/SurfacePicking.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalBlocker>

namespace {

FileChooserRequest SceneModelRequest() {
    FileChooserRequest request;
    request.title = QStringLiteral("Open scene model");
    request.filters = {{QStringLiteral("Scene models (*.obj *.ply *.stl *.glb *.gltf *.off) "),
                        QStringLiteral(" *.obj *.ply *.stl *.glb *.gltf *.off")},
                       {QStringLiteral("All Files (*.*) "), QStringLiteral(" *.*")}};
    request.initialFolder = QDir::currentPath();
    return request;
}

} // namespace

SceneCommands::SceneCommands(CaseEditor& theEditor, ViewState& theView, Platform& thePlatform,
                             std::function<void()> theRedraw, QWidget* theWindow)
    : QObject(theWindow), editor(theEditor), view(theView), platform(thePlatform),
      redraw(std::move(theRedraw)), window(theWindow),
      placementDialog(std::make_unique<ScenePlacementDialog>(theEditor, thePlatform, theWindow)),
      exteriorDialog(std::make_unique<ExteriorPointsDialog>(theEditor, thePlatform, theWindow)) {}

SceneCommands::~SceneCommands() = default;

QAction* SceneCommands::AddAction(const QString& text, const QString& name,
                                  std::function<void()> handler) {
    QAction* action = menu->addAction(text);
    action->setObjectName(name);
    if (handler) {
        connect(action, &QAction::triggered, this, [handler = std::move(handler)] { handler(); });
    }
    return action;
}

QAction* SceneCommands::AddSwitch(const QString& text, const QString& name, bool checked,
                                  std::function<void()> toggle) {
    QAction* action = AddAction(text, name, {});
    action->setCheckable(true);
    action->setChecked(checked);
    connect(action, &QAction::toggled, this, [this, toggle = std::move(toggle)] {
        toggle();
        redraw();
    });
    return action;
}

QMenu* SceneCommands::Menu() {
    if (menu != nullptr) {
        return menu;
    }
    menu = new QMenu(QStringLiteral("&Scene"), window);
    menu->setObjectName(QStringLiteral("sceneMenu"));
    AddAction(QStringLiteral("Open scene model..."), QStringLiteral("openSceneModel"),
              [this] { LoadSceneModel(); });
    AddAction(QStringLiteral("Remove scene model"), QStringLiteral("removeSceneModel"),
              [this] { RemoveSceneModel(); });
    AddAction(QStringLiteral("Scene and placement..."), QStringLiteral("scenePlacement"),
              [this] { EditPlacement(); });
    AddAction(QStringLiteral("Exterior points and shot group..."), QStringLiteral("exteriorPoints"),
              [this] { EditExteriorPoints(); });
    AddAction(QStringLiteral("Origin zones..."), QStringLiteral("originTable"),
              [this] { ShowOriginZones(); });
    AddAction(QStringLiteral("Orbit the scene"), QStringLiteral("orbitScene"),
              [this] { OrbitScene(); });
    menu->addSeparator();
    const DisplaySwitches& switches = view.Switches();
    AddSwitch(QStringLiteral("Show scene model"), QStringLiteral("showScene"), switches.scene,
              [this] { view.ToggleScene(); });
    transparentSwitch =
        AddSwitch(QStringLiteral("Transparent scene model"), QStringLiteral("transparentScene"),
                  switches.sceneTransparent, [this] { view.ToggleSceneTransparency(); });
    AddSwitch(QStringLiteral("Show origin zones"), QStringLiteral("showOriginZones"),
              switches.originZones, [this] { view.ToggleOriginZones(); });
    AddSwitch(QStringLiteral("Click exterior points"), QStringLiteral("clickExteriorPoints"), false,
              [this] { clickingPoints = !clickingPoints; });
    return menu;
}

// Seen from afar a room shows only its outer walls: the scene view sees through them, the switch
// showing it (and turning it off again).
void SceneCommands::OrbitScene() {
    const SceneFraming framing = FrameScene(editor.GetPosed());
    view.OrbitAround(framing.centre, framing.radius);
    if (!view.Switches().sceneTransparent) {
        view.ToggleSceneTransparency();
    }
    if (transparentSwitch != nullptr) {
        const QSignalBlocker quiet(transparentSwitch);
        transparentSwitch->setChecked(true);
    }
    redraw();
}

void SceneCommands::LoadSceneModel() {
    const QString path = platform.ChooseOpenFile(window, SceneModelRequest());
    if (!path.isEmpty()) {
        LoadSceneModelFrom(path);
    }
}

void SceneCommands::LoadSceneModelFrom(const QString& path) {
    Status status = Status::Ok();
    editor.EditCase("Open scene model", [&status, &path](Case& edited) {
        status = ReplaceSceneModel(edited, path.toStdString());
    });
    if (!status.ok()) {
        platform.ShowMessage(window, QString::fromStdString(status.message()),
                             QStringLiteral("Open scene model"));
    }
    redraw();
}

void SceneCommands::RemoveSceneModel() {
    editor.EditCase("Remove scene model", [](Case& edited) {
        edited.world.sceneModelFile.clear();
        edited.world.sceneMesh.reset();
    });
    redraw();
}

void SceneCommands::EditPlacement() {
    placementDialog->exec();
    redraw();
}

void SceneCommands::EditExteriorPoints() {
    const int number = view.GetSelectedTrajectoryNumber();
    if (!exteriorDialog->Open(number)) {
        platform.ShowMessage(window,
                             QStringLiteral("Select a trajectory first: its exterior points and "
                                            "shot group are edited here."),
                             QStringLiteral("Exterior points"));
    }
    redraw();
}

void SceneCommands::ShowOriginZones() {
    const PosedCase& posed = editor.GetPosed();
    SceneSurfaces sceneSurfaces;
    const CaseWorld& world = posed.GetCase().world;
    const bool built = world.sceneMesh && sceneSurfaces.Build(*world.sceneMesh, world.scene).ok();
    const std::string table =
        FormatOriginTable(posed.GetCase(), AnalyseOrigins(posed, built ? &sceneSurfaces : nullptr));
    platform.ShowMessage(window, QString::fromStdString(table), QStringLiteral("Origin zones"));
}

void SceneCommands::WatchClicksOn(QWidget* viewWidget) {
    clickedView = viewWidget;
    viewWidget->installEventFilter(this);
}

bool SceneCommands::eventFilter(QObject* watched, QEvent* event) {
    if (clickingPoints && watched == clickedView && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            const QPointF at = mouse->position();
            PlaceExteriorPointAt(clickedView->width(), clickedView->height(), at.x(), at.y());
            return true; // the click is the scene's, not a selection or a drag
        }
    }
    if (clickingPoints && watched == clickedView && event->type() == QEvent::MouseButtonDblClick) {
        return true; // its first press placed the point; it opens nothing
    }
    return QObject::eventFilter(watched, event);
}

const SceneSurfaces* SceneCommands::Surfaces() {
    const CaseWorld& world = editor.GetCase().world;
    const Mesh* mesh = world.sceneMesh.get();
    if (mesh == nullptr) {
        return nullptr;
    }
    if (!surfaces || mesh != surfacesMesh || mesh->revision != surfacesRevision ||
        !(world.scene == surfacesPlacement)) {
        surfaces = std::make_unique<SceneSurfaces>();
        surfacesMesh = mesh;
        surfacesRevision = mesh->revision;
        surfacesPlacement = world.scene;
        if (!surfaces->Build(*mesh, world.scene).ok()) {
            surfaces.reset();
        }
    }
    return surfaces.get();
}

bool SceneCommands::PlaceExteriorPointAt(int width, int height, double x, double y) {
    const PosedCase& posed = editor.GetPosed();
    const int number = view.GetSelectedTrajectoryNumber();
    const PosedTrajectory* track = posed.TrajectoryNumbered(number);
    const SceneSurfaces* scene = Surfaces();
    const std::optional<SurfaceRay> ray = PixelRay(view.GetCamera(), width, height, x, y);
    if (track == nullptr || scene == nullptr || !ray) {
        emit statusMessage(QStringLiteral("Select a trajectory and click on the scene model."));
        return false;
    }
    // The pixel's ray is in the body frame the view draws in; the scene's surfaces are placed.
    const ScenePlacement& body = posed.GetCase().world.body;
    const Vec3 span = body.PlaceDirection(
        {ray->direction.x * ray->tMax, ray->direction.y * ray->tMax, ray->direction.z * ray->tMax});
    const double length = std::sqrt(Dot(span, span));
    if (!(length > 0)) {
        return false;
    }
    const Vec3 start = body.Place(ray->origin);
    const Vec3 unit{span.x / length, span.y / length, span.z / length};
    const std::optional<BackLineObstacle> hit = scene->FirstAlong(start, unit, length, {});
    if (!hit) {
        emit statusMessage(QStringLiteral("No scene surface under the pointer."));
        return false;
    }
    const Vec3 point{start.x + hit->t * unit.x, start.y + hit->t * unit.y,
                     start.z + hit->t * unit.z};
    // The side of the posed track's IN the point lies on, in the scene.
    const Vec3 back = Minus(track->sceneIn, track->sceneOut);
    const bool before = Dot(Minus(point, track->sceneIn), back) >= 0;
    const Trajectory& trajectory = *posed.GetCase().TrajectoryNumbered(number);
    if (trajectory.exterior.size() >= Trajectory::kMaxExteriorPoints) {
        platform.ShowMessage(window,
                             QStringLiteral("Trajectory %1 holds %2 exterior points already.")
                                 .arg(number)
                                 .arg(Trajectory::kMaxExteriorPoints),
                             QStringLiteral("Exterior points"));
        return false;
    }
    editor.EditTrajectory(number, "Exterior point", [&point, before](Trajectory& edited) {
        edited.exterior.push_back({point, before});
    });
    emit statusMessage(QStringLiteral("Exterior point of trajectory %1 at %2 %3 %4 cm (%5, %6)")
                           .arg(number)
                           .arg(point.x * 100, 0, 'f', 1)
                           .arg(point.y * 100, 0, 'f', 1)
                           .arg(point.z * 100, 0, 'f', 1)
                           .arg(before ? QStringLiteral("before IN") : QStringLiteral("after OUT"))
                           .arg(QString::fromStdString(hit->surface)));
    redraw();
    return true;
}
