#include "ui/CtSliceCanvas.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kWheelNotch = 120;
constexpr double kRingRadius = 4;
constexpr double kDotRadius = 3;

QPointF Along(const QPointF& from, const QPointF& to, double t) {
    return from + (to - from) * t;
}

} // namespace

CtSliceCanvas::CtSliceCanvas(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ctSliceCanvas"));
    setMouseTracking(true);
    // A click on the picture takes the keyboard, so that Page Up/Down scroll it.
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(160, 160);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CtSliceCanvas::SetImage(const CtSliceImage& image) {
    if (image.width <= 0 || image.height <= 0) {
        picture = QImage();
    } else {
        const QImage shared(image.grey.data(), image.width, image.height, image.width,
                            QImage::Format_Grayscale8);
        picture = shared.copy();
    }
    pixelWidthMm = image.pixelWidthMm > 0 ? image.pixelWidthMm : 1;
    pixelHeightMm = image.pixelHeightMm > 0 ? image.pixelHeightMm : 1;
    update();
}

void CtSliceCanvas::SetTracks(std::vector<TrackMark> theTracks, double theThicknessMm) {
    tracks = std::move(theTracks);
    thicknessMm = theThicknessMm;
    update();
}

QRectF CtSliceCanvas::PictureRect() const {
    if (picture.isNull()) {
        return {};
    }
    // The picture as large as the widget allows, each voxel as wide and high as it is in mm.
    const double widthMm = picture.width() * pixelWidthMm;
    const double heightMm = picture.height() * pixelHeightMm;
    const double scale = std::min(width() / widthMm, height() / heightMm);
    const double w = widthMm * scale, h = heightMm * scale;
    return {(width() - w) / 2, (height() - h) / 2, w, h};
}

std::optional<QPoint> CtSliceCanvas::PixelAt(const QPointF& position) const {
    const QRectF rect = PictureRect();
    if (rect.isEmpty()) {
        return std::nullopt;
    }
    const double x = (position.x() - rect.left()) / rect.width() * picture.width();
    const double y = (position.y() - rect.top()) / rect.height() * picture.height();
    if (x < 0 || y < 0 || x >= picture.width() || y >= picture.height()) {
        return std::nullopt;
    }
    return QPoint(static_cast<int>(x), static_cast<int>(y));
}

QPointF CtSliceCanvas::WidgetPoint(double x, double y) const {
    const QRectF rect = PictureRect();
    if (rect.isEmpty()) {
        return {};
    }
    return {rect.left() + x / picture.width() * rect.width(),
            rect.top() + y / picture.height() * rect.height()};
}

void CtSliceCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (picture.isNull()) {
        return;
    }
    // Each voxel a sharp block: the pixels are the measurement, not to be smoothed over.
    painter.drawImage(PictureRect(), picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(PictureRect());
    for (const TrackMark& mark : tracks) {
        DrawTrack(painter, mark);
    }
}

void CtSliceCanvas::DrawTrack(QPainter& painter, const TrackMark& mark) const {
    const CtSliceTrack& track = mark.track;
    const QPointF in = WidgetPoint(track.in.x, track.in.y);
    const QPointF out = WidgetPoint(track.out.x, track.out.y);
    QPen dashed(mark.color, mark.selected ? 1.5 : 1, Qt::DashLine);
    painter.setPen(dashed);
    painter.drawLine(in, out);
    if (track.inSlice) {
        painter.setPen(QPen(mark.color, mark.selected ? 4 : 3, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(Along(in, out, track.inSliceFrom), Along(in, out, track.inSliceTo));
    }
    // Where the course passes through the slice's plane: a dot, which is all there is to see of
    // a track running straight across the slice.
    const double a = track.in.offsetMm, b = track.out.offsetMm;
    if ((a <= 0 && b >= 0) || (a >= 0 && b <= 0)) {
        const double t = a == b ? 0 : a / (a - b);
        painter.setPen(QPen(Qt::white, 1));
        painter.setBrush(QBrush(mark.color));
        painter.drawEllipse(Along(in, out, t), kDotRadius, kDotRadius);
    }
    const double half = thicknessMm / 2;
    for (const auto& [point, at] : {std::pair{track.in, in}, std::pair{track.out, out}}) {
        painter.setPen(QPen(mark.color, 1.5));
        painter.setBrush(std::abs(point.offsetMm) <= half ? QBrush(mark.color)
                                                          : QBrush(Qt::NoBrush));
        painter.drawEllipse(at, kRingRadius, kRingRadius);
    }
    // The points between: squares, so that they are not taken for IN or OUT.
    for (const CtSlicePoint& point : mark.points) {
        painter.setPen(QPen(mark.color, 1.5));
        painter.setBrush(std::abs(point.offsetMm) <= half ? QBrush(mark.color)
                                                          : QBrush(Qt::NoBrush));
        const QPointF at = WidgetPoint(point.x, point.y);
        painter.drawRect(
            QRectF(at.x() - kDotRadius, at.y() - kDotRadius, 2 * kDotRadius, 2 * kDotRadius));
    }
    painter.setBrush(Qt::NoBrush);
}

void CtSliceCanvas::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (const std::optional<QPoint> pixel = PixelAt(event->position())) {
        emit pixelClicked(pixel->x(), pixel->y());
    }
    event->accept();
}

void CtSliceCanvas::mouseMoveEvent(QMouseEvent* event) {
    const std::optional<QPoint> pixel = PixelAt(event->position());
    emit pixelHovered(pixel ? pixel->x() : -1, pixel ? pixel->y() : -1);
}

void CtSliceCanvas::leaveEvent(QEvent*) {
    emit pixelHovered(-1, -1);
}

void CtSliceCanvas::wheelEvent(QWheelEvent* event) {
    wheelRemainder += event->angleDelta().y();
    const int steps = wheelRemainder / kWheelNotch;
    wheelRemainder -= steps * kWheelNotch;
    if (steps != 0) {
        emit scrolled(steps);
    }
    event->accept();
}

void CtSliceCanvas::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_PageUp:
    case Qt::Key_Up:
        emit scrolled(1);
        break;
    case Qt::Key_PageDown:
    case Qt::Key_Down:
        emit scrolled(-1);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}
