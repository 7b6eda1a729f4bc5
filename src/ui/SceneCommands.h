#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

#include "case/ScenePlacement.h"

#include <cstdint>

struct Case;
class SceneSurfaces;
struct Mesh;
class CaseEditor;
class ExteriorPointsDialog;
class Platform;
class QAction;
class QMenu;
class QWidget;
class ScenePlacementDialog;
class ViewState;

// The "Scene" menu: the scene model (load, remove), the body's placement and the muzzle heights,
// the selected trajectory's exterior points and shot group, the origin zones as a table, and the
// view switches of the scene and the zones. Every change of the case is one edit through the
// editor; a file or value that does not read is refused with a message and the case kept.
class SceneCommands : public QObject {
    Q_OBJECT
public:
    SceneCommands(CaseEditor& editor, ViewState& view, Platform& platform,
                  std::function<void()> redraw, QWidget* window);
    ~SceneCommands() override;

    // The menu, made on first use; its actions are named for the tests.
    QMenu* Menu();

    void LoadSceneModel();
    void LoadSceneModelFrom(const QString& path);
    void RemoveSceneModel();
    void EditPlacement();
    void EditExteriorPoints();
    void ShowOriginZones();

    // While "Click exterior points" is on, a left click on the scene model in `viewWidget` adds
    // the point under it to the selected trajectory (before IN when it lies on the back line's
    // side, else after OUT), one edit each. False when the click meets no scene surface or no
    // trajectory is selected.
    bool PlaceExteriorPointAt(int width, int height, double x, double y);
    void WatchClicksOn(QWidget* viewWidget);

    ScenePlacementDialog& GetPlacementDialog() { return *placementDialog; }
    ExteriorPointsDialog& GetExteriorDialog() { return *exteriorDialog; }

signals:
    // A line for the status bar (where a clicked point went, or why none).
    void statusMessage(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    const SceneSurfaces* Surfaces();
    QAction* AddAction(const QString& text, const QString& name, std::function<void()> handler);
    QAction* AddSwitch(const QString& text, const QString& name, bool checked,
                       std::function<void()> toggle);
    void OrbitScene();

    CaseEditor& editor;
    ViewState& view;
    Platform& platform;
    std::function<void()> redraw;
    QWidget* window;
    QMenu* menu = nullptr;
    QAction* transparentSwitch = nullptr; // the menu's, which owns it
    std::unique_ptr<ScenePlacementDialog> placementDialog;
    std::unique_ptr<ExteriorPointsDialog> exteriorDialog;
    QWidget* clickedView = nullptr;
    bool clickingPoints = false;
    std::unique_ptr<SceneSurfaces> surfaces;
    const Mesh* surfacesMesh = nullptr;
    uint64_t surfacesRevision = 0;
    ScenePlacement surfacesPlacement;
};
