// The posture panel beside the view: shown and hidden by M, every change one step of the undo
// history, and always showing the case's posture.
#include "MainWindowFixture.h"

#include "casefile/DataFile.h"
#include "ui/PosturePanel.h"

#include <QAction>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QSlider>
#include <QTemporaryDir>
#include <QUndoStack>

#include <algorithm>

namespace {

class PosturePanelTest : public MainWindowFixture {
protected:
    PosturePanel& Panel() { return frame->GetPosturePanel(); }
    QUndoStack& History() { return frame->GetUndoStack(); }
    const Posture& CasePosture() { return TheCase().body.GetPosture(); }
    template <typename Widget> Widget& Part(const char* name) {
        auto* widget = Panel().findChild<Widget*>(name);
        if (widget == nullptr) {
            std::fprintf(stderr, "no child widget named %s\n", name);
            std::abort();
        }
        return *widget;
    }
    QListWidget& Presets() { return Part<QListWidget>("presetList"); }
    QListWidget& Joints() { return Part<QListWidget>("jointList"); }
    QSlider& Slider(const char* name) { return Part<QSlider>(name); }
    QDoubleSpinBox& Spin(const char* name) { return Part<QDoubleSpinBox>(name); }
    QString ShownName() { return Part<QLabel>("postureName").text(); }

    // A click on a list's row, as the user chooses it.
    void ClickRow(QListWidget& list, int row) {
        const QRect place = list.visualItemRect(list.item(row));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, place.center());
        QApplication::processEvents();
    }

    // A drag of the slider's handle: pressed, moved through the positions, let go.
    static void DragSlider(QSlider& slider, std::initializer_list<int> positions) {
        slider.setSliderDown(true);
        for (int position : positions) {
            slider.setSliderPosition(position);
        }
        slider.setSliderDown(false);
    }
};

int PresetRow(const std::string& name) {
    const std::vector<std::string>& names = Posture::PresetNames();
    return static_cast<int>(std::find(names.begin(), names.end(), name) - names.begin());
}

} // namespace

TEST_F(PosturePanelTest, MShowsThePanelBesideTheViewAndHidesIt) {
    QAction* item = frame->GetCommandSet().Action(Command::PosturePanel);
    EXPECT_FALSE(Panel().isVisible());
    EXPECT_FALSE(item->isChecked());
    const int viewWidth = View().width();

    QTest::keyClick(&View(), Qt::Key_M);
    QApplication::processEvents();
    ASSERT_TRUE(Panel().isVisible());
    EXPECT_TRUE(item->isChecked());
    // The view makes room: the panel covers none of it.
    const QRect panel(Panel().mapTo(frame.get(), QPoint(0, 0)), Panel().size());
    const QRect view(View().mapTo(frame.get(), QPoint(0, 0)), View().size());
    EXPECT_FALSE(panel.intersects(view));
    EXPECT_LT(View().width(), viewWidth);
    EXPECT_EQ(Panel().windowTitle(), "Posture");

    // The panel's own close box unticks the menu entry; M brings it back.
    Panel().close();
    QApplication::processEvents();
    EXPECT_FALSE(item->isChecked());
    Trigger(Command::PosturePanel);
    EXPECT_TRUE(Panel().isVisible());
    Trigger(Command::PosturePanel);
    EXPECT_FALSE(Panel().isVisible());
    EXPECT_EQ(History().count(), 0); // showing the panel changes nothing
}

TEST_F(PosturePanelTest, APresetIsOneStepAndThePanelFollowsUndoAndRedo) {
    Trigger(Command::PosturePanel);
    ASSERT_EQ(Presets().count(), static_cast<int>(Posture::PresetNames().size()));
    EXPECT_EQ(Presets().currentRow(), PresetRow("standing"));
    EXPECT_EQ(ShownName(), "Posture: standing");

    ClickRow(Presets(), PresetRow("kneeling"));
    EXPECT_TRUE(CasePosture() == *Posture::Preset("kneeling"));
    ASSERT_EQ(History().count(), 1);
    EXPECT_EQ(History().undoText(), "Posture: kneeling");
    EXPECT_EQ(ShownName(), "Posture: kneeling");
    ClickRow(Presets(), PresetRow("kneeling")); // already so: no step
    EXPECT_EQ(History().count(), 1);

    // The sliders show the chosen joint of the case's posture.
    ClickRow(Joints(), static_cast<int>(skeleton::Joint::RightKnee));
    EXPECT_EQ(Slider("sliderPitch").value(), 120);
    EXPECT_DOUBLE_EQ(Spin("spinPitch").value(), 120.0);

    History().undo();
    EXPECT_TRUE(CasePosture().IsAnatomical());
    EXPECT_EQ(Slider("sliderPitch").value(), 0);
    EXPECT_EQ(Presets().currentRow(), PresetRow("standing"));
    History().redo();
    EXPECT_EQ(Slider("sliderPitch").value(), 120);
    EXPECT_EQ(ShownName(), "Posture: kneeling");

    // The whole body's turn is a row of its own: lying on the back is the body tipped back.
    ClickRow(Presets(), PresetRow("lying on the back"));
    ClickRow(Joints(), PosturePanel::kWholeBodyRow);
    EXPECT_EQ(Joints().item(PosturePanel::kWholeBodyRow)->text(), "Whole body");
    EXPECT_DOUBLE_EQ(Spin("spinPitch").value(), -90.0);
    EXPECT_EQ(Slider("sliderYaw").minimum(), -180);
}

TEST_F(PosturePanelTest, TheSlidersKeepToTheJointsLimitsAndADragIsOneStep) {
    Trigger(Command::PosturePanel);
    const int knee = static_cast<int>(skeleton::Joint::RightKnee);
    ASSERT_EQ(Joints().item(knee)->text(), "Right knee");
    ClickRow(Joints(), knee);
    EXPECT_EQ(Slider("sliderPitch").minimum(), 0); // a knee does not bend backward
    EXPECT_EQ(Slider("sliderPitch").maximum(), 150);
    EXPECT_DOUBLE_EQ(Spin("spinPitch").minimum(), 0.0);
    EXPECT_DOUBLE_EQ(Spin("spinPitch").maximum(), 150.0);

    // While dragged the body is drawn posed and nothing is recorded; the release records it all.
    QSlider& pitch = Slider("sliderPitch");
    pitch.setSliderDown(true);
    pitch.setSliderPosition(30);
    pitch.setSliderPosition(60);
    EXPECT_DOUBLE_EQ(CasePosture().Get(skeleton::Joint::RightKnee).pitch, 60.0);
    EXPECT_DOUBLE_EQ(Spin("spinPitch").value(), 60.0);
    EXPECT_EQ(History().count(), 0);
    pitch.setSliderPosition(90);
    pitch.setSliderDown(false);
    ASSERT_EQ(History().count(), 1);
    EXPECT_EQ(History().undoText(), "Posture: Right knee");
    EXPECT_DOUBLE_EQ(CasePosture().Get(skeleton::Joint::RightKnee).pitch, 90.0);
    EXPECT_EQ(ShownName(), "Posture: custom");
    EXPECT_EQ(Presets().currentRow(), -1);

    // A key on the slider is a step of its own; a typed value beyond the limit is refused
    // whole, with a note, never cut to a value the user did not type (20 read as 2).
    pitch.setFocus();
    QTest::keyClick(&pitch, Qt::Key_Right);
    EXPECT_EQ(History().count(), 2);
    EXPECT_DOUBLE_EQ(CasePosture().Get(skeleton::Joint::RightKnee).pitch, 91.0);
    QDoubleSpinBox& roll = Spin("spinRoll");
    roll.setFocus();
    roll.selectAll();
    QTest::keyClicks(&roll, "20");
    QTest::keyClick(&roll, Qt::Key_Return);
    EXPECT_EQ(History().count(), 2);
    EXPECT_DOUBLE_EQ(CasePosture().Get(skeleton::Joint::RightKnee).roll, 0.0); // not 2, not 20
    EXPECT_TRUE(
        Part<QLabel>("limitNote")
            .text()
            .startsWith(
                "Right knee roll 20.0° not taken: it is beyond the joint's limits (-5 to 5°)"))
        << Part<QLabel>("limitNote").text().toStdString();
    roll.selectAll();
    QTest::keyClicks(&roll, "2");
    QTest::keyClick(&roll, Qt::Key_Return);
    EXPECT_EQ(History().count(), 3);
    EXPECT_DOUBLE_EQ(CasePosture().Get(skeleton::Joint::RightKnee).roll, 2.0);
    EXPECT_TRUE(Part<QLabel>("limitNote").isHidden()) << "the next change clears the note";

    // Other joints and the other angles stayed as they were; undoing the drag leaves the others.
    EXPECT_DOUBLE_EQ(CasePosture().Get(skeleton::Joint::RightKnee).yaw, 0.0);
    EXPECT_TRUE(CasePosture().Get(skeleton::Joint::LeftKnee) == JointAngles{});
    History().setIndex(0);
    EXPECT_TRUE(CasePosture().IsAnatomical());
    EXPECT_EQ(pitch.value(), 0);
    EXPECT_DOUBLE_EQ(roll.value(), 0.0);

    // A drag let go where it began makes no step.
    DragSlider(Slider("sliderYaw"), {10, 0});
    EXPECT_EQ(History().index(), 0);
}

TEST_F(PosturePanelTest, AnOpenedFileShowsItsPosture) {
    Case posed;
    ASSERT_TRUE(posed.body.SetHeight(TheCase().body.GetHeight()));
    Posture posture = *Posture::Preset("seated");
    posture.Set(skeleton::Joint::LeftElbow, {10, 35.5, -5});
    posed.body.SetPosture(posture);
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath("seated.txt");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray::fromStdString(DataFile::Format(posed)));
    file.close();

    Trigger(Command::PosturePanel);
    ClickRow(Joints(), static_cast<int>(skeleton::Joint::LeftElbow));
    Commands().OpenDocument(path);
    EXPECT_TRUE(CasePosture() == posture);
    EXPECT_EQ(ShownName(), "Posture: custom");
    EXPECT_DOUBLE_EQ(Spin("spinYaw").value(), 10.0);
    EXPECT_DOUBLE_EQ(Spin("spinPitch").value(), 35.5);
    EXPECT_EQ(Slider("sliderPitch").value(), 36);
    EXPECT_DOUBLE_EQ(Spin("spinRoll").value(), -5.0);
    History().undo();
    EXPECT_DOUBLE_EQ(Spin("spinPitch").value(), 0.0);
}

// The view draws the editor's posed case, made again after every change: a posture taken back by
// Ctrl+Z leaves exactly the posed case a fresh posing of the restored case gives, and the view
// shows the very pixels it showed before the posture.
TEST_F(PosturePanelTest, UndoOfAPostureRestoresThePosedCaseTheViewDraws) {
    AddTrajectory([](Trajectory& trajectory) {
        trajectory.inPart = "trunk";
        trajectory.outPart = "trunk";
    });
    Trigger(Command::PosturePanel); // beside the view, which it narrows
    QApplication::processEvents();
    const std::optional<CapturedImage> standing = View().CaptureView();
    ASSERT_TRUE(standing.has_value());
    const PosedTrajectory before = *Editor().GetPosed().TrajectoryNumbered(1);

    ClickRow(Presets(), PresetRow("kneeling"));
    ASSERT_EQ(History().count(), 1);
    EXPECT_TRUE(Editor().GetPosed().IsPosed());
    EXPECT_NE(Editor().GetPosed().TrajectoryNumbered(1)->in, before.in) << "kneeling lowers it";
    const std::optional<CapturedImage> kneeling = View().CaptureView();
    ASSERT_TRUE(kneeling.has_value());
    EXPECT_NE(kneeling->Bytes(), standing->Bytes());

    QTest::keyClick(&View(), Qt::Key_Z, Qt::ControlModifier);
    QApplication::processEvents();
    ASSERT_EQ(History().index(), 0);
    const PosedCase& shown = Editor().GetPosed();
    const PosedCase afresh(TheCase());
    EXPECT_TRUE(shown.GetCase() == TheCase());
    EXPECT_FALSE(shown.IsPosed());
    ASSERT_EQ(shown.GetTrajectories().size(), afresh.GetTrajectories().size());
    for (size_t i = 0; i < afresh.GetTrajectories().size(); ++i) {
        const PosedTrajectory& a = shown.GetTrajectories()[i];
        const PosedTrajectory& b = afresh.GetTrajectories()[i];
        EXPECT_EQ(a.number, b.number);
        EXPECT_EQ(a.in, b.in);
        EXPECT_EQ(a.out, b.out);
        EXPECT_EQ(a.posed, b.posed);
        EXPECT_EQ(a.anatomical, b.anatomical);
        EXPECT_EQ(a.sceneIn, b.sceneIn);
        const Matrix4 drawn = a.ArrowTransform();
        const Matrix4 fresh = b.ArrowTransform();
        EXPECT_TRUE(std::equal(drawn.Data(), drawn.Data() + 16, fresh.Data()));
    }
    EXPECT_EQ(shown.TrajectoryNumbered(1)->in, before.in);
    ASSERT_NE(shown.GetBody().GetMesh(), nullptr);
    ASSERT_NE(afresh.GetBody().GetMesh(), nullptr);
    EXPECT_EQ(shown.GetBody().GetMesh()->positions, afresh.GetBody().GetMesh()->positions);
    EXPECT_EQ(shown.GetBody().GetMesh()->normals, afresh.GetBody().GetMesh()->normals);
    const std::optional<CapturedImage> restored = View().CaptureView();
    ASSERT_TRUE(restored.has_value());
    EXPECT_EQ(restored->Bytes(), standing->Bytes());
}

// A typed angle is one step, and Ctrl+Z typed in its box takes it back as it does anywhere in the
// window (the box's own text undo used to swallow the key and leave the posture as it was).
TEST_F(PosturePanelTest, CtrlZInATypedBoxUndoesTheTypedAngle) {
    Trigger(Command::PosturePanel);
    const int trunk = static_cast<int>(skeleton::Joint::Trunk);
    ClickRow(Joints(), trunk);
    QDoubleSpinBox& pitch = Spin("spinPitch");
    pitch.setFocus();
    pitch.selectAll();
    QTest::keyClicks(&pitch, "45");
    QTest::keyClick(&pitch, Qt::Key_Return);
    ASSERT_EQ(History().count(), 1);
    EXPECT_EQ(History().undoText(), "Posture: Trunk");
    EXPECT_DOUBLE_EQ(CasePosture().Get(skeleton::Joint::Trunk).pitch, 45.0);

    ASSERT_TRUE(pitch.hasFocus());
    QTest::keyClick(&pitch, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(History().index(), 0);
    EXPECT_TRUE(CasePosture().IsAnatomical());
    EXPECT_DOUBLE_EQ(pitch.value(), 0.0);
    EXPECT_EQ(pitch.text(), "0.0 °");
    QTest::keyClick(&pitch, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(History().index(), 1);
    EXPECT_DOUBLE_EQ(CasePosture().Get(skeleton::Joint::Trunk).pitch, 45.0);
    EXPECT_DOUBLE_EQ(pitch.value(), 45.0);

    // Typing not yet entered goes with the undo: the box shows the case again, and leaving it
    // enters nothing.
    pitch.selectAll();
    QTest::keyClicks(&pitch, "60");
    QTest::keyClick(&pitch, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(CasePosture().IsAnatomical());
    EXPECT_EQ(pitch.text(), "0.0 °");
    Spin("spinRoll").setFocus();
    EXPECT_TRUE(CasePosture().IsAnatomical());
    EXPECT_EQ(History().index(), 0);
}

// A value beyond the joint's limits is never cut silently: typing 200 into the trunk's pitch (up
// to 90) used to give 20. It is refused, and a note says what was typed, the limits and the value
// kept; the limits stand beside each box. An angle beyond them that a file holds is named too.
TEST_F(PosturePanelTest, AValueBeyondTheLimitsIsRefusedWithANoteAndAFilesValueIsNamed) {
    Trigger(Command::PosturePanel);
    ClickRow(Joints(), static_cast<int>(skeleton::Joint::Trunk));
    EXPECT_EQ(Part<QLabel>("limitsPitch").text(), "-30 to 90°");
    EXPECT_EQ(Spin("spinPitch").toolTip(), "-30 to 90 degrees");
    QLabel& note = Part<QLabel>("limitNote");
    EXPECT_TRUE(note.isHidden());

    QDoubleSpinBox& pitch = Spin("spinPitch");
    pitch.setFocus();
    pitch.selectAll();
    QTest::keyClicks(&pitch, "200");
    EXPECT_EQ(pitch.cleanText(), "200") << "every digit typed stays";
    QTest::keyClick(&pitch, Qt::Key_Return);
    EXPECT_EQ(History().count(), 0);
    EXPECT_TRUE(CasePosture().IsAnatomical());
    EXPECT_DOUBLE_EQ(pitch.value(), 0.0);
    EXPECT_FALSE(note.isHidden());
    EXPECT_EQ(note.text(), "Trunk pitch 200.0° not taken: it is beyond the joint's limits (-30 to "
                           "90°); the pitch stays 0.0°.");

    // Within the limits the box keeps its one decimal: the digit past it is not typed.
    pitch.selectAll();
    QTest::keyClicks(&pitch, "12.34");
    QTest::keyClick(&pitch, Qt::Key_Return);
    EXPECT_DOUBLE_EQ(CasePosture().Get(skeleton::Joint::Trunk).pitch, 12.3);
    EXPECT_TRUE(note.isHidden());
    History().undo();

    // Leaving the box enters the typing too: refused the same way.
    pitch.selectAll();
    QTest::keyClicks(&pitch, "-31");
    Spin("spinRoll").setFocus();
    EXPECT_TRUE(CasePosture().IsAnatomical());
    EXPECT_TRUE(note.text().startsWith("Trunk pitch -31.0° not taken"))
        << note.text().toStdString();
    // Another joint: the note was about the trunk.
    ClickRow(Joints(), static_cast<int>(skeleton::Joint::Neck));
    EXPECT_TRUE(note.isHidden());

    // A data file keeps its angles as written: a knee bent backward is named, not hidden behind
    // the box's nearest limit.
    Posture backward;
    backward.Set(skeleton::Joint::RightKnee, {0, -10, 0});
    TheCase().body.SetPosture(backward);
    Posed();
    ClickRow(Joints(), static_cast<int>(skeleton::Joint::RightKnee));
    EXPECT_DOUBLE_EQ(Spin("spinPitch").value(), 0.0);
    EXPECT_EQ(note.text(), "Right knee pitch is -10.0°, beyond the joint's limits (0 to 150°): "
                           "the box shows the nearest limit, the case keeps -10.0°.");
    EXPECT_FALSE(note.isHidden());
}
