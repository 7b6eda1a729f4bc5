#include "world/BackLineFit.h"

#include "base/Radians.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

using Matrix3 = std::array<std::array<double, 3>, 3>;

// A point of the fit with its radius and its place in the order of travel: 0 before IN, 1 IN,
// 2 OUT, 3 after OUT.
struct FitPoint {
    Vec3 point;
    double radius = 0;
    int order = 0;
};

double Weight(double radius) {
    const double r = std::max(radius, kSmallestFitRadius);
    return 1.0 / (r * r);
}

Vec3 Scaled(const Vec3& v, double s) {
    return {v.x * s, v.y * s, v.z * s};
}

Vec3 Plus(const Vec3& a, const Vec3& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

// One turn of Jacobi's method on the pair (p, q) of a symmetric matrix, carried into the
// eigenvectors' columns `v`.
void Rotate(Matrix3& a, Matrix3& v, int p, int q) {
    if (a[p][q] == 0) {
        return;
    }
    const double theta = (a[q][q] - a[p][p]) / (2 * a[p][q]);
    const double t = (theta >= 0 ? 1.0 : -1.0) / (std::fabs(theta) + std::sqrt(theta * theta + 1));
    const double c = 1 / std::sqrt(t * t + 1), s = t * c;
    for (int k = 0; k < 3; ++k) {
        const double kp = a[k][p], kq = a[k][q];
        a[k][p] = c * kp - s * kq;
        a[k][q] = s * kp + c * kq;
    }
    for (int k = 0; k < 3; ++k) {
        const double pk = a[p][k], qk = a[q][k];
        a[p][k] = c * pk - s * qk;
        a[q][k] = s * pk + c * qk;
    }
    for (int k = 0; k < 3; ++k) {
        const double kp = v[k][p], kq = v[k][q];
        v[k][p] = c * kp - s * kq;
        v[k][q] = s * kp + c * kq;
    }
}

// The unit eigenvector of a symmetric matrix's largest eigenvalue; none when the matrix is zero.
std::optional<Vec3> MainAxis(Matrix3 a) {
    const double size = std::fabs(a[0][0]) + std::fabs(a[1][1]) + std::fabs(a[2][2]);
    if (!(size > 0) || !std::isfinite(size)) {
        return std::nullopt;
    }
    Matrix3 v{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    for (int sweep = 0; sweep < 50; ++sweep) {
        const double off = std::fabs(a[0][1]) + std::fabs(a[0][2]) + std::fabs(a[1][2]);
        if (off <= 1e-15 * size) {
            break;
        }
        Rotate(a, v, 0, 1);
        Rotate(a, v, 0, 2);
        Rotate(a, v, 1, 2);
    }
    int largest = 0;
    for (int k = 1; k < 3; ++k) {
        if (a[k][k] > a[largest][largest]) {
            largest = k;
        }
    }
    const Vec3 axis{v[0][largest], v[1][largest], v[2][largest]};
    const double length = std::sqrt(Dot(axis, axis));
    return Scaled(axis, 1 / length);
}

std::vector<FitPoint> FitPoints(const Vec3& in, double radiusIn, const Vec3& out, double radiusOut,
                                const std::vector<ExteriorPoint>& exterior) {
    std::vector<FitPoint> points{{in, radiusIn, 1}, {out, radiusOut, 2}};
    for (const ExteriorPoint& mark : exterior) {
        points.push_back({mark.point, mark.radius, mark.beforeEntry ? 0 : 3});
    }
    return points;
}

Vec3 WeightedCentre(const std::vector<FitPoint>& points) {
    Vec3 sum;
    double weights = 0;
    for (const FitPoint& p : points) {
        const double w = Weight(p.radius);
        sum = {sum.x + w * p.point.x, sum.y + w * p.point.y, sum.z + w * p.point.z};
        weights += w;
    }
    return Scaled(sum, 1 / weights);
}

Matrix3 WeightedScatter(const std::vector<FitPoint>& points, const Vec3& centre) {
    Matrix3 scatter{};
    for (const FitPoint& p : points) {
        const Vec3 d = Minus(p.point, centre);
        const std::array<double, 3> c{d.x, d.y, d.z};
        const double w = Weight(p.radius);
        for (int r = 0; r < 3; ++r) {
            for (int k = 0; k < 3; ++k) {
                scatter[r][k] += w * c[r] * c[k];
            }
        }
    }
    return scatter;
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
    const Vec3 centre = WeightedCentre(points);
    const std::optional<Vec3> axis = MainAxis(WeightedScatter(points, centre));
    if (!axis) {
        return std::nullopt;
    }
    const std::optional<Vec3> travel = DirectionOfTravel(points, centre, *axis);
    if (!travel) {
        return std::nullopt;
    }
    BackLineFit fit;
    fit.back = Scaled(*travel, -1);
    fit.start = Plus(centre, Scaled(*travel, Dot(Minus(in, centre), *travel)));
    fit.halfAngle = TightestCone(points);
    for (const FitPoint& p : points) {
        const Vec3 off = Minus(p.point, fit.start);
        const Vec3 across = Minus(off, Scaled(fit.back, Dot(off, fit.back)));
        const double distance = std::sqrt(Dot(across, across));
        fit.misfit.push_back(distance);
        fit.radius.push_back(p.radius);
        fit.onOneLine =
            fit.onOneLine && distance <= kMisfitFactor * std::max(p.radius, kSmallestFitRadius);
        if (p.order == 0) {
            fit.holeReach = std::max(fit.holeReach, Dot(off, fit.back));
            fit.hasHole = true;
        }
    }
    return fit;
}
