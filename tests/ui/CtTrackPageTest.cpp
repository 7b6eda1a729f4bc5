#include "CtPhantom.h"
#include "DialogsTestSupport.h"
#include "MainWindowFixture.h"

#include "support/CtPhantomScan.h"
#include "ui/CtSliceCanvas.h"
#include "ui/CtSliceDock.h"
#include "ui/CtTrackPage.h"

#include <QDoubleSpinBox>
#include <QLabel>
#include <QSlider>
#include <QTabBar>
#include <QUndoStack>
#include <QWheelEvent>

namespace {

// IN and OUT (metres) across the middle of the cylinder phantom, whose body frame puts its middle
// at x 0, y 7 cm, z 5 cm: 6 cm left to right, rising 2 cm.
const Vec3 kTrackIn{-0.03, 0.06, 0.05};
const Vec3 kTrackOut{0.03, 0.08, 0.05};

Vec3 TrackCentimetres(const Vec3& metres) {
    return {metres.x * 100, metres.y * 100, metres.z * 100};
}

class CtTrackPageTest : public MainWindowFixture {
protected:
    CtSliceDock& Dock() { return frame->GetSliceDock(); }
    CtTrackPage& Page() { return Dock().GetTrackPage(); }

    void LoadTrackScan(std::shared_ptr<const CtScan> scan) {
        Case fresh = TheCase();
        fresh.ct.folder = "phantom";
        fresh.ct.scan = std::move(scan);
        Editor().Replace(fresh);
        QApplication::processEvents();
    }

    // A trajectory from kTrackIn to kTrackOut in a case whose body is `scan`; its number.
    int AddTrackOn(std::shared_ptr<const CtScan> scan) {
        const int number = AddTrajectory([](Trajectory& t) {
            t.in = kTrackIn;
            t.out = kTrackOut;
        });
        LoadTrackScan(std::move(scan));
        return number;
    }

    // The widget point of a body point (cm) on the track picture.
    QPoint OnTrackPicture(const Vec3& bodyCm) {
        const CtSlicePoint at = PicturePointOfBody(Page().TrackPicturePlane(), bodyCm);
        return Page().TrackCanvas().WidgetPoint(at.x, at.y).toPoint();
    }

    void MoveOn(QWidget& widget, QPoint to) {
        QMouseEvent move(QEvent::MouseMove, to, widget.mapToGlobal(to), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&widget, &move);
    }
};

// Pixels of the canvas's picture that differ from the image.
int DifferingPixels(const QImage& shown, const CtSliceImage& expected) {
    if (shown.width() != expected.width || shown.height() != expected.height) {
        return -1;
    }
    int differing = 0;
    for (int y = 0; y < shown.height(); ++y) {
        for (int x = 0; x < shown.width(); ++x) {
            differing += qGray(shown.pixel(x, y)) != expected.grey[y * expected.width + x];
        }
    }
    return differing;
}

} // namespace

// The Track tab shows the selected trajectory's planes as the oblique slicer draws them, follows
// the selection, and redraws the picture across the track where the slider or the wheel puts
// it, with the slab and the window chosen.
TEST_F(CtTrackPageTest, ShowsTheSelectedTracksPlanes) {
    const std::shared_ptr<const CtScan> scan = ReadCtPhantomScan();
    ASSERT_NE(scan, nullptr);
    const int number = AddTrackOn(scan);
    Child<QTabBar>(Dock(), "orientationTabs").setCurrentIndex(3);
    ASSERT_TRUE(Dock().IsShowingTrack());
    auto& description = Child<QLabel>(Page(), "trackDescriptionLabel");
    EXPECT_EQ(description.text(), "Select a trajectory to see its track.");
    EXPECT_TRUE(Page().TrackCanvas().GetPicture().isNull());

    TheViewState().SelectTrajectory(number);
    Dock().FollowSelection();
    EXPECT_TRUE(
        description.text().startsWith("Trajectory 1: 6.3 cm from IN to OUT; across at 50 %"))
        << description.text().toStdString();
    CtObliqueOptions options;
    options.slabMm = 6;
    CtObliquePlane plane;
    ASSERT_TRUE(TrackPlane(scan->volume, TrackCentimetres(kTrackIn), TrackCentimetres(kTrackOut),
                           options, plane));
    CtObliqueSlicer slicer(*scan);
    CtSliceImage expected;
    slicer.Draw(plane, WindowOfPreset(CtWindowPreset::SoftTissue), expected);
    EXPECT_EQ(DifferingPixels(Page().TrackCanvas().GetPicture(), expected), 0);
    // IN and OUT lie in the plane: rings filled, the segment thick.
    ASSERT_EQ(Page().TrackCanvas().GetTracks().size(), 1u);
    const CtSliceTrack along = Page().TrackCanvas().GetTracks().front().track;
    EXPECT_NEAR(along.in.offsetMm, 0, 1e-9);
    EXPECT_NEAR(along.in.y, plane.height / 2.0, 1e-6);
    EXPECT_LT(along.in.x, along.out.x);
    EXPECT_FALSE(Page().TrackCanvas().GetGuide().isNull());

    // A point between IN and OUT, 1 mm off their line: a square on both pictures and on the
    // slices. The plane along the track now holds the line fitted through all three, which the
    // point's equal weight draws a third of the way toward it: the point lies 2/3 mm off the
    // plane, IN and OUT 1/3 mm the other way, and the picture is drawn once more.
    const int drawsBeforePoint = Page().TrackDraws();
    Editor().EditTrajectory(number, "Add a point", [](Trajectory& t) {
        TrackPoint stop;
        stop.point = {0, 0.07, 0.051};
        t.points.push_back(stop);
    });
    ASSERT_EQ(Page().TrackCanvas().GetTracks().front().stops.size(), 1u);
    const CtSlicePoint stop = Page().TrackCanvas().GetTracks().front().stops.front();
    EXPECT_NEAR(std::abs(stop.offsetMm), 2.0 / 3.0, 1e-6);
    EXPECT_NEAR(std::abs(Page().TrackCanvas().GetTracks().front().track.in.offsetMm), 1.0 / 3.0,
                1e-6);
    EXPECT_NEAR(stop.x, (along.in.x + along.out.x) / 2, 1e-6);
    EXPECT_EQ(Page().CrossCanvas().GetTracks().front().stops.size(), 1u);
    EXPECT_EQ(Dock().GetCanvas().GetTracks().front().stops.size(), 1u);
    EXPECT_EQ(Page().TrackDraws(), drawsBeforePoint + 1);

    // A quarter of the way, then one wheel notch further (2 %), through the air window.
    const int trackDraws = Page().TrackDraws();
    Child<QSlider>(Page(), "trackFractionSlider").setValue(25);
    EXPECT_DOUBLE_EQ(Page().GetFraction(), 0.25);
    const QPointF middle(Page().CrossCanvas().width() / 2.0, Page().CrossCanvas().height() / 2.0);
    QWheelEvent wheel(middle, Page().CrossCanvas().mapToGlobal(middle), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&Page().CrossCanvas(), &wheel);
    EXPECT_NEAR(Page().GetFraction(), 0.27, 1e-12);
    EXPECT_EQ(Page().TrackDraws(), trackDraws) << "the plane along the track stays";
    Dock().ChoosePreset(CtWindowPreset::Air);
    ASSERT_TRUE(CrossPlane(scan->volume, TrackCentimetres(kTrackIn), TrackCentimetres(kTrackOut),
                           0.27, options, plane));
    slicer.Draw(plane, WindowOfPreset(CtWindowPreset::Air), expected);
    EXPECT_EQ(DifferingPixels(Page().CrossCanvas().GetPicture(), expected), 0);
    const CtSliceTrack across = Page().CrossCanvas().GetTracks().front().track;
    EXPECT_NEAR(across.in.x, plane.width / 2.0, 1e-6);
    EXPECT_NEAR(across.in.offsetMm, -0.27 * 63.2456, 1e-3);

    // The pointer over the middle of the picture across the track: on the track, 27 % along.
    const CtSliceCanvas& crossCanvas = Page().CrossCanvas();
    const QPointF centre = crossCanvas.WidgetPoint(plane.width / 2.0, plane.height / 2.0);
    QMouseEvent hover(QEvent::MouseMove, centre, Page().CrossCanvas().mapToGlobal(centre),
                      Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&Page().CrossCanvas(), &hover);
    const QString pointer = Child<QLabel>(Page(), "trackPointerLabel").text();
    EXPECT_TRUE(pointer.endsWith("; 1.7 cm along the track from IN, 0.0 mm from it") ||
                pointer.endsWith("; 1.7 cm along the track from IN, 1.4 mm from it"))
        << pointer.toStdString();

    // The slab: both pictures again.
    Child<QDoubleSpinBox>(Page(), "trackSlabBox").setValue(0);
    EXPECT_EQ(Page().GetSlabMm(), 0);
    EXPECT_EQ(Page().TrackPicturePlane().slabMm, 0);
    EXPECT_EQ(Page().TrackDraws(), trackDraws + 2); // the window, then the slab

    // Back to the slices, and the Track tab again: nothing drawn while nothing changed.
    Dock().ShowOrientation(CtSliceOrientation::Coronal);
    EXPECT_FALSE(Dock().IsShowingTrack());
    Dock().ShowTrack();
    EXPECT_EQ(Page().TrackDraws(), trackDraws + 2);
    TheViewState().ClearSelection();
    Dock().FollowSelection();
    EXPECT_TRUE(Page().TrackCanvas().GetPicture().isNull());
}

// IN dragged on the track picture moves within the plane shown, which stays while the picture
// across the track follows; the release makes one edit that Undo takes back, and the planes are
// cut again through the new track. A press away from IN and OUT drags nothing.
TEST_F(CtTrackPageTest, DraggingInMovesItWithinThePlaneAsOneEdit) {
    const std::shared_ptr<const CtScan> scan = ReadCtPhantomScan();
    ASSERT_NE(scan, nullptr);
    const int number = AddTrackOn(scan);
    TheViewState().SelectTrajectory(number);
    Dock().ShowTrack();
    const Trajectory before = TrajectoryNumbered(number);
    QUndoStack& undo = frame->GetUndoStack();
    const int edits = undo.count();
    CtSliceCanvas& canvas = Page().TrackCanvas();
    const CtObliquePlane held = Page().TrackPicturePlane();

    // Away from both points: nothing moves.
    const QPoint away = OnTrackPicture({0, 7, 5}) + QPoint(0, 40);
    QTest::mousePress(&canvas, Qt::LeftButton, Qt::NoModifier, away);
    MoveOn(canvas, away + QPoint(20, 0));
    QTest::mouseRelease(&canvas, Qt::LeftButton, Qt::NoModifier, away + QPoint(20, 0));
    EXPECT_FALSE(Page().IsDragging());
    EXPECT_EQ(undo.count(), edits);

    const int trackDraws = Page().TrackDraws(), crossDraws = Page().CrossDraws();
    const QPoint from = OnTrackPicture(TrackCentimetres(kTrackIn));
    const QPoint to = from + QPoint(-12, 9);
    QTest::mousePress(&canvas, Qt::LeftButton, Qt::NoModifier, from + QPoint(3, -2));
    ASSERT_TRUE(Page().IsDragging());
    MoveOn(canvas, to);
    MoveOn(canvas, to + QPoint(1, 0));
    MoveOn(canvas, to);
    QApplication::processEvents();
    EXPECT_EQ(Page().TrackDraws(), trackDraws) << "the plane is kept while dragging";
    EXPECT_EQ(Page().CrossDraws(), crossDraws + 1) << "one picture for the moves waiting";
    EXPECT_EQ(TrajectoryNumbered(number), before) << "no edit before the release";
    const QPointF picture = canvas.PicturePoint(to);
    const Vec3 expected = BodyOfPicturePoint(held, picture.x(), picture.y());
    const CtSlicePoint shown = canvas.GetTracks().front().track.in;
    EXPECT_NEAR(shown.x, picture.x(), 1e-9);
    EXPECT_NEAR(shown.y, picture.y(), 1e-9);

    QTest::mouseRelease(&canvas, Qt::LeftButton, Qt::NoModifier, to);
    EXPECT_FALSE(Page().IsDragging());
    EXPECT_EQ(undo.count(), edits + 1);
    const Trajectory& moved = TrajectoryNumbered(number);
    EXPECT_NEAR(moved.in.x * 100, expected.x, 1e-9);
    EXPECT_NEAR(moved.in.y * 100, expected.y, 1e-9);
    EXPECT_NEAR(moved.in.z * 100, expected.z, 1e-9);
    EXPECT_EQ(moved.out, before.out);
    EXPECT_FALSE(moved.inPart.empty());
    // Within the held plane: no farther from it than rounding.
    EXPECT_NEAR(PicturePointOfBody(held, expected).offsetMm, 0, 1e-9);
    EXPECT_EQ(Page().TrackDraws(), trackDraws + 1);
    EXPECT_NEAR(Page().TrackCanvas().GetTracks().front().track.in.y,
                Page().TrackPicturePlane().height / 2.0, 1e-6)
        << "the new plane holds the new track along its middle row";

    undo.undo();
    EXPECT_EQ(TrajectoryNumbered(number), before);
    EXPECT_EQ(Page().TrackDraws(), trackDraws + 2);

    // Escape gives a drag up: the point goes back, the release moves nothing.
    const int drawsBefore = Page().CrossDraws();
    const int undoIndex = undo.index();
    QTest::mousePress(&canvas, Qt::LeftButton, Qt::NoModifier, from);
    MoveOn(canvas, to);
    QTest::keyClick(&canvas, Qt::Key_Escape);
    EXPECT_FALSE(Page().IsDragging());
    EXPECT_EQ(Page().CrossDraws(), drawsBefore + 1);
    EXPECT_NEAR(canvas.GetTracks().front().track.in.x,
                PicturePointOfBody(Page().TrackPicturePlane(), TrackCentimetres(kTrackIn)).x, 1e-9);
    QTest::mouseRelease(&canvas, Qt::LeftButton, Qt::NoModifier, to);
    EXPECT_EQ(TrajectoryNumbered(number), before);
    EXPECT_EQ(undo.index(), undoIndex);

    // A change of the case during a drag (here an edit made elsewhere) leaves the drag: its
    // release moves nothing.
    QTest::mousePress(&canvas, Qt::LeftButton, Qt::NoModifier,
                      OnTrackPicture(TrackCentimetres(kTrackOut)));
    ASSERT_TRUE(Page().IsDragging());
    MoveOn(canvas, to);
    Editor().EditTrajectory(number, "Colour", [](Trajectory& t) { t.color = {0, 0, 1}; });
    EXPECT_FALSE(Page().IsDragging());
    MoveOn(canvas, to + QPoint(5, 5));
    QTest::mouseRelease(&canvas, Qt::LeftButton, Qt::NoModifier, to + QPoint(5, 5));
    EXPECT_EQ(TrajectoryNumbered(number).out, before.out);
    EXPECT_EQ(TrajectoryNumbered(number).in, before.in);
}
