#include "DialogsTestSupport.h"
#include "MainWindowFixture.h"

#include "ui/ExteriorPointsDialog.h"
#include "ui/SceneCommands.h"
#include "ui/ScenePlacementDialog.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QUndoStack>

#include <fstream>

namespace {

class SceneCommandsTest : public MainWindowFixture {
protected:
    SceneCommands& Scene() { return frame->GetSceneCommands(); }
    QAction& MenuAction(const char* name) {
        QMenu& menu = Child<QMenu>(*frame, "sceneMenu");
        EXPECT_TRUE(frame->menuBar()->actions().contains(menu.menuAction()));
        return Child<QAction>(menu, name);
    }
};

} // namespace

TEST_F(SceneCommandsTest, TheSceneModelLoadsAsOneEditAndAFileThatDoesNotReadKeepsTheCase) {
    QTemporaryDir folder;
    const QString room = folder.filePath(QStringLiteral("room.obj"));
    std::ofstream(room.toStdString()) << "v -3 0 -2\nv 3 0 -2\nv 3 2 -2\nf 1 2 3\n";
    const QString broken = folder.filePath(QStringLiteral("broken.ply"));
    std::ofstream(broken.toStdString()) << "ply\nformat nonsense\n";

    platform.QueueOpenFile(room);
    MenuAction("openSceneModel").trigger();
    ASSERT_TRUE(TheCase().world.sceneMesh);
    EXPECT_EQ(TheCase().world.sceneModelFile, room.toStdString());
    EXPECT_EQ(frame->GetUndoStack().count(), 1);

    Scene().LoadSceneModelFrom(broken);
    ASSERT_FALSE(platform.Messages().empty());
    EXPECT_TRUE(platform.Messages().back().text.startsWith("Cannot read the scene model"))
        << platform.Messages().back().text.toStdString();
    EXPECT_EQ(TheCase().world.sceneModelFile, room.toStdString()) << "the case is kept";
    EXPECT_EQ(frame->GetUndoStack().count(), 1) << "no edit";

    frame->GetUndoStack().undo();
    EXPECT_FALSE(TheCase().world.sceneMesh);
    EXPECT_EQ(TheCase().world.sceneModelFile, "");

    // The view switches are the view's, not the case's.
    MenuAction("showOriginZones").trigger();
    EXPECT_TRUE(TheViewState().Switches().originZones);
    MenuAction("transparentScene").trigger();
    EXPECT_TRUE(TheViewState().Switches().sceneTransparent);
    EXPECT_EQ(frame->GetUndoStack().count(), 1);
    // The scene seen from afar sees through the walls, and the switch says so and turns it off.
    MenuAction("transparentScene").trigger();
    MenuAction("orbitScene").trigger();
    EXPECT_TRUE(TheViewState().Switches().sceneTransparent);
    EXPECT_TRUE(MenuAction("transparentScene").isChecked());
    MenuAction("transparentScene").trigger();
    EXPECT_FALSE(TheViewState().Switches().sceneTransparent);
}

TEST_F(SceneCommandsTest, PlacementAndExteriorPointsAreOneEditEachAndBadValuesAreRefused) {
    WhenModal<ScenePlacementDialog>([](ScenePlacementDialog& dialog) {
        dialog.Field(0)->setText(QStringLiteral("150"));
        dialog.Field(3)->setText(QStringLiteral("90"));
        dialog.Field(8)->setText(QStringLiteral("160 30"));
        dialog.accept();
    });
    MenuAction("scenePlacement").trigger();
    EXPECT_EQ(TheCase().world.body, (ScenePlacement{1.5, 0, 0, 90}));
    EXPECT_EQ(TheCase().world.muzzleHeights, (std::vector<double>{1.6, 0.3}));
    EXPECT_EQ(frame->GetUndoStack().count(), 1);

    WhenModal<ScenePlacementDialog>([](ScenePlacementDialog& dialog) {
        dialog.Field(2)->setText(QStringLiteral("two metres"));
        dialog.accept(); // refused: stays open, then the helper closes it
    });
    MenuAction("scenePlacement").trigger();
    ASSERT_FALSE(platform.Messages().empty());
    EXPECT_TRUE(platform.Messages().back().text.startsWith("The body's z \"two metres\""));
    EXPECT_EQ(TheCase().world.body, (ScenePlacement{1.5, 0, 0, 90}));
    EXPECT_EQ(frame->GetUndoStack().count(), 1);

    // Without a selected trajectory there is nothing to edit.
    MenuAction("exteriorPoints").trigger();
    EXPECT_TRUE(platform.Messages().back().text.startsWith("Select a trajectory first"));

    Trajectory trajectory;
    trajectory.in = {0, 1.3, 0.25};
    trajectory.out = {0, 1.28, 0.05};
    ASSERT_TRUE(Editor().AddTrajectory("New trajectory", trajectory));
    TheViewState().SelectTrajectory(1);
    WhenModal<ExteriorPointsDialog>([](ExteriorPointsDialog& dialog) {
        dialog.PointsField()->setPlainText(QStringLiteral("10 140 300 before\n"));
        dialog.GroupField()->setText(QStringLiteral("door"));
        dialog.accept();
    });
    MenuAction("exteriorPoints").trigger();
    const Trajectory& edited = TrajectoryNumbered(1);
    ASSERT_EQ(edited.exterior.size(), 1u);
    EXPECT_DOUBLE_EQ(edited.exterior[0].point.z, 3.0);
    EXPECT_EQ(edited.group, "door");
    EXPECT_EQ(frame->GetUndoStack().count(), 3);

    WhenModal<ExteriorPointsDialog>([](ExteriorPointsDialog& dialog) {
        dialog.PointsField()->setPlainText(QStringLiteral("10 140 sideways before\n"));
        dialog.accept();
    });
    MenuAction("exteriorPoints").trigger();
    EXPECT_TRUE(platform.Messages().back().text.startsWith("Exterior point 1 (line 1)"));
    EXPECT_EQ(TrajectoryNumbered(1).exterior.size(), 1u);
    EXPECT_EQ(frame->GetUndoStack().count(), 3);

    frame->GetUndoStack().undo();
    EXPECT_TRUE(TrajectoryNumbered(1).exterior.empty());

    MenuAction("originTable").trigger();
    EXPECT_TRUE(platform.Messages().back().text.startsWith("Origin zones, scene frame"));
}

TEST_F(SceneCommandsTest, AClickOnTheSceneModelAddsAnExteriorPointToTheSelectedTrajectory) {
    QTemporaryDir folder;
    const QString wall = folder.filePath(QStringLiteral("wall.obj"));
    // A wall 1 m behind the body, facing the front view's camera.
    std::ofstream(wall.toStdString()) << "v -3 0 -1\nv 3 0 -1\nv 3 3 -1\nv -3 3 -1\n"
                                         "usemtl wall\nf 1 2 3\nf 1 3 4\n";
    Scene().LoadSceneModelFrom(wall);
    ASSERT_TRUE(TheCase().world.sceneMesh);
    Trajectory trajectory; // front to back, toward the wall
    trajectory.in = {0, 1.3, 0.25};
    trajectory.out = {0, 1.28, 0.05};
    ASSERT_TRUE(Editor().AddTrajectory("New trajectory", trajectory));
    const int edits = frame->GetUndoStack().count();

    // Without the switch a click is the view's as always.
    const QPoint pixel = Project(-1.0, 1.6, -1.0);
    TheViewState().SelectTrajectory(1);
    QTest::mouseClick(&View(), Qt::LeftButton, {}, pixel);
    EXPECT_TRUE(TrajectoryNumbered(1).exterior.empty());

    TheViewState().SelectTrajectory(1);
    MenuAction("clickExteriorPoints").trigger();
    QString said;
    QObject::connect(&Scene(), &SceneCommands::statusMessage,
                     [&said](const QString& text) { said = text; });
    QTest::mouseClick(&View(), Qt::LeftButton, {}, pixel);
    EXPECT_TRUE(said.startsWith("Exterior point of trajectory 1")) << said.toStdString();
    const std::vector<ExteriorPoint>& points = TrajectoryNumbered(1).exterior;
    ASSERT_EQ(points.size(), 1u);
    EXPECT_NEAR(points[0].point.x, -1.0, 0.02);
    EXPECT_NEAR(points[0].point.y, 1.6, 0.02);
    EXPECT_NEAR(points[0].point.z, -1.0, 1e-4);
    EXPECT_FALSE(points[0].beforeEntry) << "beyond OUT";
    EXPECT_EQ(frame->GetUndoStack().count(), edits + 1);

    // Off the wall (above it) nothing is added.
    EXPECT_FALSE(Scene().PlaceExteriorPointAt(View().width(), View().height(), 5, 5));
    EXPECT_EQ(TrajectoryNumbered(1).exterior.size(), 1u);
}
