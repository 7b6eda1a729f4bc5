#pragma once

#include "base/Matrix4.h"
#include "ct/CtScan.h"
#include "ct/CtSlicer.h"
#include "ct/CtWindow.h"

#include <QDockWidget>

#include <array>
#include <memory>

class CaseEditor;
class CtMetalList;
class CtSliceCanvas;
class CtTrackPage;
class PointPicking;
class QComboBox;
class QLabel;
class QStackedWidget;
class QTabBar;
class QTimer;
class ViewState;

// The slices dock beside the view: axial, coronal and sagittal slices of the case's CT scan,
// one orientation at a time, through a window preset, scrolled with the wheel and Page Up/Down,
// with the case's trajectories drawn where they cross the slice. A click on a voxel places a
// point at its centre in the body frame: the next point of the pair while "Place points" is on,
// otherwise IN, OUT or a point between them (as chosen) of the selected trajectory, as one edit
// that Undo takes back; a point between goes where it lies along the track, on the part nearest
// to it.
// Below the slice, the scan's metal objects: choosing one shows the slices through it, and
// "Place point here" places a point at its centroid as a click there would. It follows the case: a
// case without a scan leaves it empty, and each change redraws one slice at most, so that it never
// holds up the window. The "Track" tab shows instead the planes along and across the selected
// trajectory's track (CtTrackPage), on which IN and OUT are dragged to the channel.
class CtSliceDock : public QDockWidget {
    Q_OBJECT

public:
    // Which point of the selected trajectory a click places.
    enum class PlacedPoint { In, Out, Between };

    CtSliceDock(CaseEditor& editor, ViewState& view, PointPicking& pointPicking,
                QWidget* parent = nullptr);
    ~CtSliceDock() override;

    bool HasScan() const { return scan != nullptr; }
    CtSliceOrientation GetOrientation() const { return orientation; }
    void ShowOrientation(CtSliceOrientation value);
    // The "Track" tab: the selected trajectory's planes in place of the slices.
    void ShowTrack();
    bool IsShowingTrack() const { return showingTrack; }
    CtTrackPage& GetTrackPage() { return *trackPage; }
    // The selection may have changed (a pick in the view): the track shown follows it.
    void FollowSelection();
    CtWindowPreset GetPreset() const { return preset; }
    void ChoosePreset(CtWindowPreset value);
    PlacedPoint GetPlacedPoint() const { return placed; }
    void ChoosePlacedPoint(PlacedPoint value);

    // The slice shown, numbered from 0 along the normal (from the feet, the back, the right).
    int GetSlice() const { return slices[Index(orientation)]; }
    // Shows the slices through a body-frame point (cm) in every orientation.
    void ShowPoint(const Vec3& bodyCm);
    // Shows the slices through IN or OUT (as a click places) of the selected trajectory; on the
    // "Track" tab, the picture across the track there.
    void GoToSelectedPoint();
    // Moves the shown slice `steps` voxels along its normal, held to the volume.
    void Scroll(int steps);
    // What a click on pixel (x, y) of the picture does.
    void ClickPixel(int x, int y);

    // Shows the slices through the metal object in this row of the list (from 0).
    void ShowMetal(int row);
    // Places a point at the centroid of the metal object in this row, as a click there would.
    void PlaceAtMetal(int row);

    CtSliceCanvas& GetCanvas() { return *canvas; }
    CtMetalList& GetMetalList() { return *metalList; }
    // "Axial slice 41 of 80, y 45.20 cm": where the slice shown lies.
    QString PositionText() const;

signals:
    // A message for the status bar.
    void statusMessage(const QString& text);
    // The case's scan came or went: the window shows the dock while there is one.
    void scanChanged(bool present);

private:
    static int Index(CtSliceOrientation value) { return static_cast<int>(value); }
    void BuildControls(QWidget* content);
    // Takes the case's scan when it is another one.
    void FollowCase();
    // Draws the slice shown and what lies over it.
    void DrawSlice();
    // Draws it once the events already waiting are handled: a fast turn of the wheel draws one
    // slice for all its steps.
    void DrawSoon();
    void ShowTracks();
    void ShowPointer(int x, int y);
    // Places the next point of the pair, or IN or OUT of the selected trajectory, at a
    // body-frame point (metres).
    void PlacePoint(const Vec3& metres);
    void PlaceOnTrajectory(int number, const Vec3& metres);
    void PlaceBetween(int number, const Vec3& metres);
    void ShowMetalList();
    const CtSlicer& Slicer() const { return *slicers[Index(orientation)]; }

    CaseEditor& editor;
    ViewState& view;
    PointPicking& pointPicking;
    int listenerKey = 0;
    std::shared_ptr<const CtScan> scan;
    std::array<std::unique_ptr<CtSlicer>, 3> slicers;
    std::array<int, 3> slices{};
    CtSliceOrientation orientation = CtSliceOrientation::Axial;
    CtWindowPreset preset = CtWindowPreset::SoftTissue;
    PlacedPoint placed = PlacedPoint::In;
    bool showingTrack = false;
    CtSliceImage image; // reused from slice to slice
    QTabBar* orientationTabs = nullptr;
    QComboBox* presetBox = nullptr;
    QComboBox* placedBox = nullptr;
    CtSliceCanvas* canvas = nullptr;
    QLabel* positionLabel = nullptr;
    QLabel* pointerLabel = nullptr;
    QTimer* drawTimer = nullptr;
    CtMetalList* metalList = nullptr;
    QStackedWidget* pages = nullptr;
    CtTrackPage* trackPage = nullptr;
};
