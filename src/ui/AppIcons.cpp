#include "ui/AppIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace {

const QColor kArrowRed(200, 30, 30);
const QColor kOutline(40, 40, 40);

QIcon Drawn(int width, int height, const std::function<void(QPainter&)>& draw) {
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter);
    painter.end();
    return QIcon(pixmap);
}

// A bullet path: a shaft from lower left to upper right ending in a head.
void DrawArrow(QPainter& painter, const QRectF& box, const QColor& color, qreal width) {
    const QPointF tail(box.left() + box.width() * 0.1, box.bottom() - box.height() * 0.1);
    const QPointF tip(box.right() - box.width() * 0.1, box.top() + box.height() * 0.1);
    painter.setPen(QPen(color, width, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(tail, tip);
    const qreal head = box.width() * 0.35;
    QPainterPath path;
    path.moveTo(tip);
    path.lineTo(tip.x() - head, tip.y());
    path.lineTo(tip.x(), tip.y() + head);
    path.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPath(path);
}

void DrawPage(QPainter& painter) {
    painter.setPen(QPen(kOutline, 1));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(3.5, 0.5, 9, 13));
    painter.setPen(QPen(QColor(120, 120, 120), 1));
    for (int line = 0; line < 3; ++line) {
        painter.drawLine(QPointF(5.5, 4.5 + 3 * line), QPointF(10.5, 4.5 + 3 * line));
    }
}

} // namespace

QIcon ApplicationIcon() {
    return Drawn(32, 32, [](QPainter& painter) {
        painter.setPen(QPen(kOutline, 2));
        painter.setBrush(QColor(235, 200, 170)); // a body section
        painter.drawEllipse(QRectF(6, 6, 20, 20));
        DrawArrow(painter, QRectF(0, 0, 32, 32), kArrowRed, 3);
    });
}

QIcon NewTrajectoryIcon() {
    return Drawn(16, 15, [](QPainter& painter) {
        DrawArrow(painter, QRectF(0, 0, 15, 15), kArrowRed, 2);
        painter.setPen(QPen(QColor(20, 120, 20), 2));
        painter.drawLine(QPointF(2, 1), QPointF(2, 7)); // the plus of "new"
        painter.drawLine(QPointF(-1, 4), QPointF(5, 4));
    });
}

QIcon OpenDataIcon() {
    return Drawn(16, 15, [](QPainter& painter) {
        painter.setPen(QPen(kOutline, 1));
        painter.setBrush(QColor(230, 190, 80));
        painter.drawRect(QRectF(0.5, 3.5, 14, 10));
        painter.setBrush(QColor(250, 215, 110));
        QPainterPath flap;
        flap.moveTo(0.5, 13.5);
        flap.lineTo(3.5, 6.5);
        flap.lineTo(15.5, 6.5);
        flap.lineTo(13.5, 13.5);
        flap.closeSubpath();
        painter.drawPath(flap);
    });
}

QIcon SaveDataIcon() {
    return Drawn(16, 15, [](QPainter& painter) {
        DrawPage(painter);
        painter.setPen(QPen(QColor(30, 70, 180), 2));
        painter.drawLine(QPointF(12, 8), QPointF(12, 14)); // down into the page
        painter.drawLine(QPointF(9.5, 11.5), QPointF(12, 14));
        painter.drawLine(QPointF(14.5, 11.5), QPointF(12, 14));
    });
}

QIcon AboutIcon() {
    return Drawn(16, 15, [](QPainter& painter) {
        painter.setPen(QPen(QColor(30, 70, 180), 1));
        painter.setBrush(QColor(220, 230, 250));
        painter.drawEllipse(QRectF(0.5, 0.5, 14, 14));
        QFont font = painter.font();
        font.setPixelSize(11);
        font.setBold(true);
        painter.setFont(font);
        painter.drawText(QRectF(0, 0, 15, 15), Qt::AlignCenter, QStringLiteral("?"));
    });
}
