#pragma once

#include "ct/CtSlicer.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <QWidget>

#include <optional>
#include <vector>

// The picture of one CT slice, fitted into the widget with its voxels' proportions, with the
// trajectories drawn over it: each one's segment projected into the slice as a thin dashed line,
// the part within half a slice thickness of the plane as a thick one, the point where it passes
// through the plane as a dot, IN and OUT as small rings and the points between as small squares
// (each filled where it lies in the slice). It only shows what it is given and tells of clicks, the
// wheel and Page Up/Down; the slices dock decides what they do.
class CtSliceCanvas : public QWidget {
    Q_OBJECT

public:
    struct TrackMark {
        CtSliceTrack track;
        QColor color;
        bool selected = false;
        // The points between IN and OUT, each a small square (filled where it lies in the slice).
        std::vector<CtSlicePoint> points;
    };

    explicit CtSliceCanvas(QWidget* parent = nullptr);

    // The slice's picture; the canvas keeps its own copy.
    void SetImage(const CtSliceImage& image);
    // `thicknessMm`: the slice's thickness, within half of which IN and OUT count as in it.
    void SetTracks(std::vector<TrackMark> tracks, double thicknessMm);
    const std::vector<TrackMark>& GetTracks() const { return tracks; }
    const QImage& GetPicture() const { return picture; }

    // Where the picture lies in the widget, and the picture pixel under a widget point
    // (none outside the picture).
    QRectF PictureRect() const;
    std::optional<QPoint> PixelAt(const QPointF& position) const;
    // The widget point of a picture point (pixels of the picture, a pixel's centre at + 0.5).
    QPointF WidgetPoint(double x, double y) const;

    QSize sizeHint() const override { return {320, 320}; }

signals:
    // A left click on pixel (x, y) of the picture.
    void pixelClicked(int x, int y);
    // The pointer over pixel (x, y), or off the picture (-1, -1).
    void pixelHovered(int x, int y);
    // Scrolling by `steps` slices: positive toward the head, the front or the left.
    void scrolled(int steps);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void DrawTrack(QPainter& painter, const TrackMark& mark) const;

    QImage picture;
    double pixelWidthMm = 1, pixelHeightMm = 1;
    std::vector<TrackMark> tracks;
    double thicknessMm = 1;
    // Wheel turns below one notch, kept until they make a whole step (touchpads).
    int wheelRemainder = 0;
};
