#include "ui/SceneCommands.h"

#include "case/Case.h"
#include "case/CaseEditor.h"
#include "ui/ExteriorPointsDialog.h"
#include "ui/Platform.h"
#include "ui/ScenePlacementDialog.h"
#include "view/ViewState.h"
#include "world/OriginAnalysis.h"
#include "world/OriginText.h"
#include "world/SceneFraming.h"
#include "world/SceneModelFile.h"
#include "world/SceneSurfaces.h"

#include <QAction>
#include <QDir>
#include <QMenu>

namespace {

FileChooserRequest SceneModelRequest() {
    return {QStringLiteral("Open scene model"),
            {{QStringLiteral("Scene models (*.obj *.ply *.stl *.glb *.gltf *.off) "),
              QStringLiteral(" *.obj *.ply *.stl *.glb *.gltf *.off")},
             {QStringLiteral("All Files (*.*) "), QStringLiteral(" *.*")}},
            QDir::currentPath()};
}

} // namespace

SceneCommands::SceneCommands(CaseEditor& editor, ViewState& view, Platform& platform,
                             std::function<void()> redraw, QWidget* window)
    : QObject(window), editor(editor), view(view), platform(platform), redraw(std::move(redraw)),
      window(window),
      placementDialog(std::make_unique<ScenePlacementDialog>(editor, platform, window)),
      exteriorDialog(std::make_unique<ExteriorPointsDialog>(editor, platform, window)) {}

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
    AddAction(QStringLiteral("Orbit the scene"), QStringLiteral("orbitScene"), [this] {
        const SceneFraming framing = FrameScene(editor.GetCase());
        view.OrbitAround(framing.centre, framing.radius);
        redraw();
    });
    menu->addSeparator();
    const DisplaySwitches& switches = view.Switches();
    AddSwitch(QStringLiteral("Show scene model"), QStringLiteral("showScene"), switches.scene,
              [this] { view.ToggleScene(); });
    AddSwitch(QStringLiteral("Transparent scene model"), QStringLiteral("transparentScene"),
              switches.sceneTransparent, [this] { view.ToggleSceneTransparency(); });
    AddSwitch(QStringLiteral("Show origin zones"), QStringLiteral("showOriginZones"),
              switches.originZones, [this] { view.ToggleOriginZones(); });
    return menu;
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
        edited.GetWorld().sceneModelFile.clear();
        edited.GetWorld().sceneMesh.reset();
    });
    redraw();
}

void SceneCommands::EditPlacement() {
    placementDialog->exec();
    redraw();
}

void SceneCommands::EditExteriorPoints() {
    const int number = view.GetSelectedTrajectoryNumber();
    if (!exteriorDialog->Open(number - 1)) {
        platform.ShowMessage(window,
                             QStringLiteral("Select a trajectory first: its exterior points and "
                                            "shot group are edited here."),
                             QStringLiteral("Exterior points"));
    }
    redraw();
}

void SceneCommands::ShowOriginZones() {
    const Case& theCase = editor.GetCase();
    SceneSurfaces surfaces;
    const CaseWorld& world = theCase.GetWorld();
    const bool built = world.sceneMesh && surfaces.Build(*world.sceneMesh, world.scene).ok();
    const std::string table =
        FormatOriginTable(theCase, AnalyseOrigins(theCase, built ? &surfaces : nullptr));
    platform.ShowMessage(window, QString::fromStdString(table), QStringLiteral("Origin zones"));
}

void LoadSceneOfDataFile(Case& theCase, Platform& platform, QWidget* owner, const QString& path) {
    const Status status = ::LoadSceneModel(theCase, path.toStdString());
    if (!status.ok()) {
        platform.ShowMessage(owner,
                             QString::fromStdString(status.message()) +
                                 QStringLiteral(". The case is read without it."),
                             QStringLiteral("Open data"));
    }
}
