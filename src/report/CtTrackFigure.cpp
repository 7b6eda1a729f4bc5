#include "report/CtTrackFigure.h"

#include "case/TrackLine.h"
#include "case/Trajectory.h"
#include "ct/CtObliquePlane.h"
#include "ct/CtObliqueSlicer.h"
#include "ct/CtScan.h"
#include "ct/CtWindow.h"
#include "report/BodyDiagrams.h"
#include "report/CloseUpFigure.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double kCentimetresPerMetre = 100.0;
// The slab of the picture: thick enough to hold a channel a few millimetres off the plane.
constexpr double kSlabMm = 6;

Vec3 Centimetres(const Vec3& metres) {
    return {metres.x * kCentimetresPerMetre, metres.y * kCentimetresPerMetre,
            metres.z * kCentimetresPerMetre};
}

QImage GreyImage(const CtSliceImage& slice) {
    QImage image(slice.width, slice.height, QImage::Format_Grayscale8);
    for (int row = 0; row < slice.height; ++row) {
        std::copy_n(slice.grey.begin() + static_cast<std::ptrdiff_t>(row) * slice.width,
                    slice.width, image.scanLine(row));
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

// Where a body point (metres) lies on the picture drawn `scale` times the plane's pixels.
QPointF PixelOf(const CtObliquePlane& plane, const Vec3& metres, double scale) {
    const CtSlicePoint at = PicturePointOfBody(plane, Centimetres(metres));
    return {at.x * scale, at.y * scale};
}

QColor TrackColour(const Trajectory& trajectory) {
    const auto channel = [](double value) {
        return static_cast<int>(std::lround(std::clamp(value, 0.0, 1.0) * 255));
    };
    return QColor(channel(trajectory.color.x), channel(trajectory.color.y),
                  channel(trajectory.color.z));
}

// Each point a dot in the track's colour ringed in white, numbered from IN; the number has a
// dark edge, so that it reads on black gas and on white bone alike.
void DrawPointMarks(QPainter& painter, const std::vector<QPointF>& points, const QColor& colour,
                    double size) {
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(static_cast<int>(size * 0.45));
    for (std::size_t i = 0; i < points.size(); ++i) {
        painter.setPen(QPen(Qt::white, size / 14));
        painter.setBrush(colour);
        painter.drawEllipse(points[i], size / 6, size / 6);
        QPainterPath number;
        number.addText(points[i] + QPointF(size / 4, -size / 4), font, QString::number(i + 1));
        painter.setPen(QPen(Qt::black, size / 50));
        painter.setBrush(Qt::white);
        painter.drawPath(number);
    }
}

void DrawMarks(QImage& image, const CtObliquePlane& plane, const Trajectory& trajectory, int number,
               double scale) {
    const QPointF in = PixelOf(plane, trajectory.in, scale);
    const QPointF out = PixelOf(plane, trajectory.out, scale);
    std::vector<QPointF> points;
    for (const TrackPoint& point : trajectory.points) {
        points.push_back(PixelOf(plane, point.point, scale));
    }
    const double size = std::max(24.0, image.height() / 10.0);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    std::vector<QPointF> path{in};
    path.insert(path.end(), points.begin(), points.end());
    path.push_back(out);
    // A solid white line under the track's dashed one, so that a dark track reads on the black
    // channel.
    painter.setPen(QPen(Qt::white, size / 8, Qt::SolidLine, Qt::RoundCap));
    painter.drawPolyline(path.data(), static_cast<int>(path.size()));
    painter.setPen(QPen(TrackColour(trajectory), size / 16, Qt::DashLine, Qt::RoundCap));
    painter.drawPolyline(path.data(), static_cast<int>(path.size()));
    DrawPointMarks(painter, points, TrackColour(trajectory), size);
    QFont font;
    font.setBold(true);
    font.setPixelSize(static_cast<int>(size * 0.6));
    painter.setFont(font);
    if (trajectory.exited) {
        DrawWoundMark(painter, number, false, out, size);
    } else {
        painter.setPen(QPen(Qt::white, size / 12));
        painter.setBrush(Qt::black);
        painter.drawEllipse(out, size / 5, size / 5);
    }
    DrawWoundMark(painter, number, true, in, size);
}

} // namespace

std::string CtTrackFigureName(int number) {
    return "ct-track-" + std::to_string(number);
}

std::optional<QImage> DrawCtTrackFigure(const CtScan& scan, const Trajectory& trajectory,
                                        int number, int width) {
    CtObliqueOptions options;
    options.slabMm = kSlabMm;
    CtObliquePlane plane;
    const auto [lineIn, lineOut] = StraightTrackEnds(trajectory);
    if (!TrackPlane(scan.volume, Centimetres(lineIn), Centimetres(lineOut), options, plane).ok() ||
        plane.width <= 0 || plane.height <= 0) {
        return std::nullopt;
    }
    CtObliqueSlicer slicer(scan, 1);
    CtSliceImage slice;
    slicer.Draw(plane, WindowOfPreset(CtWindowPreset::SoftTissue), slice);
    // Drawn larger than the voxels when the scan is coarse, so that the marks stay readable.
    const double scale = std::max(1.0, static_cast<double>(width) / plane.width);
    QImage image = GreyImage(slice).scaled(static_cast<int>(std::lround(plane.width * scale)),
                                           static_cast<int>(std::lround(plane.height * scale)),
                                           Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    DrawMarks(image, plane, trajectory, number, scale);
    DrawScaleBar(image, scale * 1000.0 / plane.pixelMm);
    return image;
}

std::string CtTrackFigureCaption(int number) {
    const CtWindow window = WindowOfPreset(CtWindowPreset::SoftTissue);
    return "Trajectory " + std::to_string(number) +
           " in the CT: the plane holding the track, IN the numbered circle on the left, OUT the "
           "square on the right (a dot where the bullet stayed), the points between numbered "
           "from IN, the head's side up; soft-tissue window (W " +
           std::to_string(window.width) + ", L " + std::to_string(window.level) +
           "), each pixel the lowest value of a " + std::to_string(static_cast<int>(kSlabMm)) +
           " mm slab across the plane, so that gas along the channel shows black";
}
