#include "MainWindowFixture.h"

#include <QMenu>
#include <QTimer>

namespace {

constexpr ManipulationMode kMoveMode = ManipulationMode::Move;
constexpr ManipulationMode kRotateMode = ManipulationMode::Rotate;

QStringList ActionTexts(const QMenu& menu) {
    QStringList texts;
    for (const QAction* action : menu.actions()) {
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return texts;
}

} // namespace

using ViewInputTest = MainWindowFixture;

TEST_F(ViewInputTest, LowerCaseCharactersChooseTheStandardViewsAndUpperCaseDoesNothing) {
    QTest::keyClick(&View(), 't');
    EXPECT_DOUBLE_EQ(TheViewState().GetCamera().GetPitch(), -90);
    QTest::keyClick(&View(), 'F'); // Shift or Caps Lock
    EXPECT_DOUBLE_EQ(TheViewState().GetCamera().GetPitch(), -90);
    QTest::keyClick(&View(), 'f');
    EXPECT_DOUBLE_EQ(TheViewState().GetCamera().GetPitch(), 0);
    EXPECT_DOUBLE_EQ(TheViewState().GetCamera().GetYaw(), 0);
    QTest::keyClick(&View(), 'k');
    EXPECT_DOUBLE_EQ(TheViewState().GetCamera().GetYaw(), 180);
    QTest::keyClick(&View(), 'r'); // the eye on the body's right, -X
    EXPECT_DOUBLE_EQ(TheViewState().GetCamera().GetYaw(), 90);
    QTest::keyClick(&View(), 'l');
    EXPECT_DOUBLE_EQ(TheViewState().GetCamera().GetYaw(), -90);
    QTest::keyClick(&View(), 'p');
    EXPECT_DOUBLE_EQ(TheViewState().GetCamera().GetYaw(), 45);
}

TEST_F(ViewInputTest, ArrowKeysAndPageKeysStepTheCamera) {
    QTest::keyClick(&View(), 'f');
    const Camera& camera = TheViewState().GetCamera();
    const double z = camera.GetZ(), x = camera.GetX(), y = camera.GetY();
    QTest::keyClick(&View(), Qt::Key_Up);
    EXPECT_NEAR(camera.GetZ(), z - 0.2, 1e-12);
    QTest::keyClick(&View(), Qt::Key_Down);
    QTest::keyClick(&View(), Qt::Key_Down);
    EXPECT_NEAR(camera.GetZ(), z + 0.2, 1e-12);
    QTest::keyClick(&View(), Qt::Key_Left);
    EXPECT_NEAR(camera.GetX(), x - 0.2, 1e-12);
    QTest::keyClick(&View(), Qt::Key_Right);
    QTest::keyClick(&View(), Qt::Key_Right);
    EXPECT_NEAR(camera.GetX(), x + 0.2, 1e-12);
    QTest::keyClick(&View(), Qt::Key_PageUp);
    EXPECT_NEAR(camera.GetY(), y + 0.2, 1e-12);
    QTest::keyClick(&View(), Qt::Key_PageDown);
    QTest::keyClick(&View(), Qt::Key_PageDown);
    EXPECT_NEAR(camera.GetY(), y - 0.2, 1e-12);
}

TEST_F(ViewInputTest, PlusAndMinusScaleTheBodyNormals) {
    const Body& body = TheCase().body;
    ASSERT_NE(body.GetModel(), nullptr);
    const float before = body.GetNormalScale();
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(&View(), '+');
    }
    EXPECT_NEAR(body.GetNormalScale() / before, 1.331, 1e-5);
    QTest::keyClick(&View(), '-');
    EXPECT_NEAR(body.GetNormalScale() / before, 1.331 * 0.9, 1e-5);
}

TEST_F(ViewInputTest, LeftPressSelectsAnArrowAndEmptySpaceClearsTheSelectionButNotTheHandle) {
    AddTrajectory();
    QTest::keyClick(&View(), 'f');
    TheViewState().SelectHandle(Handle::Y);
    const QPoint onArrow = Project(0.0, 1.0, 0.5);
    QTest::mouseClick(&View(), Qt::LeftButton, Qt::NoModifier, onArrow);
    EXPECT_EQ(TheViewState().GetSelectedTrajectoryNumber(), 1);
    EXPECT_EQ(TheViewState().GetSelectionState(), SelectionState::ObjectSelected);

    QTest::mouseClick(&View(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(TheViewState().GetSelectedTrajectoryNumber(), 0);
    EXPECT_EQ(TheViewState().GetSelectionState(), SelectionState::Nothing);
    EXPECT_EQ(TheViewState().GetSelectedHandle(), Handle::Y);
}

TEST_F(ViewInputTest, MoveModeDragShiftsATrajectoryAtMostFortyCentimetresAndAnElementFreely) {
    AddTrajectory();
    QTest::keyClick(&View(), 'f');
    TheViewState().SetManipulationMode(kMoveMode);
    TheViewState().SelectTrajectory(1);
    TheViewState().SelectHandle(Handle::X);
    const QPoint onArrow = Project(0.0, 1.0, 0.5);
    Drag(Qt::LeftButton, onArrow, onArrow + QPoint(300, 0)); // the press reselects the arrow
    EXPECT_EQ(TheViewState().GetSelectedTrajectoryNumber(), 1);
    EXPECT_DOUBLE_EQ(TrajectoryNumbered(1).offset.x, 0.4);
    EXPECT_DOUBLE_EQ(TrajectoryNumbered(1).offset.y, 0);

    AddElement(0.5, 1.4, 0.3);
    TheViewState().SelectElement(1);
    const QPoint onElement = Project(0.5, 1.4, 0.3);
    Drag(Qt::LeftButton, onElement, onElement + QPoint(300, 0));
    EXPECT_EQ(TheViewState().GetSelectedElementNumber(), 1);
    EXPECT_DOUBLE_EQ(ElementNumbered(1).centre.x, 2.0);
    EXPECT_DOUBLE_EQ(ElementNumbered(1).centre.y, 1.4);
}

TEST_F(ViewInputTest, RotateModeTurnsHalfADegreePerPixel) {
    AddTrajectory();
    AddElement(0.5, 1.4, 0.3);
    QTest::keyClick(&View(), 'f');
    TheViewState().SetManipulationMode(kRotateMode);

    TheViewState().SelectElement(1);
    TheViewState().SelectHandle(Handle::Z);
    const QPoint onElement = Project(0.5, 1.4, 0.3);
    Drag(Qt::LeftButton, onElement, onElement + QPoint(0, -10)); // upward
    EXPECT_DOUBLE_EQ(ElementNumbered(1).roll, -5);

    TheViewState().SelectTrajectory(1);
    const QPoint onArrow = Project(0.0, 1.0, 0.5);
    Drag(Qt::LeftButton, onArrow, onArrow + QPoint(0, -10));
    EXPECT_EQ(TheViewState().GetSelectedTrajectoryNumber(), 1);
    EXPECT_DOUBLE_EQ(TrajectoryNumbered(1).pitchAdjustment, 0); // handle 3: no trajectory turn
    EXPECT_DOUBLE_EQ(TrajectoryNumbered(1).yawAdjustment, 0);

    TheViewState().SelectHandle(Handle::Y);
    Drag(Qt::LeftButton, onArrow, onArrow + QPoint(10, 0));
    EXPECT_DOUBLE_EQ(TrajectoryNumbered(1).yawAdjustment, 5);
}

TEST_F(ViewInputTest, DragAfterAMissWithAHandleInForceMovesAndDrawsNothing) {
    AddTrajectory();
    QTest::keyClick(&View(), 'f');
    TheViewState().SetManipulationMode(kMoveMode);
    TheViewState().SelectTrajectory(1);
    TheViewState().SelectHandle(Handle::X);
    QApplication::processEvents();
    const QPoint empty(5, 5);
    Move(empty);
    QTest::mousePress(&View(), Qt::LeftButton, Qt::NoModifier, empty);
    ASSERT_EQ(TheViewState().GetSelectionState(), SelectionState::Nothing);
    const int framesBefore = View().FramesRequested();
    Move(empty + QPoint(100, 0), Qt::LeftButton);
    EXPECT_EQ(View().FramesRequested(), framesBefore);
    EXPECT_DOUBLE_EQ(TrajectoryNumbered(1).offset.x, 0);
    QTest::mouseRelease(&View(), Qt::LeftButton, Qt::NoModifier, empty + QPoint(100, 0));
}

TEST_F(ViewInputTest, RightDragTurnsTheCameraWhenNothingIsSelected) {
    QTest::keyClick(&View(), 'f');
    const QPoint start = View().rect().center();
    Drag(Qt::RightButton, start, start + QPoint(40, 40));
    EXPECT_DOUBLE_EQ(TheViewState().GetCamera().GetYaw(), 20);
    EXPECT_DOUBLE_EQ(TheViewState().GetCamera().GetPitch(), -20);
    // After the release the pointer no longer turns anything.
    Move(start);
    EXPECT_DOUBLE_EQ(TheViewState().GetCamera().GetYaw(), 20);
}

TEST_F(ViewInputTest, RightPressOnASelectionOpensTheContextMenuInsteadOfTurning) {
    AddElement(0.5, 1.4, 0.3);
    QTest::keyClick(&View(), 'f');
    TheViewState().SelectElement(1);
    QStringList shownItems;
    QTimer::singleShot(200, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        shownItems = ActionTexts(*menu);
        for (QAction* action : menu->actions()) {
            if (action->text() == "Rotate") {
                action->trigger();
            }
        }
        menu->close();
    });
    const QPoint start = View().rect().center();
    Drag(Qt::RightButton, start, start + QPoint(40, 0));
    EXPECT_EQ(shownItems, (QStringList{"Move", "Rotate", "Select", "Delete", "-", "Change color",
                                       "-", "Properties"}));
    EXPECT_EQ(TheViewState().GetManipulationMode(), kRotateMode);
    EXPECT_DOUBLE_EQ(TheViewState().GetCamera().GetYaw(), 0);
    EXPECT_EQ(TheViewState().GetSelectedElementNumber(), 1);
}
