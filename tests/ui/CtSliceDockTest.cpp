#include "CtPhantom.h"
#include "DialogsTestSupport.h"
#include "MainWindowFixture.h"

#include "support/CtPhantomScan.h"
#include "ui/CtSliceCanvas.h"
#include "ui/CtSliceDock.h"
#include "ui/NewTrajectoryDialog.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QUndoStack>
#include <QWheelEvent>

namespace {

// The CT phantom, scanned prone, small and with unequal spacings.
std::shared_ptr<const CtScan> DockPhantomScan() {
    CtPhantomOptions options;
    options.posture = CtPhantomPosture::HeadFirstProne;
    options.size = {48, 40, 30};
    options.pixelSpacing = {2.5, 3};
    options.sliceGap = 4;
    return ReadCtPhantomScan(options);
}

class CtSliceDockTest : public MainWindowFixture {
protected:
    CtSliceDock& Dock() { return frame->GetSliceDock(); }
    CtSliceCanvas& Canvas() { return Dock().GetCanvas(); }
    QString Status() { return frame->statusBar()->currentMessage(); }

    // Gives the case the scan, as reading a case whose body is a CT series does.
    void LoadScan(std::shared_ptr<const CtScan> scan) {
        Case fresh = TheCase();
        fresh.ct.folder = scan ? "phantom" : "";
        fresh.ct.scan = std::move(scan);
        Editor().Replace(fresh);
        QApplication::processEvents();
    }

    // A left click on pixel (x, y) of the slice's picture.
    void ClickPixel(int x, int y) {
        const QPointF at = Canvas().WidgetPoint(x + 0.5, y + 0.5);
        QTest::mouseClick(&Canvas(), Qt::LeftButton, Qt::NoModifier, at.toPoint());
    }

    void Wheel(int delta) {
        const QPointF at(Canvas().width() / 2.0, Canvas().height() / 2.0);
        QWheelEvent event(at, Canvas().mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&Canvas(), &event);
    }

    // The body point (metres) of pixel (x, y) of the slice the dock shows.
    Vec3 VoxelMetres(const CtScan& scan, int x, int y) {
        const Vec3 cm =
            CtSlicer(scan, Dock().GetOrientation()).VoxelCentre(Dock().GetSlice(), x, y);
        return {cm.x / 100, cm.y / 100, cm.z / 100};
    }
};

void ExpectSamePoint(const Vec3& a, const Vec3& b) {
    EXPECT_NEAR(a.x, b.x, 1e-9);
    EXPECT_NEAR(a.y, b.y, 1e-9);
    EXPECT_NEAR(a.z, b.z, 1e-9);
}

} // namespace

// The dock comes with the scan and goes with it; it scrolls by the wheel and Page Up/Down within
// the volume, shows where it is, changes orientation and window, and draws the trajectories.
TEST_F(CtSliceDockTest, FollowsTheScanAndScrollsWithinIt) {
    EXPECT_FALSE(Dock().isVisible());
    EXPECT_FALSE(Dock().HasScan());
    const std::shared_ptr<const CtScan> scan = DockPhantomScan();
    ASSERT_NE(scan, nullptr);
    LoadScan(scan);
    ASSERT_TRUE(Dock().isVisible());
    ASSERT_TRUE(Dock().HasScan());
    EXPECT_EQ(Dock().GetOrientation(), CtSliceOrientation::Axial);
    EXPECT_EQ(Dock().GetSlice(), 15);
    auto& position = Child<QLabel>(Dock(), "positionLabel");
    EXPECT_TRUE(position.text().startsWith("Axial slice 16 of 30, y "))
        << position.text().toStdString();

    Wheel(120);
    EXPECT_EQ(Dock().GetSlice(), 16);
    Wheel(60); // half a notch: not yet a step
    EXPECT_EQ(Dock().GetSlice(), 16);
    Wheel(60);
    EXPECT_EQ(Dock().GetSlice(), 17);
    Canvas().setFocus();
    QTest::keyClick(&Canvas(), Qt::Key_PageDown);
    QTest::keyClick(&Canvas(), Qt::Key_PageDown);
    QTest::keyClick(&Canvas(), Qt::Key_PageDown);
    EXPECT_EQ(Dock().GetSlice(), 14);
    Wheel(120 * 40);
    EXPECT_EQ(Dock().GetSlice(), 29);
    EXPECT_TRUE(position.text().startsWith("Axial slice 30 of 30, y "));
    QTest::keyClick(&Canvas(), Qt::Key_PageUp);
    EXPECT_EQ(Dock().GetSlice(), 29);

    // Sagittal slices run across the body's left-right axis: 48 voxels of the prone scan's rows.
    Child<QTabBar>(Dock(), "orientationTabs").setCurrentIndex(2);
    EXPECT_EQ(Dock().GetOrientation(), CtSliceOrientation::Sagittal);
    EXPECT_TRUE(position.text().startsWith("Sagittal slice 25 of 48, x "))
        << position.text().toStdString();
    Child<QComboBox>(Dock(), "presetBox").setCurrentIndex(3);
    EXPECT_EQ(Dock().GetPreset(), CtWindowPreset::Air);
    // Scrolled past the end of the air channel (10 mm left of the middle), the picture is drawn
    // once the waiting events are handled: the slicer's own.
    Wheel(120 * 5);
    EXPECT_EQ(Dock().GetSlice(), 29);
    QApplication::processEvents();
    CtSliceImage expected;
    CtSlicer(*scan, CtSliceOrientation::Sagittal)
        .Draw(29, WindowOfPreset(CtWindowPreset::Air), expected);
    const QImage& shown = Canvas().GetPicture();
    ASSERT_EQ(shown.width(), 40); // the prone scan's 40 rows run front to back
    ASSERT_EQ(shown.height(), 30);
    int differing = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            differing += qGray(shown.pixel(x, y)) != expected.grey[y * 40 + x];
        }
    }
    EXPECT_EQ(differing, 0);
    Wheel(-120 * 5);

    // A trajectory across the sagittal plane is drawn there once the case has it.
    const Vec3 middle = VoxelMetres(*scan, 10, 10);
    AddTrajectory([&](Trajectory& t) {
        t.in = {middle.x - 0.05, middle.y, middle.z};
        t.out = {middle.x + 0.05, middle.y, middle.z};
    });
    ASSERT_EQ(Canvas().GetTracks().size(), 1u);
    const CtSliceTrack& track = Canvas().GetTracks().front().track;
    EXPECT_TRUE(track.inSlice);
    EXPECT_NEAR(track.in.x, 10.5, 1e-6);
    EXPECT_NEAR(track.in.offsetMm, -50, 1e-6);

    LoadScan(nullptr);
    EXPECT_FALSE(Dock().isVisible());
    EXPECT_FALSE(Dock().HasScan());
    EXPECT_TRUE(Canvas().GetTracks().empty());
}

// A click places IN or OUT of the selected trajectory at the voxel's centre as one edit that
// Undo takes back; with nothing selected it only says how; in "Place points" two clicks make
// the pair the new trajectory starts from.
TEST_F(CtSliceDockTest, ClicksPlacePointsAtVoxelCentresThroughTheEditor) {
    const std::shared_ptr<const CtScan> scan = DockPhantomScan();
    ASSERT_NE(scan, nullptr);
    const int number = AddTrajectory();
    LoadScan(scan);
    Child<QTabBar>(Dock(), "orientationTabs").setCurrentIndex(1); // coronal
    const Trajectory before = TrajectoryNumbered(number);
    QUndoStack& undo = frame->GetUndoStack();
    const int edits = undo.count();

    ClickPixel(20, 12);
    EXPECT_EQ(Status(), "Select a trajectory, or choose Place points, to place a point on the "
                        "slice.");
    EXPECT_EQ(TrajectoryNumbered(number), before);

    TheViewState().SelectTrajectory(number);
    const Vec3 in = VoxelMetres(*scan, 20, 12);
    ClickPixel(20, 12);
    ExpectSamePoint(TrajectoryNumbered(number).in, in);
    ExpectSamePoint(TrajectoryNumbered(number).out, before.out);
    EXPECT_FALSE(TrajectoryNumbered(number).inPart.empty());
    EXPECT_FALSE(TrajectoryNumbered(number).outPart.empty());
    EXPECT_TRUE(Status().startsWith("IN of trajectory 1 at ")) << Status().toStdString();
    Child<QComboBox>(Dock(), "placedBox").setCurrentIndex(1);
    Dock().Scroll(-2);
    const Vec3 out = VoxelMetres(*scan, 30, 25);
    ClickPixel(30, 25);
    ExpectSamePoint(TrajectoryNumbered(number).out, out);
    EXPECT_EQ(undo.count(), edits + 2);
    // "Go to it" shows the slices through the point a click places: OUT, here.
    Dock().Scroll(10);
    Child<QPushButton>(Dock(), "goToPointButton").click();
    EXPECT_EQ(Dock().GetSlice(), CtSlicer(*scan, CtSliceOrientation::Coronal)
                                     .SliceThrough({out.x * 100, out.y * 100, out.z * 100}));
    ExpectSamePoint(VoxelMetres(*scan, 30, 25), out);
    undo.undo();
    ExpectSamePoint(TrajectoryNumbered(number).out, before.out);
    undo.undo();
    EXPECT_EQ(TrajectoryNumbered(number), before);

    frame->GetPointPicking().Enter();
    ClickPixel(5, 5);
    ASSERT_EQ(TheViewState().GetSurfaceMarkers().size(), 1u);
    ExpectSamePoint(TheViewState().GetSurfaceMarkers().front(), VoxelMetres(*scan, 5, 5));
    Dock().Scroll(1);
    const Vec3 second = VoxelMetres(*scan, 40, 20);
    WhenModal<NewTrajectoryDialog>(
        [](NewTrajectoryDialog& d) { Child<QPushButton>(d, "computeButton").click(); });
    ClickPixel(40, 20);
    ASSERT_EQ(TheCase().TrajectoryCount(), 2);
    const Trajectory& made = TrajectoryNumbered(2);
    EXPECT_NEAR(made.in.x, VoxelMetres(*scan, 5, 5).x, 1e-4); // the dialog keeps 0.01 cm
    EXPECT_NEAR(made.out.x, second.x, 1e-4);
    EXPECT_NEAR(made.out.y, second.y, 1e-4);
    EXPECT_NEAR(made.out.z, second.z, 1e-4);
    EXPECT_TRUE(TheViewState().GetSurfaceMarkers().empty());
}

// "A point between" adds a click as a point of the selected trajectory where it lies along the
// track, on the part nearest to it, as one edit Undo takes back; a trajectory that holds as many
// points as it may is left as it is, and the status bar says why.
TEST_F(CtSliceDockTest, ClicksBetweenInAndOutAddPointsInOrderAlongTheTrack) {
    const std::shared_ptr<const CtScan> scan = DockPhantomScan();
    ASSERT_NE(scan, nullptr);
    const int number = AddTrajectory();
    LoadScan(scan);
    Child<QTabBar>(Dock(), "orientationTabs").setCurrentIndex(1); // coronal
    const Vec3 in = VoxelMetres(*scan, 5, 12);
    const Vec3 out = VoxelMetres(*scan, 40, 12);
    Editor().EditTrajectory(number, "Test", [&](Trajectory& t) {
        t.in = in;
        t.out = out;
    });
    TheViewState().SelectTrajectory(number);
    Child<QComboBox>(Dock(), "placedBox").setCurrentIndex(2);
    EXPECT_EQ(Dock().GetPlacedPoint(), CtSliceDock::PlacedPoint::Between);
    QUndoStack& undo = frame->GetUndoStack();
    const int edits = undo.count();

    const Vec3 far = VoxelMetres(*scan, 30, 12);
    const Vec3 near = VoxelMetres(*scan, 15, 14);
    ClickPixel(30, 12);
    ClickPixel(15, 14); // nearer IN: goes before the first
    const Trajectory& placed = TrajectoryNumbered(number);
    ASSERT_EQ(placed.points.size(), 2u);
    ExpectSamePoint(placed.points[0].point, near);
    ExpectSamePoint(placed.points[1].point, far);
    EXPECT_EQ(placed.points[0].part, TheCase().body.PartNearest(near));
    EXPECT_FALSE(placed.points[0].part.empty());
    EXPECT_EQ(placed.points[0].radius, TrackPoint::kDefaultRadius);
    ExpectSamePoint(placed.in, in);
    ExpectSamePoint(placed.out, out);
    EXPECT_TRUE(Status().startsWith("Point 1 of trajectory 1 at ")) << Status().toStdString();
    EXPECT_EQ(undo.count(), edits + 2);
    // The slice shows both where they were clicked.
    ASSERT_EQ(Canvas().GetTracks().size(), 1u);
    const std::vector<CtSlicePoint>& shown = Canvas().GetTracks()[0].stops;
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_NEAR(shown[0].x, 15.5, 1e-6);
    EXPECT_NEAR(shown[0].y, 14.5, 1e-6);
    EXPECT_NEAR(shown[1].x, 30.5, 1e-6);
    EXPECT_NEAR(shown[0].offsetMm, 0, 1e-6);
    undo.undo();
    ASSERT_EQ(TrajectoryNumbered(number).points.size(), 1u);
    EXPECT_EQ(Canvas().GetTracks()[0].stops.size(), 1u);
    ExpectSamePoint(TrajectoryNumbered(number).points[0].point, far);

    Editor().EditTrajectory(number, "Test", [&](Trajectory& t) {
        t.points.assign(Trajectory::kMaxTrackPoints, TrackPoint{far, 0.01, ""});
    });
    const Trajectory full = TrajectoryNumbered(number);
    ClickPixel(20, 12);
    EXPECT_EQ(TrajectoryNumbered(number), full);
    EXPECT_TRUE(Status().contains("already holds 20 points")) << Status().toStdString();
}
