#include "ui/CtSliceDock.h"

#include "case/Case.h"
#include "case/TrackPointPlace.h"
#include "edit/CaseEditor.h"
#include "edit/TrajectoryEndPlacing.h"
#include "ui/CtMetalList.h"
#include "ui/CtSliceCanvas.h"
#include "ui/CtTrackPage.h"
#include "ui/DialogInput.h"
#include "ui/PointPicking.h"
#include "view/ViewState.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kCentimetresPerMetre = 100;
constexpr int kMetalListHeight = 150; // pixels: about five rows, the slice keeps the rest
constexpr std::array<CtSliceOrientation, 3> kOrientations = {
    CtSliceOrientation::Axial, CtSliceOrientation::Coronal, CtSliceOrientation::Sagittal};
// The tab after the orientations'.
constexpr int kTrackTab = 3;

Vec3 ToCentimetres(const Vec3& metres) {
    return {metres.x * kCentimetresPerMetre, metres.y * kCentimetresPerMetre,
            metres.z * kCentimetresPerMetre};
}

Vec3 ToMetres(const Vec3& centimetres) {
    return {centimetres.x / kCentimetresPerMetre, centimetres.y / kCentimetresPerMetre,
            centimetres.z / kCentimetresPerMetre};
}

QString OrientationName(CtSliceOrientation orientation) {
    switch (orientation) {
    case CtSliceOrientation::Coronal:
        return QStringLiteral("Coronal");
    case CtSliceOrientation::Sagittal:
        return QStringLiteral("Sagittal");
    case CtSliceOrientation::Axial:
        break;
    }
    return QStringLiteral("Axial");
}

// The body-frame coordinate a slice's plane fixes: y for axial, z for coronal, x for sagittal.
QString PlaneText(CtSliceOrientation orientation, const Vec3& metres) {
    switch (orientation) {
    case CtSliceOrientation::Coronal:
        return QStringLiteral("z %1 cm").arg(CentimetreText(metres.z));
    case CtSliceOrientation::Sagittal:
        return QStringLiteral("x %1 cm").arg(CentimetreText(metres.x));
    case CtSliceOrientation::Axial:
        break;
    }
    return QStringLiteral("y %1 cm").arg(CentimetreText(metres.y));
}

QColor ColorOf(const Trajectory& trajectory) {
    const auto channel = [](double value) {
        return static_cast<int>(std::lround(std::clamp(value, 0.0, 1.0) * 255));
    };
    return {channel(trajectory.color.x), channel(trajectory.color.y), channel(trajectory.color.z)};
}

} // namespace

CtSliceDock::CtSliceDock(CaseEditor& theEditor, ViewState& theView, PointPicking& thePointPicking,
                         QWidget* parent)
    : QDockWidget(QStringLiteral("Slices"), parent), editor(theEditor), view(theView),
      pointPicking(thePointPicking) {
    setObjectName(QStringLiteral("ctSliceDock"));
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    auto* content = new QWidget(this);
    BuildControls(content);
    setWidget(content);
    drawTimer = new QTimer(this);
    drawTimer->setSingleShot(true);
    drawTimer->setInterval(0);
    connect(drawTimer, &QTimer::timeout, this, &CtSliceDock::DrawSlice);
    listenerKey = theEditor.AddListener([this](const CaseChange&) { FollowCase(); });
    FollowCase();
    DrawSlice();
}

CtSliceDock::~CtSliceDock() {
    editor.RemoveListener(listenerKey);
}

void CtSliceDock::BuildControls(QWidget* content) {
    auto* layout = new QVBoxLayout(content);
    orientationTabs = new QTabBar(content);
    orientationTabs->setObjectName(QStringLiteral("orientationTabs"));
    for (const CtSliceOrientation each : kOrientations) {
        orientationTabs->addTab(OrientationName(each));
    }
    orientationTabs->addTab(QStringLiteral("Track"));
    orientationTabs->setFocusPolicy(Qt::TabFocus);
    layout->addWidget(orientationTabs);
    auto* grid = new QGridLayout;
    presetBox = new QComboBox(content);
    presetBox->setObjectName(QStringLiteral("presetBox"));
    for (const CtWindowPreset each : kCtWindowPresets) {
        const CtWindow window = WindowOfPreset(each);
        const std::string_view name = NameOfPreset(each);
        presetBox->addItem(QStringLiteral("%1 (W %2, L %3)")
                               .arg(QString::fromUtf8(name.data(), qsizetype(name.size())))
                               .arg(window.width)
                               .arg(window.level));
    }
    placedBox = new QComboBox(content);
    placedBox->setObjectName(QStringLiteral("placedBox"));
    placedBox->addItems(
        {QStringLiteral("IN"), QStringLiteral("OUT"), QStringLiteral("a point between")});
    grid->addWidget(new QLabel(QStringLiteral("Window"), content), 0, 0);
    grid->addWidget(presetBox, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("A click places"), content), 1, 0);
    grid->addWidget(placedBox, 1, 1);
    auto* goButton = new QPushButton(QStringLiteral("Go to it"), content);
    goButton->setObjectName(QStringLiteral("goToPointButton"));
    goButton->setFocusPolicy(Qt::TabFocus);
    grid->addWidget(goButton, 1, 2);
    connect(goButton, &QPushButton::clicked, this, &CtSliceDock::GoToSelectedPoint);
    layout->addLayout(grid);
    pages = new QStackedWidget(content);
    auto* slicePage = new QWidget(pages);
    auto* sliceLayout = new QVBoxLayout(slicePage);
    sliceLayout->setContentsMargins(0, 0, 0, 0);
    canvas = new CtSliceCanvas(slicePage);
    sliceLayout->addWidget(canvas, 1);
    positionLabel = new QLabel(slicePage);
    positionLabel->setObjectName(QStringLiteral("positionLabel"));
    pointerLabel = new QLabel(slicePage);
    pointerLabel->setObjectName(QStringLiteral("pointerLabel"));
    pointerLabel->setWordWrap(true);
    sliceLayout->addWidget(positionLabel);
    sliceLayout->addWidget(pointerLabel);
    trackPage = new CtTrackPage(editor, view, pages);
    pages->addWidget(slicePage);
    pages->addWidget(trackPage);
    layout->addWidget(pages, 1);
    connect(trackPage, &CtTrackPage::statusMessage, this, &CtSliceDock::statusMessage);
    metalList = new CtMetalList(content);
    metalList->setObjectName(QStringLiteral("ctMetalList"));
    metalList->setMaximumHeight(kMetalListHeight);
    layout->addWidget(metalList);
    connect(metalList, &CtMetalList::objectChosen, this, &CtSliceDock::ShowMetal);
    connect(metalList, &CtMetalList::placeRequested, this, &CtSliceDock::PlaceAtMetal);
    connect(orientationTabs, &QTabBar::currentChanged, this, [this](int index) {
        if (index == kTrackTab) {
            ShowTrack();
        } else {
            ShowOrientation(kOrientations.at(std::clamp(index, 0, 2)));
        }
    });
    connect(presetBox, &QComboBox::currentIndexChanged, this,
            [this](int index) { ChoosePreset(kCtWindowPresets.at(std::clamp(index, 0, 3))); });
    connect(placedBox, &QComboBox::currentIndexChanged, this, [this](int index) {
        ChoosePlacedPoint(index == 2   ? PlacedPoint::Between
                          : index == 1 ? PlacedPoint::Out
                                       : PlacedPoint::In);
    });
    connect(canvas, &CtSliceCanvas::scrolled, this, &CtSliceDock::Scroll);
    connect(canvas, &CtSliceCanvas::pixelClicked, this, &CtSliceDock::ClickPixel);
    connect(canvas, &CtSliceCanvas::pixelHovered, this, &CtSliceDock::ShowPointer);
}

void CtSliceDock::FollowCase() {
    const std::shared_ptr<const CtScan>& current = editor.GetCase().ct.scan;
    if (current == scan) {
        ShowTracks(); // the trajectories may have changed; the slice has not
        trackPage->Refresh();
        return;
    }
    scan = current;
    trackPage->SetScan(scan);
    ShowMetalList();
    for (const CtSliceOrientation each : kOrientations) {
        slicers[Index(each)] = scan ? std::make_unique<CtSlicer>(*scan, each) : nullptr;
    }
    if (scan) {
        // The middle of the volume to start with.
        const CtSlicer& axial = *slicers[Index(CtSliceOrientation::Axial)];
        ShowPoint(axial.VoxelCentre(axial.SliceCount() / 2, axial.Width() / 2, axial.Height() / 2));
    } else {
        image = CtSliceImage();
        DrawSlice();
    }
    emit scanChanged(scan != nullptr);
}

void CtSliceDock::ShowOrientation(CtSliceOrientation value) {
    if (orientationTabs->currentIndex() != Index(value)) {
        orientationTabs->setCurrentIndex(Index(value)); // comes back here
        return;
    }
    showingTrack = false;
    pages->setCurrentIndex(0);
    if (value != orientation) {
        orientation = value;
        DrawSlice();
    }
}

void CtSliceDock::ShowTrack() {
    if (orientationTabs->currentIndex() != kTrackTab) {
        orientationTabs->setCurrentIndex(kTrackTab); // comes back here
        return;
    }
    showingTrack = true;
    pages->setCurrentWidget(trackPage); // the page draws itself once shown
}

void CtSliceDock::FollowSelection() {
    trackPage->Refresh();
}

void CtSliceDock::ChoosePreset(CtWindowPreset value) {
    if (presetBox->currentIndex() != static_cast<int>(value)) {
        presetBox->setCurrentIndex(static_cast<int>(value)); // comes back here
        return;
    }
    if (value != preset) {
        preset = value;
        trackPage->SetPreset(value);
        DrawSlice();
    }
}

void CtSliceDock::ChoosePlacedPoint(PlacedPoint value) {
    placed = value;
    placedBox->setCurrentIndex(static_cast<int>(value));
}

void CtSliceDock::ShowPoint(const Vec3& bodyCm) {
    if (!scan) {
        return;
    }
    for (const CtSliceOrientation each : kOrientations) {
        slices[Index(each)] = slicers[Index(each)]->SliceThrough(bodyCm);
    }
    DrawSlice();
}

void CtSliceDock::GoToSelectedPoint() {
    const Trajectory* selected = view.SelectedTrajectory(editor.GetCase());
    if (!scan || selected == nullptr) {
        emit statusMessage(QStringLiteral("Select a trajectory to show its point on the slices."));
        return;
    }
    if (showingTrack) {
        trackPage->ChooseFraction(placed == PlacedPoint::Out ? 1 : 0);
        return;
    }
    // For points between: the last one placed along the track, or IN while there is none.
    const Vec3& point = placed == PlacedPoint::Out ? selected->out
                        : placed == PlacedPoint::Between && !selected->points.empty()
                            ? selected->points.back().point
                            : selected->in;
    ShowPoint(ToCentimetres(point));
}

void CtSliceDock::Scroll(int steps) {
    if (!scan) {
        return;
    }
    int& slice = slices[Index(orientation)];
    const int next = Slicer().Step(slice, steps);
    if (next != slice) {
        slice = next;
        DrawSoon();
    }
}

void CtSliceDock::DrawSoon() {
    positionLabel->setText(PositionText());
    drawTimer->start();
}

void CtSliceDock::DrawSlice() {
    drawTimer->stop();
    if (scan) {
        Slicer().Draw(GetSlice(), WindowOfPreset(preset), image);
    }
    canvas->SetImage(image);
    ShowTracks();
    positionLabel->setText(PositionText());
}

QString CtSliceDock::PositionText() const {
    if (!scan) {
        return QStringLiteral("No CT scan in this case.");
    }
    const CtSlicer& slicer = Slicer();
    const Vec3 middle =
        ToMetres(slicer.VoxelCentre(GetSlice(), slicer.Width() / 2, slicer.Height() / 2));
    return QStringLiteral("%1 slice %2 of %3, %4")
        .arg(OrientationName(orientation))
        .arg(GetSlice() + 1)
        .arg(slicer.SliceCount())
        .arg(PlaneText(orientation, middle));
}

void CtSliceDock::ShowTracks() {
    std::vector<CtSliceCanvas::TrackMark> marks;
    if (scan) {
        for (const Trajectory& trajectory : editor.GetCase().trajectories) {
            // Measured points are kept in the body frame at rest, in metres; the scan's frame
            // is in centimetres.
            CtSliceCanvas::TrackMark mark{Slicer().Track(GetSlice(), ToCentimetres(trajectory.in),
                                                         ToCentimetres(trajectory.out)),
                                          ColorOf(trajectory)};
            for (const TrackPoint& stop : trajectory.points) {
                mark.stops.push_back(Slicer().ImagePoint(GetSlice(), ToCentimetres(stop.point)));
            }
            marks.push_back(std::move(mark));
        }
    }
    canvas->SetTracks(std::move(marks), scan ? Slicer().ThicknessMm() : 1);
}

void CtSliceDock::ShowPointer(int x, int y) {
    if (!scan || x < 0 || y < 0) {
        pointerLabel->clear();
        return;
    }
    const std::array<int, 3> voxel = Slicer().VoxelAt(GetSlice(), x, y);
    const int hu = scan->volume.At(voxel[0], voxel[1], voxel[2]);
    pointerLabel->setText(
        QStringLiteral("%1, %2 HU")
            .arg(PointPicking::PointText(ToMetres(Slicer().VoxelCentre(GetSlice(), x, y))))
            .arg(hu));
}

void CtSliceDock::ShowMetalList() {
    if (!scan) {
        metalList->SetObjects({});
        return;
    }
    metalList->SetObjects(scan->metal, QString::fromStdString(scan->metalFailure));
}

void CtSliceDock::ShowMetal(int row) {
    if (!scan || row < 0 || row >= static_cast<int>(scan->metal.size())) {
        return;
    }
    ShowPoint(scan->metal[static_cast<std::size_t>(row)].centroidBody);
}

void CtSliceDock::PlaceAtMetal(int row) {
    if (!scan || row < 0 || row >= static_cast<int>(scan->metal.size())) {
        return;
    }
    const Vec3& centroid = scan->metal[static_cast<std::size_t>(row)].centroidBody;
    if (metalList->CurrentRow() != row) {
        metalList->ChooseRow(row); // shows the slices through it
    } else {
        ShowPoint(centroid);
    }
    PlacePoint(ToMetres(centroid));
}

void CtSliceDock::ClickPixel(int x, int y) {
    if (!scan || x < 0 || y < 0 || x >= Slicer().Width() || y >= Slicer().Height()) {
        return;
    }
    PlacePoint(ToMetres(Slicer().VoxelCentre(GetSlice(), x, y)));
}

void CtSliceDock::PlacePoint(const Vec3& metres) {
    if (pointPicking.IsActive()) {
        pointPicking.PlaceAtRest(metres);
        return;
    }
    const int number = view.GetSelectedTrajectoryNumber();
    if (number == 0 || editor.GetCase().TrajectoryNumbered(number) == nullptr) {
        emit statusMessage(QStringLiteral("Select a trajectory, or choose Place points, to place "
                                          "a point on the slice."));
        return;
    }
    PlaceOnTrajectory(number, metres);
}

void CtSliceDock::PlaceBetween(int number, const Vec3& metres) {
    const Trajectory* trajectory = editor.GetCase().TrajectoryNumbered(number);
    if (trajectory->points.size() >= static_cast<std::size_t>(Trajectory::kMaxTrackPoints)) {
        emit statusMessage(QStringLiteral("Trajectory %1 already holds %2 points between IN and "
                                          "OUT; remove one in Edit trajectory to place another.")
                               .arg(number)
                               .arg(Trajectory::kMaxTrackPoints));
        return;
    }
    const std::string part = editor.GetCase().body.PartNearest(metres);
    const std::size_t place = TrackPointPlace(*trajectory, metres);
    editor.EditTrajectory(number, "Place a point on a slice", [&](Trajectory& edited) {
        InsertTrackPoint(edited, {metres, TrackPoint::kDefaultRadius, part});
    });
    emit statusMessage(QStringLiteral("Point %1 of trajectory %2 at %3 (%4).")
                           .arg(place + 1)
                           .arg(number)
                           .arg(PointPicking::PointText(metres))
                           .arg(QString::fromStdString(part)));
}

void CtSliceDock::PlaceOnTrajectory(int number, const Vec3& metres) {
    if (placed == PlacedPoint::Between) {
        PlaceBetween(number, metres);
        return;
    }
    const bool in = placed == PlacedPoint::In;
    const Body& body = editor.GetCase().body;
    editor.EditTrajectory(
        number, in ? "Place IN on a slice" : "Place OUT on a slice", [&](Trajectory& trajectory) {
            PlaceTrajectoryEnd(trajectory, in ? TrajectoryEnd::In : TrajectoryEnd::Out, metres,
                               body);
        });
    emit statusMessage(QStringLiteral("%1 of trajectory %2 at %3 (%4).")
                           .arg(in ? QStringLiteral("IN") : QStringLiteral("OUT"))
                           .arg(number)
                           .arg(PointPicking::PointText(metres))
                           .arg(QString::fromStdString(body.PartNearest(metres))));
}
