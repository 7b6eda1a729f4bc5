#include "ui/ViewDrag.h"
#include "case/Case.h"
#include "case/PosedCase.h"
#include "edit/CaseEditor.h"
#include "view/ViewState.h"

#include <memory>

#include <gtest/gtest.h>

namespace {

constexpr ManipulationMode kMove = ManipulationMode::Move;
constexpr ManipulationMode kRotate = ManipulationMode::Rotate;

// Pointer travel in pixels, as the view turns it into a drag step.
DragStep Pixels(double right, double down) {
    return {right / 200, down / -200};
}

// A case, its editor and the view state a drag works with.
struct Drag {
    Case theCase;
    CaseEditor editor{theCase};
    ViewState view;

    // One pointer step in the given mode along or about the handle.
    bool Step(ManipulationMode mode, Handle handle, const DragStep& step) {
        view.SetManipulationMode(mode);
        return DragSelectedObject(editor, view, handle, step);
    }
};

// Each returns the entry as the case holds it while it is dragged (a drag previews in place).
Trajectory& AddSelectedTrajectory(Drag& drag) {
    Trajectory trajectory;
    trajectory.exited = true;
    trajectory.in = {-0.3, 1.0, 0};
    trajectory.out = {0.3, 1.0, 0};
    drag.theCase.trajectories.push_back(trajectory);
    drag.editor.Preview();
    drag.view.SelectTrajectory(drag.theCase.TrajectoryCount());
    return drag.theCase.trajectories.back();
}

Element& AddSelectedElement(Drag& drag) {
    drag.theCase.elements.emplace_back();
    drag.editor.Preview();
    drag.view.SelectElement(drag.theCase.ElementCount());
    return drag.theCase.elements.back();
}

} // namespace

TEST(ViewDragTest, ScreenAxesFollowTheCameraYawAndPitch) {
    const ScreenAxes front = ComputeScreenAxes(0, 0);
    EXPECT_DOUBLE_EQ(front.ax.x, 1);
    EXPECT_DOUBLE_EQ(front.ax.y, 0);
    EXPECT_DOUBLE_EQ(front.ay.y, 1);
    EXPECT_DOUBLE_EQ(front.az.x, 0); // Z points at the viewer: no screen travel moves along it
    EXPECT_DOUBLE_EQ(front.az.y, 0);

    // Yaw 90 turns world Z to the right of the screen and X away from the viewer; the cosine of
    // a right angle in floating point is close to, not exactly, 0.
    const ScreenAxes side = ComputeScreenAxes(90, 0);
    EXPECT_NEAR(side.ax.x, 0, 1e-4);
    EXPECT_NEAR(side.az.x, 1, 1e-4);
    EXPECT_NE(side.ax.x, 0);

    // Looking down from the top (pitch -90), world Z runs down the screen and Y toward the eye.
    const ScreenAxes top = ComputeScreenAxes(0, -90);
    EXPECT_NEAR(top.az.y, -1, 1e-4);
    EXPECT_NEAR(top.ay.y, 0, 1e-4);
}

TEST(ViewDragTest, MovingClampsTrajectoryShiftsButNotElementPositions) {
    Drag drag;
    Trajectory& trajectory = AddSelectedTrajectory(drag);
    ASSERT_TRUE(drag.Step(kMove, Handle::X, Pixels(300, 0)));
    EXPECT_DOUBLE_EQ(trajectory.offset.x, 0.4);
    // The drawn arrow moves with it: the editor posed the case again.
    EXPECT_DOUBLE_EQ(drag.editor.GetPosed().TrajectoryNumbered(1)->arrowAnchor.At(0, 3), 0.1);
    ASSERT_TRUE(drag.Step(kMove, Handle::Y, Pixels(0, 20)));
    EXPECT_DOUBLE_EQ(trajectory.offset.y, -0.1); // downward is negative
    ASSERT_TRUE(drag.Step(kMove, Handle::X, Pixels(-1000, 0)));
    EXPECT_DOUBLE_EQ(trajectory.offset.x, -0.4);

    Element& element = AddSelectedElement(drag);
    element.centre = {0.2, 1.0, 0.1};
    ASSERT_TRUE(drag.Step(kMove, Handle::X, Pixels(300, 0)));
    EXPECT_DOUBLE_EQ(element.centre.x, 1.7);
    EXPECT_DOUBLE_EQ(element.centre.y, 1.0);
    // The Z axis has no screen travel in the front view.
    ASSERT_TRUE(drag.Step(kMove, Handle::Z, Pixels(300, 300)));
    EXPECT_DOUBLE_EQ(element.centre.z, 0.1);
}

TEST(ViewDragTest, TurningUsesHalfADegreePerPixel) {
    Drag drag;
    Trajectory& trajectory = AddSelectedTrajectory(drag);
    ASSERT_TRUE(drag.Step(kRotate, Handle::Y, Pixels(0, -40)));
    EXPECT_DOUBLE_EQ(trajectory.yawAdjustment, 0); // yaw follows horizontal travel only
    ASSERT_TRUE(drag.Step(kRotate, Handle::Y, Pixels(10, 0)));
    EXPECT_DOUBLE_EQ(trajectory.yawAdjustment, 5);
    ASSERT_TRUE(drag.Step(kRotate, Handle::X, Pixels(0, -10)));
    EXPECT_DOUBLE_EQ(trajectory.pitchAdjustment, -5);
    ASSERT_TRUE(drag.Step(kRotate, Handle::Z, Pixels(0, -10)));
    EXPECT_DOUBLE_EQ(trajectory.pitchAdjustment, -5); // a trajectory has no roll
    EXPECT_DOUBLE_EQ(trajectory.yawAdjustment, 5);

    Element& element = AddSelectedElement(drag);
    ASSERT_TRUE(drag.Step(kRotate, Handle::Z, Pixels(0, -10)));
    EXPECT_DOUBLE_EQ(element.roll, -5);
    ASSERT_TRUE(drag.Step(kRotate, Handle::X, Pixels(0, 10)));
    EXPECT_DOUBLE_EQ(element.pitch, 5);
    ASSERT_TRUE(drag.Step(kRotate, Handle::Y, Pixels(-4, 0)));
    EXPECT_DOUBLE_EQ(element.yaw, -2);
}

TEST(ViewDragTest, NothingSelectedChangesNothing) {
    Drag drag;
    Trajectory& trajectory = AddSelectedTrajectory(drag);
    drag.view.MissSelection();
    EXPECT_FALSE(drag.Step(kMove, Handle::X, Pixels(100, 0)));
    EXPECT_DOUBLE_EQ(trajectory.offset.x, 0);
    // Select mode never moves anything, but still reports the selected object.
    drag.view.SelectTrajectory(1);
    EXPECT_TRUE(drag.Step(ManipulationMode::Select, Handle::X, Pixels(100, 0)));
    EXPECT_DOUBLE_EQ(trajectory.offset.x, 0);
}
