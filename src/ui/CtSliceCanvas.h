#pragma once

#include "ct/CtSlicer.h"

#include <QColor>
#include <QImage>
#include <QLineF>
#include <QString>
#include <QWidget>

#include <optional>
#include <vector>

// The picture of one CT slice, fitted into the widget with its voxels' proportions, with the
// trajectories drawn over it: each one's segment projected into the slice as a thin dashed line,
// the part within half a slice thickness of the plane as a thick one, the point where it passes
// through the plane as a dot, IN and OUT as small rings (filled where they lie in the slice), the
// points between them as small squares. It
// only shows what it is given and tells of clicks, the wheel and Page Up/Down; the slices dock
// decides what they do.
class CtSliceCanvas : public QWidget {
    Q_OBJECT

public:
    struct TrackMark {
        CtSliceTrack track;
        QColor color;
        bool selected = false;
        // The points the track passes between IN and OUT, drawn as small squares (filled where
        // they lie in the slice).
        std::vector<CtSlicePoint> stops{};
    };

    explicit CtSliceCanvas(QWidget* parent = nullptr);

    // The slice's picture; the canvas keeps its own copy.
    void SetImage(const CtSliceImage& image);
    // `thicknessMm`: the slice's thickness, within half of which IN and OUT count as in it.
    void SetTracks(std::vector<TrackMark> tracks, double thicknessMm);
    const std::vector<TrackMark>& GetTracks() const { return tracks; }
    // A thin line over the picture (picture points), as where another picture cuts this one; a
    // null line draws none.
    void SetGuide(const QLineF& line);
    const QLineF& GetGuide() const { return guide; }
    const QImage& GetPicture() const { return picture; }

    // Where the picture lies in the widget, and the picture pixel under a widget point
    // (none outside the picture).
    QRectF PictureRect() const;
    std::optional<QPoint> PixelAt(const QPointF& position) const;
    // The widget point of a picture point (pixels of the picture, a pixel's centre at + 0.5).
    QPointF WidgetPoint(double x, double y) const;
    // The picture point of a widget point, within the picture or not.
    QPointF PicturePoint(const QPointF& position) const;

    QSize sizeHint() const override { return {320, 320}; }

signals:
    // A left click on pixel (x, y) of the picture.
    void pixelClicked(int x, int y);
    // The pointer over pixel (x, y), or off the picture (-1, -1).
    void pixelHovered(int x, int y);
    // Scrolling by `steps` slices: positive toward the head, the front or the left.
    void scrolled(int steps);
    // The left button pressed, moved while held, and let go, at a widget point: what drags a
    // mark over the picture.
    void leftPressed(const QPointF& position);
    void leftDragged(const QPointF& position);
    void leftReleased(const QPointF& position);
    // Escape: what a drag over the picture is to be given up by.
    void escaped();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void DrawTrack(QPainter& painter, const TrackMark& mark) const;

    QImage picture;
    double pixelWidthMm = 1, pixelHeightMm = 1;
    std::vector<TrackMark> tracks;
    double thicknessMm = 1;
    QLineF guide;
    bool leftDown = false;
    // Wheel turns below one notch, kept until they make a whole step (touchpads).
    int wheelRemainder = 0;
};
