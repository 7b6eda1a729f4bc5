#include "report/ReportPlanView.h"

#include "case/Case.h"
#include "case/PosedCase.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kWidth = 1000;
constexpr int kHeight = 750;
constexpr int kMargin = 40;
// A zone without an upper bound is drawn this far beyond its nearest reach.
constexpr double kOpenZoneLength = 10.0; // m
// The scene model's walls are drawn edge by edge up to this many triangles, beyond that as the
// outline of its box.
constexpr size_t kMostDrawnTriangles = 300000;
// The farthest a zone is taken into the picture's frame, from IN.
constexpr double kFramedReach = 50.0; // m

const QColor kHeightColors[] = {QColor(30, 90, 200), QColor(230, 120, 20), QColor(30, 150, 60),
                                QColor(150, 40, 160)};

QColor HeightColor(size_t index) {
    return kHeightColors[index % std::size(kHeightColors)];
}

// The horizontal point at `distance` metres from IN along the back line (the fitted one where
// the trajectory has exterior points).
Vec3 AlongBack(const TrajectoryOrigin& t, double distance) {
    if (t.fit) {
        const double length = std::hypot(t.back.x, t.back.z);
        if (!(length > 0)) {
            return t.lineStart;
        }
        return {t.lineStart.x + distance * t.back.x / length, 0,
                t.lineStart.z + distance * t.back.z / length};
    }
    const double dx = t.sceneIn.x - t.sceneOut.x, dz = t.sceneIn.z - t.sceneOut.z;
    const double length = std::hypot(dx, dz);
    if (!(length > 0)) {
        return t.sceneIn;
    }
    return {t.sceneIn.x + distance * dx / length, 0, t.sceneIn.z + distance * dz / length};
}

double FarEnd(const OriginZone& zone) {
    return zone.maxDistance.value_or(zone.minDistance + kOpenZoneLength);
}

// Where scene points land on the picture: one scale for both axes. The longer of the content's
// two spans runs across the picture, so that a set of shots from front to back fills its width:
// turned, +Z points to the right and +X up the page (the usual view turned a quarter left).
class PlanFrame {
public:
    void Include(const Vec3& p) {
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minZ = std::min(minZ, p.z);
        maxZ = std::max(maxZ, p.z);
    }
    void Fix() {
        const double spanX = std::max(maxX - minX, 1.0), spanZ = std::max(maxZ - minZ, 1.0);
        turned = spanZ > spanX;
        const double across = turned ? spanZ : spanX, down = turned ? spanX : spanZ;
        scale = std::min((kWidth - 2 * kMargin) / across, (kHeight - 2 * kMargin) / down);
        centreX = (minX + maxX) / 2;
        centreZ = (minZ + maxZ) / 2;
    }
    QPointF At(const Vec3& p) const {
        if (turned) {
            return {kWidth / 2.0 + (p.z - centreZ) * scale,
                    kHeight / 2.0 - (p.x - centreX) * scale};
        }
        return {kWidth / 2.0 + (p.x - centreX) * scale, kHeight / 2.0 + (p.z - centreZ) * scale};
    }
    bool Turned() const { return turned; }
    double Scale() const { return scale; }
    double MinX() const { return centreX - HalfSpan(!turned); }
    double MaxX() const { return centreX + HalfSpan(!turned); }
    double MinZ() const { return centreZ - HalfSpan(turned); }
    double MaxZ() const { return centreZ + HalfSpan(turned); }

private:
    // Half the picture's width (across) or height, in metres.
    double HalfSpan(bool across) const { return (across ? kWidth : kHeight) / 2.0 / scale; }

    double minX = 1e300, maxX = -1e300, minZ = 1e300, maxZ = -1e300;
    double scale = 1, centreX = 0, centreZ = 0;
    bool turned = false;
};

Vec3 MeshPoint(const Mesh& mesh, uint32_t index) {
    return ToVec3(mesh.positions[index]);
}

bool ValidTriangle(const Mesh& mesh, const MeshTriangle& triangle) {
    for (const uint32_t index : triangle.position) {
        if (index >= mesh.positions.size()) {
            return false;
        }
    }
    return true;
}

void IncludeScene(PlanFrame& frame, const CaseWorld& world) {
    if (!world.sceneMesh) {
        return;
    }
    const std::array<float, 6>& box = world.sceneMesh->box;
    for (const float x : {box[0], box[3]}) {
        for (const float z : {box[2], box[5]}) {
            frame.Include(world.scene.Place({x, 0, z}));
        }
    }
}

void IncludeAnalysis(PlanFrame& frame, const OriginFacts& origin) {
    frame.Include({origin.body.x, 0, origin.body.z});
    for (const TrajectoryOrigin& t : origin.analysis.trajectories) {
        frame.Include(t.sceneIn);
        frame.Include(t.sceneOut);
        for (const OriginZone& zone : t.zones) {
            // A straight line holds to some 30 m: a zone farther away (a nearly level shot)
            // would shrink the rest to a dot, so it runs off the edge instead of being framed.
            if (zone.reached && zone.minDistance < kFramedReach) {
                frame.Include(AlongBack(t, std::min(FarEnd(zone), kFramedReach)));
            }
        }
    }
    for (const std::vector<ExteriorPoint>& points : origin.exterior) {
        for (const ExteriorPoint& point : points) {
            frame.Include(point.point);
        }
    }
    for (const GroupConvergence& group : origin.analysis.groups) {
        if (group.convergence) {
            frame.Include(group.convergence->point);
        }
    }
}

void DrawGrid(QPainter& painter, const PlanFrame& frame) {
    const double span = std::max(frame.MaxX() - frame.MinX(), frame.MaxZ() - frame.MinZ());
    // A metre, or the power of ten that keeps the grid to a few dozen lines.
    const double step = std::max(1.0, std::pow(10.0, std::ceil(std::log10(span / 40))));
    painter.setPen(QPen(QColor(225, 225, 225), 1));
    for (double x = std::ceil(frame.MinX() / step) * step; x <= frame.MaxX(); x += step) {
        painter.drawLine(frame.At({x, 0, frame.MinZ()}), frame.At({x, 0, frame.MaxZ()}));
    }
    for (double z = std::ceil(frame.MinZ() / step) * step; z <= frame.MaxZ(); z += step) {
        painter.drawLine(frame.At({frame.MinX(), 0, z}), frame.At({frame.MaxX(), 0, z}));
    }
    // A scale bar of one grid step.
    painter.setPen(QPen(Qt::black, 2));
    const QPointF start(kMargin, kHeight - 15);
    painter.drawLine(start, start + QPointF(step * frame.Scale(), 0));
    painter.drawText(start + QPointF(step * frame.Scale() + 6, 5),
                     QString::number(step, 'f', 0) + QStringLiteral(" m"));
}

// The walls: triangles standing upright, each drawn as its outline from above.
void DrawScene(QPainter& painter, const PlanFrame& frame, const CaseWorld& world) {
    if (!world.sceneMesh) {
        return;
    }
    const Mesh& mesh = *world.sceneMesh;
    painter.setPen(QPen(QColor(110, 110, 110), 2));
    if (mesh.triangles.size() > kMostDrawnTriangles) {
        const std::array<float, 6>& box = mesh.box;
        QPolygonF outline;
        for (const auto& corner : {std::pair{box[0], box[2]}, std::pair{box[3], box[2]},
                                   std::pair{box[3], box[5]}, std::pair{box[0], box[5]}}) {
            outline << frame.At(world.scene.Place({corner.first, 0, corner.second}));
        }
        painter.drawPolygon(outline);
        return;
    }
    for (const MeshTriangle& triangle : mesh.triangles) {
        if (!ValidTriangle(mesh, triangle)) {
            continue;
        }
        const Vec3 a = world.scene.Place(MeshPoint(mesh, triangle.position[0]));
        const Vec3 b = world.scene.Place(MeshPoint(mesh, triangle.position[1]));
        const Vec3 c = world.scene.Place(MeshPoint(mesh, triangle.position[2]));
        const Vec3 normal = Cross(Minus(b, a), Minus(c, a));
        const double length = std::sqrt(Dot(normal, normal));
        if (!(length > 0) || std::fabs(normal.y) / length > 0.3) {
            continue; // a floor, a ceiling or a sliver
        }
        painter.drawPolygon(QPolygonF{frame.At(a), frame.At(b), frame.At(c)});
    }
}

void DrawBody(QPainter& painter, const PlanFrame& frame, const ScenePlacement& body) {
    const QPointF centre = frame.At({body.x, 0, body.z});
    const double radius = std::max(4.0, 0.25 * frame.Scale());
    painter.setPen(QPen(QColor(160, 110, 80), 2));
    painter.setBrush(QColor(240, 210, 180));
    painter.drawEllipse(centre, radius, radius * 0.6);
    const Vec3 front = body.Place({0, 0, 0.45});
    painter.drawLine(centre, frame.At(front));
    painter.setBrush(Qt::NoBrush);
}

void DrawTrajectory(QPainter& painter, const PlanFrame& frame, const Case& theCase,
                    const TrajectoryOrigin& t) {
    const Trajectory* trajectory = theCase.TrajectoryNumbered(t.number);
    if (trajectory == nullptr) {
        return;
    }
    const Vec3& rgb = trajectory->color;
    const QColor color = QColor::fromRgbF(static_cast<float>(rgb.x), static_cast<float>(rgb.y),
                                          static_cast<float>(rgb.z));
    double farthest = 1.0;
    for (const OriginZone& zone : t.zones) {
        if (zone.reached) {
            farthest = std::max(farthest, FarEnd(zone));
        }
    }
    painter.setPen(QPen(color.darker(130), 1.5, Qt::DashLine));
    painter.drawLine(frame.At(t.sceneIn), frame.At(AlongBack(t, farthest)));
    painter.setPen(QPen(color.darker(130), 3));
    painter.drawLine(frame.At(t.sceneIn), frame.At(t.sceneOut));
    for (size_t i = 0; i < t.zones.size(); ++i) {
        const OriginZone& zone = t.zones[i];
        if (!zone.reached) {
            continue;
        }
        QPen stroke(HeightColor(i), 7, Qt::SolidLine, Qt::FlatCap);
        if (!zone.maxDistance) {
            stroke.setStyle(Qt::DashLine); // no upper bound
        }
        painter.setPen(stroke);
        painter.drawLine(frame.At(AlongBack(t, zone.minDistance)),
                         frame.At(AlongBack(t, FarEnd(zone))));
        painter.setPen(QPen(HeightColor(i).darker(150), 2));
        painter.drawEllipse(frame.At(zone.nominalPoint), 6, 6);
    }
    painter.setPen(QPen(Qt::black, 1));
    painter.drawText(frame.At(t.sceneIn) + QPointF(8, -8), QString::number(t.number));
}

void DrawMarks(QPainter& painter, const PlanFrame& frame, const OriginFacts& origin) {
    painter.setPen(QPen(Qt::black, 2));
    for (const std::vector<ExteriorPoint>& points : origin.exterior) {
        for (const ExteriorPoint& point : points) {
            painter.drawRect(QRectF(frame.At(point.point) - QPointF(4, 4), QSizeF(8, 8)));
        }
    }
    painter.setPen(QPen(QColor(200, 0, 0), 2.5));
    for (const GroupConvergence& group : origin.analysis.groups) {
        if (!group.convergence) {
            continue;
        }
        const QPointF at = frame.At(group.convergence->point);
        painter.drawLine(at - QPointF(8, 8), at + QPointF(8, 8));
        painter.drawLine(at - QPointF(8, -8), at + QPointF(8, -8));
        painter.drawText(at + QPointF(10, -6), QString::fromStdString(group.group));
    }
}

void DrawLegend(QPainter& painter, const OriginFacts& origin) {
    painter.setPen(Qt::black);
    double x = kMargin;
    for (size_t i = 0; i < origin.muzzleHeights.size(); ++i) {
        painter.fillRect(QRectF(x, 12, 22, 7), HeightColor(i));
        const QString text = QString::number(origin.muzzleHeights[i] * 100, 'f', 0) + " cm";
        painter.drawText(QPointF(x + 28, 20), text);
        x += 100;
    }
}

} // namespace

namespace {

PlanFrame FrameOf(const PosedCase& posed, const OriginFacts& origin) {
    PlanFrame frame;
    IncludeScene(frame, posed.GetCase().world);
    IncludeAnalysis(frame, origin);
    frame.Fix();
    return frame;
}

} // namespace

bool PlanViewTurned(const PosedCase& posed, const OriginFacts& origin) {
    return FrameOf(posed, origin).Turned();
}

std::string PlanViewCaption(bool turned) {
    return std::string("The scene seen from above (") +
           (turned ? "+Z to the right, +X up the page" : "+X to the right, +Z down the page") +
           "): the body, each back line and each height's zone.";
}

QImage DrawPlanView(const PosedCase& posed, const OriginFacts& origin) {
    const Case& theCase = posed.GetCase();
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    const PlanFrame frame = FrameOf(posed, origin);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    DrawGrid(painter, frame);
    DrawScene(painter, frame, theCase.world);
    DrawBody(painter, frame, origin.body);
    for (const TrajectoryOrigin& t : origin.analysis.trajectories) {
        DrawTrajectory(painter, frame, theCase, t);
    }
    DrawMarks(painter, frame, origin);
    DrawLegend(painter, origin);
    return image;
}
