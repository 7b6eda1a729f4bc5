#include "DialogsTestSupport.h"
#include "MainWindowFixture.h"

#include "casefile/DataFile.h"
#include "ui/AdjustTrajectoryDialog.h"
#include "ui/BodyParametersDialog.h"
#include "ui/CaseCommands.h"
#include "ui/ConfirmDeleteDialog.h"
#include "ui/NewElementDialog.h"
#include "ui/NewTrajectoryDialog.h"
#include "ui/PropertiesDialog.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QUndoStack>

namespace {

class UndoTest : public MainWindowFixture {
protected:
    QUndoStack& History() { return frame->GetUndoStack(); }
    std::string Bytes() { return DataFile::Format(TheCase()); }

    QAction& EditMenuItem(int index) {
        for (QAction* menu : frame->menuBar()->actions()) {
            if (menu->text() == "&Edit") {
                return *menu->menu()->actions().at(index);
            }
        }
        std::abort();
    }

    void Key(int key, Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(&View(), static_cast<Qt::Key>(key), modifiers);
        QApplication::processEvents();
    }
};

} // namespace

TEST_F(UndoTest, DeleteAllIsTakenBackAndRedoneByTheEditMenuKeys) {
    AddTrajectory([](Trajectory& t) { t.label = "entry wound"; });
    AddTrajectory([](Trajectory& t) { t.offset.x = 0.05; });
    AddElement(0.5, 1.4, 0.3, [](Element& e) { e.label = "casing"; });
    const std::string before = Bytes();
    EXPECT_FALSE(frame->isWindowModified());
    EXPECT_FALSE(EditMenuItem(0).isEnabled());

    Trigger(Command::DeleteAll);
    EXPECT_EQ(TheCase().TrajectoryCount(), 0);
    EXPECT_TRUE(frame->isWindowModified());
    EXPECT_EQ(frame->windowTitle(), MainWindow::FrameTitle() + "[*]");
    EXPECT_EQ(EditMenuItem(0).text(), "Undo Delete all trajectories and elements");
    EXPECT_EQ(EditMenuItem(0).shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));

    Key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Bytes(), before) << "numbers, colours, labels and shifts come back";
    EXPECT_FALSE(frame->isWindowModified());
    EXPECT_EQ(EditMenuItem(1).text(), "Redo Delete all trajectories and elements");

    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(TheCase().TrajectoryCount(), 0);
    Key(Qt::Key_Z, Qt::ControlModifier);
    Key(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(TheCase().ElementCount(), 0);
    EXPECT_EQ(History().count(), 1);
}

TEST_F(UndoTest, ADragIsOneStepAndLightingComesBackExactly) {
    AddTrajectory();
    QTest::keyClick(&View(), 'f');
    TheViewState().SetManipulationMode(ManipulationMode::Move);
    TheViewState().SelectTrajectory(1);
    TheViewState().SelectHandle(Handle::X);
    const QPoint onArrow = Project(0.0, 1.0, 0.5);
    Move(onArrow);
    QTest::mousePress(&View(), Qt::LeftButton, Qt::NoModifier, onArrow);
    for (int step = 1; step <= 5; ++step) {
        Move(onArrow + QPoint(10 * step, 0), Qt::LeftButton);
    }
    QTest::mouseRelease(&View(), Qt::LeftButton, Qt::NoModifier, onArrow + QPoint(50, 0));
    ASSERT_EQ(History().count(), 1);
    EXPECT_EQ(History().undoText(), "Move");
    EXPECT_DOUBLE_EQ(TrajectoryNumbered(1).offset.x, 0.25);
    History().undo();
    EXPECT_EQ(TrajectoryNumbered(1).offset.x, 0.0);

    const float normalScale = TheCase().body.GetNormalScale();
    QTest::keyClick(&View(), '+');
    QTest::keyClick(&View(), '+');
    EXPECT_EQ(History().undoText(), "Increase body lighting");
    History().undo();
    History().undo();
    EXPECT_EQ(TheCase().body.GetNormalScale(), normalScale);
}

TEST_F(UndoTest, SliderDialogsMakeOneStepOnOkAndNoneOnCancel) {
    AddTrajectory();
    TheViewState().SelectTrajectory(1);
    const std::string before = Bytes();
    for (const char* button : {"cancelButton", "okButton"}) {
        WhenModal<AdjustTrajectoryDialog>([button](AdjustTrajectoryDialog& d) {
            for (int position : {55, 60, 65}) {
                Child<QSlider>(d, "sliderX").setValue(position);
            }
            Click(d, "resetButton");
            Child<QSlider>(d, "sliderY").setValue(40);
            Click(d, button);
        });
        Commands().AdjustTrajectory();
    }
    ASSERT_EQ(History().count(), 1);
    EXPECT_EQ(History().undoText(), "Adjust trajectory");
    History().undo();
    EXPECT_EQ(Bytes(), before);

    const Body body = TheCase().body;
    for (const char* button : {"cancelButton", "okButton"}) {
        WhenModal<BodyParametersDialog>([button](BodyParametersDialog& d) {
            Child<QSlider>(d, "sliderScaleX").setValue(60);
            Child<QSlider>(d, "sliderScaleX").setValue(65);
            Child<QLineEdit>(d, "heightField").setText("170");
            Click(d, button);
        });
        Commands().BodyParameters();
    }
    // The undone adjustment gave way to the new step.
    ASSERT_EQ(History().count(), 1);
    EXPECT_EQ(History().undoText(), "Body parameters");
    History().setIndex(0);
    EXPECT_TRUE(TheCase().body == body);
    EXPECT_EQ(Bytes(), before);
}

TEST_F(UndoTest, CancelledDialogsAndChoosersLeaveNoStep) {
    AddTrajectory();
    AddElement(0.5, 1.4, 0.3);
    TheViewState().SelectTrajectory(1);
    WhenModal<NewTrajectoryDialog>([](NewTrajectoryDialog& d) { Click(d, "cancelButton"); });
    Commands().NewTrajectory();
    WhenModal<NewElementDialog>([](NewElementDialog& d) { Click(d, "cancelButton"); });
    Commands().NewElement();
    WhenModal<PropertiesDialog>([](PropertiesDialog& d) {
        Child<QPlainTextEdit>(d, "textField").setPlainText("changed");
        Click(d, "cancelButton");
    });
    Commands().Properties();
    WhenModal<ConfirmDeleteDialog>([](ConfirmDeleteDialog& d) { Click(d, "cancelButton"); });
    Commands().DeleteSelected();
    Commands().ChangeColor();  // the chooser is cancelled: the same colour
    Commands().OpenDataFile(); // the chooser is cancelled
    Commands().OpenBodyFile();
    EXPECT_EQ(History().count(), 0);
    EXPECT_FALSE(frame->isWindowModified());

    WhenModal<PropertiesDialog>([](PropertiesDialog& d) {
        Child<QPlainTextEdit>(d, "textField").setPlainText("exit wound");
        Click(d, "okButton");
    });
    Commands().Properties();
    WhenModal<ConfirmDeleteDialog>([](ConfirmDeleteDialog& d) { Click(d, "okButton"); });
    Commands().DeleteSelected();
    ASSERT_EQ(History().count(), 2);
    EXPECT_EQ(History().undoText(), "Delete trajectory");
    History().undo();
    EXPECT_EQ(TrajectoryNumbered(1).label, "exit wound");
}
