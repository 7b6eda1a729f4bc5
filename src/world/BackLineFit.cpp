#include "world/BackLineFit.h"

#include "base/Radians.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// A point of the fit with its radius and its place in the order of travel: 0 before IN, 1 IN,
// 2 OUT, 3 after OUT.
struct FitPoint {
    Vec3 point;
    double radius = 0;
    int order = 0;
};

Vec3 Scaled(const Vec3& v, double s) {
    return {v.x * s, v.y * s, v.z * s};
}

Vec3 Plus(const Vec3& a, const Vec3& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

std::vector<FitPoint> FitPoints(const Vec3& in, double radiusIn, const Vec3& out, double radiusOut,
                                const std::vector<ExteriorPoint>& exterior) {
    std::vector<FitPoint> points{{in, radiusIn, 1}, {out, radiusOut, 2}};
    for (const ExteriorPoint& mark : exterior) {
        points.push_back({mark.point, mark.radius, mark.beforeEntry ? 0 : 3});
    }
    return points;
}

// The axis turned so that the points' order of travel rises along it; none when their order
// says nothing about it.
std::optional<Vec3> DirectionOfTravel(const std::vector<FitPoint>& points, const Vec3& centre,
                                      const Vec3& axis) {
    double meanOrder = 0, meanAlong = 0;
    for (const FitPoint& p : points) {
        meanOrder += p.order;
        meanAlong += Dot(Minus(p.point, centre), axis);
    }
    meanOrder /= double(points.size());
    meanAlong /= double(points.size());
    double agreement = 0;
    for (const FitPoint& p : points) {
        agreement += (p.order - meanOrder) * (Dot(Minus(p.point, centre), axis) - meanAlong);
    }
    if (agreement == 0) {
        return std::nullopt;
    }
    return agreement > 0 ? axis : Scaled(axis, -1);
}

std::optional<double> TightestCone(const std::vector<FitPoint>& points) {
    std::optional<double> tightest;
    for (size_t i = 0; i < points.size(); ++i) {
        for (size_t j = i + 1; j < points.size(); ++j) {
            const Vec3 d = Minus(points[i].point, points[j].point);
            const double length = std::sqrt(Dot(d, d));
            const double radii = points[i].radius + points[j].radius;
            if (!(length > radii)) {
                continue;
            }
            const double alpha = RadiansToDegrees(std::asin(radii / length));
            tightest = tightest ? std::min(*tightest, alpha) : alpha;
        }
    }
    return tightest;
}

} // namespace

std::optional<BackLineFit> FitBackLine(const Vec3& in, double radiusIn, const Vec3& out,
                                       double radiusOut,
                                       const std::vector<ExteriorPoint>& exterior) {
    const std::vector<FitPoint> points = FitPoints(in, radiusIn, out, radiusOut, exterior);
    std::vector<WeightedPoint> weighted;
    weighted.reserve(points.size());
    for (const FitPoint& p : points) {
        weighted.push_back({p.point, p.radius});
    }
    const std::optional<WeightedLine> line = FitWeightedLine(weighted);
    if (!line) {
        return std::nullopt;
    }
    const Vec3& centre = line->centre;
    const std::optional<Vec3> travel = DirectionOfTravel(points, centre, line->axis);
    if (!travel) {
        return std::nullopt;
    }
    BackLineFit fit;
    fit.back = Scaled(*travel, -1);
    fit.start = Plus(centre, Scaled(*travel, Dot(Minus(in, centre), *travel)));
    fit.halfAngle = TightestCone(points);
    for (const FitPoint& p : points) {
        const Vec3 off = Minus(p.point, fit.start);
        const double distance = DistanceFromLine(p.point, fit.start, fit.back);
        fit.misfit.push_back(distance);
        fit.radius.push_back(p.radius);
        fit.onOneLine = fit.onOneLine && !LiesOffLine(distance, p.radius);
        if (p.order == 0) {
            fit.holeReach = std::max(fit.holeReach, Dot(off, fit.back));
            fit.hasHole = true;
        }
    }
    return fit;
}
