#include "ui/CtTrackPage.h"

#include "case/Case.h"
#include "case/TrackLine.h"
#include "edit/CaseEditor.h"
#include "ui/CtSliceCanvas.h"
#include "ui/PointPicking.h"
#include "view/ViewState.h"

#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QLabel>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kCentimetresPerMetre = 100;
constexpr double kMillimetresPerCentimetre = 10;
// How near IN or OUT a press must be to take hold of it (widget pixels).
constexpr double kGrabPixels = 10;
// A dragged point comes no nearer the other than this (cm), so that the track keeps a direction.
constexpr double kShortestTrackCm = 0.1;
// The slider's steps from IN to OUT, and the wheel's step (one notch, one Page Up or Down).
constexpr int kFractionSteps = 100;
constexpr double kWheelFraction = 0.02;
constexpr double kDefaultSlabMm = 6;
constexpr double kThickestSlabMm = 50;

Vec3 Scaled(const Vec3& v, double s) {
    return {v.x * s, v.y * s, v.z * s};
}

double Distance(const Vec3& a, const Vec3& b) {
    const Vec3 d = Minus(a, b);
    return std::sqrt(Dot(d, d));
}

QColor TrackColor(const Trajectory& trajectory) {
    const auto channel = [](double value) {
        return static_cast<int>(std::lround(std::clamp(value, 0.0, 1.0) * 255));
    };
    return {channel(trajectory.color.x), channel(trajectory.color.y), channel(trajectory.color.z)};
}

// The trajectory's points between IN and OUT on a picture.
std::vector<CtSlicePoint> StopsOn(const CtObliquePlane& plane, const Trajectory& trajectory) {
    std::vector<CtSlicePoint> stops;
    for (const TrackPoint& stop : trajectory.points) {
        stops.push_back(PicturePointOfBody(plane, Scaled(stop.point, kCentimetresPerMetre)));
    }
    return stops;
}

QPointF PictureOf(const CtSlicePoint& point) {
    return {point.x, point.y};
}

} // namespace

CtTrackPage::CtTrackPage(CaseEditor& theEditor, ViewState& theView, QWidget* parent)
    : QWidget(parent), editor(theEditor), view(theView) {
    setObjectName(QStringLiteral("ctTrackPage"));
    options.slabMm = kDefaultSlabMm;
    BuildControls();
    crossTimer = new QTimer(this);
    crossTimer->setSingleShot(true);
    crossTimer->setInterval(0);
    connect(crossTimer, &QTimer::timeout, this, &CtTrackPage::DrawCross);
    Clear();
}

CtTrackPage::~CtTrackPage() = default;

void CtTrackPage::BuildControls() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    descriptionLabel = new QLabel(this);
    descriptionLabel->setObjectName(QStringLiteral("trackDescriptionLabel"));
    descriptionLabel->setWordWrap(true);
    trackCanvas = new CtSliceCanvas(this);
    trackCanvas->setObjectName(QStringLiteral("ctTrackCanvas"));
    trackCanvas->setToolTip(QStringLiteral("The plane holding the track, IN on the left: drag IN "
                                           "or OUT to where the channel is"));
    crossCanvas = new CtSliceCanvas(this);
    crossCanvas->setObjectName(QStringLiteral("ctCrossCanvas"));
    crossCanvas->setToolTip(QStringLiteral("The plane across the track, seen from IN"));
    fractionSlider = new QSlider(Qt::Horizontal, this);
    fractionSlider->setObjectName(QStringLiteral("trackFractionSlider"));
    fractionSlider->setRange(0, kFractionSteps);
    fractionSlider->setValue(kFractionSteps / 2);
    slabBox = new QDoubleSpinBox(this);
    slabBox->setObjectName(QStringLiteral("trackSlabBox"));
    slabBox->setRange(0, kThickestSlabMm);
    slabBox->setDecimals(1);
    slabBox->setSuffix(QStringLiteral(" mm"));
    slabBox->setValue(kDefaultSlabMm);
    slabBox->setToolTip(QStringLiteral("Thickness of the minimum-intensity slab; 0 shows the "
                                       "plane alone"));
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Across at"), this), 0, 0);
    grid->addWidget(fractionSlider, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Slab"), this), 1, 0);
    grid->addWidget(slabBox, 1, 1);
    layout->addWidget(descriptionLabel);
    layout->addWidget(trackCanvas, 1);
    layout->addLayout(grid);
    layout->addWidget(crossCanvas, 1);
    pointerLabel = new QLabel(this);
    pointerLabel->setObjectName(QStringLiteral("trackPointerLabel"));
    pointerLabel->setWordWrap(true);
    layout->addWidget(pointerLabel);
    connect(trackCanvas, &CtSliceCanvas::pixelHovered, this,
            [this](int x, int y) { ShowPointer(trackPlane, x, y); });
    connect(crossCanvas, &CtSliceCanvas::pixelHovered, this,
            [this](int x, int y) { ShowPointer(crossPlane, x, y); });
    connect(fractionSlider, &QSlider::valueChanged, this,
            [this](int value) { ChooseFraction(static_cast<double>(value) / kFractionSteps); });
    connect(slabBox, &QDoubleSpinBox::valueChanged, this, &CtTrackPage::ChooseSlabMm);
    connect(trackCanvas, &CtSliceCanvas::leftPressed, this, &CtTrackPage::Press);
    connect(trackCanvas, &CtSliceCanvas::leftDragged, this, &CtTrackPage::Drag);
    connect(trackCanvas, &CtSliceCanvas::leftReleased, this, [this] { Release(); });
    connect(trackCanvas, &CtSliceCanvas::scrolled, this, &CtTrackPage::StepFraction);
    connect(trackCanvas, &CtSliceCanvas::escaped, this, &CtTrackPage::GiveUpDrag);
    connect(crossCanvas, &CtSliceCanvas::scrolled, this, &CtTrackPage::StepFraction);
}

void CtTrackPage::SetScan(const std::shared_ptr<const CtScan>& value) {
    if (value == scan) {
        return;
    }
    scan = value;
    slicer = scan ? std::make_unique<CtObliqueSlicer>(*scan) : nullptr;
    grabbed.reset();
    drawn = {};
    Clear();
    Refresh();
}

void CtTrackPage::SetPreset(CtWindowPreset value) {
    preset = value;
    Refresh();
}

CtTrackPage::Drawn CtTrackPage::Wanted() const {
    Drawn want;
    want.scan = scan.get();
    want.slabMm = options.slabMm;
    want.fraction = fraction;
    want.preset = preset;
    const int selected = view.GetSelectedTrajectoryNumber();
    if (const Trajectory* trajectory = editor.GetCase().TrajectoryNumbered(selected)) {
        want.number = selected;
        want.in = Scaled(trajectory->in, kCentimetresPerMetre);
        want.out = Scaled(trajectory->out, kCentimetresPerMetre);
        const auto [lineIn, lineOut] = StraightTrackEnds(*trajectory);
        want.lineIn = Scaled(lineIn, kCentimetresPerMetre);
        want.lineOut = Scaled(lineOut, kCentimetresPerMetre);
    }
    return want;
}

void CtTrackPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Refresh();
}

void CtTrackPage::Refresh() {
    // A drag makes no change to the case until its release: a change during one comes from
    // elsewhere (an undo by its key, a file read) and may have moved or renumbered the
    // trajectory dragged, so the drag is left rather than let go onto another one.
    if (grabbed) {
        grabbed.reset();
        crossTimer->stop();
        drawn = {};
        emit statusMessage(QStringLiteral("The case changed during the drag: nothing was moved."));
    }
    // A hidden page draws nothing; it is drawn when it is shown.
    if (!isVisible()) {
        return;
    }
    const Drawn want = Wanted();
    if (want == drawn) {
        ShowMarks(); // the points between IN and OUT, or the colour, may have changed
        return;
    }
    drawn = want;
    number = want.number;
    inCm = want.in;
    outCm = want.out;
    haveTrack = scan && number != 0 &&
                TrackPlane(scan->volume, want.lineIn, want.lineOut, options, trackPlane).ok() &&
                CrossPlane(scan->volume, inCm, outCm, fraction, options, crossPlane).ok();
    if (!haveTrack) {
        Clear();
        return;
    }
    DrawTrack();
    DrawCross();
}

void CtTrackPage::Clear() {
    haveTrack = false;
    trackImage = CtSliceImage();
    crossImage = CtSliceImage();
    trackCanvas->SetImage(trackImage);
    crossCanvas->SetImage(crossImage);
    trackCanvas->SetTracks({}, 1);
    crossCanvas->SetTracks({}, 1);
    trackCanvas->SetGuide({});
    descriptionLabel->setText(DescriptionText());
}

void CtTrackPage::DrawTrack() {
    slicer->Draw(trackPlane, WindowOfPreset(preset), trackImage);
    trackCanvas->SetImage(trackImage);
    ++trackDraws;
}

void CtTrackPage::DrawCross() {
    crossTimer->stop();
    if (!haveTrack || !CrossPlane(scan->volume, inCm, outCm, fraction, options, crossPlane).ok()) {
        return;
    }
    slicer->Draw(crossPlane, WindowOfPreset(preset), crossImage);
    crossCanvas->SetImage(crossImage);
    ++crossDraws;
    ShowMarks();
}

void CtTrackPage::ShowMarks() {
    const Trajectory* trajectory = editor.GetCase().TrajectoryNumbered(number);
    if (!haveTrack || trajectory == nullptr) {
        return;
    }
    const QColor color = TrackColor(*trajectory);
    // IN and OUT lie in the track's plane, even while one is dragged within it: the whole
    // segment is drawn as lying in it.
    CtSliceCanvas::TrackMark along{
        {PicturePointOfBody(trackPlane, inCm), PicturePointOfBody(trackPlane, outCm), true, 0, 1},
        color,
        true,
        StopsOn(trackPlane, *trajectory)};
    const double thickness = std::max(options.slabMm, trackPlane.pixelMm);
    trackCanvas->SetTracks({along}, thickness);
    // Where the picture across the track cuts it: a line square to the track, as wide as that
    // picture.
    const QPointF in = PictureOf(along.track.in), out = PictureOf(along.track.out);
    const QPointF at = in + (out - in) * fraction;
    const double length = std::hypot(out.x() - in.x(), out.y() - in.y());
    if (length > 0) {
        const double half = crossPlane.width * crossPlane.pixelMm / trackPlane.pixelMm / 2;
        const QPointF square((in.y() - out.y()) / length * half,
                             (out.x() - in.x()) / length * half);
        trackCanvas->SetGuide(QLineF(at - square, at + square));
    }
    // Across the track, the track passes through the picture's centre: a dot, with IN and OUT
    // as rings there, filled when they lie within the slab.
    CtSliceCanvas::TrackMark across{
        {PicturePointOfBody(crossPlane, inCm), PicturePointOfBody(crossPlane, outCm), false, 0, 0},
        color,
        true,
        StopsOn(crossPlane, *trajectory)};
    crossCanvas->SetTracks({across}, std::max(options.slabMm, crossPlane.pixelMm));
    descriptionLabel->setText(DescriptionText());
}

QString CtTrackPage::DescriptionText() const {
    if (!scan) {
        return QStringLiteral("No CT scan in this case.");
    }
    if (!haveTrack) {
        return number == 0 ? QStringLiteral("Select a trajectory to see its track.")
                           : QStringLiteral("IN and OUT of trajectory %1 lie at the same place: "
                                            "the track has no plane.")
                                 .arg(number);
    }
    const double lengthCm = Distance(inCm, outCm);
    return QStringLiteral("Trajectory %1: %2 cm from IN to OUT; across at %3 % (%4 cm from IN)")
        .arg(number)
        .arg(lengthCm, 0, 'f', 1)
        .arg(std::lround(fraction * 100))
        .arg(lengthCm * fraction, 0, 'f', 1);
}

void CtTrackPage::ShowPointer(const CtObliquePlane& plane, int x, int y) {
    const double lengthCm = Distance(inCm, outCm);
    if (!haveTrack || x < 0 || y < 0 || !(lengthCm > 0)) {
        pointerLabel->clear();
        return;
    }
    const Vec3 at = BodyOfPicturePoint(plane, x + 0.5, y + 0.5);
    const Vec3 fromIn = Minus(at, inCm);
    const double alongCm = Dot(fromIn, Minus(outCm, inCm)) / lengthCm;
    const double squared = std::max(Dot(fromIn, fromIn) - alongCm * alongCm, 0.0);
    pointerLabel->setText(QStringLiteral("%1; %2 cm along the track from IN, %3 mm from it")
                              .arg(PointPicking::PointText(Scaled(at, 1 / kCentimetresPerMetre)))
                              .arg(alongCm, 0, 'f', 1)
                              .arg(std::sqrt(squared) * kMillimetresPerCentimetre, 0, 'f', 1));
}

void CtTrackPage::ChooseFraction(double value) {
    fraction = std::clamp(std::isfinite(value) ? value : 0.5, 0.0, 1.0);
    const int step = static_cast<int>(std::lround(fraction * kFractionSteps));
    if (fractionSlider->value() != step) {
        const QSignalBlocker quiet(fractionSlider);
        fractionSlider->setValue(step);
    }
    if (haveTrack) {
        DrawCross();
        drawn.fraction = fraction; // the picture along the track does not depend on it
    }
}

void CtTrackPage::StepFraction(int steps) {
    ChooseFraction(fraction + steps * kWheelFraction);
}

void CtTrackPage::ChooseSlabMm(double value) {
    options.slabMm =
        std::clamp(std::isfinite(value) ? value : kDefaultSlabMm, 0.0, kThickestSlabMm);
    if (slabBox->value() != options.slabMm) {
        const QSignalBlocker quiet(slabBox);
        slabBox->setValue(options.slabMm);
    }
    Refresh();
}

void CtTrackPage::Press(const QPointF& position) {
    if (!haveTrack) {
        return;
    }
    const auto reach = [&](const Vec3& pointCm) {
        const CtSlicePoint at = PicturePointOfBody(trackPlane, pointCm);
        const QPointF widget = trackCanvas->WidgetPoint(at.x, at.y);
        return std::hypot(widget.x() - position.x(), widget.y() - position.y());
    };
    const double toIn = reach(inCm), toOut = reach(outCm);
    if (std::min(toIn, toOut) > kGrabPixels) {
        return;
    }
    grabbed = toIn <= toOut ? TrajectoryEnd::In : TrajectoryEnd::Out;
    emit statusMessage(
        QStringLiteral("Drag %1 to where the channel is and let go to place it.")
            .arg(grabbed == TrajectoryEnd::In ? QStringLiteral("IN") : QStringLiteral("OUT")));
}

void CtTrackPage::Drag(const QPointF& position) {
    if (!grabbed) {
        return;
    }
    // Held to the picture: a point dragged off it stays at its edge.
    const QPointF picture = trackCanvas->PicturePoint(position);
    const double x = std::clamp(picture.x(), 0.0, static_cast<double>(trackPlane.width));
    const double y = std::clamp(picture.y(), 0.0, static_cast<double>(trackPlane.height));
    const Vec3 at = BodyOfPicturePoint(trackPlane, x, y);
    const bool in = grabbed == TrajectoryEnd::In;
    if (Distance(at, in ? outCm : inCm) < kShortestTrackCm) {
        return;
    }
    (in ? inCm : outCm) = at;
    ShowMarks();
    crossTimer->start();
}

void CtTrackPage::GiveUpDrag() {
    if (!grabbed) {
        return;
    }
    grabbed.reset();
    crossTimer->stop();
    // The points as the case holds them, on the plane that was kept.
    inCm = drawn.in;
    outCm = drawn.out;
    DrawCross();
    emit statusMessage(QStringLiteral("Drag given up: nothing was moved."));
}

void CtTrackPage::Release() {
    if (!grabbed) {
        return;
    }
    const TrajectoryEnd end = *grabbed;
    grabbed.reset();
    crossTimer->stop();
    const Vec3 metres = Scaled(end == TrajectoryEnd::In ? inCm : outCm, 1 / kCentimetresPerMetre);
    const Body& body = editor.GetCase().body;
    // Drawn afresh from the case after the edit, whether it made one or not.
    drawn = {};
    const bool moved =
        editor.GetCase().TrajectoryNumbered(number) != nullptr &&
        editor.EditTrajectory(
            number, end == TrajectoryEnd::In ? "Move IN on the track" : "Move OUT on the track",
            [&](Trajectory& trajectory) { PlaceTrajectoryEnd(trajectory, end, metres, body); });
    if (moved) {
        emit statusMessage(
            QStringLiteral("%1 of trajectory %2 moved to %3 (%4).")
                .arg(end == TrajectoryEnd::In ? QStringLiteral("IN") : QStringLiteral("OUT"))
                .arg(number)
                .arg(PointPicking::PointText(metres))
                .arg(QString::fromStdString(body.PartNearest(metres))));
    }
    Refresh();
}
