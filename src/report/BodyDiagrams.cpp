#include "report/BodyDiagrams.h"

#include "body/Body.h"

#include <QFont>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <limits>

namespace {

const QColor kPaper(255, 255, 255);
const QColor kSilhouette(226, 226, 226);
const QColor kOutline(70, 70, 70);
const QColor kEntry(170, 0, 0);
const QColor kExit(0, 60, 160);

struct Box {
    double minX = std::numeric_limits<double>::max(), maxX = -minX;
    double minY = minX, maxY = -minX;
    void Add(const Vec3& p) {
        minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    }
    bool Empty() const { return minX > maxX; }
};

// Maps the body frame onto one panel: x across (mirrored for the back), y up.
class PanelProjection {
public:
    PanelProjection(const Box& bounds, const QRectF& panel, bool mirrored)
        : box(bounds), back(mirrored) {
        const double width = std::max(bounds.maxX - bounds.minX, 1e-3);
        const double height = std::max(bounds.maxY - bounds.minY, 1e-3);
        scale = std::min(panel.width() / width, panel.height() / height);
        centreX = panel.center().x();
        bottom = panel.center().y() + height * scale / 2;
    }
    QPointF operator()(const Vec3& p) const {
        const double across = p.x - (box.minX + box.maxX) / 2;
        return {centreX + (back ? -across : across) * scale, bottom - (p.y - box.minY) * scale};
    }

private:
    Box box;
    bool back;
    double scale = 1;
    double centreX = 0;
    double bottom = 0;
};

void FillSilhouette(QImage& image, const Body& body, const std::vector<Vec3>& points,
                    const PanelProjection& project) {
    const Mesh* mesh = body.GetModel();
    if (mesh == nullptr) {
        return;
    }
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    // Filled without an outline: the triangles of a closed surface tile the silhouette without
    // seams, and stroking each of them cost six times the filling.
    painter.setPen(Qt::NoPen);
    painter.setBrush(kSilhouette);

    // The corners go into a fixed array: a polygon list per triangle made a heap block for each
    // of the body's triangles, twice per diagram.
    QPointF corners[3];
    for (const MeshTriangle& triangle : mesh->triangles) {
        bool valid = true;
        for (int c = 0; c < 3 && valid; ++c) {
            const uint32_t index = triangle.position[c];
            valid = index < points.size();
            if (valid) {
                corners[c] = project(points[index]);
            }
        }
        if (valid) {
            painter.drawPolygon(corners, 3);
        }
    }
}

// Darkens the silhouette's pixels that touch the paper: its outline.
void TraceOutline(QImage& image) {
    const QImage filled = image.copy();
    const QRgb paper = kPaper.rgb();
    for (int y = 1; y + 1 < image.height(); ++y) {
        for (int x = 1; x + 1 < image.width(); ++x) {
            if (filled.pixel(x, y) == paper) {
                continue;
            }
            const bool edge = filled.pixel(x - 1, y) == paper || filled.pixel(x + 1, y) == paper ||
                              filled.pixel(x, y - 1) == paper || filled.pixel(x, y + 1) == paper;
            if (edge) {
                image.setPixel(x, y, kOutline.rgb());
            }
        }
    }
}

// Marks the wound at `at`, or, when an earlier mark is there, just below the marks in the way
// with a line to the point.
void MarkWound(QPainter& painter, const DiagramWound& wound, const QPointF& at, double size,
               std::vector<QRectF>& placed) {
    QRectF mark(at.x() - size / 2, at.y() - size / 2, size, size);
    const auto overlaps = [&placed](const QRectF& rect) {
        return std::any_of(placed.begin(), placed.end(),
                           [&rect](const QRectF& other) { return other.intersects(rect); });
    };
    while (overlaps(mark)) {
        mark.translate(0, size * 1.05);
    }
    placed.push_back(mark);
    if (mark.center() != at) {
        painter.setPen(QPen(Qt::black, size / 14));
        painter.drawLine(at, mark.center());
        painter.setBrush(Qt::black);
        painter.drawEllipse(at, size / 8, size / 8);
    }
    DrawWoundMark(painter, wound.number, wound.entry, mark.center(), size);
}

void Caption(QPainter& painter, const QRectF& panel, const QString& title, const QString& left,
             const QString& right, double textHeight) {
    painter.setPen(Qt::black);
    const QRectF top(panel.left(), panel.top() - 1.6 * textHeight, panel.width(), 1.4 * textHeight);
    painter.drawText(top, Qt::AlignHCenter | Qt::AlignVCenter, title);
    painter.drawText(top, Qt::AlignLeft | Qt::AlignVCenter, left);
    painter.drawText(top, Qt::AlignRight | Qt::AlignVCenter, right);
}

} // namespace

void DrawWoundMark(QPainter& painter, int number, bool entry, const QPointF& at, double size) {
    const QRectF mark(at.x() - size / 2, at.y() - size / 2, size, size);
    painter.save();
    painter.setPen(QPen(entry ? kEntry : kExit, size / 9));
    painter.setBrush(QColor(255, 255, 255));
    if (entry) {
        painter.drawEllipse(mark);
    } else {
        painter.drawRect(mark);
    }
    painter.setPen(Qt::black);
    painter.drawText(mark, Qt::AlignCenter, QString::number(number));
    painter.restore();
}

QImage DrawBodyDiagrams(const Body& body, const std::vector<DiagramWound>& wounds, int height) {
    const int panelHeight = std::max(200, height);
    const double textHeight = panelHeight / 28.0;
    const int panelWidth = panelHeight / 2;
    QImage image(2 * panelWidth + static_cast<int>(textHeight * 2),
                 panelHeight + static_cast<int>(textHeight * 2.5), QImage::Format_RGB32);
    image.fill(kPaper);
    const std::vector<Vec3> points = RestMeshVertices(body);
    Box box;
    for (size_t i = 0; i < points.size(); ++i) {
        box.Add(points[i]);
    }
    for (const DiagramWound& wound : wounds) {
        box.Add(wound.point);
    }
    if (box.Empty()) {
        box.Add({-0.3, 0, 0});
        box.Add({0.3, 1.8, 0.3});
    }
    const double margin = textHeight;
    const double top = textHeight * 2;
    const QRectF front(margin / 2, top, panelWidth - margin, panelHeight - margin);
    const QRectF back(panelWidth + margin * 1.5, top, panelWidth - margin, panelHeight - margin);
    const PanelProjection frontProjection(box, front, false);
    const PanelProjection backProjection(box, back, true);
    FillSilhouette(image, body, points, frontProjection);
    FillSilhouette(image, body, points, backProjection);
    TraceOutline(image);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    QFont font;
    font.setPixelSize(static_cast<int>(textHeight));
    painter.setFont(font);
    Caption(painter, front, QStringLiteral("Front"), QStringLiteral("R"), QStringLiteral("L"),
            textHeight);
    Caption(painter, back, QStringLiteral("Back"), QStringLiteral("L"), QStringLiteral("R"),
            textHeight);
    font.setBold(true);
    font.setPixelSize(static_cast<int>(textHeight * 0.8));
    painter.setFont(font);
    std::vector<QRectF> placed; // both panels: they do not meet
    for (const DiagramWound& wound : wounds) {
        const QPointF at = wound.side == DiagramSide::Front ? frontProjection(wound.point)
                                                            : backProjection(wound.point);
        MarkWound(painter, wound, at, textHeight * 1.3, placed);
    }
    return image;
}
