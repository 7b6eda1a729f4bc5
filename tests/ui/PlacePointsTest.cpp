#include "DialogsTestSupport.h"
#include "MainWindowFixture.h"

#include "ui/DialogInput.h"
#include "ui/NewTrajectoryDialog.h"
#include "ui/PointPicking.h"
#include "view/SurfacePicking.h"

#include <QComboBox>
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
        const auto hit = BodySurfaceAt(Editor().GetPosed(), TheViewState().GetCamera(),
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
    ASSERT_TRUE(frame->GetPointPicking().IsActive());
    EXPECT_TRUE(Status().startsWith("Place points")) << Status().toStdString();

    Click({3, 3});
    EXPECT_EQ(Status(), "No body surface under the pointer.");
    EXPECT_TRUE(TheViewState().GetSurfaceMarkers().empty());

    const Vec3 in = BodyPointAt(Chest());
    Click(Chest());
    ASSERT_EQ(TheViewState().GetSurfaceMarkers().size(), 1u);
    EXPECT_EQ(Status(),
              "IN at " + PointPicking::PointText(in) + " (trunk). Click the exit point OUT.");

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
    EXPECT_EQ(TheCase().TrajectoryCount(), 0);
    EXPECT_TRUE(frame->GetPointPicking().IsActive());

    QTest::keyClick(&View(), 'f');
    const Vec3 second = BodyPointAt(Belly());
    Click(Chest());
    WhenModal<NewTrajectoryDialog>(
        [](NewTrajectoryDialog& d) { Child<QPushButton>(d, "computeButton").click(); });
    Click(Belly());
    ASSERT_EQ(TheCase().TrajectoryCount(), 1);
    const Trajectory& made = TrajectoryNumbered(1);
    EXPECT_NEAR(made.in.x, in.x, 1e-4);
    EXPECT_NEAR(made.out.y, second.y, 1e-4);
    EXPECT_NEAR(made.out.z, second.z, 1e-4);
    EXPECT_TRUE(TheViewState().GetSurfaceMarkers().empty());

    Click(Chest());
    QTest::keyClick(&View(), Qt::Key_Escape);
    EXPECT_FALSE(frame->GetPointPicking().IsActive());
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
    EXPECT_TRUE(frame->GetPointPicking().IsActive());

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

// Each click gives its point the part of the triangle clicked; on the posed body the point is
// kept where that place lies at rest. The trajectory made from the clicks is one edit that Ctrl+Z
// takes back.
TEST_F(PlacePointsTest, ClickedPointsTakeTheirPartAndAreKeptAtRest) {
    // The forearms held out in front: the front view shows them over the trunk.
    Posture posture;
    posture.Set(skeleton::Joint::RightShoulder, {0, 60, 0});
    posture.Set(skeleton::Joint::RightElbow, {0, 30, 0});
    Editor().EditBody("Posture", [&posture](Body& body) { body.SetPosture(posture); });
    const PosedCase& shown = Editor().GetPosed();
    std::optional<QPoint> forearm;
    std::optional<SurfaceHit> forearmHit;
    for (int y = 0; y < View().height() && !forearm; y += 2) {
        for (int x = 0; x < View().width() / 2 && !forearm; x += 2) {
            const auto hit = BodySurfaceAt(shown, TheViewState().GetCamera(), View().width(),
                                           View().height(), x + 0.5, y + 0.5);
            if (hit && hit->group == "right_forearm") {
                forearm = QPoint(x, y);
                forearmHit = hit;
            }
        }
    }
    ASSERT_TRUE(forearm) << "no pixel of the right forearm in the front view";
    const PosedBody& body = shown.GetBody();
    const Vec3 rest = body.RestPointOf(*forearmHit);
    // At rest the forearm hangs: the point is far from where the posed forearm was clicked, and
    // the posture carries it back there.
    EXPECT_GT(std::fabs(rest.z - forearmHit->point.z), 0.05);
    const Vec3 posed = body.PosePoint(rest, "right_forearm");
    EXPECT_NEAR(posed.x, forearmHit->point.x, 1e-3);
    EXPECT_NEAR(posed.y, forearmHit->point.y, 1e-3);
    EXPECT_NEAR(posed.z, forearmHit->point.z, 1e-3);

    QTest::keyClick(&View(), 'c');
    QStringList fields;
    WhenModal<NewTrajectoryDialog>([&](NewTrajectoryDialog& d) {
        for (const char* name : {"inX", "inY", "inZ"}) {
            fields << Field(d, name);
        }
        fields << Child<QComboBox>(d, "inPartBox").currentText()
               << Child<QComboBox>(d, "outPartBox").currentText();
        Child<QPushButton>(d, "computeButton").click();
    });
    Click(*forearm);
    EXPECT_TRUE(Status().contains("(right_forearm)")) << Status().toStdString();
    Click(Belly());
    EXPECT_EQ(fields, QStringList({Cm(rest.x), Cm(rest.y), Cm(rest.z), "right_forearm", "trunk"}));
    ASSERT_EQ(TheCase().TrajectoryCount(), 1);
    const Trajectory& made = TrajectoryNumbered(1);
    EXPECT_EQ(made.inPart, "right_forearm");
    EXPECT_EQ(made.outPart, "trunk");
    EXPECT_NEAR(made.in.z, rest.z, 1e-4);
    // The view's posed case carries the new trajectory's IN back to where it was clicked.
    const PosedTrajectory& drawn = *Editor().GetPosed().TrajectoryNumbered(1);
    EXPECT_NEAR(drawn.in.x, forearmHit->point.x, 1.5e-3);
    EXPECT_NEAR(drawn.in.y, forearmHit->point.y, 1.5e-3);
    EXPECT_NEAR(drawn.in.z, forearmHit->point.z, 1.5e-3);

    QTest::keyClick(&View(), Qt::Key_Escape);
    QTest::keyClick(&View(), Qt::Key_Z, Qt::ControlModifier);
    QApplication::processEvents();
    EXPECT_EQ(TheCase().TrajectoryCount(), 0);
}
