#include "CtPhantom.h"
#include "DialogsTestSupport.h"
#include "MainWindowFixture.h"

#include "ct/CtMetal.h"
#include "support/CtPhantomScan.h"
#include "ui/CtMetalList.h"
#include "ui/CtSliceDock.h"

#include <QPushButton>
#include <QTreeWidget>
#include <QUndoStack>

namespace {

// The cylinder phantom with its one metal bead found in the phantom scan's body frame.
std::shared_ptr<const CtScan> MetalPhantomScan() {
    std::shared_ptr<CtScan> scan = ReadCtPhantomScan();
    if (!scan || !FindCtMetal(*scan, CtMetalOptions(), scan->metal)) {
        return nullptr;
    }
    return scan;
}

class CtMetalListTest : public MainWindowFixture {
protected:
    CtSliceDock& Dock() { return frame->GetSliceDock(); }
    CtMetalList& List() { return Dock().GetMetalList(); }

    void LoadMetalScan(std::shared_ptr<const CtScan> scan) {
        Case fresh = TheCase();
        fresh.ct.folder = scan ? "phantom" : "";
        fresh.ct.scan = std::move(scan);
        Editor().Replace(fresh);
        QApplication::processEvents();
    }
};

void ExpectAtCentroid(const Vec3& metres, const Vec3& centroidCm) {
    EXPECT_NEAR(metres.x, centroidCm.x / 100, 1e-9);
    EXPECT_NEAR(metres.y, centroidCm.y / 100, 1e-9);
    EXPECT_NEAR(metres.z, centroidCm.z / 100, 1e-9);
}

} // namespace

// The dock lists the scan's metal; choosing an object shows the slices through it, and "Place
// point here" (or a double-click) puts IN or OUT of the selected trajectory (one edit Undo takes
// back), or the next point in Place points, at its centroid; the list empties with the scan.
TEST_F(CtMetalListTest, ListsTheMetalAndPlacesPointsAtIt) {
    const std::shared_ptr<const CtScan> scan = MetalPhantomScan();
    ASSERT_NE(scan, nullptr);
    ASSERT_EQ(scan->metal.size(), 1u);
    const CtMetalObject& bead = scan->metal[0];
    const int number = AddTrajectory();
    LoadMetalScan(scan);
    ASSERT_EQ(List().RowCount(), 1);
    QTreeWidgetItem* row = List().Table().topLevelItem(0);
    EXPECT_EQ(row->text(0), "1");
    EXPECT_EQ(row->text(1), QStringLiteral("%1, %2, %3")
                                .arg(bead.centroidBody.x, 0, 'f', 2)
                                .arg(bead.centroidBody.y, 0, 'f', 2)
                                .arg(bead.centroidBody.z, 0, 'f', 2));
    EXPECT_EQ(row->text(2), QString::number(bead.volumeMm3, 'f', 1));
    EXPECT_EQ(row->text(4), QString::number(bead.peakHu));
    auto& place = Child<QPushButton>(Dock(), "placeAtMetalButton");
    EXPECT_FALSE(place.isEnabled());

    Dock().Scroll(-20);
    List().ChooseRow(0);
    EXPECT_TRUE(place.isEnabled());
    EXPECT_EQ(Dock().GetSlice(),
              CtSlicer(*scan, Dock().GetOrientation()).SliceThrough(bead.centroidBody));

    // Nothing selected: nothing moves.
    const Trajectory before = TrajectoryNumbered(number);
    QUndoStack& undo = frame->GetUndoStack();
    const int edits = undo.count();
    place.click();
    EXPECT_EQ(TrajectoryNumbered(number), before);
    EXPECT_EQ(undo.count(), edits);

    TheViewState().SelectTrajectory(number);
    place.click();
    ExpectAtCentroid(TrajectoryNumbered(number).in, bead.centroidBody);
    EXPECT_EQ(TrajectoryNumbered(number).out, before.out);
    Dock().ChoosePlacedPoint(CtSliceDock::PlacedPoint::Out);
    place.click();
    ExpectAtCentroid(TrajectoryNumbered(number).out, bead.centroidBody);
    EXPECT_EQ(undo.count(), edits + 2);
    undo.undo();
    undo.undo();
    EXPECT_EQ(TrajectoryNumbered(number), before);
    // A double-click on the row does what the button does.
    emit List().Table().itemDoubleClicked(row, 1);
    ExpectAtCentroid(TrajectoryNumbered(number).out, bead.centroidBody);
    undo.undo();
    EXPECT_EQ(TrajectoryNumbered(number), before);

    frame->GetPointPicking().Enter();
    Dock().PlaceAtMetal(0);
    ASSERT_EQ(TheViewState().GetSurfaceMarkers().size(), 1u);
    ExpectAtCentroid(TheViewState().GetSurfaceMarkers().front(), bead.centroidBody);
    Dock().PlaceAtMetal(7); // no such row: nothing
    EXPECT_EQ(TheViewState().GetSurfaceMarkers().size(), 1u);
    frame->GetPointPicking().Leave();

    LoadMetalScan(nullptr);
    EXPECT_EQ(List().RowCount(), 0);
}

// A click on a metal ball in the view does what "Place point here" does: IN of the selected
// trajectory at the object's centroid (one edit, the selection kept), the next point in Place
// points; while the opaque skin hides the balls a click there is an ordinary pick.
TEST_F(CtMetalListTest, AClickOnAMetalBallInTheViewPlacesAPointAtIt) {
    std::shared_ptr<CtScan> scan = ReadCtPhantomScan();
    ASSERT_NE(scan, nullptr);
    // A ball 2 cm across in the trunk of the window's body, 10 cm before its back.
    CtMetalObject ball;
    ball.centroidBody = {0, 110, 10};
    ball.hasBodyCentroid = true;
    ball.volumeMm3 = 33510.3;
    ball.peakHu = 3071;
    scan->metal = {ball};
    const int number = AddTrajectory();
    LoadMetalScan(scan);
    TheViewState().SelectTrajectory(number);
    TheViewState().ToggleBodyTransparency();
    const Trajectory before = TrajectoryNumbered(number);
    QUndoStack& undo = frame->GetUndoStack();
    const int edits = undo.count();
    const QPoint onBall = Project(0, 1.10, 0.10);

    QTest::mouseClick(&View(), Qt::LeftButton, Qt::NoModifier, onBall);
    ExpectAtCentroid(TrajectoryNumbered(number).in, ball.centroidBody);
    EXPECT_EQ(TrajectoryNumbered(number).out, before.out);
    EXPECT_EQ(undo.count(), edits + 1);
    EXPECT_EQ(TheViewState().GetSelectedTrajectoryNumber(), number);
    EXPECT_EQ(List().CurrentRow(), 0);

    frame->GetPointPicking().Enter();
    QTest::mouseClick(&View(), Qt::LeftButton, Qt::NoModifier, onBall);
    ASSERT_EQ(TheViewState().GetSurfaceMarkers().size(), 1u);
    ExpectAtCentroid(TheViewState().GetSurfaceMarkers().front(), ball.centroidBody);
    // The second press of a double-click places no second point at the same object.
    bool asked = false;
    WhenModal<QDialog>([&](QDialog&) { asked = true; });
    QMouseEvent twice(QEvent::MouseButtonDblClick, onBall, View().mapToGlobal(onBall),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&View(), &twice);
    QApplication::processEvents();
    EXPECT_FALSE(asked);
    EXPECT_EQ(TheViewState().GetSurfaceMarkers().size(), 1u);
    frame->GetPointPicking().Leave();

    TheViewState().ToggleBodyTransparency();
    Dock().ChoosePlacedPoint(CtSliceDock::PlacedPoint::Out);
    QTest::mouseClick(&View(), Qt::LeftButton, Qt::NoModifier, onBall);
    EXPECT_EQ(TrajectoryNumbered(number).out, before.out);
    EXPECT_EQ(undo.count(), edits + 1);
}
