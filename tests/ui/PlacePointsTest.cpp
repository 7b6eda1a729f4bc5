#include "DialogsTestSupport.h"
#include "MainWindowFixture.h"

#include "ui/DialogInput.h"
#include "ui/NewTrajectoryDialog.h"
#include "ui/PointPlacement.h"
#include "view/SurfacePicking.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>

namespace {

class PlacePointsTest : public MainWindowFixture {
protected:
    QString Status() { return frame->statusBar()->currentMessage(); }

    // The body point the view shows at a widget position (pixel centre), as the click finds it.
    Vec3 BodyPointAt(QPoint at) {
        const auto hit = BodySurfaceAt(TheCase().GetBody(), TheViewState().GetCamera(),
                                       View().width(), View().height(), at.x() + 0.5, at.y() + 0.5);
        EXPECT_TRUE(hit);
        return hit ? hit->point : Vec3{};
    }

    void Click(QPoint at) { QTest::mouseClick(&View(), Qt::LeftButton, Qt::NoModifier, at); }

    QPoint Chest() { return {View().width() / 2, View().height() / 2 - 60}; }
    QPoint Belly() { return {View().width() / 2 + 8, View().height() / 2 + 10}; }
};

QString Field(QDialog& dialog, const char* name) {
    return Child<QLineEdit>(dialog, name).text();
}

QString Cm(double metres) {
    return CentimetreText(metres);
}

} // namespace

// Two clicks, with the view turned between them, open "New trajectory" on both points; Cancel
// removes the markers, Compute makes the trajectory; a miss only says so; Esc leaves the mode.
TEST_F(PlacePointsTest, TwoClicksOpenThePrefilledDialog) {
    QTest::keyClick(&View(), 'c');
    ASSERT_TRUE(frame->GetPlacement().IsActive());
    EXPECT_TRUE(Status().startsWith("Place points")) << Status().toStdString();

    Click({3, 3});
    EXPECT_EQ(Status(), "No body surface under the pointer.");
    EXPECT_TRUE(TheViewState().GetSurfaceMarkers().empty());

    const Vec3 in = BodyPointAt(Chest());
    Click(Chest());
    ASSERT_EQ(TheViewState().GetSurfaceMarkers().size(), 1u);
    EXPECT_EQ(Status(), "IN at " + PointPlacement::PointText(in) + ". Click the exit point OUT.");

    QTest::keyClick(&View(), 'k'); // the back view, for the exit wound
    const Vec3 out = BodyPointAt(Chest());
    EXPECT_LT(out.z, in.z);
    QStringList shown;
    WhenModal<NewTrajectoryDialog>([&](NewTrajectoryDialog& d) {
        for (const char* name : {"inX", "inY", "inZ", "outX", "outY", "outZ"}) {
            shown << Field(d, name);
        }
        Child<QPushButton>(d, "cancelButton").click();
    });
    Click(Chest());
    EXPECT_EQ(shown, QStringList({Cm(in.x), Cm(in.y), Cm(in.z), Cm(out.x), Cm(out.y), Cm(out.z)}));
    EXPECT_TRUE(TheViewState().GetSurfaceMarkers().empty());
    EXPECT_EQ(TheCase().GetTrajectoryCount(), 0);
    EXPECT_TRUE(frame->GetPlacement().IsActive());

    QTest::keyClick(&View(), 'f');
    const Vec3 second = BodyPointAt(Belly());
    Click(Chest());
    WhenModal<NewTrajectoryDialog>(
        [](NewTrajectoryDialog& d) { Child<QPushButton>(d, "computeButton").click(); });
    Click(Belly());
    ASSERT_EQ(TheCase().GetTrajectoryCount(), 1);
    const Trajectory& made = *TheCase().GetTrajectory(0);
    EXPECT_NEAR(made.GetX1(), in.x, 1e-4);
    EXPECT_NEAR(made.GetY2(), second.y, 1e-4);
    EXPECT_NEAR(made.GetZ2(), second.z, 1e-4);
    EXPECT_TRUE(TheViewState().GetSurfaceMarkers().empty());

    Click(Chest());
    QTest::keyClick(&View(), Qt::Key_Escape);
    EXPECT_FALSE(frame->GetPlacement().IsActive());
    EXPECT_TRUE(TheViewState().GetSurfaceMarkers().empty());
    Click(Chest()); // a plain click again: no marker
    EXPECT_TRUE(TheViewState().GetSurfaceMarkers().empty());
}

TEST_F(PlacePointsTest, RightClickOffersTheModeAndTheWheelZoomsTowardThePointer) {
    QTimer::singleShot(0, [] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* action : menu->actions()) {
                if (action->text() == "Place points") {
                    action->trigger();
                }
            }
            menu->close();
        }
    });
    const QPoint at(20, 20);
    QTest::mousePress(&View(), Qt::RightButton, Qt::NoModifier, at);
    QTest::mouseRelease(&View(), Qt::RightButton, Qt::NoModifier, at);
    EXPECT_TRUE(frame->GetPlacement().IsActive());

    const QPoint chest = Chest();
    const Vec3 before = BodyPointAt(chest);
    const double zBefore = TheViewState().GetCamera().GetZ();
    QWheelEvent wheel(chest, View().mapToGlobal(chest), {}, QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&View(), &wheel);
    EXPECT_LT(TheViewState().GetCamera().GetZ(), zBefore);
    const Vec3 after = BodyPointAt(chest);
    EXPECT_NEAR(after.x, before.x, 2e-3); // the same spot stays under the pointer
    EXPECT_NEAR(after.y, before.y, 2e-3);
    QTest::keyClick(&View(), 'f'); // the standard view puts the camera back
    EXPECT_DOUBLE_EQ(TheViewState().GetCamera().GetZ(), 2.5);
}

// "Moves with the arm" follows the part the IN click lies on, and the trajectory made from the
// clicks is one edit that Ctrl+Z takes back.
TEST_F(PlacePointsTest, TheInPartSetsMovesWithTheArmAndTheResultUndoes) {
    std::optional<QPoint> arm;
    for (int x = 0; x < View().width() / 2 && !arm; x += 2) {
        const QPoint at(x, Chest().y() + 40);
        const auto hit = BodySurfaceAt(TheCase().GetBody(), TheViewState().GetCamera(),
                                       View().width(), View().height(), at.x() + 0.5, at.y() + 0.5);
        if (hit && (hit->group == "right_arm" || hit->group == "right_forearm")) {
            arm = at;
        }
    }
    ASSERT_TRUE(arm) << "no pixel of the right arm in the front view";

    QTest::keyClick(&View(), 'c');
    std::vector<bool> checked;
    const auto placePair = [&](QPoint in, QPoint out) {
        WhenModal<NewTrajectoryDialog>([&](NewTrajectoryDialog& d) {
            checked.push_back(Child<QCheckBox>(d, "withArmBox").isChecked());
            Child<QPushButton>(d, "computeButton").click();
        });
        Click(in);
        Click(out);
    };
    placePair(*arm, Belly());
    placePair(Chest(), *arm);
    EXPECT_EQ(checked, std::vector<bool>({true, false}));
    ASSERT_EQ(TheCase().GetTrajectoryCount(), 2);
    EXPECT_TRUE(TheCase().GetTrajectory(0)->GetWithArm());
    EXPECT_FALSE(TheCase().GetTrajectory(1)->GetWithArm());

    QTest::keyClick(&View(), Qt::Key_Escape);
    QTest::keyClick(&View(), Qt::Key_Z, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(TheCase().GetTrajectoryCount(), 1);
}
