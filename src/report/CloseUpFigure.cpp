#include "report/CloseUpFigure.h"

#include "base/NumberText.h"
#include "report/BodyDiagrams.h"

#include <QFont>
#include <QPainter>

#include <cmath>
#include <vector>

namespace {

// The sides of the body a direction points to, named as its larger components: "front and
// left", "above".
std::string SidesSeenFrom(const Vec3& toCamera) {
    struct Side {
        double component;
        const char* positive;
        const char* negative;
    };
    const Side sides[] = {{toCamera.z, "the front", "the back"},
                          {toCamera.x, "the body's left", "the body's right"},
                          {toCamera.y, "above", "below"}};
    std::vector<std::string> named;
    for (const Side& side : sides) {
        // A component of at least a third of the whole names its side.
        if (std::fabs(side.component) >= 1.0 / 3.0) {
            named.emplace_back(side.component > 0 ? side.positive : side.negative);
        }
    }
    std::string text;
    for (size_t i = 0; i < named.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == named.size() ? " and " : ", ") + named[i];
    }
    return text;
}

} // namespace

double ScaleBarCentimetres(double pixelsPerMetre, int width) {
    const double wantedCm = width / 5.0 / std::max(pixelsPerMetre, 1e-9) * 100.0;
    double power = std::pow(10.0, std::floor(std::log10(std::max(wantedCm, 1e-3))));
    for (const double step : {5.0, 2.0, 1.0}) {
        if (step * power <= wantedCm) {
            return step * power;
        }
    }
    return power;
}

void DrawScaleBar(QImage& image, double pixelsPerMetre) {
    const double centimetres = ScaleBarCentimetres(pixelsPerMetre, image.width());
    const double length = centimetres / 100.0 * pixelsPerMetre;
    const double unit = image.height() / 40.0;
    const QPointF start(2 * unit, image.height() - 3 * unit);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    QFont font;
    font.setPixelSize(static_cast<int>(unit * 1.4));
    painter.setFont(font);
    const QString text =
        QString::fromStdString(FormatFixed(centimetres, 0, centimetres < 1 ? 1 : 0) + " cm");
    const QRectF backing(start.x() - unit, start.y() - 2 * unit, length + 2 * unit, 4.2 * unit);
    painter.fillRect(backing, QColor(255, 255, 255, 230));
    painter.setPen(QPen(Qt::black, unit / 3, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(start, start + QPointF(length, 0));
    for (const double x : {0.0, length}) {
        painter.drawLine(start + QPointF(x, -unit / 1.5), start + QPointF(x, unit / 1.5));
    }
    painter.drawText(QRectF(start.x(), start.y() + unit / 2, length, unit * 1.6),
                     Qt::AlignHCenter | Qt::AlignTop, text);
}

void DrawTrackMarks(QImage& image, const CloseUpView& view) {
    const QPointF in(view.inPixel[0], view.inPixel[1]);
    const QPointF out(view.outPixel[0], view.outPixel[1]);
    const double size = image.height() / 16.0;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (const auto& [colour, width] :
         {std::pair{QColor(255, 255, 255), size / 5}, std::pair{QColor(0, 0, 0), size / 12}}) {
        painter.setPen(QPen(colour, width, Qt::DashLine, Qt::RoundCap));
        painter.drawLine(in, out);
    }
    QFont font;
    font.setBold(true);
    font.setPixelSize(static_cast<int>(size * 0.6));
    painter.setFont(font);
    if (view.exited) {
        DrawWoundMark(painter, view.number, false, out, size);
    } else {
        painter.setPen(QPen(Qt::white, size / 12));
        painter.setBrush(Qt::black);
        painter.drawEllipse(out, size / 5, size / 5);
    }
    DrawWoundMark(painter, view.number, true, in, size);
}

std::string CloseUpCaption(int number, const CloseUpFraming& framing, double scaleBarCm) {
    const std::string sides = SidesSeenFrom(framing.toCamera);
    return "Trajectory " + std::to_string(number) + " seen perpendicular to its track" +
           (sides.empty() ? "" : ", from " + sides) +
           ", IN the numbered circle, OUT the square (a dot where the bullet stayed)" +
           ", the body transparent, the cone of its uncertainty drawn behind IN; the scale bar "
           "is " +
           FormatFixed(scaleBarCm, 0, scaleBarCm < 1 ? 1 : 0) +
           " cm long in the plane of the track";
}
